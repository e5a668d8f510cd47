#include "net/TfrmBro.h"

#include <QLabel>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>

TfrmBro::TfrmBro(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      web(new QWebEngineView(this))
{
    setObjectName(QStringLiteral("frmBro"));
    setWindowTitle(QStringLiteral("토의사항"));
    QFont face(QStringLiteral("MS Sans Serif"));
    face.setPixelSize(11);
    setFont(face);
    web->setObjectName(QStringLiteral("web"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(web);
    resize(581, 339);
    // An engine that stops leaves a blank view: the window says so, the program goes on.
    connect(web->page(), &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int exitCode) {
                if (status == QWebEnginePage::NormalTerminationStatus)
                    return;
                auto* message = new QLabel(
                    QStringLiteral("토의사항 페이지를 보여 줄 수 없습니다. 브라우저 엔진이 멈췄습니다 (종료 코드 %1). "
                                   "창을 닫고 다시 열어 주십시오.")
                        .arg(exitCode),
                    this);
                message->setObjectName(QStringLiteral("lblError"));
                message->setWordWrap(true);
                this->layout()->replaceWidget(web, message);
                web->hide();
                message->show();
            });
    // The page keeps the keys it is given; Esc closes the window wherever the focus is.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QDialog::reject);
}
