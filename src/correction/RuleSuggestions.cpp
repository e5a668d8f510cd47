#include "correction/RuleSuggestions.h"

#include "correction/TfrmTemp.h"
#include "dataset/DataSet.h"
#include "document/EssayRecord.h"
#include "writing/SheetSnapshot.h"

namespace {

constexpr int kFormScoreMaximum = 10;

QRect cellBox(CellPos cell)
{
    const int line = cell.line % TfrmTemp::kRowsPerPage;
    return QRect(
        TfrmTemp::kGridOrigin
            + QPoint(TfrmTemp::kCounterWidth + (cell.column - 1) * TfrmTemp::kCellSize, line * TfrmTemp::kCellSize),
        QSize(TfrmTemp::kCellSize, TfrmTemp::kCellSize));
}

}

void RuleSuggestions::Load(DataSet& lineTable)
{
    all_.clear();
    if (TfrmTemp::PaperKind(lineTable) != EssayRecord::Manuscript)
        return;
    QList<QStringList> lines;
    for (int row = 0; row < lineTable.recordCount(); ++row) {
        lineTable.moveTo(row);
        QStringList cells;
        for (int column = 1; column <= SheetSnapshot::kWidth; ++column)
            cells.append(lineTable.asString(EssayRecord::lineField(column)));
        lines.append(cells);
    }
    for (const ManuscriptRules::Finding& f : ManuscriptRules::Check(SheetSnapshot::fromLines(lines)))
        all_.append({f.cell, f.rule, ManuscriptRules::Hint(f.rule), cellBox(f.cell)});
}

QList<RuleSuggestions::Suggestion> RuleSuggestions::ForPage(int page) const
{
    QList<Suggestion> shown;
    for (const Suggestion& s : all_)
        if (s.cell.line / TfrmTemp::kRowsPerPage == page)
            shown.append(s);
    return shown;
}

int RuleSuggestions::SuggestedScore() const
{
    return std::max(0, kFormScoreMaximum - Count());
}

QString RuleSuggestions::Spoken(const QList<Suggestion>& suggestions)
{
    if (suggestions.isEmpty())
        return {};
    QString spoken = QStringLiteral("원고지 규칙 제안 %1건, F7로 첨삭합니다.").arg(suggestions.size());
    for (const Suggestion& s : suggestions)
        spoken += u' ' + Where(s) + u'.';
    return spoken;
}

QString RuleSuggestions::Where(const Suggestion& suggestion)
{
    return QStringLiteral("%1줄 %2칸: %3")
        .arg(suggestion.cell.line % TfrmTemp::kRowsPerPage + 1)
        .arg(suggestion.cell.column)
        .arg(suggestion.hint);
}
