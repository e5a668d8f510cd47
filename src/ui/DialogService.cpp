#include "ui/DialogService.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTimer>

namespace {
std::unique_ptr<DialogService>& current()
{
    static std::unique_ptr<DialogService> service = std::make_unique<MessageBoxDialogService>();
    return service;
}
}

DialogService& DialogService::instance()
{
    return *current();
}

std::unique_ptr<DialogService> DialogService::replace(std::unique_ptr<DialogService> service)
{
    std::swap(current(), service);
    return service;
}

DialogService::Answer DialogService::questionWithCancel(const QString& caption, const QString& text)
{
    return question(caption, text) ? Answer::Yes : Answer::No;
}

QString DialogService::openPicture(const QString&)
{
    return QString();
}

void MessageBoxDialogService::information(const QString& caption, const QString& text)
{
    post({false, caption, text});
}

void MessageBoxDialogService::error(const QString& caption, const QString& text)
{
    post({true, caption, text});
}

void MessageBoxDialogService::post(Message message)
{
    pending_.append(std::move(message));
    if (pending_.size() == 1 && !showing_)
        QTimer::singleShot(0, &posts_, [this] { showPending(); });
}

void MessageBoxDialogService::showPending()
{
    // A box asked for while one is open waits for it: the loop below takes it next.
    if (showing_)
        return;
    showing_ = true;
    const auto done = qScopeGuard([this] { showing_ = false; });
    while (!pending_.isEmpty()) {
        const Message message = pending_.takeFirst();
        QMessageBox box(message.isError ? QMessageBox::Critical : QMessageBox::Information, message.caption,
                        message.text, QMessageBox::Ok, QApplication::activeWindow());
        box.setTextFormat(Qt::PlainText);
        box.exec();
    }
}

bool MessageBoxDialogService::question(const QString& caption, const QString& text)
{
    showPending();  // what was said before the question is read before it
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    return box.exec() == QMessageBox::Yes;
}

DialogService::Answer MessageBoxDialogService::questionWithCancel(const QString& caption, const QString& text)
{
    showPending();
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

QString MessageBoxDialogService::openPicture(const QString& filter)
{
    // Qt's own dialog matches extensions without regard to case; scanners write ".JPG".
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), QString(), QString(), filter, nullptr,
                                        QFileDialog::DontUseNativeDialog);
}
