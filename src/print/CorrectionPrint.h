#pragma once

#include <QLatin1StringView>
#include <QStringList>

class DataSet;
class QImage;
class ReportTemplate;

// The correction print of the correction frame: every corrected page as a picture with its
// comment beside it, the overall review in one box, the scoring table and the total.
namespace CorrectionPrint {

// The template, :/reports/correction-print.json.
inline constexpr QLatin1StringView kTemplate{"correction-print"};
// The review is broken into lines as a memo of this width shows it (13-pixel GulimChe).
inline constexpr int kReviewWidth = 680;

// One corrected page of a board correction: LImage the composed page, LText its comment.
void appendPage(DataSet& print, const QImage& page, const QString& comment);

// Empties the review dataset and appends one row per displayed line of the review.
void fillReview(DataSet& review, const QStringList& lines);

// Empties the print dataset and appends one decoded picture per image row of a handwritten
// correction, in page order. A page that is not JPEG raises the decoder's error.
void fillHandwrittenPages(DataSet& print, DataSet& correction);

// A handwritten correction prints each scanned page alone on a sheet: the comment and
// review boxes hidden, the picture 680 x 952 in a band 960 high, below the heading line.
void fitHandwrittenPages(ReportTemplate& report);

}
