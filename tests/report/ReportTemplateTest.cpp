#include "ReportTestSupport.h"
#include "report/ReportExpression.h"
#include "report/ReportTemplate.h"

#include <gtest/gtest.h>

namespace {

const char* const kCell =
    R"({"name": "Memo4", "kind": "memo", "x": 72, "y": 4, "width": 30, "height": 28,
        "text": "[cdPrint.\"L1\"]", "font": {"family": "굴림체", "points": 14},
        "align": "center", "valign": "bottom",
        "frame": {"sides": ["left", "top", "right", "bottom"], "color": "#FF0000"}})";

}

TEST(ReportTemplate, ReadsBandsObjectsAndTheirProperties)
{
    ReportTemplate report =
        TestTemplate(QStringLiteral(
                         R"({"name": "MasterData1", "kind": "masterData", "dataset": "cdPrint", "height": 40,
            "objects": [%1]},
           {"name": "Summary", "kind": "reportSummary", "height": 20, "visible": false})")
                         .arg(kCell));
    ASSERT_EQ(report.pages.size(), 1);
    const ReportPage& page = report.pages[0];
    EXPECT_EQ(page.margins, QMarginsF(36, 36, 36, 36));
    EXPECT_NEAR(page.size().width(), 757.6, 0.1);
    EXPECT_NEAR(page.size().height(), 1071.4, 0.1);
    ASSERT_EQ(page.bands.size(), 2);
    const ReportBand& band = page.bands[0];
    EXPECT_EQ(band.kind, ReportBand::Kind::MasterData);
    EXPECT_EQ(band.dataset, QStringLiteral("cdPrint"));
    EXPECT_EQ(band.height, 40);
    EXPECT_FALSE(page.bands[1].visible);
    const ReportObject& cell = band.objects.at(0);
    EXPECT_EQ(cell.box, QRectF(72, 4, 30, 28));
    EXPECT_EQ(cell.text, QStringLiteral("[cdPrint.\"L1\"]"));
    EXPECT_EQ(cell.font.family, QStringLiteral("굴림체"));
    EXPECT_EQ(cell.font.points, 14);
    EXPECT_EQ(cell.align, Qt::AlignHCenter | Qt::AlignBottom);
    EXPECT_EQ(cell.frame.sides, ReportFrame::Left | ReportFrame::Top | ReportFrame::Right | ReportFrame::Bottom);
    EXPECT_EQ(cell.frame.color, QColor(255, 0, 0));
}

TEST(ReportTemplate, FindsBandsAndObjectsWithoutRegardToCaseAndSkipsWhatIsMissing)
{
    ReportTemplate report =
        TestTemplate(QStringLiteral(
                         R"({"name": "MasterData1", "kind": "masterData", "dataset": "cdPrint", "height": 40,
            "objects": [%1]})")
                         .arg(kCell));
    EXPECT_EQ(report.findBand(0, u"masterdata1"), &report.pages[0].bands[0]);
    EXPECT_EQ(report.findObject(0, u"MEMO4"), &report.pages[0].bands[0].objects[0]);
    EXPECT_EQ(report.findBand(0, u"MasterData2"), nullptr);
    EXPECT_EQ(report.findBand(1, u"MasterData1"), nullptr);
    EXPECT_EQ(report.findObject(0, u"Memo5"), nullptr);
}

TEST(ReportTemplate, FaultsNameTheFileAndThePlace)
{
    struct Case {
        const char* json;
        const char* expected;  // besides the file name
    };
    const Case cases[] = {
        {R"({"pages": [{"paper": "A4", "bands": [{"name": "B", "kind": "masterData", "dataset": "1", "heigth": 20}]}]})",
         "pages[0].bands[0])"},
        {R"({"pages": [{"paper": "A4", "bands": [{"name": "B", "kind": "header", "height": 20}]}]})",
         "masterData, columnHeader"},
        {R"({"pages": [{"paper": "A4", "bands": [{"name": "B", "kind": "masterData", "dataset": "1", "height": 20,
             "objects": [{"name": "M", "kind": "memo", "x": 0, "y": 0, "frame": {"sides": ["left"], "color": "red"}}]}]}]})",
         "#RRGGBB"},
        {R"({"pages": [{"paper": "A4", "bands": [{"name": "B", "kind": "masterData", "dataset": "1", "height": 20,
             "objects": [{"name": "M", "kind": "memo", "x": 0, "y": 0, "text": "[p1"}]}]}]})",
         "objects[0].text"},
        {R"({"pages": [{"paper": "A4", "bands": [{"name": "B", "kind": "masterData", "dataset": "1", "height": 20,
             "objects": [{"name": "P", "kind": "picture", "x": 0, "y": 0, "text": "page [cdPrint.\"LImage\"]"}]}]}]})",
         "objects[0].text"},
        {R"({"pages": [{"paper": "A4", "bands": [{"name": "B", "kind": "reportSummary", "height": 20,
             "objects": [{"name": "S", "kind": "subReport", "x": 0, "y": 0, "page": 1}]}]}]})",
         "B.S"},
        {R"({"pages": [{"paper": "A4", "bands": [{"name": "B", "kind": "reportSummary", "height": 20,
             "objects": [{"name": "S", "kind": "subReport", "x": 0, "y": 0, "page": 3}]}]}]})",
         "B.S"},
        {R"({"pages": [{"paper": "A4", "bands": [{"name": "B", "kind": "masterData", "dataset": "1", "height": -4}]}]})",
         "bands[0].height"},
        {R"({"pages": [{"paper": "A4", "margins": {"left": 400, "right": 400}, "bands": []}]})", "margins"},
        {R"({"pages": [)", "글자"},
        {R"({"pages": []})", "pages"},
    };
    for (const Case& c : cases) {
        const QString message =
            ErrorOf([&] { ReportTemplate::fromJson(QByteArray(c.json), QStringLiteral("t.json")); });
        EXPECT_TRUE(message.contains(QStringLiteral("t.json"))) << c.json << "\n" << message.toStdString();
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.expected))) << c.json << "\n" << message.toStdString();
    }
}

TEST(ReportExpression, SplitsLiteralsFieldsAndVariables)
{
    const ReportExpression e = ReportExpression::parse(QStringLiteral("총점 [reportpoint] / [cdPrint . \"L1\"]점"));
    ASSERT_EQ(e.parts().size(), 5);
    EXPECT_EQ(e.parts()[0].text, QStringLiteral("총점 "));
    EXPECT_EQ(e.parts()[1].kind, ReportExpression::Part::Kind::Variable);
    EXPECT_EQ(e.parts()[1].text, QStringLiteral("reportpoint"));
    EXPECT_EQ(e.parts()[3].kind, ReportExpression::Part::Kind::Field);
    EXPECT_EQ(e.parts()[3].dataset, QStringLiteral("cdPrint"));
    EXPECT_EQ(e.parts()[3].text, QStringLiteral("L1"));
    EXPECT_EQ(e.parts()[4].text, QStringLiteral("점"));
    EXPECT_FALSE(e.isSingleField());
    EXPECT_TRUE(ReportExpression::parse(QStringLiteral("[cdPrint.\"LImage\"]")).isSingleField());
    EXPECT_FALSE(ErrorOf([] { ReportExpression::parse(QStringLiteral("a [] b")); }).isEmpty());
}
