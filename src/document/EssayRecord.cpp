#include "document/EssayRecord.h"

#include "core/AppError.h"
#include "document/ManuscriptGrid.h"

namespace EssayRecord {

QList<FieldDef> fields()
{
    QList<FieldDef> list{{QStringLiteral("USER_ID"), FieldType::String, kUserIdSize},
                         {QStringLiteral("NType"), FieldType::SmallInt, 0}};
    for (int c = 1; c <= ManuscriptGrid::kStoredColumns; ++c)
        list.append({lineField(c), FieldType::Memo, 0});
    list.append({QStringLiteral("LText"), FieldType::Memo, 0});
    list.append({QStringLiteral("LImage"), FieldType::Blob, 0});
    list.append({QStringLiteral("LImageType"), FieldType::String, kImageTypeSize});
    return list;
}

QString lineField(int column)
{
    return QStringLiteral("L%1").arg(column);
}

namespace {
void startRow(DataSet& record, const QString& studentNo, PaperKind kind)
{
    record.emptyDataSet();
    record.append();
    record.setString(u"USER_ID", studentNo);
    record.setInteger(u"NType", kind);
}
}

void writeManuscript(DataSet& record, const QString& studentNo, const ManuscriptGrid& grid)
{
    startRow(record, studentNo, Manuscript);
    for (int c = 1; c <= ManuscriptGrid::kStoredColumns; ++c) {
        QString column;
        column.reserve(grid.lineCount() * 4);
        for (int line = 0; line < grid.lineCount(); ++line)
            column.append(grid.cell(line, c)).append(u"\r\n");
        record.setString(lineField(c), column);
    }
    record.post();
}

void writeBlankPaper(DataSet& record, const QString& studentNo, const QString& text)
{
    startRow(record, studentNo, BlankPaper);
    record.setString(u"LText", text);
    record.post();
}

QByteArray toPacket(DataSet& record)
{
    record.mergeChangeLog();
    return record.toPacket(PacketForm::Xml);
}

void load(DataSet& record, QByteArrayView packet)
{
    record.loadPacket(packet);
    record.first();
}

std::optional<int> paperKind(const DataSet& record)
{
    if (record.isEmpty())
        return std::nullopt;
    return record.asInteger(u"NType");
}

void requireLayableLines(qsizetype lines)
{
    if (lines > kMaxLines)
        throw AppError(QStringLiteral("답안의 줄이 %1줄이나 되어 열 수 없습니다. 답안은 %2줄까지 열 수 있습니다.")
                           .arg(lines)
                           .arg(kMaxLines));
}

void toGrid(const DataSet& record, ManuscriptGrid& grid)
{
    QList<QStringList> columns;
    for (int c = 1; c <= ManuscriptGrid::kStoredColumns; ++c)
        columns.append(textLines(record.asString(lineField(c))));
    if (columns[0].size() > kMaxLines)
        throw AppError(
            QStringLiteral("답안의 원고지 줄이 %1줄이나 되어 열 수 없습니다. 답안은 %2줄까지 열 수 있습니다.")
                .arg(columns[0].size())
                .arg(kMaxLines));
    grid.reset(std::max<int>(ManuscriptGrid::kMinimumLines, int(columns[0].size())));
    for (int c = 1; c <= ManuscriptGrid::kStoredColumns; ++c) {
        QStringList& texts = columns[c - 1];
        for (QString& text : texts)
            if (text.isEmpty())
                text = QStringLiteral(" ");
        grid.setColumn(c, texts);
    }
}

void appendLineRows(const DataSet& record, DataSet& target)
{
    ManuscriptGrid grid;
    toGrid(record, grid);
    const bool withKind = target.findField(u"NType") >= 0;
    const qint32 kind = record.asInteger(u"NType");
    for (int line = 0; line < grid.lineCount(); ++line) {
        target.append();
        for (int c = 1; c <= ManuscriptGrid::kStoredColumns; ++c)
            target.setString(lineField(c), grid.cell(line, c));
        if (withKind)
            target.setInteger(u"NType", kind);
        target.post();
    }
}

QStringList textLines(const QString& memo)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < memo.size(); ++i) {
        const QChar c = memo[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(memo.mid(start, i - start));
        if (c == u'\r' && i + 1 < memo.size() && memo[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < memo.size())
        lines.append(memo.mid(start));
    return lines;
}

}
