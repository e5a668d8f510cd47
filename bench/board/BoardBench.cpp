#include "board/SorBoard.h"

#include <QPainter>
#include <benchmark/benchmark.h>
#include <random>
#include <vector>

namespace {

// A page like the renderer's: white paper with a grid of manuscript cells and some text.
QImage Page()
{
    QImage page(650, 880, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    painter.setPen(QColor(0, 128, 0));
    for (int x = 20; x <= 630; x += 30)
        painter.drawLine(x, 20, x, 860);
    for (int y = 20; y <= 860; y += 28)
        painter.drawLine(20, y, 630, y);
    painter.setPen(Qt::black);
    for (int y = 40; y < 860; y += 28)
        painter.drawText(25, y, QStringLiteral("가나다라마바사아자차카타파하 essay 12"));
    return page;
}

// 500 items of every kind that has a palette button or comes from storage, with texts on
// about a third of them, spread over the page.
void Fill(TBoardItems& items, int count)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> x(0, 600), y(0, 840), w(20, 120), h(20, 60);
    for (int i = 0; i < count; ++i) {
        auto item = std::make_unique<TBoardItem>();
        const int left = x(random), top = y(random);
        item->SetBounds(left, top, left + w(random), top + h(random));
        item->SetDrawTool(TDrawTool(2 + i % 30));
        if (i % 3 == 0)
            item->SetStrings(QStringLiteral("고침"));
        if (i % 7 == 0)
            item->SetReportPoint(QStringLiteral("-3"));
        items.Add(std::move(item));
    }
}

void Board(TSorBoard& board, int count)
{
    board.Background() = Page();
    board.resize(650, 880);
    board.Items().BeginUpdate();
    Fill(board.Items(), count);
    board.Items().EndUpdate();
    board.Redraw();  // the first drawing settles the default texts
}

void BM_RedrawBackgroundOnly(benchmark::State& state)
{
    TSorBoard board;
    Board(board, 0);
    for (auto _ : state) {
        board.Redraw();
        benchmark::DoNotOptimize(board.Buffer().constBits());
    }
}
BENCHMARK(BM_RedrawBackgroundOnly)->Unit(benchmark::kMillisecond);

void BM_Redraw500Items(benchmark::State& state)
{
    TSorBoard board;
    Board(board, 500);
    for (auto _ : state) {
        board.Redraw();
        benchmark::DoNotOptimize(board.Buffer().constBits());
    }
}
BENCHMARK(BM_Redraw500Items)->Unit(benchmark::kMillisecond);

// The item under the mouse among 500: points spread over the page (most hit some item), and
// a point on no item, which tests every one of them.
void BM_ItemAt500(benchmark::State& state)
{
    TSorBoard board;
    Board(board, 500);
    const TBoardItems& items = board.Items();
    std::vector<QPoint> points;
    std::mt19937 random(11);
    std::uniform_int_distribution<int> x(0, 649), y(0, 879);
    for (int i = 0; i < 1024; ++i)
        points.emplace_back(x(random), y(random));
    if (state.range(0) == 1)
        points.assign(1, QPoint(-5, -5));
    size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(items.ItemAt(points[next]));
        next = (next + 1) % points.size();
    }
}
BENCHMARK(BM_ItemAt500)->ArgName("miss")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
