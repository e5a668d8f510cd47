#pragma once

#include <QLatin1StringView>

class DataSet;
class ReportTemplate;

// The answer print of the correction frame: the student's essay with an empty correction
// column, an empty review box, an empty total box and an empty scoring table, for
// correcting on paper.
namespace AnswerPrint {

// The template, :/reports/answer-print.json.
inline constexpr QLatin1StringView kTemplate{"answer-print"};

// Empties the print dataset and fills it from the essay record, read from its first row:
// one row per manuscript line (L1 to L21, never fewer than 21 lines), one per line of
// blank-paper text as typed, or one decoded picture per scanned page. A kind stored as 0
// is manuscript paper, as everywhere else, and an essay without rows prints 21 empty
// manuscript lines. Returns the paper kind printed (1 to 3). An unknown kind or a scanned
// page that is not JPEG raises an error.
int fill(DataSet& print, DataSet& essay);

// Shows the band of the paper kind, "MasterData1" to "MasterData3", and hides the others.
void showBandFor(ReportTemplate& report, int kind);

}
