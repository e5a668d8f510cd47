#include "net/TfrmProBar.h"

#include <QGuiApplication>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>

#include <limits>

namespace {

QPointer<TfrmProBar>& current()
{
    static QPointer<TfrmProBar> window;
    return window;
}

int barValue(qint64 bytes)
{
    return int(qMin<qint64>(bytes, std::numeric_limits<int>::max()));
}

}

TfrmProBar::TfrmProBar(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), probar_(new QProgressBar(this))
{
    setObjectName(QStringLiteral("frmProBar"));
    setWindowTitle(QStringLiteral("통신중"));
    QFont face(QStringLiteral("MS Sans Serif"));
    face.setPixelSize(11);
    setFont(face);
    setFixedSize(288, 30);

    probar_->setObjectName(QStringLiteral("probar"));
    probar_->setGeometry(4, 4, 273, 16);
    probar_->setRange(0, 100);
    probar_->setValue(0);
    probar_->setTextVisible(false);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TfrmProBar::workBegin(qint64 total)
{
    probar_->setMaximum(barValue(total));
}

void TfrmProBar::work(qint64 count)
{
    probar_->setValue(barValue(qMin(count, qint64(probar_->maximum()))));
}

void TfrmProBar::workEnd()
{
    hide();
}

TfrmProBar* ShowProgress(HttpClient& client, const QString& caption)
{
    if (current())
        current()->deleteLater();
    auto* window = new TfrmProBar;
    current() = window;
    window->setWindowTitle(caption);
    QObject::connect(&client, &HttpClient::workBegin, window,
                     [window](HttpClient::Direction, qint64 total) { window->workBegin(total); });
    QObject::connect(&client, &HttpClient::work, window,
                     [window](HttpClient::Direction, qint64 count) { window->work(count); });
    QObject::connect(&client, &HttpClient::workEnd, window, [window](HttpClient::Direction) { window->workEnd(); });
    window->show();
    return window;
}

TfrmProBar* CurrentProgressWindow()
{
    return current();
}
