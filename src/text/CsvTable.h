#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

// Comma-separated text in UTF-8, quoted fields as spreadsheets write them.
namespace CsvTable {

struct Row {
    int line = 0;  // where the row starts in the file, from 1
    QStringList fields;
};

// Every row of the file, a UTF-8 byte-order mark and blank lines skipped. Raises AppError
// naming the line for bytes that are not UTF-8 (a file saved in code page 949, say) and for
// a quote left open; nothing is returned then.
QList<Row> Read(const QByteArray& bytes);

// The rows with CR LF line ends, quoting fields that need it.
QByteArray Write(const QList<QStringList>& rows);

}
