#include "correction/TeacherRuleHints.h"

#include "correction/ScoreSheet.h"
#include "correction/SuggestionOverlay.h"

#include <QLabel>

TeacherRuleHints::TeacherRuleHints(QWidget* board, QLabel* pageCount, ScoreSheet& scores)
    : QObject(board), overlay_(new SuggestionOverlay(board)), lblRuleScore_(new QLabel(pageCount->parentWidget())),
      scores_(scores)
{
    overlay_->hide();
    lblRuleScore_->setObjectName(QStringLiteral("lblRuleScore"));
    lblRuleScore_->setFont(pageCount->font());
    lblRuleScore_->move(pageCount->geometry().right() + 8, pageCount->y() + 4);
    lblRuleScore_->hide();
}

void TeacherRuleHints::Load(DataSet& lineTable)
{
    suggestions_.Load(lineTable);
    placed_.clear();
    page_ = -1;
}

QList<RuleSuggestions::Suggestion> TeacherRuleHints::open(int page) const
{
    QList<RuleSuggestions::Suggestion> left = suggestions_.ForPage(page);
    left.removeIf([this](const RuleSuggestions::Suggestion& s) {
        return placed_.contains({s.cell.line, s.cell.column});
    });
    return left;
}

void TeacherRuleHints::ShowPage(int page, bool editable)
{
    page_ = page;
    editable_ = editable;
    showOpen(editable ? open(page) : QList<RuleSuggestions::Suggestion>());
    const bool any = editable && suggestions_.Count() > 0;
    scores_.suggestManuscriptScore(any ? suggestions_.SuggestedScore() : -1,
                                   QStringLiteral("원고지 규칙 %1건").arg(suggestions_.Count()));
    lblRuleScore_->setText(QStringLiteral("원고지 규칙 %1건: 원고지작성법 %2점 제안 (F7: 첨삭으로)")
                               .arg(suggestions_.Count())
                               .arg(suggestions_.SuggestedScore()));
    lblRuleScore_->adjustSize();
    lblRuleScore_->setVisible(any);
}

QList<RuleSuggestions::Suggestion> TeacherRuleHints::Open() const
{
    if (!editable_ || page_ < 0)
        return {};
    return open(page_);
}

bool TeacherRuleHints::Place(int which, CorrectionPage& page, qint32 key, const CorrectionPage::TextMeasure& measure)
{
    const QList<RuleSuggestions::Suggestion> left = Open();
    if (which < 0 || which >= left.size())
        return false;
    const RuleSuggestions::Suggestion& next = left[which];
    const QPoint at = next.box.topRight() + QPoint(2, 0);
    const int mark = page.place(dtText, at, at + QPoint(20, 20), key);
    if (mark < 0)
        return false;
    page.setText(mark, next.hint, QString(), measure);
    placed_.insert({next.cell.line, next.cell.column});
    showOpen(open(page_));
    return true;
}

void TeacherRuleHints::showOpen(const QList<RuleSuggestions::Suggestion>& open)
{
    overlay_->Show(open);
    overlay_->parentWidget()->setAccessibleDescription(RuleSuggestions::Spoken(open));
}
