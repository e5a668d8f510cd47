// The sheet painted from pictures of its cells against the sheet drawn cell by cell with
// pens and text, as it was drawn before the pictures: a whole essay, at one and two device
// pixels to a pixel in the writing grid, and at three as well on a page.
#include "FrameFixture.h"
#include "paper/DrawManuscriptCell.h"
#include "support/QStringPrinter.h"
#include "support/TestPaths.h"
#include "ui/Fonts.h"

#include <QAbstractItemDelegate>
#include <QFile>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include <gtest/gtest.h>

namespace {

// The drawing every cell had before it was kept as a picture.
void ReferenceCell(QPainter& painter, const QRect& cell, int column, int line, const QString& text, bool lastLine)
{
    QString shown = text;
    shown.remove(u'\r').remove(u'\n');
    const int left = cell.left();
    const int top = cell.top();
    const int right = cell.left() + cell.width();
    const int bottom = cell.top() + cell.height();

    painter.save();
    QColor colour = Qt::black;
    int points = 13;
    if (column == 0) {
        if (line % 10 != 0) {
            painter.restore();
            return;
        }
        shown = QString::number(line / 10 * 200);
        colour = QColor(255, 138, 0);
        points = 10;
    } else if (column <= 20) {
        painter.setPen(QPen(QColor(200, 200, 200), 1));
        painter.setBrush(Qt::white);
        painter.drawRect(QRect(left - 1, top, right - left, bottom - 4 - top));
        if (!lastLine && line % 30 != 29) {
            if (column == 1)
                painter.drawLine(left - 1, top, left - 1, bottom - 1);
            if (column == 20)
                painter.drawLine(right - 1, top, right - 1, bottom - 1);
        }
    }
    if (!shown.isEmpty()) {
        painter.setFont(GulimcheFont(points * 96 / 72));
        painter.setPen(colour);
        const bool leftAligned = shown == u"," || shown == u".";
        painter.drawText(cell, Qt::TextSingleLine | Qt::AlignVCenter | (leftAligned ? Qt::AlignLeft : Qt::AlignHCenter),
                         shown);
    }
    painter.restore();
}

using CellPainter = void (*)(QPainter&, const QRect&, int, int, const QString&, bool);

class Delegate : public QAbstractItemDelegate {
public:
    explicit Delegate(CellPainter paint) : paint_(paint) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        paint_(*painter, option.rect, index.column(), index.row(), index.data().toString(),
               index.row() == index.model()->rowCount() - 1);
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override { return {29, 29}; }

private:
    CellPainter paint_;
};

QImage render(QWidget* widget, int ratio)
{
    QImage image(widget->size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    widget->render(&image);
    return image;
}

// Every line of the sheet, cell by cell, as the page renderer lays a page out.
QImage paintSheet(const ManuscriptGrid& grid, int ratio, CellPainter paint)
{
    QImage image(QSize(10 + 40 + 21 * 29, 10 + grid.lineCount() * 29) * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.translate(10, 10);
    for (int line = 0; line < grid.lineCount(); ++line)
        for (int column = 0; column <= 21; ++column) {
            const QRect cell(column == 0 ? 0 : 40 + (column - 1) * 29, line * 29, column == 0 ? 40 : 29, 29);
            paint(painter, cell, column, line, grid.cell(line, column), line == grid.lineCount() - 1);
        }
    return image;
}

// The pixels that differ, named for the failure message.
QString differences(const QImage& actual, const QImage& expected)
{
    if (actual.size() != expected.size())
        return QStringLiteral("size %1x%2, expected %3x%4")
            .arg(actual.width())
            .arg(actual.height())
            .arg(expected.width())
            .arg(expected.height());
    int count = 0;
    QString first;
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x)
            if (actual.pixel(x, y) != expected.pixel(x, y) && count++ == 0)
                first = QStringLiteral(" first at %1,%2: %3, expected %4")
                            .arg(x)
                            .arg(y)
                            .arg(actual.pixel(x, y), 8, 16)
                            .arg(expected.pixel(x, y), 8, 16);
    return count == 0 ? QString() : QString::number(count) + QStringLiteral(" pixels differ;") + first;
}

// The sample essay typed into the frame, as a student would.
void typeEssay(FrameFixture& f)
{
    QFile file(SourceDir() + "/tests/writing/data/sample-essay.txt");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    for (QChar c : QString::fromUtf8(file.readAll())) {
        const bool enter = c == u'\n';
        QKeyEvent press(QEvent::KeyPress,
                        enter       ? Qt::Key_Return
                        : c == u' ' ? Qt::Key_Space
                                    : 0,
                        Qt::NoModifier, enter ? QStringLiteral("\r") : QString(c));
        QApplication::sendEvent(f.edt(), &press);
    }
}

}

TEST(ManuscriptPicture, AnEssayPaintsAsItWasDrawnBeforeAtEveryPixelRatioItIsShownAt)
{
    FrameFixture f;
    typeEssay(f);
    const ManuscriptGrid& cells = f.cells();
    ASSERT_GT(cells.lineCount(), 60);
    ManuscriptView* grid = f.grid();
    // Three is the ratio pages are printed at.
    for (int ratio : {1, 2, 3})
        EXPECT_EQ(differences(paintSheet(cells, ratio, DrawManuscriptCell), paintSheet(cells, ratio, ReferenceCell)),
                  QString())
            << "the whole sheet at ratio " << ratio;
    for (int ratio : {1, 2}) {
        // The top, a page's end (the edges' gap after line 29) and the sheet's last line.
        for (int top : {0, 20, cells.lineCount() - 10}) {
            grid->verticalScrollBar()->setValue(top);
            Delegate reference(ReferenceCell);
            QAbstractItemDelegate* own = grid->itemDelegate();
            grid->setItemDelegate(&reference);
            const QImage expected = render(grid, ratio);
            grid->setItemDelegate(own);
            EXPECT_EQ(differences(render(grid, ratio), expected), QString())
                << "the grid from line " << top << " at ratio " << ratio;
        }
    }
}
