#pragma once

#include "net/HttpClient.h"

#include <QDialog>

class QProgressBar;

// The small window shown while a transfer runs. One is made for each transfer; once
// hidden it is not shown again.
class TfrmProBar : public QDialog {
    Q_OBJECT
public:
    explicit TfrmProBar(QWidget* parent = nullptr);

    QProgressBar* probar() const { return probar_; }

    // The client's work notifications; either direction drives the one bar.
    void workBegin(qint64 total);
    void work(qint64 count);
    void workEnd();

private:
    QProgressBar* probar_;
};

// Makes a new progress window the current one, captions it, connects the client's work
// notifications to it and shows it without blocking. The previous window is released.
TfrmProBar* ShowProgress(HttpClient& client, const QString& caption);

// The window of the latest transfer (null before the first).
TfrmProBar* CurrentProgressWindow();
