#pragma once

#include "core/AppError.h"
#include "report/PreparedReport.h"
#include "report/ReportTemplate.h"

#include <QStringList>

#include <functional>

// One A4 page with margins 36 and the given bands (JSON), optionally followed by more pages.
inline ReportTemplate TestTemplate(const QString& bands, const QString& morePages = {})
{
    const QString json =
        QStringLiteral(
            R"({"pages": [{"paper": "A4", "margins": {"left": 36, "top": 36, "right": 36, "bottom": 36},
            "bands": [%1]}%2]})")
            .arg(bands, morePages);
    return ReportTemplate::fromJson(json.toUtf8(), QStringLiteral("test.json"));
}

inline QList<ReportTextLine> TextLines(const PreparedPage& page)
{
    QList<ReportTextLine> lines;
    for (const ReportItem& item : page.items)
        if (const auto* line = std::get_if<ReportTextLine>(&item))
            lines.append(*line);
    return lines;
}

inline QStringList Texts(const PreparedPage& page)
{
    QStringList texts;
    for (const ReportTextLine& line : TextLines(page))
        texts.append(line.text);
    return texts;
}

inline QString ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const AppError& e) {
        return e.message();
    }
    return {};
}
