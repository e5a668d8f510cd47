#include "writing/TfmeEditor.h"

#include <QLineEdit>
#include <QPushButton>

TfmeEditor::TfmeEditor(QWidget* parent) : QFrame(parent), btnSave(new QPushButton(this))
{
    setObjectName(QStringLiteral("fmeEditor"));
    btnSave->setObjectName(QStringLiteral("btnSave"));
    btnSave->setAccessibleName(QStringLiteral("저장"));
    btnSave->hide();
}

void TfmeEditor::SetupStudentRun(const LaunchFields& fields, QLineEdit* titleBox)
{
    StudentNo = fields.at(1);
    Password = fields.at(2);
    LoadExisting = fields.at(3) == QLatin1String("1");
    LectureKey = fields.at(4);
    EssayAddress = fields.at(5);
    Editable = fields.at(6) == QLatin1String("1");
    Title = fields.at(7);
    PaperFixed = fields.at(8) == QLatin1String("1");
    ManuscriptPaper = fields.at(9) == QLatin1String("0");
    if (fields.count() > 10)
        DiscussionAddress = fields.at(10);

    titleBox->setText(Title);
    titleBox->setEnabled(true);
    if (!Editable) {
        MakeReadOnly();
        titleBox->setEnabled(false);
    }
}

void TfmeEditor::MakeReadOnly() { ReadOnly = true; }

void TfmeEditor::BtnClick(QObject*) {}
