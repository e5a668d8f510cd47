#include "net/TfrmProBar.h"

#include <QGuiApplication>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

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
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), probar_(new QProgressBar(this)),
      btnCancel_(new QPushButton(QStringLiteral("취소"), this))
{
    setObjectName(QStringLiteral("frmProBar"));
    setWindowTitle(QStringLiteral("통신중"));
    QFont face(QStringLiteral("MS Sans Serif"));
    face.setPixelSize(11);
    setFont(face);
    setFixedSize(288, 56);

    probar_->setObjectName(QStringLiteral("probar"));
    probar_->setGeometry(4, 4, 273, 16);
    probar_->setRange(0, 100);
    probar_->setValue(0);
    probar_->setTextVisible(false);
    btnCancel_->setObjectName(QStringLiteral("btnCancel"));
    btnCancel_->setGeometry(206, 26, 71, 24);
    connect(btnCancel_, &QPushButton::clicked, this, &TfrmProBar::cancelRequested);

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
    ended_ = true;
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
    // The window stays until the whole exchange has ended (the transport ends it): a reply
    // that is slow to come is waiting too, and may be cancelled.
    QObject::connect(window, &TfrmProBar::cancelRequested, &client, &HttpClient::cancel);
    // A quick transfer shows nothing; a slow one says so and can be stopped.
    QTimer::singleShot(TfrmProBar::kShowDelayMs, window, [window] {
        if (!window->ended())
            window->show();
    });
    return window;
}

TfrmProBar* CurrentProgressWindow()
{
    return current();
}
