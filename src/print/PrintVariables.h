#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

// The variables the prints ask for. Every print's heading line: "title", "studentno",
// "teacherno" and "date". The answer and correction prints also: "reportpoint", the total,
// and "p1" to "p8", the scoring sheet's score column. Names are compared with case; any
// other name is a fault of the template and raises an error naming it. (The heading's
// "page" and "pages" are the report engine's own.)
namespace PrintVariables {

// Whose essay, who corrected it (empty for the essay and answer prints), and the day it
// was printed, shown as 2024-03-05.
struct Heading {
    QString title;
    QString studentNo;
    QString teacherNo;
    QDate date;
};

struct Scores {
    QString total;       // the total box's text
    QStringList points;  // the score cells of sheet rows 1 to 7, as shown
    bool deduction = false;
};

// The writing frame's essay print: the heading only.
QString essayValue(const QString& name, const Heading& heading);
// The answer print leaves every score empty, for the teacher to fill in by hand.
QString answerValue(const QString& name, const Heading& heading);
// The correction print: the total, the cells of rows 1 to 7, and p8 "-20" when the length
// deduction applies, else "0".
QString correctionValue(const QString& name, const Scores& scores, const Heading& heading);

}
