#include "correction/TfmeTeacher.h"

#include "board/SorBoard.h"
#include "correction/ErrorStatsButton.h"
#include "correction/MemoText.h"
#include "correction/ScoreSheetView.h"
#include "correction/TFlatSpeedButton.h"
#include "correction/TeacherPictures.h"
#include "correction/TeacherQueueBar.h"
#include "correction/TotalBox.h"
#include "ui/ErrorBox.h"
#include "ui/Fonts.h"
#include "ui/Keyboard.h"
#include "ui/PictureButton.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QStackedLayout>
#include <QTableView>
#include <QVBoxLayout>

// The frame's widgets, where they stand, and which handler each one calls.

namespace {

const QColor kTopColour(0xFF, 0xDC, 0x92);
const QColor kOrange(0xFF, 0x85, 0x00);
const QColor kBottomColour(0xEF, 0xEF, 0xEF);
const QColor kButtonFace(0xFF, 0xB4, 0x3C);
const QColor kInactiveTab(0xE8, 0xE8, 0xE8);

// Rows of the palette from the top; the fifth row stands 32 pixels below the fourth.
constexpr int kToolRows[] = {24, 52, 80, 108, 140, 168, 196, 224, 252, 280, 308, 336, 364, 392, 420};
// Left and right button of each row.
constexpr TDrawTool kTools[][2] = {
    {dtText, dt46}, {dt12, dt14}, {dt15, dt11}, {dt17, dt16},      {dt25, dt18},
    {dt27, dt22},   {dt32, dt24}, {dt34, dt26}, {dt41, dt31},      {dt43, dt33},
    {dt45, dt35},   {dt44, dt42}, {dt21, dt23}, {dtLeft, dtRight}, {dtNumber, dtSelect},
};

QFrame* NewPanel(const QString& name, QWidget* parent, const QColor& colour = Qt::white)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, colour);
    panel->setPalette(palette);
    return panel;
}

PictureButton* WordButton(const QString& name, const QString& word, QSize size, int tag, QWidget* parent)
{
    auto* button = new PictureButton(TeacherPictures::Word(word, size, kButtonFace, Qt::white), word, parent);
    button->setObjectName(name);
    button->Tag = tag;
    return button;
}

QLabel* Heading(const QString& name, const QString& word, QSize size, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setPixmap(TeacherPictures::Word(word, size, kOrange, Qt::white));
    label->setFixedSize(size);
    label->setAccessibleName(word);
    return label;
}

QPlainTextEdit* Memo(const QString& name, int pixelHeight, const QString& accessibleName, QWidget* parent)
{
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(name);
    memo->setFont(GulimcheFont(pixelHeight));
    memo->setFrameShape(QFrame::NoFrame);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memo->setAccessibleName(accessibleName);
    Keyboard::TabLeavesMemo(memo);
    return memo;
}

}

void TfmeTeacher::BuildLayout()
{
    setObjectName(QStringLiteral("fmeTeacher"));
    setAutoFillBackground(true);
    setPalette(QPalette(Qt::white));
    resize(737, 508);

    BuildTopStrip();
    BuildPalette();
    BuildCentre();
    BuildRightPanel();
    BuildBottomPanel();
    BuildBottomStrip();

    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    middle->addWidget(pnlLeft);
    middle->addWidget(Panel1, 1);
    middle->addWidget(pnlRight);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel5);
    layout->addLayout(middle, 1);
    layout->addWidget(Panel3);
    layout->addWidget(pnlBottom);

    QList<QWidget*> chain{btn1, btnLegend, btn2, btnAG};
    for (TFlatSpeedButton* button : ToolButtons)
        chain << button;
    chain << QList<QWidget*>{cmbList, Image3, Image4,    Board,     ScrollBox1, Memo2,  Image8,  Image6,
                             Memo1,   pGrid,  CheckBox1, ComboBox1, Image7,     Image2, btnSave, btnCancel};
    chain << QList<QWidget*>{FQueueBar->btnPrevious, FQueueBar->btnNext, FQueueBar->chkAll};
    Keyboard::SetTabChain(chain);
    Keyboard::PressOnKey(btnSave, QKeySequence(Qt::CTRL | Qt::Key_S));
    Keyboard::PressOnKey(Image2, QKeySequence(Qt::CTRL | Qt::Key_P));
}

void TfmeTeacher::ConnectHandlers()
{
    for (PictureButton* button : {btn1, btn2, btnAG, btnLegend, Image7, Image2, btnSave, btnCancel})
        connect(button, &PictureButton::clicked, this, [this, button] { Guarded([&] { btnClick(button); }); });
    connect(cmbList, &QComboBox::activated, this, [this](int index) { Guarded([&] { cmbListChange(index); }); });

    for (PictureButton* button : {Image3, Image4})
        connect(button, &PictureButton::clicked, this, [this, button] { Guarded([&] { IClick(button); }); });
    connect(Image8, &PictureButton::clicked, this, [this] { Guarded([&] { Image8Click(); }); });
    connect(Image6, &PictureButton::clicked, this, [this] { Guarded([&] { Image6Click(); }); });
    // The deduction box is work too; typed points and a typed total the session sees itself.
    connect(CheckBox1, &QCheckBox::clicked, this, [this] { FSession.SetModified(true); });
    connect(Memo1, &QPlainTextEdit::textChanged, this, [this] { FSession.SetReview(MemoText(Memo1)); });

    connect(&FSession, &CorrectionSession::PagesChanged, this, &TfmeTeacher::ShowPageList);
    connect(&FSession.Scores(), &ScoreSheet::message, this, [](const QString& text) { ShowInfo(text); });
    connect(&FSession, &CorrectionSession::ReviewLoaded, this, [this](const QString& review) {
        if (MemoText(Memo1) != review)
            SetMemoText(Memo1, review);
    });

    connect(&FSession.Page(), &CorrectionPage::changed, this, &TfmeTeacher::ShowPageChange);
    connect(Memo2, &QPlainTextEdit::textChanged, this, [this] {
        if (!FShowingComment)
            FSession.Page().setComment(Memo2->toPlainText());
    });
    Board->OnPlaceItem = [this](TSorCustomBoard*, TDrawTool tool, QPoint startPoint, QPoint endPoint) {
        Guarded([&] { BoardItemAdd(tool, startPoint, endPoint); });
    };
    Board->OnItemMoveSized = [this](TBoardHost*, TBoardItem* item) { BoardItemMoveSized(*item); };
    Board->OnDblClick = [this](TSorCustomBoard*) { Guarded([&] { BoardDblClick(); }); };
    Board->OnRatioChange = [this](TSorCustomBoard*) { Guarded([&] { BoardRatioChange(); }); };
    Board->OnKeyDown = [this](TSorCustomBoard*, int& key, Qt::KeyboardModifiers shift) {
        // The board keeps every key; Tab is what leaves it.
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
            focusNextPrevChild(key == Qt::Key_Tab && !(shift & Qt::ShiftModifier));
            key = 0;
            return;
        }
        Guarded([&] { BoardKeyDown(key, shift); });
    };
    Board->OnMouseDown = [this](TSorCustomBoard*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        BoardMouseDown();
    };
    // The wheel anywhere over the page area, whichever of its widgets is under the mouse.
    for (QWidget* area :
         {static_cast<QWidget*>(Board), static_cast<QWidget*>(Image), ScrollBox1->widget(), ScrollBox1->viewport()})
        area->installEventFilter(this);
    for (QPlainTextEdit* memo : {Memo1, Memo2})
        memo->installEventFilter(this);
}

void TfmeTeacher::BuildTopStrip()
{
    Panel5 = NewPanel(QStringLiteral("Panel5"), this);
    Panel5->setFixedHeight(52);
    pnlTop = NewPanel(QStringLiteral("pnlTop"), Panel5, kTopColour);
    auto* outer = new QVBoxLayout(Panel5);
    outer->setContentsMargins(0, 0, 0, 4);
    outer->addWidget(pnlTop);

    btn1 = WordButton(QStringLiteral("btn1"), QStringLiteral("에디터첨삭"), {88, 28}, TagBoard, pnlTop);
    btn1->move(10, 10);
    btn2 = WordButton(QStringLiteral("btn2"), QStringLiteral("자필첨삭"), {88, 28}, TagHandwritten, pnlTop);
    btn2->move(102, 10);
    btn2->hide();
    btnAG = WordButton(QStringLiteral("btnAG"), QStringLiteral("토의사항"), {88, 28}, TagDiscussion, pnlTop);
    btnAG->move(194, 10);
    btnAG->hide();
    // In the place of 에디터첨삭, which a viewing run hides.
    btnLegend = WordButton(QStringLiteral("btnLegend"), QStringLiteral("기호 설명"), {88, 28}, TagLegend, pnlTop);
    btnLegend->move(10, 10);
    btnLegend->hide();

    Label13 = new QLabel(QStringLiteral("[주의]"), pnlTop);
    Label13->setObjectName(QStringLiteral("Label13"));
    Label13->setFont(GulimcheFont(13));
    Label13->setStyleSheet(QStringLiteral("color: red;"));
    Label13->move(296, 17);
    Label13->adjustSize();
    Label14 = new QLabel(
        QStringLiteral("감상문의 분량이 제시한 규정(1,500자 +- 150자)을 충족하지 못할 경우 감점(20점)합니다."), pnlTop);
    Label14->setObjectName(QStringLiteral("Label14"));
    Label14->setFont(GulimcheFont(13));
    Label14->setStyleSheet(QStringLiteral("color: black;"));
    Label14->move(Label13->x() + Label13->width() + 4, 17);
    Label14->adjustSize();
    Label13->hide();
    Label14->hide();
}

void TfmeTeacher::BuildPalette()
{
    pnlLeft = NewPanel(QStringLiteral("pnlLeft"), this);
    pnlLeft->setFixedWidth(81);
    // A short window takes its height from the page and the sheet, never from the palette.
    pnlLeft->setMinimumHeight(kToolRows[std::size(kToolRows) - 1] + 25 + 4);
    ToolGroup = new QButtonGroup(this);
    ToolGroup->setExclusive(true);
    int number = 0;
    for (size_t row = 0; row < std::size(kToolRows); ++row) {
        for (int side = 0; side < 2; ++side) {
            const TDrawTool tool = kTools[row][side];
            auto* button = new TFlatSpeedButton(pnlLeft);
            button->Tag = tool;
            button->setObjectName(tool == dtSelect ? QStringLiteral("btnCursor")
                                                   : QStringLiteral("SpeedButton%1").arg(++number));
            button->setGeometry(side == 0 ? 12 : 40, kToolRows[row], 25, 25);
            button->setCheckable(true);
            button->setAutoRaise(true);
            button->setIcon(TeacherPictures::Tool(tool, 21));
            button->setIconSize({21, 21});
            button->setCursor(Qt::PointingHandCursor);
            const QString name = tool == dtSelect ? QStringLiteral("선택") : DrawToolHint(tool);
            button->setToolTip(name);
            button->setAccessibleName(name);
            // The chosen tool stands out by a dark frame, the focused one by a blue one.
            button->setStyleSheet(
                QStringLiteral("QToolButton { border: 1px solid #F7C357; background: white; }"
                               "QToolButton:checked { border: 2px solid #B04000; background: #FCE3A6; }"
                               "QToolButton:focus { border: 2px solid #0040A0; }"));
            ToolGroup->addButton(button, tool);
            ToolButtons.append(button);
            if (tool == dtSelect)
                btnCursor = button;
        }
    }
    // The checked state chooses, however the button got it: a click, a key, or the toggle
    // that assistive technology presses.
    connect(ToolGroup, &QButtonGroup::idToggled, this, [this](int tool, bool checked) {
        if (checked)
            Guarded([&] { SpeedButton1Click(ToolGroup->button(tool)); });
    });
}

void TfmeTeacher::BuildCentre()
{
    Panel1 = NewPanel(QStringLiteral("Panel1"), this);
    Panel2 = NewPanel(QStringLiteral("Panel2"), Panel1);
    Panel2->setFixedHeight(25);
    cmbList = new QComboBox(Panel2);
    cmbList->setObjectName(QStringLiteral("cmbList"));
    cmbList->setGeometry(2, 2, 93, 21);
    cmbList->setAccessibleName(QStringLiteral("페이지"));
    Image3 = WordButton(QStringLiteral("Image3"), QStringLiteral("추가"), {40, 21}, 1, Panel2);
    Image3->move(100, 2);
    Image3->hide();
    Image4 = WordButton(QStringLiteral("Image4"), QStringLiteral("삭제"), {40, 21}, 2, Panel2);
    Image4->move(144, 2);
    Image4->hide();
    Label5 = new QLabel(Panel2);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setFont(GulimcheFont(12));
    Label5->setGeometry(100, 2, 200, 21);

    ScrollBox1 = new QScrollArea(Panel1);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setBackgroundRole(QPalette::Base);
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("PageArea"));
    Board = new TSorBoard(page);
    Board->setObjectName(QStringLiteral("Board"));
    Board->setAccessibleName(QStringLiteral("첨삭판"));
    Image = new QLabel(page);
    Image->setObjectName(QStringLiteral("Image"));
    Image->setAccessibleName(QStringLiteral("자필 첨삭 페이지"));
    Image->hide();
    ScrollBox1->setWidget(page);

    auto* layout = new QVBoxLayout(Panel1);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel2);
    layout->addWidget(ScrollBox1, 1);
}

void TfmeTeacher::BuildRightPanel()
{
    pnlRight = NewPanel(QStringLiteral("pnlRight"), this, kOrange);
    pnlRight->setFixedWidth(222);
    Image5 = Heading(QStringLiteral("Image5"), QStringLiteral("첨삭지도"), {220, 26}, pnlRight);
    Memo2 = Memo(QStringLiteral("Memo2"), 12, QStringLiteral("페이지 평"), pnlRight);
    auto* layout = new QVBoxLayout(pnlRight);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(1);
    layout->addWidget(Image5);
    layout->addWidget(Memo2, 1);
}

void TfmeTeacher::BuildBottomPanel()
{
    Panel3 = NewPanel(QStringLiteral("Panel3"), this);
    // 130 high when the window has room; on a short screen (1280 x 720) it gives up a little,
    // its review and sheet scrolling, so the buttons below stay in view.
    Panel3->setMinimumHeight(96);
    Panel3->setMaximumHeight(130);
    Panel3->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);

    Panel7 = NewPanel(QStringLiteral("Panel7"), Panel3);
    Panel7->setFixedHeight(23);
    Label4 = new QLabel(Panel7);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setAutoFillBackground(true);
    Label4->setPalette(QPalette(kOrange));
    const QSize tab(60, 22);
    i1 = TeacherPictures::Word(QStringLiteral("총평"), tab, kOrange, Qt::white);
    i2 = TeacherPictures::Word(QStringLiteral("평가"), tab, kInactiveTab, Qt::darkGray);
    i3 = TeacherPictures::Word(QStringLiteral("총평"), tab, kInactiveTab, Qt::darkGray);
    i4 = TeacherPictures::Word(QStringLiteral("평가"), tab, kOrange, Qt::white);
    Image8 = new PictureButton(i1, QStringLiteral("총평"), Panel7);
    Image8->setObjectName(QStringLiteral("Image8"));
    Image8->move(0, 1);
    Image6 = new PictureButton(i2, QStringLiteral("평가"), Panel7);
    Image6->setObjectName(QStringLiteral("Image6"));
    Image6->move(62, 1);
    Image6->hide();

    Memo1 = Memo(QStringLiteral("Memo1"), 13, QStringLiteral("총평"), Panel3);

    ScoreView = new TScoreSheetView(FSession.Scores(), Panel3);
    pGrid = ScoreView->pGrid;
    pGrid->setAccessibleName(QStringLiteral("평가"));
    CheckBox1 = ScoreView->CheckBox1;
    ScoreView->hide();

    auto* body = new QStackedLayout;
    body->setStackingMode(QStackedLayout::StackAll);
    body->addWidget(Memo1);
    body->addWidget(ScoreView);

    Panel4 = NewPanel(QStringLiteral("Panel4"), Panel3);
    Panel4->setFixedWidth(221);
    Image9 = Heading(QStringLiteral("Image9"), QStringLiteral("평점"), {221, 22}, Panel4);
    ComboBox1 = new TTotalBox(FSession.Scores(), Panel4);
    auto* right = new QVBoxLayout(Panel4);
    right->setContentsMargins(0, 1, 0, 0);
    right->setSpacing(0);
    right->addWidget(Image9);
    right->addWidget(ComboBox1, 1);

    auto* left = new QVBoxLayout;
    left->setSpacing(0);
    left->addWidget(Panel7);
    left->addLayout(body, 1);
    auto* layout = new QHBoxLayout(Panel3);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(left, 1);
    layout->addWidget(Panel4);
}

void TfmeTeacher::BuildBottomStrip()
{
    pnlBottom = NewPanel(QStringLiteral("pnlBottom"), this, kBottomColour);
    pnlBottom->setFixedHeight(32);
    Image7 = WordButton(QStringLiteral("Image7"), QStringLiteral("답안출력"), {76, 24}, TagAnswerPrint, pnlBottom);
    Image2 = WordButton(QStringLiteral("Image2"), QStringLiteral("첨삭출력"), {76, 24}, TagCorrectionPrint, pnlBottom);
    btnSave = WordButton(QStringLiteral("btnSave"), QStringLiteral("임시저장"), {76, 24}, TagSave, pnlBottom);
    btnCancel =
        WordButton(QStringLiteral("btnCancel"), QStringLiteral("취소"), {76, 24}, TagCorrectionPrint, pnlBottom);
    btnCancel->hide();
    lblNotice = new QLabel(pnlBottom);
    lblNotice->setObjectName(QStringLiteral("lblNotice"));
    lblNotice->setFont(GulimcheFont(12));
    QPalette notice = lblNotice->palette();
    notice.setColor(QPalette::WindowText, Qt::darkGreen);
    lblNotice->setPalette(notice);
    auto* layout = new QHBoxLayout(pnlBottom);
    layout->setContentsMargins(4, 4, 8, 4);
    layout->setSpacing(4);
    FQueueBar = new TeacherQueueBar(pnlBottom);
    layout->addWidget(FQueueBar);
    btnErrorStats = new ErrorStatsButton(pnlBottom);
    layout->addWidget(btnErrorStats);
    layout->addWidget(lblNotice, 1);
    for (QWidget* button : {Image7, Image2, btnSave, btnCancel})
        layout->addWidget(button);
}
