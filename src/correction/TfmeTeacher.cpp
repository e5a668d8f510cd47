#include "correction/TfmeTeacher.h"

#include "board/SorBoard.h"
#include "core/AppError.h"
#include "core/TransferGate.h"
#include "correction/BoardPage.h"
#include "correction/CorrectionJournal.h"
#include "correction/DisplayedLines.h"
#include "correction/ErrorStatsButton.h"
#include "correction/MarkLegend.h"
#include "correction/ScoreSheetView.h"
#include "correction/TFlatSpeedButton.h"
#include "correction/TeacherBank.h"
#include "correction/TeacherQueueBar.h"
#include "correction/TeacherRuleHints.h"
#include "correction/TfrmTemp.h"
#include "correction/Thumbnail.h"
#include "correction/TotalBox.h"
#include "net/ShowBrowserWindow.h"
#include "net/Transport.h"
#include "net/UploadForm.h"
#include "report/TfrmPreview.h"
#include "text/TrimControls.h"
#include "ui/DialogService.h"
#include "ui/ErrorBox.h"
#include "ui/PictureButton.h"

#include <QBuffer>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextCursor>
#include <QTime>
#include <cmath>

namespace {

const QString kCommentFull = QStringLiteral("더이상 추가 하실 수 없습니다.\r\n55라인까지만 입력가능합니다.");

// A key that types or erases something, as opposed to moving the caret or a bare modifier.
bool IsTypedKey(const QKeyEvent& key)
{
    return !key.text().isEmpty() || key.key() == Qt::Key_Backspace || key.key() == Qt::Key_Delete;
}

// Manuscript cells are copied only at whole ratios; the board scales a larger page down.
int PageRatio(const QWidget& board)
{
    return int(std::ceil(board.devicePixelRatioF()));
}

}

const QString TfmeTeacher::kPictureFilter =
    QStringLiteral("All (*.jpg *.bmp);;JPEG Image File (*.jpg);;Bitmaps (*.bmp)");

namespace {
const QString kKeptHere = QStringLiteral("\n첨삭은 이 컴퓨터에 보관되어 있습니다. 나중에 다시 저장하십시오.");
}

TfmeTeacher::TfmeTeacher(QWidget* parent) : QFrame(parent), FJournal(new CorrectionJournal(FSession, this))
{
    BuildLayout();
    FRuleHints = new TeacherRuleHints(Board, Label5, FSession.Scores());
    FBank = new TeacherBank(pnlBottom, Memo2, lblNotice, this);
    // The strip's extras take Tab in the order they stand, after the queue.
    QWidget::setTabOrder(FQueueBar->chkAll, FBank->btnBank);
    QWidget::setTabOrder(FBank->btnBank, btnErrorStats);
    ConnectHandlers();
    connect(&FJournal->keeper(), &JournalKeeper::writeFailed, this, [](const QString& message) { ShowInfo(message); });
    connect(&TransferGate::instance(), &TransferGate::starting, this, [this] { FJournal->keeper().flush(); });
    connect(FQueueBar, &TeacherQueueBar::failed, lblNotice, &QLabel::setText);
}

void TfmeTeacher::OfferRecovery()
{
    if (FSession.ViewOnly() || FSession.ViewMode() == 0)
        return;
    const QString problem = FJournal->Offer(
        [] {
            return DialogService::instance().question(
                QStringLiteral("복구"), QStringLiteral("저장하지 않은 첨삭이 있습니다. 복구하시겠습니까?"));
        },
        [this](const CorrectionJournal::Work& work) {
            FSession.RestoreWork(work.mode, work.boardPages, work.pictures, work.review, work.points, work.deduction,
                                 work.total);
            CheckBox1->setChecked(work.deduction);
            BuildPageList(work.mode);
            if (work.page > 0 && work.page < cmbList->count()) {
                cmbList->setCurrentIndex(work.page);
                cmbListChange(work.page);
            }
        });
    if (!problem.isEmpty())
        ShowInfo(problem);
}

void TfmeTeacher::FlushJournal()
{
    FJournal->keeper().flush();
}

void TfmeTeacher::DiscardJournal()
{
    if (FJournal->keeper().started())
        FJournal->keeper().setAside();
}

TfmeTeacher::~TfmeTeacher()
{
    // The widgets observe the session's score sheet: they go before it.
    qDeleteAll(findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
}

void TfmeTeacher::ShowLaunchState(QLineEdit* titleBox)
{
    const CorrectionLaunch& launch = FSession.Launch();
    const bool scoring = launch.OffersScoreSheet();
    Image6->setVisible(scoring);
    btnAG->setVisible(!TrimControls(launch.discussionUrl).isEmpty());
    Label13->setVisible(scoring);
    Label14->setVisible(scoring);
    titleBox->setText(launch.title);
    titleBox->setEnabled(false);
}

void TfmeTeacher::SetupTeacherRun(const LaunchFields& fields, QLineEdit* titleBox)
{
    FSession.ReadTeacherFields(fields);
    const CorrectionLaunch& launch = FSession.Launch();
    ShowLaunchState(titleBox);
    ComboBox1->SetTyped(launch.OffersTotalBox());
    // Shown, so a teacher can correct on paper: hidden, a handwritten correction could
    // never be started.
    btn2->setVisible(launch.editable);
    if (launch.essayUrl.isEmpty()) {
        ShowInfo(QStringLiteral("답안지가 없습니다."));
        return;
    }
    DataSet essay;
    DownloadRecord(launch.essayUrl, essay);
    DataSet correction(CorrectionRecord::fields());
    QString revision;
    if (launch.hasCorrection && !launch.correctionUrl.isEmpty()) {
        correction.emptyDataSet();
        DownloadRecord(launch.correctionUrl, correction, &revision);
    } else if (FSession.LooksForLaterCorrection()) {
        QBuffer stream;
        if (DownloadIfStored(launch.correctionUrl, stream, &revision)) {
            correction.loadPacket(stream.data());
            correction.first();
        }
    }
    FSession.CorrectionFetched(revision);
    if (!launch.editable)
        SetReadOnly();
    LoadCorrection(std::move(essay), std::move(correction));
    pGridTopLeftChanged();
    if (launch.editable)
        FBank->load(launch);
    if (FSession.NewerThanLaunch())
        ShowInfo(QStringLiteral("이 실행 파일을 받은 뒤에 저장된 첨삭이 있어, 가장 최근에 저장된 첨삭을 열었습니다."));
    btnErrorStats->Offer(launch, true);
    FQueueBar->Load(launch.lectureKey, launch.password);
}

void TfmeTeacher::SetupViewRun(const LaunchFields& fields, QLineEdit* titleBox)
{
    // Nothing of a viewing run can change, also when its set-up stops early.
    const auto viewOnly = qScopeGuard([this] { SetViewOnly(); });
    FSession.ReadViewFields(fields);
    const CorrectionLaunch& launch = FSession.Launch();
    ShowLaunchState(titleBox);
    ComboBox1->SetTyped(false);
    CheckBox1->setEnabled(false);
    if (launch.essayUrl.isEmpty()) {
        ShowInfo(QStringLiteral("답안지가 없습니다."));
        return;
    }
    DataSet essay;
    DownloadRecord(launch.essayUrl, essay);
    DataSet correction(CorrectionRecord::fields());
    if (!launch.correctionUrl.isEmpty())
        DownloadRecord(launch.correctionUrl, correction);
    LoadCorrection(std::move(essay), std::move(correction));
    pGridTopLeftChanged();
    btnErrorStats->Offer(launch, false);
}

// An unreadable record stops the set-up with the reading error, in both modes.
void TfmeTeacher::DownloadRecord(const QString& address, DataSet& record, QString* revision)
{
    QBuffer stream;
    DownloadToStream(address, stream, revision);
    record.loadPacket(stream.data());
    record.first();
}

void TfmeTeacher::LoadCorrection(DataSet essay, DataSet correction)
{
    Board->SetDrawTool(dtNone);
    FSession.Load(std::move(essay), std::move(correction));
    FRuleHints->Load(FSession.cdTempEditor);
    Board->Redraw();
    BuildPageList(FSession.ViewMode());
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
    {
        // The selection tool is given back, not chosen: no change to the work.
        const QSignalBlocker quiet(ToolGroup);
        btnCursor->setChecked(true);
    }
    Board->setVisible(board);
    Image->setVisible(!board);
    // A run that may not edit gets no page buttons back.
    Image3->setVisible(!board && !FSession.ReadOnly());
    Image4->setVisible(!board && !FSession.ReadOnly());
    Label5->setVisible(board);

    FSession.BuildPageList(mode);
    if (cmbList->count() > 0) {
        cmbList->setCurrentIndex(0);
        cmbListChange(0);
    }
}

void TfmeTeacher::ShowPageList()
{
    cmbList->clear();
    // Shown as pages are named on paper; the record keeps its own keys.
    for (int page = 1; page <= FSession.Pages().size(); ++page)
        cmbList->addItem(QStringLiteral("%1쪽").arg(page));
    Label5->setText(QStringLiteral("총 %1페이지 입니다.").arg(cmbList->count()));
}

void TfmeTeacher::cmbListChange(int index)
{
    if (FSession.ViewMode() != 1) {
        FRuleHints->ShowPage(-1, false);
        ShowHandwrittenPage(index);
        return;
    }
    // Rendered first: a page that cannot be rendered leaves the board on the page it shows.
    frmTemp->RenderPage(FSession.cdTempEditor, Board->Background(), index + 1, PageRatio(*Board));
    Board->SetTextLines(frmTemp->PageLines(FSession.cdTempEditor, index + 1));
    FSession.TurnPage(index);
    FRuleHints->ShowPage(index, !FSession.ReadOnly());
}

void TfmeTeacher::BoardRatioChange()
{
    if (FSession.ViewMode() == 1 && cmbList->currentIndex() >= 0)
        frmTemp->RenderPage(FSession.cdTempEditor, Board->Background(), cmbList->currentIndex() + 1, PageRatio(*Board));
}

void TfmeTeacher::ShowPageChange(CorrectionPage::Changes what)
{
    const CorrectionPage& page = FSession.Page();
    if (what & CorrectionPage::PageTurned) {
        ScrollBox1->verticalScrollBar()->setValue(0);
        Board->move(0, 0);
        Board->resize(Board->Background().deviceIndependentSize().toSize());
        ScrollBox1->widget()->resize(Board->size());
        BoardPage::Restore(*Board, page.marks());
    } else if (what & CorrectionPage::MarksChanged) {
        BoardPage::Show(*Board, page.marks());
    }
    if (what & CorrectionPage::CommentChanged)
        ShowComment();
}

void TfmeTeacher::ShowComment()
{
    const QString& comment = FSession.Page().comment();
    const QString shown = Memo2->toPlainText();
    if (shown == comment)
        return;
    FShowingComment = true;
    const auto typed = qScopeGuard([this] { FShowingComment = false; });
    if (!shown.isEmpty() && comment.startsWith(shown)) {
        // A line added at the end, as typing would add it: the box's own undo keeps it.
        QTextCursor end(Memo2->document());
        end.movePosition(QTextCursor::End);
        end.insertText(comment.mid(shown.size()));
    } else {
        Memo2->setPlainText(comment);
    }
}

void TfmeTeacher::ShowPicture(const QImage& picture)
{
    Image->setPixmap(QPixmap::fromImage(picture));
    Image->adjustSize();
    ScrollBox1->widget()->resize(Image->size());
}

void TfmeTeacher::ShowHandwrittenPage(int index)
{
    Image->clear();
    ShowPicture(FSession.HandwrittenPicture(index));
}

void TfmeTeacher::SetReadOnly()
{
    FSession.SetReadOnly();
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
    ComboBox1->SetTyped(false);
    for (TFlatSpeedButton* button : ToolButtons)
        button->setEnabled(false);
    ScoreView->SetReadOnly();
    FRuleHints->ShowPage(-1, false);
}

void TfmeTeacher::SetViewOnly()
{
    btn1->hide();
    pnlLeft->hide();
    btnLegend->show();
    SetReadOnly();
    FSession.SetViewOnly();
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
        ShowBrowserWindow(FSession.Launch().discussionUrl);
        break;
    case TagLegend:
        if (!FLegend)
            FLegend = new TMarkLegend(this);
        FLegend->show();
        FLegend->raise();
        break;
    // A click that comes while a save is being sent waits for nothing and does nothing:
    // a print or a second save would move the pages under the one being sent.
    case TagAnswerPrint:
        if (!TransferGate::instance().busy())
            ShowReportPreview(PrepareAnswerPrint(), QStringLiteral("답안 출력"), FSession.Launch().title);
        break;
    case TagSave:
        if (!TransferGate::instance().busy())
            SaveCorrection();
        break;
    case TagCorrectionPrint:
        if (!TransferGate::instance().busy())
            ShowReportPreview(PrepareCorrectionPrint(), QStringLiteral("첨삭 출력"), FSession.Launch().title);
        break;
    default:
        break;
    }
}

void TfmeTeacher::SaveCorrection()
{
    if (FSession.ViewOnly())
        return;
    FSession.RequirePages(QStringLiteral("저장"));
    FSession.ValidateScores();
    cmbList->setCurrentIndex(0);
    cmbListChange(0);
    ReplyText reply;
    QString revision;
    try {
        const QImage thumbnail = Thumbnail();
        const UploadForm form = TeacherForm(FSession.Submission(thumbnail));
        if (const std::optional<UploadForm> unanswered = FSession.UnansweredSave(); unanswered && *unanswered != form) {
            reply = PostSave(*unanswered, revision);
            if (reply.accepted()) {
                FSession.SaveAccepted(revision);
                // Built again only for its base, the revision the server has just named.
                reply = PostSave(TeacherForm(FSession.Submission(thumbnail)), revision);
            }
        } else {
            reply = PostSave(form, revision);
        }
    } catch (const AppError& error) {
        FJournal->keeper().flush();
        throw AppError(error.message() + kKeptHere);
    }
    // A refused correction is not stored: it stays unsaved, and a closing window stays open.
    if (!reply.accepted()) {
        // Written again even when unchanged: another run's save of this correction removes
        // the journal the two share.
        FJournal->keeper().markDirty();
        FJournal->keeper().flush();
        if (DialogService::instance().question(
                QStringLiteral("저장하지 못했습니다"),
                reply.message
                    + QStringLiteral("\n\n첨삭은 이 컴퓨터에 보관되어 있습니다. 총평과 쪽 평을 클립보드에 "
                                     "복사하시겠습니까?")))
            QGuiApplication::clipboard()->setText(FSession.PlainText());
        throw SilentAbort();
    }
    FSession.SaveAccepted(revision);
    FSession.SetModified(false);
    FJournal->keeper().saved();
    // Saved work needs no box to be answered: the notice says so, to the second, so a
    // second save in the same minute shows too.
    const QString message = reply.message.isEmpty() ? QStringLiteral("저장되었습니다.") : reply.message;
    lblNotice->setText(message + QLatin1Char(' ') + QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
}

ReplyText TfmeTeacher::PostSave(const UploadForm& form, QString& revision)
{
    try {
        return SplitReply(PostForm(form, &revision));
    } catch (const AppError&) {
        FSession.SaveUnanswered(form);
        throw;
    }
}

// Page 1 as the teacher sees it: a board page with its comment beside it, or the picture.
QImage TfmeTeacher::Thumbnail() const
{
    if (FSession.ViewMode() != 1)
        return Image->pixmap().toImage();
    QImage page(Board->size(), QImage::Format_RGB32);
    Board->DrawPicture(page);
    QImage comment;
    frmTemp->RenderText(FSession.Page().stored().comment, comment);
    return Thumbnail::Board(page, comment);
}

PreparedReport TfmeTeacher::PrepareAnswerPrint()
{
    return FSession.PrepareAnswerPrint();
}

// The pages are printed from the session: the board stays on the page the teacher is
// correcting.
PreparedReport TfmeTeacher::PrepareCorrectionPrint()
{
    return FSession.PrepareCorrectionPrint();
}

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
        FSession.SetModified(true);
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
    const QImage picture = FSession.AddHandwrittenPage(path);
    // The picture is shown already, so the change of page does not run.
    ShowPicture(picture);
    cmbList->setCurrentIndex(cmbList->count() - 1);
}

void TfmeTeacher::DeleteHandwrittenPage()
{
    const int index = cmbList->currentIndex();
    if (index < 0)
        return;
    Image->clear();
    FSession.DeleteHandwrittenPage(index);
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

void TfmeTeacher::pGridTopLeftChanged()
{
    ScoreView->pGridTopLeftChanged();
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
