// The error history end to end: a student writes three essays, the teacher corrects them
// with known marks through the real client, and the "오류 통계" window of the teacher's run
// and of the student's viewing run shows exactly those counts.
#include "ClientRun.h"
#include "Typist.h"
#include "board/SorBoard.h"
#include "correction/ErrorHistoryChart.h"
#include "correction/ErrorStatsButton.h"
#include "correction/TfmeTeacher.h"
#include "correction/TfrmErrorStats.h"
#include "shell/TfrmMain.h"
#include "support/TeacherWidgets.h"
#include "writing/TfmeEditor.h"
#include "writing/WritingSession.h"

#include <QFile>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using W = TeacherWidgets;

void click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

class ErrorStatsRun : public ClientRun {
protected:
    void open(const QString& address) { showClient(address); }

    // A new essay of the demo student, typed and saved; its lecture key.
    QString writeEssay(const QString& text)
    {
        open(QStringLiteral("/launch/new/S1001.dzl"));
        EXPECT_TRUE(window->FEditor);
        auto* edt = window->FEditor->findChild<QWidget*>(QStringLiteral("edt"));
        click(edt);
        TypeText(edt, text);
        click(window->FEditor->btnSave());
        EXPECT_TRUE(dialogs->boxes.isEmpty()) << dialogs->boxes.first().text.toStdString();
        return window->FEditor->session().LectureKey();
    }

    TfmeTeacher& frame() const { return *window->FTeacher; }

    // Picks the tool on the palette and drags it out on the board.
    void place(TDrawTool tool, int n)
    {
        TSorBoard& board = *W(frame()).Board;
        for (TFlatSpeedButton* button : W(frame()).ToolButtons)
            if (button->Tag == tool)
                click(button);
        ASSERT_EQ(board.DrawTool(), tool);
        const QRect box(QPoint(40 + (n % 5) * 115, 60 + (n / 5) * 150), QSize(70, 45));
        QTest::mousePress(&board, Qt::LeftButton, {}, box.topLeft());
        QTest::mouseMove(&board, box.center());
        QTest::mouseRelease(&board, Qt::LeftButton, {}, box.bottomRight());
    }

    void correct(const QString& key, const QList<TDrawTool>& tools)
    {
        open(QStringLiteral("/launch/T001/%1.dzl").arg(key));
        ASSERT_TRUE(window->FTeacher);
        int n = 0;
        for (TDrawTool tool : tools)
            ASSERT_NO_FATAL_FAILURE(place(tool, n++));
        ASSERT_EQ(W(frame()).Board->Items().Count(), tools.size());
        click(frame().btnSave);
        ASSERT_EQ(dialogs->boxes.size(), 0) << dialogs->boxes.first().text.toStdString();
    }

    // Opens the window from the frame's button as a person does.
    TfrmErrorStats* openStats()
    {
        auto* button = frame().findChild<ErrorStatsButton*>(QStringLiteral("btnErrorStats"));
        EXPECT_TRUE(button && button->isVisible());
        if (!button || !button->isVisible())
            return nullptr;
        click(button);
        EXPECT_TRUE(dialogs->boxes.isEmpty()) << dialogs->boxes.first().text.toStdString();
        TfrmErrorStats* stats = button->Window();
        EXPECT_TRUE(stats && stats->isVisible());
        return stats;
    }

    // What the window's table reads, row by row: the mark's name, then its counts per essay
    // in the order they were corrected, then its total.
    static QStringList table(const TfrmErrorStats& stats)
    {
        const QAbstractItemModel& model = *stats.tblErrorStats->model();
        QStringList rows;
        for (int row = 0; row < model.rowCount(); ++row) {
            QStringList cells{model.headerData(row, Qt::Vertical).toString()};
            for (int column = 0; column < model.columnCount(); ++column)
                cells << model.index(row, column).data().toString();
            rows << cells.join(u' ');
        }
        return rows;
    }
};

TEST_F(ErrorStatsRun, TheTeacherAndTheStudentSeeExactlyTheMarksPlaced)
{
    QStringList keys;
    for (const char* text : {"첫째 글입니다", "둘째 글입니다", "셋째 글입니다"}) {
        keys << writeEssay(QString::fromUtf8(text));
        ASSERT_EQ(keys.last().size(), 16);
    }
    // A text note is no mark and is not counted.
    ASSERT_NO_FATAL_FAILURE(correct(keys[0], {dt16, dt11, dt16, dtText}));
    ASSERT_NO_FATAL_FAILURE(correct(keys[1], {dt45, dt16}));
    ASSERT_NO_FATAL_FAILURE(correct(keys[2], {dt14, dt14, dt14}));
    const QStringList expected{
        QStringLiteral("띄움표 1 0 0 1"),
        QStringLiteral("고침표 0 0 3 3"),
        QStringLiteral("지움표 2 1 0 3"),
        QStringLiteral("칭찬표 0 1 0 1"),
    };

    // The teacher, still in the third essay's run.
    TfrmErrorStats* stats = openStats();
    ASSERT_TRUE(stats);
    EXPECT_EQ(table(*stats), expected);
    EXPECT_TRUE(stats->lblStudent->text().contains(QStringLiteral("김하늘 (S1001)")));
    const QString firstEssay = stats->tblErrorStats->model()->headerData(0, Qt::Horizontal).toString();
    EXPECT_TRUE(firstEssay.startsWith(QStringLiteral("1. "))) << firstEssay.toStdString();

    // The chart on the screen: 고침표's three in the third essay stand as its tallest bar.
    const QImage chart = stats->chtErrorStats->grab().toImage();
    const QRect bar = ErrorHistoryChart::barRect(stats->chtErrorStats->rect(), stats->model().history(), 1, 2);
    EXPECT_EQ(QColor(chart.pixel(bar.center() * chart.devicePixelRatio())), ErrorHistoryChart::kBarColour);

    // The class table, as the teacher saves it.
    const QString csvPath = config.filePath(QStringLiteral("class.csv"));
    stats->saveClassCsv(csvPath);
    QFile csv(csvPath);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    ASSERT_EQ(lines.size(), 5) << "a header, three essays and the end";
    EXPECT_TRUE(lines[0].startsWith("학생 번호,학생 이름,강의 키,제목,첨삭 시각,띄움표,"));
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(lines[1 + i].startsWith("S1001,김하늘," + keys[i].toLatin1())) << lines[1 + i].toStdString();

    // The student's viewing run of the last essay shows the same.
    open(QStringLiteral("/launch/C001/%1.dzl").arg(keys[2]));
    ASSERT_TRUE(window->FTeacher);
    stats = openStats();
    ASSERT_TRUE(stats);
    EXPECT_EQ(table(*stats), expected);
    EXPECT_TRUE(stats->btnClassCsv->isHidden()) << "the class table is the teacher's";
}

}
