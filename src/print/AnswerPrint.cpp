#include "print/AnswerPrint.h"

#include "core/AppError.h"
#include "dataset/DataSet.h"
#include "document/EssayRecord.h"
#include "print/EssayPrint.h"

namespace AnswerPrint {

int fill(DataSet& print, DataSet& essay)
{
    essay.first();
    const int kind = EssayRecord::paperKind(essay).value_or(EssayRecord::Manuscript);
    switch (kind) {
    case 0:
    case EssayRecord::Manuscript:
        print.emptyDataSet();
        EssayRecord::appendLineRows(essay, print);
        return EssayRecord::Manuscript;
    case EssayRecord::BlankPaper:
        EssayPrint::fillBlankPaper(print, essay.asString(u"LText"));
        return EssayRecord::BlankPaper;
    case EssayRecord::ScannedPages:
        EssayPrint::fillScannedPages(print, essay);
        return EssayRecord::ScannedPages;
    default:
        throw AppError(QStringLiteral("답안지의 종류(%1)를 알 수 없어 답안을 출력할 수 없습니다.").arg(kind));
    }
}

void showBandFor(ReportTemplate& report, int kind)
{
    EssayPrint::showBandFor(report, kind);
}

}
