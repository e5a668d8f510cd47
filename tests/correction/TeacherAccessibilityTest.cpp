#include "Course.h"
#include "Essays.h"

#include "board/BoardAccessible.h"
#include "board/BoardItem.h"
#include "board/SorBoard.h"
#include "core/TransferGate.h"
#include "correction/TFlatSpeedButton.h"
#include "correction/TfmeTeacher.h"
#include "correction/TfrmText.h"
#include "document/CorrectionRecord.h"
#include "support/RecordingDialogs.h"
#include "support/TeacherWidgets.h"
#include "ui/PictureButton.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using W = TeacherWidgets;

QAccessibleInterface* Accessible(QWidget* widget)
{
    return QAccessible::queryAccessibleInterface(widget);
}

// The press action clicks as shown on screen, a moment later.
void Press(QWidget* widget)
{
    Accessible(widget)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTest::qWait(250);
}

QString FocusName()
{
    QWidget* focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QString();
}

// The names of the widgets Tab reaches, from `start` until it comes back.
QStringList TabWalk(QWidget* start)
{
    start->setFocus(Qt::TabFocusReason);
    QStringList names{FocusName()};
    for (int step = 0; step < 80; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (QApplication::focusWidget() == start)
            break;
        names << FocusName();
    }
    return names;
}

class TeacherAccessibility : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Course::Start();
        DataSet essay = Essays::Manuscript(40);
        DataSet work(CorrectionRecord::fields());
        CorrectionRecord::MarkRow mark;
        mark.left = 60;
        mark.top = 40;
        mark.right = 120;
        mark.bottom = 80;
        mark.fontSize = 10;
        mark.fontName = QStringLiteral("굴림체");
        mark.drawTool = dt14;
        mark.strings = QStringLiteral("맞춤법");
        mark.reportPoint = QStringLiteral("-2");
        CorrectionRecord::storePage(work, CorrectionRecord::pageKey(0), {}, {});
        CorrectionRecord::storePage(work, CorrectionRecord::pageKey(1), {mark}, {});
        DataSet correction(CorrectionRecord::fields());
        CorrectionRecord::writeSummary(correction, work, {});
        key = Course::PostEssay(essay);
        Course::PostCorrection(key, correction);
    }
    static void TearDownTestSuite() { Course::Stop(); }

    void SetUp() override
    {
        frame = Course::ShownFrame();
        frame->SetupTeacherRun(LaunchFields(Course::TeacherFields(key, true)), &title);
        // After the download's progress window, the frame is the active window again.
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    }

    TSorBoard* board() const { return W(*frame).Board; }

    static inline QString key;
    ScopedRecordingDialogs dialogs;
    QLineEdit title;
    std::unique_ptr<TfmeTeacher> frame;
};

}

TEST_F(TeacherAccessibility, EveryButtonIsAPushButtonNamedByItsWordThatTheActionPresses)
{
    const struct {
        const char* name;
        const char* word;
    } cases[] = {{"btn1", "에디터첨삭"},  {"btn2", "자필첨삭"}, {"Image7", "답안출력"}, {"Image2", "첨삭출력"},
                 {"btnSave", "임시저장"}, {"Image8", "총평"},   {"Image6", "평가"}};
    for (const auto& c : cases) {
        QAccessibleInterface* button = Accessible(W::Find<PictureButton>(*frame, c.name));
        EXPECT_EQ(button->role(), QAccessible::Button) << c.name;
        EXPECT_EQ(button->text(QAccessible::Name), QString::fromUtf8(c.word)) << c.name;
        EXPECT_TRUE(button->state().focusable) << c.name;
        EXPECT_TRUE(button->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    }

    Press(W(*frame).Image6);
    EXPECT_TRUE(W(*frame).pGrid->isVisible()) << "the scoring sheet";
    Press(W(*frame).Image8);
    EXPECT_TRUE(W(*frame).Memo1->isVisible()) << "the review";
}

TEST_F(TeacherAccessibility, TabWalksTheFrameInOrderAndLeavesTheMemosAndTheBoard)
{
    // The total is read-only, not disabled: Tab reaches it, so it can be read.
    EXPECT_EQ(TabWalk(W(*frame).btn1).join(' ').toStdString(),
              "btn1 btn2 btnAG btnCursor cmbList Board ScrollBox1 Memo2 Image8 Image6 Memo1 ComboBox1 Image7 Image2 "
              "btnSave");
    W(*frame).Memo2->setFocus(Qt::TabFocusReason);
    QTest::keyClick(W(*frame).Memo2, Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(FocusName().toStdString(), "ScrollBox1");
    EXPECT_TRUE(W(*frame).Memo2->toPlainText().isEmpty()) << "Tab typed nothing";
}

TEST_F(TeacherAccessibility, PaletteIsWalkedByArrowsAndATookIsChosenBySpace)
{
    TFlatSpeedButton* select = W(*frame).btnCursor;
    select->setFocus(Qt::TabFocusReason);
    QTest::keyClick(select, Qt::Key_Up);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    auto* walkedTo = dynamic_cast<TFlatSpeedButton*>(QApplication::focusWidget());
    ASSERT_TRUE(walkedTo);
    EXPECT_EQ(walkedTo->Tag, dtLeft) << "one row up, then left";
    EXPECT_EQ(board()->DrawTool(), dtSelect) << "walking chooses nothing";
    EXPECT_EQ(Accessible(walkedTo)->text(QAccessible::Name), DrawToolHint(dtLeft));

    QTest::keyClick(walkedTo, Qt::Key_Space);
    EXPECT_EQ(board()->DrawTool(), dtLeft);
    EXPECT_TRUE(walkedTo->isChecked());
    EXPECT_TRUE(Accessible(walkedTo)->state().checked);
    EXPECT_EQ(walkedTo->focusPolicy(), Qt::TabFocus) << "the chosen tool is the palette's Tab stop";
    EXPECT_EQ(select->focusPolicy(), Qt::NoFocus);
}

// What a screen reader presses on a checkable button is its toggle action.
TEST_F(TeacherAccessibility, PaletteToggledThroughTheAccessibleActionChoosesTheToolThatDraws)
{
    TFlatSpeedButton* button = W(*frame).ToolButton(dt16);
    QAccessibleActionInterface* actions = Accessible(button)->actionInterface();
    ASSERT_TRUE(actions);
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    frame->Session().SetModified(false);
    actions->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(button->isChecked());
    EXPECT_FALSE(W(*frame).btnCursor->isChecked());
    EXPECT_EQ(board()->DrawTool(), dt16);
    EXPECT_TRUE(frame->Session().Modified());

    QTest::mousePress(board(), Qt::LeftButton, {}, QPoint(200, 300));
    QTest::mouseMove(board(), QPoint(260, 330));
    QTest::mouseRelease(board(), Qt::LeftButton, {}, QPoint(260, 330));
    const QList<CorrectionRecord::MarkRow>& marks = frame->Session().Page().marks();
    ASSERT_EQ(marks.size(), 2);
    EXPECT_EQ(marks[1].drawTool, dt16);
    EXPECT_EQ(QRect(QPoint(marks[1].left, marks[1].top), QPoint(marks[1].right, marks[1].bottom)),
              QRect(QPoint(200, 300), QPoint(260, 330)));
    ASSERT_EQ(board()->Items().Count(), 2);
    EXPECT_EQ(board()->Items().Items(1)->DrawTool(), dt16) << "the board shows the page's new mark";
    EXPECT_EQ(board()->DrawTool(), dtSelect) << "back to the selection tool";
    EXPECT_TRUE(W(*frame).btnCursor->isChecked());
}

TEST_F(TeacherAccessibility, BoardReadsThePageLinesAndItsMarksAndTheKeyboardPlacesOne)
{
    QAccessibleInterface* page = Accessible(board());
    EXPECT_EQ(page->role(), QAccessible::Document);
    EXPECT_EQ(page->text(QAccessible::Name), QStringLiteral("첨삭판"));
    // Page 1: 30 written lines, then the stored mark.
    ASSERT_EQ(page->childCount(), 31);
    QString firstLine;
    for (int column = 1; column <= 20; ++column)
        firstLine += Essays::CellText(0, column);
    EXPECT_EQ(page->child(0)->role(), QAccessible::StaticText);
    EXPECT_EQ(page->child(0)->text(QAccessible::Name), firstLine.trimmed());
    QAccessibleInterface* stored = page->child(30);
    EXPECT_EQ(stored->role(), QAccessible::Note);
    // Read with the two cells of line 2 it lies over, its note and its points.
    EXPECT_EQ(stored->text(QAccessible::Name),
              QStringLiteral("고침표: '%1', 맞춤법, -2점").arg(Essays::CellText(1, 1) + Essays::CellText(1, 2)));
    EXPECT_EQ(stored->text(QAccessible::Description), QStringLiteral("틀린 글자나 내용을 바꿀 때"));
    EXPECT_EQ(page->indexOfChild(stored), 30);

    // A tool chosen, the board reached by Tab, the caret moved by arrows, Enter places.
    W(*frame).btnCursor->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    ASSERT_EQ(board()->DrawTool(), dtRight);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), board());
    const QPoint caret = board()->KeyCaret();
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(board(), Qt::Key_Right);
    QTest::keyClick(board(), Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(board()->KeyCaret(), caret + QPoint(30, 1));
    QTest::keyClick(board(), Qt::Key_Return);

    ASSERT_EQ(board()->Items().Count(), 2);
    const TBoardItem* placed = board()->Items().Items(1);
    EXPECT_EQ(placed->DrawTool(), dtRight);
    EXPECT_EQ(QPoint(placed->Left(), placed->Top()), caret + QPoint(30, 1));
    EXPECT_EQ(board()->DrawTool(), dtSelect);
    EXPECT_TRUE(frame->Session().Modified());
    ASSERT_EQ(page->childCount(), 32);
    ASSERT_TRUE(page->focusChild());
    EXPECT_TRUE(page->focusChild()->text(QAccessible::Name).startsWith(DrawToolName(dtRight) + QStringLiteral(": '")))
        << "the new mark is read back with the text it covers: "
        << page->focusChild()->text(QAccessible::Name).toStdString();

    // Enter on the selected mark edits its note and points, as a double click does.
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<TfrmText*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        QTest::keyClicks(dialog->memText, QStringLiteral("abc"));
        dialog->cmbPoint->lineEdit()->setText(QStringLiteral("-1"));
        QTest::keyClick(dialog->btnOK, Qt::Key_Space);
    });
    QTest::keyClick(board(), Qt::Key_Return);
    EXPECT_TRUE(page->child(31)->text(QAccessible::Name).endsWith(QStringLiteral("', abc, -1점")))
        << page->child(31)->text(QAccessible::Name).toStdString();

    QTest::keyClick(board(), Qt::Key_Delete);
    EXPECT_EQ(board()->Items().Count(), 1);
    EXPECT_EQ(page->childCount(), 31);
    QTest::keyClick(board(), Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), board()) << "Tab leaves the board";
}

TEST_F(TeacherAccessibility, CtrlSSavesAndCtrlPPrintsFromAnywhereInTheFrame)
{
    int saves = 0;
    int prints = 0;
    // The counting runs first; the frame's own save and print wait for a transfer that
    // never ends here, so they do nothing.
    TransferGate::Pass busy;
    QObject::connect(frame->btnSave, &PictureButton::clicked, [&] { ++saves; });
    QObject::connect(W(*frame).Image2, &PictureButton::clicked, [&] { ++prints; });
    for (QWidget* where : {static_cast<QWidget*>(W(*frame).Memo2), static_cast<QWidget*>(board())}) {
        where->setFocus();
        QTest::keyClick(where, Qt::Key_S, Qt::ControlModifier);
        QTest::keyClick(where, Qt::Key_P, Qt::ControlModifier);
    }
    EXPECT_EQ(saves, 2);
    EXPECT_EQ(prints, 2);
}

// The viewer's board tells how to read it, not how to place marks; a mark with nothing under
// it is read by its name alone.
TEST_F(TeacherAccessibility, ViewersBoardDescriptionTellsHowToReadIt)
{
    const QString teachers = Accessible(board())->text(QAccessible::Description);
    EXPECT_TRUE(teachers.contains(QStringLiteral("Enter"))) << teachers.toStdString();

    auto viewer = Course::ShownFrame();
    viewer->SetupViewRun(LaunchFields(Course::ViewFields(key)), &title);
    const QString read = Accessible(W(*viewer).Board)->text(QAccessible::Description);
    EXPECT_FALSE(read.contains(QStringLiteral("Enter")) || read.contains(QStringLiteral("놓습니다")))
        << read.toStdString();
    EXPECT_TRUE(read.contains(QStringLiteral("읽습니다"))) << read.toStdString();

    // Without the palette, the legend names every mark kind beside its picture.
    EXPECT_FALSE(W::Find<PictureButton>(*frame, "btnLegend")->isVisible()) << "the teacher has the palette";
    auto* legendButton = W::Find<PictureButton>(*viewer, "btnLegend");
    ASSERT_TRUE(legendButton->isVisible());
    QTest::mouseClick(legendButton, Qt::LeftButton);
    auto* legend = viewer->findChild<QDialog*>(QStringLiteral("frmLegend"));
    ASSERT_TRUE(legend && legend->isVisible());
    QAccessibleInterface* list = Accessible(legend->findChild<QWidget*>(QStringLiteral("lstLegend")));
    ASSERT_TRUE(list);
    QStringList rows;
    for (int i = 0; i < list->childCount(); ++i)
        rows << list->child(i)->text(QAccessible::Name);
    EXPECT_EQ(rows.size(), 29);
    EXPECT_TRUE(rows.contains(DrawToolHint(dt16)));
    EXPECT_EQ(QSet<QString>(rows.begin(), rows.end()).size(), rows.size());
    legend->close();

    TBoardItem blank;
    blank.SetDrawTool(dt11);
    blank.SetBounds(100, 0, 120, 8);  // above the first line
    EXPECT_EQ(BoardItemReading(blank, W(*viewer).Board->TextLines()), QStringLiteral("띄움표"));
}
