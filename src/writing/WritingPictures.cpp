#include "writing/WritingPictures.h"

#include "ui/Fonts.h"
#include "ui/ScreenPixmap.h"

#include <QLinearGradient>
#include <QPainter>

namespace WritingPictures {

QPixmap wordButton(const QString& word, int width, int height)
{
    QPixmap pixmap = ScreenPixmap({width, height});
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient face(0, 0, 0, height);
    face.setColorAt(0, QColor(255, 250, 238));
    face.setColorAt(1, QColor(242, 196, 120));
    p.setBrush(face);
    p.setPen(QPen(QColor(176, 112, 40), 1));
    p.drawRoundedRect(QRectF(0.5, 0.5, width - 1, height - 1), 4, 4);
    p.setFont(GulimcheFont(height > 20 ? 13 : 12, true));
    p.setPen(QColor(96, 48, 16));
    p.drawText(QRect(0, 0, width, height), Qt::AlignCenter, word);
    return pixmap;
}

QPixmap clock()
{
    QPixmap pixmap = ScreenPixmap({13, 14});
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(96, 21, 64), 1.2));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(0.6, 1.1, 11.8, 11.8));
    p.drawLine(QPointF(6.5, 7), QPointF(6.5, 3.5));
    p.drawLine(QPointF(6.5, 7), QPointF(9.2, 8.6));
    return pixmap;
}

}
