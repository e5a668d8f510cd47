#include "Course.h"
#include "Essays.h"

#include "board/SorBoard.h"
#include "correction/ScoreSheet.h"
#include "correction/TFlatSpeedButton.h"
#include "correction/TfmeTeacher.h"
#include "document/CorrectionRecord.h"
#include "jpeg/Jpeg.h"
#include "net/ShowBrowserWindow.h"
#include "net/Transport.h"
#include "support/RecordingDialogs.h"
#include "support/TeacherWidgets.h"
#include "text/Cp949.h"
#include "ui/PictureButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

using Kind = RecordingDialogs::Kind;

namespace {

using W = TeacherWidgets;

QColor At(const QImage& image, int x, int y)
{
    return QColor(image.pixel(x, y));
}

bool IsRed(QColor c)
{
    return c.red() > 200 && c.green() < 80 && c.blue() < 80;
}

QString ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
    return {};
}

class TeacherFrame : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Course::Start();
        DataSet essay = Essays::LongBlankPaper(70);
        threePages = Course::PostEssay(essay);
        DataSet correction = Essays::BoardCorrection(
            {{1,
              {Essays::Mark(dt16, {40, 40, 81, 31}), Essays::Mark(dtText, {200, 100, 100, 30}, "좋은 표현")},
              "첫 쪽 평\r\n"},
             {2, {Essays::Mark(dt11, {60, 60, 40, 40})}, {}}},
            {"잘 읽었습니다.\r\n", {"60", "40", "20", "25", "10", "10", "5"}, false});
        Course::PostCorrection(threePages, correction);
    }
    static void TearDownTestSuite() { Course::Stop(); }

    std::unique_ptr<TfmeTeacher> Teacher(const QStringList& fields)
    {
        auto frame = Course::ShownFrame();
        frame->SetupTeacherRun(LaunchFields(fields), &title);
        return frame;
    }

    std::unique_ptr<TfmeTeacher> Viewer(const QStringList& fields)
    {
        auto frame = Course::ShownFrame();
        frame->SetupViewRun(LaunchFields(fields), &title);
        return frame;
    }

    static void Place(TfmeTeacher& frame, QPoint from, QPoint to)
    {
        QTest::mousePress(W(frame).Board, Qt::LeftButton, {}, from);
        QTest::mouseMove(W(frame).Board, to);
        QTest::mouseRelease(W(frame).Board, Qt::LeftButton, {}, to);
    }

    static TFlatSpeedButton* ToolButton(TfmeTeacher& frame, TDrawTool tool)
    {
        for (TFlatSpeedButton* button : W(frame).ToolButtons)
            if (button->Tag == tool)
                return button;
        return nullptr;
    }

    static inline QString threePages;
    ScopedRecordingDialogs dialogs;
    QLineEdit title;
};

}  // namespace

TEST_F(TeacherFrame, PaletteButtonsSelectTheirTools)
{
    const struct {
        int x, y;
        TDrawTool tool;
        const char* hint;
    } expected[] = {
        {12, 24, dtText, "글입력"},
        {40, 24, dt46, "줄표"},
        {12, 52, dt12, "둠표(V자)"},
        {40, 52, dt14, "고침표: 틀린 글자나 내용을 바꿀 때"},
        {12, 80, dt15, "부호넣음표: 밑에 찍는 문장부호를 넣을 때"},
        {40, 80, dt11, "띄움표"},
        {12, 108, dt17, "넣음표: 글자나 부호가 빠졌을 때"},
        {40, 108, dt16, "지움표: 필요 없는 내용을 지울 때"},
        {12, 140, dt25, "오른자리옮김표: 오른쪽으로 자리를 옮길 때"},
        {40, 140, dt18, "뺌표: 필요 없는 글자를 지울 때"},
        {12, 168, dt27, "부분자리옮김표: 지시하는 부분만 자리를 옮길 때"},
        {40, 168, dt22, "붙임표: 붙여야 할 곳이 떨어져 있을 때"},
        {12, 196, dt32, "줄이음표: 두 줄로 된 것을 한 줄로 이을 때"},
        {40, 196, dt24, "자리바꿈표: 글자, 단어의 앞뒤 순서를 바꿀 때"},
        {12, 224, dt34, "줄붙임표: 줄을 비울 필요가 없을 때"},
        {40, 224, dt26, "왼자리옮김표: 왼쪽으로 자리를 옮길 때"},
        {12, 252, dt41, "위치표시표"},
        {40, 252, dt31, "줄바꿈표: 한 줄로 된 것을 두 줄로 바꿀 때"},
        {12, 280, dt43, "톱니표: 좀 더 간단히 써야 할 때"},
        {40, 280, dt33, "줄비움표: 줄을 비울 필요가 있을 때"},
        {12, 308, dt45, "칭찬표: 표현이나 생각이 좋아 칭찬할 때"},
        {40, 308, dt35, "줄서로바꿈표: 윗줄과 아랫줄을 서로 바꿀 때"},
        {12, 336, dt44, "생각표: 말이 이상하고 뜻이 잘 통하지 않을 때"},
        {40, 336, dt42, "부호지움표: 잘못 적은 문장부호를 서로 바꿀 때"},
        {12, 364, dt21, "살림표(동그라미)"},
        {40, 364, dt23, "둠표(반달)"},
        {12, 392, dtLeft, "살림표(왼쪽 반원)"},
        {40, 392, dtRight, "둠표(오른쪽 반원)"},
        {12, 420, dtNumber, "번호넣기: 번호를 써서 넣어 주세요"},
        {40, 420, dtSelect, "선택"},
    };
    auto frame = Course::ShownFrame();
    ASSERT_EQ(W(*frame).ToolButtons.size(), 30);
    QSet<QString> names;
    for (int i = 0; i < 30; ++i) {
        TFlatSpeedButton* button = W(*frame).ToolButtons[i];
        const auto& e = expected[i];
        EXPECT_EQ(button->geometry(), QRect(e.x, e.y, 25, 25)) << i;
        EXPECT_EQ(button->Tag, int(e.tool)) << i;
        EXPECT_EQ(button->toolTip(), QString::fromUtf8(e.hint)) << i;
        EXPECT_EQ(button->accessibleName(), QString::fromUtf8(e.hint)) << i;
        names.insert(button->accessibleName());
        EXPECT_TRUE(button->isCheckable());
        EXPECT_EQ(button->group(), W(*frame).ToolButtons[0]->group());
    }
    EXPECT_EQ(names.size(), 30) << "every tool is told apart by its name";
    EXPECT_EQ(W(*frame).btnCursor->Tag, int(dtSelect));

    QTest::mouseClick(ToolButton(*frame, dt44), Qt::LeftButton);
    EXPECT_EQ(W(*frame).Board->DrawTool(), dt44);
    EXPECT_TRUE(frame->Session().Modified());
    QTest::mouseClick(ToolButton(*frame, dtNumber), Qt::LeftButton);
    EXPECT_EQ(W(*frame).Board->DrawTool(), dtNumber);
    EXPECT_FALSE(ToolButton(*frame, dt44)->isChecked()) << "one button is down at a time";
}

// The launch fields' switches, read as far as an empty essay address lets the set-up go.
TEST_F(TeacherFrame, LaunchSwitchesOfBothModes)
{
    const QStringList teacher{"T001", "T1", "pw", "0", "KEY", "S1", "", "", "1", "제목", "77"};
    const QStringList viewer{"C001", "T1", "", "0", "KEY", "", "", "제목", "77"};
    const struct {
        const char* name;
        QStringList fields;
        bool evaluation;  // the 평가 tab and the notices
        bool discussion;
        bool totalBox;
    } cases[] = {
        {"teacher, 10 fields", teacher, false, false, false},
        {"teacher, Y", teacher + QStringList{"http://127.0.0.1:1/d", "Y"}, true, true, false},
        {"teacher, N", teacher + QStringList{"http://127.0.0.1:1/d", "N"}, false, true, true},
        {"teacher, y", teacher + QStringList{"http://127.0.0.1:1/d", "y"}, false, true, false},
        {"teacher, blank address", teacher + QStringList{"   ", "Y"}, true, false, false},
        {"teacher, address only", teacher + QStringList{"http://127.0.0.1:1/d"}, false, true, false},
        {"viewer, 8 fields", viewer, false, false, false},
        {"viewer, Y", viewer + QStringList{"http://127.0.0.1:1/d", "Y"}, true, true, false},
        {"viewer, N", viewer + QStringList{"http://127.0.0.1:1/d", "N"}, false, true, false},
        {"viewer, blank address", viewer + QStringList{" ", "N"}, false, false, false},
    };
    for (const auto& c : cases) {
        dialogs->boxes.clear();
        const bool teacherRun = c.fields[0] == "T001";
        auto frame = teacherRun ? Teacher(c.fields) : Viewer(c.fields);
        EXPECT_EQ(dialogs->texts(Kind::Information), QStringList{"답안지가 없습니다."}) << c.name;
        EXPECT_EQ(dialogs->boxes.size(), 1) << c.name;
        EXPECT_EQ(W(*frame).Image6->isVisibleTo(frame.get()), c.evaluation) << c.name;
        EXPECT_EQ(W(*frame).Label13->isVisibleTo(frame.get()), c.evaluation) << c.name;
        EXPECT_EQ(W(*frame).Label14->isVisibleTo(frame.get()), c.evaluation) << c.name;
        EXPECT_EQ(W(*frame).btnAG->isVisibleTo(frame.get()), c.discussion) << c.name;
        EXPECT_EQ(!W(*frame).ComboBox1->isReadOnly(), c.totalBox) << c.name;
        EXPECT_EQ(W(*frame).ComboBox1->text(), "77") << c.name;
        EXPECT_EQ(title.text(), "제목") << c.name;
        EXPECT_FALSE(title.isEnabled()) << c.name;
        EXPECT_EQ(W(*frame).cmbList->count(), 0) << c.name << ": the frame stays without pages";
        EXPECT_EQ(frame->Session().ViewMode(), 0) << c.name;
        EXPECT_EQ(frame->Session().ViewOnly(), !teacherRun) << c.name << ": a viewing run never saves";
        EXPECT_EQ(frame->Session().Scores().text(5, 0), " 1. 원고지작성법") << c.name;
        EXPECT_EQ(W(*frame).pGrid->columnWidth(0), 300) << c.name;
    }
    EXPECT_EQ(Teacher(teacher)->Session().ReportPoint(), "77");
    EXPECT_EQ(Teacher(teacher)->Session().Launch().studentNo, "S1");
    EXPECT_TRUE(Viewer(viewer)->Session().Launch().studentNo.isEmpty());
    EXPECT_TRUE(Viewer(viewer)->Session().Launch().editable);

    auto shortTeacher = Course::ShownFrame();
    EXPECT_EQ(ErrorOf([&] { shortTeacher->SetupTeacherRun(LaunchFields(teacher.mid(0, 10)), &title); }),
              "List index out of bounds (10)");
    auto shortViewer = Course::ShownFrame();
    EXPECT_EQ(ErrorOf([&] { shortViewer->SetupViewRun(LaunchFields(viewer.mid(0, 8)), &title); }),
              "List index out of bounds (8)");
    EXPECT_TRUE(shortViewer->Session().ViewOnly());
}

// Field 3 and field 7 decide whether the earlier correction is downloaded.
TEST_F(TeacherFrame, EarlierCorrectionIsDownloadedOnlyWhenAsked)
{
    const struct {
        const char* name;
        bool hasCorrection;
        bool withAddress;
        int marksOnPage1;
    } cases[] = {
        {"field 3 is 1", true, true, 2},
        {"field 3 is 1, field 7 empty", true, false, 0},
        {"field 3 is 0, an address in field 7", false, true, 0},
    };
    for (const auto& c : cases) {
        QStringList fields = Course::TeacherFields(threePages, c.hasCorrection);
        if (!c.withAddress)
            fields[7].clear();
        auto frame = Teacher(fields);
        EXPECT_TRUE(dialogs->boxes.isEmpty()) << c.name;
        EXPECT_EQ(frame->Session().ViewMode(), 1) << c.name;
        EXPECT_EQ(W(*frame).cmbList->count(), 3) << c.name;
        EXPECT_EQ(W(*frame).cmbList->itemText(2), "3쪽") << c.name;
        EXPECT_EQ(W(*frame).Label5->text(), "총 3페이지 입니다.") << c.name;
        EXPECT_EQ(frame->Session().PageIndex(), 0) << c.name;
        EXPECT_EQ(W(*frame).Board->Items().Count(), c.marksOnPage1) << c.name;
        EXPECT_EQ(W(*frame).Memo1->toPlainText(), c.marksOnPage1 ? "잘 읽었습니다.\n" : "") << c.name;
        EXPECT_EQ(frame->Session().Scores().text(1, 2), c.marksOnPage1 ? "60" : "") << c.name;
        EXPECT_FALSE(W(*frame).CheckBox1->isChecked()) << c.name;
        EXPECT_TRUE(frame->Session().cdTeacher.isEmpty()) << c.name << ": work goes to the working copy";
        EXPECT_FALSE(frame->Session().Modified()) << c.name;
        EXPECT_EQ(W(*frame).Board->DrawTool(), dtSelect) << c.name;
        EXPECT_TRUE(W(*frame).btnCursor->isChecked()) << c.name;
    }
}

// The page under the board, its marks drawn over it, and its comment.
TEST_F(TeacherFrame, FirstPageShowsItsMarksAndComment)
{
    auto frame = Teacher(Course::TeacherFields(threePages, true));
    const QImage& page = W(*frame).Board->Background();
    EXPECT_EQ(W(*frame).Board->size(), page.size());
    EXPECT_EQ(W(*frame).Board->pos(), QPoint(0, 0));
    EXPECT_EQ(page.width(), W(*frame).Board->Buffer().width());
    EXPECT_TRUE(IsRed(At(W(*frame).Board->Buffer(), 80, 53))) << "the 지움표 of page 1 is drawn";
    EXPECT_FALSE(IsRed(At(page, 80, 53))) << "on the board, not on the page";
    EXPECT_EQ(W(*frame).Memo2->toPlainText(), "첫 쪽 평\n");
    const TBoardItem* text = W(*frame).Board->Items().Items(1);
    EXPECT_EQ(text->DrawTool(), dtText);
    EXPECT_EQ(text->Strings(), "좋은 표현");
    EXPECT_EQ(text->Key(), 4242);
    EXPECT_EQ(text->Left(), 200);
    EXPECT_EQ(text->Bottom(), 129);
}

// btn1 on page 3 stores page 3 and shows page 1 with its marks; page 3 keeps what was done.
TEST_F(TeacherFrame, Button1StoresThePageAndReturnsToPage1)
{
    auto frame = Teacher(Course::TeacherFields(threePages, true));
    QTest::keyClick(W(*frame).cmbList, Qt::Key_Down);
    QTest::keyClick(W(*frame).cmbList, Qt::Key_Down);
    ASSERT_EQ(frame->Session().PageIndex(), 2);
    EXPECT_EQ(W(*frame).Board->Items().Count(), 0);
    EXPECT_TRUE(W(*frame).Memo2->toPlainText().isEmpty());

    W(*frame).ScrollBox1->verticalScrollBar()->setValue(200);
    QTest::mouseClick(ToolButton(*frame, dt16), Qt::LeftButton);
    Place(*frame, {100, 300}, {180, 330});
    ASSERT_EQ(W(*frame).Board->Items().Count(), 1);
    QTest::keyClicks(W(*frame).Memo2, "page three");

    QTest::mouseClick(W(*frame).btn1, Qt::LeftButton);
    EXPECT_EQ(W(*frame).cmbList->currentIndex(), 0);
    EXPECT_EQ(frame->Session().PageIndex(), 0);
    EXPECT_EQ(W(*frame).Board->Items().Count(), 2) << "page 1 with its own marks";
    EXPECT_EQ(W(*frame).Memo2->toPlainText(), "첫 쪽 평\n");
    EXPECT_EQ(W(*frame).ScrollBox1->verticalScrollBar()->value(), 0) << "a page is shown from the top";

    QTest::keyClick(W(*frame).cmbList, Qt::Key_Down);
    EXPECT_EQ(W(*frame).Board->Items().Count(), 1) << "page 2 as loaded";
    EXPECT_EQ(W(*frame).Board->Items().Items(0)->DrawTool(), dt11);
    QTest::keyClick(W(*frame).cmbList, Qt::Key_Down);
    ASSERT_EQ(W(*frame).Board->Items().Count(), 1);
    const TBoardItem* placed = W(*frame).Board->Items().Items(0);
    EXPECT_EQ(placed->DrawTool(), dt16);
    EXPECT_EQ(QRect(QPoint(placed->Left(), placed->Top()), QPoint(placed->Right(), placed->Bottom())),
              QRect(QPoint(100, 300), QPoint(180, 330)));
    EXPECT_EQ(W(*frame).Memo2->toPlainText(), "page three\n");
    EXPECT_TRUE(frame->Session().Modified());
}

TEST_F(TeacherFrame, HandwrittenPagesAreShownFromTheRecord)
{
    DataSet essay = Essays::BlankPaper("짧은 글");
    const QString key = Course::PostEssay(essay);
    DataSet correction =
        Essays::HandwrittenCorrection({Essays::Picture({670, 500}, Qt::blue), Essays::Picture({670, 300}, Qt::green)});
    Course::PostCorrection(key, correction);

    for (const bool viewing : {false, true}) {
        auto frame = viewing ? Viewer(Course::ViewFields(key)) : Teacher(Course::TeacherFields(key, true));
        EXPECT_EQ(frame->Session().ViewMode(), 2);
        EXPECT_EQ(W(*frame).cmbList->count(), 2);
        EXPECT_EQ(W(*frame).cmbList->itemText(1), "2쪽");
        EXPECT_EQ(frame->Session().cdTeacher.recordCount(), 2) << "a handwritten correction is edited in place";
        EXPECT_FALSE(W(*frame).Board->isVisibleTo(frame.get()));
        EXPECT_FALSE(W(*frame).pnlLeft->isVisibleTo(frame.get()));
        EXPECT_FALSE(W(*frame).pnlRight->isVisibleTo(frame.get()));
        EXPECT_FALSE(W(*frame).Label5->isVisibleTo(frame.get()));
        EXPECT_EQ(W(*frame).Image3->isVisibleTo(frame.get()), !viewing);
        EXPECT_EQ(W(*frame).Image4->isVisibleTo(frame.get()), !viewing);
        ASSERT_TRUE(W(*frame).Image->isVisibleTo(frame.get()));
        EXPECT_EQ(W(*frame).Image->size(), QSize(670, 500));
        QImage shown = W(*frame).Image->pixmap().toImage();
        EXPECT_GT(At(shown, 300, 250).blue(), 200);

        QTest::keyClick(W(*frame).cmbList, Qt::Key_Down);
        EXPECT_EQ(W(*frame).Image->size(), QSize(670, 300));
        shown = W(*frame).Image->pixmap().toImage();
        EXPECT_GT(At(shown, 300, 150).green(), 200);
        EXPECT_FALSE(frame->Session().Modified());
    }

    // btn1 turns to the board correction of the same essay, btn2 back to the pictures.
    auto frame = Teacher(Course::TeacherFields(key, true));
    ASSERT_TRUE(W(*frame).btn2->isVisibleTo(frame.get())) << "a teacher can correct on paper";
    QTest::mouseClick(W(*frame).btn1, Qt::LeftButton);
    EXPECT_EQ(frame->Session().ViewMode(), 1);
    EXPECT_EQ(W(*frame).cmbList->count(), 1);
    EXPECT_TRUE(W(*frame).Board->isVisibleTo(frame.get()));
    EXPECT_FALSE(W(*frame).Image->isVisibleTo(frame.get()));
    EXPECT_FALSE(W(*frame).Image3->isVisibleTo(frame.get()));
    QTest::mouseClick(W(*frame).btn2, Qt::LeftButton);
    EXPECT_EQ(frame->Session().ViewMode(), 2);
    EXPECT_EQ(W(*frame).cmbList->count(), 2);
    EXPECT_TRUE(W(*frame).Image3->isVisibleTo(frame.get())) << "pages can be added";
}

// Field 8 not "1": nothing can change, a press on the locked board places nothing, and
// the run never saves.
TEST_F(TeacherFrame, ReadOnlyTeacherRun)
{
    QStringList fields = Course::TeacherFields(threePages, true);
    fields[8] = "0";
    auto frame = Teacher(fields);
    EXPECT_FALSE(frame->btnSave->isVisibleTo(frame.get()));
    EXPECT_FALSE(W(*frame).Image7->isVisibleTo(frame.get()));
    EXPECT_TRUE(W(*frame).Image2->isVisibleTo(frame.get())) << "the correction print stays";
    EXPECT_FALSE(W(*frame).btnCancel->isEnabled());
    EXPECT_TRUE(W(*frame).btn1->isVisibleTo(frame.get()));
    EXPECT_FALSE(W(*frame).btn2->isVisibleTo(frame.get()));
    EXPECT_TRUE(W(*frame).Memo1->isReadOnly());
    EXPECT_TRUE(W(*frame).Memo2->isReadOnly());
    EXPECT_TRUE(W(*frame).ComboBox1->isReadOnly());
    EXPECT_TRUE(W(*frame).Board->Locked());
    EXPECT_EQ(W(*frame).pGrid->editTriggers(), QAbstractItemView::NoEditTriggers);
    for (TFlatSpeedButton* button : W(*frame).ToolButtons)
        EXPECT_FALSE(button->isEnabled());
    EXPECT_TRUE(frame->Session().ViewOnly());

    const QImage before = W(*frame).Board->Buffer();
    Place(*frame, {300, 300}, {360, 340});
    Place(*frame, {45, 45}, {90, 90});
    EXPECT_EQ(W(*frame).Board->Items().Count(), 2);
    EXPECT_EQ(W(*frame).Board->Items().Items(0)->Left(), 40) << "nothing moves";
    EXPECT_EQ(W(*frame).Board->Buffer(), before);
    EXPECT_FALSE(frame->Session().Modified());

    QTest::mouseClick(W(*frame).btn1, Qt::LeftButton);
    EXPECT_EQ(W(*frame).Board->Items().Count(), 2);
    EXPECT_TRUE(W(*frame).Board->Locked());
}

TEST_F(TeacherFrame, ViewingRun)
{
    auto frame = Viewer(Course::ViewFields(threePages));
    EXPECT_TRUE(dialogs->boxes.isEmpty());
    EXPECT_EQ(frame->Session().ViewMode(), 1);
    EXPECT_EQ(W(*frame).Board->Items().Count(), 2);
    EXPECT_EQ(W(*frame).Memo1->toPlainText(), "잘 읽었습니다.\n");
    EXPECT_EQ(frame->Session().Scores().text(7, 2), "5");
    EXPECT_FALSE(W(*frame).btn1->isVisibleTo(frame.get()));
    EXPECT_FALSE(W(*frame).btn2->isVisibleTo(frame.get()));
    EXPECT_FALSE(W(*frame).pnlLeft->isVisibleTo(frame.get()));
    EXPECT_TRUE(W(*frame).pnlRight->isVisibleTo(frame.get()));
    EXPECT_FALSE(frame->btnSave->isVisibleTo(frame.get()));
    EXPECT_TRUE(W(*frame).Memo2->isReadOnly());
    EXPECT_FALSE(W(*frame).CheckBox1->isEnabled());
    EXPECT_TRUE(W(*frame).ComboBox1->isReadOnly());
    EXPECT_TRUE(W(*frame).Board->Locked());
    EXPECT_TRUE(frame->Session().ViewOnly());

    Place(*frame, {300, 300}, {360, 340});
    EXPECT_EQ(W(*frame).Board->Items().Count(), 2);
    QTest::keyClick(W(*frame).cmbList, Qt::Key_Down);
    EXPECT_EQ(W(*frame).Board->Items().Count(), 1);
    EXPECT_FALSE(frame->Session().Modified());

    QStringList noCorrection = Course::ViewFields(threePages);
    noCorrection[6].clear();
    auto fresh = Viewer(noCorrection);
    EXPECT_EQ(W(*fresh).cmbList->count(), 3);
    EXPECT_EQ(W(*fresh).Board->Items().Count(), 0);
}

// A stored deduction comes back checked; "true" in lower case does not.
TEST_F(TeacherFrame, SummaryFillsTheSheet)
{
    DataSet essay = Essays::BlankPaper("짧은 글");
    for (const auto& [p8, checked] : {std::pair{"TRUE", true}, std::pair{"true", false}}) {
        const QString key = Course::PostEssay(essay);
        DataSet correction = Essays::BoardCorrection({}, {"총평", {"1", "2", "3", "4", "5", "6", "7"}, false});
        correction.moveTo(correction.recordCount() - 1);
        correction.edit();
        correction.setString(u"p8", p8);
        correction.post();
        Course::PostCorrection(key, correction);
        auto frame = Viewer(Course::ViewFields(key));
        EXPECT_EQ(W(*frame).CheckBox1->isChecked(), checked) << p8;
        // Checking the box recomputes the subtotals and the total from the stored points.
        const QStringList points =
            checked ? QStringList{"5", "2", "3", "18", "5", "6", "7"} : QStringList{"1", "2", "3", "4", "5", "6", "7"};
        EXPECT_EQ(frame->Session().Scores().points(), points) << p8;
        EXPECT_EQ(W(*frame).ComboBox1->text(), checked ? "3" : "85") << p8;
    }
}

TEST_F(TeacherFrame, SetUpFailures)
{
    auto essayNotARecord = [](QStringList fields, int essayField) {
        fields[essayField] = Course::DiscussionUrl();
        return fields;
    };
    const struct {
        const char* name;
        QStringList fields;
        const char* error;
    } cases[] = {
        {"teacher, essay not a record", essayNotARecord(Course::TeacherFields(threePages, true), 6),
         "저장된 자료를 읽을 수 없습니다"},
        {"viewer, essay not a record", essayNotARecord(Course::ViewFields(threePages), 5),
         "저장된 자료를 읽을 수 없습니다"},
        {"teacher, correction not a record", essayNotARecord(Course::TeacherFields(threePages, true), 7),
         "저장된 자료를 읽을 수 없습니다"},
        {"teacher, no such essay", Course::TeacherFields("NOSUCHKEY", false), "404"},
    };
    for (const auto& c : cases) {
        auto frame = Course::ShownFrame();
        const QString error = ErrorOf([&] {
            if (c.fields[0] == "T001")
                frame->SetupTeacherRun(LaunchFields(c.fields), &title);
            else
                frame->SetupViewRun(LaunchFields(c.fields), &title);
        });
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.error))) << c.name << ": " << error.toStdString();
        EXPECT_EQ(W(*frame).cmbList->count(), 0) << c.name;
        EXPECT_EQ(frame->Session().ViewMode(), 0) << c.name;
    }
}

// A scanned page that is not a picture: the error box, and the board keeps the page it had.
TEST_F(TeacherFrame, BrokenScannedPageKeepsThePreviousPage)
{
    DataSet essay = Essays::Scanned({Essays::Picture({400, 300}, Qt::blue), QImage()});
    const QString key = Course::PostEssay(essay);
    auto frame = Teacher(Course::TeacherFields(key, false));
    ASSERT_EQ(W(*frame).cmbList->count(), 2);
    EXPECT_EQ(W(*frame).Board->size(), QSize(400, 320));
    QTest::mouseClick(ToolButton(*frame, dt11), Qt::LeftButton);
    Place(*frame, {50, 50}, {100, 100});

    QTest::keyClick(W(*frame).cmbList, Qt::Key_Down);
    ASSERT_EQ(dialogs->texts(Kind::Error).size(), 1);
    EXPECT_EQ(frame->Session().PageIndex(), 0);
    EXPECT_EQ(W(*frame).Board->Background().size(), QSize(400, 320));
    EXPECT_EQ(W(*frame).Board->Items().Count(), 1) << "the marks of page 1 stay on the board";
}

// The teacher's own launch file from the course page opens the correction.
TEST_F(TeacherFrame, LaunchFileFromTheCoursePage)
{
    QBuffer stream;
    DownloadToStream(Course::Server().launchUrl("T001", CourseServerProcess::kLectureKey), stream);
    const QStringList fields = Cp949::decode(stream.data()).split(QChar(0x03));
    auto frame = Teacher(fields);
    EXPECT_TRUE(W(*frame).btnAG->isVisibleTo(frame.get()));
    EXPECT_TRUE(W(*frame).Image6->isVisibleTo(frame.get()));
    EXPECT_FALSE(frame->Session().ViewOnly());
    EXPECT_EQ(frame->Session().Launch().studentNo, CourseServerProcess::kStudentNo);
}

TEST_F(TeacherFrame, ManuscriptEssayPages)
{
    DataSet essay = Essays::Manuscript(31);
    const QString key = Course::PostEssay(essay);
    auto frame = Teacher(Course::TeacherFields(key, false));
    EXPECT_EQ(W(*frame).cmbList->count(), 2);
    EXPECT_EQ(W(*frame).Label5->text(), "총 2페이지 입니다.");
    EXPECT_EQ(W(*frame).Board->size(), QSize(650, 880));
    EXPECT_EQ(At(W(*frame).Board->Buffer(), 49, 10), QColor(200, 200, 200)) << "the sheet under the board";
    QTest::keyClick(W(*frame).cmbList, Qt::Key_Down);
    EXPECT_EQ(At(W(*frame).Board->Buffer(), 49, 50), QColor(Qt::white)) << "page 2 holds one line";
}

// The discussion button opens the lecture's discussion page in the browser window.
TEST_F(TeacherFrame, DiscussionButtonOpensTheDiscussionPage)
{
    auto frame = Teacher(Course::TeacherFields(threePages, false));
    ASSERT_TRUE(W(*frame).btnAG->isVisible());
    QString opened;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QDialog* window = CurrentBrowserWindow(); window && window->isVisible()) {
            opened = window->windowTitle();
            window->close();
        }
    });
    poll.start(20);
    QTest::mouseClick(W(*frame).btnAG, Qt::LeftButton);
    EXPECT_EQ(opened, "토의사항");
    EXPECT_TRUE(dialogs->boxes.isEmpty());
    EXPECT_FALSE(frame->Session().Modified());
}
