// Ordinary actions of the writing frame that used to drop text without a word, done with
// real mouse and key events; boxes are real and answered by a timer.
#include "FrameFixture.h"
#include "SheetText.h"
#include "core/Endpoint.h"
#include "document/EssayRecord.h"
#include "support/CourseServerProcess.h"
#include "support/ModalBoxes.h"
#include "ui/DialogService.h"
#include "writing/EssayMeasures.h"
#include "writing/WritingJournal.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

using Demo = CourseServerProcess;

QStringList demoFields()
{
    return {"S001", Demo::kStudentNo, Demo::kStudentPassword, "0", "", "", "1", "우리 동네 도서관", "0", "0"};
}

void clickCell(FrameFixture& f, int line, int column)
{
    const QRect cell = f.grid()->visualRect(f.cells().index(line, column));
    QTest::mouseClick(f.grid()->viewport(), Qt::LeftButton, {}, cell.center());
}

class NoSilentDrops : public ::testing::Test {
protected:
    void SetUp() override { previous_ = DialogService::replace(std::make_unique<MessageBoxDialogService>()); }
    void TearDown() override { DialogService::replace(std::move(previous_)); }

private:
    std::unique_ptr<DialogService> previous_;
};

TEST_F(NoSilentDrops, TypingAfterAClickLandsInTheClickedCell)
{
    const struct {
        const char* name;
        int line;
        int column;
        CellPos typed;
    } cases[] = {
        {"a writing cell", 3, 7, {3, 7}},
        {"the counter column goes to column 1", 5, 0, {5, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FrameFixture f;
        clickCell(f, c.line, c.column);
        EXPECT_EQ(f.caret(), c.typed);
        EXPECT_TRUE(f.edt()->hasFocus());
        EXPECT_TRUE(f.edt()->isVisible()) << "the caret cell is marked";
        QTest::keyClicks(f.edt(), QStringLiteral("a"));
        EXPECT_EQ(f.cells().cell(c.typed.line, c.typed.column), QStringLiteral("a"));
    }
}

TEST_F(NoSilentDrops, BlankPaperTakesTheFocusAndTheCountAtOnce)
{
    FrameFixture f;
    f.title.show();
    SheetText::setLine(f.cells(), 0, QStringLiteral("가나다"));
    f.mem()->setPlainText(QStringLiteral("한 줄 더"));
    QTest::mouseClick(f.button("btn2"), Qt::LeftButton);
    EXPECT_TRUE(f.mem()->hasFocus());
    EXPECT_FALSE(f.title.hasFocus());
    EXPECT_EQ(f.label("lblCount")->text(), EssayMeasures::CountText(5));
}

// The hidden paper's text is not sent: the save says so first, and 아니요 sends nothing.
TEST_F(NoSilentDrops, SaveAsksFirstWhenTheHiddenPaperHoldsText)
{
    CourseServerProcess server;
    server.start();
    SetServerUrl(server.url());
    FrameFixture f(demoFields());
    f.editor->journal().keeper().start();
    SheetText::setLine(f.cells(), 0, QStringLiteral("원고지 글"));
    QTest::mouseClick(f.button("btn2"), Qt::LeftButton);
    QTest::keyClicks(f.mem(), QStringLiteral("memo"));

    ModalBoxes boxes;
    boxes.answers = {QMessageBox::No};
    QTest::mouseClick(f.button("btnSave"), Qt::LeftButton);
    ASSERT_TRUE(boxes.waitFor(1));
    EXPECT_EQ(boxes.texts[0], QStringLiteral("원고지에 쓴 글은 보내지 않고 백지의 글만 저장합니다. 저장하시겠습니까?"));
    EXPECT_TRUE(f.label("lblNotice")->text().isEmpty()) << "nothing was sent";
    f.editor->journal().keeper().flush();
    const WritingJournal::Work kept = WritingJournal::fromPacket(*f.editor->journal().keeper().file().read());
    EXPECT_EQ(kept.memo, QStringLiteral("memo"));
    EXPECT_EQ(kept.lines[0].mid(0, 5).join(QString()), QStringLiteral("원고지 글"));

    boxes.answers = {QMessageBox::Yes};
    QTest::mouseClick(f.button("btnSave"), Qt::LeftButton);
    ASSERT_TRUE(boxes.waitFor(2));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f.label("lblNotice")->text().isEmpty(); }, 5000));
    EXPECT_TRUE(f.label("lblNotice")->text().startsWith(QStringLiteral("저장되었습니다 ")));
    EXPECT_EQ(boxes.texts.size(), 2) << "a saved essay shows no box";
    EXPECT_FALSE(f.editor->journal().keeper().file().exists());
    EXPECT_FALSE(f.session().Modified());

    // Accepted once, the warning is not given again in this run.
    f.label("lblNotice")->clear();
    QTest::keyClicks(f.mem(), QStringLiteral(" more"));
    QTest::mouseClick(f.button("btnSave"), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f.label("lblNotice")->text().isEmpty(); }, 5000));
    QTest::qWait(100);
    EXPECT_EQ(boxes.texts.size(), 2);
}

// A save with the server down says the work is kept here; the next save sends it.
TEST_F(NoSilentDrops, SaveWithTheServerDownKeepsTheWorkOnThisComputer)
{
    CourseServerProcess server;
    server.start();
    SetServerUrl(server.url());
    FrameFixture f(demoFields());
    f.editor->journal().keeper().start();
    QTest::mouseClick(f.edt(), Qt::LeftButton);
    QTest::keyClicks(f.edt(), QStringLiteral("abc"));
    server.stop();

    ModalBoxes boxes;
    QTest::mouseClick(f.button("btnSave"), Qt::LeftButton);
    ASSERT_TRUE(boxes.waitFor(1));
    EXPECT_TRUE(boxes.texts[0].contains(QStringLiteral("이 컴퓨터에 보관되어 있습니다")))
        << boxes.texts[0].toStdString();
    EXPECT_TRUE(f.editor->journal().keeper().file().exists());

    server.start();
    QTest::mouseClick(f.button("btnSave"), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f.label("lblNotice")->text().isEmpty(); }, 5000));
    EXPECT_FALSE(f.editor->journal().keeper().file().exists());
}

}
