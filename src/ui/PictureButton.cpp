#include "ui/PictureButton.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

PictureButton::PictureButton(const QPixmap& picture, const QString& word, QWidget* parent) : QAbstractButton(parent)
{
    setText(word);
    setAccessibleName(word);
    setToolTip(word);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setPixmap(picture);
}

void PictureButton::setPixmap(const QPixmap& picture)
{
    picture_ = picture;
    setFixedSize(sizeHint());
    update();
}

void PictureButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (isEnabled()) {
        painter.drawPixmap(0, 0, picture_);
    } else {
        QStyleOption option;
        option.initFrom(this);
        painter.drawPixmap(0, 0, style()->generatedIconPixmap(QIcon::Disabled, picture_, &option));
    }
    if (isChecked()) {
        // Pressed in: darker, with a dark edge, whatever the picture's colours.
        painter.fillRect(rect(), QColor(0, 0, 0, 40));
        painter.setPen(QPen(QColor(96, 48, 16), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
    if (hasFocus()) {
        // Two pixels of dark blue inside the edge: seen on every face the pictures have.
        painter.setPen(QPen(QColor(0, 64, 160), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
}

void PictureButton::keyPressEvent(QKeyEvent* event)
{
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            click();
            return;
        }
    }
    QAbstractButton::keyPressEvent(event);
}
