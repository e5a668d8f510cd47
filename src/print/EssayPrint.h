#pragma once

class DataSet;
class ManuscriptGrid;
class QString;
class ReportTemplate;

// What the writing frame puts into its print dataset (PrintDataSets::essayPrint) before
// the essay print is prepared. Each fill empties the dataset first.
namespace EssayPrint {

// One row per grid line from the first to the last, blank lines included; L1 to L21
// receive the line's cells 1 to 21.
void fillManuscript(DataSet& print, const ManuscriptGrid& grid);
// One row per line the student typed (broken at CR LF, LF or CR), however the memo wraps
// them on the screen.
void fillBlankPaper(DataSet& print, const QString& text);
// One row per scanned page of the essay record, in record order, with LImage the page
// decoded from JPEG and kept as a bitmap. A page that is not JPEG raises the decoder's
// error.
void fillScannedPages(DataSet& print, DataSet& essay);

// Shows the band that prints the paper kind ("MasterData1" to "MasterData3" for kinds 1
// to 3) and hides the other two; a band the template lacks is skipped.
void showBandFor(ReportTemplate& report, int kind);

}
