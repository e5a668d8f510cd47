#include "document/CorrectionRecord.h"

#include <QMap>
#include <gtest/gtest.h>

using namespace CorrectionRecord;

namespace {

MarkRow Mark(int n, const QString& text = {})
{
    MarkRow m;
    m.left = 10 * n;
    m.top = 20 * n;
    m.right = 10 * n + 30;
    m.bottom = 20 * n + 25;
    m.fontSize = 10;
    m.fontName = QStringLiteral("굴림체");
    m.fontColor = 0x0000FF;
    m.strings = text;
    m.drawTool = n % 32;
    m.key = 1000 + n;
    m.reportPoint = n % 2 ? QStringLiteral("-%1").arg(n % 10 + 1) : QString();
    return m;
}

QList<MarkRow> Marks(int page, int count)
{
    QList<MarkRow> marks;
    for (int i = 0; i < count; ++i)
        marks.append(Mark(page * 100 + i, i % 3 ? QString() : QStringLiteral("쪽 %1 표시 %2").arg(page).arg(i)));
    return marks;
}

int RowsWithPage(DataSet& record, const QString& key)
{
    int n = 0;
    record.setOrder({});
    for (record.first(); !record.eof(); record.next())
        n += record.asString(u"PAGE") == key;
    return n;
}

void AppendSummary(DataSet& record, const QString& review, const QString& p1, const QString& p8)
{
    record.append();
    record.setString(u"M1", review);
    record.setString(u"p1", p1);
    record.setString(u"p8", p8);
    record.post();
}

}  // namespace

TEST(CorrectionRecord, SchemaInFieldOrder)
{
    const QList<FieldDef> f = fields();
    QStringList names;
    for (const FieldDef& d : f)
        names << d.name;
    EXPECT_EQ(names, QStringList({"Top",     "Left",     "Right", "Bottom",    "FontSize",   "FontName", "FontColor",
                                  "Strings", "DrawTool", "Image", "ImageType", "M1",         "M2",       "NType",
                                  "Key",     "PAGE",     "p1",    "p2",        "p3",         "p4",       "p5",
                                  "p6",      "p7",       "p8",    "p9",        "reportPoint"}));
    EXPECT_EQ(f[5].size, 20);
    EXPECT_EQ(f[7].size, 255);
    EXPECT_EQ(f[9].type, FieldType::Blob);
    EXPECT_EQ(f[11].type, FieldType::Memo);
    EXPECT_EQ(f[13].type, FieldType::Integer);
    EXPECT_EQ(f[15].size, 20);
    EXPECT_EQ(pageKey(12), "PAGE12");
    EXPECT_EQ(pageKey(0), "PAGE0");
}

// The working copy across many changes of page: each page keeps exactly what was stored
// last, the page row gives only the comment, and a page never seen restores empty.
TEST(CorrectionRecord, PagesRoundTripOverManyChanges)
{
    DataSet work(fields());
    storePage(work, pageKey(0), {}, {});

    QMap<int, QList<MarkRow>> expected;
    QMap<int, QString> comments;
    int shown = 1;
    for (int step = 0; step < 40; ++step) {
        // The board holds page `shown`: on some visits its marks change, on others not.
        QList<MarkRow> marks = expected.value(shown);
        if (step % 3 == 0)
            marks = Marks(shown, (step * 7) % 12);
        if (step % 4 == 1 && !marks.isEmpty())
            marks.removeFirst();
        const QString comment = step % 5 == 0 ? QString() : QStringLiteral("쪽 %1 평 %2\r\n").arg(shown).arg(step);
        storePage(work, pageKey(shown), marks, comment);
        expected[shown] = marks;
        comments[shown] = comment;

        shown = step * 5 % 12 + 1;
        const Page page = loadPage(work, pageKey(shown));
        EXPECT_EQ(page.marks, expected.value(shown)) << "step " << step << " page " << shown;
        EXPECT_EQ(page.comment, comments.value(shown)) << "step " << step;
    }

    for (auto it = expected.begin(); it != expected.end(); ++it)
        EXPECT_EQ(RowsWithPage(work, pageKey(it.key())), it.value().size() + 1) << "one page row per page";
    EXPECT_EQ(RowsWithPage(work, "PAGE0"), 1);
    const Page never = loadPage(work, pageKey(99));
    EXPECT_TRUE(never.marks.isEmpty());
    EXPECT_TRUE(never.comment.isEmpty());
}

TEST(CorrectionRecord, PageRowsKeepOnlyTheirFields)
{
    DataSet work(fields());
    storePage(work, pageKey(0), {}, {});
    storePage(work, pageKey(1), {Mark(1, "가")}, "좋아요\r\n");
    work.setOrder({});
    work.first();
    EXPECT_EQ(work.asString(u"PAGE"), "PAGE0");
    EXPECT_TRUE(work.asString(u"M2").isEmpty());
    EXPECT_TRUE(work.isNull(u"NType")) << "a page row has no kind";
    work.next();
    EXPECT_EQ(work.asInteger(u"NType"), 1);
    EXPECT_TRUE(work.isNull(u"M2"));
    EXPECT_TRUE(work.isNull(u"Image"));
    work.next();
    EXPECT_EQ(work.asString(u"M2"), "좋아요\r\n");
    EXPECT_TRUE(work.isNull(u"Top"));
    EXPECT_TRUE(work.isNull(u"Key"));
}

TEST(CorrectionRecord, PageKeysCompareAsWholeStrings)
{
    DataSet work(fields());
    storePage(work, pageKey(1), Marks(1, 2), "one");
    storePage(work, pageKey(10), Marks(10, 3), "ten");
    storePage(work, pageKey(11), Marks(11, 1), "eleven");
    EXPECT_EQ(loadPage(work, pageKey(1)).marks, Marks(1, 2));
    EXPECT_EQ(loadPage(work, pageKey(1)).comment, "one");
    EXPECT_EQ(loadPage(work, pageKey(10)).marks, Marks(10, 3));
    storePage(work, pageKey(1), {}, {});
    EXPECT_EQ(loadPage(work, pageKey(10)).marks, Marks(10, 3)) << "storing page 1 leaves page 10 alone";
    EXPECT_EQ(loadPage(work, pageKey(11)).comment, "eleven");
}

TEST(CorrectionRecord, LongTextsAreCutAtWholeCharacters)
{
    DataSet work(fields());
    MarkRow mark = Mark(1, QString(200, QChar(u'가')));
    mark.fontName = QStringLiteral("굴림체굴림체굴림체굴림체");
    storePage(work, pageKey(1), {mark}, {});
    const MarkRow back = loadPage(work, pageKey(1)).marks.value(0);
    EXPECT_EQ(back.strings, QString(127, QChar(u'가'))) << "255 bytes hold 127 double-byte characters";
    EXPECT_EQ(back.fontName, QStringLiteral("굴림체굴림체굴림체굴"));
}

TEST(CorrectionRecord, ReadingTheSummary)
{
    DataSet empty(fields());
    EXPECT_FALSE(readSummary(empty).has_value()) << "an empty record leaves everything empty";

    DataSet two(fields());
    storePage(two, pageKey(1), Marks(1, 2), "쪽");
    two.setOrder({});
    AppendSummary(two, "첫 총평", "60", "TRUE");
    AppendSummary(two, "둘째 총평", "30", "FALSE");
    std::optional<Summary> s = readSummary(two);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->review, "첫 총평");
    EXPECT_EQ(s->points.value(0), "60");
    EXPECT_EQ(s->points.size(), kPointCount);
    EXPECT_TRUE(s->deduction);

    DataSet noReview(fields());
    AppendSummary(noReview, "", "10", "FALSE");
    AppendSummary(noReview, "", "20", "true");
    s = readSummary(noReview);
    ASSERT_TRUE(s);
    EXPECT_TRUE(s->review.isEmpty());
    EXPECT_EQ(s->points.value(0), "20") << "without a review the last row gives the points";
    EXPECT_FALSE(s->deduction) << "\"true\" in lower case is not TRUE";

    DataSet pagesOnly(fields());
    storePage(pagesOnly, pageKey(0), {}, {});
    s = readSummary(pagesOnly);
    ASSERT_TRUE(s);
    EXPECT_TRUE(s->points.join("").isEmpty());
    EXPECT_FALSE(s->deduction);
}

// Saving three times with an empty review, then once with one: each written record holds
// its pages as they were and exactly one summary row, last.
TEST(CorrectionRecord, WritingTheSummaryKeepsOneSummaryRow)
{
    DataSet work(fields());
    storePage(work, pageKey(0), {}, {});
    storePage(work, pageKey(1), Marks(1, 3), "쪽 평\r\n");
    DataSet record(fields());

    const QStringList points{"70", "50", "20", "0", "", "", ""};
    for (const QString& review : {QString(), QString(), QString(), QStringLiteral("잘 썼어요")}) {
        writeSummary(record, work, Summary{review, points, true});
        const QByteArray packet = toPacket(record);
        DataSet sent;
        sent.loadPacket(packet);
        int summaries = 0;
        for (sent.first(); !sent.eof(); sent.next())
            summaries += sent.asString(u"PAGE").isEmpty();
        EXPECT_EQ(summaries, 1);
        sent.moveTo(sent.recordCount() - 1);
        EXPECT_EQ(sent.asString(u"M1"), review);
        EXPECT_EQ(sent.asString(u"p1"), "70");
        EXPECT_EQ(sent.asString(u"p8"), "TRUE");
        EXPECT_TRUE(sent.isNull(u"p9"));
        EXPECT_EQ(RowsWithPage(sent, "PAGE0"), 1);
        EXPECT_EQ(loadPage(sent, pageKey(1)).marks, Marks(1, 3));

        // The next run works on what this save sent.
        work.copyFrom(sent);
    }
    writeSummary(record, work, Summary{{}, {}, false});
    record.moveTo(record.recordCount() - 1);
    EXPECT_EQ(record.asString(u"p8"), "FALSE");
    EXPECT_EQ(record.recordCount(), 1 + 4 + 1) << "PAGE0, page 1 (three marks and its row), summary";
}

TEST(CorrectionRecord, KindOfRecord)
{
    DataSet record(fields());
    EXPECT_FALSE(isHandwritten(record));
    storePage(record, pageKey(0), {}, {});
    EXPECT_FALSE(isHandwritten(record));

    DataSet scanned(fields());
    scanned.append();
    scanned.setInteger(u"NType", kImageRow);
    scanned.setBytes(u"Image", "jpeg");
    scanned.post();
    EXPECT_TRUE(isHandwritten(scanned));
}

// A packet written with the field spelt "reportpoint" keeps that spelling and still works.
TEST(CorrectionRecord, LoadedSpellingIsKept)
{
    QList<FieldDef> lower = fields();
    lower.last().name = QStringLiteral("reportpoint");
    DataSet old(lower);
    storePage(old, pageKey(1), {Mark(3)}, {});
    DataSet work;
    work.loadPacket(old.toPacket(PacketForm::Binary));
    EXPECT_EQ(loadPage(work, pageKey(1)).marks, QList<MarkRow>{Mark(3)});
    DataSet record(fields());
    writeSummary(record, work, Summary{"r", {}, false});
    EXPECT_EQ(record.fields().last().name, "reportpoint");
}
