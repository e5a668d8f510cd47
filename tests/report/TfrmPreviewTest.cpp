#include "ReportTestSupport.h"
#include "dataset/DataSet.h"
#include "report/ReportEngine.h"
#include "report/ReportPrinting.h"
#include "report/TfrmPreview.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPrinter>
#include <QRegularExpression>
#include <QScrollArea>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Rows of 400 units with a red framed box: two to a sheet.
PreparedReport redBoxes(int rows)
{
    DataSet data({{QStringLiteral("T"), FieldType::Memo, 0}});
    for (int i = 0; i < rows; ++i) {
        data.append();
        data.setString(u"T", QString::number(i + 1));
        data.post();
    }
    const ReportTemplate report = TestTemplate(QStringLiteral(
        R"({"name": "MasterData1", "kind": "masterData", "dataset": "A", "height": 400, "objects": [
             {"name": "Box", "kind": "memo", "x": 72, "y": 4, "width": 300, "height": 300, "text": "[A.\"T\"]",
              "frame": {"sides": ["left", "top", "right", "bottom"], "color": "#FF0000"}}]})"));
    return PrepareReport(report, {{{"A", &data}}, {}});
}

int pdfPages(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    return int(QString::fromLatin1(file.readAll()).count(page));
}

}

TEST(TfrmPreview, NavigatesPagesWithinTheReport)
{
    TfrmPreview preview(redBoxes(5));
    ASSERT_EQ(preview.pageCount(), 3);
    auto* label = preview.findChild<QLabel*>();
    auto* next = preview.findChild<QAction*>(QStringLiteral("actNext"));
    auto* prior = preview.findChild<QAction*>(QStringLiteral("actPrior"));
    EXPECT_EQ(preview.currentPage(), 0);
    EXPECT_EQ(label->text().trimmed(), QStringLiteral("1 / 3"));
    EXPECT_FALSE(prior->isEnabled());
    next->trigger();
    next->trigger();
    EXPECT_EQ(preview.currentPage(), 2);
    EXPECT_FALSE(next->isEnabled());
    preview.showPage(7);
    EXPECT_EQ(preview.currentPage(), 2);
    preview.findChild<QAction*>(QStringLiteral("actFirst"))->trigger();
    EXPECT_EQ(preview.currentPage(), 0);
    EXPECT_EQ(label->text().trimmed(), QStringLiteral("1 / 3"));
}

TEST(TfrmPreview, PageViewShowsThePageAtTheZoom)
{
    TfrmPreview preview(redBoxes(1));
    preview.resize(900, 900);
    preview.show();
    for (double zoom : {1.0, 2.0}) {
        preview.setZoom(zoom);
        QWidget* view = preview.findChild<QScrollArea*>()->widget();
        const double ppu = preview.pixelsPerUnit();
        EXPECT_NEAR(ppu, zoom * view->logicalDpiX() / 91.6256, 1e-9);
        EXPECT_GE(view->width(), int(757 * ppu));
        const QImage image = view->grab().toImage();
        // The paper starts 12 pixels in; the box's left line lies at x 72, y 40 to 340.
        const int x = 12 + int(72 * ppu + 0.5), y = 12 + int(200 * ppu);
        bool red = false;
        for (int dx = -1; dx <= 1; ++dx)
            red = red || image.pixel(x + dx, y) == qRgb(255, 0, 0);
        EXPECT_TRUE(red) << zoom;
        EXPECT_EQ(image.pixel(12 + int(40 * ppu), y), qRgb(255, 255, 255)) << zoom;
    }
}

TEST(TfrmPreview, SavesEveryPageAsPdf)
{
    QTemporaryDir dir;
    TfrmPreview preview(redBoxes(5));
    const QString path = dir.filePath(QStringLiteral("essay.pdf"));
    preview.saveAsPdf(path);
    EXPECT_EQ(pdfPages(path), 3);
    const QString message = ErrorOf([&] { preview.saveAsPdf(dir.filePath(QStringLiteral("missing/x.pdf"))); });
    EXPECT_TRUE(message.contains(QStringLiteral("missing/x.pdf"))) << message.toStdString();
}

TEST(TfrmPreview, PrintsThePagesChosenWithProgress)
{
    QTemporaryDir dir;
    TfrmPreview preview(redBoxes(5));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("range.pdf")));
    printer.setFromTo(2, 3);
    EXPECT_TRUE(preview.printTo(printer));
    EXPECT_EQ(pdfPages(printer.outputFileName()), 2);

    QList<int> told;
    QPrinter stopped(QPrinter::HighResolution);
    stopped.setOutputFormat(QPrinter::PdfFormat);
    stopped.setOutputFileName(dir.filePath(QStringLiteral("stopped.pdf")));
    EXPECT_FALSE(PrintReport(preview.report(), stopped, [&](int page, int count) {
        told << page << count;
        return page < 1;
    }));
    EXPECT_EQ(told, QList<int>({0, 3, 1, 3}));
}

TEST(TfrmPreview, ShowReportPreviewOpensAWindowThatGoesWhenClosed)
{
    QPointer<TfrmPreview> window = ShowReportPreview(redBoxes(1), QStringLiteral("원고 출력"));
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("원고 출력"));
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

TEST(TfrmPreview, PdfNameComesFromTheTitleAndTheDate)
{
    const QDate day(2024, 5, 2);
    EXPECT_EQ(TfrmPreview::PdfFileName(QStringLiteral("봄 \"감상\"  문"), day),
              QStringLiteral("봄 _감상_ 문 2024-05-02.pdf"));
    EXPECT_EQ(TfrmPreview::PdfFileName(QStringLiteral("../a/b:c"), day), QStringLiteral(".._a_b_c 2024-05-02.pdf"));
    EXPECT_EQ(TfrmPreview::PdfFileName(QString(), day), QStringLiteral("2024-05-02.pdf"));
}
