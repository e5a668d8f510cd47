#pragma once

#include "board/BoardHost.h"
#include "board/BoardItems.h"
#include "board/TCanvas.h"

#include <QImage>

// A board without a window: two white pictures and counters for what the list asks of it.
class FakeBoard : public TBoardHost {
public:
    explicit FakeBoard(QSize size = QSize(300, 300))
        : screen(size, QImage::Format_RGB32), buffer(size, QImage::Format_RGB32)
    {
        screen.fill(Qt::white);
        buffer.fill(Qt::white);
    }

    TBoardItems& Items() override { return items; }
    void Redraw() override
    {
        if (items.UpdateCount() == 0)
            ++redraws;
    }
    TCanvas& Canvas() override { return canvas; }
    TCanvas& BufferCanvas() override { return bufferCanvas; }
    void Unselect() override { ++unselects; }

    QImage screen;
    QImage buffer;
    TCanvas canvas{screen};
    TCanvas bufferCanvas{buffer};
    TBoardItems items{this};
    int redraws = 0;
    int unselects = 0;
};
