#include "document/ManuscriptGrid.h"

#include "core/AppError.h"

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

void ManuscriptGrid::replaceLines(int line, int count, const QList<QString>& cells)
{
    if (line < 0 || count < 0 || line + count > lines_ || cells.size() % kStoredColumns != 0)
        throw AppError(
            QStringLiteral("원고지 %1행부터 %2줄을 %3칸으로 바꿀 수 없습니다.").arg(line).arg(count).arg(cells.size()));
    for (const QString& text : cells)
        if (text.contains(u'\r') || text.contains(u'\n'))
            throw AppError(QStringLiteral("원고지 칸에는 줄바꿈을 넣을 수 없습니다."));
    const int replacing = int(cells.size() / kStoredColumns);
    if (replacing > count)
        insertLines(line + count, replacing - count);
    else
        removeLines(line + replacing, count - replacing);
    std::copy(cells.begin(), cells.end(), cells_.begin() + at(line, kFirstCellColumn));
    if (replacing > 0)
        emit dataChanged(index(line, kFirstCellColumn), index(line + replacing - 1, kMarginColumn), {Qt::DisplayRole});
}

namespace {
bool hasText(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() > 0x20)
            return true;
    return false;
}

bool isMargin(qsizetype position)
{
    return position % ManuscriptGrid::kStoredColumns == ManuscriptGrid::kStoredColumns - 1;
}
}

// The stored cells run in reading order already: columns 1 to 21 of each line in turn.
QList<QString> ManuscriptGrid::takeStream(qsizetype from)
{
    QList<QString> items;
    items.reserve(std::max<qsizetype>(0, cells_.size() - from));
    QString* cells = cells_.data();
    for (qsizetype p = from; p < cells_.size(); ++p)
        if (!isMargin(p) || hasText(cells[p]))
            items.append(std::move(cells[p]));
    return items;
}

void ManuscriptGrid::putStream(qsizetype from, QList<QString>& items, MarginRule fitsMargin)
{
    qsizetype textEnd = items.size();
    while (textEnd > 0 && !hasText(items[textEnd - 1]))
        --textEnd;
    qsizetype i = 0;
    QString* cells = cells_.data();
    for (qsizetype p = from;; ++p) {
        if (p == cells_.size()) {
            if (i >= textEnd)
                return;
            beginInsertRows({}, lines_, lines_);
            cells_.resize(cells_.size() + kStoredColumns);
            ++lines_;
            endInsertRows();
            cells = cells_.data();
        }
        if (i < items.size() && (!isMargin(p) || fitsMargin(items[i])))
            cells[p] = std::move(items[i++]);
        else
            cells[p] = QString();
    }
}

void ManuscriptGrid::openStreamCell(int line, int column, MarginRule fitsMargin)
{
    check(line, column, kFirstCellColumn);
    const qsizetype place = at(line, column);
    QList<QString> items = takeStream(place);
    cells_[place] = QString();
    putStream(place + 1, items, fitsMargin);
    emit dataChanged(index(line, kFirstCellColumn), index(lines_ - 1, kMarginColumn), {Qt::DisplayRole});
}

void ManuscriptGrid::removeStreamCells(int line, int column, int count, MarginRule fitsMargin)
{
    check(line, column, kFirstCellColumn);
    const qsizetype place = at(line, column);
    QList<QString> items = takeStream(std::min(place + std::max(count, 0), cells_.size()));
    putStream(place, items, fitsMargin);
    emit dataChanged(index(line, kFirstCellColumn), index(lines_ - 1, kMarginColumn), {Qt::DisplayRole});
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
