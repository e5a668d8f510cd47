#pragma once

#include <QApplication>

#include <memory>

class QThread;

// Routes an exception that escapes any event handler to the error box; the program goes on.
class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);
    ~TApplication() override;
    bool notify(QObject* receiver, QEvent* event) override;

private:
    // Reads the installed fonts while the first window is being built.
    std::unique_ptr<QThread> fontReader_;
};
