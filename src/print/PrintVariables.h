#pragma once

#include <QString>
#include <QStringList>

// The variables the answer and correction prints ask for: "reportpoint", the total, and
// "p1" to "p8", the scoring sheet's score column. Names are compared with case; any other
// name is a fault of the template and raises an error naming it.
namespace PrintVariables {

struct Scores {
    QString total;       // the total box's text
    QStringList points;  // the score cells of sheet rows 1 to 7, as shown
    bool deduction = false;
};

// The answer print leaves every score empty, for the teacher to fill in by hand.
QString answerValue(const QString& name);
// The correction print: the total, the cells of rows 1 to 7, and p8 "-20" when the length
// deduction applies, else "0".
QString correctionValue(const QString& name, const Scores& scores);

}
