#include "core/AppError.h"
#include "dataset/DataSet.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// A cut-down correction record: enough fields to exercise every type and the page order.
QList<FieldDef> correctionFields()
{
    return {{"Top", FieldType::Integer, 0},        {"Strings", FieldType::String, 255},
            {"Image", FieldType::Blob, 0},         {"M2", FieldType::Memo, 0},
            {"NType", FieldType::SmallInt, 0},     {"PAGE", FieldType::String, 20},
            {"reportpoint", FieldType::String, 20}};
}

void addRow(DataSet& ds, const char* page, int top)
{
    ds.append();
    if (page)
        ds.setString(u"PAGE", QString::fromLatin1(page));
    ds.setInteger(u"Top", top);
    ds.post();
}

QList<int> walk(DataSet& ds)
{
    QList<int> tops;
    for (ds.first(); !ds.eof(); ds.next())
        tops.append(ds.asInteger(u"Top"));
    return tops;
}

QString errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const AppError& e) {
        return e.message();
    }
    return {};
}

}

TEST(DataSet, FindsFieldsWithoutRegardToCaseAndNamesAMissingOne)
{
    DataSet ds(correctionFields());
    ds.append();
    ds.setString(u"reportPoint", QStringLiteral("-3"));
    ds.post();
    EXPECT_EQ(ds.asString(u"REPORTPOINT"), QStringLiteral("-3"));
    EXPECT_EQ(ds.findField(u"page"), 5);
    EXPECT_EQ(ds.findField(u"PAGE2"), -1);
    const QString message = errorOf([&] { ds.asString(u"PAGE2"); });
    EXPECT_TRUE(message.contains(QStringLiteral("'PAGE2'"))) << message.toStdString();
}

TEST(DataSet, KeepsNullApartFromEmptyForEveryType)
{
    DataSet ds(correctionFields());
    ds.append();
    ds.post();
    for (const char16_t* name : {u"Top", u"Strings", u"Image", u"M2", u"NType"})
        EXPECT_TRUE(ds.isNull(name)) << QString::fromUtf16(name).toStdString();
    EXPECT_EQ(ds.asInteger(u"Top"), 0);
    EXPECT_EQ(ds.asString(u"Strings"), QString());
    EXPECT_EQ(ds.asString(u"Top"), QString());  // a null integer shows nothing, not "0"

    ds.edit();
    ds.setString(u"Strings", QString());
    ds.setString(u"M2", QString());
    ds.setBytes(u"Image", QByteArray());
    ds.setInteger(u"NType", 0);
    ds.post();
    for (const char16_t* name : {u"Strings", u"Image", u"M2", u"NType"})
        EXPECT_FALSE(ds.isNull(name)) << QString::fromUtf16(name).toStdString();
    EXPECT_EQ(ds.asString(u"NType"), QStringLiteral("0"));

    ds.edit();
    ds.setNull(u"M2");
    ds.post();
    EXPECT_TRUE(ds.isNull(u"M2"));
}

TEST(DataSet, CutsStringsToTheirSizeInCodePage949Bytes)
{
    const struct {
        int size;
        const char* value;
        const char* kept;
    } cases[] = {
        {20, "2024000111122223333444", "20240001111222233334"},  // a 22-byte student number
        {20, "가나다라마바사아자차카", "가나다라마바사아자차"},
        {20, "a가나다라마바사아자차", "a가나다라마바사아자"},  // a half character is dropped
        {5, "ab가", "ab가"},
    };
    for (const auto& c : cases) {
        DataSet ds({{"S", FieldType::String, c.size}, {"M", FieldType::Memo, 0}});
        ds.append();
        ds.setString(u"S", QString::fromUtf8(c.value));
        ds.setString(u"M", QString::fromUtf8(c.value));
        ds.post();
        EXPECT_EQ(ds.asString(u"S"), QString::fromUtf8(c.kept)) << c.value;
        EXPECT_EQ(ds.asString(u"M"), QString::fromUtf8(c.value)) << "memos are never cut";
    }
}

TEST(DataSet, RefusesWritesOutsideEditingAndValuesOfTheWrongType)
{
    DataSet ds(correctionFields());
    EXPECT_FALSE(errorOf([&] { ds.setString(u"PAGE", "PAGE1"); }).isEmpty());
    ds.append();
    EXPECT_FALSE(errorOf([&] { ds.setString(u"Top", "1"); }).isEmpty());
    EXPECT_FALSE(errorOf([&] { ds.setBytes(u"M2", "x"); }).isEmpty());
    EXPECT_FALSE(errorOf([&] { ds.setInteger(u"NType", 40000); }).isEmpty());
    EXPECT_FALSE(errorOf([&] { ds.asBytes(u"PAGE"); }).isEmpty());
    ds.setInteger(u"NType", -32768);
    ds.post();
    EXPECT_EQ(ds.asInteger(u"NType"), -32768);
}

TEST(DataSet, AppendsEditsCancelsAndDeletesRows)
{
    DataSet ds(correctionFields());
    EXPECT_TRUE(ds.isEmpty());
    ds.first();
    EXPECT_TRUE(ds.eof());

    addRow(ds, "PAGE1", 1);
    addRow(ds, "PAGE1", 2);
    addRow(ds, "PAGE1", 3);
    EXPECT_EQ(ds.recordCount(), 3);
    EXPECT_EQ(ds.asInteger(u"Top"), 3) << "the cursor is on the posted row";

    ds.append();
    ds.setInteger(u"Top", 99);
    EXPECT_EQ(ds.asInteger(u"Top"), 99) << "the row being appended reads back";
    ds.cancel();
    EXPECT_EQ(ds.recordCount(), 3);

    ds.moveTo(1);
    ds.edit();
    ds.setInteger(u"Top", 20);
    ds.cancel();
    EXPECT_EQ(ds.asInteger(u"Top"), 2);
    ds.edit();
    ds.setInteger(u"Top", 20);
    ds.next();  // moving on posts the edit
    EXPECT_EQ(walk(ds), (QList<int>{1, 20, 3}));

    ds.moveTo(1);
    ds.deleteRecord();
    EXPECT_EQ(ds.asInteger(u"Top"), 3) << "the next row moves into place";
    ds.deleteRecord();
    EXPECT_EQ(ds.asInteger(u"Top"), 1) << "deleting the last row steps back";
    ds.deleteRecord();
    EXPECT_TRUE(ds.isEmpty());
    EXPECT_FALSE(errorOf([&] { ds.deleteRecord(); }).isEmpty());
}

TEST(DataSet, CancelUpdatesGoesBackToTheLastMergeAndEmptyingClearsTheLog)
{
    DataSet ds(correctionFields());
    addRow(ds, "PAGE1", 1);
    addRow(ds, "PAGE2", 2);
    ds.mergeChangeLog();

    addRow(ds, "PAGE3", 3);
    ds.first();
    ds.deleteRecord();
    ds.edit();
    ds.setInteger(u"Top", 22);
    ds.post();
    ds.cancelUpdates();
    EXPECT_EQ(walk(ds), (QList<int>{1, 2}));

    ds.emptyDataSet();
    ds.cancelUpdates();
    EXPECT_TRUE(ds.isEmpty()) << "an emptied dataset has nothing to go back to";
}

TEST(DataSet, OrdersByOneFieldAndRestrictsToWholeKeys)
{
    DataSet ds(correctionFields());
    addRow(ds, "PAGE10", 1);
    addRow(ds, "PAGE1", 2);
    addRow(ds, nullptr, 3);
    addRow(ds, "PAGE2", 4);
    addRow(ds, "PAGE1", 5);

    ds.setOrder(u"page");
    EXPECT_EQ(walk(ds), (QList<int>{3, 2, 5, 1, 4})) << "nulls first, equal keys in row order";

    ds.setRange(QStringLiteral("PAGE1"));
    EXPECT_EQ(walk(ds), (QList<int>{2, 5})) << "PAGE10 is not PAGE1";
    addRow(ds, "PAGE1", 6);
    EXPECT_EQ(walk(ds), (QList<int>{2, 5, 6}));

    ds.first();
    while (!ds.isEmpty())
        ds.deleteRecord();
    ds.setRange(QStringLiteral("PAGE3"));
    EXPECT_TRUE(ds.isEmpty()) << "a page without rows restores nothing";

    ds.cancelRange();
    EXPECT_EQ(walk(ds), (QList<int>{3, 1, 4})) << "the order outlives the range";
    ds.setOrder(u"");
    EXPECT_EQ(walk(ds), (QList<int>{1, 3, 4}));
}

TEST(DataSet, CopyTakesTheSourcesFieldSpellingRowsAndChangeLog)
{
    QList<FieldDef> sourceFields = correctionFields();
    sourceFields.last().name = QStringLiteral("reportPoint");
    DataSet source(sourceFields);
    addRow(source, "PAGE1", 1);
    source.mergeChangeLog();
    addRow(source, "PAGE2", 2);

    DataSet copy(correctionFields());
    copy.setOrder(u"PAGE");
    copy.copyFrom(source);
    EXPECT_EQ(copy.fields().last().name, QStringLiteral("reportPoint"));
    EXPECT_EQ(walk(copy), (QList<int>{1, 2}));
    copy.cancelUpdates();
    EXPECT_EQ(walk(copy), (QList<int>{1}));
    EXPECT_EQ(walk(source), (QList<int>{1, 2})) << "the source is not touched";
}

TEST(DataSet, AClosedDatasetRefusesWorkAndAFailedLoadChangesNothing)
{
    DataSet closed;
    EXPECT_FALSE(closed.isActive());
    EXPECT_FALSE(errorOf([&] { closed.first(); }).isEmpty());
    EXPECT_FALSE(errorOf([&] { closed.asString(u"L1"); }).isEmpty());
    EXPECT_FALSE(errorOf([&] { closed.loadPacket("<datapacket"); }).isEmpty());
    EXPECT_FALSE(closed.isActive());

    DataSet ds(correctionFields());
    addRow(ds, "PAGE1", 7);
    EXPECT_FALSE(errorOf([&] { ds.loadPacket("not a packet"); }).isEmpty());
    EXPECT_EQ(walk(ds), (QList<int>{7}));
    EXPECT_EQ(ds.fields(), correctionFields());
}

TEST(DataSet, SavesToAndLoadsFromADevice)
{
    DataSet ds(correctionFields());
    addRow(ds, "PAGE1", 7);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ds.save(buffer);
    buffer.close();

    DataSet loaded;
    buffer.open(QIODevice::ReadOnly);
    loaded.load(buffer);
    EXPECT_EQ(walk(loaded), (QList<int>{7}));

    QBuffer unopened;
    EXPECT_FALSE(errorOf([&] { loaded.load(unopened); }).isEmpty());
}
