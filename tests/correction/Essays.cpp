#include "Essays.h"

#include "document/CorrectionRecord.h"
#include "document/EssayRecord.h"
#include "jpeg/Jpeg.h"

namespace Essays {

QString CellText(int line, int column)
{
    return QString(QChar(0xAC00 + (line * 21 + column) % 11000));
}

DataSet Manuscript(int lines)
{
    DataSet record(EssayRecord::fields());
    record.append();
    record.setString(u"USER_ID", QStringLiteral("S1001"));
    record.setInteger(u"NType", EssayRecord::Manuscript);
    for (int c = 1; c <= 21; ++c) {
        QString column;
        for (int line = 0; line < lines; ++line)
            column += (c == 21 ? QStringLiteral(" ") : CellText(line, c)) + QStringLiteral("\r\n");
        record.setString(EssayRecord::lineField(c), column);
    }
    record.post();
    return record;
}

DataSet BlankPaper(const QString& text)
{
    DataSet record(EssayRecord::fields());
    EssayRecord::writeBlankPaper(record, QStringLiteral("S1001"), text);
    return record;
}

DataSet LongBlankPaper(int lines)
{
    QStringList text;
    for (int i = 0; i < lines; ++i)
        text << QStringLiteral("%1번째 줄입니다.").arg(i + 1);
    return BlankPaper(text.join("\r\n"));
}

DataSet Scanned(const QList<QImage>& pages)
{
    DataSet record(EssayRecord::fields());
    for (const QImage& page : pages) {
        record.append();
        record.setString(u"USER_ID", QStringLiteral("S1001"));
        record.setInteger(u"NType", EssayRecord::ScannedPages);
        record.setBytes(u"LImage", page.isNull() ? QByteArray("not a picture") : Jpeg::encode(page));
        record.setString(u"LImageType", QStringLiteral(".jpg"));
        record.post();
    }
    return record;
}

DataSet OfKind(int kind)
{
    DataSet record(EssayRecord::fields());
    record.append();
    record.setInteger(u"NType", kind);
    record.post();
    return record;
}

QImage Picture(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

CorrectionRecord::MarkRow Mark(int tool, QRect box, const QString& text)
{
    CorrectionRecord::MarkRow m;
    m.left = box.left();
    m.top = box.top();
    m.right = box.right();
    m.bottom = box.bottom();
    m.fontSize = 10;
    m.fontName = QStringLiteral("굴림체");
    m.strings = text;
    m.drawTool = tool;
    m.key = 4242;
    return m;
}

CorrectionRecord::MarkRow Mark(int tool, int left, const QString& text)
{
    return Mark(tool, QRect(QPoint(left, 40), QPoint(left + 40, 80)), text);
}

DataSet BoardCorrection(const QList<StoredPage>& pages, const CorrectionRecord::Summary& summary)
{
    DataSet work(CorrectionRecord::fields());
    CorrectionRecord::storePage(work, CorrectionRecord::pageKey(0), {}, {});
    for (const StoredPage& p : pages)
        CorrectionRecord::storePage(work, CorrectionRecord::pageKey(p.page), p.marks, p.comment);
    DataSet record(CorrectionRecord::fields());
    CorrectionRecord::writeSummary(record, work, summary);
    return record;
}

DataSet HandwrittenCorrection(const QList<QImage>& pages)
{
    DataSet record(CorrectionRecord::fields());
    for (const QImage& page : pages) {
        record.append();
        record.setInteger(u"NType", CorrectionRecord::kImageRow);
        record.setBytes(u"Image", Jpeg::encode(page));
        record.setString(u"ImageType", QStringLiteral(".jpg"));
        record.post();
    }
    return record;
}

}
