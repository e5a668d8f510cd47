#include "ReportTestSupport.h"
#include "dataset/DataSet.h"
#include "report/ReportEngine.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace {

constexpr double kPageBottom = 1071.4 - 36;  // A4 less the bottom margin

DataSet textRows(const QStringList& values)
{
    DataSet data({{QStringLiteral("T"), FieldType::Memo, 0}, {QStringLiteral("P"), FieldType::Picture, 0}});
    for (const QString& value : values) {
        data.append();
        data.setString(u"T", value);
        data.post();
    }
    return data;
}

QString memo(const QString& name, const QString& text, const QString& extra = {}, int width = 300)
{
    return QStringLiteral(R"({"name": "%1", "kind": "memo", "x": 40, "y": 0, "width": %4, "height": 20,
                              "text": "%2"%3})")
        .arg(name, text, extra.isEmpty() ? QString() : ", " + extra)
        .arg(width);
}

QString band(const QString& name, const QString& kind, double height, const QString& objects,
             const QString& dataset = {})
{
    const QString data = dataset.isEmpty() ? QString() : QStringLiteral(R"("dataset": "%1", )").arg(dataset);
    return QStringLiteral(R"({"name": "%1", "kind": "%2", %3"height": %4, "objects": [%5]})")
        .arg(name, kind, data)
        .arg(height)
        .arg(objects);
}

QByteArray png(const QSize& size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

}

TEST(ReportEngine, MasterDataPrintsEachRowInOrderAndBandsInTemplateOrder)
{
    DataSet a = textRows({"a1", "a2", "a3"});
    DataSet b = textRows({"b1"});
    const ReportTemplate report = TestTemplate(band("MA", "masterData", 20, memo("M1", R"([A.\"T\"])"), "A") + ","
                                               + band("MB", "masterData", 30, memo("M2", R"(<[B.\"T\"] [v]>)"), "B")
                                               + "," + band("Once", "masterData", 20, memo("M3", "once [v]"), "1"));
    QStringList asked;
    const PreparedReport prepared = PrepareReport(report, {{{"A", &a}, {"b", &b}}, [&](const QString& name) {
                                                               asked << name;
                                                               return QStringLiteral("V");
                                                           }});
    ASSERT_EQ(prepared.pageCount(), 1);
    const QList<ReportTextLine> lines = TextLines(prepared.pages[0]);
    EXPECT_EQ(Texts(prepared.pages[0]), QStringList({"a1", "a2", "a3", "<b1 V>", "once V"}));
    const double tops[] = {36, 56, 76, 96, 126};
    for (int i = 0; i < 5; ++i)
        EXPECT_NEAR(lines[i].box.top(), tops[i] + 1, 0.01) << i;  // 1 unit of inset
    EXPECT_EQ(asked, QStringList({"v", "v"}));
}

TEST(ReportEngine, AMissingDatasetFieldOrValueHandlerIsAnErrorNamingIt)
{
    DataSet a = textRows({"a1"});
    const ReportTemplate fields = TestTemplate(band("MA", "masterData", 20, memo("M1", R"([A.\"X\"])"), "A"));
    EXPECT_TRUE(ErrorOf([&] { PrepareReport(fields, {{{"A", &a}}, {}}); }).contains(QStringLiteral("'X'")));
    EXPECT_TRUE(ErrorOf([&] { PrepareReport(fields, {}); }).contains(QStringLiteral("\"A\"")));
    const ReportTemplate variable = TestTemplate(band("O", "masterData", 20, memo("M1", "[p1]"), "1"));
    EXPECT_TRUE(ErrorOf([&] { PrepareReport(variable, {}); }).contains(QStringLiteral("[p1]")));
}

TEST(ReportEngine, HiddenBandsAndObjectsPrintNothing)
{
    DataSet a = textRows({"a1", "a2"});
    ReportTemplate report = TestTemplate(
        band("MasterData1", "masterData", 20, memo("M1", R"([A.\"T\"])"), "A") + ","
        + band("MasterData2", "masterData", 20, memo("Shown", R"(2:[A.\"T\"])") + "," + memo("Hidden", "hidden"), "A"));
    report.findBand(0, u"MasterData1")->visible = false;
    report.findObject(0, u"Hidden")->visible = false;
    const PreparedReport prepared = PrepareReport(report, {{{"A", &a}}, {}});
    EXPECT_EQ(Texts(prepared.pages[0]), QStringList({"2:a1", "2:a2"}));
    EXPECT_NEAR(TextLines(prepared.pages[0])[1].box.top(), 36 + 20 + 1, 0.01);
}

TEST(ReportEngine, RowsThatDoNotFitGoToTheNextSheetBetweenColumnHeaderAndFooter)
{
    QStringList values;
    for (int i = 0; i < 25; ++i)
        values << QString::number(i);
    DataSet a = textRows(values);
    const ReportTemplate report = TestTemplate(band("ColumnHeader1", "columnHeader", 10, memo("H", "H")) + ","
                                               + band("MasterData1", "masterData", 100, memo("M", R"([A.\"T\"])"), "A")
                                               + "," + band("ColumnFooter1", "columnFooter", 5, memo("F", "F")) + ","
                                               + band("ReportSummary1", "reportSummary", 20, memo("S", "S")));
    const PreparedReport prepared = PrepareReport(report, {{{"A", &a}}, {}});
    // 1071.4 less the margins, the header and the footer's reserve holds nine rows of 100.
    ASSERT_EQ(prepared.pageCount(), 3);
    QStringList all;
    const int rows[] = {9, 9, 7};
    for (int p = 0; p < 3; ++p) {
        const QList<ReportTextLine> lines = TextLines(prepared.pages[p]);
        const QStringList texts = Texts(prepared.pages[p]);
        EXPECT_EQ(texts.first(), QStringLiteral("H")) << p;
        EXPECT_NEAR(lines.first().box.top(), 36 + 1, 0.01);
        const qsizetype footer = texts.indexOf(QStringLiteral("F"));
        ASSERT_EQ(footer, rows[p] + 1) << p;
        EXPECT_NEAR(lines[footer].box.top(), 36 + 10 + 100 * rows[p] + 1, 0.01) << p;
        EXPECT_LE(lines[footer].box.top() + 4, kPageBottom);
        all << texts.mid(1, rows[p]);
    }
    EXPECT_EQ(all, values);
    EXPECT_EQ(Texts(prepared.pages[2]).last(), QStringLiteral("S"));
}

TEST(ReportEngine, SubReportPrintsAnotherPageAtItsPlaceAndItsBandGrows)
{
    const QString table =
        QStringLiteral(R"(, {"paper": "A4", "bands": [%1, %2]})")
            .arg(band("MasterData4", "masterData", 180,
                      R"({"name": "Cell", "kind": "memo", "x": 0, "y": 0, "width": 96, "height": 20, "text": "[p1]"})",
                      "1"),
                 band("MasterData5", "masterData", 20,
                      R"({"name": "Row", "kind": "memo", "x": 520, "y": 0, "width": 96, "height": 20, "text": "row"})",
                      "1"));
    const ReportTemplate report =
        TestTemplate(band("ReportSummary1", "reportSummary", 20,
                          R"({"name": "SubReport1", "kind": "subReport", "x": 28, "y": 10, "page": 2})")
                         + "," + band("ReportSummary2", "reportSummary", 20, memo("After", "after")),
                     table);
    const PreparedReport prepared = PrepareReport(
        report, {{}, [](const QString& name) { return name == "p1" ? QStringLiteral("70") : QString(); }});
    ASSERT_EQ(prepared.pageCount(), 1);  // the sub-report's page prints only through it
    const QList<ReportTextLine> lines = TextLines(prepared.pages[0]);
    ASSERT_EQ(Texts(prepared.pages[0]), QStringList({"70", "row", "after"}));
    EXPECT_NEAR(lines[0].box.left(), 28 + 2, 0.01);
    EXPECT_NEAR(lines[0].box.top(), 36 + 10 + 1, 0.01);
    EXPECT_NEAR(lines[1].box.left(), 28 + 520 + 2, 0.01);
    EXPECT_NEAR(lines[1].box.top(), 36 + 10 + 180 + 1, 0.01);
    EXPECT_NEAR(lines[2].box.top(), 36 + 10 + 200 + 1, 0.01);
}

TEST(ReportEngine, WrappedTextGrowsItsBandAndFramesReachingTheBottomFollow)
{
    QStringList words;
    for (int i = 0; i < 60; ++i)
        words << QStringLiteral("word%1").arg(i);
    DataSet a = textRows({words.join(u' '), "next"});
    const ReportTemplate report = TestTemplate(
        band("MasterData2", "masterData", 20,
             memo("Memo1", R"([A.\"T\"])",
                  R"("lineSpacing": 10, "wrap": true, "grow": true, "font": {"family": "Arial", "points": 10})", 200)
                 +
                 R"(, {"name": "Memo2", "kind": "memo", "x": 576, "y": 0, "width": 156, "height": 20,
                  "frame": {"sides": ["left", "right"]}})",
             "A"));
    const PreparedReport prepared = PrepareReport(report, {{{"A", &a}}, {}});
    const QList<ReportTextLine> lines = TextLines(prepared.pages[0]);
    ASSERT_GT(lines.size(), 4);
    QStringList first;
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        EXPECT_LE(lines[i].box.width(), 200 - 4 + 0.01) << lines[i].text.toStdString();
        first << lines[i].text;
        if (i > 0) {  // line height plus the spacing of 10
            EXPECT_NEAR(lines[i].box.top() - lines[i - 1].box.top(), lines[i].box.height() + 10, 0.01);
        }
    }
    EXPECT_EQ(first.join(u' '), words.join(u' '));  // no word lost or split
    const double grown = lines[lines.size() - 2].box.bottom() + 1 - 36;
    EXPECT_EQ(lines.last().text, QStringLiteral("next"));
    EXPECT_NEAR(lines.last().box.top(), 36 + grown + 1, 0.01);
    // Memo2's side lines run the grown height of the first row.
    const ReportFill& left = std::get<ReportFill>(prepared.pages[0].items.at(lines.size() - 1));
    EXPECT_EQ(left.rect.left(), 576);
    EXPECT_NEAR(left.rect.height(), grown + 1, 0.01);
}

TEST(ReportEngine, TextTallerThanASheetIsCutBetweenLinesAndLosesNone)
{
    QStringList paragraphs;
    for (int i = 0; i < 200; ++i)
        paragraphs << QStringLiteral("line %1").arg(i);
    DataSet a = textRows({"before", paragraphs.join(QStringLiteral("\r\n"))});
    const ReportTemplate report =
        TestTemplate(band("MasterData2", "masterData", 20,
                          memo("Memo1", R"([A.\"T\"])",
                               R"("lineSpacing": 10, "wrap": true, "grow": true, "frame": {"sides": ["left"]})", 680),
                          "A"));
    const PreparedReport prepared = PrepareReport(report, {{{"A", &a}}, {}});
    ASSERT_GE(prepared.pageCount(), 5);
    QStringList all;
    for (const PreparedPage& page : prepared.pages)
        for (const ReportTextLine& line : TextLines(page)) {
            EXPECT_GE(line.box.top(), 36 - 0.01);
            EXPECT_LE(line.box.bottom(), kPageBottom + 0.01);
            all << line.text;
        }
    EXPECT_EQ(all, QStringList{"before"} + paragraphs);
    // The frame line is divided with the text, so every sheet shows its part of it.
    for (int p = 1; p < prepared.pageCount(); ++p) {
        bool framed = false;
        for (const ReportItem& item : prepared.pages[p].items)
            if (const auto* fill = std::get_if<ReportFill>(&item))
                framed = framed || (fill->rect.left() == 40 && fill->rect.top() == 36);
        EXPECT_TRUE(framed) << p;
    }
}

TEST(ReportEngine, FittedPicturesKeepTheirProportionsAtTheBoxTopLeft)
{
    struct Case {
        QSize picture;
        QRectF expected;
    };
    const Case cases[] = {
        {{100, 400}, QRectF(36, 44, 226, 904)},  // taller than its box: scaled down
        {{400, 100}, QRectF(36, 44, 680, 170)},
        {{10, 10}, QRectF(36, 44, 680, 680)},  // small ones are enlarged to fit
    };
    const ReportTemplate report =
        TestTemplate(band("MasterData3", "masterData", 916,
                          R"({"name": "Picture1", "kind": "picture", "x": 36, "y": 8, "width": 680, "height": 904,
            "text": "[A.\"P\"]"})",
                          "A"));
    for (const Case& c : cases) {
        DataSet a = textRows({""});
        a.edit();
        a.setBytes(u"P", png(c.picture, Qt::blue));
        a.post();
        const PreparedReport prepared = PrepareReport(report, {{{"A", &a}}, {}});
        const auto& picture = std::get<ReportPicture>(prepared.pages[0].items.at(0));
        EXPECT_NEAR(picture.rect.left(), c.expected.left(), 0.01);
        EXPECT_NEAR(picture.rect.top(), c.expected.top(), 0.01);
        EXPECT_NEAR(picture.rect.width(), c.expected.width(), 0.01) << c.picture.width();
        EXPECT_NEAR(picture.rect.height(), c.expected.height(), 0.01) << c.picture.width();
    }
    DataSet empty = textRows({""});
    EXPECT_TRUE(PrepareReport(report, {{{"A", &empty}}, {}}).pages[0].items.isEmpty());
    DataSet broken = textRows({""});
    broken.edit();
    broken.setBytes(u"P", QByteArray("not a picture"));
    broken.post();
    EXPECT_TRUE(ErrorOf([&] { PrepareReport(report, {{{"A", &broken}}, {}}); }).contains(QStringLiteral("Picture1")));
}

TEST(ReportEngine, TextIsPlacedByItsAlignment)
{
    struct Case {
        const char* align;
        const char* valign;
        double x;  // of the text's centre, as a fraction of the inner width
        double y;  // likewise, of the inner height
    };
    const Case cases[] = {
        {"left", "top", 0, 0},
        {"center", "center", 0.5, 0.5},
        {"right", "bottom", 1, 1},
    };
    for (const Case& c : cases) {
        const ReportTemplate report = TestTemplate(
            band("O", "masterData", 100,
                 QStringLiteral(R"({"name": "M", "kind": "memo", "x": 100, "y": 0, "width": 200, "height": 100,
                              "text": "가나", "align": "%1", "valign": "%2"})")
                     .arg(c.align, c.valign),
                 "1"));
        const ReportTextLine line = TextLines(PrepareReport(report, {}).pages[0]).at(0);
        const QRectF inner(102, 37, 196, 98);
        const double left = inner.left() + c.x * (inner.width() - line.box.width());
        const double top = inner.top() + c.y * (inner.height() - line.box.height());
        EXPECT_NEAR(line.box.left(), left, 0.01) << c.align;
        EXPECT_NEAR(line.box.top(), top, 0.01) << c.valign;
    }
}

TEST(PreparedReport, FrameLinesRenderOnTheirSidesInTheirColourAtAnyScale)
{
    const ReportTemplate report =
        TestTemplate(band("O", "masterData", 100,
                          R"({"name": "M", "kind": "memo", "x": 100, "y": 10, "width": 50, "height": 30,
            "frame": {"sides": ["left", "bottom"], "color": "#FF0000"}})",
                          "1"));
    const PreparedReport prepared = PrepareReport(report, {});
    const QImage full = prepared.renderPage(0, 1.0);
    EXPECT_EQ(full.size(), QSize(758, 1072));
    EXPECT_EQ(full.pixel(100, 60), qRgb(255, 0, 0));      // left
    EXPECT_EQ(full.pixel(125, 76), qRgb(255, 0, 0));      // bottom at 36 + 10 + 30
    EXPECT_EQ(full.pixel(150, 60), qRgb(255, 255, 255));  // no right side
    EXPECT_EQ(full.pixel(125, 46), qRgb(255, 255, 255));  // no top side
    EXPECT_EQ(full.pixel(99, 60), qRgb(255, 255, 255));
    // A third of the size: the one-unit line still shows, one pixel wide.
    const QImage small = prepared.renderPage(0, 1.0 / 3);
    bool red = false;
    for (int x = 32; x <= 35; ++x)
        red = red || small.pixel(x, 20) == qRgb(255, 0, 0);
    EXPECT_TRUE(red);
}
