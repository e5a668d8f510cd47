#include "correction/ErrorHistoryPrint.h"

#include "core/AppError.h"
#include "correction/ErrorHistoryChart.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace {

// The page is laid out at this width and scaled to the paper's.
constexpr int kPageWidth = 720;
constexpr int kHeadingHeight = 40;

}

void PrintErrorHistory(QPagedPaintDevice& device, const ErrorHistory& history, const QString& heading)
{
    QPainter painter(&device);
    if (!painter.isActive())
        throw AppError(QStringLiteral("오류 통계를 인쇄할 수 없습니다. 프린터를 확인하고 다시 시도하십시오"));
    const double scale = double(device.width()) / kPageWidth;
    painter.scale(scale, scale);
    const int pageHeight = int(device.height() / scale);
    const int perPage =
        std::max(1, (pageHeight - kHeadingHeight - ErrorHistoryChart::kHeaderHeight) / ErrorHistoryChart::kRowHeight);
    const int rows = int(history.kinds().size());
    for (int first = 0; first == 0 || first < rows; first += perPage) {
        if (first > 0)
            device.newPage();
        QFont font = painter.font();
        font.setPixelSize(18);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QRect(0, 0, kPageWidth, kHeadingHeight), Qt::AlignLeft | Qt::AlignVCenter, heading);
        const int shown = std::min(perPage, rows - first);
        ErrorHistoryChart::paint(painter,
                                 QRect(0, kHeadingHeight, kPageWidth, ErrorHistoryChart::heightFor(std::max(shown, 0))),
                                 history, first, perPage);
    }
}
