#include "ClientRun.h"
#include "Typist.h"
#include "board/SorBoard.h"
#include "correction/TFlatSpeedButton.h"
#include "correction/TfmeTeacher.h"
#include "report/TfrmPreview.h"
#include "shell/TfrmMain.h"
#include "support/TeacherWidgets.h"
#include "writing/TfmeEditor.h"
#include "writing/WritingSession.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using Kind = RecordingDialogs::Kind;

// Both runs with the keyboard alone: every key goes to the widget that has the focus.
class KeyboardRun : public ClientRun {
protected:
    void open(const QString& mode)
    {
        startClient(QStringLiteral("/launch/%1/DEMO0001.dzl").arg(mode));
        ASSERT_TRUE(window);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    static QWidget* focus() { return QApplication::focusWidget(); }

    static void key(int key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(focus(), Qt::Key(key), modifiers);
    }

    // Presses Tab until the widget of that name has the focus.
    void tabTo(const QString& name)
    {
        if (!focus())
            QTest::keyClick(window.get(), Qt::Key_Tab);
        for (int step = 0; step < 60 && focus()->objectName() != name; ++step)
            key(Qt::Key_Tab);
        ASSERT_EQ(focus()->objectName(), name);
    }
};

}

TEST_F(KeyboardRun, StudentSavesAnEssayAndTeacherPlacesHearsSavesAndPrintsAMark)
{
    open(QStringLiteral("S001"));
    ASSERT_NO_FATAL_FAILURE(tabTo(QStringLiteral("edt")));
    TypeText(focus(), QStringLiteral("가을 하늘은 높다."));
    key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(dialogs->boxes.isEmpty()) << dialogs->boxes.first().text.toStdString();
    ASSERT_TRUE(server.essay(QStringLiteral("DEMO0001"))) << "the essay is saved";

    open(QStringLiteral("T001"));
    ASSERT_TRUE(window->FTeacher);
    ASSERT_NO_FATAL_FAILURE(tabTo(QStringLiteral("btnCursor")));
    // Up the right-hand column of the palette to 지움표, which Space chooses.
    for (int row = 0; row < 11; ++row)
        key(Qt::Key_Up);
    auto* tool = dynamic_cast<TFlatSpeedButton*>(focus());
    ASSERT_TRUE(tool);
    ASSERT_EQ(tool->Tag, dt16);
    key(Qt::Key_Space);

    ASSERT_NO_FATAL_FAILURE(tabTo(QStringLiteral("Board")));
    auto* board = static_cast<TSorBoard*>(focus());
    ASSERT_EQ(board->DrawTool(), dt16);
    for (int step = 0; step < 6; ++step) {
        key(Qt::Key_Right);
        key(Qt::Key_Down);
    }
    key(Qt::Key_Return);
    ASSERT_EQ(board->Items().Count(), 1);
    QAccessibleInterface* heard = QAccessible::queryAccessibleInterface(board)->focusChild();
    ASSERT_TRUE(heard);
    EXPECT_TRUE(heard->text(QAccessible::Name).startsWith(QStringLiteral("지움표")))
        << heard->text(QAccessible::Name).toStdString();

    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(dialogs->texts(Kind::Error).isEmpty()) << dialogs->texts(Kind::Error).join("|").toStdString();
    EXPECT_TRUE(dialogs->boxes.isEmpty()) << "a saved correction asks for no answer";
    EXPECT_TRUE(window->FTeacher->findChild<QLabel*>(QStringLiteral("lblNotice"))
                    ->text()
                    .startsWith(QStringLiteral("첨삭이 저장되었습니다. ")));
    EXPECT_FALSE(window->FTeacher->Session().Modified());
    EXPECT_TRUE(server.get(QStringLiteral("/correction/DEMO0001"))) << "the correction is saved";

    // The save's progress window has come and gone; a window manager gives the main window
    // back its activation, which the offscreen platform leaves to the program.
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    key(Qt::Key_P, Qt::ControlModifier);
    TfrmPreview* preview = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<TfrmPreview*>(w); p && p->isVisible())
            preview = p;
    ASSERT_TRUE(preview) << "the correction print";
    preview->close();
}

// A student back at a saved essay types on at once: the caret cell has the focus, not the
// title. A save by keyboard leaves the focus where it was, never on the title with its text
// selected; closing right after a save asks nothing, even once the writing timer has ticked.
TEST_F(KeyboardRun, StudentBackAtAnEssayTypesOnAndSavesWithoutLosingTheCaret)
{
    open(QStringLiteral("S001"));
    ASSERT_NO_FATAL_FAILURE(tabTo(QStringLiteral("edt")));
    TypeText(focus(), QStringLiteral("가을"));
    key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(server.essay(QStringLiteral("DEMO0001"))) << "the essay is saved";

    open(QStringLiteral("S001"));
    ASSERT_EQ(focus()->objectName(), QStringLiteral("edt")) << "the caret cell, ready for typing";
    TypeText(focus(), QStringLiteral(" 하늘"));
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(focus()->objectName(), QStringLiteral("edt"));
    EXPECT_FALSE(window->txtTitle->hasFocus());

    ASSERT_NO_FATAL_FAILURE(tabTo(QStringLiteral("btnSave")));
    key(Qt::Key_Space);
    EXPECT_EQ(focus()->objectName(), QStringLiteral("btnSave")) << "the focus stays on the button pressed";
    const QString notice = window->FEditor->findChild<QLabel*>(QStringLiteral("lblNotice"))->text();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^저장되었습니다 \\d\\d:\\d\\d:\\d\\d$")).match(notice).hasMatch())
        << notice.toStdString();
    EXPECT_TRUE(dialogs->boxes.isEmpty()) << dialogs->boxes.first().text.toStdString();

    ASSERT_TRUE(QTest::qWaitFor([this] { return window->FEditor->session().TimerTicked(); }, 5000));
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(dialogs->texts(Kind::Question).isEmpty()) << "the work is on the server";
}
