#include "correction/ErrorHistoryChart.h"

#include "board/ProofMarks.h"

#include <QPainter>

#include <algorithm>

namespace {

int barStep(const QRect& area, const ErrorHistory& history)
{
    const int plot = area.width() - ErrorHistoryChart::kNameWidth - ErrorHistoryChart::kTotalWidth;
    const int essays = std::max<int>(1, int(history.essays().size()));
    return std::clamp(plot / essays, 2, ErrorHistoryChart::kMaxBarStep);
}

QRect rowRect(const QRect& area, int shownRow)
{
    return QRect(area.left(), area.top() + ErrorHistoryChart::kHeaderHeight + shownRow * ErrorHistoryChart::kRowHeight,
                 area.width(), ErrorHistoryChart::kRowHeight);
}

}

const QColor ErrorHistoryChart::kBarColour(0xd9, 0x82, 0x2b);

ErrorHistoryChart::ErrorHistoryChart(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("chtErrorStats"));
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
}

void ErrorHistoryChart::setHistory(const ErrorHistory& history)
{
    history_ = history;
    setMinimumHeight(heightFor(int(history_.kinds().size())));
    updateGeometry();
    update();
}

QSize ErrorHistoryChart::sizeHint() const
{
    const int essays = int(history_.essays().size());
    return {kNameWidth + kTotalWidth + std::max(essays, 8) * kMaxBarStep, heightFor(int(history_.kinds().size()))};
}

void ErrorHistoryChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paint(painter, rect(), history_);
}

QRect ErrorHistoryChart::barRect(const QRect& area, const ErrorHistory& history, int row, int essay, int first)
{
    const int largest = history.largest();
    const int count = history.count(essay, history.kinds().at(row));
    if (count == 0 || largest == 0)
        return {};
    const QRect strip = rowRect(area, row - first);
    const int step = barStep(area, history);
    const int maxHeight = kRowHeight - 14;
    const int height = std::max(1, count * maxHeight / largest);
    const int baseline = strip.bottom() - 5;
    const int left = area.left() + kNameWidth + essay * step + (step > 3 ? 1 : 0);
    return QRect(left, baseline - height + 1, std::max(1, step - (step > 3 ? 2 : 0)), height);
}

void ErrorHistoryChart::paint(QPainter& painter, const QRect& area, const ErrorHistory& history, int first, int count)
{
    const int rows = int(history.kinds().size());
    const int last = count < 0 ? rows : std::min(rows, first + count);
    const int essays = int(history.essays().size());
    const int step = barStep(area, history);
    const int plotLeft = area.left() + kNameWidth;
    const int plotRight = plotLeft + essays * step;

    painter.save();
    painter.fillRect(area, Qt::white);
    QFont font = painter.font();
    font.setPixelSize(13);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QRect header(area.left(), area.top(), area.width(), kHeaderHeight);
    painter.drawText(header.adjusted(4, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("첨삭 기호"));
    painter.drawText(QRect(plotLeft, header.top(), plotRight - plotLeft + 200, kHeaderHeight),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     essays == 0 ? QStringLiteral("첨삭을 받은 글이 없습니다")
                                 : QStringLiteral("글 1 - %1, 첨삭한 차례대로").arg(essays));
    painter.drawText(QRect(area.right() - kTotalWidth, header.top(), kTotalWidth - 4, kHeaderHeight),
                     Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("합계"));

    for (int row = first; row < last; ++row) {
        const QRect strip = rowRect(area, row - first);
        const TDrawTool kind = history.kinds().at(row);
        painter.setPen(QColor(0xe6, 0xdc, 0xcb));
        painter.drawLine(strip.left(), strip.top(), strip.right(), strip.top());
        painter.setPen(QColor(0x99, 0x99, 0x99));
        painter.drawLine(plotLeft, strip.bottom() - 4, plotRight, strip.bottom() - 4);
        painter.setPen(Qt::black);
        painter.drawText(strip.adjusted(4, 0, -(area.width() - kNameWidth) - 4, 0),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, ProofMarkName(kind));
        painter.drawText(QRect(area.right() - kTotalWidth, strip.top(), kTotalWidth - 4, strip.height()),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(history.total(kind)));
        for (int essay = 0; essay < essays; ++essay) {
            const QRect bar = barRect(area, history, row, essay, first);
            if (!bar.isEmpty())
                painter.fillRect(bar, kBarColour);
        }
    }
    painter.restore();
}
