#include "core/AppError.h"
#include "document/EssayRecord.h"
#include "document/ManuscriptGrid.h"
#include "jpeg/Jpeg.h"
#include "support/TestPaths.h"
#include "text/Cp949.h"

#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

namespace {

DataSet emptyRecord()
{
    return DataSet(EssayRecord::fields());
}

// Lays text on the sheet as a student types it: a cell per character, a new line per
// paragraph, a full stop or comma that finds the line full goes into the margin.
void type(ManuscriptGrid& grid, const QString& text)
{
    int line = 0, column = 1;
    const auto newLine = [&] {
        ++line;
        column = 1;
        if (line >= grid.lineCount())
            grid.insertLines(grid.lineCount(), 1);
    };
    for (const QString& paragraph : text.split(u'\n')) {
        for (QChar c : paragraph) {
            if (column > 20) {
                if (c == u'.' || c == u',') {
                    grid.setCell(line, 21, c);
                    continue;
                }
                newLine();
            }
            grid.setCell(line, column++, c);
        }
        newLine();
    }
}

QString sampleEssay()
{
    QFile file(SourceDir() + "/tests/document/data/sample-essay.txt");
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QString::fromUtf8(file.readAll());
}

// Blank cells compare alike whether empty or a single space.
void expectSameSheet(const ManuscriptGrid& a, const ManuscriptGrid& b)
{
    ASSERT_EQ(a.lineCount(), b.lineCount());
    for (int line = 0; line < a.lineCount(); ++line)
        for (int c = 1; c <= 21; ++c) {
            if (a.isBlank(line, c))
                EXPECT_TRUE(b.isBlank(line, c)) << line << "," << c;
            else
                EXPECT_EQ(a.cell(line, c), b.cell(line, c)) << line << "," << c;
        }
}

QString repeatLine(const char* line, int count)
{
    return QString::fromUtf8(line).append(u"\r\n").repeated(count);
}

}

TEST(EssayRecord, HasTheFieldsInOrder)
{
    const QList<FieldDef> f = EssayRecord::fields();
    ASSERT_EQ(f.size(), 26);
    EXPECT_EQ(f[0], (FieldDef{"USER_ID", FieldType::String, 20}));
    EXPECT_EQ(f[1], (FieldDef{"NType", FieldType::SmallInt, 0}));
    EXPECT_EQ(f[2], (FieldDef{"L1", FieldType::Memo, 0}));
    EXPECT_EQ(f[22], (FieldDef{"L21", FieldType::Memo, 0}));
    EXPECT_EQ(f[23], (FieldDef{"LText", FieldType::Memo, 0}));
    EXPECT_EQ(f[24], (FieldDef{"LImage", FieldType::Blob, 0}));
    EXPECT_EQ(f[25], (FieldDef{"LImageType", FieldType::String, 20}));
}

TEST(EssayRecord, AnUntypedManuscriptIsStoredAs21EmptyLinesAndReadsBackEmpty)
{
    ManuscriptGrid paper(ManuscriptGrid::kMinimumLines);
    DataSet record = emptyRecord();
    EssayRecord::writeManuscript(record, QStringLiteral("20240001"), paper);
    const QByteArray packet = EssayRecord::toPacket(record);

    DataSet loaded = emptyRecord();
    EssayRecord::load(loaded, packet);
    EXPECT_EQ(EssayRecord::paperKind(loaded), 1);
    for (int c = 1; c <= 21; ++c)
        EXPECT_EQ(loaded.asString(EssayRecord::lineField(c)), repeatLine("", 21)) << c;
    EXPECT_TRUE(loaded.isNull(u"LText"));
    EXPECT_TRUE(loaded.isNull(u"LImage"));

    ManuscriptGrid shown;
    EssayRecord::toGrid(loaded, shown);
    expectSameSheet(paper, shown);
}

TEST(EssayRecord, TheSampleEssaySurvivesWritingReadingAndWritingAgain)
{
    ManuscriptGrid paper(ManuscriptGrid::kMinimumLines);
    type(paper, sampleEssay());
    ASSERT_GT(paper.lineCount(), 70);

    DataSet record = emptyRecord();
    EssayRecord::writeManuscript(record, QStringLiteral("20240001"), paper);
    DataSet loaded = emptyRecord();
    EssayRecord::load(loaded, EssayRecord::toPacket(record));
    ManuscriptGrid shown;
    EssayRecord::toGrid(loaded, shown);
    expectSameSheet(paper, shown);

    // Written again after the reload, blank cells are single spaces and read the same.
    EssayRecord::writeManuscript(record, QStringLiteral("20240001"), shown);
    const QString column1 = record.asString(u"L1");
    EXPECT_TRUE(column1.contains(QStringLiteral("\r\n \r\n")));
    EXPECT_FALSE(column1.contains(QStringLiteral("\r\n\r\n")));
    EssayRecord::load(loaded, EssayRecord::toPacket(record));
    ManuscriptGrid again;
    EssayRecord::toGrid(loaded, again);
    expectSameSheet(paper, again);
}

TEST(EssayRecord, TheLineCountComesFromL1ButNeverFallsBelow21)
{
    const struct {
        int l1Lines;
        int l2Lines;
        int gridLines;
    } cases[] = {{40, 40, 40}, {5, 5, 21}, {30, 3, 30}, {22, 50, 22}, {0, 0, 21}};
    for (const auto& c : cases) {
        DataSet record = emptyRecord();
        record.append();
        record.setInteger(u"NType", 1);
        record.setString(u"L1", repeatLine("가", c.l1Lines));
        record.setString(u"L2", repeatLine("b", c.l2Lines));
        record.post();
        ManuscriptGrid grid;
        EssayRecord::toGrid(record, grid);
        ASSERT_EQ(grid.lineCount(), c.gridLines) << c.l1Lines;
        for (int line = 0; line < grid.lineCount(); ++line) {
            EXPECT_EQ(grid.cell(line, 1), line < c.l1Lines ? QStringLiteral("가") : QString()) << line;
            EXPECT_EQ(grid.cell(line, 2), line < c.l2Lines ? QStringLiteral("b") : QString()) << line;
            EXPECT_TRUE(grid.isBlank(line, 21));
        }
    }
}

// A hostile record (300,000 line breaks) must not freeze the run that opens it.
TEST(EssayRecord, LinesPastTheBoundAreRefusedWithAMessage)
{
    DataSet record = emptyRecord();
    record.append();
    record.setInteger(u"NType", 1);
    record.setString(u"L1", QStringLiteral("\r\n").repeated(300000));
    record.post();
    ManuscriptGrid grid;
    try {
        EssayRecord::toGrid(record, grid);
        ADD_FAILURE() << "laid out";
    } catch (const AppError& error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("300000줄"))) << error.message().toStdString();
        EXPECT_TRUE(error.message().contains(QStringLiteral("2000줄까지"))) << error.message().toStdString();
    }
    record.edit();
    record.setString(u"L1", repeatLine("가", EssayRecord::kMaxLines));
    record.post();
    EssayRecord::toGrid(record, grid);
    EXPECT_EQ(grid.lineCount(), EssayRecord::kMaxLines);
}

TEST(EssayRecord, ReadsTextLinesBrokenAnyWay)
{
    using L = QStringList;
    EXPECT_EQ(EssayRecord::textLines(""), L{});
    EXPECT_EQ(EssayRecord::textLines("\r\n"), L{""});
    EXPECT_EQ(EssayRecord::textLines("a\r\nb"), (L{"a", "b"}));
    EXPECT_EQ(EssayRecord::textLines("a\nb\rc\r\n\r\n"), (L{"a", "b", "c", ""}));
}

TEST(EssayRecord, BlankPaperKeepsItsTextExactlyAndIsFoundWhateverTheCase)
{
    const QString text = QStringLiteral("  첫 문단입니다.\r\n\r\n\t둘째 문단 ?  \r\n끝");
    DataSet record = emptyRecord();
    EssayRecord::writeBlankPaper(record, QStringLiteral("20240001"), text);
    DataSet loaded = emptyRecord();
    EssayRecord::load(loaded, EssayRecord::toPacket(record));
    EXPECT_EQ(EssayRecord::paperKind(loaded), 2);
    EXPECT_EQ(loaded.asString(u"LTEXT"), text);
    for (int c = 1; c <= 21; ++c)
        EXPECT_TRUE(loaded.isNull(EssayRecord::lineField(c)));
}

TEST(EssayRecord, StoresOnlyTheFirst20BytesOfTheStudentNumber)
{
    const struct {
        const char* given;
        const char* stored;
    } cases[] = {
        {"1234567890123456789012345", "12345678901234567890"},
        {"학생번호가아주아주긴경우입니다", "학생번호가아주아주긴"},
        {"a학생번호가아주아주긴경우", "a학생번호가아주아주"},
    };
    for (const auto& c : cases) {
        DataSet record = emptyRecord();
        EssayRecord::writeBlankPaper(record, QString::fromUtf8(c.given), QString());
        DataSet loaded = emptyRecord();
        EssayRecord::load(loaded, EssayRecord::toPacket(record));
        EXPECT_EQ(loaded.asString(u"USER_ID"), QString::fromUtf8(c.stored)) << c.given;
    }
}

TEST(EssayRecord, ScannedPagesComeInRowOrderAndGoBackUnchanged)
{
    // Made by the course site: three pages, each its own JPEG and type label.
    DataSet site = emptyRecord();
    QList<QByteArray> pages;
    for (int page = 0; page < 3; ++page) {
        QImage image(40 + page, 30, QImage::Format_RGB32);
        image.fill(qRgb(page * 80, 0, 0));
        pages.append(Jpeg::encode(image));
        site.append();
        site.setString(u"USER_ID", QStringLiteral("20240001"));
        site.setInteger(u"NType", 3);
        site.setBytes(u"LImage", pages.last());
        site.setString(u"LImageType", QStringLiteral(".JPG page %1").arg(page + 1));
        site.post();
    }
    const QByteArray downloaded = EssayRecord::toPacket(site);

    DataSet record = emptyRecord();
    EssayRecord::load(record, downloaded);
    ASSERT_EQ(EssayRecord::paperKind(record), 3);
    ASSERT_EQ(record.recordCount(), 3);
    int page = 0;
    for (record.first(); !record.eof(); record.next(), ++page) {
        EXPECT_EQ(record.asBytes(u"LImage"), pages[page]);
        EXPECT_EQ(Jpeg::decode(record.asBytes(u"LImage")).width(), 40 + page);
    }
    EXPECT_EQ(EssayRecord::toPacket(record), downloaded);
}

TEST(EssayRecord, AnEmptyRecordLeavesTheKindInForce)
{
    DataSet record = emptyRecord();
    EssayRecord::load(record, EssayRecord::toPacket(record));
    EXPECT_EQ(EssayRecord::paperKind(record), std::nullopt);
}

TEST(EssayRecord, AnUnreadablePacketFailsTheLoadWithTheEnginesMessage)
{
    DataSet record = emptyRecord();
    try {
        EssayRecord::load(record, QByteArray("<html>503 Service Unavailable</html>"));
        ADD_FAILURE() << "loaded a web page";
    } catch (const AppError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("읽을 수 없습니다"))) << e.message().toStdString();
    }
}

TEST(EssayRecord, CutsTheManuscriptIntoLineRows)
{
    ManuscriptGrid paper(ManuscriptGrid::kMinimumLines);
    paper.setCell(0, 1, QStringLiteral("가"));
    paper.setCell(0, 2, QStringLiteral("ab"));
    paper.setCell(20, 21, QStringLiteral("."));
    DataSet record = emptyRecord();
    EssayRecord::writeManuscript(record, QStringLiteral("1"), paper);

    DataSet lineTable = emptyRecord();
    EssayRecord::appendLineRows(record, lineTable);
    ASSERT_EQ(lineTable.recordCount(), 21);
    lineTable.first();
    EXPECT_EQ(lineTable.asString(u"L1"), QStringLiteral("가"));
    EXPECT_EQ(lineTable.asString(u"L2"), QStringLiteral("ab"));
    EXPECT_EQ(lineTable.asInteger(u"NType"), 1);
    lineTable.moveTo(20);
    EXPECT_EQ(lineTable.asString(u"L21"), QStringLiteral("."));

    // A print dataset: 20-byte strings and no NType.
    QList<FieldDef> printFields;
    for (int c = 1; c <= 21; ++c)
        printFields.append({EssayRecord::lineField(c), FieldType::String, 20});
    DataSet print(printFields);
    EssayRecord::appendLineRows(record, print);
    EXPECT_EQ(print.recordCount(), 21);
}

TEST(EssayRecord, SavingRefusesACharacterCodePage949CannotHold)
{
    ManuscriptGrid paper(ManuscriptGrid::kMinimumLines);
    paper.setCell(2, 5, QStringLiteral("😀"));
    DataSet record = emptyRecord();
    EssayRecord::writeManuscript(record, QStringLiteral("1"), paper);
    try {
        EssayRecord::toPacket(record);
        ADD_FAILURE() << "saved a character code page 949 cannot hold";
    } catch (const AppError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("😀")));
    }
}
