#include "correction/ReviewLines.h"

#include "correction/TfrmTemp.h"
#include "print/CorrectionPrint.h"
#include "ui/Fonts.h"

QStringList ReviewLines(const QString& review)
{
    const TfrmTemp::TextBox memo{CorrectionPrint::kReviewWidth, GulimcheFont(13), false};
    return memo.Lines(review);
}
