#include "report/ReportEngine.h"

#include "core/AppError.h"
#include "dataset/DataSet.h"
#include "report/ReportExpression.h"

#include <QFontMetricsF>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTextLayout>

#include <functional>
#include <optional>
#include <type_traits>

namespace {

constexpr double kEpsilon = 1e-6;

// A band laid out: items relative to the band's top, x on the paper.
struct BandLayout {
    double height = 0;
    QList<ReportItem> items;
};

struct ItemBounds {
    double top, bottom;
};

// Where an item that must not be cut (a text line, a picture) lies, or nothing for lines.
std::optional<ItemBounds> solidBounds(const ReportItem& item)
{
    if (const auto* line = std::get_if<ReportTextLine>(&item))
        return ItemBounds{line->box.top(), line->box.bottom()};
    if (const auto* picture = std::get_if<ReportPicture>(&item))
        return ItemBounds{picture->rect.top(), picture->rect.bottom()};
    return std::nullopt;
}

void translate(ReportItem& item, double dy)
{
    std::visit(
        [dy](auto& it) {
            if constexpr (std::is_same_v<std::decay_t<decltype(it)>, ReportTextLine>)
                it.box.translate(0, dy);
            else
                it.rect.translate(0, dy);
        },
        item);
}

// The band's highest cut at or above `limit` that passes through no text line or picture.
double cutAt(const BandLayout& band, double limit)
{
    double cut = limit;
    for (bool moved = true; moved;) {
        moved = false;
        for (const ReportItem& item : band.items) {
            const auto bounds = solidBounds(item);
            if (bounds && bounds->top < cut - kEpsilon && bounds->bottom > cut + kEpsilon) {
                cut = bounds->top;
                moved = true;
            }
        }
    }
    return cut;
}

// Text lines and pictures go wholly to one side of the cut; frame lines are divided.
std::pair<BandLayout, BandLayout> split(const BandLayout& band, double cut)
{
    BandLayout head{cut, {}}, tail{band.height - cut, {}};
    for (const ReportItem& item : band.items) {
        if (const auto bounds = solidBounds(item)) {
            if (bounds->top < cut - kEpsilon) {
                head.items.append(item);
            } else {
                tail.items.append(item);
                translate(tail.items.back(), -cut);
            }
            continue;
        }
        const ReportFill& fill = std::get<ReportFill>(item);
        const QRectF above =
            fill.rect.intersected(QRectF(fill.rect.left(), fill.rect.top(), fill.rect.width(), cut - fill.rect.top()));
        if (!above.isEmpty())
            head.items.append(ReportFill{above, fill.color});
        if (fill.rect.bottom() > cut + kEpsilon) {
            QRectF below = fill.rect;
            below.setTop(std::max(below.top(), cut));
            tail.items.append(ReportFill{below.translated(0, -cut), fill.color});
        }
    }
    return {head, tail};
}

void addFrame(QList<ReportItem>& items, const QRectF& box, const ReportFrame& frame)
{
    const double w = frame.width;
    if (frame.sides & ReportFrame::Left)
        items.append(ReportFill{QRectF(box.left(), box.top(), w, box.height() + w), frame.color});
    if (frame.sides & ReportFrame::Top)
        items.append(ReportFill{QRectF(box.left(), box.top(), box.width() + w, w), frame.color});
    if (frame.sides & ReportFrame::Right)
        items.append(ReportFill{QRectF(box.right(), box.top(), w, box.height() + w), frame.color});
    if (frame.sides & ReportFrame::Bottom)
        items.append(ReportFill{QRectF(box.left(), box.bottom(), box.width() + w, w), frame.color});
}

// Lines of one paragraph broken at word boundaries (anywhere inside a word longer than the
// width). Blanks at a break are dropped; the paragraph's own leading blanks stay.
void wrapParagraph(const QString& paragraph, const QFont& font, double width, QStringList& lines)
{
    QTextLayout layout(paragraph, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    const qsizetype first = lines.size();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max(width, 1.0));
        lines.append(paragraph.mid(line.textStart(), line.textLength()));
    }
    layout.endLayout();
    if (lines.size() == first)
        lines.append(QString());
    for (qsizetype i = first; i + 1 < lines.size(); ++i) {
        QString& text = lines[i];
        qsizetype end = text.size();
        while (end > 0 && text.at(end - 1).isSpace())
            --end;
        text.truncate(end);
    }
}

struct FontEntry {
    QFont font;
    QFontMetricsF metrics;
};

class Layout {
public:
    Layout(const ReportTemplate& report, const ReportSources& sources) : report_(report), sources_(&sources) {}

    PreparedReport run()
    {
        QSet<int> subPages;
        for (const ReportPage& page : report_.pages)
            for (const ReportBand& band : page.bands)
                for (const ReportObject& object : band.objects)
                    if (object.kind == ReportObject::Kind::SubReport)
                        subPages.insert(object.subReportPage);
        for (int p = 0; p < report_.pages.size(); ++p)
            if (!subPages.contains(p))
                printPage(report_.pages[p]);
        printHeaders();
        return std::move(out_);
    }

private:
    // Where a page header goes, laid out once the number of sheets is known.
    struct HeaderPlace {
        int sheet;
        double y;
        const ReportBand* band;
    };

    // Page headers answer [page] and [pages] themselves, every other name as the report.
    void printHeaders()
    {
        const ReportSources& report = *sources_;
        const QString pages = QString::number(out_.pageCount());
        for (const HeaderPlace& place : headers_) {
            const QString page = QString::number(place.sheet + 1);
            const ReportSources sheet{report.datasets, [&](const QString& name) {
                                          if (name == QLatin1String("page"))
                                              return page;
                                          if (name == QLatin1String("pages"))
                                              return pages;
                                          return report.valueOf(name);
                                      }};
            sources_ = &sheet;
            for (ReportItem item : layoutBand(*place.band, 0).items) {
                translate(item, place.y);
                out_.pages[place.sheet].items.append(std::move(item));
            }
            sources_ = &report;
        }
    }

    void printPage(const ReportPage& page)
    {
        page_ = &page;
        newSheet();
        inData_ = true;
        printEach(ReportBand::Kind::ColumnHeader);
        contentTop_ = y_;
        for (const ReportBand& band : page.bands)
            if (band.kind == ReportBand::Kind::MasterData && band.visible)
                forEachRow(band, [&] { place(layoutBand(band, 0)); });
        printEach(ReportBand::Kind::ColumnFooter);
        inData_ = false;
        for (const ReportBand& band : page.bands)
            if (band.kind == ReportBand::Kind::ReportSummary && band.visible)
                place(layoutBand(band, 0));
    }

    void forEachRow(const ReportBand& band, const std::function<void()>& print)
    {
        if (band.dataset == ReportBand::kOnce) {
            print();
            return;
        }
        DataSet& data = sources_->dataset(band.dataset);
        for (data.first(); !data.eof(); data.next())
            print();
    }

    // Bands of one kind at the current place, with no test for room.
    void printEach(ReportBand::Kind kind)
    {
        for (const ReportBand& band : page_->bands)
            if (band.kind == kind && band.visible)
                add(layoutBand(band, 0));
    }

    void newSheet()
    {
        out_.pages.append(PreparedPage{page_->size(), {}});
        y_ = page_->margins.top();
        bottom_ = page_->size().height() - page_->margins.bottom();
        for (const ReportBand& band : page_->bands)
            if (band.kind == ReportBand::Kind::Overlay && band.visible) {
                const double top = y_;
                add(layoutBand(band, 0));
                y_ = top;
            }
        for (const ReportBand& band : page_->bands)
            if (band.kind == ReportBand::Kind::PageHeader && band.visible) {
                headers_.append({int(out_.pages.size()) - 1, y_, &band});
                y_ += band.height;
            }
        contentTop_ = y_;
    }

    void breakSheet()
    {
        if (inData_)
            printEach(ReportBand::Kind::ColumnFooter);
        newSheet();
        if (inData_)
            printEach(ReportBand::Kind::ColumnHeader);
        contentTop_ = y_;
    }

    // Room kept at the bottom of a sheet for the column footer while data prints.
    double reserve() const
    {
        double height = 0;
        if (inData_)
            for (const ReportBand& band : page_->bands)
                if (band.kind == ReportBand::Kind::ColumnFooter && band.visible)
                    height += band.height;
        return height;
    }

    void place(BandLayout band)
    {
        for (;;) {
            const double room = bottom_ - y_ - reserve();
            if (band.height <= room + kEpsilon) {
                add(band);
                return;
            }
            const bool sheetUsed = y_ > contentTop_ + kEpsilon;
            if (sheetUsed && band.height <= bottom_ - contentTop_ - reserve() + kEpsilon) {
                breakSheet();
                continue;
            }
            const double cut = cutAt(band, room);
            if (cut <= kEpsilon) {
                if (sheetUsed) {
                    breakSheet();
                    continue;
                }
                // One line or picture taller than a whole sheet runs over its bottom.
                add(band);
                return;
            }
            auto [head, tail] = split(band, cut);
            add(head);
            breakSheet();
            band = std::move(tail);
        }
    }

    void add(const BandLayout& band)
    {
        QList<ReportItem>& items = out_.pages.back().items;
        for (ReportItem item : band.items) {
            translate(item, y_);
            items.append(std::move(item));
        }
        y_ += band.height;
    }

    // A sub-report's page as one block: its bands in template order, master data once
    // per row, shifted right by dx.
    BandLayout layoutFlow(int pageIndex, double dx)
    {
        BandLayout flow;
        for (const ReportBand& band : report_.pages[pageIndex].bands) {
            if (!band.visible || band.kind == ReportBand::Kind::Overlay || band.kind == ReportBand::Kind::PageHeader)
                continue;
            auto append = [&] {
                BandLayout one = layoutBand(band, dx);
                for (ReportItem item : one.items) {
                    translate(item, flow.height);
                    flow.items.append(std::move(item));
                }
                flow.height += one.height;
            };
            if (band.kind == ReportBand::Kind::MasterData)
                forEachRow(band, append);
            else
                append();
        }
        return flow;
    }

    const FontEntry& fontFor(const ReportObject& object)
    {
        auto it = fonts_.find(&object);
        if (it == fonts_.end()) {
            const QFont font = ReportFontFor(object.font);
            it = fonts_.insert(&object, FontEntry{font, QFontMetricsF(font)});
        }
        return *it;
    }

    const ReportExpression& expressionFor(const ReportObject& object)
    {
        auto it = expressions_.find(&object);
        if (it == expressions_.end())
            it = expressions_.insert(&object, ReportExpression::parse(object.text));
        return *it;
    }

    struct Piece {
        const ReportObject* object;
        double height;
        QStringList lines;  // memo
        QImage image;       // picture
        BandLayout sub;     // sub-report
    };

    QImage picture(const ReportObject& object)
    {
        const QByteArray bytes = expressionFor(object).fieldBytes(*sources_);
        if (bytes.isEmpty())
            return {};
        QImage image = QImage::fromData(bytes);
        if (image.isNull())
            throw AppError(QStringLiteral("보고서의 그림 %1을(를) 읽을 수 없습니다: 알 수 없는 그림 형식입니다.")
                               .arg(object.name));
        return image;
    }

    double textHeight(const ReportObject& object, qsizetype lines)
    {
        if (lines == 0)
            return 0;
        return lines * fontFor(object).metrics.height() + (lines - 1) * object.lineSpacing;
    }

    BandLayout layoutBand(const ReportBand& band, double dx)
    {
        QList<Piece> pieces;
        double height = band.height;
        for (const ReportObject& object : band.objects) {
            if (!object.visible)
                continue;
            Piece piece{&object, object.box.height(), {}, {}, {}};
            switch (object.kind) {
            case ReportObject::Kind::Memo: {
                const QString text = expressionFor(object).evaluate(*sources_);
                if (!text.isEmpty()) {
                    static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
                    const QStringList paragraphs = text.split(breaks);
                    for (const QString& paragraph : paragraphs) {
                        if (object.wrap)
                            wrapParagraph(paragraph, fontFor(object).font,
                                          object.box.width() - object.padding.left() - object.padding.right(),
                                          piece.lines);
                        else
                            piece.lines.append(paragraph);
                    }
                }
                if (object.grow)
                    piece.height = std::max(piece.height, textHeight(object, piece.lines.size()) + object.padding.top()
                                                              + object.padding.bottom());
                break;
            }
            case ReportObject::Kind::Picture:
                piece.image = picture(object);
                break;
            case ReportObject::Kind::SubReport:
                piece.sub = layoutFlow(object.subReportPage, dx + object.box.x());
                piece.height = std::max(piece.height, piece.sub.height);
                break;
            }
            // Only growth moves the band's bottom; a fixed box may reach past it.
            if (piece.height > object.box.height())
                height = std::max(height, object.box.y() + piece.height);
            pieces.append(std::move(piece));
        }

        BandLayout out{height, {}};
        for (Piece& piece : pieces) {
            const ReportObject& object = *piece.object;
            QRectF box = object.box.translated(dx, 0);
            box.setHeight(piece.height);
            // Objects that reach the band's bottom follow it when it grows, so columns of
            // framed boxes stay closed.
            if (height > band.height && std::abs(object.box.bottom() - band.height) < kEpsilon)
                box.setBottom(height);
            switch (object.kind) {
            case ReportObject::Kind::Memo:
                addText(out.items, object, box, piece.lines);
                break;
            case ReportObject::Kind::Picture:
                if (!piece.image.isNull()) {
                    QSizeF size = piece.image.size();
                    size.scale(box.size(), Qt::KeepAspectRatio);
                    out.items.append(ReportPicture{QRectF(box.topLeft(), size), piece.image});
                }
                break;
            case ReportObject::Kind::SubReport:
                for (ReportItem item : piece.sub.items) {
                    translate(item, box.top());
                    out.items.append(std::move(item));
                }
                break;
            }
            addFrame(out.items, box, object.frame);
        }
        return out;
    }

    void addText(QList<ReportItem>& items, const ReportObject& object, const QRectF& box, const QStringList& lines)
    {
        if (lines.isEmpty())
            return;
        const FontEntry& font = fontFor(object);
        const QRectF inner = box - object.padding;
        const double lineHeight = font.metrics.height();
        const double total = textHeight(object, lines.size());
        double top = inner.top();
        if (object.align & Qt::AlignBottom)
            top = inner.bottom() - total;
        else if (object.align & Qt::AlignVCenter)
            top = inner.top() + (inner.height() - total) / 2;
        for (const QString& text : lines) {
            const double width = font.metrics.horizontalAdvance(text);
            double left = inner.left();
            if (object.align & Qt::AlignRight)
                left = inner.right() - width;
            else if (object.align & Qt::AlignHCenter)
                left = inner.left() + (inner.width() - width) / 2;
            if (!text.isEmpty())
                items.append(ReportTextLine{QRectF(left, top, width, lineHeight), font.metrics.ascent(), text,
                                            font.font, object.font.color});
            top += lineHeight + object.lineSpacing;
        }
    }

    const ReportTemplate& report_;
    const ReportSources* sources_;  // the report's, or a page header's own
    PreparedReport out_;
    const ReportPage* page_ = nullptr;
    double y_ = 0;
    double bottom_ = 0;
    double contentTop_ = 0;
    bool inData_ = false;
    QList<HeaderPlace> headers_;
    QHash<const ReportObject*, FontEntry> fonts_;
    QHash<const ReportObject*, ReportExpression> expressions_;
};

}

QFont ReportFontFor(const ReportFont& font)
{
    QFont result(font.family);
    result.setPixelSize(std::max(1, qRound(font.points * ReportUnits::kUnitsPerInch / ReportUnits::kPointsPerInch)));
    result.setBold(font.bold);
    // The layout is measured once and drawn at every zoom and printer resolution.
    result.setHintingPreference(QFont::PreferNoHinting);
    return result;
}

PreparedReport PrepareReport(const ReportTemplate& report, const ReportSources& sources)
{
    return Layout(report, sources).run();
}
