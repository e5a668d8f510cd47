#include "correction/ErrorHistoryModel.h"

#include "board/ProofMarks.h"

ErrorHistoryModel::ErrorHistoryModel(QObject* parent) : QAbstractTableModel(parent)
{
}

void ErrorHistoryModel::setHistory(ErrorHistory history)
{
    beginResetModel();
    history_ = std::move(history);
    endResetModel();
}

int ErrorHistoryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(history_.kinds().size());
}

int ErrorHistoryModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(history_.essays().size()) + 1;
}

QVariant ErrorHistoryModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()
        || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole && role != Qt::TextAlignmentRole))
        return {};
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    const TDrawTool kind = history_.kinds().at(index.row());
    const bool total = index.column() == history_.essays().size();
    const qint64 number = total ? history_.total(kind) : history_.count(index.column(), kind);
    if (role == Qt::AccessibleTextRole)
        return QStringLiteral("%1, %2: %3번")
            .arg(ProofMarkName(kind), total ? QStringLiteral("합계") : essayCaption(history_, index.column()))
            .arg(number);
    return number;
}

QVariant ErrorHistoryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return {};
    if (orientation == Qt::Vertical)
        return section < history_.kinds().size() ? ProofMarkName(history_.kinds().at(section)) : QVariant();
    if (section == history_.essays().size())
        return QStringLiteral("합계");
    return section < history_.essays().size() ? essayCaption(history_, section) : QVariant();
}

QString ErrorHistoryModel::essayCaption(const ErrorHistory& history, int essay)
{
    const ErrorHistory::Essay& item = history.essays().at(essay);
    QString caption =
        QStringLiteral("%1. %2").arg(essay + 1).arg(item.title.isEmpty() ? QStringLiteral("(제목 없음)") : item.title);
    if (item.corrected.isValid())
        caption += QStringLiteral(" (%1)").arg(item.corrected.toLocalTime().date().toString(Qt::ISODate));
    return caption;
}
