#include "report/ReportPrinting.h"

#include "core/AppError.h"
#include "report/PreparedReport.h"
#include "report/ReportTemplate.h"

#include <QPainter>
#include <QPrinter>

namespace {

QPageLayout paperOf(const PreparedPage& page)
{
    const QSizeF mm = page.size / ReportUnits::kUnitsPerInch * 25.4;
    const bool landscape = mm.width() > mm.height();
    const QPageSize paper(landscape ? mm.transposed() : mm, QPageSize::Millimeter);
    return QPageLayout(paper, landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF());
}

}

bool PrintReport(const PreparedReport& report, QPrinter& printer,
                 const std::function<bool(int page, int count)>& progress)
{
    // The print dialog's page range, when one was chosen.
    const int first = std::max(printer.fromPage(), 1) - 1;
    const int last = (printer.toPage() > 0 ? std::min(printer.toPage(), report.pageCount()) : report.pageCount()) - 1;
    if (first > last)
        return true;
    printer.setFullPage(true);
    printer.setPageLayout(paperOf(report.pages[first]));
    QPainter painter;
    if (!painter.begin(&printer))
        throw AppError(QStringLiteral("인쇄를 시작할 수 없습니다. 프린터 설정을 확인하십시오."));
    const int count = last - first + 1;
    for (int i = first; i <= last; ++i) {
        if (progress && !progress(i - first, count)) {
            printer.abort();
            return false;
        }
        if (i > first) {
            printer.setPageLayout(paperOf(report.pages[i]));
            printer.newPage();
        }
        const double scale = printer.resolution() / ReportUnits::kUnitsPerInch;
        painter.resetTransform();
        painter.scale(scale, scale);
        report.paintPage(painter, i);
    }
    painter.end();
    return true;
}

void SaveReportPdf(const PreparedReport& report, const QString& path)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    try {
        PrintReport(report, printer);
    } catch (const AppError&) {
        throw AppError(QStringLiteral("PDF 파일 %1을(를) 만들 수 없습니다. 폴더와 권한을 확인하십시오.").arg(path));
    }
}
