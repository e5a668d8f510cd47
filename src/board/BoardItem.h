#pragma once

#include "board/DrawTool.h"

#include <QPoint>
#include <QString>
#include <QtGlobal>

class TBoardHost;
class TCanvas;

// One proofreading mark, note or running number on the board. Edges may cross (Left above
// Right after a resize); hit-testing normalises them, drawing takes them as they stand.
// Setters that change a value ask the board to redraw once the item is in a list.
class TBoardItem {
public:
    TBoardHost* Board() const { return FBoard; }
    void SetBoard(TBoardHost* board) { FBoard = board; }

    qint32 Left() const { return FLeft; }
    qint32 Top() const { return FTop; }
    qint32 Right() const { return FRight; }
    qint32 Bottom() const { return FBottom; }
    qint32 FontSize() const { return FFontSize; }
    const QString& FontName() const { return FFontName; }
    qint32 FontColor() const { return FFontColor; }
    const QString& Strings() const { return FStrings; }
    TDrawTool DrawTool() const { return FDrawTool; }
    const QString& ReportPoint() const { return FReportPoint; }
    qint32 Number() const { return FNumber; }
    qint32 Key() const { return FKey; }

    void SetLeft(qint32 value);
    void SetTop(qint32 value);
    void SetRight(qint32 value);
    void SetBottom(qint32 value);
    void SetFontSize(qint32 value);
    void SetFontName(const QString& value);
    void SetFontColor(qint32 value);
    void SetStrings(const QString& value);
    void SetDrawTool(TDrawTool value);
    void SetReportPoint(const QString& value);
    void SetNumber(qint32 value) { FNumber = value; }
    void SetKey(qint32 value) { FKey = value; }

    // The four edges as one change: one redraw, even when nothing moved.
    void SetBounds(qint32 left, qint32 top, qint32 right, qint32 bottom);
    void Changed();

    void Draw(TCanvas& canvas);
    // All four edges of the normalised box belong to the item.
    bool HitTest(QPoint point) const;

private:
    template <typename T>
    void Assign(T& field, const T& value);

    TBoardHost* FBoard = nullptr;
    qint32 FLeft = 0;
    qint32 FTop = 0;
    qint32 FRight = 0;
    qint32 FBottom = 0;
    qint32 FFontSize = 0;
    QString FFontName;
    qint32 FFontColor = 0;
    QString FStrings;
    TDrawTool FDrawTool = dtNone;
    QString FReportPoint;
    qint32 FNumber = 0;
    qint32 FKey = 0;
};
