#include "correction/TfrmTemp.h"

#include "core/AppError.h"
#include "correction/DisplayedLines.h"
#include "dataset/DataSet.h"
#include "document/EssayRecord.h"
#include "jpeg/Jpeg.h"
#include "paper/DrawManuscriptCell.h"
#include "ui/Fonts.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>

TfrmTemp* frmTemp = nullptr;

void CreateFrmTemp()
{
    if (!frmTemp)
        frmTemp = new TfrmTemp(qApp);
}

namespace {

int ScrollBarExtent()
{
    return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

// `size` in pixels of the page, `ratio` device pixels to each.
QImage WhitePicture(QSize size, int ratio = 1)
{
    QImage picture(size * ratio, QImage::Format_RGB32);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::white);
    return picture;
}

}

int TfrmTemp::TextBox::TextWidth() const
{
    return Width - (ScrollBar ? ScrollBarExtent() : 0) - 2 * kTextMargin;
}

QStringList TfrmTemp::TextBox::Lines(const QString& text) const
{
    return DisplayedLines(text, Font, TextWidth());
}

TfrmTemp::TfrmTemp(QObject* parent) : QObject(parent), Font(GulimcheFont(19))
{
    setObjectName(QStringLiteral("frmTemp"));
    memTemp = {700 - ScrollBarExtent(), Font, true};
    Memo2 = {183, GulimcheFont(12), false};
    grid.reset(1);
}

int TfrmTemp::LineHeight() const
{
    return QFontMetrics(Font).height();
}

int TfrmTemp::PaperKind(DataSet& table)
{
    if (table.isEmpty())
        return 0;
    table.first();
    return table.asInteger(u"NType");
}

int TfrmTemp::PageCount(DataSet& table)
{
    const int kind = PaperKind(table);
    if (kind == EssayRecord::ScannedPages)
        return table.recordCount();
    // Blank lines after the text (a sheet keeps at least 21, a full page is followed by
    // none) make no page of their own.
    int lastWritten = 0;
    for (int row = table.recordCount() - 1; row > 0 && lastWritten == 0; --row) {
        table.moveTo(row);
        if (kind == EssayRecord::BlankPaper) {
            if (!table.asString(u"LText").trimmed().isEmpty())
                lastWritten = row;
            continue;
        }
        for (int column = 1; column <= ManuscriptGrid::kStoredColumns; ++column)
            if (!table.asString(EssayRecord::lineField(column)).trimmed().isEmpty()) {
                lastWritten = row;
                break;
            }
    }
    return lastWritten / kRowsPerPage + 1;
}

void TfrmTemp::BuildLineTable(DataSet& essay, DataSet& table) const
{
    table.emptyDataSet();
    if (essay.isEmpty())
        return;
    essay.first();
    const qint32 kind = essay.asInteger(u"NType");
    switch (kind) {
    case 0:
    case EssayRecord::Manuscript:
        EssayRecord::appendLineRows(essay, table);
        break;
    case EssayRecord::BlankPaper:
        EssayRecord::requireLayableLines(EssayRecord::textLines(essay.asString(u"LText")).size());
        for (const QString& line : memTemp.Lines(essay.asString(u"LText"))) {
            table.append();
            table.setInteger(u"NType", kind);
            table.setString(u"LText", line);
            table.post();
        }
        break;
    case EssayRecord::ScannedPages:
        for (; !essay.eof(); essay.next()) {
            table.append();
            table.setInteger(u"NType", essay.asInteger(u"NType"));
            table.setBytes(u"LImage", essay.asBytes(u"LImage"));
            table.post();
        }
        break;
    default:
        throw AppError(QStringLiteral("답안지의 종류(%1)를 알 수 없어 답안을 보여 줄 수 없습니다.").arg(kind));
    }
    table.first();
}

void TfrmTemp::RenderPage(DataSet& table, QImage& bitmap, int page, int ratio)
{
    const int kind = PaperKind(table);
    if (kind < EssayRecord::BlankPaper)
        RenderGridPage(table, bitmap, page, ratio);
    else if (kind == EssayRecord::BlankPaper)
        RenderTextPage(table, bitmap, page, ratio);
    else
        RenderImagePage(table, bitmap, page);
}

QImage TfrmTemp::RenderPrintPage(DataSet& table, int page)
{
    const int kind = PaperKind(table);
    if (kind < EssayRecord::BlankPaper)
        return GridPage(table, page, kPrintRatio);
    if (kind == EssayRecord::BlankPaper)
        return TextPage(table, page, kPrintRatio);
    return ImagePage(table, page);
}

void TfrmTemp::PaintLines(QImage& bitmap, QPoint origin, const QStringList& lines, const QFont& font,
                          int lineHeight) const
{
    QPainter painter(&bitmap);
    painter.setFont(font);
    painter.setPen(Qt::black);
    for (int i = 0; i < lines.size(); ++i)
        painter.drawText(QRect(origin.x() + kTextMargin, origin.y() + i * lineHeight, bitmap.width(), lineHeight),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, lines[i]);
}

void TfrmTemp::RenderTextPage(DataSet& table, QImage& bitmap, int page, int ratio)
{
    bitmap = TextPage(table, page, ratio);
}

QImage TfrmTemp::TextPage(DataSet& table, int page, int ratio) const
{
    QStringList lines;
    const int first = (page - 1) * kRowsPerPage;
    const int last = std::min(page * kRowsPerPage, table.recordCount());
    for (int row = std::max(first, 0); row < last; ++row) {
        table.moveTo(row);
        lines << table.asString(u"LText") << QStringLiteral(" ");
    }
    const int lineHeight = LineHeight();
    QImage picture = WhitePicture({memTemp.Width, 2 * kRowsPerPage * lineHeight + 10}, ratio);
    PaintLines(picture, {10, 10}, lines, memTemp.Font, lineHeight);
    return picture;
}

void TfrmTemp::RenderImagePage(DataSet& table, QImage& bitmap, int page)
{
    bitmap = ImagePage(table, page);
}

QImage TfrmTemp::ImagePage(DataSet& table, int page)
{
    table.moveTo(page - 1);
    const QImage image = Jpeg::decode(table.asBytes(u"LImage"));
    QImage picture = WhitePicture({image.width(), image.height() + 20});
    QPainter(&picture).drawImage(0, 10, image);
    return picture;
}

void TfrmTemp::RenderText(const QString& text, QImage& bitmap)
{
    const QStringList lines = Memo2.Lines(text);
    QImage picture = WhitePicture({Memo2.Width, LineHeight() * int(lines.size()) + 10});
    PaintLines(picture, {0, 0}, lines, Memo2.Font, QFontMetrics(Memo2.Font).height());
    bitmap = picture;
}

void TfrmTemp::RenderGridPage(DataSet& table, QImage& bitmap, int page, int ratio)
{
    bitmap = GridPage(table, page, ratio);
}

QImage TfrmTemp::GridPage(DataSet& table, int page, int ratio)
{
    const int rows = table.recordCount();
    grid.reset(std::max(rows, 1));
    // Only the page's own lines are filled: no other line is painted.
    const int top = (page - 1) * kRowsPerPage;
    const int bottom = std::min(top + kRowsPerPage, grid.lineCount());
    for (int line = std::max(top, 0); line < std::min(bottom, rows); ++line) {
        table.moveTo(line);
        for (int column = 1; column <= ManuscriptGrid::kStoredColumns; ++column)
            grid.setCell(line, column, table.asString(EssayRecord::lineField(column)));
    }

    // Past the last line the page stays white.
    QImage picture = WhitePicture(kGridPageSize, ratio);
    QPainter painter(&picture);
    painter.translate(kGridOrigin);
    const int lastLine = grid.lineCount() - 1;
    for (int line = std::max(top, 0); line < bottom; ++line) {
        const int y = (line - top) * kCellSize;
        DrawManuscriptCell(painter, QRect(0, y, kCounterWidth, kCellSize), 0, line, {}, line == lastLine);
        for (int column = 1; column < ManuscriptGrid::kColumnCount; ++column) {
            const QRect cell(kCounterWidth + (column - 1) * kCellSize, y, kCellSize, kCellSize);
            DrawManuscriptCell(painter, cell, column, line, grid.cell(line, column), line == lastLine);
        }
    }
    painter.end();
    return picture;
}

QList<TBoardTextLine> TfrmTemp::PageLines(DataSet& table, int page) const
{
    const int kind = PaperKind(table);
    if (kind == EssayRecord::ScannedPages)
        return {};
    QList<TBoardTextLine> lines;
    const int first = std::max((page - 1) * kRowsPerPage, 0);
    const int last = std::min(page * kRowsPerPage, table.recordCount());
    for (int row = first; row < last; ++row) {
        table.moveTo(row);
        const int i = row - first;
        TBoardTextLine line;
        if (kind == EssayRecord::BlankPaper) {
            line.Text = table.asString(u"LText");
            line.Rect = QRect(10 + kTextMargin, 10 + 2 * i * LineHeight(), memTemp.Width, LineHeight());
            const QFontMetrics metrics(memTemp.Font);
            for (qsizetype c = 0; c < line.Text.size(); ++c) {
                const int left = line.Rect.left() + metrics.horizontalAdvance(line.Text.left(c));
                line.Pieces.append(
                    {QRect(left, line.Rect.top(), metrics.horizontalAdvance(line.Text.at(c)), line.Rect.height()),
                     QString(line.Text.at(c))});
            }
        } else {
            for (int column = 1; column <= ManuscriptGrid::kStoredColumns; ++column) {
                const QString cell = table.asString(EssayRecord::lineField(column)).trimmed();
                line.Text += cell.isEmpty() ? QStringLiteral(" ") : cell;
                line.Pieces.append({QRect(kGridOrigin + QPoint(kCounterWidth + (column - 1) * kCellSize, i * kCellSize),
                                          QSize(kCellSize, kCellSize)),
                                    cell});
            }
            line.Rect = QRect(kGridOrigin + QPoint(kCounterWidth, i * kCellSize),
                              QSize(ManuscriptGrid::kStoredColumns * kCellSize, kCellSize));
        }
        while (!line.Text.isEmpty() && line.Text.back().isSpace())
            line.Text.chop(1);
        if (!line.Text.isEmpty())
            lines << line;
    }
    return lines;
}
