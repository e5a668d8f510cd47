#include "correction/TeacherPictures.h"

#include "board/BoardItem.h"
#include "board/TCanvas.h"
#include "ui/Fonts.h"
#include "ui/ScreenPixmap.h"

#include <QPainter>
#include <QPolygon>

namespace TeacherPictures {

QPixmap Word(const QString& word, QSize size, QColor fill, QColor text)
{
    QPixmap picture = ScreenPixmap(size);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(fill.darker(130));
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 3, 3);
    painter.setPen(text);
    painter.setFont(GulimcheFont(std::min(13, size.height() - 6), true));
    painter.drawText(QRect(QPoint(), size), Qt::AlignCenter, word);
    return picture;
}

QPixmap Tool(TDrawTool tool, int size)
{
    // Marks are drawn at the size a teacher places them, then scaled to the button.
    constexpr int kDrawn = 44;
    QImage surface(kDrawn, kDrawn, QImage::Format_RGB32);
    surface.fill(Qt::white);
    if (tool == dtSelect) {
        QPainter painter(&surface);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::black, 2));
        painter.setBrush(Qt::white);
        painter.drawPolygon(QPolygon({{14, 6}, {14, 36}, {21, 29}, {27, 40}, {31, 38}, {25, 27}, {34, 27}}));
    } else {
        TCanvas canvas(surface);
        TBoardItem item;
        item.SetBounds(8, 8, kDrawn - 8, kDrawn - 8);
        item.SetDrawTool(tool);
        if (tool == dtText)
            item.SetStrings(QStringLiteral("글"));
        if (tool == dtNumber)
            item.SetStrings(QStringLiteral("(1)"));
        item.Draw(canvas);
    }
    // Scaled to the button's device pixels, not its logical ones: sharp on a scaled screen.
    const qreal ratio = ScreenPixelRatio();
    const int pixels = qRound(size * ratio);
    QPixmap picture =
        QPixmap::fromImage(surface.scaled(pixels, pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    picture.setDevicePixelRatio(ratio);
    return picture;
}

}
