#include "document/CorrectionRecord.h"

namespace CorrectionRecord {

namespace {

QString pointField(int n)
{
    return QStringLiteral("p%1").arg(n);
}

// Mark and image rows carry their NType, page rows their PAGE; anything else in a board
// correction is a summary row.
bool isSummaryRow(const DataSet& record)
{
    if (!record.asString(u"M1").isEmpty())
        return true;
    const qint32 kind = record.asInteger(u"NType");
    return record.asString(u"PAGE").isEmpty() && kind != kMarkRow && kind != kImageRow;
}

void restrictToPage(DataSet& work, const QString& key)
{
    work.setOrder(u"PAGE");
    work.setRange(key);
}

}

QList<FieldDef> fields()
{
    QList<FieldDef> list;
    for (const char* name : {"Top", "Left", "Right", "Bottom", "FontSize"})
        list.append({QString::fromLatin1(name), FieldType::Integer, 0});
    list.append({QStringLiteral("FontName"), FieldType::String, kFontNameSize});
    list.append({QStringLiteral("FontColor"), FieldType::Integer, 0});
    list.append({QStringLiteral("Strings"), FieldType::String, kStringsSize});
    list.append({QStringLiteral("DrawTool"), FieldType::Integer, 0});
    list.append({QStringLiteral("Image"), FieldType::Blob, 0});
    list.append({QStringLiteral("ImageType"), FieldType::String, kShortSize});
    list.append({QStringLiteral("M1"), FieldType::Memo, 0});
    list.append({QStringLiteral("M2"), FieldType::Memo, 0});
    list.append({QStringLiteral("NType"), FieldType::Integer, 0});
    list.append({QStringLiteral("Key"), FieldType::Integer, 0});
    list.append({QStringLiteral("PAGE"), FieldType::String, kShortSize});
    for (int n = 1; n <= 9; ++n)
        list.append({pointField(n), FieldType::String, kShortSize});
    list.append({QStringLiteral("reportPoint"), FieldType::String, kShortSize});
    return list;
}

QString pageKey(int pageNumber)
{
    return QStringLiteral("PAGE%1").arg(pageNumber);
}

bool isHandwritten(DataSet& record)
{
    if (record.isEmpty())
        return false;
    record.first();
    return record.asInteger(u"NType") == kImageRow;
}

void storePage(DataSet& work, const QString& key, const QList<MarkRow>& marks, const QString& comment)
{
    restrictToPage(work, key);
    while (!work.isEmpty()) {
        work.first();
        work.deleteRecord();
    }
    for (const MarkRow& mark : marks) {
        work.append();
        work.setInteger(u"NType", kMarkRow);
        work.setInteger(u"Top", mark.top);
        work.setInteger(u"Left", mark.left);
        work.setInteger(u"Bottom", mark.bottom);
        work.setInteger(u"Right", mark.right);
        work.setInteger(u"FontSize", mark.fontSize);
        work.setString(u"FontName", mark.fontName);
        work.setInteger(u"FontColor", mark.fontColor);
        work.setString(u"Strings", mark.strings);
        work.setInteger(u"DrawTool", mark.drawTool);
        work.setString(u"PAGE", key);
        work.setInteger(u"Key", mark.key);
        work.setString(u"reportPoint", mark.reportPoint);
        work.post();
    }
    work.append();
    work.setString(u"PAGE", key);
    work.setString(u"M2", comment);
    work.post();
    work.mergeChangeLog();
    work.cancelRange();
}

Page loadPage(DataSet& work, const QString& key)
{
    restrictToPage(work, key);
    Page page;
    for (work.first(); !work.eof(); work.next()) {
        if (work.asInteger(u"NType") == kMarkRow) {
            MarkRow mark;
            mark.top = work.asInteger(u"Top");
            mark.left = work.asInteger(u"Left");
            mark.bottom = work.asInteger(u"Bottom");
            mark.right = work.asInteger(u"Right");
            mark.fontSize = work.asInteger(u"FontSize");
            mark.fontName = work.asString(u"FontName");
            mark.fontColor = work.asInteger(u"FontColor");
            mark.strings = work.asString(u"Strings");
            mark.drawTool = work.asInteger(u"DrawTool");
            mark.key = work.asInteger(u"Key");
            mark.reportPoint = work.asString(u"reportPoint");
            page.marks.append(mark);
        }
        const QString comment = work.asString(u"M2");
        if (!comment.isEmpty())
            page.comment = comment;
    }
    work.cancelRange();
    return page;
}

std::optional<Summary> readSummary(DataSet& work)
{
    if (work.isEmpty())
        return std::nullopt;
    work.first();
    while (work.asString(u"M1").isEmpty() && work.position() + 1 < work.recordCount())
        work.next();
    Summary summary;
    summary.review = work.asString(u"M1");
    for (int n = 1; n <= kPointCount; ++n)
        summary.points.append(work.asString(pointField(n)));
    summary.deduction = work.asString(u"p8") == QLatin1String("TRUE");
    return summary;
}

void writeSummary(DataSet& record, const DataSet& work, const Summary& summary)
{
    record.copyFrom(work);
    record.first();
    while (!record.eof()) {
        if (isSummaryRow(record))
            record.deleteRecord();
        else
            record.next();
    }
    record.mergeChangeLog();
    record.append();
    record.setString(u"M1", summary.review);
    for (int n = 1; n <= kPointCount; ++n)
        record.setString(pointField(n), summary.points.value(n - 1));
    record.setString(u"p8", summary.deduction ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
    record.post();
}

QByteArray toPacket(DataSet& record)
{
    record.mergeChangeLog();
    return record.toPacket(PacketForm::Xml);
}

}
