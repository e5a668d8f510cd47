#include "document/ManuscriptGrid.h"

#include "core/AppError.h"

#include <QVarLengthArray>

#include <algorithm>

namespace {
constexpr qsizetype kWidth = ManuscriptGrid::kStoredColumns;

bool isMargin(qsizetype position)
{
    return position % kWidth == kWidth - 1;
}

bool isBlankUnit(char16_t unit)
{
    return unit <= 0x20;
}

// Lines of blank cells counted as `writingUnits_` counts them: one a writing cell.
qsizetype blankLineUnits(qsizetype lines)
{
    return lines * (kWidth - 1);
}
}

ManuscriptGrid::ManuscriptGrid(int lineCount, QObject* parent)
    : QAbstractTableModel(parent), lines_(std::max(0, lineCount)), cells_(qsizetype(lines_) * kStoredColumns),
      writingUnits_(blankLineUnits(lines_))
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

ManuscriptGrid::Cell ManuscriptGrid::pack(const QString& text)
{
    Cell cell;
    if (text.size() <= 3) {
        std::copy(text.utf16(), text.utf16() + text.size(), cell.units);
        cell.size = quint16(text.size());
    } else {
        const qsizetype index = longTexts_.size();
        longTexts_.append(text);
        cell.units[0] = char16_t(index & 0xFFFF);
        cell.units[1] = char16_t(index >> 16);
        cell.size = Cell::kLong;
    }
    return cell;
}

QStringView ManuscriptGrid::view(const Cell& cell) const
{
    if (cell.size == Cell::kLong)
        return longTexts_[qsizetype(cell.units[0]) | qsizetype(cell.units[1]) << 16];
    return QStringView(cell.units, cell.size);
}

bool ManuscriptGrid::hasText(const Cell& cell) const
{
    const QStringView t = view(cell);
    return std::any_of(t.begin(), t.end(), [](QChar c) { return !isBlankUnit(c.unicode()); });
}

// Every write of a cell goes through here or moveStream(), which keep the writing text's length.
void ManuscriptGrid::store(qsizetype position, const Cell& cell)
{
    Cell& slot = cells_[position];
    if (!isMargin(position))
        writingUnits_ += writingUnits(cell) - writingUnits(slot);
    slot = cell;
}

QString ManuscriptGrid::cell(int line, int column) const
{
    check(line, column, kCounterColumn);
    return column == kCounterColumn ? counterText(line) : view(cells_[at(line, column)]).toString();
}

void ManuscriptGrid::setCell(int line, int column, const QString& text)
{
    check(line, column, kFirstCellColumn);
    if (text.contains(u'\r') || text.contains(u'\n'))
        throw AppError(QStringLiteral("원고지 칸에는 줄바꿈을 넣을 수 없습니다."));
    const qsizetype position = at(line, column);
    if (view(cells_[position]) == text)
        return;
    store(position, pack(text));
    const QModelIndex i = index(line, column);
    emit dataChanged(i, i, {Qt::DisplayRole});
}

bool ManuscriptGrid::isBlank(int line, int column) const
{
    check(line, column, kFirstCellColumn);
    const Cell& cell = cells_[at(line, column)];
    return cell.size == 0 || (cell.size == 1 && cell.units[0] == u' ');
}

void ManuscriptGrid::setColumn(int column, const QStringList& texts)
{
    check(0, column, kFirstCellColumn);
    const int n = std::min<int>(lines_, int(texts.size()));
    for (int line = 0; line < n; ++line)
        if (texts[line].contains(u'\r') || texts[line].contains(u'\n'))
            throw AppError(QStringLiteral("원고지 칸에는 줄바꿈을 넣을 수 없습니다."));
    for (int line = 0; line < n; ++line)
        store(at(line, column), pack(texts[line]));
    if (n > 0)
        emit dataChanged(index(0, column), index(n - 1, column), {Qt::DisplayRole});
}

void ManuscriptGrid::addLines(qsizetype line, qsizetype count)
{
    cells_.insert(line * kStoredColumns, count * kStoredColumns, Cell());
    lines_ += int(count);
    writingUnits_ += blankLineUnits(count);
}

void ManuscriptGrid::insertLines(int line, int count)
{
    if (line < 0 || line > lines_ || count < 0)
        throw AppError(QStringLiteral("원고지 %1행 앞에 %2줄을 넣을 수 없습니다.").arg(line).arg(count));
    if (count == 0)
        return;
    beginInsertRows({}, line, line + count - 1);
    addLines(line, count);
    endInsertRows();
}

void ManuscriptGrid::removeLines(int line, int count)
{
    if (line < 0 || count < 0 || line + count > lines_)
        throw AppError(QStringLiteral("원고지 %1행부터 %2줄을 지울 수 없습니다.").arg(line).arg(count));
    if (count == 0)
        return;
    beginRemoveRows({}, line, line + count - 1);
    for (qsizetype p = at(line, kFirstCellColumn); p < at(line + count, kFirstCellColumn); ++p)
        store(p, Cell());
    writingUnits_ -= blankLineUnits(count);
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
    cells_ = QList<Cell>(qsizetype(lines_) * kStoredColumns);
    longTexts_.clear();
    writingUnits_ = blankLineUnits(lines_);
    endResetModel();
}

void ManuscriptGrid::replaceLines(int line, int count, const QList<Cell>& cells)
{
    if (line < 0 || count < 0 || line + count > lines_ || cells.size() % kStoredColumns != 0)
        throw AppError(
            QStringLiteral("원고지 %1행부터 %2줄을 %3칸으로 바꿀 수 없습니다.").arg(line).arg(count).arg(cells.size()));
    const int replacing = int(cells.size() / kStoredColumns);
    if (replacing > count)
        insertLines(line + count, replacing - count);
    else
        removeLines(line + replacing, count - replacing);
    for (qsizetype i = 0; i < cells.size(); ++i)
        store(at(line, kFirstCellColumn) + i, cells[i]);
    if (replacing > 0)
        emit dataChanged(index(line, kFirstCellColumn), index(line + replacing - 1, kMarginColumn), {Qt::DisplayRole});
}

qsizetype ManuscriptGrid::writingTextLength() const
{
    // Adds the blank units from one end up to the first written character, a blank cell
    // reading as one; false when there is no written character.
    const auto blanksFrom = [this](bool fromEnd, qsizetype& blanks) {
        for (qsizetype n = 0; n < cells_.size(); ++n) {
            const qsizetype p = fromEnd ? cells_.size() - 1 - n : n;
            if (isMargin(p))
                continue;
            const QStringView t = view(cells_[p]);
            if (t.isEmpty())
                ++blanks;
            for (qsizetype u = 0; u < t.size(); ++u) {
                if (!isBlankUnit(t[fromEnd ? t.size() - 1 - u : u].unicode()))
                    return true;
                ++blanks;
            }
        }
        return false;
    };
    qsizetype lead = 0;
    qsizetype trail = 0;
    if (!blanksFrom(false, lead))
        return 0;
    blanksFrom(true, trail);
    return writingUnits_ - lead - trail;
}

// The stream is read from `readFrom` and laid out again from `writeFrom` in one pass over
// the sheet: a cell is read before it is written over, and only the items read and not yet
// written are held aside. Typing moves the whole rest of an essay with every cell opened,
// so this loop is kept tight.
void ManuscriptGrid::moveStream(qsizetype readFrom, qsizetype writeFrom, MarginRule fitsMargin)
{
    const qsizetype streamEnd = cells_.size();
    Cell* cells = cells_.data();
    // pending[head, end): the items read and not yet written, seldom more than a few.
    QVarLengthArray<Cell, 64> pending;
    qsizetype head = 0;
    qsizetype r = readFrom;
    qsizetype rColumn = r % kWidth;
    const auto readOne = [&] {
        if (rColumn != kWidth - 1 || hasText(cells[r]))
            pending.append(cells[r]);
        ++r;
        rColumn = rColumn + 1 == kWidth ? 0 : rColumn + 1;
    };
    // The rule reads the item's text without a copy of it.
    const auto fits = [&](const Cell& item) {
        const QStringView t = view(item);
        return fitsMargin(QString::fromRawData(t.data(), t.size()));
    };
    while (r < std::min(writeFrom, streamEnd))
        readOne();
    for (qsizetype w = readFrom; w < writeFrom; ++w)
        store(w, Cell());
    for (qsizetype w = writeFrom, wColumn = w % kWidth;; ++w, wColumn = wColumn + 1 == kWidth ? 0 : wColumn + 1) {
        while (r < streamEnd && (r <= w || head == pending.size()))
            readOne();
        if (head >= 32 && head * 2 >= pending.size()) {
            pending.remove(0, head);
            head = 0;
        }
        if (w == cells_.size()) {
            if (std::none_of(pending.begin() + head, pending.end(), [this](const Cell& item) { return hasText(item); }))
                return;
            beginInsertRows({}, lines_, lines_);
            addLines(lines_, 1);
            endInsertRows();
            cells = cells_.data();
        }
        const bool margin = wColumn == kWidth - 1;
        const Cell item = head < pending.size() && (!margin || fits(pending[head])) ? pending[head++] : Cell();
        Cell& slot = cells[w];
        if (!margin)
            writingUnits_ += writingUnits(item) - writingUnits(slot);
        slot = item;
    }
}

void ManuscriptGrid::openStreamCell(int line, int column, MarginRule fitsMargin)
{
    check(line, column, kFirstCellColumn);
    const qsizetype place = at(line, column);
    moveStream(place, place + 1, fitsMargin);
    emit dataChanged(index(line, kFirstCellColumn), index(lines_ - 1, kMarginColumn), {Qt::DisplayRole});
}

void ManuscriptGrid::removeStreamCells(int line, int column, int count, MarginRule fitsMargin)
{
    check(line, column, kFirstCellColumn);
    const qsizetype place = at(line, column);
    moveStream(std::min(place + std::max(count, 0), cells_.size()), place, fitsMargin);
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
    if (!index.isValid() || index.row() >= lines_)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return cell(index.row(), index.column());
    case Qt::AccessibleTextRole:
        // The counter cell reads its whole line, so a screen reader can go a line at a time.
        return index.column() == 0 ? QVariant(lineReading(index.row())) : QVariant();
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole:
        return notes_ ? notes_->note(index.row(), index.column()) : QString();
    case kMarksRole:
        return notes_ ? notes_->marks(index.row(), index.column()) : 0;
    default:
        return {};
    }
}

QVariant ManuscriptGrid::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical && role == Qt::DisplayRole && section >= 0 && section < lines_)
        return lineReading(section);
    return {};
}

QString ManuscriptGrid::lineText(int line) const
{
    QString text;
    for (int column = kFirstCellColumn; column <= kMarginColumn; ++column) {
        const QString shown = cell(line, column).trimmed();
        text += shown.isEmpty() ? QStringLiteral(" ") : shown;
    }
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    return text;
}

QString ManuscriptGrid::lineReading(int line) const
{
    const QString text = lineText(line);
    return QStringLiteral("%1줄: %2").arg(line + 1).arg(text.isEmpty() ? QStringLiteral("빈 줄") : text);
}
