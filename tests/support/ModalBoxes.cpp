#include "support/ModalBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>

ModalBoxes::ModalBoxes()
{
    timer_.setInterval(20);
    connect(&timer_, &QTimer::timeout, this, &ModalBoxes::answerOpenBox);
    timer_.start();
}

void ModalBoxes::answerOpenBox()
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    texts.append(box->text());
    if (inspect)
        inspect(*box);
    QMessageBox::StandardButton answer = answers.isEmpty() ? QMessageBox::NoButton : answers.takeFirst();
    if (answer == QMessageBox::NoButton || !box->button(answer))
        answer = box->button(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::No;
    box->button(answer)->click();
}

bool ModalBoxes::waitFor(int count)
{
    const QDeadlineTimer deadline(10000);
    while (texts.size() < count && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    return texts.size() >= count;
}
