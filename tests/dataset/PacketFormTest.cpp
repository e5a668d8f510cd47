#include "core/AppError.h"
#include "dataset/BinaryPacket.h"
#include "dataset/DataSet.h"
#include "text/Cp949.h"

#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace {

QList<FieldDef> everyType()
{
    return {{"Name", FieldType::String, 20}, {"Small", FieldType::SmallInt, 0}, {"Big", FieldType::Integer, 0},
            {"Text", FieldType::Memo, 0},    {"Data", FieldType::Blob, 0},      {"Pic", FieldType::Picture, 0}};
}

QByteArray allBytes()
{
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes.append(char(i));
    return bytes;
}

// Texts that XML would change if they were written raw, and texts that are plain.
const QString kTexts[] = {
    QStringLiteral("첫 줄\r\n둘째 줄\r\n"),
    QStringLiteral("  앞뒤 공백  "),
    QStringLiteral("\t탭\t"),
    QStringLiteral("외톨이 CR\r와 LF\n"),
    QStringLiteral("<a href=\"x\">&amp;'</a> >"),
    QString::fromUtf16(u"제어\u0001문자\u001f와 NUL\u0000끝", 15),
    QStringLiteral("漢字 ？ 똠방각하"),
    QStringLiteral(" "),
};

DataSet sampleRows()
{
    DataSet ds(everyType());
    for (const QString& text : kTexts) {
        ds.append();
        ds.setString(u"Name", text);
        ds.setString(u"Text", text);
        ds.post();
    }
    ds.append();  // every field null
    ds.post();
    ds.append();  // every field empty or zero
    ds.setString(u"Name", QString());
    ds.setString(u"Text", QString());
    ds.setInteger(u"Small", 0);
    ds.setInteger(u"Big", 0);
    ds.setBytes(u"Data", QByteArray());
    ds.setBytes(u"Pic", QByteArray());
    ds.post();
    ds.append();  // extremes
    ds.setInteger(u"Small", -32768);
    ds.setInteger(u"Big", std::numeric_limits<qint32>::min());
    ds.setBytes(u"Data", allBytes());
    ds.setBytes(u"Pic", QByteArray("\xFF\xD8\xFF", 3));
    ds.post();
    ds.append();
    ds.setInteger(u"Small", 32767);
    ds.setInteger(u"Big", std::numeric_limits<qint32>::max());
    ds.setBytes(u"Data", QByteArray(1, '\0'));
    ds.post();
    return ds;
}

void expectSameRows(DataSet& a, DataSet& b, const char* form)
{
    ASSERT_EQ(a.fields(), b.fields()) << form;
    ASSERT_EQ(a.recordCount(), b.recordCount()) << form;
    b.first();
    for (a.first(); !a.eof(); a.next(), b.next()) {
        for (const FieldDef& f : a.fields()) {
            const auto where = [&] {
                return std::string(form) + " row " + std::to_string(a.position()) + " " + f.name.toStdString();
            };
            EXPECT_EQ(a.isNull(f.name), b.isNull(f.name)) << where();
            if (FieldDefs::holdsBytes(f.type))
                EXPECT_EQ(a.asBytes(f.name), b.asBytes(f.name)) << where();
            else
                EXPECT_EQ(a.asString(f.name), b.asString(f.name)) << where();
        }
    }
}

QString loadError(QByteArrayView bytes)
{
    DataSet ds;
    try {
        ds.loadPacket(bytes);
    } catch (const AppError& e) {
        EXPECT_FALSE(ds.isActive());
        return e.message();
    }
    return {};
}

QByteArray xmlPacket(const QByteArray& fields, const QByteArray& rows)
{
    return "<?xml version=\"1.0\" encoding=\"CP949\"?>\n<datapacket version=\"1\"><fields>" + fields + "</fields><rows>"
           + rows + "</rows></datapacket>";
}

}

TEST(PacketForms, RoundTripEveryTypeExactlyInBothForms)
{
    for (PacketForm form : {PacketForm::Xml, PacketForm::Binary}) {
        const char* name = form == PacketForm::Xml ? "xml" : "binary";
        DataSet original = sampleRows();
        const QByteArray packet = original.toPacket(form);
        DataSet loaded;
        loaded.loadPacket(packet);
        expectSameRows(original, loaded, name);
        EXPECT_EQ(loaded.toPacket(form), packet) << name << ": writing is deterministic";
    }
}

TEST(PacketForms, XmlFormReadsTheSameThroughAStandardXmlParser)
{
    // XML 1.0 has no way to write the other control characters; those texts are left out.
    const auto xml10 = [](const QString& text) {
        return std::none_of(text.begin(), text.end(),
                            [](QChar c) { return c.unicode() < 0x20 && c != u'\t' && c != u'\r' && c != u'\n'; });
    };
    DataSet ds({{"Text", FieldType::Memo, 0}});
    QList<QString> written;
    for (const QString& text : kTexts)
        if (xml10(text)) {
            ds.append();
            ds.setString(u"Text", text);
            ds.post();
            written.append(text);
        }
    QByteArray packet = ds.toPacket(PacketForm::Xml);
    // QXmlStreamReader knows no code page 949: its bytes are read as Latin-1 and turned back.
    const QByteArray head = "encoding=\"CP949\"";
    ASSERT_TRUE(packet.contains(head));
    QXmlStreamReader xml(packet.replace(head, "encoding=\"ISO-8859-1\""));
    QList<QString> read;
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"row")
            read.append(Cp949::decode(xml.attributes().value(QStringLiteral("Text")).toString().toLatin1()));
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(read, written);
}

TEST(PacketForms, LoadingReplacesTheFieldListAndKeepsItsSpelling)
{
    DataSet source({{"reportPoint", FieldType::String, 20}});
    source.append();
    source.setString(u"REPORTPOINT", QStringLiteral("-1"));
    source.post();
    for (PacketForm form : {PacketForm::Xml, PacketForm::Binary}) {
        DataSet target({{"reportpoint", FieldType::String, 20}, {"Other", FieldType::Memo, 0}});
        target.loadPacket(source.toPacket(form));
        ASSERT_EQ(target.fields().size(), 1);
        EXPECT_EQ(target.fields()[0].name, QStringLiteral("reportPoint"));
        EXPECT_EQ(target.asString(u"reportpoint"), QStringLiteral("-1"));
    }
}

TEST(PacketForms, ReadsWhatOtherXmlToolsWriteForTheSameContent)
{
    const QByteArray packet = "<!-- written by hand -->\n"
                              "<datapacket version='1'>\n"
                              "  <fields>\n"
                              "    <field type='string' size='20' name='PAGE'></field>\n"
                              "    <field name=\"M2\" type=\"memo\" />\n"
                              "    <field name=\"Key\" type=\"int32\"/>\n"
                              "  </fields>\n"
                              "  <rows>\n"
                              "    <row M2='a&#x41;&#65;&lt;&#13;&#10;&apos;\"' PAGE=\"PAGE1\" Key=\"-5\"></row>\n"
                              "    <row M2=\"raw\nline\tand\r\ncrlf\"/>\n"
                              "    <rows_are_not_this/>\n";
    // Up to the stray element the packet is fine; the element itself is refused.
    EXPECT_TRUE(loadError(packet).contains(QStringLiteral("rows_are_not_this")));

    QByteArray good = packet;
    good.replace("    <rows_are_not_this/>\n", "  </rows>\n</datapacket>\n<!-- end -->\n");
    DataSet ds;
    ds.loadPacket(good);
    EXPECT_EQ(ds.asString(u"M2"), QStringLiteral("aAA<\r\n'\""));
    EXPECT_EQ(ds.asString(u"page"), QStringLiteral("PAGE1"));
    EXPECT_EQ(ds.asInteger(u"KEY"), -5);
    ds.next();
    EXPECT_EQ(ds.asString(u"M2"), QStringLiteral("raw line and crlf")) << "raw breaks read as blanks, as in XML";
    EXPECT_TRUE(ds.isNull(u"PAGE"));
}

TEST(PacketForms, RefusesMalformedAndHostileXmlWithAMessage)
{
    const QByteArray fields = "<field name=\"S\" type=\"string\" size=\"4\"/><field name=\"N\" type=\"int16\"/>"
                              "<field name=\"B\" type=\"blob\"/>";
    const struct {
        QByteArray packet;
        const char* expected;  // part of the message
    } cases[] = {
        {"", "비어"},
        {"   \n", "비어"},
        {"GIF89a", "요소 밖"},
        {"<?xml version=\"1.0\"?><!DOCTYPE d [<!ENTITY a \"aaaa\"><!ENTITY b \"&a;&a;&a;\">]><datapacket/>", "DOCTYPE"},
        {xmlPacket(fields, "<row S=\"&b;\"/>"), "&b;"},
        {xmlPacket(fields, "<row S=\"&#xD800;\"/>"), "&#xD800;"},
        {xmlPacket(fields, "<row S=\"&#128512;\"/>"), "CP949"},
        {xmlPacket(fields, "<row S=\"a<b\"/>"), "'<'"},
        {xmlPacket(fields, "<row X=\"1\"/>"), "'X'"},
        {xmlPacket(fields, "<row S=\"a\" S=\"b\"/>"), "두 번"},
        {xmlPacket(fields, "<row N=\"abc\"/>"), "16비트 정수"},
        {xmlPacket(fields, "<row N=\"40000\"/>"), "16비트 정수"},
        {xmlPacket(fields, "<row N=\" 1\"/>"), "16비트 정수"},
        {xmlPacket(fields, "<row B=\"AAA\"/>"), "base64"},
        {xmlPacket(fields, "<row B=\"A=AA\"/>"), "base64"},
        {xmlPacket(fields, "<row S=\"\xB0\"/>"), "CP949"},
        {xmlPacket(fields, "<row><![CDATA[x]]></row>"), "CDATA"},
        {xmlPacket(fields, "<row>text</row>"), "요소 밖"},
        {xmlPacket(fields, "<row/><?pi x?>"), "처리 지시"},
        {xmlPacket("<field name=\"S\" type=\"text\"/>", ""), "'text'"},
        {xmlPacket("<field name=\"S\" type=\"string\" size=\"99999999999\"/>", ""), "숫자"},
        {xmlPacket("<field name=\"S\" type=\"string\" size=\"0\"/>", ""), "크기"},
        {xmlPacket("<field name=\"S\" type=\"string\"/>", ""), "크기"},
        {xmlPacket("<field name=\"a b\" type=\"memo\"/>", ""), "'a b'"},
        {xmlPacket("<field name=\"X\" type=\"memo\"/><field name=\"x\" type=\"memo\"/>", ""), "두 번"},
        {xmlPacket("", ""), "필드가 하나도"},
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?><datapacket version=\"1\"/>", "UTF-8"},
        {"<datapacket version=\"2\"/>", "'2'"},
        {xmlPacket(fields, "") + "<datapacket/>", "뒤에"},
    };
    for (const auto& c : cases) {
        const QString message = loadError(c.packet);
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.expected)))
            << c.packet.toStdString() << "\n  gave: " << message.toStdString();
        EXPECT_TRUE(message.isEmpty() || message.contains(QStringLiteral("바이트"))) << message.toStdString();
    }
}

TEST(PacketForms, EveryCutShortPacketIsRefused)
{
    DataSet ds({{"S", FieldType::String, 20}, {"M", FieldType::Memo, 0}, {"B", FieldType::Blob, 0}});
    ds.append();
    ds.setString(u"S", QStringLiteral("가나"));
    ds.setString(u"M", QStringLiteral("줄\r\n"));
    ds.setBytes(u"B", "bytes");
    ds.post();
    for (PacketForm form : {PacketForm::Xml, PacketForm::Binary}) {
        const QByteArray packet = ds.toPacket(form);
        // An XML packet may lose its final line break and stay whole.
        const qsizetype whole = form == PacketForm::Xml ? packet.size() - 1 : packet.size();
        for (qsizetype n = 0; n < whole; ++n)
            EXPECT_FALSE(loadError(packet.left(n)).isEmpty()) << int(form) << " cut at " << n;
    }
}

TEST(PacketForms, RefusesHostileBinaryPacketsWithoutAllocatingForThem)
{
    const auto header = [](quint16 fields, const QByteArray& fieldBytes, quint32 rows) {
        QByteArray b = QByteArray(BinaryPacket::kMagic) + char(1);
        b.append(char(fields & 0xFF)).append(char(fields >> 8)).append(fieldBytes);
        for (int i = 0; i < 4; ++i)
            b.append(char((rows >> (8 * i)) & 0xFF));
        return b;
    };
    const QByteArray memo("\x04\x00\x00\x01M", 5);
    const struct {
        QByteArray packet;
        const char* expected;
    } cases[] = {
        {QByteArray(BinaryPacket::kMagic) + char(9), "판 9"},
        {header(0, {}, 0), "필드 수 0"},
        {header(300, {}, 0), "필드 수 300"},
        {header(1, QByteArray("\x09\x00\x00\x01M", 5), 0), "필드 종류 9"},
        {header(1, QByteArray("\x01\x00\x00\x01M", 5), 0), "크기"},
        {header(1, memo, 0xFFFFFFFFu), "너무 많습니다"},
        {header(1, memo, 1000), "모자랍니다"},
        {header(1, memo, 1) + QByteArray("\x00\xFF\xFF\xFF\x7F", 5), "잘렸습니다"},
        {header(1, memo, 1) + QByteArray("\x00\x01\x00\x00\x00\xB0", 6), "CP949"},
        {header(1, memo, 1) + QByteArray("\x01!", 2), "더 있습니다"},
    };
    for (const auto& c : cases) {
        const QString message = loadError(c.packet);
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.expected)))
            << c.packet.toHex().toStdString() << "\n  gave: " << message.toStdString();
    }
}

TEST(PacketForms, RefusesMoreValuesThanTheLimitInBothForms)
{
    QList<FieldDef> wide;
    for (int i = 0; i < FieldDefs::kMaxFields; ++i)
        wide.append({QStringLiteral("F%1").arg(i), FieldType::Memo, 0});
    const qint64 rows = DataPackets::kMaxValues / FieldDefs::kMaxFields + 1;
    QByteArray fields;
    for (const FieldDef& f : wide)
        fields += "<field name=\"" + f.name.toLatin1() + "\" type=\"memo\"/>";
    EXPECT_TRUE(
        loadError(xmlPacket(fields, QByteArray("<row/>").repeated(rows))).contains(QStringLiteral("너무 많습니다")));

    DataSet ds(wide);
    for (qint64 i = 0; i < rows; ++i) {
        ds.append();
        ds.post();
    }
    EXPECT_TRUE(loadError(ds.toPacket(PacketForm::Binary)).contains(QStringLiteral("너무 많습니다")));
}

TEST(PacketForms, SavingRefusesTextCodePage949CannotHold)
{
    DataSet ds({{"M", FieldType::Memo, 0}});
    ds.append();
    ds.setString(u"M", QStringLiteral("웃음 😀"));
    ds.post();
    for (PacketForm form : {PacketForm::Xml, PacketForm::Binary}) {
        try {
            ds.toPacket(form);
            ADD_FAILURE() << "saved a character code page 949 cannot hold";
        } catch (const AppError& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("😀"))) << e.message().toStdString();
        }
    }
}
