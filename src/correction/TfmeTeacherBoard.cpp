// The correction frame's board handlers: placing, editing and deleting marks, and taking
// them back and forth through the page's history.
#include "correction/TfmeTeacher.h"

#include "board/SorBoard.h"
#include "correction/BoardPage.h"
#include "correction/CorrectionJournal.h"
#include "correction/FitItemToText.h"
#include "correction/MemoText.h"
#include "correction/TFlatSpeedButton.h"
#include "correction/TfrmText.h"
#include "correction/TickCount.h"
#include "ui/HistoryKeys.h"

#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextCursor>

void TfmeTeacher::SpeedButton1Click(QObject* sender)
{
    const auto* button = static_cast<const TFlatSpeedButton*>(sender);
    Board->SetDrawTool(TDrawTool(button->Tag));
    FSession.SetModified(true);
}

void TfmeTeacher::BoardItemAdd(TBoardItem* item)
{
    const QString commentBefore = Memo2->toPlainText();
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
    FSession.BoardEdited(BoardPage::Marks(Board->Items()), commentBefore, Memo2->toPlainText());
    FJournal->keeper().markDirty();
}

void TfmeTeacher::BoardItemMoveSized()
{
    BoardEdited();
    FSession.SetModified(true);
}

void TfmeTeacher::BoardEdited()
{
    const QString comment = Memo2->toPlainText();
    FSession.BoardEdited(BoardPage::Marks(Board->Items()), comment, comment);
}

void TfmeTeacher::ShowBoardChange(const std::optional<BoardHistory::Change>& change)
{
    if (!change)
        return;
    BoardPage::Restore(*Board, change->marks);
    if (change->comment)
        Memo2->setPlainText(*change->comment);
}

void TfmeTeacher::BoardDblClick()
{
    if (FSession.FViewOnly() || Board->Selected() < 0)
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
    const auto recorded = qScopeGuard([this] { BoardEdited(); });
    if (item->DrawTool() == dtText || item->DrawTool() == dtNumber) {
        // The board may have put its default text in already; what was typed counts.
        if (text.isEmpty())
            return;
        FitItemToText(*item, Board->Canvas());
        Board->Graps().PlaceAround(*item);
    }
    FSession.SetModified(true);
}

void TfmeTeacher::BoardKeyDown(int& key, Qt::KeyboardModifiers shift)
{
    const HistoryKey history = HistoryKeyOf(key, shift);
    if (history != HistoryKey::None) {
        const QString comment = Memo2->toPlainText();
        ShowBoardChange(history == HistoryKey::Undo ? FSession.UndoBoard(comment) : FSession.RedoBoard(comment));
        key = 0;
        return;
    }
    switch (key) {
    case Qt::Key_PageUp:
        ScrollBox1->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
        break;
    case Qt::Key_PageDown:
        ScrollBox1->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        break;
    case Qt::Key_Delete:
        if (!FSession.FViewOnly() && Board->Selected() >= 0) {
            Board->Items().Delete(Board->Selected());
            BoardEdited();
            FSession.SetModified(true);
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

void TfmeTeacher::ImageMouseDown()
{
    ScrollBox1->setFocus();
}
