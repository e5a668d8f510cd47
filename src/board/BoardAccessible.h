#pragma once

#include <QAccessibleWidget>
#include <QList>

class TBoardItem;
class TSorCustomBoard;
struct TBoardTextLine;

// The board as assistive technology sees it: a document whose children are the text lines
// of the page shown and then the items, in list order. An item is read with the text it
// covers, its note and its points, and described by what the mark is for; the selected
// item is the focused child.
class TBoardAccessible : public QAccessibleWidget {
public:
    explicit TBoardAccessible(TSorCustomBoard* board);
    ~TBoardAccessible() override;

    // Installed once by the first board.
    static QAccessibleInterface* Factory(const QString& className, QObject* object);
    // The child index of item `index`.
    static int ItemChild(const TSorCustomBoard& board, int index);

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    QString text(QAccessible::Text t) const override;

private:
    TSorCustomBoard* board() const;

    // Children made so far, by index; the cache owns them and they read the board live.
    mutable QList<QAccessible::Id> FChildren;
};

// The name of an item kind: the mark's name of the palette button of its kind.
QString BoardItemName(int drawTool);
// The text of the page a box lies over: the pieces of the line it overlaps most whose middle
// lies within it, blank pieces read as spaces; empty when it covers no text.
QString CoveredText(const QList<TBoardTextLine>& lines, const QRect& box);
// An item as it is read: its mark, the text it covers, its note and its points
// ("지움표: '그래서', 맞춤법, -2점").
QString BoardItemReading(const TBoardItem& item, const QList<TBoardTextLine>& lines);
