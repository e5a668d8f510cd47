#include "CorrectionWorkload.h"
#include "board/SorBoard.h"
#include "correction/TfmeTeacher.h"
#include "correction/TfrmTemp.h"
#include "document/CorrectionRecord.h"

#include <QComboBox>
#include <benchmark/benchmark.h>

namespace {

using namespace CorrectionWorkload;

struct Correction {
    Correction() : frame(nullptr)
    {
        frame.resize(1000, 690);
        frame.show();
        DataSet correction(CorrectionRecord::fields());
        FillCorrection(correction);
        frame.LoadCorrection(Essay(), std::move(correction));
    }
    TfmeTeacher frame;
    QComboBox* cmbList = frame.findChild<QComboBox*>(QStringLiteral("cmbList"));
    TSorBoard* Board = static_cast<TSorBoard*>(frame.findChild<QWidget*>(QStringLiteral("Board")));
};

// The change of page as a click on the page list makes it: the page left is stored, the
// next rendered, its marks restored and the board repainted.
void BM_PageChange(benchmark::State& state)
{
    Correction c;
    if (c.cmbList->count() != kPages || c.Board->Items().Count() != kMarksPerPage)
        state.SkipWithError("the essay does not have 20 pages of 50 marks");
    int page = 0;
    for (auto _ : state) {
        page = (page + 7) % 20;
        c.cmbList->setCurrentIndex(page);
        c.frame.cmbListChange(page);
        c.Board->repaint();
    }
}
BENCHMARK(BM_PageChange)->Unit(benchmark::kMillisecond);

// The manuscript page alone, for comparison.
void BM_RenderGridPage(benchmark::State& state)
{
    Correction c;
    QImage page;
    int n = 0;
    for (auto _ : state) {
        n = (n + 7) % 20;
        frmTemp->RenderGridPage(c.frame.Session().cdTempEditor, page, n + 1);
    }
}
BENCHMARK(BM_RenderGridPage)->Unit(benchmark::kMillisecond);

}  // namespace
