// Opening a large essay in the teacher's run: the line table is built row by row from the
// record, then the first page is rendered. Both should grow in step with the lines.
#include "correction/TfmeTeacher.h"
#include "correction/TfrmTemp.h"
#include "document/CorrectionRecord.h"
#include "document/EssayRecord.h"

#include <benchmark/benchmark.h>

namespace {

// Every cell of `lines` manuscript lines holds a character: lines × 21 cells.
DataSet manuscript(int lines)
{
    DataSet essay(EssayRecord::fields());
    essay.append();
    essay.setInteger(u"NType", EssayRecord::Manuscript);
    for (int c = 1; c <= ManuscriptGrid::kStoredColumns; ++c)
        essay.setString(EssayRecord::lineField(c), QStringLiteral("가\r\n").repeated(lines));
    essay.post();
    return essay;
}

// `lines` short paragraphs of blank paper.
DataSet blankPaper(int lines)
{
    DataSet essay(EssayRecord::fields());
    EssayRecord::writeBlankPaper(essay, QStringLiteral("S1001"),
                                 QStringLiteral("도서관에서 읽은 책 이야기.\r\n").repeated(lines));
    return essay;
}

void BM_BuildLineTable(benchmark::State& state)
{
    CreateFrmTemp();
    DataSet essay = manuscript(int(state.range(0)));
    DataSet table(EssayRecord::fields());
    for (auto _ : state)
        frmTemp->BuildLineTable(essay, table);
    state.counters["cells"] = double(state.range(0) * ManuscriptGrid::kStoredColumns);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_BuildLineTable)->Arg(250)->Arg(500)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond)->Complexity();

// Posting rows one by one, as every line table and record load does: the view is extended,
// not rebuilt, so the cost per row stays the same however many there are.
void BM_PostRows(benchmark::State& state)
{
    DataSet table(EssayRecord::fields());
    for (auto _ : state) {
        table.emptyDataSet();
        for (int row = 0; row < state.range(0); ++row) {
            table.append();
            table.setString(u"L1", QStringLiteral("가"));
            table.post();
        }
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_PostRows)->Arg(10000)->Arg(20000)->Arg(40000)->Unit(benchmark::kMillisecond)->Complexity();

// The teacher's run opening the essay: line table, page list and first page.
void openInTeacherRun(benchmark::State& state, DataSet (*make)(int))
{
    const DataSet essay = make(int(state.range(0)));
    for (auto _ : state) {
        TfmeTeacher frame(nullptr);
        frame.resize(1000, 690);
        DataSet copy;
        copy.copyFrom(essay);
        frame.LoadCorrection(std::move(copy), DataSet(CorrectionRecord::fields()));
    }
}

void BM_OpenManuscript(benchmark::State& state)
{
    openInTeacherRun(state, manuscript);
    state.counters["cells"] = double(state.range(0) * ManuscriptGrid::kStoredColumns);
}
BENCHMARK(BM_OpenManuscript)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_OpenBlankPaper(benchmark::State& state)
{
    openInTeacherRun(state, blankPaper);
}
BENCHMARK(BM_OpenBlankPaper)->Arg(1000)->Unit(benchmark::kMillisecond);

}
