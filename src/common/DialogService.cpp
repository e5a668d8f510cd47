#include "common/DialogService.h"

#include <QApplication>
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
