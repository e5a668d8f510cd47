#include "print/CorrectionPrint.h"

#include "core/AppError.h"
#include "dataset/DataSet.h"
#include "jpeg/Jpeg.h"
#include "report/ReportTemplate.h"

#include <QBuffer>
#include <QImage>

namespace CorrectionPrint {

namespace {

// Pictures travel through the print dataset as BMP: quick to write and read back, and
// without loss.
QByteArray Bitmap(const QImage& picture, int page)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "BMP"))
        throw AppError(QStringLiteral("%1쪽을 인쇄용 그림으로 바꿀 수 없습니다.").arg(page));
    return bytes;
}

}

void appendPage(DataSet& print, const QImage& page, const QString& comment)
{
    const QByteArray bitmap = Bitmap(page, print.recordCount() + 1);
    print.append();
    print.setBytes(u"LImage", bitmap);
    print.setString(u"LText", comment);
    print.post();
}

void fillReview(DataSet& review, const QStringList& lines)
{
    review.emptyDataSet();
    for (const QString& line : lines) {
        review.append();
        review.setString(u"L1", line);
        review.post();
    }
}

void fillHandwrittenPages(DataSet& print, DataSet& correction)
{
    print.emptyDataSet();
    int page = 0;
    for (correction.first(); !correction.eof(); correction.next()) {
        const QByteArray bitmap = Bitmap(Jpeg::decode(correction.asBytes(u"Image")), ++page);
        print.append();
        print.setBytes(u"LImage", bitmap);
        print.post();
    }
    correction.first();
}

void fitHandwrittenPages(ReportTemplate& report)
{
    for (QStringView name : {u"Memo1", u"Memo2", u"Memo3", u"Memo4"})
        if (ReportObject* object = report.findObject(0, name))
            object->visible = false;
    if (ReportObject* picture = report.findObject(0, u"Picture1"))
        picture->box.setSize({680, 952});
    if (ReportBand* band = report.findBand(0, u"MasterData3"))
        band->height = 960;
}

}
