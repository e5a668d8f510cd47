#pragma once

#include "correction/CorrectionPage.h"
#include "correction/RuleSuggestions.h"

#include <QObject>
#include <QSet>

class DataSet;
class QLabel;
class ScoreSheet;
class QWidget;
class SuggestionOverlay;

// The correction frame's manuscript-paper suggestions: the findings of the essay shown over
// the page as the writing frame shows them and read with the board's description, the
// suggested 원고지작성법 score beside the page count and in that row of the scoring sheet,
// and F7 on the board, which turns the page's next suggestion into a note mark (Shift+F7 a
// suggestion chosen from the page's list). A
// suggestion never changes the marks or the scores by itself.
class TeacherRuleHints : public QObject {
    Q_OBJECT
public:
    TeacherRuleHints(QWidget* board, QLabel* pageCount, ScoreSheet& scores);

    // The essay's line table, after a load.
    void Load(DataSet& lineTable);
    // Page index from 0; a run that may not change the correction shows none.
    void ShowPage(int page, bool editable);
    // The suggestions of the page shown that are not marks yet; none in a run that may not
    // change the correction.
    QList<RuleSuggestions::Suggestion> Open() const;
    // A note mark with the hint beside one of Open() (from 0), which then leaves the page;
    // false when there is no such suggestion.
    bool Place(int which, CorrectionPage& page, qint32 key, const CorrectionPage::TextMeasure& measure);

    const RuleSuggestions& Suggestions() const { return suggestions_; }

private:
    QList<RuleSuggestions::Suggestion> open(int page) const;
    void showOpen(const QList<RuleSuggestions::Suggestion>& open);

    RuleSuggestions suggestions_;
    SuggestionOverlay* overlay_;
    QLabel* lblRuleScore_;
    ScoreSheet& scores_;
    int page_ = -1;
    bool editable_ = false;
    QSet<std::pair<int, int>> placed_;  // cells whose suggestion became a mark
};
