#include "writing/WritingHints.h"

#include "document/EssayRecord.h"
#include "document/ManuscriptGrid.h"
#include "ui/ErrorBox.h"
#include "writing/CellEditorEngine.h"
#include "writing/EditorWidgets.h"
#include "writing/ManuscriptView.h"
#include "writing/TSorEdit.h"
#include "writing/WritingSession.h"

#include <QLabel>
#include <QMenu>
#include <QShortcut>

namespace {

constexpr int kMostSuggestions = 8;

CellPos nextStreamCell(CellPos cell)
{
    return cell.column < ManuscriptGrid::kLastCellColumn ? CellPos{cell.line, cell.column + 1}
                                                         : CellPos{cell.line + 1, ManuscriptGrid::kFirstCellColumn};
}

}

WritingHints::WritingHints(QWidget* frame, const EditorWidgets& ui, WritingSession& session, WritingChecks& checks)
    : QObject(frame), ui_(ui), session_(session), checks_(checks)
{
    QLabel* count = ui.lblCount;
    lblRules_ = new QLabel(count->parentWidget());
    lblRules_->setObjectName(QStringLiteral("lblRules"));
    lblRules_->setFont(count->font());
    lblRules_->setPalette(count->palette());
    lblRules_->move(count->x() + count->minimumWidth() + 4, count->y());
    lblRules_->hide();

    QLabel* notice = ui.lblNotice;
    lblSpelling_ = new QLabel(notice->parentWidget());
    lblSpelling_->setObjectName(QStringLiteral("lblSpelling"));
    lblSpelling_->setFont(notice->font());
    lblSpelling_->move(notice->x() + notice->minimumWidth() + 8, notice->y());
    lblSpelling_->hide();

    menu_ = new QMenu(frame);
    menu_->setObjectName(QStringLiteral("spellingMenu"));

    auto* next = new QShortcut(QKeySequence(Qt::Key_F7), frame);
    next->setContext(Qt::WidgetWithChildrenShortcut);
    connect(next, &QShortcut::activated, this, [this] { Guarded([&] { NextFinding(); }); });
    auto* spelling = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F7), frame);
    spelling->setContext(Qt::WidgetWithChildrenShortcut);
    connect(spelling, &QShortcut::activated, this, [this] { Guarded([&] { SpellingMenu(); }); });

    for (QWidget* w : {static_cast<QWidget*>(ui.grid), static_cast<QWidget*>(ui.edt)})
        w->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui.grid, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const QModelIndex index = ui_.grid->indexAt(ui_.grid->viewport()->mapFrom(ui_.grid, at));
        if (index.isValid())
            Guarded([&] { askSuggestions({index.row(), index.column()}); });
    });
    connect(ui.edt, &QWidget::customContextMenuRequested, this, [this] { Guarded([&] { askSuggestions(caret()); }); });

    connect(&checks, &WritingChecks::Checked, this, &WritingHints::showChecked);
    connect(&checks, &WritingChecks::SpellingOff, this, &WritingHints::showSpellingOff);
    connect(&checks, &WritingChecks::Suggested, this, &WritingHints::showSuggestions);
    connect(&session, &WritingSession::InxChanged, this, [this] { showChecked(); });
    connect(ui.grid->selectionModel(), &QItemSelectionModel::currentChanged, this, &WritingHints::describeCaretCell);
    if (!checks.SpellingProblem().isEmpty())
        showSpellingOff(checks.SpellingProblem());
}

void WritingHints::showChecked()
{
    const bool shown = checks_.Started() && session_.Inx() == EssayRecord::Manuscript;
    lblRules_->setText(QStringLiteral("원고지 규칙 %1").arg(checks_.Findings().size()));
    lblRules_->adjustSize();
    lblRules_->setVisible(shown);
    ui_.grid->viewport()->update();
    describeCaretCell();
}

void WritingHints::showSpellingOff(const QString& message)
{
    lblSpelling_->setText(message);
    lblSpelling_->adjustSize();
    lblSpelling_->show();
}

// The cell editor lies over the caret cell and has the focus: it tells what the cell's hint is.
void WritingHints::describeCaretCell()
{
    const CellPos at = caret();
    const QString note = at.column > 0 ? checks_.note(at.line, at.column) : QString();
    if (ui_.edt->accessibleDescription() != note)
        ui_.edt->setAccessibleDescription(note);
}

CellPos WritingHints::caret() const
{
    const QModelIndex current = ui_.grid->currentIndex();
    return current.isValid() ? CellPos{current.row(), current.column()} : CellPos{0, 1};
}

void WritingHints::moveCaret(CellPos cell)
{
    ui_.grid->setCurrentIndex(session_.grid().index(cell.line, cell.column));
}

void WritingHints::NextFinding()
{
    if (!checks_.Started() || session_.Inx() != EssayRecord::Manuscript)
        return;
    if (const std::optional<CellPos> next = checks_.NextFinding(caret()))
        moveCaret(*next);
}

void WritingHints::SpellingMenu()
{
    if (!checks_.Started() || session_.Inx() != EssayRecord::Manuscript)
        return;
    CellPos at = caret();
    if (!checks_.MisspellingAt(at)) {
        // The next misspelt word, if any: the caret goes there first.
        const QList<WritingChecks::Misspelling>& words = checks_.Misspellings();
        const auto after = std::find_if(words.begin(), words.end(), [&](const WritingChecks::Misspelling& m) {
            const CellPos first = m.cells.front();
            return first.line > at.line || (first.line == at.line && first.column > at.column);
        });
        if (words.isEmpty())
            return;
        at = (after == words.end() ? words.front() : *after).cells.front();
        moveCaret(at);
    }
    askSuggestions(at);
}

// Suggestions take up to a second with this dictionary: the menu opens when they come.
void WritingHints::askSuggestions(CellPos cell)
{
    const WritingChecks::Misspelling* word = checks_.MisspellingAt(cell);
    if (!word)
        return;
    menuWord_ = word->word;
    menuCell_ = word->cells.front();
    lblSpelling_->setText(QStringLiteral("'%1'의 맞춤법 제안을 찾고 있습니다...").arg(menuWord_));
    lblSpelling_->adjustSize();
    lblSpelling_->show();
    checks_.Suggest(menuWord_);
}

void WritingHints::showSuggestions(const QString& word, const QStringList& suggestions)
{
    if (word != menuWord_)
        return;
    lblSpelling_->clear();
    const WritingChecks::Misspelling* shown = checks_.MisspellingAt(menuCell_);
    // The text changed while the suggestions were sought: they may no longer fit it.
    if (!shown || shown->word != word || !(shown->cells.front() == menuCell_))
        return;
    const WritingChecks::Misspelling misspelt = *shown;
    menu_->clear();
    for (const QString& s : suggestions.mid(0, kMostSuggestions))
        connect(menu_->addAction(s), &QAction::triggered, this,
                [this, misspelt, s] { Guarded([&] { replaceWord(misspelt, s); }); });
    if (suggestions.isEmpty())
        menu_->addAction(QStringLiteral("맞춤법 제안 없음"))->setEnabled(false);
    menu_->addSeparator();
    connect(menu_->addAction(QStringLiteral("사전에 추가")), &QAction::triggered, this,
            [this, word] { Guarded([&] { checks_.AddToDictionary(word); }); });
    const QModelIndex index = session_.grid().index(menuCell_.line, menuCell_.column);
    const QRect cell = ui_.grid->visualRect(index);
    menu_->popup(ui_.grid->viewport()->mapToGlobal(cell.bottomLeft()));
    menu_->setActiveAction(menu_->actions().value(0));
}

// The student chose a suggestion: it takes the word's cells, one character a cell, and the
// text after it moves on or back as typing would move it.
void WritingHints::replaceWord(const WritingChecks::Misspelling& word, const QString& with)
{
    ManuscriptGrid& grid = session_.grid();
    const qsizetype had = word.cells.size();
    const qsizetype needs = with.size();
    const CellPos last = word.cells.back();
    for (qsizetype i = had; i < needs; ++i)
        grid.openStreamCell(last.line, last.column, CellEditorEngine::IsHangingPunctuation);
    if (needs < had) {
        const CellPos from = word.cells[needs];
        grid.removeStreamCells(from.line, from.column, int(had - needs), CellEditorEngine::IsHangingPunctuation);
    }
    CellPos at = word.cells.front();
    for (qsizetype i = 0; i < needs; ++i, at = nextStreamCell(at)) {
        if (at.line >= grid.lineCount())
            grid.setLineCount(at.line + 1);
        grid.setCell(at.line, at.column, with[i] == u' ' ? QString() : QString(with[i]));
    }
    moveCaret(at);
}
