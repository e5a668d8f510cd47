#include "writing/EditorWidgets.h"

#include "document/ManuscriptGrid.h"
#include "ui/Fonts.h"
#include "ui/Keyboard.h"
#include "ui/PictureButton.h"
#include "writing/ManuscriptView.h"
#include "writing/TSorEdit.h"
#include "writing/WritingPictures.h"

#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QWidget* colouredPanel(QWidget* parent, const QColor& colour, const char* name)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setAutoFillBackground(true);
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, colour);
    panel->setPalette(p);
    return panel;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, const QFont& font, const QColor& colour,
              QPoint at)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setFont(font);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, colour);
    l->setPalette(p);
    l->move(at);
    l->adjustSize();
    return l;
}

PictureButton* button(QWidget* parent, const char* name, const QString& word, QRect geometry, int tag)
{
    auto* b = new PictureButton(WritingPictures::wordButton(word, geometry.width(), geometry.height()), word, parent);
    b->setObjectName(QLatin1String(name));
    b->move(geometry.topLeft());
    b->Tag = tag;
    return b;
}

}

EditorWidgets::EditorWidgets(QWidget* frame, ManuscriptGrid* model)
{
    QWidget* top = colouredPanel(frame, Qt::white, "pnlTop");
    top->setFixedHeight(52);
    QWidget* topBar = colouredPanel(top, QColor(255, 220, 146), "pnlTopBar");
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(topBar);

    btn1 = button(topBar, "btn1", QStringLiteral("원고지"), {16, 8, 69, 29}, 1);
    btn2 = button(topBar, "btn2", QStringLiteral("백지"), {88, 8, 59, 29}, 2);
    // The paper shown is the checked one, on screen and to assistive technology.
    for (PictureButton* paper : {btn1, btn2})
        paper->setCheckable(true);
    btnAG = button(topBar, "btnAG", QStringLiteral("토의사항"), {150, 8, 80, 29}, 8);
    btnAG->hide();
    Image2 = new QLabel(topBar);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setPixmap(WritingPictures::clock());
    Image2->setGeometry(244, 16, 13, 14);
    Image2->setAccessibleName(QStringLiteral("쓴 시간"));
    const QColor plum(96, 21, 64);
    lblTime = label(topBar, "lblTime", QStringLiteral("0"), GulimcheFont(13, true), plum, {264, 16});
    lblCount = label(topBar, "lblCount", QStringLiteral("0"), GulimcheFont(13, true), plum, {356, 16});
    for (QLabel* l : {lblTime, lblCount})
        l->setMinimumWidth(80);
    lblTime->setAccessibleName(QStringLiteral("쓴 시간 0"));
    lblCount->setAccessibleName(QStringLiteral("글자 수 0"));
    // The warning line starts below the paper buttons (8 + 29), and the bar grows to hold it.
    constexpr int kWarningTop = 38;
    Label5 = label(topBar, "Label5", QStringLiteral("[주의]"), GulimcheFont(13), Qt::red, {16, kWarningTop});
    Label6 =
        label(topBar, "Label6",
              QStringLiteral("감상문의 분량이 제시한 규정(1,500자 +- 150자)을 충족하지 못할 경우 감점(20점)합니다."),
              GulimcheFont(13), Qt::black, {60, kWarningTop});
    top->setFixedHeight(std::max(top->height(), kWarningTop + Label6->height() + 1));

    QWidget* bottom = colouredPanel(frame, QColor(0xEF, 0xEF, 0xEF), "pnlBottom");
    bottom->setFixedHeight(32);
    Image5 = button(bottom, "Image5", QStringLiteral("출력"), {208, 7, 47, 18}, 7);
    btnSave = button(bottom, "btnSave", QStringLiteral("임시저장"), {256, 7, 68, 18}, 4);
    lblNotice = label(bottom, "lblNotice", QString(), GulimcheFont(12), Qt::darkGreen, {332, 9});
    lblNotice->setMinimumWidth(200);

    pnlGrid = colouredPanel(frame, Qt::white, "pnlGrid");
    pnlGrid->setFixedWidth(73);

    QWidget* area = new QWidget(frame);
    area->setObjectName(QStringLiteral("pnlWriting"));
    Panel7 = colouredPanel(area, Qt::white, "Panel7");
    mem = new QPlainTextEdit(Panel7);
    mem->setObjectName(QStringLiteral("mem"));
    mem->setAccessibleName(QStringLiteral("백지"));
    mem->setFrameShape(QFrame::NoFrame);
    mem->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mem->hide();
    auto* memLayout = new QVBoxLayout(Panel7);
    memLayout->setContentsMargins(85, 17, 103, 17);
    memLayout->addWidget(mem);

    grid = new ManuscriptView(area);
    grid->setObjectName(QStringLiteral("grid"));
    grid->setAccessibleName(QStringLiteral("원고지"));
    grid->setModel(model);
    grid->setColumnWidth(0, ManuscriptView::kCounterWidth);
    grid->hide();
    auto* areaLayout = new QGridLayout(area);
    areaLayout->setContentsMargins(0, 0, 0, 0);
    areaLayout->addWidget(Panel7, 0, 0);
    areaLayout->addWidget(grid, 0, 0);

    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    middle->addWidget(pnlGrid);
    middle->addWidget(area);
    pnlGrid->hide();
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(top);
    layout->addLayout(middle, 1);
    layout->addWidget(bottom);

    edt = new TSorEdit(frame);
    edt->setObjectName(QStringLiteral("edt"));
    edt->setAccessibleName(QStringLiteral("원고지 칸"));
    edt->setFrame(false);
    edt->setFont(GulimcheFont(17));
    edt->setCellSize({23, 19});
    QPalette p = edt->palette();
    p.setColor(QPalette::Base, QColor(255, 255, 128));
    edt->setPalette(p);
    edt->setGrid(grid);
    edt->hide();
    edt->raise();

    Keyboard::TabLeavesMemo(mem);
    Keyboard::SetTabChain({btn1, btn2, btnAG, edt, grid, mem, Image5, btnSave});
    Keyboard::PressOnKey(btnSave, QKeySequence(Qt::CTRL | Qt::Key_S));
    Keyboard::PressOnKey(Image5, QKeySequence(Qt::CTRL | Qt::Key_P));
}
