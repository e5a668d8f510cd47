#pragma once

#include <QColor>
#include <QList>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QRectF>
#include <QString>

// A banded report template as data: pages of bands, bands of objects. Places and sizes are
// in layout units (kUnitsPerInch); an object's x is measured from the paper's left edge,
// its y from the top of its band. docs/report-engine.md describes the file form.

namespace ReportUnits {
inline constexpr double kUnitsPerInch = 91.6256;
inline constexpr double kPointsPerInch = 72.0;
// The paper of a page in layout units.
QSizeF paperSize(const QPageSize& paper, QPageLayout::Orientation orientation);
}

struct ReportFont {
    QString family = QStringLiteral("Arial");
    double points = 10;
    bool bold = false;
    QColor color = Qt::black;
};

struct ReportFrame {
    enum Side { Left = 1, Top = 2, Right = 4, Bottom = 8 };
    int sides = 0;
    QColor color = Qt::black;
    double width = 1;
};

struct ReportObject {
    enum class Kind { Memo, Picture, SubReport };

    Kind kind = Kind::Memo;
    QString name;
    QRectF box;
    bool visible = true;
    ReportFrame frame;

    // Memo: literal text with [dataset."FIELD"] and [variable] expressions.
    // Picture: one [dataset."FIELD"] whose bytes hold the picture, drawn fitted.
    QString text;
    ReportFont font;
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop;
    bool wrap = false;              // breaks lines at word boundaries to the box's width
    bool grow = false;              // the object, and its band with it, grows to hold its text
    double lineSpacing = 0;         // units between two lines
    QMarginsF padding{2, 1, 2, 1};  // between the box and its text

    int subReportPage = -1;  // SubReport: the template page (from 0) printed at the object
};

struct ReportBand {
    enum class Kind { MasterData, ColumnHeader, ColumnFooter, ReportSummary, Overlay, PageHeader };
    // The dataset name of a band printed exactly once.
    static constexpr QLatin1StringView kOnce{"1"};

    Kind kind = Kind::MasterData;
    QString name;
    double height = 0;
    QString dataset;  // master data only: a dataset name or kOnce
    bool visible = true;
    QList<ReportObject> objects;

    ReportObject* findObject(QStringView name);
};

struct ReportPage {
    QPageSize paper{QPageSize::A4};
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF margins;
    QList<ReportBand> bands;  // in their order on the template

    QSizeF size() const { return ReportUnits::paperSize(paper, orientation); }
    ReportBand* findBand(QStringView name);
    ReportObject* findObject(QStringView name);  // in any band of the page
};

class ReportTemplate {
public:
    QString source;  // where it was read from, for messages
    QList<ReportPage> pages;

    // Lookups without regard to case; null when the page or the name is missing, so
    // callers can skip what a template lacks.
    ReportBand* findBand(int page, QStringView name);
    ReportObject* findObject(int page, QStringView name);

    // Reads the file form; a fault raises an error naming the source and the place.
    static ReportTemplate fromJson(QByteArrayView json, const QString& source);
    static ReportTemplate load(const QString& path);
};
