#pragma once

#include "board/SorBoard.h"
#include "document/ManuscriptGrid.h"

#include <QFont>
#include <QImage>
#include <QObject>

class DataSet;

// The page renderer: cuts an essay record into a line table (one row per manuscript line,
// per displayed blank-paper line or per scanned page) and paints one page at a time into
// a picture. Everything is painted off screen; nothing is ever shown.
//
// One renderer serves the whole run: the start-up creates it (CreateFrmTemp) before the
// launch file is read, the application owns it, and the correction frame reaches it
// through frmTemp.
class TfrmTemp : public QObject {
    Q_OBJECT
public:
    static constexpr int kRowsPerPage = 30;
    static constexpr QSize kGridPageSize{650, 880};
    static constexpr QPoint kGridOrigin{10, 10};
    static constexpr int kCounterWidth = 40;  // column 0
    static constexpr int kCellSize = 29;      // columns 1 to 21, every row
    static constexpr int kTextMargin = 2;     // a text box's text from its edges
    // Device pixels to a pixel of a printed page: 650 pixels across 464 layout units print
    // at 385 dots per inch, so text and grid lines stay sharp on paper.
    static constexpr int kPrintRatio = 3;

    // A word-wrapping text box as the renderer measures and paints it.
    struct TextBox {
        int Width = 0;
        QFont Font;
        bool ScrollBar = false;  // a vertical scroll bar of its own narrows the text
        int TextWidth() const;
        QStringList Lines(const QString& text) const;
    };

    explicit TfrmTemp(QObject* parent);

    // "굴림체", 19-pixel characters.
    QFont Font;
    // 700 pixels less one vertical scroll bar; wraps blank-paper essays.
    TextBox memTemp;
    // 183 pixels, 12-pixel characters, no scroll bar; the thumbnail's comment.
    TextBox Memo2;
    // The cells of the manuscript page last rendered.
    ManuscriptGrid grid;

    // The height of "Ag" in the form's font.
    int LineHeight() const;

    // Empties the table (essay record schema) and fills it from the essay record, read
    // from its first row. A kind other than 0 to 3 is refused with a message.
    void BuildLineTable(DataSet& essay, DataSet& table) const;
    // NType of the table's first row; an empty table reads 0.
    static int PaperKind(DataSet& table);
    // Pages of 30 lines up to the last written one (at least one) for manuscript and blank
    // paper, one per row for scanned pages.
    static int PageCount(DataSet& table);

    // Pages count from 1. Each sets the bitmap's size and paints the whole of it; a page
    // that fails leaves the bitmap as it was. `ratio` is the picture's device pixels to a pixel.
    void RenderGridPage(DataSet& table, QImage& bitmap, int page, int ratio = 1);
    void RenderTextPage(DataSet& table, QImage& bitmap, int page, int ratio = 1);
    void RenderImagePage(DataSet& table, QImage& bitmap, int page);
    // The page operation the table's kind calls for: below 2 manuscript, 2 blank paper,
    // 3 scanned, which keeps its own resolution.
    void RenderPage(DataSet& table, QImage& bitmap, int page, int ratio = 1);
    // The same page for printing: manuscript and blank paper at kPrintRatio (the picture's
    // pixel ratio), scanned pages at their own resolution.
    QImage RenderPrintPage(DataSet& table, int page);
    // The text wrapped in Memo2, as high as its lines in the form's line height plus 10.
    void RenderText(const QString& text, QImage& bitmap);
    // The written lines of a page as its picture shows them, for assistive technology: a
    // manuscript line's cells with blank cells as spaces, a blank-paper line; none for a
    // scanned page. Lines without text are left out.
    QList<TBoardTextLine> PageLines(DataSet& table, int page) const;

private:
    QImage GridPage(DataSet& table, int page, int ratio);
    QImage TextPage(DataSet& table, int page, int ratio) const;
    static QImage ImagePage(DataSet& table, int page);
    void PaintLines(QImage& bitmap, QPoint origin, const QStringList& lines, const QFont& font, int lineHeight) const;
};

// The run's page renderer; null until CreateFrmTemp.
extern TfrmTemp* frmTemp;
// Creates the renderer, owned by the application, unless it exists.
void CreateFrmTemp();
