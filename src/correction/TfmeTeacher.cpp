#include "correction/TfmeTeacher.h"

#include "board/SorBoard.h"
#include "common/ErrorBox.h"
#include "common/Fonts.h"
#include "common/PictureButton.h"
#include "common/TrimControls.h"
#include "components/Jpeg.h"
#include "correction/BoardPage.h"
#include "correction/MemoText.h"
#include "correction/TFlatSpeedButton.h"
#include "correction/TeacherPictures.h"
#include "correction/TfrmTemp.h"
#include "document/CorrectionRecord.h"
#include "document/EssayRecord.h"
#include "net/ShowBrowserWindow.h"
#include "net/Transport.h"

#include <QBuffer>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedLayout>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QColor kTopColour(0xFF, 0xDC, 0x92);
const QColor kOrange(0xFF, 0x85, 0x00);
const QColor kBottomColour(0xEF, 0xEF, 0xEF);
const QColor kButtonFace(0xFF, 0xB4, 0x3C);

// Rows of the palette from the top; the fifth row stands 32 pixels below the fourth.
constexpr int kToolRows[] = {24, 52, 80, 108, 140, 168, 196, 224, 252, 280, 308, 336, 364, 392, 420};
// Left and right button of each row.
constexpr TDrawTool kTools[][2] = {
    {dtText, dt46},  {dt12, dt14},  {dt15, dt11},    {dt17, dt16},       {dt25, dt18},
    {dt27, dt22},    {dt32, dt24},  {dt34, dt26},    {dt41, dt31},       {dt43, dt33},
    {dt45, dt35},    {dt44, dt42},  {dt21, dt23},    {dtLeft, dtRight},  {dtNumber, dtSelect},
};

const char* const kSheetCaptions[][2] = {
    {"채점기준", "배점"}, {"내용", "70점"},   {" 1. 초점", "(50)"},
    {" 2. 서평", "(20)"}, {"형식", "30점"},   {" 1. 원고지작성법", "(10)"},
    {" 2. 단락", "(10)"}, {" 3. 호응", "(10)"}, {"감점-분량미달", "(-20)"},
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

template <typename F>
void TfmeTeacher::Guarded(F&& action)
{
    try {
        action();
    } catch (...) {
        ShowCurrentException();
    }
}

TfmeTeacher::TfmeTeacher(QWidget* parent)
    : QFrame(parent),
      cdTempEditor(EssayRecord::fields()),
      cdTeacher(CorrectionRecord::fields()),
      cdTemp(CorrectionRecord::fields())
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
    Memo3->setFixedWidth(680);
    Memo3->hide();

    for (PictureButton* button : {btn1, btn2, btnAG, Image7, Image2, btnSave, btnCancel})
        connect(button, &PictureButton::clicked, this, [this, button] { Guarded([&] { btnClick(button); }); });
    connect(cmbList, &QComboBox::activated, this, [this](int index) { Guarded([&] { cmbListChange(index); }); });
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
    Image8 = WordButton(QStringLiteral("Image8"), QStringLiteral("총평"), {60, 22}, 0, Panel7);
    Image8->move(0, 1);
    Image6 = WordButton(QStringLiteral("Image6"), QStringLiteral("평가"), {60, 22}, 0, Panel7);
    Image6->move(62, 1);
    Image6->hide();

    Memo1 = Memo(QStringLiteral("Memo1"), 13, QStringLiteral("총평"), Panel3);

    pGrid = new QTableWidget(9, 3, Panel3);
    pGrid->setObjectName(QStringLiteral("pGrid"));
    pGrid->setAccessibleName(QStringLiteral("평가"));
    pGrid->setFont(GulimcheFont(13));
    pGrid->setShowGrid(false);
    pGrid->setFrameShape(QFrame::NoFrame);
    pGrid->horizontalHeader()->hide();
    pGrid->verticalHeader()->hide();
    pGrid->verticalHeader()->setDefaultSectionSize(18);
    pGrid->verticalHeader()->setMinimumSectionSize(18);
    for (int row = 0; row < pGrid->rowCount(); ++row)
        for (int column = 0; column < pGrid->columnCount(); ++column)
            pGrid->setItem(row, column, new QTableWidgetItem);
    pGrid->hide();

    auto* body = new QStackedLayout;
    body->setStackingMode(QStackedLayout::StackAll);
    body->addWidget(Memo1);
    body->addWidget(pGrid);

    Panel4 = NewPanel(QStringLiteral("Panel4"), Panel3);
    Panel4->setFixedWidth(221);
    Image9 = Heading(QStringLiteral("Image9"), QStringLiteral("평점"), {221, 22}, Panel4);
    ComboBox1 = new QComboBox(Panel4);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setAccessibleName(QStringLiteral("평점"));
    ComboBox1->setEditable(true);
    ComboBox1->setFont(GulimcheFont(96));
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

    CheckBox1 = new QCheckBox(Panel3);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setAccessibleName(QStringLiteral("감점-분량미달"));
    CheckBox1->setGeometry(364, 500, 97, 17);
    CheckBox1->hide();
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

void TfmeTeacher::AlignScoreSheet()
{
    for (int row = 0; row < pGrid->rowCount(); ++row)
        for (int column = 0; column < 2; ++column)
            pGrid->item(row, column)->setText(QString::fromUtf8(kSheetCaptions[row][column]));
    pGrid->item(0, 2)->setText(QStringLiteral("점수"));
    pGrid->setColumnWidth(0, 300);
    pGrid->setColumnWidth(1, 64);
    pGrid->setColumnWidth(2, 64);
}

void TfmeTeacher::ShowLaunchState(QLineEdit* titleBox)
{
    Image6->setVisible(FScoreSwitch == QLatin1String("Y"));
    btnAG->setVisible(!TrimControls(FDiscussionUrl).isEmpty());
    Label13->setVisible(FScoreSwitch == QLatin1String("Y"));
    Label14->setVisible(FScoreSwitch == QLatin1String("Y"));
    ComboBox1->setEditText(FReportPoint);
    titleBox->setText(FTitle);
    titleBox->setEnabled(false);
}

void TfmeTeacher::SetupTeacherRun(const LaunchFields& fields, QLineEdit* titleBox)
{
    AlignScoreSheet();
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
    AlignScoreSheet();
    if (FEssayUrl.isEmpty()) {
        ShowInfo(QStringLiteral("답안지가 없습니다."));
        return;
    }
    DownloadRecord(FEssayUrl, cdEditor);
    if (!FCorrectionUrl.isEmpty())
        DownloadRecord(FCorrectionUrl, cdTeacher);
    LoadCorrection();
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
    for (int row = 1; row <= CorrectionRecord::kPointCount; ++row)
        pGrid->item(row, 2)->setText(summary->points.value(row - 1));
    CheckBox1->setChecked(summary->deduction);
}

void TfmeTeacher::BuildPageList(int mode)
{
    const bool board = mode == 1;
    Image->move(0, 0);
    pnlLeft->setVisible(board);
    pnlRight->setVisible(board);
    Memo1->setVisible(board);
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
    pGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    pGrid->setSelectionMode(QAbstractItemView::NoSelection);
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
    default:
        break;
    }
}

void TfmeTeacher::SpeedButton1Click(QObject* sender)
{
    const auto* button = static_cast<const TFlatSpeedButton*>(sender);
    Board->SetDrawTool(TDrawTool(button->Tag));
    FModified = true;
}
