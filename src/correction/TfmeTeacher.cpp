#include "correction/TfmeTeacher.h"

#include <QLineEdit>
#include <QPushButton>

TfmeTeacher::TfmeTeacher(QWidget* parent) : QFrame(parent), btnSave(new QPushButton(this))
{
    setObjectName(QStringLiteral("fmeTeacher"));
    btnSave->setObjectName(QStringLiteral("btnSave"));
    btnSave->setAccessibleName(QStringLiteral("저장"));
    btnSave->hide();
}

void TfmeTeacher::SetupTeacherRun(const LaunchFields& fields, QLineEdit* titleBox)
{
    FTeacherNo = fields.at(1);
    FPassword = fields.at(2);
    FHasCorrection = fields.at(3) == QLatin1String("1");
    FLectureKey = fields.at(4);
    FStudentNo = fields.at(5);
    FEssayUrl = fields.at(6);
    FCorrectionUrl = fields.at(7);
    FEditable = fields.at(8) == QLatin1String("1");
    FTitle = fields.at(9);
    FReportPoint = fields.at(10);
    if (fields.count() > 11)
        FDiscussionUrl = fields.at(11);
    if (fields.count() > 12)
        FScoreSwitch = fields.at(12);
    showTitle(titleBox);
}

void TfmeTeacher::SetupViewRun(const LaunchFields& fields, QLineEdit* titleBox)
{
    FTeacherNo = fields.at(1);
    FPassword = fields.at(2);
    FHasCorrection = fields.at(3) == QLatin1String("1");
    FLectureKey = fields.at(4);
    FEssayUrl = fields.at(5);
    FCorrectionUrl = fields.at(6);
    FTitle = fields.at(7);
    FReportPoint = fields.at(8);
    if (fields.count() > 9)
        FDiscussionUrl = fields.at(9);
    if (fields.count() > 10)
        FScoreSwitch = fields.at(10);
    FEditable = true;
    showTitle(titleBox);
    SetViewOnly();
}

void TfmeTeacher::SetViewOnly() { FViewOnly = true; }

void TfmeTeacher::btnClick(QObject*) {}

void TfmeTeacher::showTitle(QLineEdit* titleBox) const
{
    titleBox->setText(FTitle);
    titleBox->setEnabled(false);
}
