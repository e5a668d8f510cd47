#pragma once

#include "common/LaunchFields.h"
#include "components/DataSet.h"

#include <QFrame>
#include <QList>

class PictureButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QScrollArea;
class QTableWidget;
class TFlatSpeedButton;
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
    QTableWidget* pGrid;
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

private:
    void BuildTopStrip();
    void BuildPalette();
    void BuildCentre();
    void BuildRightPanel();
    void BuildBottomPanel();
    void BuildBottomStrip();
    void AlignScoreSheet();
    void ShowLaunchState(QLineEdit* titleBox);
    void ReadSummary();
    void DownloadRecord(const QString& address, DataSet& record);
    void ShowHandwrittenPage(int index);
    // Runs a handler for a user's action: its errors end in the error box.
    template <typename F>
    void Guarded(F&& action);

    bool FReadOnly = false;
};
