#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>

#include <variant>

class QPainter;

// A prepared report: pages of drawing items in layout units, ready to show or print.
// Items are plain values, so a prepared report stays valid after its template and its
// datasets have changed.

// One line of text; `box` is the line's own box, its baseline `ascent` below the top.
struct ReportTextLine {
    QRectF box;
    qreal ascent = 0;
    QString text;
    QFont font;
    QColor color;
};

// A picture drawn into `rect` (already fitted).
struct ReportPicture {
    QRectF rect;
    QImage image;
};

// A filled rectangle: the frame lines.
struct ReportFill {
    QRectF rect;
    QColor color;
};

using ReportItem = std::variant<ReportTextLine, ReportPicture, ReportFill>;

struct PreparedPage {
    QSizeF size;  // the paper
    QList<ReportItem> items;
};

class PreparedReport {
public:
    QList<PreparedPage> pages;

    int pageCount() const { return int(pages.size()); }

    // Paints a page with the painter's coordinates in layout units. Frame lines are snapped
    // to device pixels, at least one wide, so none vanishes or thickens with the zoom.
    void paintPage(QPainter& painter, int index) const;
    // White paper with the page on it, `pixelsPerUnit` pixels to a layout unit.
    QImage renderPage(int index, double pixelsPerUnit) const;
};
