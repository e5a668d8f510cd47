#include "document/ManuscriptGrid.h"

#include "common/AppError.h"

#include <algorithm>

ManuscriptGrid::ManuscriptGrid(int lineCount, QObject* parent)
    : QAbstractTableModel(parent), lines_(std::max(0, lineCount)), cells_(qsizetype(lines_) * kStoredColumns)
{
}

void ManuscriptGrid::check(int line, int column, int firstColumn) const
{
    if (line < 0 || line >= lines_ || column < firstColumn || column >= kColumnCount)
        throw AppError(QStringLiteral("원고지에 %1행 %2열 칸이 없습니다 (%3행, %4~21열).")
                           .arg(line)
                           .arg(column)
                           .arg(lines_)
                           .arg(firstColumn));
}

QString ManuscriptGrid::cell(int line, int column) const
{
    check(line, column, kCounterColumn);
    return column == kCounterColumn ? counterText(line) : cells_[at(line, column)];
}

void ManuscriptGrid::setCell(int line, int column, const QString& text)
{
    check(line, column, kFirstCellColumn);
    if (text.contains(u'\r') || text.contains(u'\n'))
        throw AppError(QStringLiteral("원고지 칸에는 줄바꿈을 넣을 수 없습니다."));
    QString& slot = cells_[at(line, column)];
    if (slot == text)
        return;
    slot = text;
    if (batches_ > 0) {
        changedFirst_ = changedLast_ < 0 ? line : std::min(changedFirst_, line);
        changedLast_ = std::max(changedLast_, line);
        return;
    }
    const QModelIndex i = index(line, column);
    emit dataChanged(i, i, {Qt::DisplayRole});
}

bool ManuscriptGrid::isBlank(int line, int column) const
{
    check(line, column, kFirstCellColumn);
    const QString& text = cells_[at(line, column)];
    return text.isEmpty() || text == QLatin1String(" ");
}

void ManuscriptGrid::setColumn(int column, const QStringList& texts)
{
    check(0, column, kFirstCellColumn);
    const int n = std::min<int>(lines_, int(texts.size()));
    for (int line = 0; line < n; ++line)
        if (texts[line].contains(u'\r') || texts[line].contains(u'\n'))
            throw AppError(QStringLiteral("원고지 칸에는 줄바꿈을 넣을 수 없습니다."));
    for (int line = 0; line < n; ++line)
        cells_[at(line, column)] = texts[line];
    if (n > 0)
        emit dataChanged(index(0, column), index(n - 1, column), {Qt::DisplayRole});
}

void ManuscriptGrid::insertLines(int line, int count)
{
    if (line < 0 || line > lines_ || count < 0)
        throw AppError(QStringLiteral("원고지 %1행 앞에 %2줄을 넣을 수 없습니다.").arg(line).arg(count));
    if (count == 0)
        return;
    beginInsertRows({}, line, line + count - 1);
    cells_.insert(qsizetype(line) * kStoredColumns, qsizetype(count) * kStoredColumns, QString());
    lines_ += count;
    endInsertRows();
}

void ManuscriptGrid::removeLines(int line, int count)
{
    if (line < 0 || count < 0 || line + count > lines_)
        throw AppError(QStringLiteral("원고지 %1행부터 %2줄을 지울 수 없습니다.").arg(line).arg(count));
    if (count == 0)
        return;
    beginRemoveRows({}, line, line + count - 1);
    cells_.remove(qsizetype(line) * kStoredColumns, qsizetype(count) * kStoredColumns);
    lines_ -= count;
    endRemoveRows();
}

void ManuscriptGrid::setLineCount(int count)
{
    count = std::max(0, count);
    if (count > lines_)
        insertLines(lines_, count - lines_);
    else
        removeLines(count, lines_ - count);
}

void ManuscriptGrid::reset(int lineCount)
{
    beginResetModel();
    lines_ = std::max(0, lineCount);
    cells_ = QList<QString>(qsizetype(lines_) * kStoredColumns);
    endResetModel();
}

ManuscriptGrid::Batch::Batch(ManuscriptGrid& grid) : grid_(grid)
{
    ++grid_.batches_;
}

ManuscriptGrid::Batch::~Batch()
{
    if (--grid_.batches_ > 0 || grid_.changedLast_ < 0)
        return;
    const int first = grid_.changedFirst_;
    const int last = std::min(grid_.changedLast_, grid_.lines_ - 1);
    grid_.changedLast_ = -1;
    if (first <= last)
        emit grid_.dataChanged(grid_.index(first, kFirstCellColumn), grid_.index(last, kMarginColumn),
                               {Qt::DisplayRole});
}

QString ManuscriptGrid::counterText(int line)
{
    return line % 10 == 0 ? QString::number(line / 10 * 200) : QString();
}

int ManuscriptGrid::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : lines_;
}

int ManuscriptGrid::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant ManuscriptGrid::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= lines_)
        return {};
    return cell(index.row(), index.column());
}
