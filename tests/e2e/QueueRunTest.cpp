#include "ClientRun.h"
#include "Essays.h"
#include "Typist.h"
#include "correction/MemoText.h"
#include "correction/TeacherQueueBar.h"
#include "correction/TfmeTeacher.h"
#include "document/CorrectionRecord.h"
#include "document/EssayRecord.h"
#include "support/TeacherWidgets.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using W = TeacherWidgets;

QString reviewOf(const QByteArray& record)
{
    DataSet work(CorrectionRecord::fields());
    work.loadPacket(record);
    const std::optional<CorrectionRecord::Summary> summary = CorrectionRecord::readSummary(work);
    return summary ? summary->review.trimmed() : QString();
}

// Three essays of the demo student wait for the demo teacher, after the demo lecture that
// has none yet.
class QueueRun : public ClientRun {
protected:
    void SetUp() override
    {
        ClientRun::SetUp();
        DataSet essay = Essays::Manuscript(30);
        const QByteArray record = EssayRecord::toPacket(essay);
        for (const QString& key : keys)
            server.addLecture(key, QStringLiteral("답안 ") + key, record);
    }

    void openTeacherRun(const QString& key)
    {
        startClient(QStringLiteral("/launch/T001/%1.dzl").arg(key));
        ASSERT_TRUE(window);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        ASSERT_NO_FATAL_FAILURE(activate());
    }

    // The progress window of a slow transfer takes the activation; a window manager gives it
    // back when that closes, the offscreen platform does not.
    void activate()
    {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    TfmeTeacher& frame() const { return *window->FTeacher; }
    TeacherQueueBar& bar() const { return *frame().QueueBar(); }
    QString lecture() const { return frame().Session().Launch().lectureKey; }

    // The teacher writes the review of the essay shown, with the keyboard.
    void review(const QString& text)
    {
        QPlainTextEdit* memo = W(frame()).Memo1;
        memo->setFocus();
        TypeText(memo, text);
        ASSERT_EQ(MemoText(memo).trimmed(), text);
    }

    // Alt+Right in the review box; the move runs from the event loop once the key is handled.
    void pressNext(const QString& expected) { press(Qt::Key_Right, expected); }

    void press(Qt::Key arrow, const QString& expected)
    {
        ASSERT_NO_FATAL_FAILURE(activate());
        QTest::keyClick(keyTarget(), arrow, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([&] { return window->FTeacher && lecture() == expected; }, 20000))
            << "still on " << lecture().toStdString();
    }

    QWidget* keyTarget() const { return window->focusWidget() ? window->focusWidget() : window.get(); }

    const QStringList keys{QStringLiteral("Q1"), QStringLiteral("Q2"), QStringLiteral("Q3")};
};

TEST_F(QueueRun, ATeacherCorrectsThreeEssaysInARowWithNext)
{
    ASSERT_NO_FATAL_FAILURE(openTeacherRun(keys[0]));
    for (int i = 0; i < keys.size(); ++i) {
        SCOPED_TRACE(keys[i].toStdString());
        ASSERT_EQ(lecture(), keys[i]);
        ASSERT_TRUE(bar().isVisible());
        // What is left to correct: the one shown counts, those corrected before do not.
        EXPECT_EQ(bar().lblQueue->text(), QStringLiteral("1 / %1").arg(keys.size() - i));
        EXPECT_EQ(bar().btnNext->isEnabled(), i + 1 < keys.size());
        ASSERT_NO_FATAL_FAILURE(review(QStringLiteral("%1번째 답안은 잘 썼습니다.").arg(i + 1)));
        if (i + 1 < keys.size()) {
            dialogs->answers = {true};  // "저장하시겠습니까?": 예
            pressNext(keys[i + 1]);
            ASSERT_TRUE(dialogs->answers.isEmpty()) << "the move did not ask";
            // The teacher types on where they were.
            EXPECT_EQ(window->focusWidget(), W(frame()).Memo1);
        } else {
            W(frame()).btnSave->click();
        }
    }
    EXPECT_TRUE(dialogs->texts(RecordingDialogs::Kind::Error).isEmpty())
        << dialogs->texts(RecordingDialogs::Kind::Error).join(u'\n').toStdString();
    // One frame in the window: each essay took the place of the one before.
    EXPECT_EQ(window->findChildren<TfmeTeacher*>().size(), 1);
    for (int i = 0; i < keys.size(); ++i) {
        const std::optional<CourseServerRun::Stored> stored = server.correction(keys[i]);
        ASSERT_TRUE(stored) << keys[i].toStdString();
        EXPECT_EQ(reviewOf(stored->record), QStringLiteral("%1번째 답안은 잘 썼습니다.").arg(i + 1));
    }
    // Back through every essay, the corrected ones included.
    dialogs->boxes.clear();
    W(frame()).btnSave->setFocus();
    bar().chkAll->click();
    EXPECT_EQ(bar().lblQueue->text(), QStringLiteral("3 / 3"));
    pressNext(keys[2]);  // the end: nothing happens, nothing is said
    EXPECT_TRUE(dialogs->boxes.isEmpty());
    press(Qt::Key_Left, keys[1]);
    EXPECT_EQ(MemoText(W(frame()).Memo1).trimmed(), QStringLiteral("2번째 답안은 잘 썼습니다."));
}

// A save the server refuses keeps the teacher where they were, the work as it stood.
TEST_F(QueueRun, ARefusedSaveStopsTheMove)
{
    ASSERT_NO_FATAL_FAILURE(openTeacherRun(keys[0]));
    ASSERT_NO_FATAL_FAILURE(review(QStringLiteral("고칠 곳이 많습니다.")));
    DataSet other(CorrectionRecord::fields());
    server.correctElsewhere(keys[0], CorrectionRecord::toPacket(other));

    dialogs->answers = {true, false};  // save: 예; copy to the clipboard: 아니요
    const TfmeTeacher* before = window->FTeacher;
    ASSERT_NO_FATAL_FAILURE(activate());
    QTest::keyClick(keyTarget(), Qt::Key_Right, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialogs->answers.isEmpty(); }, 20000));
    QTest::qWait(50);

    EXPECT_EQ(window->FTeacher, before);
    EXPECT_EQ(lecture(), keys[0]);
    EXPECT_TRUE(frame().Session().Modified());
    EXPECT_EQ(MemoText(W(frame()).Memo1).trimmed(), QStringLiteral("고칠 곳이 많습니다."));
    EXPECT_EQ(server.correction(keys[1]), std::nullopt);
    ASSERT_EQ(dialogs->boxes.size(), 2);
    EXPECT_EQ(dialogs->boxes.last().caption, QStringLiteral("저장하지 못했습니다"));
}

}
