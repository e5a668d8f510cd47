#pragma once

#include "report/PreparedReport.h"
#include "report/ReportSources.h"
#include "report/ReportTemplate.h"

// Lays a template out over its datasets. Each page of the template that no sub-report
// prints is printed in turn: an overlay band on every sheet; the column header at the top
// of every sheet while data prints and the column footer after its last data band; the
// master-data bands in template order, each once per row of its dataset (or once for the
// dataset "1"); then the report summary. A band that does not fit goes to the next sheet;
// one taller than a whole sheet is cut between its text lines. Hidden bands and objects
// print nothing. Moves the cursors of the datasets it reads.
PreparedReport PrepareReport(const ReportTemplate& report, const ReportSources& sources);

// The font an object's text is laid out and drawn with: the size in layout units.
QFont ReportFontFor(const ReportFont& font);
