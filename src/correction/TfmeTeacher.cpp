#include "correction/TfmeTeacher.h"

#include "board/SorBoard.h"
#include "core/AppError.h"
#include "ui/DialogService.h"
#include "ui/ErrorBox.h"
#include "ui/Fonts.h"
#include "ui/PictureButton.h"
#include "core/TransferGate.h"
#include "text/TrimControls.h"
#include "jpeg/Jpeg.h"
#include "report/ReportEngine.h"
#include "report/TfrmPreview.h"
#include "correction/BoardPage.h"
#include "correction/DisplayedLines.h"
#include "correction/FitItemToText.h"
#include "correction/HandwrittenPage.h"
#include "correction/MemoText.h"
#include "correction/ReviewLines.h"
#include "correction/ScoreSheet.h"
#include "correction/ScoreSheetView.h"
#include "correction/TFlatSpeedButton.h"
#include "correction/TeacherPictures.h"
#include "correction/TfrmTemp.h"
#include "correction/TeacherForm.h"
#include "correction/TfrmText.h"
#include "correction/Thumbnail.h"
#include "correction/TickCount.h"
#include "correction/TotalBox.h"
#include "document/CorrectionRecord.h"
#include "document/EssayRecord.h"
#include "net/ShowBrowserWindow.h"
#include "net/Transport.h"
#include "print/AnswerPrint.h"
#include "print/CorrectionPrint.h"
#include "print/PrintDataSets.h"
#include "print/PrintTemplates.h"
#include "print/PrintVariables.h"

#include <QBuffer>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedLayout>
#include <QTextCursor>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QColor kTopColour(0xFF, 0xDC, 0x92);
const QColor kOrange(0xFF, 0x85, 0x00);
const QColor kBottomColour(0xEF, 0xEF, 0xEF);
const QColor kButtonFace(0xFF, 0xB4, 0x3C);
const QColor kInactiveTab(0xE8, 0xE8, 0xE8);

const QString kCommentFull = QStringLiteral("더이상 추가 하실 수 없습니다.\r\n55라인까지만 입력가능합니다.");

// A key that types or erases something, as opposed to moving the caret or a bare modifier.
bool IsTypedKey(const QKeyEvent& key)
{
    return !key.text().isEmpty() || key.key() == Qt::Key_Backspace || key.key() == Qt::Key_Delete;
}

// Rows of the palette from the top; the fifth row stands 32 pixels below the fourth.
constexpr int kToolRows[] = {24, 52, 80, 108, 140, 168, 196, 224, 252, 280, 308, 336, 364, 392, 420};
// Left and right button of each row.
constexpr TDrawTool kTools[][2] = {
    {dtText, dt46},  {dt12, dt14},  {dt15, dt11},    {dt17, dt16},       {dt25, dt18},
    {dt27, dt22},    {dt32, dt24},  {dt34, dt26},    {dt41, dt31},       {dt43, dt33},
    {dt45, dt35},    {dt44, dt42},  {dt21, dt23},    {dtLeft, dtRight},  {dtNumber, dtSelect},
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
    return memo;
}

}

TfmeTeacher::TfmeTeacher(QWidget* parent)
    : QFrame(parent),
      cdTempEditor(EssayRecord::fields()),
      cdTeacher(CorrectionRecord::fields()),
      cdTemp(CorrectionRecord::fields()),
      cdPrint(PrintDataSets::correctionPrint()),
      cdPrint2(PrintDataSets::reviewPrint())
{
    // The start-up has made the renderer already; a frame made on its own makes it here.
    CreateFrmTemp();
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

    Memo3 = Memo(QStringLiteral("Memo3"), 13, QStringLiteral("인쇄할 총평"), this);
    Memo3->setFixedWidth(CorrectionPrint::kReviewWidth);
    Memo3->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo3->hide();

    for (PictureButton* button : {btn1, btn2, btnAG, Image7, Image2, btnSave, btnCancel})
        connect(button, &PictureButton::clicked, this, [this, button] { Guarded([&] { btnClick(button); }); });
    connect(cmbList, &QComboBox::activated, this, [this](int index) { Guarded([&] { cmbListChange(index); }); });

    for (PictureButton* button : {Image3, Image4})
        connect(button, &PictureButton::clicked, this, [this, button] { Guarded([&] { IClick(button); }); });
    connect(Image8, &PictureButton::clicked, this, &TfmeTeacher::Image8Click);
    connect(Image6, &PictureButton::clicked, this, &TfmeTeacher::Image6Click);
    // Scores are work too: typed points, the deduction box and a typed total.
    connect(Scores, &ScoreSheet::edited, this, [this] { FModified = true; });
    connect(CheckBox1, &QCheckBox::clicked, this, [this] { FModified = true; });

    Board->OnItemAdd = [this](TBoardHost*, TBoardItem* item) { BoardItemAdd(item); };
    Board->OnItemMoveSized = [this](TBoardHost*, TBoardItem*) { BoardItemMoveSized(); };
    Board->OnDblClick = [this](TSorCustomBoard*) { Guarded([&] { BoardDblClick(); }); };
    Board->OnKeyDown = [this](TSorCustomBoard*, int& key, Qt::KeyboardModifiers) { BoardKeyDown(key); };
    Board->OnMouseDown = [this](TSorCustomBoard*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        BoardMouseDown();
    };
    // The wheel anywhere over the page area, whichever of its widgets is under the mouse.
    for (QWidget* area : {static_cast<QWidget*>(Board), static_cast<QWidget*>(Image), ScrollBox1->widget(),
                          ScrollBox1->viewport()})
        area->installEventFilter(this);
    for (QPlainTextEdit* memo : {Memo1, Memo2, Memo3})
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

    Label13 = new QLabel(QStringLiteral("[주의]"), pnlTop);
    Label13->setObjectName(QStringLiteral("Label13"));
    Label13->setFont(GulimcheFont(13));
    Label13->setStyleSheet(QStringLiteral("color: red;"));
    Label13->move(296, 17);
    Label13->adjustSize();
    Label14 = new QLabel(QStringLiteral("감상문의 분량이 제시한 규정(1,500자 +- 150자)을 충족하지 못할 경우 감점(20점)합니다."),
                         pnlTop);
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
            button->setToolTip(DrawToolHint(tool));
            button->setAccessibleName(tool == dtSelect ? QStringLiteral("선택") : DrawToolHint(tool));
            button->setStyleSheet(QStringLiteral("QToolButton { border: 1px solid #F7C357; background: white; }"
                                                 "QToolButton:checked { background: #FCE3A6; }"));
            ToolGroup->addButton(button);
            ToolButtons.append(button);
            connect(button, &QToolButton::clicked, this,
                    [this, button] { Guarded([&] { SpeedButton1Click(button); }); });
            if (tool == dtSelect)
                btnCursor = button;
        }
    }
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
    Panel3->setFixedHeight(130);

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

    Scores = new ScoreSheet(this);
    ScoreView = new TScoreSheetView(*Scores, Panel3);
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
    ComboBox1 = new TTotalBox(*Scores, Panel4);
    ComboBox1->setEnabled(false);
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
    btnCancel = WordButton(QStringLiteral("btnCancel"), QStringLiteral("취소"), {76, 24}, TagCorrectionPrint, pnlBottom);
    btnCancel->hide();
    auto* layout = new QHBoxLayout(pnlBottom);
    layout->setContentsMargins(4, 4, 8, 4);
    layout->setSpacing(4);
    layout->addStretch(1);
    for (QWidget* button : {Image7, Image2, btnSave, btnCancel})
        layout->addWidget(button);
}

void TfmeTeacher::ShowLaunchState(QLineEdit* titleBox)
{
    Image6->setVisible(FScoreSwitch == QLatin1String("Y"));
    btnAG->setVisible(!TrimControls(FDiscussionUrl).isEmpty());
    Label13->setVisible(FScoreSwitch == QLatin1String("Y"));
    Label14->setVisible(FScoreSwitch == QLatin1String("Y"));
    Scores->setTotal(FReportPoint);
    titleBox->setText(FTitle);
    titleBox->setEnabled(false);
}

void TfmeTeacher::SetupTeacherRun(const LaunchFields& fields, QLineEdit* titleBox)
{
    FTeacherNo = fields.at(1);
    FPassword = fields.at(2);
    FHasCorrection = fields.at(3) == QLatin1String("1");
    FLectureKey = fields.at(4);
    FStudentNo = fields.at(5);
    FEssayUrl = fields.at(6);
    FCorrectionUrl = fields.at(7);
    FEditable = fields.at(8) == QLatin1String("1");
    // A run that may not edit must not save either, however far its set-up gets.
    FViewOnly = !FEditable;
    FTitle = fields.at(9);
    FReportPoint = fields.at(10);
    if (fields.count() > 11)
        FDiscussionUrl = fields.at(11);
    if (fields.count() > 12)
        FScoreSwitch = fields.at(12);

    ShowLaunchState(titleBox);
    ComboBox1->setEnabled(FScoreSwitch == QLatin1String("N"));
    // Shown, so a teacher can correct on paper: hidden, a handwritten correction could
    // never be started.
    btn2->setVisible(FEditable);
    if (FEssayUrl.isEmpty()) {
        ShowInfo(QStringLiteral("답안지가 없습니다."));
        return;
    }
    DownloadRecord(FEssayUrl, cdEditor);
    if (FHasCorrection && !FCorrectionUrl.isEmpty()) {
        cdTeacher.emptyDataSet();
        DownloadRecord(FCorrectionUrl, cdTeacher);
    }
    if (!FEditable)
        SetReadOnly();
    LoadCorrection();
    pGridTopLeftChanged();
}

void TfmeTeacher::SetupViewRun(const LaunchFields& fields, QLineEdit* titleBox)
{
    // Nothing of a viewing run can change, also when its set-up stops early.
    const auto viewOnly = qScopeGuard([this] { SetViewOnly(); });
    FTeacherNo = fields.at(1);
    FPassword = fields.at(2);
    FHasCorrection = fields.at(3) == QLatin1String("1");
    FLectureKey = fields.at(4);
    FEssayUrl = fields.at(5);
    FCorrectionUrl = fields.at(6);
    FTitle = fields.at(7);
    FReportPoint = fields.at(8);
    if (fields.count() > 9)
        FDiscussionUrl = fields.at(9);
    if (fields.count() > 10)
        FScoreSwitch = fields.at(10);
    FEditable = true;

    ShowLaunchState(titleBox);
    ComboBox1->setEnabled(false);
    CheckBox1->setEnabled(false);
    if (FEssayUrl.isEmpty()) {
        ShowInfo(QStringLiteral("답안지가 없습니다."));
        return;
    }
    DownloadRecord(FEssayUrl, cdEditor);
    if (!FCorrectionUrl.isEmpty())
        DownloadRecord(FCorrectionUrl, cdTeacher);
    LoadCorrection();
    pGridTopLeftChanged();
}

// An unreadable record stops the set-up with the reading error, in both modes.
void TfmeTeacher::DownloadRecord(const QString& address, DataSet& record)
{
    QBuffer stream;
    DownloadToStream(address, stream);
    record.loadPacket(stream.data());
    record.first();
}

void TfmeTeacher::LoadCorrection()
{
    FPageIndex = -1;
    cdEditor.first();
    cdTemp.emptyDataSet();
    cdTempEditor.emptyDataSet();
    frmTemp->BuildLineTable(cdEditor, cdTempEditor);
    cdTemp.copyFrom(cdTeacher);
    Board->SetDrawTool(dtNone);
    ReadSummary();
    Board->Redraw();
    if (CorrectionRecord::isHandwritten(cdTeacher)) {
        BuildPageList(2);
    } else {
        BuildPageList(1);
        cdTeacher.emptyDataSet();
    }
}

void TfmeTeacher::ReadSummary()
{
    const std::optional<CorrectionRecord::Summary> summary = CorrectionRecord::readSummary(cdTemp);
    if (!summary)
        return;
    if (!summary->review.isEmpty())
        SetMemoText(Memo1, summary->review);
    Scores->load(summary->points, summary->deduction);
}

void TfmeTeacher::BuildPageList(int mode)
{
    const bool board = mode == 1;
    Image->move(0, 0);
    pnlLeft->setVisible(board);
    pnlRight->setVisible(board);
    if (board)
        Image8Click();
    else
        Memo1->hide();
    Label4->setVisible(board);
    Board->SetDrawTool(dtSelect);
    btnCursor->setChecked(true);
    Board->setVisible(board);
    Image->setVisible(!board);
    // A run that may not edit gets no page buttons back.
    Image3->setVisible(!board && !FReadOnly);
    Image4->setVisible(!board && !FReadOnly);

    FViewMode = mode;
    cmbList->clear();
    const int pages = board ? TfrmTemp::PageCount(cdTempEditor) : cdTeacher.recordCount();
    for (int page = 1; page <= pages; ++page)
        cmbList->addItem(CorrectionRecord::pageKey(page));
    Label5->setText(QStringLiteral("총 %1페이지 입니다.").arg(cmbList->count()));
    Label5->setVisible(board);
    if (cmbList->count() > 0) {
        cmbList->setCurrentIndex(0);
        cmbListChange(0);
    }
}

void TfmeTeacher::cmbListChange(int index)
{
    if (FViewMode == 1) {
        StorePage();
        LoadPage(index);
        FPageIndex = index;
    } else {
        ShowHandwrittenPage(index);
    }
}

void TfmeTeacher::StorePage()
{
    CorrectionRecord::storePage(cdTemp, CorrectionRecord::pageKey(FPageIndex + 1),
                                BoardPage::Marks(Board->Items()), MemoText(Memo2));
}

void TfmeTeacher::LoadPage(int index)
{
    frmTemp->RenderPage(cdTempEditor, Board->Background(), index + 1);
    ScrollBox1->verticalScrollBar()->setValue(0);
    Board->move(0, 0);
    Board->resize(Board->Background().size());
    ScrollBox1->widget()->resize(Board->size());
    const CorrectionRecord::Page page = CorrectionRecord::loadPage(cdTemp, CorrectionRecord::pageKey(index + 1));
    Memo2->clear();
    BoardPage::Restore(*Board, page.marks);
    if (!page.comment.isEmpty())
        SetMemoText(Memo2, page.comment);
}

void TfmeTeacher::ShowHandwrittenPage(int index)
{
    cdTeacher.moveTo(index);
    Image->clear();
    const QImage picture = Jpeg::decode(cdTeacher.asBytes(u"Image"));
    Image->setPixmap(QPixmap::fromImage(picture));
    Image->adjustSize();
    ScrollBox1->widget()->resize(Image->size());
}

void TfmeTeacher::SetReadOnly()
{
    FReadOnly = true;
    btn2->hide();
    btnSave->hide();
    Image7->hide();
    Image3->hide();
    Image4->hide();
    btnCancel->setEnabled(false);
    // Locked first: a locked board keeps the selection tool, with which a press on a
    // locked board places nothing.
    Board->SetLocked(true);
    Board->SetDrawTool(dtNone);
    Memo1->setReadOnly(true);
    Memo2->setReadOnly(true);
    ComboBox1->setEnabled(false);
    for (TFlatSpeedButton* button : ToolButtons)
        button->setEnabled(false);
    ScoreView->SetReadOnly();
}

void TfmeTeacher::SetViewOnly()
{
    btn1->hide();
    pnlLeft->hide();
    SetReadOnly();
    FViewOnly = true;
}

void TfmeTeacher::btnClick(QObject* sender)
{
    const auto* button = qobject_cast<const PictureButton*>(sender);
    if (!button)
        return;
    switch (button->Tag) {
    case TagBoard:
        BuildPageList(1);
        break;
    case TagHandwritten:
        BuildPageList(2);
        break;
    case TagDiscussion:
        ShowBrowserWindow(FDiscussionUrl);
        break;
    // A click that comes while a save is being sent waits for nothing and does nothing:
    // a print or a second save would move the pages under the one being sent.
    case TagAnswerPrint:
        if (!TransferGate::instance().busy())
            ShowReportPreview(PrepareAnswerPrint(), QStringLiteral("답안 출력"));
        break;
    case TagSave:
        if (!TransferGate::instance().busy())
            SaveCorrection();
        break;
    case TagCorrectionPrint:
        if (!TransferGate::instance().busy())
            ShowReportPreview(PrepareCorrectionPrint(), QStringLiteral("첨삭 출력"));
        break;
    default:
        break;
    }
}

void TfmeTeacher::RequirePages(const QString& action) const
{
    if (FViewMode == 0)
        throw AppError(QStringLiteral("답안지가 없어 %1할 수 없습니다.").arg(action));
    if (cmbList->count() == 0)
        throw AppError(QStringLiteral("자필 첨삭 페이지가 없어 %1할 수 없습니다. 페이지를 추가해 주세요.").arg(action));
}

void TfmeTeacher::SaveCorrection()
{
    if (FViewOnly)
        return;
    RequirePages(QStringLiteral("저장"));
    ValidateScores();
    const bool board = FViewMode == 1;
    // The record is rebuilt from the working copy at every save, so it never outlives one.
    const auto release = qScopeGuard([this, board] {
        if (board)
            cdTeacher.emptyDataSet();
    });
    cmbList->setCurrentIndex(0);
    cmbListChange(0);
    QImage thumbnail;
    if (board) {
        QImage page(Board->size(), QImage::Format_RGB32);
        Board->DrawPicture(page);
        QImage comment;
        frmTemp->RenderText(MemoText(Memo2), comment);
        thumbnail = Thumbnail::Board(page, comment);
        CorrectionRecord::writeSummary(cdTeacher, cdTemp,
                                       {MemoText(Memo1), Scores->points(), Scores->deduction()});
    } else {
        thumbnail = Image->pixmap().toImage();
    }
    TeacherSubmission submission{FTeacherNo, FPassword, FLectureKey, FStudentNo, {}, Thumbnail::Encode(thumbnail), {}};
    submission.record = CorrectionRecord::toPacket(cdTeacher);
    FReportPoint = ComboBox1->currentText();
    submission.reportPoint = FReportPoint;
    const ReplyText reply = PostTeacherForm(submission);
    ShowInfo(reply.message);
    // A refused correction is not stored: it stays unsaved, and a closing window stays open.
    if (!reply.accepted())
        throw SilentAbort();
    FModified = false;
}

ReportSources TfmeTeacher::PrintSources(QString (TfmeTeacher::*value)(const QString&) const)
{
    return {{{QStringLiteral("cdPrint"), &cdPrint}, {QStringLiteral("cdPrint2"), &cdPrint2}},
            [this, value](const QString& name) { return (this->*value)(name); }};
}

PreparedReport TfmeTeacher::PrepareAnswerPrint()
{
    RequirePages(QStringLiteral("출력"));
    ReportTemplate Report = PrintTemplates::load(AnswerPrint::kTemplate);
    AnswerPrint::showBandFor(Report, AnswerPrint::fill(cdPrint, cdEditor));
    return PrepareReport(Report, PrintSources(&TfmeTeacher::ReportGetValue));
}

PreparedReport TfmeTeacher::PrepareCorrectionPrint()
{
    RequirePages(QStringLiteral("출력"));
    ReportTemplate Report2 = PrintTemplates::load(CorrectionPrint::kTemplate);
    cdPrint.emptyDataSet();
    if (FViewMode == 1) {
        for (int index = 0; index < cmbList->count(); ++index) {
            cmbList->setCurrentIndex(index);
            cmbListChange(index);
            QImage page;
            Board->CopyPicture(page);
            CorrectionPrint::appendPage(cdPrint, page, MemoText(Memo2));
        }
        SetMemoText(Memo3, MemoText(Memo1));
        CorrectionPrint::fillReview(cdPrint2, ReviewLines(MemoText(Memo3)));
    } else {
        CorrectionPrint::fitHandwrittenPages(Report2);
        CorrectionPrint::fillHandwrittenPages(cdPrint, cdTeacher);
        // The review is not printed with scanned pages; no lines of an earlier print linger.
        cdPrint2.emptyDataSet();
    }
    return PrepareReport(Report2, PrintSources(&TfmeTeacher::Report2GetValue));
}

QString TfmeTeacher::ReportGetValue(const QString& name) const
{
    return PrintVariables::answerValue(name);
}

QString TfmeTeacher::Report2GetValue(const QString& name) const
{
    return PrintVariables::correctionValue(name, {ComboBox1->currentText(), Scores->points(), Scores->deduction()});
}

void TfmeTeacher::SpeedButton1Click(QObject* sender)
{
    const auto* button = static_cast<const TFlatSpeedButton*>(sender);
    Board->SetDrawTool(TDrawTool(button->Tag));
    FModified = true;
}

const QString TfmeTeacher::kPictureFilter =
    QStringLiteral("All (*.jpg *.bmp);;JPEG Image File (*.jpg);;Bitmaps (*.bmp)");

void TfmeTeacher::BoardItemAdd(TBoardItem* item)
{
    // Back to the selection tool after every placed item, as if its button were clicked.
    btnCursor->click();
    if (item->DrawTool() == dtNumber) {
        if (Memo2->toPlainText().isEmpty()) {
            SetMemoText(Memo2, item->Strings());
            QTextCursor caret = Memo2->textCursor();
            caret.setPosition(qMin(2, int(Memo2->toPlainText().size())));
            Memo2->setTextCursor(caret);
        } else {
            QTextCursor caret(Memo2->document());
            caret.movePosition(QTextCursor::End);
            const bool endsWithBreak = Memo2->toPlainText().endsWith(u'\n');
            if (!endsWithBreak)
                caret.insertBlock();
            caret.insertText(item->Strings());
            Memo2->setTextCursor(caret);
            if (endsWithBreak)
                caret.insertBlock();
        }
        Memo2->setFocus();
    }
    item->SetKey(TickCount());
}

void TfmeTeacher::BoardItemMoveSized() { FModified = true; }

void TfmeTeacher::BoardDblClick()
{
    if (FViewOnly || Board->Selected() < 0)
        return;
    TBoardItem* item = Board->Items().Items(Board->Selected());
    TfrmText dialog;
    dialog.SetStrings(item->Strings());
    dialog.SetPoint(item->ReportPoint());
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString text = dialog.Strings();
    item->SetStrings(text);
    item->SetReportPoint(dialog.Point());
    if (item->DrawTool() == dtText || item->DrawTool() == dtNumber) {
        // The board may have put its default text in already; what was typed counts.
        if (text.isEmpty())
            return;
        FitItemToText(*item, Board->Canvas());
        Board->Graps().PlaceAround(*item);
    }
    FModified = true;
}

void TfmeTeacher::BoardKeyDown(int& key)
{
    switch (key) {
    case Qt::Key_PageUp:
        ScrollBox1->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
        break;
    case Qt::Key_PageDown:
        ScrollBox1->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        break;
    case Qt::Key_Delete:
        if (!FViewOnly && Board->Selected() >= 0) {
            Board->Items().Delete(Board->Selected());
            FModified = true;
            key = 0;
        }
        break;
    default:
        break;
    }
}

void TfmeTeacher::BoardMouseDown()
{
    // Taking the focus must not scroll the page the teacher is working on.
    QScrollBar* bar = ScrollBox1->verticalScrollBar();
    const int position = bar->value();
    Board->setFocus();
    bar->setValue(position);
}

void TfmeTeacher::ImageMouseDown() { ScrollBox1->setFocus(); }

void TfmeTeacher::ScrollBox1MouseWheel(int delta)
{
    constexpr int kStep = 120;
    QScrollBar* bar = ScrollBox1->verticalScrollBar();
    FWheelDelta += delta;
    for (; FWheelDelta <= -kStep; FWheelDelta += kStep)
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    for (; FWheelDelta >= kStep; FWheelDelta -= kStep)
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
}

bool TfmeTeacher::Memo2KeyPress(const QPlainTextEdit* memo, bool erases)
{
    if (memo == Memo2 && !erases && CommentLines() > kCommentLines) {
        ShowInfo(kCommentFull);
        return false;
    }
    if (!memo->isReadOnly())
        FModified = true;
    return true;
}

int TfmeTeacher::CommentLines() const
{
    const int margins = 2 * qRound(Memo2->document()->documentMargin());
    return int(DisplayedLines(Memo2->toPlainText(), Memo2->font(), Memo2->viewport()->width() - margins).size());
}

void TfmeTeacher::IClick(QObject* sender)
{
    const auto* button = qobject_cast<const PictureButton*>(sender);
    if (button && button->Tag == 1)
        AddHandwrittenPage();
    else if (button && button->Tag == 2)
        DeleteHandwrittenPage();
}

void TfmeTeacher::AddHandwrittenPage()
{
    const QString path = DialogService::instance().openPicture(kPictureFilter);
    if (path.isEmpty())
        return;
    const HandwrittenPage page = HandwrittenPage::fromFile(path);
    Image->setPixmap(QPixmap::fromImage(page.picture));
    Image->adjustSize();
    ScrollBox1->widget()->resize(Image->size());
    cdTeacher.append();
    cdTeacher.setInteger(u"NType", CorrectionRecord::kImageRow);
    cdTeacher.setBytes(u"Image", page.jpeg);
    cdTeacher.setString(u"ImageType", page.imageType);
    cdTeacher.post();
    // Listed with a space, unlike the entries the list is built with; the picture is shown
    // already, so the change of page does not run.
    cmbList->addItem(QStringLiteral("PAGE ") + QString::number(cdTeacher.recordCount()));
    cmbList->setCurrentIndex(cmbList->count() - 1);
    FModified = true;
}

void TfmeTeacher::DeleteHandwrittenPage()
{
    const int index = cmbList->currentIndex();
    if (index < 0)
        return;
    cdTeacher.moveTo(index);
    cdTeacher.deleteRecord();
    Image->clear();
    cmbList->clear();
    for (int page = 1; page <= cdTeacher.recordCount(); ++page)
        cmbList->addItem(CorrectionRecord::pageKey(page));
    // A deleted page is a change to save like any other.
    FModified = true;
    if (cmbList->count() > 0) {
        cmbList->setCurrentIndex(0);
        cmbListChange(0);
    }
}

void TfmeTeacher::Image8Click()
{
    Image8->setPixmap(i1);
    Image6->setPixmap(i2);
    ScoreView->hide();
    Memo1->show();
}

void TfmeTeacher::Image6Click()
{
    Image8->setPixmap(i3);
    Image6->setPixmap(i4);
    Memo1->hide();
    ScoreView->show();
    pGridTopLeftChanged();
}

void TfmeTeacher::pGridTopLeftChanged() { ScoreView->pGridTopLeftChanged(); }

void TfmeTeacher::ValidateScores() const
{
    if (FScoreSwitch == QLatin1String("Y"))
        Scores->validateScores();
}

bool TfmeTeacher::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Wheel:
        if (watched == Board || watched == Image || watched == ScrollBox1->widget()
            || watched == ScrollBox1->viewport()) {
            ScrollBox1MouseWheel(static_cast<QWheelEvent*>(event)->angleDelta().y());
            return true;
        }
        break;
    case QEvent::MouseButtonPress:
        if (watched == Image)
            ImageMouseDown();
        break;
    case QEvent::KeyPress:
        if (const auto* memo = qobject_cast<const QPlainTextEdit*>(watched)) {
            const auto& key = static_cast<const QKeyEvent&>(*event);
            if (IsTypedKey(key) && !Memo2KeyPress(memo, key.key() == Qt::Key_Backspace || key.key() == Qt::Key_Delete))
                return true;
        }
        break;
    case QEvent::InputMethod:
        // Hangul arrives composed by the input method, not as key presses.
        if (auto* memo = qobject_cast<QPlainTextEdit*>(watched)) {
            if (!static_cast<const QInputMethodEvent&>(*event).commitString().isEmpty()
                && !Memo2KeyPress(memo, false)) {
                QInputMethodEvent cleared;  // drops the syllable still shown as composed
                QCoreApplication::sendEvent(memo, &cleared);
                return true;
            }
        }
        break;
    default:
        break;
    }
    return QFrame::eventFilter(watched, event);
}
