#include "print/EssayPrint.h"

#include "core/AppError.h"
#include "dataset/DataSet.h"
#include "document/EssayRecord.h"
#include "document/ManuscriptGrid.h"
#include "jpeg/Jpeg.h"
#include "report/ReportTemplate.h"

#include <QBuffer>

namespace EssayPrint {

void fillManuscript(DataSet& print, const ManuscriptGrid& grid)
{
    print.emptyDataSet();
    for (int line = 0; line < grid.lineCount(); ++line) {
        print.append();
        for (int c = 1; c <= ManuscriptGrid::kStoredColumns; ++c)
            print.setString(EssayRecord::lineField(c), grid.cell(line, c));
        print.post();
    }
}

void fillBlankPaper(DataSet& print, const QString& text)
{
    print.emptyDataSet();
    for (const QString& line : EssayRecord::textLines(text)) {
        print.append();
        print.setString(u"LText", line);
        print.post();
    }
}

void fillScannedPages(DataSet& print, DataSet& essay)
{
    print.emptyDataSet();
    for (essay.first(); !essay.eof(); essay.next()) {
        const QImage page = Jpeg::decode(essay.asBytes(u"LImage"));
        QByteArray bitmap;
        QBuffer buffer(&bitmap);
        buffer.open(QIODevice::WriteOnly);
        if (!page.save(&buffer, "BMP"))
            throw AppError(QStringLiteral("스캔한 %1쪽을 인쇄용 그림으로 바꿀 수 없습니다.").arg(essay.position() + 1));
        print.append();
        print.setBytes(u"LImage", bitmap);
        print.post();
    }
    essay.first();
}

void showBandFor(ReportTemplate& report, int kind)
{
    for (int n = 1; n <= 3; ++n)
        if (ReportBand* band = report.findBand(0, QStringLiteral("MasterData%1").arg(n)))
            band->visible = n == kind;
}

}
