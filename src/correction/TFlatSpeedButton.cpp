#include "correction/TFlatSpeedButton.h"

#include <QKeyEvent>

#include <limits>

TFlatSpeedButton::TFlatSpeedButton(QWidget* parent) : QToolButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractButton::toggled, this,
            [this](bool chosen) { setFocusPolicy(chosen ? Qt::TabFocus : Qt::NoFocus); });
}

void TFlatSpeedButton::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (TFlatSpeedButton* next = Neighbour(event->key()))
            next->setFocus(Qt::OtherFocusReason);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        click();
        return;
    default:
        QToolButton::keyPressEvent(event);
    }
}

TFlatSpeedButton* TFlatSpeedButton::Neighbour(int key) const
{
    const QPoint from = geometry().center();
    TFlatSpeedButton* best = nullptr;
    int bestScore = std::numeric_limits<int>::max();
    for (auto* other : parentWidget()->findChildren<TFlatSpeedButton*>(Qt::FindDirectChildrenOnly)) {
        if (other == this || other->isHidden() || !other->isEnabled())
            continue;
        const QPoint d = other->geometry().center() - from;
        const bool horizontal = key == Qt::Key_Left || key == Qt::Key_Right;
        const int along = horizontal ? d.x() : d.y();
        const int across = horizontal ? d.y() : d.x();
        const bool ahead = key == Qt::Key_Left || key == Qt::Key_Up ? along < 0 : along > 0;
        // The same row or column first, then the nearest.
        const int score = std::abs(along) + 8 * std::abs(across);
        if (ahead && score < bestScore) {
            best = other;
            bestScore = score;
        }
    }
    return best;
}
