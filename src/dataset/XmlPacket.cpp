#include "dataset/XmlPacket.h"

#include "core/AppError.h"
#include "text/Cp949.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <bitset>
#include <charconv>
#include <limits>

namespace XmlPacket {

namespace {

constexpr char kVersion[] = "1";

// ---- writing ------------------------------------------------------------------------------

// Escapes what an attribute value cannot carry raw. Code page 949 trail bytes are never
// below 0x41, so a byte-wise scan cannot split a double-byte character.
void appendEscaped(QByteArray& out, const QByteArray& bytes)
{
    for (char c : bytes) {
        switch (c) {
        case '&':
            out.append("&amp;");
            break;
        case '<':
            out.append("&lt;");
            break;
        case '>':
            out.append("&gt;");
            break;
        case '"':
            out.append("&quot;");
            break;
        default:
            if (uchar(c) < 0x20) {
                // Tabs and line breaks as references too: a raw one would read back as a blank.
                out.append("&#").append(QByteArray::number(uchar(c))).append(';');
            } else {
                out.append(c);
            }
        }
    }
}

void appendValue(QByteArray& out, const FieldDef& field, const FieldValue& value)
{
    out.append(' ').append(field.name.toLatin1()).append("=\"");
    if (const auto* n = std::get_if<qint32>(&value))
        out.append(QByteArray::number(*n));
    else if (const auto* text = std::get_if<QString>(&value))
        appendEscaped(out, Cp949::encode(*text));
    else if (const auto* bytes = std::get_if<QByteArray>(&value))
        out.append(bytes->toBase64());
    out.append('"');
}

// ---- reading ------------------------------------------------------------------------------

// Base64 decoding through four tables that hold each sextet already shifted into place;
// a character outside the alphabet sets the top byte, so one test checks a whole group.
struct Base64Tables {
    std::array<std::array<quint32, 256>, 4> t{};
    constexpr Base64Tables()
    {
        for (auto& table : t)
            table.fill(0xFF000000u);
        constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        for (quint32 v = 0; v < 64; ++v) {
            const uchar c = uchar(alphabet[v]);
            t[0][c] = v << 18;
            t[1][c] = v << 12;
            t[2][c] = v << 6;
            t[3][c] = v;
        }
    }
};
constexpr Base64Tables kBase64;

bool decodeBase64(QByteArrayView in, QByteArray* out)
{
    const qsizetype n = in.size();
    if (n % 4 != 0)
        return false;
    if (n == 0) {
        out->clear();
        return true;
    }
    const auto* s = reinterpret_cast<const uchar*>(in.data());
    const int fill = s[n - 1] == '=' ? (s[n - 2] == '=' ? 2 : 1) : 0;
    out->resize(n / 4 * 3 - fill);
    auto* d = reinterpret_cast<uchar*>(out->data());
    const auto& t = kBase64.t;
    const qsizetype full = n - 4;  // the last group may carry fill characters
    for (qsizetype i = 0; i < full; i += 4, d += 3) {
        const quint32 v = t[0][s[i]] | t[1][s[i + 1]] | t[2][s[i + 2]] | t[3][s[i + 3]];
        if (v & 0xFF000000u)
            return false;
        d[0] = uchar(v >> 16);
        d[1] = uchar(v >> 8);
        d[2] = uchar(v);
    }
    const uchar* last = s + full;
    const quint32 v = t[0][last[0]] | t[1][last[1]] | (fill == 2 ? 0 : t[2][last[2]]) | (fill >= 1 ? 0 : t[3][last[3]]);
    if (v & 0xFF000000u)
        return false;
    d[0] = uchar(v >> 16);
    if (fill < 2)
        d[1] = uchar(v >> 8);
    if (fill < 1)
        d[2] = uchar(v);
    return true;
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isNameChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == ':'
           || c == '-' || c == '.';
}

struct Attribute {
    QByteArrayView name;
    QByteArrayView raw;  // between the quotes, references not yet resolved
    qsizetype offset;    // of the value
};

struct Tag {
    QByteArrayView name;
    QList<Attribute> attributes;
    bool empty = false;  // written as <name .../>
    qsizetype offset = 0;
};

class Reader {
public:
    explicit Reader(QByteArrayView bytes) : b_(bytes) {}

    DataPacket read();

private:
    [[noreturn]] void fail(qsizetype at, const QString& detail) const
    {
        DataPackets::fail(PacketForm::Xml, at, detail);
    }
    [[noreturn]] void fail(const QString& detail) const { fail(pos_, detail); }

    bool atEnd() const { return pos_ >= b_.size(); }
    bool lookingAt(QByteArrayView s) const { return b_.sliced(pos_).startsWith(s); }
    void skipSpace()
    {
        while (!atEnd() && isSpace(b_[pos_]))
            ++pos_;
    }

    void readDeclaration();
    void skipMisc();
    Tag readStartTag(const char* expected);
    bool atEndTag(const char* name);
    void readEndTag(const char* name);
    void closeElement(const Tag& tag);
    QByteArrayView readName();
    QByteArrayView readQuoted(qsizetype* valueOffset);

    QByteArray unescape(const Attribute& a) const;
    QString text(const Attribute& a, const QString& what) const;
    FieldDef readField();
    FieldValue readValue(const FieldDef& field, const Attribute& a) const;

    QByteArrayView b_;
    qsizetype pos_ = 0;
};

QString shown(QByteArrayView bytes)
{
    return QString::fromLatin1(bytes.first(std::min<qsizetype>(bytes.size(), 40)));
}

QByteArrayView Reader::readName()
{
    const qsizetype start = pos_;
    while (!atEnd() && isNameChar(b_[pos_]))
        ++pos_;
    if (pos_ == start)
        fail(QStringLiteral("이름이 있어야 할 자리입니다"));
    return b_.sliced(start, pos_ - start);
}

QByteArrayView Reader::readQuoted(qsizetype* valueOffset)
{
    if (atEnd() || (b_[pos_] != '"' && b_[pos_] != '\''))
        fail(QStringLiteral("따옴표로 싼 값이 있어야 합니다"));
    const char quote = b_[pos_++];
    const qsizetype end = b_.indexOf(quote, pos_);
    if (end < 0)
        fail(QStringLiteral("닫는 따옴표가 없습니다 (자료가 잘렸습니다)"));
    *valueOffset = pos_;
    const QByteArrayView value = b_.sliced(pos_, end - pos_);
    pos_ = end + 1;
    return value;
}

// The declaration is optional; when present it must come first and name our code page.
void Reader::readDeclaration()
{
    if (!lookingAt("<?xml") || b_.size() < 6 || !isSpace(b_[5]))
        return;
    pos_ += 5;
    for (;;) {
        skipSpace();
        if (lookingAt("?>")) {
            pos_ += 2;
            return;
        }
        const QByteArrayView name = readName();
        skipSpace();
        if (atEnd() || b_[pos_] != '=')
            fail(QStringLiteral("XML 선언에 '='가 빠졌습니다"));
        ++pos_;
        skipSpace();
        qsizetype at = 0;
        const QByteArrayView value = readQuoted(&at);
        if (name == "version" && value != "1.0")
            fail(at, QStringLiteral("XML 판 '%1'은(는) 읽을 수 없습니다").arg(shown(value)));
        if (name == "encoding") {
            static const char* const accepted[] = {"CP949", "windows-949", "EUC-KR", "US-ASCII"};
            bool ok = false;
            for (const char* e : accepted)
                ok = ok || QLatin1String(value).compare(QLatin1String(e), Qt::CaseInsensitive) == 0;
            if (!ok)
                fail(at,
                     QStringLiteral("문자 인코딩 '%1'은(는) 읽을 수 없습니다 (CP949만 읽습니다)").arg(shown(value)));
        }
    }
}

// Blanks and comments may stand between elements; anything else that is not a tag is refused.
void Reader::skipMisc()
{
    for (;;) {
        skipSpace();
        if (lookingAt("<!--")) {
            const qsizetype end = b_.indexOf("-->", pos_ + 4);
            if (end < 0)
                fail(QStringLiteral("주석이 닫히지 않았습니다 (자료가 잘렸습니다)"));
            pos_ = end + 3;
        } else if (lookingAt("<!DOCTYPE")) {
            fail(QStringLiteral("문서 형식 선언(DOCTYPE)이 든 자료는 받지 않습니다"));
        } else if (lookingAt("<!")) {
            fail(QStringLiteral("CDATA 구역이나 선언은 받지 않습니다"));
        } else if (lookingAt("<?")) {
            fail(QStringLiteral("처리 지시(<?...?>)는 받지 않습니다"));
        } else if (!atEnd() && b_[pos_] != '<') {
            fail(QStringLiteral("요소 밖에 글자가 있습니다: '%1'").arg(shown(b_.sliced(pos_))));
        } else {
            return;
        }
    }
}

Tag Reader::readStartTag(const char* expected)
{
    skipMisc();
    Tag tag;
    tag.offset = pos_;
    if (atEnd())
        fail(QStringLiteral("<%1> 요소가 있어야 하는데 자료가 끝났습니다 (자료가 잘렸습니다)")
                 .arg(QLatin1String(expected)));
    ++pos_;  // '<'
    tag.name = readName();
    if (tag.name != QByteArrayView(expected))
        fail(tag.offset, QStringLiteral("<%1> 요소가 있어야 할 자리에 <%2>가 있습니다")
                             .arg(QLatin1String(expected), shown(tag.name)));
    for (;;) {
        skipSpace();
        if (atEnd())
            fail(QStringLiteral("<%1> 태그가 닫히지 않았습니다 (자료가 잘렸습니다)").arg(QLatin1String(expected)));
        if (b_[pos_] == '>') {
            ++pos_;
            return tag;
        }
        if (lookingAt("/>")) {
            pos_ += 2;
            tag.empty = true;
            return tag;
        }
        Attribute a;
        a.name = readName();
        skipSpace();
        if (atEnd() || b_[pos_] != '=')
            fail(QStringLiteral("속성 '%1' 뒤에 '='가 빠졌습니다").arg(shown(a.name)));
        ++pos_;
        skipSpace();
        a.raw = readQuoted(&a.offset);
        tag.attributes.append(a);
    }
}

bool Reader::atEndTag(const char* name)
{
    skipMisc();
    return lookingAt("</") && b_.sliced(pos_ + 2).startsWith(QByteArrayView(name));
}

void Reader::readEndTag(const char* name)
{
    skipMisc();
    const qsizetype at = pos_;
    if (!lookingAt("</"))
        fail(QStringLiteral("</%1>이(가) 있어야 합니다").arg(QLatin1String(name)));
    pos_ += 2;
    if (readName() != QByteArrayView(name))
        fail(at, QStringLiteral("</%1>이(가) 있어야 할 자리에 다른 닫는 태그가 있습니다").arg(QLatin1String(name)));
    skipSpace();
    if (atEnd() || b_[pos_] != '>')
        fail(QStringLiteral("</%1> 태그가 닫히지 않았습니다").arg(QLatin1String(name)));
    ++pos_;
}

void Reader::closeElement(const Tag& tag)
{
    if (!tag.empty)
        readEndTag(tag.name.toByteArray().constData());
}

// Resolves references and applies XML's attribute rule that a raw tab or line break reads
// as a blank; the result is code page 949 bytes.
QByteArray Reader::unescape(const Attribute& a) const
{
    QByteArray out;
    out.reserve(a.raw.size());
    for (qsizetype i = 0; i < a.raw.size(); ++i) {
        const char c = a.raw[i];
        if (c == '<')
            fail(a.offset + i, QStringLiteral("속성 값 안에 '<'가 있습니다"));
        if (c == '\r') {
            if (i + 1 < a.raw.size() && a.raw[i + 1] == '\n')
                ++i;
            out.append(' ');
            continue;
        }
        if (c == '\t' || c == '\n') {
            out.append(' ');
            continue;
        }
        if (c != '&') {
            out.append(c);
            continue;
        }
        const qsizetype end = a.raw.indexOf(';', i);
        if (end < 0 || end - i > 12)
            fail(a.offset + i, QStringLiteral("'&' 뒤에 ';'로 끝나는 참조가 없습니다"));
        const QByteArrayView ref = a.raw.sliced(i + 1, end - i - 1);
        if (ref == "lt")
            out.append('<');
        else if (ref == "gt")
            out.append('>');
        else if (ref == "amp")
            out.append('&');
        else if (ref == "quot")
            out.append('"');
        else if (ref == "apos")
            out.append('\'');
        else if (ref.startsWith('#')) {
            const bool hex = ref.size() > 1 && ref[1] == 'x';
            const QByteArrayView digits = ref.sliced(hex ? 2 : 1);
            quint32 code = 0;
            const auto [p, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
            if (digits.isEmpty() || ec != std::errc() || p != digits.data() + digits.size() || code > 0x10FFFF
                || (code >= 0xD800 && code <= 0xDFFF))
                fail(a.offset + i, QStringLiteral("문자 참조 '&%1;'이(가) 올바르지 않습니다").arg(shown(ref)));
            if (code < 0x80) {
                out.append(char(code));
            } else {
                const char32_t c32 = code;
                const QString ch = QString::fromUcs4(&c32, 1);
                if (!Cp949::canEncode(ch))
                    fail(
                        a.offset + i,
                        QStringLiteral("문자 참조 '&%1;'의 글자는 완성형 한글 코드(CP949)에 없습니다").arg(shown(ref)));
                out.append(Cp949::encode(ch));
            }
        } else {
            fail(a.offset + i, QStringLiteral("알 수 없는 엔티티 '&%1;'").arg(shown(ref)));
        }
        i = end;
    }
    return out;
}

QString Reader::text(const Attribute& a, const QString& what) const
{
    const bool plain = a.raw.indexOf('&') < 0 && a.raw.indexOf('<') < 0 && a.raw.indexOf('\t') < 0
                       && a.raw.indexOf('\r') < 0 && a.raw.indexOf('\n') < 0;
    QString value;
    if (!DataPackets::decodeText(plain ? a.raw : QByteArrayView(unescape(a)), &value))
        fail(a.offset, QStringLiteral("%1의 글자가 완성형 한글 코드(CP949)가 아닙니다").arg(what));
    return value;
}

FieldDef Reader::readField()
{
    const Tag tag = readStartTag("field");
    FieldDef field;
    QString size;
    bool hasName = false, hasType = false;
    for (const Attribute& a : tag.attributes) {
        if (a.name == "name") {
            field.name = text(a, QStringLiteral("필드 이름"));
            hasName = true;
        } else if (a.name == "type") {
            if (!FieldDefs::typeFromName(QString::fromLatin1(a.raw), &field.type))
                fail(a.offset, QStringLiteral("알 수 없는 필드 종류 '%1'").arg(shown(a.raw)));
            hasType = true;
        } else if (a.name == "size") {
            const auto [p, ec] = std::from_chars(a.raw.data(), a.raw.data() + a.raw.size(), field.size);
            if (a.raw.isEmpty() || ec != std::errc() || p != a.raw.data() + a.raw.size())
                fail(a.offset, QStringLiteral("필드 크기 '%1'이(가) 숫자가 아닙니다").arg(shown(a.raw)));
        } else {
            fail(a.offset, QStringLiteral("<field>에 모르는 속성 '%1'이(가) 있습니다").arg(shown(a.name)));
        }
    }
    if (!hasName || !hasType)
        fail(tag.offset, QStringLiteral("<field>에 name과 type 속성이 있어야 합니다"));
    closeElement(tag);
    return field;
}

FieldValue Reader::readValue(const FieldDef& field, const Attribute& a) const
{
    if (FieldDefs::holdsBytes(field.type)) {
        QByteArray bytes;
        if (!decodeBase64(a.raw, &bytes))
            fail(a.offset, QStringLiteral("'%1' 필드의 값이 올바른 base64가 아닙니다").arg(field.name));
        return bytes;
    }
    if (FieldDefs::holdsInteger(field.type)) {
        qint32 n = 0;
        const auto [p, ec] = std::from_chars(a.raw.data(), a.raw.data() + a.raw.size(), n);
        const bool small = field.type == FieldType::SmallInt;
        if (a.raw.isEmpty() || ec != std::errc() || p != a.raw.data() + a.raw.size()
            || (small && (n < std::numeric_limits<qint16>::min() || n > std::numeric_limits<qint16>::max())))
            fail(a.offset, QStringLiteral("'%1' 필드의 값 '%2'이(가) %3가 아닙니다")
                               .arg(field.name, shown(a.raw), FieldDefs::typeLabel(field.type)));
        return n;
    }
    return DataPackets::textValue(field, text(a, QStringLiteral("'%1' 필드").arg(field.name)));
}

DataPacket Reader::read()
{
    readDeclaration();
    skipMisc();
    if (atEnd())
        fail(QStringLiteral("자료가 비어 있습니다"));
    const Tag root = readStartTag("datapacket");
    if (root.attributes.size() != 1 || root.attributes[0].name != "version")
        fail(root.offset, QStringLiteral("<datapacket>에는 version 속성 하나만 있어야 합니다"));
    if (root.attributes[0].raw != kVersion)
        fail(root.attributes[0].offset,
             QStringLiteral("이 프로그램이 모르는 형식 판 '%1'입니다").arg(shown(root.attributes[0].raw)));
    if (root.empty)
        fail(root.offset, QStringLiteral("<datapacket>에 필드 목록이 없습니다"));

    DataPacket packet;
    const Tag fields = readStartTag("fields");
    if (!fields.attributes.isEmpty())
        fail(fields.offset, QStringLiteral("<fields>에는 속성이 없어야 합니다"));
    if (!fields.empty) {
        while (!atEndTag("fields")) {
            if (packet.fields.size() == FieldDefs::kMaxFields)
                fail(QStringLiteral("필드가 %1개보다 많습니다").arg(FieldDefs::kMaxFields));
            packet.fields.append(readField());
        }
        readEndTag("fields");
    }
    try {
        FieldDefs::validate(packet.fields);
    } catch (const std::exception& e) {
        fail(fields.offset, ExceptionMessage(e));
    }

    const qsizetype fieldCount = packet.fields.size();
    QHash<QByteArrayView, int> byName;
    QList<QByteArray> names;  // keeps the views' bytes alive
    for (qsizetype i = 0; i < fieldCount; ++i) {
        names.append(packet.fields[i].name.toLatin1());
        byName.insert(names.last(), int(i));
    }

    const Tag rows = readStartTag("rows");
    if (!rows.attributes.isEmpty())
        fail(rows.offset, QStringLiteral("<rows>에는 속성이 없어야 합니다"));
    if (!rows.empty) {
        while (!atEndTag("rows")) {
            if ((packet.rows.size() + 1) * fieldCount > DataPackets::kMaxValues)
                fail(QStringLiteral("행이 너무 많습니다 (값 %1개까지)").arg(DataPackets::kMaxValues));
            const Tag row = readStartTag("row");
            FieldRow values(fieldCount);
            std::bitset<FieldDefs::kMaxFields> seen;
            int expected = 0;
            for (const Attribute& a : row.attributes) {
                // The writer puts the fields in order, so the next one is tried first.
                int index = expected < fieldCount && a.name == QByteArrayView(names[expected])
                                ? expected
                                : byName.value(a.name, -1);
                if (index < 0)
                    fail(a.offset, QStringLiteral("필드 목록에 없는 '%1' 값이 있습니다").arg(shown(a.name)));
                if (seen[index])
                    fail(a.offset, QStringLiteral("'%1' 값이 한 행에 두 번 있습니다").arg(shown(a.name)));
                seen[index] = true;
                values[index] = readValue(packet.fields[index], a);
                expected = index + 1;
            }
            closeElement(row);
            packet.rows.append(std::move(values));
        }
        readEndTag("rows");
    }
    readEndTag("datapacket");
    skipMisc();
    if (!atEnd())
        fail(QStringLiteral("<datapacket> 뒤에 다른 요소가 있습니다"));
    return packet;
}

}

QByteArray write(const DataPacket& packet)
{
    FieldDefs::validate(packet.fields);
    QByteArray out;
    out.append("<?xml version=\"1.0\" encoding=\"CP949\" standalone=\"yes\"?>\n");
    out.append("<datapacket version=\"").append(kVersion).append("\">\n<fields>\n");
    for (const FieldDef& f : packet.fields) {
        out.append("<field name=\"").append(f.name.toLatin1()).append("\" type=\"");
        out.append(FieldDefs::typeName(f.type).toLatin1()).append('"');
        if (f.type == FieldType::String)
            out.append(" size=\"").append(QByteArray::number(f.size)).append('"');
        out.append("/>\n");
    }
    out.append("</fields>\n<rows>\n");
    for (const FieldRow& row : packet.rows) {
        out.append("<row");
        for (qsizetype i = 0; i < packet.fields.size(); ++i)
            if (!std::holds_alternative<std::monostate>(row[i]))
                appendValue(out, packet.fields[i], row[i]);
        out.append("/>\n");
    }
    out.append("</rows>\n</datapacket>\n");
    return out;
}

DataPacket read(QByteArrayView bytes)
{
    return Reader(bytes).read();
}

}
