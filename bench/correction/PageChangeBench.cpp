#include "board/SorBoard.h"
#include "common/TApplication.h"
#include "correction/TfmeTeacher.h"
#include "correction/TfrmTemp.h"
#include "document/CorrectionRecord.h"
#include "document/EssayRecord.h"

#include <QComboBox>
#include <benchmark/benchmark.h>

namespace {

constexpr int kLines = 590;  // (590 div 30) + 1 = 20 pages
constexpr int kMarksPerPage = 50;

// A manuscript essay with a character in every cell and blanks in the margin.
void FillEssay(DataSet& essay)
{
    essay = DataSet(EssayRecord::fields());
    essay.append();
    essay.setInteger(u"NType", EssayRecord::Manuscript);
    for (int c = 1; c <= 21; ++c) {
        QString column;
        for (int line = 0; line < kLines; ++line)
            column += (c == 21 ? QString(u' ') : QString(QChar(0xAC00 + (line * 20 + c) % 11000))) + QStringLiteral("\r\n");
        essay.setString(EssayRecord::lineField(c), column);
    }
    essay.post();
}

// 50 marks of every kind on each page, a third with text, and a comment per page.
void FillCorrection(DataSet& correction)
{
    for (int page = 1; page <= 20; ++page) {
        QList<CorrectionRecord::MarkRow> marks;
        for (int i = 0; i < kMarksPerPage; ++i) {
            CorrectionRecord::MarkRow m;
            m.left = 40 + (i * 53) % 560;
            m.top = 10 + (i * 97) % 820;
            m.right = m.left + 30 + i % 60;
            m.bottom = m.top + 20 + i % 40;
            m.fontSize = 10;
            m.fontName = QStringLiteral("굴림체");
            m.drawTool = 2 + i % 30;
            m.strings = i % 3 == 0 ? QStringLiteral("고침") : QString();
            m.key = i;
            marks.append(m);
        }
        CorrectionRecord::storePage(correction, CorrectionRecord::pageKey(page), marks,
                                    QStringLiteral("%1쪽: 문단을 나누어 보세요.\r\n").arg(page));
    }
}

struct Correction {
    Correction() : frame(nullptr)
    {
        frame.resize(1000, 690);
        frame.show();
        FillEssay(frame.cdEditor);
        FillCorrection(frame.cdTeacher);
        frame.LoadCorrection();
    }
    TfmeTeacher frame;
};

// The change of page as a click on the page list makes it: the page left is stored, the
// next rendered, its marks restored and the board repainted.
void BM_PageChange(benchmark::State& state)
{
    Correction c;
    if (c.frame.cmbList->count() != 20 || c.frame.Board->Items().Count() != kMarksPerPage)
        state.SkipWithError("the essay does not have 20 pages of 50 marks");
    int page = 0;
    for (auto _ : state) {
        page = (page + 7) % 20;
        c.frame.cmbList->setCurrentIndex(page);
        c.frame.cmbListChange(page);
        c.frame.Board->repaint();
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
        frmTemp->RenderGridPage(c.frame.cdTempEditor, page, n + 1);
    }
}
BENCHMARK(BM_RenderGridPage)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
