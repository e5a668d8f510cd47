// The comment bank end to end: made in one teacher run, offered in the next on another
// machine (another data folder), through the real client and the real course server.
#include "ClientRun.h"
#include "Typist.h"
#include "correction/TfmeTeacher.h"
#include "correction/TfrmText.h"
#include "support/BoardTextDialog.h"
#include "support/TeacherWidgets.h"
#include "writing/TfmeEditor.h"

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

using W = TeacherWidgets;

void click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

class BankRun : public ClientRun {
protected:
    // Each run on a machine of its own: its own data folder.
    void open(const QString& mode, const QTemporaryDir& machine)
    {
        qputenv("XDG_DATA_HOME", machine.path().toUtf8());
        showClient(QStringLiteral("/launch/%1/DEMO0001.dzl").arg(mode));
    }

    TfmeTeacher& frame() const { return *window->FTeacher; }

    // A text mark dragged out on the board with the mouse, then double-clicked: `inDialog`
    // runs while its text dialog is open.
    void markAndOpenText(const std::function<void(TfrmText&)>& inDialog)
    {
        TSorBoard& board = *W(frame()).Board;
        for (TFlatSpeedButton* button : W(frame()).ToolButtons)
            if (button->Tag == dtText)
                click(button);
        const QRect box(QPoint(60, 80), QSize(90, 40));
        QTest::mousePress(&board, Qt::LeftButton, {}, box.topLeft());
        QTest::mouseMove(&board, box.center());
        QTest::mouseRelease(&board, Qt::LeftButton, {}, box.bottomRight());
        ASSERT_TRUE(DoubleClickForText(board, box.center(), inDialog));
    }

    QTemporaryDir home;
    QTemporaryDir school;
};

TEST_F(BankRun, AnEntryMadeInOneRunIsOfferedInTheNextOnAnotherMachine)
{
    open(QStringLiteral("S001"), home);
    ASSERT_TRUE(window->FEditor);
    auto* edt = window->FEditor->findChild<QWidget*>(QStringLiteral("edt"));
    click(edt);
    TypeText(edt, QStringLiteral("가을 하늘은 높고 맑습니다."));
    click(window->FEditor->btnSave());
    dialogs->boxes.clear();

    // At home: a mark's note saved with "문구함에 추가".
    open(QStringLiteral("T001"), home);
    ASSERT_TRUE(window->FTeacher);
    auto* bankButton = frame().findChild<QPushButton*>(QStringLiteral("btnBank"));
    ASSERT_TRUE(bankButton);
    EXPECT_TRUE(bankButton->isVisible());
    markAndOpenText([](TfrmText& dialog) {
        dialog.memText->selectAll();
        TypeText(dialog.memText, QStringLiteral("주어와 서술어가 어울리지 않아요"));
        dialog.cmbPoint->setFocus();
        dialog.cmbPoint->lineEdit()->selectAll();
        QTest::keyClicks(dialog.cmbPoint, "-2");
        QTest::mouseClick(dialog.chkBank, Qt::LeftButton, {}, QPoint(8, dialog.chkBank->height() / 2));
        EXPECT_TRUE(dialog.chkBank->isChecked());
        click(dialog.btnOK);
    });
    EXPECT_TRUE(dialogs->boxes.isEmpty()) << dialogs->boxes.first().text.toStdString();

    // At school, a data folder without any copy: the entry comes from the server.
    window.reset();
    open(QStringLiteral("T001"), school);
    ASSERT_TRUE(window->FTeacher);
    QString offered;
    markAndOpenText([&](TfrmText& dialog) {
        dialog.memText->selectAll();
        TypeText(dialog.memText, QStringLiteral("주어"));
        auto* list = dialog.memText->findChild<QListWidget*>(QStringLiteral("lstBank"));
        if (!list || !list->isVisible())
            return;
        offered = list->item(0)->text();
        QTest::keyClick(dialog.memText, Qt::Key_Down);
        QTest::keyClick(dialog.memText, Qt::Key_Return);
        EXPECT_EQ(dialog.memText->toPlainText(), QStringLiteral("주어와 서술어가 어울리지 않아요"));
        EXPECT_EQ(dialog.Point(), QStringLiteral("-2"));
        click(dialog.btnOK);
    });
    EXPECT_EQ(offered, QStringLiteral("주어와 서술어가 어울리지 않아요  (-2)"));
    const QList<CorrectionRecord::MarkRow>& marks = frame().Session().Page().marks();
    ASSERT_FALSE(marks.isEmpty());
    EXPECT_EQ(marks.last().strings, QStringLiteral("주어와 서술어가 어울리지 않아요\r\n"));
    EXPECT_EQ(marks.last().reportPoint, QStringLiteral("-2"));
}

}
