#include "report/ReportTemplate.h"

#include "core/AppError.h"
#include "report/ReportExpression.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <initializer_list>
#include <optional>

namespace ReportUnits {

QSizeF paperSize(const QPageSize& paper, QPageLayout::Orientation orientation)
{
    // Millimetres are exact for the ISO sizes; Qt rounds inches to two places.
    const QSizeF units = paper.size(QPageSize::Millimeter) / 25.4 * kUnitsPerInch;
    return orientation == QPageLayout::Landscape ? units.transposed() : units;
}

}

ReportObject* ReportBand::findObject(QStringView name)
{
    for (ReportObject& object : objects)
        if (object.name.compare(name, Qt::CaseInsensitive) == 0)
            return &object;
    return nullptr;
}

ReportBand* ReportPage::findBand(QStringView name)
{
    for (ReportBand& band : bands)
        if (band.name.compare(name, Qt::CaseInsensitive) == 0)
            return &band;
    return nullptr;
}

ReportObject* ReportPage::findObject(QStringView name)
{
    for (ReportBand& band : bands)
        if (ReportObject* object = band.findObject(name))
            return object;
    return nullptr;
}

ReportBand* ReportTemplate::findBand(int page, QStringView name)
{
    return page >= 0 && page < pages.size() ? pages[page].findBand(name) : nullptr;
}

ReportObject* ReportTemplate::findObject(int page, QStringView name)
{
    return page >= 0 && page < pages.size() ? pages[page].findObject(name) : nullptr;
}

namespace {

// Reads the file form strictly: an unknown key or a value of the wrong kind is a fault,
// so a misspelt property never goes unnoticed as a default.
class Reader {
public:
    explicit Reader(const QString& source) : source_(source) {}

    ReportTemplate read(QByteArrayView json)
    {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(json.toByteArray(), &error);
        if (error.error != QJsonParseError::NoError)
            fail(QStringLiteral("%1번째 글자").arg(error.offset + 1), error.errorString());
        if (!doc.isObject())
            fail(QString(), QStringLiteral("양식 전체가 객체가 아닙니다"));
        const QJsonObject root = doc.object();
        keys(root, {"pages"}, QString());
        ReportTemplate report;
        report.source = source_;
        const QJsonArray pages = array(root, "pages", QString());
        for (qsizetype i = 0; i < pages.size(); ++i)
            report.pages.append(page(object(pages[i], QStringLiteral("pages[%1]").arg(i))));
        if (report.pages.isEmpty())
            fail(QStringLiteral("pages"), QStringLiteral("쪽이 하나도 없습니다"));
        checkSubReports(report);
        return report;
    }

private:
    [[noreturn]] void fail(const QString& where, const QString& detail) const
    {
        QString place = source_;
        if (!where.isEmpty())
            place += QStringLiteral(" (%1)").arg(where);
        throw AppError(QStringLiteral("보고서 양식 %1을 읽을 수 없습니다: %2").arg(place, detail));
    }

    void keys(const QJsonObject& json, std::initializer_list<const char*> allowed, const QString& where) const
    {
        for (auto it = json.begin(); it != json.end(); ++it) {
            bool known = false;
            for (const char* key : allowed)
                known = known || it.key() == QLatin1String(key);
            if (!known)
                fail(where, QStringLiteral("알 수 없는 항목 \"%1\"").arg(it.key()));
        }
    }

    static QString at(const QString& where, const char* key)
    {
        return where.isEmpty() ? QString::fromLatin1(key) : where + u'.' + QLatin1String(key);
    }

    QJsonObject object(const QJsonValue& value, const QString& where) const
    {
        if (!value.isObject())
            fail(where, QStringLiteral("객체여야 합니다"));
        return value.toObject();
    }

    QJsonArray array(const QJsonObject& json, const char* key, const QString& where) const
    {
        const QJsonValue value = json.value(QLatin1String(key));
        if (!value.isArray())
            fail(at(where, key), QStringLiteral("목록이 있어야 합니다"));
        return value.toArray();
    }

    double number(const QJsonObject& json, const char* key, const QString& where,
                  std::optional<double> fallback = std::nullopt) const
    {
        const QJsonValue value = json.value(QLatin1String(key));
        if (value.isUndefined() && fallback)
            return *fallback;
        if (!value.isDouble())
            fail(at(where, key), QStringLiteral("숫자가 있어야 합니다"));
        if (value.toDouble() < 0)
            fail(at(where, key), QStringLiteral("음수일 수 없습니다"));
        return value.toDouble();
    }

    QString string(const QJsonObject& json, const char* key, const QString& where,
                   std::optional<QString> fallback = std::nullopt) const
    {
        const QJsonValue value = json.value(QLatin1String(key));
        if (value.isUndefined() && fallback)
            return *fallback;
        if (!value.isString())
            fail(at(where, key), QStringLiteral("문자열이 있어야 합니다"));
        return value.toString();
    }

    bool boolean(const QJsonObject& json, const char* key, const QString& where) const
    {
        const QJsonValue value = json.value(QLatin1String(key));
        if (value.isUndefined())
            return false;
        if (!value.isBool())
            fail(at(where, key), QStringLiteral("true 또는 false여야 합니다"));
        return value.toBool();
    }

    QColor color(const QJsonObject& json, const char* key, const QString& where) const
    {
        const QString text = string(json, key, where, QStringLiteral("#000000"));
        const QColor parsed = QColor::fromString(text);
        if (!text.startsWith(u'#') || text.size() != 7 || !parsed.isValid())
            fail(at(where, key), QStringLiteral("\"#RRGGBB\" 꼴의 색이어야 합니다"));
        return parsed;
    }

    template <typename T>
    T choice(const QJsonObject& json, const char* key, const QString& where,
             std::initializer_list<std::pair<const char*, T>> options, std::optional<T> fallback = std::nullopt) const
    {
        const QJsonValue value = json.value(QLatin1String(key));
        if (value.isUndefined() && fallback)
            return *fallback;
        const QString text = value.toString();
        QStringList names;
        for (const auto& [name, result] : options) {
            if (text == QLatin1String(name))
                return result;
            names.append(QLatin1String(name));
        }
        fail(at(where, key), QStringLiteral("%1 가운데 하나여야 합니다").arg(names.join(u", ")));
    }

    ReportPage page(const QJsonObject& json)
    {
        const QString where = QStringLiteral("pages[%1]").arg(pageIndex_++);
        keys(json, {"paper", "orientation", "margins", "bands"}, where);
        ReportPage page;
        page.paper = choice<QPageSize>(json, "paper", where, {{"A4", QPageSize(QPageSize::A4)}});
        page.orientation = choice<QPageLayout::Orientation>(
            json, "orientation", where, {{"portrait", QPageLayout::Portrait}, {"landscape", QPageLayout::Landscape}},
            QPageLayout::Portrait);
        if (json.contains(QLatin1String("margins"))) {
            const QString m = at(where, "margins");
            const QJsonObject margins = object(json.value(QLatin1String("margins")), m);
            keys(margins, {"left", "top", "right", "bottom"}, m);
            page.margins = QMarginsF(number(margins, "left", m, 0), number(margins, "top", m, 0),
                                     number(margins, "right", m, 0), number(margins, "bottom", m, 0));
        }
        const QJsonArray bands = array(json, "bands", where);
        for (qsizetype i = 0; i < bands.size(); ++i) {
            const QString w = QStringLiteral("%1.bands[%2]").arg(where).arg(i);
            page.bands.append(band(object(bands[i], w), w));
        }
        const QSizeF size = page.size();
        if (page.margins.left() + page.margins.right() >= size.width()
            || page.margins.top() + page.margins.bottom() >= size.height())
            fail(at(where, "margins"), QStringLiteral("여백이 종이보다 큽니다"));
        return page;
    }

    ReportBand band(const QJsonObject& json, const QString& where)
    {
        keys(json, {"name", "kind", "height", "dataset", "visible", "objects"}, where);
        ReportBand band;
        band.name = string(json, "name", where);
        band.kind = choice<ReportBand::Kind>(json, "kind", where,
                                             {{"masterData", ReportBand::Kind::MasterData},
                                              {"columnHeader", ReportBand::Kind::ColumnHeader},
                                              {"columnFooter", ReportBand::Kind::ColumnFooter},
                                              {"reportSummary", ReportBand::Kind::ReportSummary},
                                              {"overlay", ReportBand::Kind::Overlay},
                                              {"pageHeader", ReportBand::Kind::PageHeader}});
        band.height = number(json, "height", where);
        if (band.kind == ReportBand::Kind::MasterData)
            band.dataset = string(json, "dataset", where);
        else if (json.contains(QLatin1String("dataset")))
            fail(at(where, "dataset"), QStringLiteral("데이터 밴드에만 쓸 수 있습니다"));
        band.visible = !json.contains(QLatin1String("visible")) || boolean(json, "visible", where);
        if (json.contains(QLatin1String("objects"))) {
            const QJsonArray objects = array(json, "objects", where);
            for (qsizetype i = 0; i < objects.size(); ++i) {
                const QString w = QStringLiteral("%1.objects[%2]").arg(where).arg(i);
                band.objects.append(reportObject(object(objects[i], w), w));
            }
        }
        return band;
    }

    ReportObject reportObject(const QJsonObject& json, const QString& where)
    {
        keys(json,
             {"name", "kind", "x", "y", "width", "height", "visible", "frame", "text", "font", "align", "valign",
              "wrap", "grow", "lineSpacing", "padding", "page"},
             where);
        ReportObject object;
        object.name = string(json, "name", where);
        object.kind = choice<ReportObject::Kind>(json, "kind", where,
                                                 {{"memo", ReportObject::Kind::Memo},
                                                  {"picture", ReportObject::Kind::Picture},
                                                  {"subReport", ReportObject::Kind::SubReport}});
        object.box = QRectF(number(json, "x", where), number(json, "y", where), number(json, "width", where, 0),
                            number(json, "height", where, 0));
        object.visible = !json.contains(QLatin1String("visible")) || boolean(json, "visible", where);
        if (json.contains(QLatin1String("frame")))
            object.frame = frame(json, at(where, "frame"));

        switch (object.kind) {
        case ReportObject::Kind::SubReport:
            if (number(json, "page", where) != std::floor(number(json, "page", where)))
                fail(at(where, "page"), QStringLiteral("쪽 번호는 정수여야 합니다"));
            object.subReportPage = int(number(json, "page", where)) - 1;
            return object;
        case ReportObject::Kind::Picture:
            object.text = string(json, "text", where);
            if (!expression(object.text, at(where, "text")).isSingleField())
                fail(at(where, "text"), QStringLiteral("그림에는 [자료.\"필드\"] 하나만 쓸 수 있습니다"));
            return object;
        case ReportObject::Kind::Memo:
            break;
        }
        object.text = string(json, "text", where, QString());
        expression(object.text, at(where, "text"));
        if (json.contains(QLatin1String("font")))
            object.font = font(json, at(where, "font"));
        const Qt::Alignment h = choice<Qt::Alignment>(
            json, "align", where, {{"left", Qt::AlignLeft}, {"center", Qt::AlignHCenter}, {"right", Qt::AlignRight}},
            Qt::AlignLeft);
        const Qt::Alignment v = choice<Qt::Alignment>(
            json, "valign", where, {{"top", Qt::AlignTop}, {"center", Qt::AlignVCenter}, {"bottom", Qt::AlignBottom}},
            Qt::AlignTop);
        object.align = h | v;
        object.wrap = boolean(json, "wrap", where);
        object.grow = boolean(json, "grow", where);
        object.lineSpacing = number(json, "lineSpacing", where, 0);
        if (json.contains(QLatin1String("padding"))) {
            const double padding = number(json, "padding", where);
            object.padding = QMarginsF(padding, padding, padding, padding);
        }
        return object;
    }

    ReportExpression expression(const QString& text, const QString& where) const
    {
        try {
            return ReportExpression::parse(text);
        } catch (const AppError& error) {
            fail(where, error.message());
        }
    }

    ReportFrame frame(const QJsonObject& owner, const QString& where) const
    {
        const QJsonObject json = object(owner.value(QLatin1String("frame")), where);
        keys(json, {"sides", "color", "width"}, where);
        ReportFrame frame;
        const QJsonArray sides = array(json, "sides", where);
        for (qsizetype i = 0; i < sides.size(); ++i) {
            const QJsonObject wrapper{{QStringLiteral("side"), sides[i]}};
            frame.sides |= choice<int>(wrapper, "side", QStringLiteral("%1.sides[%2]").arg(where).arg(i),
                                       {{"left", ReportFrame::Left},
                                        {"top", ReportFrame::Top},
                                        {"right", ReportFrame::Right},
                                        {"bottom", ReportFrame::Bottom}});
        }
        frame.color = color(json, "color", where);
        frame.width = number(json, "width", where, 1);
        return frame;
    }

    ReportFont font(const QJsonObject& owner, const QString& where) const
    {
        const QJsonObject json = object(owner.value(QLatin1String("font")), where);
        keys(json, {"family", "points", "bold", "color"}, where);
        ReportFont font;
        font.family = string(json, "family", where, font.family);
        font.points = number(json, "points", where, font.points);
        if (font.points <= 0)
            fail(at(where, "points"), QStringLiteral("글자 크기는 0보다 커야 합니다"));
        font.bold = boolean(json, "bold", where);
        font.color = color(json, "color", where);
        return font;
    }

    // A sub-report names a page of the same template that is not itself, and pages do not
    // print one another in a circle.
    void checkSubReports(const ReportTemplate& report) const
    {
        for (qsizetype p = 0; p < report.pages.size(); ++p)
            for (const ReportBand& band : report.pages[p].bands)
                for (const ReportObject& object : band.objects)
                    if (object.kind == ReportObject::Kind::SubReport
                        && (object.subReportPage < 0 || object.subReportPage >= report.pages.size()
                            || reaches(report, object.subReportPage, int(p))))
                        fail(QStringLiteral("%1.%2").arg(band.name, object.name),
                             QStringLiteral("하위 보고서의 쪽 %1이 없거나 자신을 다시 부릅니다")
                                 .arg(object.subReportPage + 1));
    }

    static bool reaches(const ReportTemplate& report, int from, int target, int depth = 0)
    {
        if (from == target)
            return true;
        if (depth > report.pages.size())
            return true;
        for (const ReportBand& band : report.pages[from].bands)
            for (const ReportObject& object : band.objects)
                if (object.kind == ReportObject::Kind::SubReport
                    && (object.subReportPage < 0 || object.subReportPage >= report.pages.size()
                        || reaches(report, object.subReportPage, target, depth + 1)))
                    return true;
        return false;
    }

    QString source_;
    int pageIndex_ = 0;
};

}

ReportTemplate ReportTemplate::fromJson(QByteArrayView json, const QString& source)
{
    return Reader(source).read(json);
}

ReportTemplate ReportTemplate::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("보고서 양식 %1을 열 수 없습니다: %2").arg(path, file.errorString()));
    return fromJson(file.readAll(), path);
}
