#pragma once

#include "net/HttpClient.h"

#include <QDialog>

class QProgressBar;
class QPushButton;

// The small window shown while a transfer runs, once it has run for kShowDelayMs, with a
// 취소 button that stops it. One is made for each transfer; once ended it is not shown again.
class TfrmProBar : public QDialog {
    Q_OBJECT
public:
    explicit TfrmProBar(QWidget* parent = nullptr);

    static constexpr int kShowDelayMs = 300;

    QProgressBar* probar() const { return probar_; }
    QPushButton* btnCancel() const { return btnCancel_; }

    // The client's work notifications; either direction drives the one bar.
    void workBegin(qint64 total);
    void work(qint64 count);
    void workEnd();
    bool ended() const { return ended_; }

signals:
    void cancelRequested();

private:
    QProgressBar* probar_;
    QPushButton* btnCancel_;
    bool ended_ = false;
};

// Makes a new progress window the current one, captions it, connects the client's work
// notifications and its 취소 to the client, and shows it without blocking once the transfer
// has run for kShowDelayMs. The previous window is released.
TfrmProBar* ShowProgress(HttpClient& client, const QString& caption);

// The window of the latest transfer (null before the first).
TfrmProBar* CurrentProgressWindow();
