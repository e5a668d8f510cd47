#include "text/CsvTable.h"

#include "core/AppError.h"

#include <QStringDecoder>

namespace {

// The line of the first byte that is not UTF-8, or 0 when every line is.
int firstForeignLine(const QByteArray& bytes)
{
    const QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        (void)QString(decoder.decode(lines[i]));
        if (decoder.hasError())
            return int(i + 1);
    }
    return 0;
}

}

QList<CsvTable::Row> CsvTable::Read(const QByteArray& bytes)
{
    if (const int line = firstForeignLine(bytes))
        throw AppError(QStringLiteral("CSV 파일 %1번째 줄이 UTF-8 글자가 아닙니다. 코드 페이지 949(완성형)로 "
                                      "저장된 파일이면 UTF-8로 다시 저장하십시오. 아무것도 가져오지 않았습니다.")
                           .arg(line));
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);

    QList<Row> rows;
    Row row;
    QString field;
    int line = 1;
    int quoteLine = 0;  // the line an open quote started on
    bool quoted = false;
    bool anything = false;
    const auto endField = [&] {
        row.fields << field;
        field.clear();
    };
    const auto endRow = [&] {
        endField();
        if (anything)
            rows << row;
        row = Row{line + 1, {}};
        anything = false;
    };
    row.line = 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                if (c == QLatin1Char('\n'))
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && field.isEmpty()) {
            quoted = true;
            quoteLine = line;
            anything = true;
        } else if (c == QLatin1Char(',')) {
            endField();
            anything = true;
        } else if (c == QLatin1Char('\n')) {
            endRow();
            ++line;
        } else if (c != QLatin1Char('\r')) {
            field += c;
            anything = true;
        }
    }
    if (quoted)
        throw AppError(QStringLiteral("CSV 파일 %1번째 줄에서 연 따옴표(\")가 닫히지 않았습니다. "
                                      "아무것도 가져오지 않았습니다.")
                           .arg(quoteLine));
    endRow();
    return rows;
}

QByteArray CsvTable::Write(const QList<QStringList>& rows)
{
    QString out;
    for (const QStringList& row : rows) {
        QStringList fields;
        for (QString field : row) {
            if (field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"'))
                || field.contains(QLatin1Char('\n')) || field.contains(QLatin1Char('\r')))
                field = QLatin1Char('"') + field.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
            fields << field;
        }
        out += fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return out.toUtf8();
}
