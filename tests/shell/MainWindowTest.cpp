#include "ShellFixture.h"
#include "correction/TfmeTeacher.h"
#include "document/ManuscriptGrid.h"
#include "shell/Startup.h"
#include "shell/WindowEdges.h"
#include "support/RecordingDialogs.h"
#include "ui/PictureButton.h"
#include "writing/TfmeEditor.h"
#include "writing/WritingJournal.h"
#include "writing/WritingSession.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

using Kind = RecordingDialogs::Kind;

TEST(MainWindow, GeometryAndFramePerMode)
{
    const struct {
        QStringList fields;
        QSize size;
        int minimiseLeft;
        bool editor;
        bool teacher;
    } cases[] = {
        {StudentFields(), {818, 628}, 776, true, false},
        {TeacherFields(), {1018, 758}, 976, false, true},
        {ViewFields(), {937, 758}, 895, false, true},
        {{"X001", "a"}, {630, 448}, 588, false, false},
    };
    for (const auto& c : cases) {
        ScopedRecordingDialogs dialogs;
        ShellFixture fixture;
        const auto window = fixture.start(fixture.launchFile("run.dzl", c.fields));
        const QString mode = c.fields[0];
        EXPECT_EQ(window->size(), c.size) << mode.toStdString();
        EXPECT_EQ(window->Image2->pos(), QPoint(c.minimiseLeft, 8)) << mode.toStdString();
        EXPECT_EQ(window->Image3->pos(), QPoint(c.minimiseLeft + 16, 8)) << mode.toStdString();
        EXPECT_EQ(window->FEditor != nullptr, c.editor) << mode.toStdString();
        EXPECT_EQ(window->FTeacher != nullptr, c.teacher) << mode.toStdString();
        // The teacher and viewing files here carry no essay address.
        const QStringList info = c.teacher ? QStringList{"답안지가 없습니다."} : QStringList{};
        EXPECT_EQ(dialogs->texts(Kind::Information), info) << mode.toStdString();
        EXPECT_TRUE(dialogs->texts(Kind::Error).isEmpty()) << mode.toStdString();
    }
}

TEST(MainWindow, TitleBoxFollowsTheRun)
{
    ScopedRecordingDialogs dialogs;
    ShellFixture fixture;
    auto student = fixture.start(fixture.launchFile("s.dzl", StudentFields()));
    EXPECT_EQ(student->txtTitle->text(), QStringLiteral("우리 동네 도서관"));
    EXPECT_TRUE(student->txtTitle->isEnabled());
    student->txtTitle->setText(QStringLiteral("새 제목"));
    EXPECT_EQ(student->FEditor->session().Title(), QStringLiteral("새 제목"));

    QStringList readOnly = StudentFields();
    readOnly[6] = "0";
    EXPECT_FALSE(fixture.start(fixture.launchFile("r.dzl", readOnly))->txtTitle->isEnabled());

    auto teacher = fixture.start(fixture.launchFile("t.dzl", TeacherFields()));
    EXPECT_EQ(teacher->txtTitle->text(), QStringLiteral("제목"));
    EXPECT_FALSE(teacher->txtTitle->isEnabled());

    auto none = fixture.start(fixture.launchFile("x.dzl", {"s001", "a"}));
    EXPECT_TRUE(none->txtTitle->isEnabled());
    EXPECT_TRUE(none->txtTitle->text().isEmpty());
}

TEST(MainWindow, LaunchProblemsAreReportedAndTheWindowStillOpens)
{
    ScopedRecordingDialogs dialogs;
    ShellFixture fixture;

    const QString missing = fixture.dir() + "/없는파일.dzl";
    auto noFile = fixture.start(missing);
    EXPECT_EQ(dialogs->texts(Kind::Information), QStringList{missing + " 을 찾을 수 없습니다."});
    EXPECT_EQ(noFile->size(), QSize(630, 448));
    dialogs->boxes.clear();

    auto oneField = fixture.start(fixture.write("t.dzl", "T001\r\n"));
    EXPECT_EQ(dialogs->texts(Kind::Error), QStringList{"List index out of bounds (1)"});
    EXPECT_NE(oneField->FTeacher, nullptr) << "what was built before the missing field stays";
    EXPECT_EQ(oneField->size(), QSize(1018, 758));
    dialogs->boxes.clear();

    auto huge = fixture.start(fixture.write("big.dzl", "S001\x03" + QByteArray(1024 * 1024, 'a')));
    ASSERT_EQ(dialogs->texts(Kind::Error).size(), 1);
    EXPECT_TRUE(dialogs->texts(Kind::Error)[0].contains("1 MiB"));
    EXPECT_EQ(huge->FEditor, nullptr);
}

TEST(MainWindow, NoArgumentShowsOnlyTheInformationBox)
{
    for (const QStringList& args : {QStringList{"dozoruderado"}, QStringList{"dozoruderado", ""}}) {
        ScopedRecordingDialogs dialogs;
        EXPECT_EQ(StartClient(args, "/nonexistent"), nullptr);
        EXPECT_EQ(dialogs->texts(Kind::Information), QStringList{"이 프로그램은 단독으로 실행할수 없습니다."});
        EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty()
                    || std::none_of(QApplication::topLevelWidgets().begin(), QApplication::topLevelWidgets().end(),
                                    [](QWidget* w) { return qobject_cast<TfrmMain*>(w); }));
    }
}

TEST(WindowEdges, OnlyTopAndBottomEdgesResize)
{
    using namespace WindowEdges;
    const QSize size(818, 628);
    const struct {
        QPoint pos;
        HitCode raw;
        HitCode answer;
    } cases[] = {
        {{400, 0}, HTTOP, HTTOP},           {{400, 627}, HTBOTTOM, HTBOTTOM},      {{0, 300}, HTLEFT, HTBORDER},
        {{817, 300}, HTRIGHT, HTBORDER},    {{0, 0}, HTTOPLEFT, HTBORDER},         {{817, 0}, HTTOPRIGHT, HTBORDER},
        {{0, 627}, HTBOTTOMLEFT, HTBORDER}, {{817, 627}, HTBOTTOMRIGHT, HTBORDER}, {{400, 300}, HTCLIENT, HTCLIENT},
        {{400, kBand}, HTCLIENT, HTCLIENT},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rawHitTest(c.pos, size), c.raw) << c.pos.x() << "," << c.pos.y();
        EXPECT_EQ(restrict(c.raw), c.answer) << c.pos.x() << "," << c.pos.y();
    }
    EXPECT_EQ(resizeEdges({400, 1}, size), Qt::TopEdge);
    EXPECT_EQ(resizeEdges({400, 626}, size), Qt::BottomEdge);
    EXPECT_EQ(resizeEdges({1, 1}, size), Qt::Edges());
}

namespace {
void sendMouse(QWidget* target, QEvent::Type type, QPoint local, Qt::MouseButton button)
{
    const QPoint global = target->mapToGlobal(local);
    QMouseEvent event(type, local, global, button, type == QEvent::MouseButtonRelease ? Qt::NoButton : button,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}
}

TEST(MainWindow, DraggingTheTopStripWithAnyButtonMovesTheWindow)
{
    ScopedRecordingDialogs dialogs;
    ShellFixture fixture;
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        auto window = fixture.start(fixture.launchFile("s.dzl", StudentFields()));
        window->show();
        window->move(100, 100);
        const QPoint start = window->pos();
        sendMouse(window->imgTop, QEvent::MouseButtonPress, {200, 15}, button);
        sendMouse(window->imgTop, QEvent::MouseMove, {230, 5}, button);
        sendMouse(window->imgTop, QEvent::MouseButtonRelease, {230, 5}, button);
        EXPECT_EQ(window->pos(), start + QPoint(30, -10));
        EXPECT_EQ(window->size(), QSize(818, 628));
        sendMouse(window->imgTop, QEvent::MouseMove, {260, 5}, Qt::NoButton);
        EXPECT_EQ(window->pos(), start + QPoint(30, -10)) << "released: no more dragging";
    }
}

TEST(MainWindow, TopEdgeChangesTheHeightOnly)
{
    ScopedRecordingDialogs dialogs;
    ShellFixture fixture;
    auto window = fixture.start(fixture.launchFile("s.dzl", StudentFields()));
    window->show();
    window->move(100, 200);
    sendMouse(window->imgTop, QEvent::MouseMove, {400, 1}, Qt::NoButton);
    EXPECT_EQ(window->imgTop->cursor().shape(), Qt::SizeVerCursor);
    sendMouse(window->imgTop, QEvent::MouseMove, {400, 20}, Qt::NoButton);
    EXPECT_EQ(window->imgTop->cursor().shape(), Qt::ArrowCursor);

    sendMouse(window->imgTop, QEvent::MouseButtonPress, {400, 1}, Qt::LeftButton);
    sendMouse(window->imgTop, QEvent::MouseMove, {400, -39}, Qt::LeftButton);
    sendMouse(window->imgTop, QEvent::MouseButtonRelease, {400, -39}, Qt::LeftButton);
    EXPECT_EQ(window->width(), 818);
    EXPECT_EQ(window->height(), 668);
    EXPECT_EQ(window->imgBottom->geometry(), QRect(0, 659, 818, 9)) << "the skin follows the height";

    sendMouse(window->imgTop, QEvent::MouseButtonPress, {1, 1}, Qt::LeftButton);
    sendMouse(window->imgTop, QEvent::MouseMove, {-40, -40}, Qt::LeftButton);
    sendMouse(window->imgTop, QEvent::MouseButtonRelease, {-40, -40}, Qt::LeftButton);
    EXPECT_EQ(window->size(), QSize(818, 668)) << "a corner neither resizes nor changes the width";
}

TEST(MainWindow, ClosingAsksToSaveOnlyWhereTheFrameHasChanges)
{
    const struct {
        QStringList fields;
        bool modified;
        QList<bool> answers;
        int questions;
        bool saveFails;
    } cases[] = {
        {TeacherFields(), true, {false}, 1, false}, {TeacherFields(), false, {}, 0, false},
        {ViewFields(), true, {}, 0, false},         {StudentFields(), true, {true}, 1, true},
        {StudentFields(), true, {false}, 1, false}, {StudentFields(), false, {}, 0, false},
    };
    for (const auto& c : cases) {
        ScopedRecordingDialogs dialogs;
        dialogs->answers = c.answers;
        ShellFixture fixture;
        // Nothing listens on port 1: a save answered Yes fails, and the window must stay open.
        fixture.write("dozoruderado.ini", "[CONFIG]\nURL=" + QByteArray("http://127.0.0.1:1").toBase64() + "\n");
        auto window = fixture.start(fixture.launchFile("run.dzl", c.fields));
        window->show();
        dialogs->boxes.clear();
        if (window->FTeacher)
            window->FTeacher->Session().SetModified(c.modified);
        if (window->FEditor && c.modified)
            window->FEditor->session().TimerTimer();
        const std::string mode = c.fields[0].toStdString();
        EXPECT_EQ(window->close(), !c.saveFails) << mode;
        EXPECT_EQ(dialogs->texts(Kind::Question).size(), c.questions) << mode;
        if (c.questions) {
            EXPECT_EQ(dialogs->boxes[0].caption, QStringLiteral("확인"));
            EXPECT_EQ(dialogs->boxes[0].text, QStringLiteral("저장하시겠습니까?"));
        }
        EXPECT_EQ(dialogs->texts(Kind::Error).size(), c.saveFails ? 1 : 0) << mode;
        EXPECT_EQ(window->isVisible(), c.saveFails) << mode;
    }
}

TEST(MainWindow, CloseButtonClosesTheWindow)
{
    ScopedRecordingDialogs dialogs;
    ShellFixture fixture;
    auto window = fixture.start(fixture.launchFile("run.dzl", StudentFields()));
    window->show();
    QTest::mouseClick(window->Image3, Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->Image3->accessibleName(), QStringLiteral("닫기"));
}

// Minimising the window writes the journal at once; after a hand-over, closing asks for
// every frame with unsaved work, the older one included.
TEST(MainWindow, MinimisingWritesTheJournalAndClosingAsksForEveryFrame)
{
    ScopedRecordingDialogs dialogs;
    ShellFixture fixture;
    auto window = fixture.start(fixture.launchFile("s.dzl", StudentFields()));
    window->show();
    TfmeEditor* first = window->FEditor;
    first->session().grid().setCell(0, 1, QStringLiteral("가"));
    EXPECT_FALSE(first->journal().keeper().file().exists());
    window->showMinimized();
    QApplication::processEvents();
    EXPECT_TRUE(first->journal().keeper().file().exists()) << "written without waiting for the timer";

    window->showNormal();
    window->OpenLaunchFile(fixture.launchFile("v.dzl", ViewFields()));
    ASSERT_NE(window->FTeacher, nullptr);
    dialogs->answers = {false};
    EXPECT_TRUE(window->close());
    EXPECT_EQ(dialogs->texts(Kind::Question), QStringList{QStringLiteral("저장하시겠습니까?")})
        << "the student's frame behind the viewing run is asked for";
    EXPECT_FALSE(first->journal().keeper().file().exists()) << "아니요 sets the journal aside";
}
