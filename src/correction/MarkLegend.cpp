#include "correction/MarkLegend.h"

#include "board/DrawTool.h"
#include "correction/TeacherPictures.h"

#include <QListWidget>
#include <QVBoxLayout>

TMarkLegend::TMarkLegend(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      lstLegend(new QListWidget(this))
{
    setObjectName(QStringLiteral("frmLegend"));
    setWindowTitle(QStringLiteral("첨삭 기호 설명"));
    lstLegend->setObjectName(QStringLiteral("lstLegend"));
    lstLegend->setAccessibleName(QStringLiteral("첨삭 기호"));
    lstLegend->setIconSize({32, 32});
    for (int tool = dt11; tool <= dtRight; ++tool) {
        const QString hint = DrawToolHint(TDrawTool(tool));
        if (hint.isEmpty())
            continue;
        lstLegend->addItem(new QListWidgetItem(QIcon(TeacherPictures::Tool(TDrawTool(tool), 32)), hint));
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(lstLegend);
    resize(380, 520);
}
