#pragma once

#include <QAccessibleWidget>
#include <QList>

class TSorCustomBoard;

// The board as assistive technology sees it: a document whose children are the text lines
// of the page shown and then the items, in list order. An item is named by its palette
// hint and describes its text and points; the selected item is the focused child.
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

// The name of an item as it is read: the hint of the palette button of its kind.
QString BoardItemName(int drawTool);
