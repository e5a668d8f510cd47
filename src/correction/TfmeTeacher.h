#pragma once

#include "core/LaunchFields.h"
#include "correction/CorrectionSession.h"
#include "report/PreparedReport.h"

#include <QFrame>
#include <QList>
#include <QPixmap>
#include <QPointer>

class CorrectionJournal;
class ErrorStatsButton;
class PictureButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QScrollArea;
class QTableView;
class TBoardItem;
class TFlatSpeedButton;
class TMarkLegend;
class TScoreSheetView;
class TSorBoard;
class TTotalBox;
class TeacherBank;
class TeacherQueueBar;
class TeacherRuleHints;

// The correction frame of the teacher and viewing runs: the essay one page at a time under
// the correction board, a comment per page, the overall review and the scoring sheet. The
// state and its rules live in the session; the frame shows it and forwards what the
// teacher does. Its widgets carry their names as object names, for tests and tools.
class TfmeTeacher : public QFrame {
    Q_OBJECT
public:
    // Picture button Tags: what btnClick does.
    enum ButtonTag {
        TagBoard = 1,
        TagHandwritten = 2,
        TagAnswerPrint = 3,
        TagSave = 4,
        TagDiscussion = 5,
        TagCorrectionPrint = 6,
        TagLegend = 7
    };

    explicit TfmeTeacher(QWidget* parent);
    ~TfmeTeacher() override;

    CorrectionSession& Session() { return FSession; }
    const CorrectionSession& Session() const { return FSession; }

    // The frame sides of the teacher-mode and viewing-mode set-ups. Errors (a failed
    // download, an unreadable record, a missing launch field) stop the set-up and are
    // raised to the caller; what was built stays.
    void SetupTeacherRun(const LaunchFields& fields, QLineEdit* titleBox);
    void SetupViewRun(const LaunchFields& fields, QLineEdit* titleBox);

    // After the set-up, outside any editor handler: offers the work an earlier run left
    // unsaved, then keeps this run's journal. A run that may not save keeps none.
    void OfferRecovery();
    // Writes the journal now when it has changes (the window lost focus or was minimised).
    void FlushJournal();
    // Closing without saving: the journal is set aside, not deleted.
    void DiscardJournal();
    CorrectionJournal& Journal() { return *FJournal; }
    // The comment bank of a teacher run.
    TeacherBank& Bank() { return *FBank; }

    // The records into the session, and the first view of them.
    void LoadCorrection(DataSet essay, DataSet correction);
    // Mode 1 board correction, 2 handwritten correction: fills the page list, shows page 1.
    void BuildPageList(int mode);
    // The change of page to entry `index` of the page list.
    void cmbListChange(int index);
    void SetReadOnly();
    // Read-only, no saving, no palette: the marks' legend is offered in its place.
    void SetViewOnly();
    // The picture buttons' shared handler, by the sender's Tag; the main window calls it
    // with btnSave to save.
    void btnClick(QObject* sender);
    void pGridTopLeftChanged();

    // The save (Tag 4): page 1 shown, the thumbnail of it, and the session's submission
    // posted. An accepted correction clears Modified() and its message goes to the notice
    // line; a refusal is shown in a box and then ends the action quietly (SilentAbort),
    // so closing the window stays put. A run that may not save sends nothing.
    void SaveCorrection();
    // The answer print (Tag 3) and the correction print (Tag 6); btnClick opens the
    // preview on them. The correction print of a board correction prints every page from
    // the session and leaves the board on the page shown.
    PreparedReport PrepareAnswerPrint();
    PreparedReport PrepareCorrectionPrint();

    static constexpr int kCommentLines = 55;
    // The picture open dialog's filter.
    static const QString kPictureFilter;

    // The main window saves through it when the window closes.
    PictureButton* btnSave;
    // The main window moves through the teacher's queue when it asks.
    TeacherQueueBar* QueueBar() const { return FQueueBar; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The described handlers, connected in ConnectHandlers. A palette button checked, by mouse, keyboard or assistive
    // technology: the board takes its tool.
    void SpeedButton1Click(QObject* sender);
    // Correction editing. A placing gesture on the board: the page places the item, the
    // tool goes back to the selection, a number item's comment line gets the caret.
    void BoardItemAdd(TDrawTool tool, QPoint startPoint, QPoint endPoint);
    void BoardItemMoveSized(const TBoardItem& item);
    // Edits the selected item's text and point text in the text dialog.
    void BoardDblClick();
    // The page shown painted again for a screen of another pixel ratio.
    void BoardRatioChange();
    // Page Up / Page Down scroll the page area; Delete removes the selected item; Ctrl+Z
    // undoes and Ctrl+Y or Ctrl+Shift+Z redo on the page shown. A consumed key comes back as 0.
    void BoardKeyDown(int& key, Qt::KeyboardModifiers shift);
    void BoardMouseDown();
    void ImageMouseDown();
    // One line per wheel step: down for a negative delta.
    void ScrollBox1MouseWheel(int delta);
    // A key typed into a memo; false when it must be dropped: the page comment holds more
    // than 55 lines and the key does not erase (Backspace, Delete).
    bool Memo2KeyPress(const QPlainTextEdit* memo, bool erases);
    // Image3 (Tag 1) adds a handwritten page from a picture file, Image4 (Tag 2) deletes
    // the page shown.
    void IClick(QObject* sender);
    // The tabs of the bottom panel: the overall review, the scoring sheet.
    void Image8Click();
    void Image6Click();

    // TfmeTeacherLayout.cpp
    void BuildLayout();
    void BuildTopStrip();
    void BuildPalette();
    void BuildCentre();
    void BuildRightPanel();
    void BuildBottomPanel();
    void BuildBottomStrip();
    void ConnectHandlers();

    void ShowLaunchState(QLineEdit* titleBox);
    // `revision`, when given, receives the stored revision the server names.
    void DownloadRecord(const QString& address, DataSet& record, QString* revision = nullptr);
    void ShowPageList();
    // The board and the page comment follow the page shown.
    void ShowPageChange(CorrectionPage::Changes what);
    void ShowComment();
    void ShowPicture(const QImage& picture);
    void ShowHandwrittenPage(int index);
    void AddHandwrittenPage();
    void DeleteHandwrittenPage();
    QImage Thumbnail() const;
    // One post and its reply; a post whose answer never came is kept to go again first.
    ReplyText PostSave(const UploadForm& form, QString& revision);
    // The page comment's lines as its box shows them, wrapped at its width.
    int CommentLines() const;

    CorrectionSession FSession;
    CorrectionJournal* FJournal;
    TeacherRuleHints* FRuleHints;
    TeacherBank* FBank;
    int FWheelDelta = 0;           // wheel turns not yet a whole step
    bool FShowingComment = false;  // the page comment is being shown, not typed
    // The tab pictures: active 총평, inactive 평가, inactive 총평, active 평가.
    QPixmap i1, i2, i3, i4;

    // Top strip.
    QFrame* Panel5;
    QFrame* pnlTop;
    PictureButton* btn1;
    PictureButton* btn2;
    PictureButton* btnAG;
    // The marks' legend, offered where the palette is not (a viewing run).
    PictureButton* btnLegend;
    QPointer<TMarkLegend> FLegend;
    // The student's error history, when the course server offers it.
    ErrorStatsButton* btnErrorStats;
    QLabel* Label13;
    QLabel* Label14;
    // Palette: 30 tool buttons, btnCursor the selection tool.
    QFrame* pnlLeft;
    QButtonGroup* ToolGroup;
    QList<TFlatSpeedButton*> ToolButtons;
    TFlatSpeedButton* btnCursor;
    // Centre: page list and page area.
    QFrame* Panel1;
    QFrame* Panel2;
    QComboBox* cmbList;
    PictureButton* Image3;
    PictureButton* Image4;
    QLabel* Label5;
    QScrollArea* ScrollBox1;
    TSorBoard* Board;
    QLabel* Image;
    // Right: the page comment.
    QFrame* pnlRight;
    QLabel* Image5;
    QPlainTextEdit* Memo2;
    // Bottom panel: review, scoring sheet, total.
    QFrame* Panel3;
    QFrame* Panel7;
    QLabel* Label4;
    PictureButton* Image8;
    PictureButton* Image6;
    QLabel* Image9;
    QPlainTextEdit* Memo1;
    TScoreSheetView* ScoreView;
    QTableView* pGrid;
    QCheckBox* CheckBox1;
    QFrame* Panel4;
    TTotalBox* ComboBox1;
    // Bottom strip.
    QFrame* pnlBottom;
    PictureButton* Image7;
    PictureButton* Image2;
    PictureButton* btnCancel;
    QLabel* lblNotice;  // "첨삭이 저장되었습니다. 14:32:05" after a save
    TeacherQueueBar* FQueueBar;
};
