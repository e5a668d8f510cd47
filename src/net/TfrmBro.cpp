#include "net/TfrmBro.h"

#include <QShortcut>
#include <QVBoxLayout>
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
    // The page keeps the keys it is given; Esc closes the window wherever the focus is.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QDialog::reject);
}
