#include "writing/TfmeEditor.h"

#include "core/AppError.h"
#include "ui/ErrorBox.h"
#include "ui/Fonts.h"
#include "ui/PictureButton.h"
#include "core/TransferGate.h"
#include "text/Cp949.h"
#include "report/ReportEngine.h"
#include "report/TfrmPreview.h"
#include "document/EssayRecord.h"
#include "document/ManuscriptGrid.h"
#include "net/ShowBrowserWindow.h"
#include "net/Transport.h"
#include "print/EssayPrint.h"
#include "print/PrintDataSets.h"
#include "print/PrintTemplates.h"
#include "writing/EssaySave.h"
#include "writing/CellEditorEngine.h"
#include "writing/EssayMeasures.h"
#include "writing/ManuscriptView.h"
#include "writing/TSorEdit.h"
#include "writing/WritingPictures.h"

#include <QApplication>
#include <QBuffer>
#include <QGridLayout>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>

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

void setBase(QWidget* widget, const QColor& colour)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::Base, colour);
    widget->setPalette(p);
}

// Only what code page 949 can hold is typed into the blank paper.
QString encodableOnly(const QString& text)
{
    QString kept;
    for (QChar c : text)
        if (Cp949::canEncode(c))
            kept += c;
    return kept;
}

}

TfmeEditor::TfmeEditor(QWidget* parent)
    : QFrame(parent), cdEditor(EssayRecord::fields()), cdPrint(PrintDataSets::essayPrint())
{
    setObjectName(QStringLiteral("fmeEditor"));
    setFont(GulimcheFont(19));
    resize(820, 565);

    QWidget* top = colouredPanel(this, Qt::white, "pnlTop");
    top->setFixedHeight(52);
    QWidget* topBar = colouredPanel(top, QColor(255, 220, 146), "pnlTopBar");
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(topBar);

    const auto button = [this](QWidget* parent, const char* name, const QString& word, QRect geometry, int tag) {
        auto* b = new PictureButton(WritingPictures::wordButton(word, geometry.width(), geometry.height()), word,
                                    parent);
        b->setObjectName(QLatin1String(name));
        b->move(geometry.topLeft());
        b->Tag = tag;
        connect(b, &PictureButton::clicked, this, [this, b] { Guarded([&] { BtnClick(b); }); });
        return b;
    };
    btn1 = button(topBar, "btn1", QStringLiteral("원고지"), {16, 8, 69, 29}, 1);
    btn2 = button(topBar, "btn2", QStringLiteral("백지"), {88, 8, 59, 29}, 2);
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
    Label5 = label(topBar, "Label5", QStringLiteral("[주의]"), GulimcheFont(13), Qt::red, {16, 36});
    Label6 = label(topBar, "Label6",
                   QStringLiteral("감상문의 분량이 제시한 규정(1,500자 +- 150자)을 충족하지 못할 경우 감점(20점)합니다."),
                   GulimcheFont(13), Qt::black, {60, 36});

    QWidget* bottom = colouredPanel(this, QColor(0xEF, 0xEF, 0xEF), "pnlBottom");
    bottom->setFixedHeight(32);
    Image5 = button(bottom, "Image5", QStringLiteral("출력"), {208, 7, 47, 18}, 7);
    btnSave = button(bottom, "btnSave", QStringLiteral("임시저장"), {256, 7, 68, 18}, 4);

    pnlGrid = colouredPanel(this, Qt::white, "pnlGrid");
    pnlGrid->setFixedWidth(73);

    QWidget* area = new QWidget(this);
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

    gridModel = new ManuscriptGrid(15, this);
    grid = new ManuscriptView(area);
    grid->setObjectName(QStringLiteral("grid"));
    grid->setAccessibleName(QStringLiteral("원고지"));
    grid->setModel(gridModel);
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
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(top);
    layout->addLayout(middle, 1);
    layout->addWidget(bottom);

    edt = new TSorEdit(this);
    edt->setObjectName(QStringLiteral("edt"));
    edt->setAccessibleName(QStringLiteral("원고지 칸"));
    edt->setFrame(false);
    edt->setFont(GulimcheFont(17));
    edt->setGeometry(0, 0, 23, 19);
    setBase(edt, QColor(255, 255, 128));
    edt->setGrid(grid);
    edt->hide();
    edt->raise();

    connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (selectHandlerAttached_ && current.isValid())
            Guarded([&] { gridSelectCell(current.column(), current.row()); });
    });
    grid->viewport()->installEventFilter(this);
    grid->installEventFilter(this);
    edt->installEventFilter(this);
    mem->installEventFilter(this);

    Timer.setInterval(1000);
    connect(&Timer, &QTimer::timeout, this, [this] { Guarded([&] { TimerTimer(); }); });
}

TfmeEditor::~TfmeEditor() = default;

void TfmeEditor::SetupStudentRun(const LaunchFields& fields, QLineEdit* titleBox)
{
    StudentNo = fields.at(1);
    Password = fields.at(2);
    LoadExisting = fields.at(3) == QLatin1String("1");
    LectureKey = fields.at(4);
    EssayAddress = fields.at(5);
    Editable = fields.at(6) == QLatin1String("1");
    Title = fields.at(7);
    PaperFixed = fields.at(8) == QLatin1String("1");
    ManuscriptPaper = fields.at(9) == QLatin1String("0");
    if (fields.count() > 10)
        DiscussionAddress = fields.at(10);

    btnAG->setVisible(!DiscussionAddress.trimmed().isEmpty());
    titleBox->setText(Title);
    titleBox->setEnabled(true);
    BtnClick(fields.at(9) != QLatin1String("0") ? btn2 : btn1);
    if (PaperFixed) {
        btn1->setVisible(ManuscriptPaper);
        btn2->setVisible(!ManuscriptPaper);
    }
    if (LoadExisting && !EssayAddress.isEmpty()) {
        try {
            QBuffer stream;
            DownloadToStream(EssayAddress, stream);
            LoadEssay(stream);
        } catch (...) {
            // An empty paper saved now would replace the stored essay that could not be read.
            MakeReadOnly();
            titleBox->setEnabled(false);
            throw;
        }
    }
    if (!Editable) {
        MakeReadOnly();
        titleBox->setEnabled(false);
    }
    show();
    ShowEssay();
    lblCount->setText(EssayMeasures::CountText(CountCharacters()));
}

void TfmeEditor::setInx(int kind)
{
    if (kind == inx_)
        return;
    inx_ = kind;
    grid->setVisible(kind == EssayRecord::Manuscript);
    pnlGrid->setVisible(kind == EssayRecord::Manuscript);
    mem->setVisible(kind == EssayRecord::BlankPaper);
    ApplyPaperMode();
}

void TfmeEditor::ApplyPaperMode()
{
    if (inx_ == EssayRecord::Manuscript) {
        grid->setColumnWidth(0, ManuscriptView::kCounterWidth);
        edt->setVisible(!ReadOnly);
    } else {
        edt->hide();
    }
}

void TfmeEditor::BtnClick(QObject* sender)
{
    const auto* button = qobject_cast<const PictureButton*>(sender);
    if (!button)
        return;
    switch (button->Tag) {
    case EssayRecord::Manuscript:
    case EssayRecord::BlankPaper:
    case EssayRecord::ScannedPages:
        setInx(button->Tag);
        break;
    case 4:  // btnSave
        // A second save would rebuild cdEditor under the post that is sending it.
        if (!TransferGate::instance().busy())
            SaveEssay();
        break;
    case 7:  // Image5
        if (!TransferGate::instance().busy())
            PrintEssay();
        break;
    case 8:  // btnAG
        ShowBrowserWindow(DiscussionAddress);
        break;
    default:
        break;
    }
}

void TfmeEditor::SaveEssay()
{
    const bool rebuilt = inx_ == EssayRecord::Manuscript || inx_ == EssayRecord::BlankPaper;
    const auto release = qScopeGuard([this, rebuilt] {
        if (rebuilt)
            cdEditor.emptyDataSet();
    });
    if (inx_ == EssayRecord::Manuscript)
        EssayRecord::writeManuscript(cdEditor, StudentNo, *gridModel);
    else if (inx_ == EssayRecord::BlankPaper)
        EssayRecord::writeBlankPaper(cdEditor, StudentNo, mem->toPlainText().replace(u'\n', QStringLiteral("\r\n")));
    const QByteArray packet = EssayRecord::toPacket(cdEditor);
    const QString reply = PostForm(EssaySave::form({StudentNo, Password, LectureKey, Title}, packet));
    LectureKey = EssaySave::lectureKeyAfter(LectureKey, SplitReply(reply));
}

void TfmeEditor::FillPrintData()
{
    switch (inx_) {
    case EssayRecord::BlankPaper:
        EssayPrint::fillBlankPaper(cdPrint, mem->toPlainText());
        break;
    case EssayRecord::ScannedPages:
        EssayPrint::fillScannedPages(cdPrint, cdEditor);
        break;
    default:
        EssayPrint::fillManuscript(cdPrint, *gridModel);
        break;
    }
}

void TfmeEditor::PrintEssay()
{
    FillPrintData();
    ReportTemplate Report = PrintTemplates::load(PrintTemplates::kEssayPrint);
    EssayPrint::showBandFor(Report, inx_ == 0 ? int(EssayRecord::Manuscript) : inx_);
    ShowReportPreview(PrepareReport(Report, {{{QStringLiteral("cdPrint"), &cdPrint}}, {}}),
                      QStringLiteral("감상문 출력"));
}

void TfmeEditor::LoadEssay(QIODevice& stream)
{
    EssayRecord::load(cdEditor, stream.readAll());
    for (const FieldDef& field : EssayRecord::fields())
        if (cdEditor.findField(field.name) < 0) {
            cdEditor = DataSet(EssayRecord::fields());
            throw AppError(QStringLiteral("받은 자료는 감상문 기록이 아닙니다 (%1 항목이 없습니다).").arg(field.name));
        }
    const std::optional<int> kind = EssayRecord::paperKind(cdEditor);
    if (kind && (*kind < EssayRecord::Manuscript || *kind > EssayRecord::ScannedPages)) {
        cdEditor = DataSet(EssayRecord::fields());
        throw AppError(QStringLiteral("받은 감상문의 종이 종류(%1)를 알 수 없습니다.").arg(*kind));
    }
}

void TfmeEditor::ShowEssay()
{
    TimerTicked = false;
    cdEditor.cancelUpdates();
    mem->clear();
    gridModel->reset(ManuscriptGrid::kMinimumLines);
    if (const std::optional<int> kind = EssayRecord::paperKind(cdEditor))
        setInx(*kind);
    if (!cdEditor.isEmpty() && inx_ == EssayRecord::Manuscript) {
        EssayRecord::toGrid(cdEditor, *gridModel);
        cdEditor.emptyDataSet();
    } else if (!cdEditor.isEmpty() && inx_ == EssayRecord::BlankPaper) {
        QString text = cdEditor.asString(u"LText");
        mem->setPlainText(text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n'));
        cdEditor.emptyDataSet();
    }
    setBase(edt, Qt::white);

    CellPos caret{0, 0};
    if (inx_ == EssayRecord::Manuscript) {
        caret = {0, ManuscriptGrid::kFirstCellColumn};
        bool found = false;
        for (int line = gridModel->lineCount() - 1; line >= 0 && !found; --line)
            for (int column = ManuscriptGrid::kMarginColumn; column >= ManuscriptGrid::kFirstCellColumn && !found;
                 --column)
                if (!CellEditorEngine::TrimCell(gridModel->cell(line, column)).isEmpty()) {
                    caret.line = column == ManuscriptGrid::kLastCellColumn ? line + 1 : line;
                    found = true;
                }
        if (caret.line >= gridModel->lineCount())
            gridModel->setLineCount(caret.line + 1);
    }
    setCurrentCell(caret);
    FocusSuppressed = true;
    gridSelectCell(caret.column, caret.line);
}

void TfmeEditor::MakeReadOnly()
{
    edt->hide();
    edt->setEnabled(false);
    ReadOnly = true;
    mem->setReadOnly(true);
    for (PictureButton* b : {btn1, btn2, btnSave})
        b->setEnabled(false);
}

QString TfmeEditor::CollectGridText() const
{
    return EssayMeasures::CollectGridText(*gridModel);
}

int TfmeEditor::CountCharacters() const
{
    switch (inx_) {
    case EssayRecord::Manuscript:
        return int(CollectGridText().size());
    case EssayRecord::BlankPaper:
        return EssayMeasures::CountMemoCharacters(mem->toPlainText());
    default:
        return 0;
    }
}

void TfmeEditor::gridSelectCell(int column, int line)
{
    edt->engine()->PendingText.clear();
    edt->setCellText(QString());
    editorCell_ = {line, column};
    if (column == 0)
        return;
    placeEditor(column, line);
    edt->setCellText(CellEditorEngine::TrimCell(gridModel->cell(line, column)));
    if (!ReadOnly) {
        if (!FocusSuppressed)
            edt->setFocus();
        FocusSuppressed = false;
        edt->selectAll();
    }
}

// Keeps the caret within the first 14 visible lines and the editor inside the cell's box.
void TfmeEditor::placeEditor(int column, int line)
{
    const int firstVisible = grid->rowAt(0);
    if (firstVisible >= 0 && line - firstVisible > 13)
        grid->scrollTo(gridModel->index(line - 13, column), QAbstractItemView::PositionAtTop);
    const QRect cell = grid->visualRect(gridModel->index(line, column));
    const QPoint at = grid->viewport()->mapTo(this, cell.topLeft());
    edt->move(at.x() + 5, at.y() + 6);
}

void TfmeEditor::setCurrentCell(CellPos cell)
{
    selectHandlerAttached_ = false;
    grid->setCurrentIndex(gridModel->index(cell.line, cell.column));
    selectHandlerAttached_ = true;
}

void TfmeEditor::gridMouseDown()
{
    selectHandlerAttached_ = false;
}

void TfmeEditor::gridMouseUp()
{
    selectHandlerAttached_ = true;
}

void TfmeEditor::gridMouseWheelUp()
{
    grid->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
}

void TfmeEditor::gridMouseWheelDown()
{
    grid->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
}

void TfmeEditor::edtMouseWheel(int delta)
{
    if (delta < 0)
        gridMouseWheelDown();
    else if (delta > 0)
        gridMouseWheelUp();
}

void TfmeEditor::edtKeyUp()
{
    keyReleased();
}

void TfmeEditor::memKeyUp()
{
    keyReleased();
}

void TfmeEditor::keyReleased()
{
    lblCount->setText(EssayMeasures::CountText(CountCharacters()));
    if (Timer.isActive())
        return;
    StartTime = QDateTime::currentDateTime();
    if (!ReadOnly)
        Timer.start();
}

void TfmeEditor::TimerTimer()
{
    lblTime->setText(EssayMeasures::ElapsedText(StartTime.secsTo(QDateTime::currentDateTime())));
    lblTime->adjustSize();
    TimerTicked = true;
}

bool TfmeEditor::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == grid->viewport()) {
        if (type == QEvent::MouseButtonPress)
            gridMouseDown();
        else if (type == QEvent::MouseButtonRelease)
            gridMouseUp();
        else if (type == QEvent::Wheel)
            static_cast<QWheelEvent*>(event)->angleDelta().y() > 0 ? gridMouseWheelUp() : gridMouseWheelDown();
    } else if (watched == grid && (type == QEvent::Show || type == QEvent::Resize)) {
        // The grid scrolls its current cell into view once it is laid out; the editor
        // follows when that is done.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (editorCell_.column != 0)
                    placeEditor(editorCell_.column, editorCell_.line);
            },
            Qt::QueuedConnection);
    } else if (watched == edt) {
        if (type == QEvent::Wheel) {
            edtMouseWheel(static_cast<QWheelEvent*>(event)->angleDelta().y());
        } else if (type == QEvent::KeyRelease) {
            edtKeyUp();
        } else if (type == QEvent::FocusIn && editorCell_.column != 0 &&
                   grid->currentIndex() != gridModel->index(editorCell_.line, editorCell_.column)) {
            // A click on the grid moved its current cell but not the editor: typing goes
            // where the editor is.
            setCurrentCell(editorCell_);
        }
    } else if (watched == mem) {
        if (type == QEvent::KeyRelease) {
            memKeyUp();
        } else if (type == QEvent::KeyPress) {
            if (!Cp949::canEncode(static_cast<QKeyEvent*>(event)->text())) {
                QApplication::beep();
                return true;
            }
        } else if (type == QEvent::InputMethod) {
            auto* input = static_cast<QInputMethodEvent*>(event);
            if (!Cp949::canEncode(input->commitString())) {
                QApplication::beep();
                QInputMethodEvent kept(input->preeditString(), input->attributes());
                kept.setCommitString(encodableOnly(input->commitString()));
                QApplication::sendEvent(mem, &kept);
                return true;
            }
        }
    }
    return QFrame::eventFilter(watched, event);
}
