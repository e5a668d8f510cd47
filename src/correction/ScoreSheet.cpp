#include "correction/ScoreSheet.h"

#include "core/AppError.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

constexpr const char16_t* kCaptions[ScoreSheet::kRows][2] = {
    {u"채점기준", u"배점"}, {u"내용", u"70점"},     {u" 1. 초점", u"(50)"},
    {u" 2. 서평", u"(20)"}, {u"형식", u"30점"},     {u" 1. 원고지작성법", u"(10)"},
    {u" 2. 단락", u"(10)"}, {u" 3. 호응", u"(10)"}, {u"감점-분량미달", u"(-20)"},
};

bool allDigits(const QString& text)
{
    for (QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

// A whole number as the cells and the total box are read: anything else counts 0.
int wholeNumber(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : 0;
}

}

ScoreSheet::ScoreSheet(QObject* parent) : QAbstractTableModel(parent)
{
    for (int row = 0; row < kRows; ++row) {
        cells_[row][0] = QString::fromUtf16(kCaptions[row][0]);
        cells_[row][1] = QString::fromUtf16(kCaptions[row][1]);
    }
    cells_[0][kScoreColumn] = QStringLiteral("점수");
}

bool ScoreSheet::isFixed(int row, int column)
{
    return row == 0 || column < kScoreColumn;
}

bool ScoreSheet::isTypedScore(int row)
{
    return row == 2 || row == 3 || (row >= 5 && row <= 7);
}

int ScoreSheet::maximum(int row)
{
    switch (row) {
    case 2:
        return 50;
    case 3:
        return 20;
    default:
        return isTypedScore(row) ? 10 : 0;
    }
}

QString ScoreSheet::rowName(int row)
{
    static const QRegularExpression number(QStringLiteral("^\\s*\\d+\\.\\s*"));
    return QString::fromUtf16(kCaptions[row][0]).remove(number).trimmed();
}

QString ScoreSheet::rangeMessage(int row)
{
    return rowName(row) + QStringLiteral(": 0 부터 ") + QString::number(maximum(row))
           + QStringLiteral(" 이하의 값만 들어갈수 있습니다.");
}

int ScoreSheet::invalidRow() const
{
    for (int row = 1; row < kDeductionRow; ++row)
        if (isTypedScore(row) && !isValidScore(row, text(row, kScoreColumn)))
            return row;
    return -1;
}

bool ScoreSheet::isValidScore(int row, const QString& text)
{
    if (text.isEmpty())
        return true;
    // More than three digits can only be out of range, and would overflow toInt.
    return text.size() <= 3 && allDigits(text) && text.toInt() <= maximum(row);
}

int ScoreSheet::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kRows;
}

int ScoreSheet::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant ScoreSheet::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int row = index.row();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return cells_[row][index.column()];
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole:
        // A wrong score says what its row takes, on hover and to a screen reader.
        if (index.column() == kScoreColumn && isTypedScore(row) && !isValidScore(row, cells_[row][kScoreColumn]))
            return rangeMessage(row);
        if (showsSuggestion(index))
            return suggestionText();
        return {};
    case SuggestionRole:
        if (showsSuggestion(index))
            return QString::number(suggested_);
        return {};
    default:
        return {};
    }
}

QVariant ScoreSheet::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumns)
        return {};
    return cells_[0][section];
}

Qt::ItemFlags ScoreSheet::flags(const QModelIndex& index) const
{
    if (!index.isValid() || isFixed(index.row(), index.column()))
        return Qt::ItemIsEnabled;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (isTypedScore(index.row()))
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool ScoreSheet::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const QString typed = value.toString();
    if (typed != text(index.row(), index.column())) {
        setEditText(index.row(), index.column(), typed);
        emit edited();
    }
    return true;
}

QString ScoreSheet::text(int row, int column) const
{
    return cells_[row][column];
}

void ScoreSheet::setEditText(int row, int column, const QString& text)
{
    if (column != kScoreColumn || !isTypedScore(row))
        return;
    setCell(row, column, text);
    if (!isValidScore(row, text))
        emit message(rangeMessage(row));
    recompute();
}

void ScoreSheet::setDeduction(bool checked)
{
    if (checked == deduction_)
        return;
    deduction_ = checked;
    emit deductionChanged(checked);
    setEditText(2, kScoreColumn, text(2, kScoreColumn));
}

void ScoreSheet::setTotal(const QString& text)
{
    writeTotal(text);
}

void ScoreSheet::typeTotal(const QString& text)
{
    writeTotal(text);
    emit edited();
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    // Digits too many for any integer are out of range too, not "non-numeric".
    const bool outOfRange = ok ? value < 0 || value > kMaxTotal : !text.isEmpty() && allDigits(text);
    if (outOfRange) {
        emit message(QStringLiteral("0 부터 100 점까지만 입력하실 수 있습니다."));
        writeTotal(QString::number(kMaxTotal));
    }
}

QStringList ScoreSheet::points() const
{
    QStringList out;
    for (int row = 1; row <= 7; ++row)
        out.append(text(row, kScoreColumn));
    return out;
}

void ScoreSheet::load(const QStringList& points, bool deduction)
{
    for (int row = 1; row <= 7; ++row)
        setCell(row, kScoreColumn, points.value(row - 1));
    setDeduction(deduction);
}

void ScoreSheet::suggestManuscriptScore(int score, const QString& reason)
{
    const int suggested = score < 0 ? -1 : std::min(score, maximum(kManuscriptRow));
    if (suggested == suggested_ && reason == suggestedFor_)
        return;
    suggested_ = suggested;
    suggestedFor_ = reason;
    const QModelIndex cell = index(kManuscriptRow, kScoreColumn);
    emit dataChanged(cell, cell, {Qt::ToolTipRole, Qt::AccessibleDescriptionRole, SuggestionRole});
}

bool ScoreSheet::acceptSuggestion()
{
    const QModelIndex cell = index(kManuscriptRow, kScoreColumn);
    if (!showsSuggestion(cell))
        return false;
    setEditText(kManuscriptRow, kScoreColumn, QString::number(suggested_));
    emit edited();
    return true;
}

bool ScoreSheet::showsSuggestion(const QModelIndex& index) const
{
    return suggested_ >= 0 && index.row() == kManuscriptRow && index.column() == kScoreColumn
           && cells_[kManuscriptRow][kScoreColumn].isEmpty();
}

QString ScoreSheet::suggestionText() const
{
    return QStringLiteral("%1: %2 %3점 제안. F7로 넣습니다.")
        .arg(suggestedFor_, rowName(kManuscriptRow))
        .arg(suggested_);
}

void ScoreSheet::validateScores() const
{
    if (const int row = invalidRow(); row >= 0)
        throw AppError(rangeMessage(row));
}

void ScoreSheet::setCell(int row, int column, const QString& text)
{
    if (cells_[row][column] == text)
        return;
    cells_[row][column] = text;
    const QModelIndex changed = index(row, column);
    // Every role: the hint and the description of a cell follow its text.
    emit dataChanged(changed, changed);
}

int ScoreSheet::score(int row) const
{
    return wholeNumber(text(row, kScoreColumn));
}

void ScoreSheet::recompute()
{
    const auto subtotal = [this](int row, std::initializer_list<int> parts) {
        int sum = 0;
        for (int part : parts) {
            if (!isValidScore(part, text(part, kScoreColumn))) {
                setCell(row, kScoreColumn, QString());
                return;
            }
            sum += score(part);
        }
        setCell(row, kScoreColumn, QString::number(sum));
    };
    subtotal(1, {2, 3});
    subtotal(4, {5, 6, 7});
    if (!totalValid()) {
        writeTotal(QString());
        return;
    }
    int total = score(1) + score(4);
    writeTotal(QString::number(total));
    if (deduction_) {
        total -= kDeduction;
        writeTotal(QString::number(total));
    }
    if (wholeNumber(total_) <= 0) {
        if (deduction_) {
            emit message(QStringLiteral("총점이 0점 미만입니다."));
            setDeduction(false);
        }
        writeTotal(QStringLiteral("0"));
    }
}

void ScoreSheet::writeTotal(const QString& text)
{
    if (total_ == text)
        return;
    total_ = text;
    emit totalChanged(text);
}
