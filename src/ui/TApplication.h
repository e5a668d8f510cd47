#pragma once

#include <QApplication>

// Routes an exception that escapes any event handler to the error box; the program goes on.
class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
