// The essay print of a 100-line manuscript essay: filling the print dataset and laying
// the report out, then also drawing its pages at screen size, against drawing the same
// cells and texts with QPainter alone.
#include "../records/RatioReporter.h"
#include "dataset/DataSet.h"
#include "document/ManuscriptGrid.h"
#include "print/EssayPrint.h"
#include "print/PrintDataSets.h"
#include "print/PrintTemplates.h"
#include "print/PrintVariables.h"
#include "report/ReportEngine.h"
#include "ui/TApplication.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPainter>

#include <cstdlib>

namespace {

constexpr int kLines = 100;
constexpr double kScreenScale = 96 / ReportUnits::kUnitsPerInch;  // the preview at 100 %

// The sample essay laid into cells, a new line at each paragraph, repeated to 100 lines.
void fill(ManuscriptGrid& grid)
{
    QFile file(QStringLiteral(DZ_SAMPLE_ESSAY));
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    const QString text = QString::fromUtf8(file.readAll());
    int line = 0, column = 1;
    for (qsizetype i = 0; line < kLines; i = (i + 1) % text.size()) {
        const QChar c = text.at(i);
        if (c == u'\n' || column > 20) {
            ++line;
            column = 1;
            if (c == u'\n')
                continue;
        }
        if (line < kLines && c != u'\r')
            grid.setCell(line, column++, QString(c));
    }
}

const ManuscriptGrid& essay()
{
    static ManuscriptGrid grid(kLines);
    static const bool filled = (fill(grid), true);
    Q_UNUSED(filled);
    return grid;
}

PreparedReport prepare(DataSet& print)
{
    EssayPrint::fillManuscript(print, essay());
    ReportTemplate report = PrintTemplates::load(PrintTemplates::kEssayPrint);
    EssayPrint::showBandFor(report, 1);
    const PrintVariables::Heading heading{
        QStringLiteral("우리 동네 도서관"), QStringLiteral("S1001"), {}, QDate(2024, 3, 5)};
    return PrepareReport(report, {{{QStringLiteral("cdPrint"), &print}}, [&heading](const QString& name) {
                                      return PrintVariables::essayValue(name, heading);
                                  }});
}

void BM_PreparePreview(benchmark::State& state)
{
    DataSet print(PrintDataSets::essayPrint());
    int pages = 0;
    for (auto _ : state) {
        const PreparedReport report = prepare(print);
        pages = report.pageCount();
        benchmark::DoNotOptimize(report.pages.data());
    }
    state.counters["pages"] = pages;
}

void BM_PrepareAndDrawPages(benchmark::State& state)
{
    DataSet print(PrintDataSets::essayPrint());
    for (auto _ : state) {
        const PreparedReport report = prepare(print);
        for (int p = 0; p < report.pageCount(); ++p) {
            const QImage page = report.renderPage(p, kScreenScale);
            benchmark::DoNotOptimize(page.constBits());
        }
    }
}

// The same pages drawn directly, as lean as hand-written code gets: per line 20 red boxes
// of 1-unit lines and 21 cell texts placed by the font's metrics, 24 lines to a page.
void BM_PlainPainterPages(benchmark::State& state)
{
    const ManuscriptGrid& grid = essay();
    const QFont font = ReportFontFor({QStringLiteral("굴림체"), 14, false, Qt::black});
    const QFontMetricsF metrics(font);
    const QSizeF paper = ReportUnits::paperSize(QPageSize(QPageSize::A4), QPageLayout::Portrait);
    constexpr int kPerPage = 24;
    for (auto _ : state) {
        for (int first = 0; first < kLines; first += kPerPage) {
            QImage page(qCeil(paper.width() * kScreenScale), qCeil(paper.height() * kScreenScale),
                        QImage::Format_RGB32);
            page.fill(Qt::white);
            QPainter painter(&page);
            painter.scale(kScreenScale, kScreenScale);
            painter.setFont(font);
            painter.setPen(Qt::black);
            for (int line = first; line < std::min(first + kPerPage, kLines); ++line) {
                const double top = 36 + 40 * (line - first) + 4;
                for (int n = 1; n <= 21; ++n) {
                    const double left = 72 + 30 * (n - 1);
                    if (n <= 20) {
                        painter.fillRect(QRectF(left, top, 1, 29), Qt::red);
                        painter.fillRect(QRectF(left, top, 31, 1), Qt::red);
                        painter.fillRect(QRectF(left + 30, top, 1, 29), Qt::red);
                        painter.fillRect(QRectF(left, top + 28, 31, 1), Qt::red);
                    }
                    const QString text = grid.cell(line, n);
                    const double width = metrics.horizontalAdvance(text);
                    const double x = n == 1 ? left + (30 - width) / 2 : left + 2;
                    painter.drawText(QPointF(x, top + 27 - metrics.descent()), text);
                }
            }
            painter.end();
            benchmark::DoNotOptimize(page.constBits());
        }
    }
}

}

BENCHMARK(BM_PreparePreview)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PrepareAndDrawPages)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainPainterPages)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio("BM_PrepareAndDrawPages", "BM_PlainPainterPages", 2.0);
    benchmark::Shutdown();
    return 0;
}
