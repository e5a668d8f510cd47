// The recovery journal: one write of a 1,000-line essay and of a 20-page correction with 50
// marks a page (snapshot, packet, atomic file), and what a keystroke pays for the journal:
// the same cell change with and without a journal following the session.
#include "CorrectionWorkload.h"
#include "correction/CorrectionJournal.h"
#include "correction/TfmeTeacher.h"
#include "document/CorrectionRecord.h"
#include "document/ManuscriptGrid.h"
#include "ui/TApplication.h"
#include "writing/WritingJournal.h"
#include "writing/WritingSession.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// A 1,000-line manuscript with a syllable in every writing cell, shown and edited.
void fillEssay(WritingSession& session)
{
    session.ReadLaunchFields(LaunchFields({"S001", "S1001", "pw", "0", "LK1", "", "1", "제목", "0", "0"}));
    session.setInx(1);
    session.ShowEssay();
    ManuscriptGrid& grid = session.grid();
    grid.setLineCount(1000);
    const QString syllables = QStringLiteral("가나다라마바사아자차카타파하");
    for (int column = ManuscriptGrid::kFirstCellColumn; column <= ManuscriptGrid::kLastCellColumn; ++column) {
        QStringList texts;
        for (int line = 0; line < 1000; ++line)
            texts.append(syllables.at((line + column) % syllables.size()));
        grid.setColumn(column, texts);
    }
    session.setMemo(QStringLiteral("백지에 쓴 글"));
}

void BM_WritingJournalWrite(benchmark::State& state)
{
    WritingSession session;
    fillEssay(session);
    WritingJournal journal(session);
    journal.keeper().start();
    for (auto _ : state) {
        journal.keeper().markDirty();
        journal.keeper().flush();
    }
    state.counters["bytes"] = double(journal.keeper().file().read()->size());
}
BENCHMARK(BM_WritingJournalWrite)->Unit(benchmark::kMillisecond);

void BM_CorrectionJournalWrite(benchmark::State& state)
{
    TfmeTeacher frame(nullptr);
    frame.Session().ReadTeacherFields(LaunchFields({"T001", "T1", "pw", "0", "LK1", "S1", "", "", "1", "제목", ""}));
    DataSet correction(CorrectionRecord::fields());
    CorrectionWorkload::FillCorrection(correction);
    frame.LoadCorrection(CorrectionWorkload::Essay(), std::move(correction));
    frame.Journal().keeper().start();
    for (auto _ : state) {
        frame.Journal().keeper().markDirty();
        frame.Journal().keeper().flush();
    }
    state.counters["bytes"] = double(frame.Journal().keeper().file().read()->size());
}
BENCHMARK(BM_CorrectionJournalWrite)->Unit(benchmark::kMillisecond);

// A typed syllable changes one cell; the journal only hears of it.
void keystrokes(benchmark::State& state, bool withJournal)
{
    WritingSession session;
    fillEssay(session);
    std::unique_ptr<WritingJournal> journal;
    if (withJournal) {
        journal = std::make_unique<WritingJournal>(session);
        journal->keeper().start();
    }
    int n = 0;
    for (auto _ : state)
        session.grid().setCell(500, 5, (++n & 1) ? QStringLiteral("봄") : QStringLiteral("날"));
}

void BM_KeystrokeWithoutJournal(benchmark::State& state)
{
    keystrokes(state, false);
}
BENCHMARK(BM_KeystrokeWithoutJournal)->Unit(benchmark::kMicrosecond);

void BM_KeystrokeWithJournal(benchmark::State& state)
{
    keystrokes(state, true);
}
BENCHMARK(BM_KeystrokeWithJournal)->Unit(benchmark::kMicrosecond);

}

int main(int argc, char** argv)
{
    const QTemporaryDir appData;
    qputenv("XDG_DATA_HOME", appData.path().toLocal8Bit());
    TApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
