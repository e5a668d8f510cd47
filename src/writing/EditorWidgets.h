#pragma once

#include <QList>

class ManuscriptGrid;
class ManuscriptView;
class PictureButton;
class QLabel;
class QPlainTextEdit;
class QWidget;
class TSorEdit;

// The writing frame's widgets at their design places, built under the frame and named as
// the frame's components are named; the frame connects them. The grid view shows `model`.
struct EditorWidgets {
    EditorWidgets(QWidget* frame, ManuscriptGrid* model);

    // The picture buttons that call the frame's click handler, each with its Tag.
    QList<PictureButton*> buttons() const { return {btn1, btn2, btnAG, Image5, btnSave}; }

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
    QLabel* lblNotice;  // "저장되었습니다 14:32:05" after a save
    QWidget* pnlGrid;
    ManuscriptView* grid;
    QWidget* Panel7;
    QPlainTextEdit* mem;
    TSorEdit* edt;
};
