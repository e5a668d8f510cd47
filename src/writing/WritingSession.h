#pragma once

#include "dataset/DataSet.h"
#include "net/SaveRevision.h"
#include "writing/CellEditorHost.h"
#include "writing/WritingLaunch.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>

class ManuscriptGrid;
struct ReplyText;
class UploadForm;

// The student's essay without widgets: the paper it is on (the manuscript grid, the blank
// paper's memo, or scanned pages kept in the record), its character count and writing time,
// the read-only state, and the record and the save ("S002") built from the paper shown.
// The writing frame shows it and forwards the student's actions; downloads and posts stay
// with the frame, the session reads and builds the bytes.
class WritingSession : public QObject {
    Q_OBJECT
public:
    explicit WritingSession(QObject* parent = nullptr);
    ~WritingSession() override;

    // The launch fields of a student run, read once; a field missing raises and changes
    // nothing.
    void ReadLaunchFields(const LaunchFields& fields);
    const WritingLaunch& Launch() const { return launch_; }
    // The launch's, replaced by the server's value after a save.
    const QString& LectureKey() const { return lectureKey_; }
    // The launch's, then following the main window's title box.
    const QString& Title() const { return title_; }
    // The title box was edited: a new title is a change like any other.
    void SetTitle(const QString& title);

    bool HasDiscussion() const { return !launch_.discussionAddress.trimmed().isEmpty(); }
    // The paper the run starts on, before an essay is shown.
    int FirstPaper() const;
    // A fixed paper offers only its own button; otherwise both are offered.
    bool OffersPaper(int kind) const;
    bool WantsEarlierEssay() const { return launch_.loadExisting && !launch_.essayAddress.isEmpty(); }
    // A file handed out before the first save, from a course site that keeps revisions:
    // an essay saved since then must be looked for, or an empty sheet would replace it.
    bool LooksForLaterEssay() const
    {
        return !launch_.loadExisting && launch_.KnowsRevisions() && !launch_.essayAddress.isEmpty();
    }
    // The stored revision of the essay downloaded, when the server named one: the base of
    // the next save.
    void EssayFetched(const QString& revision);
    // The essay shown was stored after the launch file was handed out.
    bool NewerThanLaunch() const;
    // The stored revision the paper started from, sent with each save; empty when the
    // course site names none.
    const QString& BaseRevision() const { return revision_.base(); }

    // The paper shown: 1 manuscript, 2 blank paper, 3 scanned pages; 0 before the first
    // choice. The hidden paper keeps its text.
    int Inx() const { return inx_; }
    void setInx(int kind);

    ManuscriptGrid& grid() { return *grid_; }
    const ManuscriptGrid& grid() const { return *grid_; }
    // The blank paper's text, line breaks as "\n".
    const QString& memo() const { return memo_; }
    void setMemo(const QString& text);
    // Empty except for scanned pages, which stay as they were loaded.
    const DataSet& cdEditor() const { return cdEditor_; }

    // Reads an essay record; a record that is not one of ours, or whose paper kind is
    // unknown, raises a message and leaves the record empty.
    void LoadEssay(const QByteArray& packet);
    // Puts the record on its paper and places the caret (EssayShown).
    void ShowEssay();
    // Where the caret goes when an essay is shown: the cell after its last written one
    // (column 1 of the next line after column 20 or the margin), so typing goes on.
    CellPos CaretPlace() const;

    bool ReadOnly() const { return readOnly_; }
    void MakeReadOnly();

    // Manuscript paper: every cell of columns 1 to 20 from the first written one to the last,
    // a blank cell one; blank paper: the memo's characters, a line break as CR LF (two).
    int CountCharacters() const;
    QString CollectGridText() const;

    // Any key released in the cell editor or the memo: the count is shown again, and the
    // writing timer starts with the first one unless the essay is read-only.
    void KeyReleased();
    // The writing timer's tick: the time since StartTime, and the time is unsaved.
    void TimerTimer(const QDateTime& now = QDateTime::currentDateTime());
    const QTimer& timer() const { return timer_; }
    QDateTime StartTime() const { return startTime_; }
    // The writing timer has ticked since the essay was last shown.
    bool TimerTicked() const { return timerTicked_; }
    // Something is not on the server: the cells, the memo, the title or the paper changed
    // since the essay was shown or saved, or work was restored; before the first save a tick
    // of the writing timer counts too. The time itself is never sent, so once a save has
    // reached the server only edits count.
    bool Modified() const { return edited_ || (timerTicked_ && !savedOnce_); }
    // The save reached the server.
    void Saved();
    // Work kept by a journal, put back exactly; the run counts as changed. `seconds` is the
    // writing time then, negative when the timer had not started.
    // `lines` holds the cells of columns 1 to 21 of each manuscript line.
    void RestoreWork(const QString& title, int inx, const QString& memo, const QList<QStringList>& lines,
                     qint64 seconds);

    // The paper not shown when it holds text (its text is not sent by a save), else 0.
    int HiddenPaperWithText() const;
    // The hidden paper a save must warn about: as HiddenPaperWithText, but a warning the
    // student has accepted is not given again in this run.
    int HiddenPaperToConfirm() const;
    void HiddenPaperConfirmed(int kind);

    // The save of the paper shown: manuscript and blank paper are written into a record
    // for the post and the record is emptied again at once; scanned pages go as loaded.
    // Raises a message when a text holds a character code page 949 cannot hold.
    UploadForm SaveForm();
    // A refused reply raises SaveRefused with the server's message; an accepted one with a
    // value makes it the lecture key of later saves, and `revision` (what the server says
    // it stored) the base of the next.
    void SaveReplied(const ReplyText& reply, const QString& revision = {});
    // A save whose answer never came, and SaveForm's form is sent only after it
    // (net/SaveRevision.h).
    void SaveUnanswered(const UploadForm& form) { revision_.unanswered(form); }
    const std::optional<UploadForm>& UnansweredSave() const { return revision_.unansweredSave(); }
    // The title and the paper's text as plain lines, for the clipboard when the server
    // refused to store them.
    QString PlainText() const;

    // Fills the essay print dataset from the paper shown: one row per grid line, per typed
    // line or per scanned page (a page that is not JPEG raises the decoder's error).
    void FillPrintData(DataSet& cdPrint);

signals:
    void InxChanged(int kind);
    // The session replaced the memo's text (an essay shown).
    void MemoReplaced(const QString& text);
    void EssayShown(CellPos caret);
    void MadeReadOnly();
    // The count: after a key release, and soon after any change of the cells or the memo.
    void Counted(int characters);
    void TimeTicked(qint64 seconds);
    // The work changed: cells, memo, title or paper. Emitted for every change, typing
    // included, so whatever listens must be cheap.
    void WorkChanged();
    void TitleRestored(const QString& title);

private:
    void clearRecord();
    void noteChange();
    void recountSoon();
    void showCount();

    WritingLaunch launch_;
    QString lectureKey_;
    SaveRevision revision_;
    QString title_;
    int inx_ = 0;
    ManuscriptGrid* grid_;
    QString memo_;
    DataSet cdEditor_;
    bool readOnly_ = false;
    QTimer timer_;
    QDateTime startTime_;
    bool timerTicked_ = false;
    bool edited_ = false;
    bool savedOnce_ = false;
    QList<int> hiddenConfirmed_;  // hidden papers whose warning was accepted
    bool showing_ = false;        // the essay is being put on the paper: not an edit
    bool recountQueued_ = false;
    bool countShown_ = false;  // Counted gave the count of the paper as it is
};
