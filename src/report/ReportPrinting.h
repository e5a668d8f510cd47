#pragma once

#include <functional>

class PreparedReport;
class QPrinter;
class QString;

// Sends every page to the printer on its own paper, at the printer's resolution. Before
// each page `progress(page, count)` is asked (pages from 0) and may stop the print by
// answering false; the print is then aborted. Returns false when stopped. A printer that
// cannot start raises an error.
bool PrintReport(const PreparedReport& report, QPrinter& printer,
                 const std::function<bool(int page, int count)>& progress = {});

// Writes the pages as a PDF file; a file that cannot be written raises an error.
void SaveReportPdf(const PreparedReport& report, const QString& path);
