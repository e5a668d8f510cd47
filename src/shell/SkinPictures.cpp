#include "shell/SkinPictures.h"

#include "ui/Fonts.h"
#include "ui/ScreenPixmap.h"

#include <QLinearGradient>
#include <QPainter>

namespace SkinPictures {

namespace {
const QColor kDeepOrange(232, 118, 20);
const QColor kLightOrange(255, 196, 120);

QPixmap gradient(QSize size, QPointF from, QPointF to, QColor a, QColor b)
{
    QPixmap pixmap(size);
    QPainter p(&pixmap);
    QLinearGradient g(from, to);
    g.setColorAt(0, a);
    g.setColorAt(1, b);
    p.fillRect(pixmap.rect(), g);
    return pixmap;
}

QPixmap glyphSquare(const std::function<void(QPainter&)>& mark)
{
    QPixmap pixmap = ScreenPixmap({15, 15});
    pixmap.fill(kDeepOrange);
    QPainter p(&pixmap);
    p.setPen(QPen(Qt::white, 1));
    p.drawRect(0, 0, 14, 14);
    p.setPen(QPen(Qt::white, 2));
    mark(p);
    return pixmap;
}
}

QPixmap topStrip()
{
    return gradient({818, 34}, {0, 0}, {818, 0}, kDeepOrange, kLightOrange);
}

QPixmap leftBorder()
{
    return gradient({9, 585}, {0, 0}, {9, 0}, kLightOrange, kDeepOrange);
}

QPixmap rightBorder()
{
    return gradient({9, 585}, {0, 0}, {9, 0}, kDeepOrange, kLightOrange);
}

QPixmap bottomBorder()
{
    return gradient({818, 9}, {0, 0}, {0, 9}, kDeepOrange, kLightOrange);
}

QPixmap minimiseGlyph()
{
    return glyphSquare([](QPainter& p) { p.drawLine(4, 10, 10, 10); });
}

QPixmap closeGlyph()
{
    return glyphSquare([](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing);
        p.drawLine(4, 4, 10, 10);
        p.drawLine(10, 4, 4, 10);
    });
}

QPixmap logo()
{
    QPixmap pixmap = ScreenPixmap({43, 20});
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(0, 0, 43, 20, 6, 6);
    p.setPen(kDeepOrange);
    QFont font = GulimcheFont(13, true);
    p.setFont(font);
    p.drawText(QRect(0, 0, 43, 20), Qt::AlignCenter, QStringLiteral("글방"));
    return pixmap;
}

QPixmap titleCaption()
{
    QPixmap pixmap = ScreenPixmap({35, 19});
    pixmap.fill(QColor(255, 237, 201));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kDeepOrange);
    p.drawEllipse(QPointF(3.5, 9.5), 2.5, 2.5);
    p.setPen(QColor(90, 60, 20));
    p.setFont(GulimcheFont(12, true));
    p.drawText(QRect(8, 0, 27, 19), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("제목"));
    return pixmap;
}

}
