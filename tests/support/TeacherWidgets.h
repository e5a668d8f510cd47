#pragma once

#include "board/SorBoard.h"
#include "correction/TFlatSpeedButton.h"
#include "ui/PictureButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QTableView>

#include <stdexcept>

// The correction frame's widgets, found by their object names as a tool would find them.
struct TeacherWidgets {
    template <typename T>
    static T* Find(const QWidget& frame, const char* name)
    {
        for (QWidget* widget : frame.findChildren<QWidget*>(QString::fromLatin1(name)))
            if (auto* found = dynamic_cast<T*>(widget))
                return found;
        throw std::logic_error(std::string("the correction frame has no ") + name);
    }

    explicit TeacherWidgets(const QWidget& frame)
        : btn1(Find<PictureButton>(frame, "btn1")), btn2(Find<PictureButton>(frame, "btn2")),
          btnAG(Find<PictureButton>(frame, "btnAG")), Label13(Find<QLabel>(frame, "Label13")),
          Label14(Find<QLabel>(frame, "Label14")), pnlLeft(Find<QFrame>(frame, "pnlLeft")),
          btnCursor(Find<TFlatSpeedButton>(frame, "btnCursor")), cmbList(Find<QComboBox>(frame, "cmbList")),
          Image3(Find<PictureButton>(frame, "Image3")), Image4(Find<PictureButton>(frame, "Image4")),
          Label5(Find<QLabel>(frame, "Label5")), ScrollBox1(Find<QScrollArea>(frame, "ScrollBox1")),
          Board(Find<TSorBoard>(frame, "Board")), Image(Find<QLabel>(frame, "Image")),
          pnlRight(Find<QFrame>(frame, "pnlRight")), Memo2(Find<QPlainTextEdit>(frame, "Memo2")),
          Image8(Find<PictureButton>(frame, "Image8")), Image6(Find<PictureButton>(frame, "Image6")),
          Memo1(Find<QPlainTextEdit>(frame, "Memo1")), pGrid(Find<QTableView>(frame, "pGrid")),
          CheckBox1(Find<QCheckBox>(frame, "CheckBox1")), ComboBox1(Find<QLineEdit>(frame, "ComboBox1")),
          Image7(Find<PictureButton>(frame, "Image7")), Image2(Find<PictureButton>(frame, "Image2")),
          btnSave(Find<PictureButton>(frame, "btnSave")), btnCancel(Find<PictureButton>(frame, "btnCancel"))
    {
        for (QWidget* widget : pnlLeft->findChildren<QWidget*>())
            if (auto* button = dynamic_cast<TFlatSpeedButton*>(widget))
                ToolButtons.append(button);
    }

    // The palette button of a tool.
    TFlatSpeedButton* ToolButton(TDrawTool tool) const
    {
        for (TFlatSpeedButton* button : ToolButtons)
            if (button->Tag == tool)
                return button;
        return nullptr;
    }

    PictureButton* btn1;
    PictureButton* btn2;
    PictureButton* btnAG;
    QLabel* Label13;
    QLabel* Label14;
    QFrame* pnlLeft;
    QList<TFlatSpeedButton*> ToolButtons;  // in palette order
    TFlatSpeedButton* btnCursor;
    QComboBox* cmbList;
    PictureButton* Image3;
    PictureButton* Image4;
    QLabel* Label5;
    QScrollArea* ScrollBox1;
    TSorBoard* Board;
    QLabel* Image;
    QFrame* pnlRight;
    QPlainTextEdit* Memo2;
    PictureButton* Image8;
    PictureButton* Image6;
    QPlainTextEdit* Memo1;
    QTableView* pGrid;
    QCheckBox* CheckBox1;
    QLineEdit* ComboBox1;
    PictureButton* Image7;
    PictureButton* Image2;
    PictureButton* btnSave;
    PictureButton* btnCancel;
};
