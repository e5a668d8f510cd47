#pragma once

#include "core/LaunchFields.h"
#include "correction/BoardHistory.h"
#include "correction/ScoreSheet.h"
#include "correction/TeacherForm.h"
#include "dataset/DataSet.h"
#include "document/CorrectionRecord.h"
#include "report/PreparedReport.h"

#include <QDate>
#include <QImage>
#include <QObject>
#include <QStringList>

#include <functional>

// What a teacher or viewing run is correcting, without any widget: the essay and the
// correction records, the page list and the page shown, the summary (scores, deduction,
// total, review), and whether anything changed or may change. It takes records already
// loaded; the correction frame shows it and reports what the teacher does.
//
// Board correction (mode 1): pages come from the essay; their marks and comments live in
// the working copy cdTemp, stored when a page is left and given back when it is shown.
// Handwritten correction (mode 2): cdTeacher's image rows are the pages.
class CorrectionSession : public QObject {
    Q_OBJECT
public:
    // A board page as the frame shows it, for the correction print.
    struct ShownPage {
        QImage picture;
        QString comment;
    };

    explicit CorrectionSession(QObject* parent = nullptr);

    // The launch fields of the teacher and viewing runs. A missing field raises
    // "List index out of bounds (N)"; what was read before it stays.
    void ReadTeacherFields(const LaunchFields& fields);
    void ReadViewFields(const LaunchFields& fields);

    // Takes the records, builds the line table and the working copy, reads the summary and
    // lists the pages of the correction's kind. An unknown paper kind raises.
    void Load(DataSet essay, DataSet correction);
    // Mode 1 board correction, 2 handwritten correction: the page list of that kind.
    void BuildPageList(int mode);

    int FViewMode() const { return FMode; }
    const QStringList& Pages() const { return FPages; }
    // The board page shown, -1 before the first.
    int FPageIndex() const { return FPage; }
    // Stores `leaving` as the board page shown and makes page `index` the one shown;
    // gives what that page holds.
    CorrectionRecord::Page TurnPage(int index, const CorrectionRecord::Page& leaving);
    // The teacher changed the board page shown: its marks now, and the page comment before
    // and after the action. Each call is one step of the page's undo history.
    void BoardEdited(const QList<CorrectionRecord::MarkRow>& marks, const QString& commentBefore,
                     const QString& commentAfter);
    // Undo and redo on the board page shown, given its comment as it stands: what the board
    // shows now. Nothing when there is no step, or nothing may change.
    std::optional<BoardHistory::Change> UndoBoard(const QString& comment);
    std::optional<BoardHistory::Change> RedoBoard(const QString& comment);
    // The picture of handwritten page `index`; a page that is not JPEG raises.
    QImage HandwrittenPicture(int index);
    // Reads a picture file as a new handwritten page at the end and gives its picture. A
    // file that cannot be read raises and adds nothing.
    QImage AddHandwrittenPage(const QString& path);
    void DeleteHandwrittenPage(int index);

    bool FModified() const { return FChanged; }
    void SetModified(bool modified);
    // Work kept by a journal, put back: the board correction's stored pages, the handwritten
    // pages, the review and the scores. No page is shown (the frame shows one next); the
    // run counts as changed.
    void RestoreWork(int mode, const DataSet& boardPages, const DataSet& pictures, const QString& review,
                     const QStringList& points, bool deduction, const QString& total);
    // Nothing may change: field 8 not "1", or a viewing run.
    bool FReadOnly() const { return FLocked; }
    void SetReadOnly() { FLocked = true; }
    // Nothing may be saved and closing asks nothing: a viewing run, or a teacher run that
    // may not edit.
    bool FViewOnly() const { return FNoSave; }
    void SetViewOnly();

    // The overall review as the record keeps it (CR LF lines).
    const QString& Review() const { return FReview; }
    void SetReview(const QString& review);
    ScoreSheet& Scores() { return FScores; }
    const ScoreSheet& Scores() const { return FScores; }
    // Raises the range message of a score cell that holds an invalid value, so a save
    // never sends an impossible score. Only an offered sheet is checked.
    void ValidateScores() const;
    // Raises a message when there is nothing to save or print: no essay, or a handwritten
    // correction without pages.
    void RequirePages(const QString& action) const;

    // The teacher's submission with page 1 as its thumbnail: a board correction's record
    // is the working copy with the summary written, built for this submission only, so
    // cdTeacher is empty again afterwards. The total becomes FReportPoint.
    TeacherSubmission Submission(const QImage& thumbnail);

    // The answer print, and the correction print: a board correction prints the pages
    // `showPage` shows, each in turn, with the review; a handwritten one its pictures.
    PreparedReport PrepareAnswerPrint();
    PreparedReport PrepareCorrectionPrint(const std::function<ShownPage(int index)>& showPage);
    // The variables the two prints ask for.
    QString ReportGetValue(const QString& name) const;
    QString Report2GetValue(const QString& name) const;

    QString FTeacherNo;
    QString FPassword;
    bool FHasCorrection = false;
    QString FLectureKey;
    QString FStudentNo;
    QString FEssayUrl;
    QString FCorrectionUrl;
    bool FEditable = false;
    QString FTitle;
    QString FReportPoint;
    QString FDiscussionUrl;
    QString FScoreSwitch;
    // The day each print's heading shows; set when a print is prepared.
    QDate PrintDate;

    DataSet cdEditor;      // the essay record
    DataSet cdTempEditor;  // the line table
    DataSet cdTeacher;     // the correction as downloaded; a handwritten one is edited here
    DataSet cdTemp;        // the working copy of a board correction
    DataSet cdPrint;       // the rows a print shows: essay lines or pages, corrected pages
    DataSet cdPrint2;      // the overall review's lines for the correction print

signals:
    // The page list changed: built, or a handwritten page added or deleted.
    void pagesChanged();
    // The review changed other than by SetReview: read from a loaded correction.
    void reviewLoaded(const QString& review);
    // The teacher's work changed; emitted for every change, so listeners must be cheap.
    void workChanged();

private:
    void ReadSummary();
    void ListPages(int count);

    BoardHistory FBoardHistory;
    ScoreSheet FScores;
    QString FReview;
    QStringList FPages;
    int FMode = 0;
    int FPage = -1;
    bool FChanged = false;
    bool FLocked = false;
    bool FNoSave = false;
};
