#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>

// Answers the program's real modal boxes as a person would: a timer finds the open modal
// message box, notes its text and presses a button (the next of `answers`, else OK / No).
// Use it with the program's own dialog service, so every box runs its own event loop.
class ModalBoxes : public QObject {
public:
    ModalBoxes();

    QList<QMessageBox::StandardButton> answers;
    QStringList texts;                          // of every box answered, in order
    std::function<void(QMessageBox&)> inspect;  // called with each box before it is answered

    // Runs the event loop until `count` boxes in all have been answered (false after 10 s).
    bool waitFor(int count);

private:
    void answerOpenBox();

    QTimer timer_;
};
