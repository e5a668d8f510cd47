#include "common/DialogService.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace {
std::unique_ptr<DialogService>& current()
{
    static std::unique_ptr<DialogService> service = std::make_unique<MessageBoxDialogService>();
    return service;
}
}

DialogService& DialogService::instance() { return *current(); }

std::unique_ptr<DialogService> DialogService::replace(std::unique_ptr<DialogService> service)
{
    std::swap(current(), service);
    return service;
}

QString DialogService::openPicture(const QString&) { return QString(); }

void MessageBoxDialogService::information(const QString& caption, const QString& text)
{
    QMessageBox::information(QApplication::activeWindow(), caption, text);
}

void MessageBoxDialogService::error(const QString& caption, const QString& text)
{
    QMessageBox::critical(QApplication::activeWindow(), caption, text);
}

bool MessageBoxDialogService::question(const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    return box.exec() == QMessageBox::Yes;
}

QString MessageBoxDialogService::openPicture(const QString& filter)
{
    // Qt's own dialog matches extensions without regard to case; scanners write ".JPG".
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), QString(), QString(), filter,
                                        nullptr, QFileDialog::DontUseNativeDialog);
}
