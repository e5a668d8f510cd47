#include "board/BoardAccessible.h"

#include "board/SorBoard.h"

#include <QPointer>
#include <QWindow>

#include <algorithm>

namespace {

// One text line or one item of the board, read from the board whenever asked.
class BoardPart : public QAccessibleInterface {
public:
    BoardPart(TSorCustomBoard* board, int index) : FBoard(board), FIndex(index) {}

    bool isValid() const override { return FBoard && FIndex < Lines() + FBoard->Items().Count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return FBoard ? FBoard->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(FBoard); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}

    QAccessible::Role role() const override { return IsLine() ? QAccessible::StaticText : QAccessible::Note; }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        if (IsLine())
            return t == QAccessible::Name ? FBoard->TextLines().at(FIndex).Text : QString();
        const TBoardItem* item = Item();
        switch (t) {
        case QAccessible::Name:
            return BoardItemReading(*item, FBoard->TextLines());
        case QAccessible::Description: {
            const QString hint = DrawToolHint(item->DrawTool());
            return hint.mid(hint.indexOf(u':') + 1).trimmed();
        }
        default:
            return {};
        }
    }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect box =
            IsLine()
                ? FBoard->TextLines().at(FIndex).Rect
                : QRect(QPoint(Item()->Left(), Item()->Top()), QPoint(Item()->Right(), Item()->Bottom())).normalized();
        return box.translated(FBoard->mapToGlobal(QPoint(0, 0)));
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.readOnly = true;
        if (!IsLine()) {
            s.readOnly = FBoard->Locked();
            s.selectable = true;
            s.focusable = true;
            s.selected = FIndex - Lines() == FBoard->Selected();
            s.focused = s.selected && FBoard->hasFocus();
        }
        return s;
    }

private:
    int Lines() const { return int(FBoard->TextLines().size()); }
    bool IsLine() const { return FIndex < Lines(); }
    const TBoardItem* Item() const { return FBoard->Items().Items(FIndex - Lines()); }

    QPointer<TSorCustomBoard> FBoard;
    int FIndex;
};

}

QString BoardItemName(int drawTool)
{
    if (drawTool == dtSelect)
        return QStringLiteral("선택");
    const QString name = DrawToolName(TDrawTool(drawTool));
    return name.isEmpty() ? QStringLiteral("첨삭 표시") : name;
}

QString CoveredText(const QList<TBoardTextLine>& lines, const QRect& box)
{
    const TBoardTextLine* best = nullptr;
    int bestOverlap = 0;
    for (const TBoardTextLine& line : lines) {
        const int overlap = std::min(line.Rect.bottom(), box.bottom()) - std::max(line.Rect.top(), box.top());
        if (overlap > bestOverlap) {
            bestOverlap = overlap;
            best = &line;
        }
    }
    if (!best)
        return {};
    QString covered;
    for (const TBoardTextLine::Piece& piece : best->Pieces) {
        const int middle = piece.Rect.center().x();
        if (middle >= box.left() && middle <= box.right())
            covered += piece.Text.isEmpty() ? QStringLiteral(" ") : piece.Text;
    }
    return covered.simplified();
}

QString BoardItemReading(const TBoardItem& item, const QList<TBoardTextLine>& lines)
{
    const auto kind = TDrawTool(item.DrawTool());
    QStringList parts;
    const QRect box = QRect(QPoint(item.Left(), item.Top()), QPoint(item.Right(), item.Bottom())).normalized();
    if (const QString covered = CoveredText(lines, box); !covered.isEmpty())
        parts << QStringLiteral("'%1'").arg(covered);
    // Read as one phrase: the note's line breaks are pauses, not words. The thinking and
    // praise marks' note is only their sign.
    if (const QString note = item.Strings().simplified(); !note.isEmpty() && kind != dt44 && kind != dt45)
        parts << note;
    if (!item.ReportPoint().isEmpty())
        parts << QStringLiteral("%1점").arg(item.ReportPoint());
    const QString name = BoardItemName(kind);
    return parts.isEmpty() ? name : name + QStringLiteral(": ") + parts.join(QStringLiteral(", "));
}

TBoardAccessible::TBoardAccessible(TSorCustomBoard* board) : QAccessibleWidget(board, QAccessible::Document)
{
}

TBoardAccessible::~TBoardAccessible()
{
    for (QAccessible::Id id : FChildren)
        QAccessible::deleteAccessibleInterface(id);
}

// Asked for every object's classes; only the class name tells a board without touching
// objects that may be half built or half destroyed.
QAccessibleInterface* TBoardAccessible::Factory(const QString& className, QObject* object)
{
    if (className == QLatin1String("TSorCustomBoard"))
        return new TBoardAccessible(static_cast<TSorCustomBoard*>(object));
    return nullptr;
}

int TBoardAccessible::ItemChild(const TSorCustomBoard& board, int index)
{
    return int(board.TextLines().size()) + index;
}

TSorCustomBoard* TBoardAccessible::board() const
{
    return static_cast<TSorCustomBoard*>(widget());
}

int TBoardAccessible::childCount() const
{
    return ItemChild(*board(), board()->Items().Count());
}

QAccessibleInterface* TBoardAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    while (FChildren.size() <= index)
        FChildren.append(QAccessible::registerAccessibleInterface(new BoardPart(board(), int(FChildren.size()))));
    return QAccessible::accessibleInterface(FChildren.at(index));
}

int TBoardAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    const int index = int(FChildren.indexOf(QAccessible::uniqueId(const_cast<QAccessibleInterface*>(child))));
    return index < childCount() ? index : -1;
}

QAccessibleInterface* TBoardAccessible::childAt(int x, int y) const
{
    // The topmost item first, as the mouse would find it; then the line.
    for (int i = childCount() - 1; i >= 0; --i) {
        QAccessibleInterface* part = child(i);
        if (part->rect().contains(x, y))
            return part;
    }
    return nullptr;
}

QAccessibleInterface* TBoardAccessible::focusChild() const
{
    if (board()->hasFocus() && board()->Selected() >= 0)
        return child(ItemChild(*board(), board()->Selected()));
    return QAccessibleWidget::focusChild();
}

QString TBoardAccessible::text(QAccessible::Text t) const
{
    if (t != QAccessible::Description && t != QAccessible::Help)
        return QAccessibleWidget::text(t);
    // Only a board that takes marks tells how to place them.
    if (board()->Locked())
        return QStringLiteral("첨삭한 페이지입니다. 글의 줄과 첨삭 표시를 위에서부터 차례로 읽습니다. "
                              "표시마다 그 아래의 글과 메모, 점수를 함께 읽습니다.");
    const QString keys = QStringLiteral("방향키로 커서를 옮기고, 도구를 고른 뒤 Enter로 표시를 놓습니다. "
                                        "선택 도구로는 Enter가 커서 아래의 표시를 고르고, 고른 표시에서 한 번 더 "
                                        "누르면 글과 점수를 고칩니다. Delete는 고른 표시를 지웁니다.");
    // What the owner has to say about the page shown, such as suggestions laid over it.
    const QString owners = board()->accessibleDescription();
    return owners.isEmpty() ? keys : keys + u' ' + owners;
}
