// The cost of one syllable typed in insert mode at the first cell of an essay: the engine
// alone, and the whole path through the writing frame (key event, cells, the paint of what
// changed) with and without the rule and spelling checks; the whole sheet painted; the
// character count run on every key release; and a full check of a 100-line essay.
#include "core/LaunchFields.h"
#include "document/EssayRecord.h"
#include "document/ManuscriptGrid.h"
#include "writing/CellEditorEngine.h"
#include "writing/ManuscriptRules.h"
#include "writing/SheetSnapshot.h"
#include "writing/SheetWords.h"
#include "writing/SpellChecker.h"
#include "writing/TSorEdit.h"
#include "writing/TfmeEditor.h"
#include "writing/WritingChecks.h"
#include "writing/WritingSession.h"

#include <QFile>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <map>

namespace {

// The host duty without widgets: the caret and the edit box as plain values.
class PlainHost : public CellEditorHost {
public:
    explicit PlainHost(ManuscriptGrid& grid) : grid_(grid), engine(grid, *this) {}
    CellPos caret() const override { return pos; }
    void setCaretColumn(int column) override { arrive({pos.line, column}); }
    void setCaretLine(int line) override { arrive({line, pos.column}); }
    void pageCaret(bool) override {}
    QString editText() const override { return text; }
    void setEditText(const QString& t) override { text = t; }
    void selectEditText() override { selected = true; }
    bool editHasSelection() const override { return selected && !text.isEmpty(); }
    int editCursor() const override { return int(text.size()); }
    void editInsert(const QString& t) override { text = selected ? t : text + t; }
    void editBackspace() override { text.chop(1); }
    void focusEdit() override {}
    void beep() override {}

    void arrive(CellPos p)
    {
        pos = p;
        engine.CellChanged();
        text = grid_.cell(p.line, p.column).trimmed();
        selected = true;
    }

    ManuscriptGrid& grid_;
    CellEditorEngine engine;
    CellPos pos{0, 1};
    QString text;
    bool selected = false;
};

// Every writing cell holds a syllable; the margins are empty.
void fillEssay(ManuscriptGrid& grid, int lines)
{
    grid.reset(lines);
    for (int line = 0; line < lines; ++line)
        for (int column = 1; column <= 20; ++column)
            grid.setCell(line, column, QString(QChar(0xAC00 + (line * 20 + column) % 11172)));
}

void BM_EngineSyllableAtFirstCell(benchmark::State& state)
{
    ManuscriptGrid grid;
    fillEssay(grid, int(state.range(0)));
    PlainHost host(grid);
    const QString syllable = QStringLiteral("한");
    for (auto _ : state) {
        host.arrive({0, 1});
        // An input method that clears its pre-edit before committing: one cell opened.
        host.engine.InputMethod({}, QStringLiteral("ㅎ"));
        host.engine.InputMethod({}, syllable);
        host.engine.InputMethod({}, {});
        host.engine.InputMethod(syllable, {});
        state.PauseTiming();
        host.engine.KeyPress(Qt::Key_End, {});  // ends the composition
        host.arrive({0, 1});
        host.engine.KeyPress(Qt::Key_Delete, {});  // the essay as it was
        state.ResumeTiming();
    }
    state.counters["cells"] = double(grid.lineCount() * 21);
}
BENCHMARK(BM_EngineSyllableAtFirstCell)->Arg(21)->Arg(1000)->Unit(benchmark::kMicrosecond);

// The frame set up for a student, its paper filled with `lines` full lines.
struct Frame {
    explicit Frame(int lines)
    {
        editor.resize(820, 565);
        editor.show();
        editor.SetupStudentRun(LaunchFields({"S001", "st", "pw", "0", "", "", "1", "제목", "0", "0"}), &title);
        fillEssay(editor.session().grid(), lines);
        edt->setFocus();
        QApplication::processEvents();
    }
    QLineEdit title;
    TfmeEditor editor{nullptr};
    TSorEdit* edt = editor.findChild<TSorEdit*>(QStringLiteral("edt"));
    QTableView* grid = editor.findChild<QTableView*>(QStringLiteral("grid"));
};

// What a keystroke costs until the screen shows it: the key press and release, then the
// event loop's turn that paints what they changed, as a window system would have it. The
// second argument: 1 with the checks on (as a student's run has them), 0 without.
void BM_WidgetSyllableWithRepaint(benchmark::State& state)
{
    Frame frame(int(state.range(0)));
    if (state.range(1) == 0)
        frame.editor.checks().Stop();
    QTableView* grid = frame.grid;
    TSorEdit* edt = frame.edt;
    const ManuscriptGrid& cells = frame.editor.session().grid();
    int counts = 0;
    QObject::connect(&frame.editor.session(), &WritingSession::Counted, [&counts] { ++counts; });
    for (auto _ : state) {
        state.PauseTiming();
        grid->setCurrentIndex(cells.index(0, 1));
        QApplication::processEvents();
        state.ResumeTiming();
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("한"));
        QApplication::sendEvent(edt, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QStringLiteral("한"));
        QApplication::sendEvent(edt, &release);
        QApplication::processEvents();
        state.PauseTiming();
        grid->setCurrentIndex(cells.index(0, 1));
        QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
        QApplication::sendEvent(edt, &del);
        QApplication::processEvents();
        state.ResumeTiming();
    }
    // Counts shown per keystroke (the Delete that restores the essay shows one more).
    state.counters["counts"] = benchmark::Counter(counts, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_WidgetSyllableWithRepaint)
    ->ArgsProduct({{21, 1000}, {0, 1}})
    ->ArgNames({"lines", "checks"})
    ->Unit(benchmark::kMicrosecond);

// The whole visible sheet painted again, as when the window is uncovered or scrolled.
void BM_GridFullRepaint(benchmark::State& state)
{
    Frame frame(int(state.range(0)));
    for (auto _ : state)
        frame.grid->viewport()->repaint();
}
BENCHMARK(BM_GridFullRepaint)->Arg(1000)->Unit(benchmark::kMicrosecond);

// The count after a keystroke changed one cell: no count kept from before may be reused.
void BM_CountOnKeyRelease(benchmark::State& state)
{
    WritingSession session;
    session.setInx(EssayRecord::Manuscript);
    fillEssay(session.grid(), int(state.range(0)));
    const QString syllables[] = {QStringLiteral("가"), QStringLiteral("나")};
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        session.grid().setCell(0, 1, syllables[++n % 2]);
        state.ResumeTiming();
        benchmark::DoNotOptimize(session.CountCharacters());
    }
}
BENCHMARK(BM_CountOnKeyRelease)->Arg(21)->Arg(1000)->Unit(benchmark::kMicrosecond);

// The course's sample essay laid out as a student writes it, a blank cell before each
// paragraph, and written again until it fills `lines` lines.
void fillSampleEssay(ManuscriptGrid& grid, int lines)
{
    QFile file(QStringLiteral(DZ_SAMPLE_ESSAY));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("the sample essay is missing");
    QStringList paragraphs = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    grid.reset(lines);
    int line = 0;
    for (int i = 0; line < lines; ++i) {
        const QString text = u' ' + paragraphs[i % paragraphs.size()].trimmed();
        for (qsizetype k = 0; k < text.size() && line < lines; ++line)
            for (int column = 1; column <= 20 && k < text.size(); ++column, ++k)
                grid.setCell(line, column, text[k] == u' ' ? QString() : QString(text[k]));
    }
}

// The rules over a 100-line essay, as the checking thread runs them.
void BM_FullCheckRules(benchmark::State& state)
{
    ManuscriptGrid grid;
    fillSampleEssay(grid, int(state.range(0)));
    const SheetSnapshot sheet = SheetSnapshot::of(grid);
    qsizetype found = 0;
    for (auto _ : state)
        found = ManuscriptRules::Check(sheet).size();
    state.counters["findings"] = double(found);
}
BENCHMARK(BM_FullCheckRules)->Arg(100)->Unit(benchmark::kMillisecond);

// Every word of a 100-line essay through the dictionary, none known from before: the
// first check of an essay just opened (the dictionary itself is read once per run).
void BM_FullCheckSpelling(benchmark::State& state)
{
    ManuscriptGrid grid;
    fillSampleEssay(grid, int(state.range(0)));
    const SheetSnapshot sheet = SheetSnapshot::of(grid);
    const SpellChecker speller(SpellChecker::defaultDictionary(), QString());
    if (!speller.available()) {
        state.SkipWithError(speller.problem().toStdString().c_str());
        return;
    }
    int wrong = 0;
    int words = 0;
    for (auto _ : state) {
        wrong = 0;
        const QList<SheetWord> all = SheetWords(sheet);
        words = int(all.size());
        for (const SheetWord& word : all)
            wrong += !speller.correct(word.text);
    }
    state.counters["words"] = words;
    state.counters["misspelt"] = wrong;
}
BENCHMARK(BM_FullCheckSpelling)->Arg(100)->Unit(benchmark::kMillisecond);

// What the student's thread spends on a check: the snapshot of the cells it hands over.
void BM_CheckSnapshot(benchmark::State& state)
{
    ManuscriptGrid grid;
    fillSampleEssay(grid, int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(SheetSnapshot::of(grid));
}
BENCHMARK(BM_CheckSnapshot)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

}

namespace {

// The console's output, then what the checks add to a keystroke, measured in the same run:
// the mean CPU time with them less the mean without, per sheet size (budget 0.1 ms).
class CheckCostReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                times_[run.benchmark_name()].push_back(run.GetAdjustedCPUTime());
        ConsoleReporter::ReportRuns(runs);
    }

    void printCheckCost() const
    {
        for (const char* lines : {"21", "1000"}) {
            const std::string name = std::string("BM_WidgetSyllableWithRepaint/lines:") + lines + "/checks:";
            const double on = mean(name + "1"), off = mean(name + "0");
            if (on > 0 && off > 0)
                std::printf("keystroke, %s lines: with the checks %.1f us, without %.1f us, they add %.1f us "
                            "(budget 100 us): %s\n",
                            lines, on, off, on - off, on - off <= 100 ? "within" : "OVER");
        }
    }

private:
    double mean(const std::string& name) const
    {
        const auto it = times_.find(name);
        if (it == times_.end() || it->second.empty())
            return 0;
        double sum = 0;
        for (double t : it->second)
            sum += t;
        return sum / double(it->second.size());
    }

    std::map<std::string, std::vector<double>> times_;
};

}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    CheckCostReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printCheckCost();
    benchmark::Shutdown();
    return 0;
}
