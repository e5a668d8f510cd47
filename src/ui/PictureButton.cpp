#include "ui/PictureButton.h"

#include <QMouseEvent>

PictureButton::PictureButton(const QPixmap& picture, const QString& word, QWidget* parent) : QLabel(parent)
{
    setPixmap(picture);
    setFixedSize(picture.size());
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(word);
    setToolTip(word);
}

void PictureButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
