#pragma once

#include "writing/ManuscriptRules.h"

#include <QList>
#include <QRect>
#include <QString>

class DataSet;

// The manuscript-paper findings of an essay on manuscript paper, offered to the teacher as
// suggestions on the pages being corrected; a suggestion becomes a mark only when the
// teacher asks for it, and the form score they point to is only suggested.
class RuleSuggestions {
public:
    struct Suggestion {
        CellPos cell;  // the essay's line and column
        ManuscriptRules::Rule rule;
        QString hint;
        QRect box;  // the cell's box on its page's picture
    };

    // The line table of the page renderer; nothing for blank paper or scanned pages.
    void Load(DataSet& lineTable);
    int Count() const { return int(all_.size()); }
    // Page index from 0.
    QList<Suggestion> ForPage(int page) const;
    // The 원고지작성법 score (0 to 10) the findings suggest: a point less for each.
    int SuggestedScore() const;
    // A suggestion at its line and cell on the page: "1줄 1칸: 원고지: 문단 첫 칸은 비웁니다".
    static QString Where(const Suggestion& suggestion);
    // The suggestions of a page as a screen reader reads them: "원고지 규칙 제안 1건, F7로
    // 첨삭합니다. 1줄 1칸: 원고지: 문단 첫 칸은 비웁니다." Empty for none.
    static QString Spoken(const QList<Suggestion>& suggestions);

private:
    QList<Suggestion> all_;
};
