#pragma once

#include "writing/CellEditorHost.h"

#include <QList>
#include <QString>
#include <QStringList>

class ManuscriptGrid;

// The texts of a manuscript sheet's columns 1 to 21 as plain values, so that checkers can
// read them on another thread while the student goes on typing.
class SheetSnapshot {
public:
    static constexpr int kWidth = 21;

    SheetSnapshot() = default;
    static SheetSnapshot of(const ManuscriptGrid& grid);
    // Each line the texts of columns 1 to 21; missing cells are blank.
    static SheetSnapshot fromLines(const QList<QStringList>& lines);

    int lineCount() const { return int(cells_.size() / kWidth); }
    // Columns 1 to 21, blanks and control characters trimmed from both ends.
    const QString& at(int line, int column) const { return cells_[qsizetype(line) * kWidth + column - 1]; }
    bool isBlank(int line, int column) const { return at(line, column).isEmpty(); }
    // Some writing cell (columns 1 to 20) holds text.
    bool lineHasText(int line) const;

private:
    QList<QString> cells_;
};
