#include "correction/CorrectionPage.h"

#include "correction/FitMarkToText.h"
#include "correction/MemoText.h"

#include <limits>

namespace {

constexpr int kMinimumSize = 20;
constexpr int kNoteWidening = 60;

// The text a mark shows once drawn: what the board's drawing gives the item, so what the
// page keeps is what the board shows. An ordinal no TDrawTool holds draws nothing.
QString DrawnText(const CorrectionRecord::MarkRow& mark)
{
    if (mark.drawTool < 0 || mark.drawTool > std::numeric_limits<quint8>::max())
        return mark.strings;
    return DrawnStrings(TDrawTool(mark.drawTool), mark.strings);
}

bool SizedToText(qint32 drawTool)
{
    return drawTool == dtText || drawTool == dtNumber;
}

}

CorrectionRecord::Page CorrectionPage::stored() const
{
    return {marks_, AsRecordText(comment_)};
}

void CorrectionPage::show(int index, const CorrectionRecord::Page& page)
{
    index_ = index;
    marks_ = page.marks;
    for (CorrectionRecord::MarkRow& mark : marks_)
        mark.strings = DrawnText(mark);
    numbers_ = QList<qint32>(marks_.size(), 0);
    comment_ = AsShownText(page.comment);
    history_.Show(index, marks_);
    emit changed(PageTurned | MarksChanged | CommentChanged);
}

void CorrectionPage::reset()
{
    history_.Clear();
    show(-1, {});
}

int CorrectionPage::place(TDrawTool tool, QPoint start, QPoint end, qint32 key)
{
    if (locked_)
        return -1;
    const QString commentBefore = comment_;
    // A drag to the left or upwards keeps the press point as the top-left corner.
    end.setX(qMax(end.x(), start.x() + kMinimumSize));
    end.setY(qMax(end.y(), start.y() + kMinimumSize));
    if (tool == dtText)
        end.rx() += kNoteWidening;
    CorrectionRecord::MarkRow mark;
    mark.left = start.x();
    mark.top = start.y();
    mark.right = end.x();
    mark.bottom = end.y();
    mark.drawTool = tool;
    mark.key = key;
    qint32 number = 0;
    if (tool == dt21)
        mark.strings = QStringLiteral("생");
    Changes what = MarksChanged;
    if (tool == dtNumber) {
        for (qint32 other : numbers_)
            if (other >= number)
                number = other + 1;
        mark.strings = QStringLiteral("(%1)").arg(number);
        if (comment_.isEmpty())
            comment_ = mark.strings;
        else if (comment_.endsWith(u'\n'))
            comment_ += mark.strings + u'\n';
        else
            comment_ += u'\n' + mark.strings;
        what |= CommentChanged;
    }
    mark.strings = DrawnText(mark);
    marks_.append(mark);
    numbers_.append(number);
    record(commentBefore, what, true);
    return int(marks_.size()) - 1;
}

void CorrectionPage::setBounds(int index, qint32 left, qint32 top, qint32 right, qint32 bottom)
{
    if (locked_ || !validIndex(index))
        return;
    CorrectionRecord::MarkRow& mark = marks_[index];
    if (mark.left == left && mark.top == top && mark.right == right && mark.bottom == bottom) {
        emit edited();
        return;
    }
    mark.left = left;
    mark.top = top;
    mark.right = right;
    mark.bottom = bottom;
    record(comment_, MarksChanged, true);
}

void CorrectionPage::remove(int index)
{
    if (locked_ || !validIndex(index))
        return;
    marks_.removeAt(index);
    numbers_.removeAt(index);
    record(comment_, MarksChanged, true);
}

void CorrectionPage::setText(int index, const QString& text, const QString& point, const TextMeasure& measure)
{
    if (locked_ || !validIndex(index))
        return;
    CorrectionRecord::MarkRow& mark = marks_[index];
    mark.strings = text;
    mark.reportPoint = point;
    const bool emptied = SizedToText(mark.drawTool) && text.isEmpty();
    if (SizedToText(mark.drawTool) && !emptied)
        FitMarkToText(mark, measure);
    mark.strings = DrawnText(mark);
    record(comment_, MarksChanged, !emptied);
}

void CorrectionPage::setComment(const QString& comment)
{
    if (locked_ || comment == comment_)
        return;
    comment_ = comment;
    emit changed(CommentChanged);
}

bool CorrectionPage::undo()
{
    if (locked_)
        return false;
    const std::optional<BoardHistory::Change> change = history_.Undo(comment_);
    showChange(change);
    return change.has_value();
}

bool CorrectionPage::redo()
{
    if (locked_)
        return false;
    const std::optional<BoardHistory::Change> change = history_.Redo(comment_);
    showChange(change);
    return change.has_value();
}

void CorrectionPage::record(const QString& commentBefore, Changes what, bool counts)
{
    history_.Record(marks_, commentBefore, comment_);
    emit changed(what);
    if (counts)
        emit edited();
}

// Marks that come back from the history are numbered as marks restored from the record.
void CorrectionPage::showChange(const std::optional<BoardHistory::Change>& change)
{
    if (!change)
        return;
    marks_ = change->marks;
    numbers_ = QList<qint32>(marks_.size(), 0);
    Changes what = MarksChanged;
    if (change->comment) {
        comment_ = *change->comment;
        what |= CommentChanged;
    }
    emit changed(what);
}
