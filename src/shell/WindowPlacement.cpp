#include "shell/WindowPlacement.h"

#include <algorithm>

namespace WindowPlacement {

QSize Fit(QSize wanted, const QRect& available)
{
    if (available.isEmpty())
        return wanted;
    return wanted.boundedTo(available.size());
}

QPoint Place(QSize size, const QRect& available)
{
    if (available.isEmpty())
        return {};
    const QPoint centred = available.center() - QRect(QPoint(), size).center();
    // A window larger than the area keeps its top-left corner on it: the close button and
    // the top strip stay reachable.
    return {
        std::clamp(centred.x(), available.left(), std::max(available.left(), available.right() - size.width() + 1)),
        std::clamp(centred.y(), available.top(), std::max(available.top(), available.bottom() - size.height() + 1))};
}

}
