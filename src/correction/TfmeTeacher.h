#pragma once

#include "core/LaunchFields.h"
#include "dataset/DataSet.h"
#include "report/PreparedReport.h"

#include <QFrame>
#include <QList>
#include <QPixmap>

class PictureButton;
struct ReportSources;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QScrollArea;
class QTableView;
class ScoreSheet;
class TBoardItem;
class TFlatSpeedButton;
class TScoreSheetView;
class TSorBoard;

// The correction frame of the teacher and viewing runs: the essay one page at a time under
// the correction board, a comment per page, the overall review and the scoring sheet.
//
// Board correction (FViewMode 1): pages are rendered from the essay and their marks and
// comments live in the working copy cdTemp, stored when a page is left and restored when
// it is shown. Handwritten correction (FViewMode 2): cdTeacher's image rows are the pages.
class TfmeTeacher : public QFrame {
    Q_OBJECT
public:
    // Picture button Tags: what btnClick does.
    enum ButtonTag { TagBoard = 1, TagHandwritten = 2, TagAnswerPrint = 3, TagSave = 4,
                     TagDiscussion = 5, TagCorrectionPrint = 6 };

    explicit TfmeTeacher(QWidget* parent);

    // The frame sides of the teacher-mode and viewing-mode set-ups. Errors (a failed
    // download, an unreadable record, a missing launch field) stop the set-up and are
    // raised to the caller; what was built stays.
    void SetupTeacherRun(const LaunchFields& fields, QLineEdit* titleBox);
    void SetupViewRun(const LaunchFields& fields, QLineEdit* titleBox);

    // Line table, working copy and summary from the loaded records; opens the first view.
    void LoadCorrection();
    // Mode 1 board correction, 2 handwritten correction: fills the page list, shows page 1.
    void BuildPageList(int mode);
    // The change of page to entry `index` of the page list.
    void cmbListChange(int index);
    void SetReadOnly();
    void SetViewOnly();
    // The picture buttons' shared handler, by the sender's Tag; the main window calls it
    // with btnSave to save.
    void btnClick(QObject* sender);
    // A palette button: the board takes its tool.
    void SpeedButton1Click(QObject* sender);

    // Writes the board's items and the page comment of page FPageIndex + 1 into cdTemp.
    void StorePage();
    // Renders page `index` + 1 under the board and restores its marks and comment.
    void LoadPage(int index);

    // Correction editing. A new item on the board: the tool goes back to the selection,
    // a number item becomes a line of the page comment, the item gets its stamp.
    void BoardItemAdd(TBoardItem* item);
    void BoardItemMoveSized();
    // Edits the selected item's text and point text in the text dialog.
    void BoardDblClick();
    // Page Up / Page Down scroll the page area; Delete removes the selected item. A
    // consumed key comes back as 0.
    void BoardKeyDown(int& key);
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
    void pGridTopLeftChanged();
    // Raises the range message of a score cell that holds an invalid value, so a save
    // never sends an impossible score. Only an offered sheet is checked.
    void ValidateScores() const;

    // The save (Tag 4): page 1 shown, the thumbnail of it, the record with the summary
    // written, and the teacher's submission posted; the server's message is shown. Only a
    // reply that accepts the correction clears FModified; a refusal is shown and then
    // ends the action quietly (SilentAbort), so closing the window stays put. A board
    // correction's cdTeacher is empty again afterwards whatever happened; cdTemp stays.
    // A viewing run or a run that may not edit sends nothing.
    void SaveCorrection();
    // The answer print (Tag 3) and the correction print (Tag 6): the print datasets filled
    // and the report prepared; btnClick opens the preview on it. The correction print of
    // a board correction stores and shows every page in turn and stays on the last.
    PreparedReport PrepareAnswerPrint();
    PreparedReport PrepareCorrectionPrint();
    // The variables the two prints ask for.
    QString ReportGetValue(const QString& name) const;
    QString Report2GetValue(const QString& name) const;

    static constexpr int kCommentLines = 55;
    // The picture open dialog's filter.
    static const QString kPictureFilter;

    QString FTeacherNo;
    QString FPassword;
    bool FHasCorrection = false;
    QString FLectureKey;
    QString FStudentNo;
    QString FEssayUrl;
    QString FCorrectionUrl;
    bool FEditable = false;
    QString FTitle;
    int FViewMode = 0;
    QString FReportPoint;
    QString FDiscussionUrl;
    QString FScoreSwitch;
    // Nothing may be saved and closing asks nothing: a viewing run, or a teacher run that
    // may not edit.
    bool FViewOnly = false;
    bool FModified = false;
    int FPageIndex = -1;

    // Top strip.
    QFrame* Panel5;
    QFrame* pnlTop;
    PictureButton* btn1;
    PictureButton* btn2;
    PictureButton* btnAG;
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
    ScoreSheet* Scores;  // the sheet's cells, deduction and total
    TScoreSheetView* ScoreView;
    QTableView* pGrid;
    QCheckBox* CheckBox1;
    QFrame* Panel4;
    QComboBox* ComboBox1;
    // Bottom strip.
    QFrame* pnlBottom;
    PictureButton* Image7;
    PictureButton* Image2;
    PictureButton* btnSave;
    PictureButton* btnCancel;
    // Not shown: the review as printed.
    QPlainTextEdit* Memo3;

    DataSet cdEditor;      // the essay record, closed until loaded
    DataSet cdTempEditor;  // the line table
    DataSet cdTeacher;     // the correction as downloaded and as sent
    DataSet cdTemp;        // the working copy of a board correction
    DataSet cdPrint;       // the rows a print shows: essay lines or pages, corrected pages
    DataSet cdPrint2;      // the overall review's lines for the correction print

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildTopStrip();
    void BuildPalette();
    void BuildCentre();
    void BuildRightPanel();
    void BuildBottomPanel();
    void BuildBottomStrip();
    void ShowLaunchState(QLineEdit* titleBox);
    void ReadSummary();
    void DownloadRecord(const QString& address, DataSet& record);
    void ShowHandwrittenPage(int index);
    void AddHandwrittenPage();
    void DeleteHandwrittenPage();
    // The page comment's lines as its box shows them, wrapped at its width.
    int CommentLines() const;
    // Raises a message when there is nothing to save or print: no essay, or a handwritten
    // correction without pages.
    void RequirePages(const QString& action) const;
    // What both prints read: cdPrint, cdPrint2 and the frame's answers to variables.
    ReportSources PrintSources(QString (TfmeTeacher::*value)(const QString&) const);

    bool FReadOnly = false;
    int FWheelDelta = 0;  // wheel turns not yet a whole step
    // The tab pictures: active 총평, inactive 평가, inactive 총평, active 평가.
    QPixmap i1, i2, i3, i4;
};
