#pragma once

#include "common/LaunchFields.h"

#include <QFrame>

class QAbstractButton;
class QLineEdit;

// The student's writing frame: the paper, the cell editor and the save, print and
// discussion buttons.
class TfmeEditor : public QFrame {
    Q_OBJECT
public:
    explicit TfmeEditor(QWidget* parent);

    // The frame side of a student run's set-up.
    void SetupStudentRun(const LaunchFields& fields, QLineEdit* titleBox);
    void MakeReadOnly();
    // The picture buttons' shared handler; the main window calls it with btnSave to save.
    void BtnClick(QObject* sender);

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
    // The writing timer has ticked since the essay was last shown: unsaved writing time.
    bool TimerTicked = false;

    QAbstractButton* btnSave;
};
