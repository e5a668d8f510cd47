#pragma once

#include "writing/CellEditorHost.h"
#include "writing/EditorWidgets.h"

#include <QFrame>
#include <QPointer>

class LaunchFields;
class QLineEdit;
class UploadForm;
class WritingChecks;
class WritingJournal;
class WritingSession;

// The student's writing frame: the view over a WritingSession. It shows the essay on
// manuscript paper (the cell editor over the grid) or on blank paper (a memo), the
// character count and the writing time, and hands the student's keys and clicks to the
// session; downloading, posting, printing and the discussion window are its own.
class TfmeEditor : public QFrame {
    Q_OBJECT
    Q_PROPERTY(int Inx READ Inx WRITE setInx)
public:
    explicit TfmeEditor(QWidget* parent);
    ~TfmeEditor() override;

    // The frame side of a student run's set-up, from the launch fields: the session reads
    // them, the earlier essay is downloaded and shown, the title box gets the title.
    void SetupStudentRun(const LaunchFields& fields, QLineEdit* titleBox);

    WritingSession& session() { return *session_; }
    const WritingSession& session() const { return *session_; }
    WritingJournal& journal() { return *journal_; }
    // The manuscript-paper rules and spelling, checked while an editable essay is written.
    WritingChecks& checks() { return *checks_; }

    // After the set-up, outside any editor handler: offers the work an earlier run left
    // unsaved, then keeps this run's journal. A read-only run keeps none.
    void OfferRecovery();
    // Writes the journal now when it has changes (the window lost focus or was minimised).
    void FlushJournal();
    // Closing without saving: the journal is set aside, not deleted.
    void DiscardJournal();

    int Inx() const;
    void setInx(int kind);

    // The picture buttons' shared handler; acts on the button's Tag: 1 to 3 the paper,
    // 4 save, 7 print, 8 the discussion window. The main window calls it with btnSave() to
    // save. A save or print asked for while a transfer runs is refused quietly.
    void BtnClick(QObject* sender);
    PictureButton* btnSave() const { return ui_.btnSave; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showPaper(int kind);
    void ApplyPaperMode();
    void showEssay(CellPos caret);
    void showReadOnly();
    // Posts the session's save; a failed post raises its message, saying the work is kept
    // on this computer; a refusal offers to copy the text, and the save ends unsaved. A save while the hidden paper
    // holds text asks first.
    void SaveEssay();
    // One post and its reply; a post whose answer never came is kept to go again first.
    void PostSave(const UploadForm& form);
    // The server refused the save: its message, and the text offered for the clipboard.
    void OfferCopy(const QString& refusal);
    bool ConfirmHiddenPaper();
    void showBusy(bool busy);
    void showCount(int characters);
    // The caret cell or the blank paper takes the focus, unless the essay is read-only.
    void focusPaper();
    // The essay print of the paper shown, in a new preview window.
    void PrintEssay();

    // The host duty toward the cell editor, run for every change of the grid's current cell.
    void gridSelectCell(int column, int line);
    void gridMouseDown();
    void gridMouseUp();
    // A click on a cell puts the caret there; the counter column means column 1.
    void gridClick(const QPoint& at);
    void gridMouseWheelUp();
    void gridMouseWheelDown();
    void edtMouseWheel(int delta);
    void edtKeyUp();
    void memKeyUp();
    bool filterEvent(QObject* watched, QEvent* event);
    bool refuseUnencodable(QEvent* event);
    void setCurrentCell(CellPos cell);
    void placeEditor(int column, int line);

    WritingSession* session_;
    WritingJournal* journal_;
    EditorWidgets ui_;
    WritingChecks* checks_;
    QLineEdit* titleBox_ = nullptr;
    // The next cell selection leaves the focus where it is.
    bool FocusSuppressed = false;
    bool selectHandlerAttached_ = true;
    CellPos editorCell_;  // the cell the editor was last put over
    QPointer<QWidget> focusBeforeBusy_;
};
