#pragma once

#include "core/LaunchFields.h"
#include "dataset/DataSet.h"
#include "writing/CellEditorHost.h"

#include <QDateTime>
#include <QFrame>
#include <QTimer>

class ManuscriptGrid;
class ManuscriptView;
class PictureButton;
class QIODevice;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class TSorEdit;

// The student's writing frame: the essay on manuscript paper (the cell editor over the
// grid) or on blank paper (a memo), the character count and the writing time, and the
// buttons that switch the paper, save, print and open the discussion page.
class TfmeEditor : public QFrame {
    Q_OBJECT
    Q_PROPERTY(int Inx READ Inx WRITE setInx)
public:
    explicit TfmeEditor(QWidget* parent);
    ~TfmeEditor() override;

    // The frame side of a student run's set-up, from the launch fields.
    void SetupStudentRun(const LaunchFields& fields, QLineEdit* titleBox);

    // The paper shown: 1 manuscript paper, 2 blank paper, 3 scanned pages (printed only,
    // shown as a white surface); 0 before the first choice. The hidden paper keeps its text.
    int Inx() const { return inx_; }
    void setInx(int kind);
    void ApplyPaperMode();

    // Reads an essay record; a record that is not one of ours raises a message.
    void LoadEssay(QIODevice& stream);
    // Puts the record on its paper, and the editor over the caret cell without the focus.
    void ShowEssay();
    void MakeReadOnly();
    int CountCharacters() const;
    QString CollectGridText() const;
    // The picture buttons' shared handler; acts on the button's Tag: 1 to 3 the paper,
    // 4 save, 7 print, 8 the discussion window. The main window calls it with btnSave to
    // save. A save or print asked for while a transfer runs is refused quietly.
    void BtnClick(QObject* sender);
    // Posts the essay on the paper shown to the server ("S002"); a value in an accepted
    // reply becomes the lecture key, a refusal raises the server's message. Manuscript and
    // blank paper are rebuilt into cdEditor for the post, which is empty again afterwards
    // whatever happened; scanned pages go back as they were loaded.
    void SaveEssay();
    // Fills cdPrint from the paper shown: one row per grid line, per typed line or per
    // scanned page.
    void FillPrintData();

    // The host duty toward the cell editor, run for every change of the grid's current cell.
    void gridSelectCell(int column, int line);
    void gridMouseDown();
    void gridMouseUp();
    void gridMouseWheelUp();
    void gridMouseWheelDown();
    void edtMouseWheel(int delta);
    void edtKeyUp();
    void memKeyUp();
    void TimerTimer();

    QString StudentNo;
    QString Password;
    bool LoadExisting = false;
    QString LectureKey;
    QString EssayAddress;
    bool Editable = false;
    QString Title;
    bool PaperFixed = false;
    bool ManuscriptPaper = false;
    QString DiscussionAddress;

    bool ReadOnly = false;
    QDateTime StartTime;
    // The next cell selection leaves the focus where it is.
    bool FocusSuppressed = false;
    // The writing timer has ticked since the essay was last shown: unsaved writing time.
    bool TimerTicked = false;

    PictureButton* btn1;
    PictureButton* btn2;
    PictureButton* btnAG;
    QLabel* Image2;
    QLabel* lblTime;
    QLabel* lblCount;
    QLabel* Label5;
    QLabel* Label6;
    PictureButton* Image5;
    PictureButton* btnSave;
    QWidget* pnlGrid;
    ManuscriptGrid* gridModel;
    ManuscriptView* grid;
    QWidget* Panel7;
    QPlainTextEdit* mem;
    TSorEdit* edt;
    DataSet cdEditor;
    DataSet cdPrint;
    QTimer Timer;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The essay print of the paper shown, in a new preview window.
    void PrintEssay();
    void keyReleased();
    void setCurrentCell(CellPos cell);
    void placeEditor(int column, int line);

    int inx_ = 0;
    bool selectHandlerAttached_ = true;
    CellPos editorCell_;  // the cell the editor was last put over
};
