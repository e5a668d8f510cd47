// The correction frame's board handlers: the teacher's gestures on the board become
// operations on the page shown, whose changes the board then shows.
#include "correction/TfmeTeacher.h"

#include "board/SorBoard.h"
#include "correction/TFlatSpeedButton.h"
#include "correction/TeacherBank.h"
#include "correction/TeacherRuleHints.h"
#include "correction/TfrmText.h"
#include "correction/TickCount.h"
#include "ui/HistoryKeys.h"

#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextCursor>

void TfmeTeacher::SpeedButton1Click(QObject* sender)
{
    const auto* button = static_cast<const TFlatSpeedButton*>(sender);
    Board->SetDrawTool(TDrawTool(button->Tag));
    FSession.ToolChosen();
}

void TfmeTeacher::BoardItemAdd(TDrawTool tool, QPoint startPoint, QPoint endPoint)
{
    const bool firstLine = FSession.Page().comment().isEmpty();
    if (FSession.Page().place(tool, startPoint, endPoint, TickCount()) < 0)
        return;
    // Back to the selection tool after every placed item, as if its button were clicked.
    btnCursor->click();
    if (tool == dtNumber) {
        // The caret goes inside a first number, "(1)", or after the line added.
        QTextCursor caret = Memo2->textCursor();
        caret.movePosition(QTextCursor::End);
        if (firstLine)
            caret.setPosition(qMin(2, int(Memo2->toPlainText().size())));
        Memo2->setTextCursor(caret);
        Memo2->setFocus();
    }
}

void TfmeTeacher::BoardItemMoveSized(const TBoardItem& item)
{
    FSession.Page().setBounds(Board->Selected(), item.Left(), item.Top(), item.Right(), item.Bottom());
}

void TfmeTeacher::BoardDblClick()
{
    const int selected = Board->Selected();
    if (FSession.ViewOnly() || selected < 0 || selected >= FSession.Page().marks().size())
        return;
    const CorrectionRecord::MarkRow& mark = FSession.Page().marks()[selected];
    TfrmText dialog;
    dialog.SetStrings(mark.strings);
    dialog.SetPoint(mark.reportPoint);
    const int kind = mark.drawTool;
    FBank->offerIn(dialog, kind);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const TCanvas& canvas = Board->Canvas();
    FSession.Page().setText(selected, dialog.Strings(), dialog.Point(), [&canvas](const QString& line) {
        return QSize(canvas.TextWidth(line), canvas.TextHeight(line));
    });
    FBank->keep(dialog, kind);
}

void TfmeTeacher::BoardKeyDown(int& key, Qt::KeyboardModifiers shift)
{
    const HistoryKey history = HistoryKeyOf(key, shift);
    if (history != HistoryKey::None) {
        if (history == HistoryKey::Undo)
            FSession.Undo();
        else
            FSession.Redo();
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
    case Qt::Key_F7: {
        const auto place = [this](int which) {
            const TCanvas& canvas = Board->Canvas();
            return FRuleHints->Place(which, FSession.Page(), TickCount(), [&canvas](const QString& line) {
                return QSize(canvas.TextWidth(line), canvas.TextHeight(line));
            });
        };
        if (!shift.testFlag(Qt::ShiftModifier)) {
            if (place(0))
                key = 0;
            break;
        }
        // Shift+F7: the page's suggestions as a menu, read out one by one; the one chosen
        // becomes a mark.
        const QList<RuleSuggestions::Suggestion> open = FRuleHints->Open();
        if (open.isEmpty())
            break;
        auto* menu = new QMenu(Board);
        menu->setObjectName(QStringLiteral("mnuRuleSuggestions"));
        menu->setAttribute(Qt::WA_DeleteOnClose);
        for (int which = 0; which < open.size(); ++which)
            menu->addAction(RuleSuggestions::Where(open[which]), this, [place, which] { place(which); });
        menu->popup(Board->mapToGlobal(open.front().box.bottomLeft()));
        key = 0;
        break;
    }
    case Qt::Key_Delete:
        if (!FSession.ViewOnly() && Board->Selected() >= 0) {
            FSession.Page().remove(Board->Selected());
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
