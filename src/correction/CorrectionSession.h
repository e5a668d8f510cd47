#pragma once

#include "correction/CorrectionLaunch.h"
#include "correction/CorrectionPage.h"
#include "correction/ScoreSheet.h"
#include "correction/TeacherForm.h"
#include "dataset/DataSet.h"
#include "document/CorrectionRecord.h"
#include "net/SaveRevision.h"
#include "report/PreparedReport.h"

#include <QDate>
#include <QImage>
#include <QObject>
#include <QStringList>

// What a teacher or viewing run is correcting, without any widget: the essay and the
// correction records, the page list and the page shown, the summary (scores, deduction,
// total, review), and whether anything changed or may change. It takes records already
// loaded; the correction frame shows it and reports what the teacher does.
//
// Board correction (mode 1): pages come from the essay; their marks and comments live in
// the working copy cdTemp, stored when a page is left and given back when it is shown. The
// page shown is the CorrectionPage model, which the board and the page comment show.
// Handwritten correction (mode 2): cdTeacher's image rows are the pages.
class CorrectionSession : public QObject {
    Q_OBJECT
public:
    explicit CorrectionSession(QObject* parent = nullptr);

    // The launch fields of the teacher and viewing runs, read once. A missing field raises
    // "List index out of bounds (N)" and changes nothing.
    void ReadTeacherFields(const LaunchFields& fields);
    void ReadViewFields(const LaunchFields& fields);
    const CorrectionLaunch& Launch() const { return launch_; }
    // The total as last sent, or as the launch gave it.
    const QString& ReportPoint() const { return reportPoint_; }
    // A teacher file handed out before the first save, from a course site that keeps
    // revisions: a correction saved since then must be looked for.
    bool LooksForLaterCorrection() const
    {
        return !launch_.hasCorrection && launch_.KnowsRevisions() && !launch_.correctionUrl.isEmpty();
    }
    // The stored revision of the correction downloaded, when the server named one.
    void CorrectionFetched(const QString& revision);
    // The correction shown was stored after the launch file was handed out.
    bool NewerThanLaunch() const;
    // An accepted save: `revision` (what the server says it stored) is the next base.
    void SaveAccepted(const QString& revision);
    // A save whose answer never came, and the next is sent only after it (net/SaveRevision.h).
    void SaveUnanswered(const UploadForm& form) { revision_.unanswered(form); }
    const std::optional<UploadForm>& UnansweredSave() const { return revision_.unansweredSave(); }
    // The review and the page comments as plain text, for the clipboard when the server
    // refused to store them.
    QString PlainText() const;

    // Takes the records, builds the line table and the working copy, reads the summary and
    // lists the pages of the correction's kind. An unknown paper kind raises.
    void Load(DataSet essay, DataSet correction);
    // Mode 1 board correction, 2 handwritten correction: the page list of that kind.
    void BuildPageList(int mode);

    int ViewMode() const { return mode_; }
    const QStringList& Pages() const { return pages_; }
    // The board page shown, -1 before the first.
    int PageIndex() const { return page_.index(); }
    CorrectionPage& Page() { return page_; }
    const CorrectionPage& Page() const { return page_; }
    // Stores the board page shown in the working copy and shows page `index`.
    void TurnPage(int index);
    // Undo and redo on the board page shown; false when there is no step, or nothing may
    // change. Undoing back to the saved point leaves the work unmodified.
    bool Undo();
    bool Redo();
    // The picture of handwritten page `index`; a page that is not JPEG raises.
    QImage HandwrittenPicture(int index);
    // Reads a picture file as a new handwritten page at the end and gives its picture. A
    // file that cannot be read raises and adds nothing.
    QImage AddHandwrittenPage(const QString& path);
    void DeleteHandwrittenPage(int index);

    bool Modified() const { return changed_; }
    // True: a change outside the page's undo history (memos, scores, handwritten pages).
    // False: the saved point, which undo and redo can come back to.
    void SetModified(bool modified);
    // A palette tool was chosen: modified, as any edit, until undo comes back to the
    // saved point; a tool is no work of its own.
    void ToolChosen();
    // Work kept by a journal, put back: the board correction's stored pages, the handwritten
    // pages, the review and the scores. No page is shown (the frame shows one next); the
    // run counts as changed.
    void RestoreWork(int mode, const DataSet& boardPages, const DataSet& pictures, const QString& review,
                     const QStringList& points, bool deduction, const QString& total);
    // Nothing may change: field 8 not "1", or a viewing run.
    bool ReadOnly() const { return locked_; }
    void SetReadOnly();
    // Nothing may be saved and closing asks nothing: a viewing run, or a teacher run that
    // may not edit.
    bool ViewOnly() const { return noSave_; }
    void SetViewOnly();

    // The overall review as the record keeps it (CR LF lines).
    const QString& Review() const { return review_; }
    void SetReview(const QString& review);
    ScoreSheet& Scores() { return scores_; }
    const ScoreSheet& Scores() const { return scores_; }
    // Raises the range message of a score cell that holds an invalid value, so a save
    // never sends an impossible score. Only an offered sheet is checked.
    void ValidateScores() const;
    // Raises a message when there is nothing to save or print: no essay, or a handwritten
    // correction without pages.
    void RequirePages(const QString& action) const;

    // The teacher's submission with page 1 as its thumbnail: a board correction's record
    // is the working copy with the summary written, built for this submission only, so
    // cdTeacher is empty again afterwards. The total becomes ReportPoint().
    TeacherSubmission Submission(const QImage& thumbnail);

    // The answer print, and the correction print: a board correction prints every page
    // rendered for the printer with its marks and comment, the page shown as it stands,
    // then the review; a handwritten one its pictures.
    PreparedReport PrepareAnswerPrint();
    PreparedReport PrepareCorrectionPrint();
    // The variables the two prints ask for.
    QString ReportGetValue(const QString& name) const;
    QString Report2GetValue(const QString& name) const;

    // The described datasets, public as a frame's components are.
    DataSet cdEditor;      // the essay record
    DataSet cdTempEditor;  // the line table
    DataSet cdTeacher;     // the correction as downloaded; a handwritten one is edited here
    DataSet cdTemp;        // the working copy of a board correction
    DataSet cdPrint;       // the rows a print shows: essay lines or pages, corrected pages
    DataSet cdPrint2;      // the overall review's lines for the correction print

signals:
    // The page list changed: built, or a handwritten page added or deleted.
    void PagesChanged();
    // The review changed other than by SetReview: read from a loaded correction.
    void ReviewLoaded(const QString& review);
    // The teacher's work changed; emitted for every change, so listeners must be cheap.
    void WorkChanged();
    // Undo or redo came back to the saved point: the work is as the server has it.
    void SavedPointReached();

private:
    void Start(const CorrectionLaunch& launch);
    void ReadSummary();
    int LastStoredPage();
    void StoreShownPage(DataSet& work) const;
    bool AfterHistoryMove(bool moved);

    CorrectionLaunch launch_;
    QString reportPoint_;
    SaveRevision revision_;
    // The day each print's heading shows; set when a print is prepared.
    QDate printDate_;
    CorrectionPage page_;
    ScoreSheet scores_;
    QString review_;
    QStringList pages_;
    int mode_ = 0;
    bool changed_ = false;
    bool changedOutsideHistory_ = false;
    bool locked_ = false;
    bool noSave_ = false;
};
