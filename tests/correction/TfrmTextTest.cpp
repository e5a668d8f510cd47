#include "correction/TfrmText.h"

#include "support/RecordingDialogs.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using Kind = RecordingDialogs::Kind;

class TextDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog.open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }

    ScopedRecordingDialogs dialogs;
    TfrmText dialog;
};

TEST_F(TextDialog, LooksAsTheFormSays)
{
    EXPECT_EQ(dialog.windowTitle(), "Text");
    EXPECT_EQ(dialog.size(), QSize(272, 130));
    EXPECT_EQ(dialog.btnOK->text(), "저장");
    EXPECT_EQ(dialog.btnCancel->text(), "취소");
    QStringList points;
    for (int i = 0; i < dialog.cmbPoint->count(); ++i)
        points.append(dialog.cmbPoint->itemText(i));
    EXPECT_EQ(points, (QStringList{"-1", "-2", "-3", "-4", "-5", "-6", "-7", "-8", "-9", "-10"}));
    EXPECT_EQ(dialog.memText->lineWrapMode(), QPlainTextEdit::NoWrap);
}

TEST_F(TextDialog, TextComesBackWithEveryLineEndedByCrLf)
{
    struct Case {
        QString given;
        QString back;
    } cases[] = {{"", ""},
                 {"(1)", "(1)\r\n"},
                 {"ab\r\ncdef\r\n", "ab\r\ncdef\r\n"},
                 {"ab\r\n\r\n", "ab\r\n\r\n"},
                 {"가나\rdo", "가나\r\ndo\r\n"}};
    for (const Case& c : cases) {
        dialog.SetStrings(c.given);
        EXPECT_EQ(dialog.Strings(), c.back) << c.given.toStdString();
    }
}

TEST_F(TextDialog, TypedTextAndPointAreSavedWith저장)
{
    dialog.SetStrings(QStringLiteral("(2)"));
    dialog.SetPoint(QStringLiteral("-3"));
    EXPECT_EQ(dialog.Point(), "-3");
    dialog.memText->moveCursor(QTextCursor::End);
    QTest::keyClick(dialog.memText, Qt::Key_Return);
    QTest::keyClicks(dialog.memText, "ok");
    dialog.cmbPoint->setFocus();
    dialog.cmbPoint->lineEdit()->selectAll();
    QTest::keyClicks(dialog.cmbPoint->lineEdit(), "-7");
    QTest::mouseClick(dialog.btnOK, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Strings(), "(2)\r\nok\r\n");
    EXPECT_EQ(dialog.Point(), "-7");
}

TEST_F(TextDialog, 취소Rejects)
{
    QTest::mouseClick(dialog.btnCancel, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(TextDialog, TextTheRecordCannotKeepIsRefusedAndTheDialogStays)
{
    struct Case {
        QString strings;
        QString point;
        QString message;
    } cases[] = {
        {QString(126, u'가') + "a", "", ""},  // 253 bytes and CR LF: exactly 255
        {QString(127, u'가'), "", "글은 255바이트(한글 127자)까지만 저장할 수 있습니다. 지금 256바이트입니다."},
        {"ok", "123456789012345678901", "점수는 20바이트까지만 넣을 수 있습니다."},
        {QStringLiteral("웃음 😀"), "", ""},
    };
    for (const Case& c : cases) {
        dialog.setResult(-1);
        dialog.open();
        dialogs->boxes.clear();
        dialog.SetStrings(c.strings);
        dialog.SetPoint(c.point);
        QTest::mouseClick(dialog.btnOK, Qt::LeftButton);
        const bool refused = dialog.result() != QDialog::Accepted;
        if (c.strings.contains(QStringLiteral("😀"))) {
            EXPECT_TRUE(refused);
            ASSERT_EQ(dialogs->boxes.size(), 1);
            EXPECT_TRUE(dialogs->boxes[0].text.contains(QStringLiteral("😀")));
        } else {
            EXPECT_EQ(refused, !c.message.isEmpty()) << c.strings.size();
            EXPECT_EQ(dialogs->texts(Kind::Information), c.message.isEmpty() ? QStringList{} : QStringList{c.message});
        }
        EXPECT_EQ(dialog.isVisible(), refused);
    }
}

}
