#include "writing/TfmeEditor.h"

#include "core/AppError.h"
#include "core/LaunchFields.h"
#include "core/TransferGate.h"
#include "document/EssayRecord.h"
#include "document/ManuscriptGrid.h"
#include "net/ReplyText.h"
#include "net/ShowBrowserWindow.h"
#include "net/Transport.h"
#include "net/UploadForm.h"
#include "print/EssayPrint.h"
#include "print/PrintDataSets.h"
#include "print/PrintTemplates.h"
#include "print/PrintVariables.h"
#include "report/ReportEngine.h"
#include "report/TfrmPreview.h"
#include "text/Cp949.h"
#include "ui/CompositionGuard.h"
#include "ui/DialogService.h"
#include "ui/ErrorBox.h"
#include "ui/Fonts.h"
#include "ui/PictureButton.h"
#include "writing/CellEditorEngine.h"
#include "writing/EssayMeasures.h"
#include "writing/ManuscriptView.h"
#include "writing/TSorEdit.h"
#include "writing/WritingChecks.h"
#include "writing/WritingHints.h"
#include "writing/WritingJournal.h"
#include "writing/WritingSession.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTime>
#include <QWheelEvent>

namespace {

// Only what code page 949 can hold is typed into the blank paper.
QString encodableOnly(const QString& text)
{
    QString kept;
    for (QChar c : text)
        if (Cp949::canEncode(c))
            kept += c;
    return kept;
}

const QString kKeptHere = QStringLiteral("\n쓴 글은 이 컴퓨터에 보관되어 있습니다. 나중에 다시 저장하십시오.");

QString paperName(int kind)
{
    return kind == EssayRecord::Manuscript ? QStringLiteral("원고지") : QStringLiteral("백지");
}

}

TfmeEditor::TfmeEditor(QWidget* parent)
    : QFrame(parent), session_(new WritingSession(this)), journal_(new WritingJournal(*session_, this)),
      ui_(this, &session_->grid()), checks_(new WritingChecks(session_->grid(), this))
{
    setObjectName(QStringLiteral("fmeEditor"));
    setFont(GulimcheFont(19));
    resize(820, 565);

    for (PictureButton* b : ui_.buttons())
        connect(b, &PictureButton::clicked, this, [this, b] { Guarded([&] { BtnClick(b); }); });
    connect(ui_.grid->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (selectHandlerAttached_ && current.isValid())
            Guarded([&] { gridSelectCell(current.column(), current.row()); });
    });
    connect(ui_.mem, &QPlainTextEdit::textChanged, this,
            [this] { Guarded([&] { session_->setMemo(ui_.mem->toPlainText()); }); });

    WritingSession* s = session_;
    connect(s, &WritingSession::InxChanged, this, [this](int kind) { Guarded([&] { showPaper(kind); }); });
    connect(s, &WritingSession::MemoReplaced, this,
            [this](const QString& text) { Guarded([&] { ui_.mem->setPlainText(text); }); });
    connect(s, &WritingSession::EssayShown, this, [this](CellPos caret) { Guarded([&] { showEssay(caret); }); });
    connect(s, &WritingSession::MadeReadOnly, this, [this] { Guarded([&] { showReadOnly(); }); });
    connect(s, &WritingSession::Counted, this, [this](int characters) { Guarded([&] { showCount(characters); }); });
    connect(s, &WritingSession::TimeTicked, this, [this](qint64 seconds) {
        Guarded([&] {
            const QString time = EssayMeasures::ElapsedText(seconds);
            ui_.lblTime->setText(time);
            ui_.lblTime->setAccessibleName(QStringLiteral("쓴 시간 ") + time);
            ui_.lblTime->adjustSize();
        });
    });

    connect(s, &WritingSession::TitleRestored, this, [this](const QString& title) {
        if (titleBox_)
            titleBox_->setText(title);
    });
    connect(&journal_->keeper(), &JournalKeeper::writeFailed, this, [](const QString& message) { ShowInfo(message); });
    connect(&TransferGate::instance(), &TransferGate::starting, this, [this] {
        journal_->keeper().flush();
        showBusy(true);
    });
    connect(&TransferGate::instance(), &TransferGate::idle, this, [this] { showBusy(false); });

    ui_.grid->viewport()->installEventFilter(this);
    ui_.grid->installEventFilter(this);
    ui_.edt->installEventFilter(this);
    ui_.mem->installEventFilter(this);
    new WritingHints(this, ui_, *session_, *checks_);
}

TfmeEditor::~TfmeEditor() = default;

void TfmeEditor::SetupStudentRun(const LaunchFields& fields, QLineEdit* titleBox)
{
    WritingSession& s = *session_;
    titleBox_ = titleBox;
    s.ReadLaunchFields(fields);
    ui_.btnAG->setVisible(s.HasDiscussion());
    titleBox->setText(s.Title());
    titleBox->setEnabled(true);
    BtnClick(s.FirstPaper() == EssayRecord::Manuscript ? ui_.btn1 : ui_.btn2);
    ui_.btn1->setVisible(s.OffersPaper(EssayRecord::Manuscript));
    ui_.btn2->setVisible(s.OffersPaper(EssayRecord::BlankPaper));
    if (s.WantsEarlierEssay() || s.LooksForLaterEssay()) {
        try {
            QBuffer stream;
            QString revision;
            bool found = true;
            if (s.WantsEarlierEssay())
                DownloadToStream(s.Launch().essayAddress, stream, &revision);
            else
                found = DownloadIfStored(s.Launch().essayAddress, stream, &revision);
            if (found) {
                s.LoadEssay(stream.data());
                s.EssayFetched(revision);
            }
        } catch (...) {
            // An empty paper saved now would replace the stored essay that could not be read.
            s.MakeReadOnly();
            titleBox->setEnabled(false);
            throw;
        }
    }
    if (!s.Launch().editable) {
        s.MakeReadOnly();
        titleBox->setEnabled(false);
    }
    show();
    s.ShowEssay();
    showCount(s.CountCharacters());
    if (!s.ReadOnly())
        checks_->Start();
    if (s.NewerThanLaunch())
        ShowInfo(QStringLiteral("이 실행 파일을 받은 뒤에 저장된 글이 있어, 가장 최근에 저장된 글을 열었습니다."));
    // A student back at an essay goes on writing; a new one starts with its title.
    if (s.WantsEarlierEssay() || !s.Title().isEmpty())
        focusPaper();
}

void TfmeEditor::focusPaper()
{
    if (session_->ReadOnly())
        return;
    if (session_->Inx() == EssayRecord::Manuscript && editorCell_.column != 0)
        ui_.edt->setFocus(Qt::OtherFocusReason);
    else if (session_->Inx() == EssayRecord::BlankPaper)
        ui_.mem->setFocus(Qt::OtherFocusReason);
}

void TfmeEditor::OfferRecovery()
{
    if (session_->ReadOnly())
        return;
    const QString problem = journal_->Offer([] {
        return DialogService::instance().question(QStringLiteral("복구"),
                                                  QStringLiteral("저장하지 않은 글이 있습니다. 복구하시겠습니까?"));
    });
    if (!problem.isEmpty())
        ShowInfo(problem);
}

void TfmeEditor::FlushJournal()
{
    journal_->keeper().flush();
}

void TfmeEditor::DiscardJournal()
{
    if (journal_->keeper().started())
        journal_->keeper().setAside();
}

void TfmeEditor::showBusy(bool busy)
{
    // Disabling the focused button would pass the focus on to the title box, all its text
    // selected: the focus goes back where it was once the transfer has ended.
    if (busy && !focusBeforeBusy_)
        focusBeforeBusy_ = window()->focusWidget();
    ui_.btnSave->setEnabled(!busy && !session_->ReadOnly());
    ui_.Image5->setEnabled(!busy);
    if (busy || !focusBeforeBusy_)
        return;
    QWidget* focus = focusBeforeBusy_;
    focusBeforeBusy_.clear();
    if (focus->isEnabled() && focus->isVisible())
        focus->setFocus(Qt::OtherFocusReason);
    else
        focusPaper();
}

// The labels are read with what they count, not as a bare number.
void TfmeEditor::showCount(int characters)
{
    const QString count = EssayMeasures::CountText(characters);
    ui_.lblCount->setText(count);
    ui_.lblCount->setAccessibleName(QStringLiteral("글자 수 ") + count);
}

int TfmeEditor::Inx() const
{
    return session_->Inx();
}

void TfmeEditor::setInx(int kind)
{
    session_->setInx(kind);
}

void TfmeEditor::showPaper(int kind)
{
    ui_.btn1->setChecked(kind == EssayRecord::Manuscript);
    ui_.btn2->setChecked(kind == EssayRecord::BlankPaper);
    ui_.grid->setVisible(kind == EssayRecord::Manuscript);
    ui_.pnlGrid->setVisible(kind == EssayRecord::Manuscript);
    ui_.mem->setVisible(kind == EssayRecord::BlankPaper);
    ApplyPaperMode();
    showCount(session_->CountCharacters());
    // The focus follows the paper, so it never lands in the title box with its text selected.
    if (kind == EssayRecord::BlankPaper)
        ui_.mem->setFocus();
    else if (kind == EssayRecord::Manuscript && editorCell_.column != 0 && !session_->ReadOnly())
        ui_.edt->setFocus();
}

void TfmeEditor::ApplyPaperMode()
{
    if (session_->Inx() == EssayRecord::Manuscript) {
        ui_.grid->setColumnWidth(0, ManuscriptView::kCounterWidth);
        ui_.edt->setVisible(!session_->ReadOnly());
    } else {
        ui_.edt->hide();
    }
}

void TfmeEditor::showEssay(CellPos caret)
{
    setCurrentCell(caret);
    FocusSuppressed = true;
    gridSelectCell(caret.column, caret.line);
}

void TfmeEditor::showReadOnly()
{
    checks_->Stop();
    ui_.edt->hide();
    ui_.edt->setEnabled(false);
    ui_.mem->setReadOnly(true);
    for (PictureButton* b : {ui_.btn1, ui_.btn2, ui_.btnSave})
        b->setEnabled(false);
}

void TfmeEditor::BtnClick(QObject* sender)
{
    const auto* button = qobject_cast<const PictureButton*>(sender);
    if (!button)
        return;
    // What is being composed belongs to the paper it was typed on, before it changes or goes out.
    CompositionGuard::CommitComposition();
    switch (button->Tag) {
    case EssayRecord::Manuscript:
    case EssayRecord::BlankPaper:
    case EssayRecord::ScannedPages:
        session_->setInx(button->Tag);
        // A click on the paper shown toggled its button: it stays the one checked.
        ui_.btn1->setChecked(session_->Inx() == EssayRecord::Manuscript);
        ui_.btn2->setChecked(session_->Inx() == EssayRecord::BlankPaper);
        break;
    case 4:  // btnSave
        // A transfer keeps the event loop turning: a click inside it must not start a second one.
        if (!TransferGate::instance().busy())
            SaveEssay();
        break;
    case 7:  // Image5
        if (!TransferGate::instance().busy())
            PrintEssay();
        break;
    case 8:  // btnAG
        ShowBrowserWindow(session_->Launch().discussionAddress);
        break;
    default:
        break;
    }
}

void TfmeEditor::SaveEssay()
{
    if (!ConfirmHiddenPaper())
        return;
    try {
        const UploadForm form = session_->SaveForm();
        if (const std::optional<UploadForm> unanswered = session_->UnansweredSave();
            unanswered && *unanswered != form) {
            PostSave(*unanswered);
            PostSave(session_->SaveForm());
        } else {
            PostSave(form);
        }
    } catch (const SaveRefused& refused) {
        // Written again even when unchanged: another window's save of this essay removes
        // the journal the two share.
        journal_->keeper().markDirty();
        journal_->keeper().flush();
        OfferCopy(refused.message());
        // Unsaved: a closing window stays open.
        throw SilentAbort();
    } catch (const AppError& error) {
        journal_->keeper().flush();
        throw AppError(error.message() + kKeptHere);
    }
    session_->Saved();
    journal_->keeper().saved();
    ui_.lblNotice->setText(QStringLiteral("저장되었습니다 ")
                           + QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
}

void TfmeEditor::PostSave(const UploadForm& form)
{
    QString revision;
    QString reply;
    try {
        reply = PostForm(form, &revision);
    } catch (const AppError&) {
        session_->SaveUnanswered(form);
        throw;
    }
    session_->SaveReplied(SplitReply(reply), revision);
}

void TfmeEditor::OfferCopy(const QString& refusal)
{
    if (DialogService::instance().question(
            QStringLiteral("저장하지 못했습니다"),
            refusal + QStringLiteral("\n\n쓴 글은 이 컴퓨터에 보관되어 있습니다. 클립보드에 복사하시겠습니까?")))
        QGuiApplication::clipboard()->setText(session_->PlainText());
}

bool TfmeEditor::ConfirmHiddenPaper()
{
    const int hidden = session_->HiddenPaperToConfirm();
    if (hidden == 0)
        return true;
    const bool yes = DialogService::instance().question(
        QStringLiteral("확인"), QStringLiteral("%1에 쓴 글은 보내지 않고 %2의 글만 저장합니다. 저장하시겠습니까?")
                                    .arg(paperName(hidden), paperName(session_->Inx())));
    if (yes)
        session_->HiddenPaperConfirmed(hidden);
    return yes;
}

void TfmeEditor::PrintEssay()
{
    DataSet cdPrint(PrintDataSets::essayPrint());
    session_->FillPrintData(cdPrint);
    ReportTemplate Report = PrintTemplates::load(PrintTemplates::kEssayPrint);
    const int kind = session_->Inx();
    EssayPrint::showBandFor(Report, kind == 0 ? int(EssayRecord::Manuscript) : kind);
    const PrintVariables::Heading heading{session_->Title(), session_->Launch().studentNo, {}, QDate::currentDate()};
    ShowReportPreview(
        PrepareReport(Report, {{{QStringLiteral("cdPrint"), &cdPrint}},
                               [&](const QString& name) { return PrintVariables::essayValue(name, heading); }}),
        QStringLiteral("감상문 출력"));
}

void TfmeEditor::gridSelectCell(int column, int line)
{
    ui_.edt->engine()->PendingText.clear();
    ui_.edt->setCellText(QString());
    editorCell_ = {line, column};
    if (column == 0)
        return;
    placeEditor(column, line);
    ui_.edt->setCellText(CellEditorEngine::TrimCell(session_->grid().cell(line, column)));
    if (!session_->ReadOnly()) {
        if (!FocusSuppressed)
            ui_.edt->setFocus();
        FocusSuppressed = false;
        ui_.edt->selectAll();
    }
}

// Keeps the caret within the first 14 visible lines and the editor inside the cell's box.
void TfmeEditor::placeEditor(int column, int line)
{
    ManuscriptView* grid = ui_.grid;
    const int firstVisible = grid->rowAt(0);
    if (firstVisible >= 0 && line - firstVisible > 13)
        grid->scrollTo(session_->grid().index(line - 13, column), QAbstractItemView::PositionAtTop);
    const QRect cell = grid->visualRect(session_->grid().index(line, column));
    const QPoint at = grid->viewport()->mapTo(this, cell.topLeft());
    ui_.edt->move(at.x() + 5, at.y() + 6);
}

void TfmeEditor::setCurrentCell(CellPos cell)
{
    selectHandlerAttached_ = false;
    ui_.grid->setCurrentIndex(session_->grid().index(cell.line, cell.column));
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

void TfmeEditor::gridClick(const QPoint& at)
{
    const QModelIndex index = ui_.grid->indexAt(at);
    if (!index.isValid() || session_->ReadOnly() || session_->Inx() != EssayRecord::Manuscript)
        return;
    const CellPos cell{index.row(), qMax(index.column(), int(ManuscriptGrid::kFirstCellColumn))};
    setCurrentCell(cell);
    gridSelectCell(cell.column, cell.line);
}

void TfmeEditor::gridMouseWheelUp()
{
    ui_.grid->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
}

void TfmeEditor::gridMouseWheelDown()
{
    ui_.grid->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
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
    session_->KeyReleased();
}

void TfmeEditor::memKeyUp()
{
    session_->KeyReleased();
}

bool TfmeEditor::eventFilter(QObject* watched, QEvent* event)
{
    bool handled = false;
    Guarded([&] { handled = filterEvent(watched, event); });
    return handled || QFrame::eventFilter(watched, event);
}

bool TfmeEditor::filterEvent(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == ui_.grid->viewport()) {
        if (type == QEvent::MouseButtonPress)
            gridMouseDown();
        else if (type == QEvent::MouseButtonRelease) {
            gridMouseUp();
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
                gridClick(static_cast<QMouseEvent*>(event)->position().toPoint());
        } else if (type == QEvent::Wheel)
            static_cast<QWheelEvent*>(event)->angleDelta().y() > 0 ? gridMouseWheelUp() : gridMouseWheelDown();
    } else if (watched == ui_.grid && (type == QEvent::Show || type == QEvent::Resize)) {
        // The grid scrolls its current cell into view once it is laid out; the editor
        // follows when that is done.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (editorCell_.column != 0)
                    Guarded([&] { placeEditor(editorCell_.column, editorCell_.line); });
            },
            Qt::QueuedConnection);
    } else if (watched == ui_.edt) {
        if (type == QEvent::Wheel) {
            edtMouseWheel(static_cast<QWheelEvent*>(event)->angleDelta().y());
        } else if (type == QEvent::KeyRelease) {
            edtKeyUp();
        } else if (type == QEvent::FocusIn && editorCell_.column != 0
                   && ui_.grid->currentIndex() != session_->grid().index(editorCell_.line, editorCell_.column)) {
            // A click on the grid moved its current cell but not the editor: typing goes
            // where the editor is.
            setCurrentCell(editorCell_);
        }
    } else if (watched == ui_.mem) {
        if (type == QEvent::KeyRelease)
            memKeyUp();
        else
            return refuseUnencodable(event);
    }
    return false;
}

// The memo's typing refuses what code page 949 cannot hold, with a beep.
bool TfmeEditor::refuseUnencodable(QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        if (!Cp949::canEncode(static_cast<QKeyEvent*>(event)->text())) {
            QApplication::beep();
            return true;
        }
    } else if (event->type() == QEvent::InputMethod) {
        auto* input = static_cast<QInputMethodEvent*>(event);
        if (!Cp949::canEncode(input->commitString())) {
            QApplication::beep();
            QInputMethodEvent kept(input->preeditString(), input->attributes());
            kept.setCommitString(encodableOnly(input->commitString()));
            QApplication::sendEvent(ui_.mem, &kept);
            return true;
        }
    }
    return false;
}
