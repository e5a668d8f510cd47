#include "Course.h"
#include "Essays.h"

#include "board/SorBoard.h"
#include "core/LaunchFields.h"
#include "correction/TfmeTeacher.h"
#include "support/PixelCount.h"
#include "support/RecordingDialogs.h"
#include "support/TeacherWidgets.h"

#include <QLineEdit>
#include <gtest/gtest.h>

// Runs at a screen scale of 2 (see CMakeLists.txt).
namespace {

using W = TeacherWidgets;

class TeacherRatio : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Course::Start(); }
    static void TearDownTestSuite() { Course::Stop(); }

    ScopedRecordingDialogs dialogs;
    QLineEdit title;
};

// The page is drawn at the screen's device pixels; the marks keep their place in pixels and
// the picture sent with the correction keeps the page's size in pixels.
TEST_F(TeacherRatio, PageAtTheScreensDevicePixels)
{
    DataSet essay = Essays::Manuscript(31);
    const QString key = Course::PostEssay(essay);
    DataSet correction = Essays::BoardCorrection({{1, {Essays::Mark(dt16, {40, 40, 81, 31})}, {}}},
                                                 {{}, {"60", "40", "20", "25", "10", "10", "5"}, false});
    Course::PostCorrection(key, correction);
    auto frame = Course::ShownFrame();
    frame->SetupTeacherRun(LaunchFields(Course::TeacherFields(key, true)), &title);
    TSorBoard& board = *W(*frame).Board;
    ASSERT_EQ(board.devicePixelRatioF(), 2);
    EXPECT_EQ(board.size(), QSize(650, 880));
    EXPECT_EQ(board.Buffer().devicePixelRatio(), 2);
    EXPECT_EQ(board.Buffer().size(), QSize(1300, 1760));
    EXPECT_GT(RedPixels(board.Buffer(), QRect(80, 80, 162, 62)), 80) << "the mark";

    QImage picture(board.size(), QImage::Format_RGB32);
    board.DrawPicture(picture);
    EXPECT_EQ(picture.size(), QSize(650, 880));
    EXPECT_EQ(picture.devicePixelRatio(), 1);
    EXPECT_GT(RedPixels(picture, QRect(40, 40, 81, 31)), 20) << "the mark";
    EXPECT_EQ(QColor(picture.pixel(49, 10)), QColor(200, 200, 200)) << "the sheet under the board";
}

}
