#pragma once

#include "common/LaunchFields.h"

#include <QFrame>

class QAbstractButton;
class QLineEdit;

// The correction frame of the teacher and viewing runs.
class TfmeTeacher : public QFrame {
    Q_OBJECT
public:
    explicit TfmeTeacher(QWidget* parent);

    // The frame sides of the teacher-mode and viewing-mode set-ups.
    void SetupTeacherRun(const LaunchFields& fields, QLineEdit* titleBox);
    void SetupViewRun(const LaunchFields& fields, QLineEdit* titleBox);
    void SetViewOnly();
    // The picture buttons' shared handler; the main window calls it with btnSave to save.
    void btnClick(QObject* sender);

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
    bool FViewOnly = false;
    bool FModified = false;

    QAbstractButton* btnSave;

private:
    void showTitle(QLineEdit* titleBox) const;
};
