// The error history on the client: the server's answer read into counts, the same numbers
// as an accessible table, the chart's bars and the printout.
#include "board/ProofMarks.h"
#include "core/AppError.h"
#include "correction/ErrorHistory.h"
#include "correction/ErrorHistoryChart.h"
#include "correction/ErrorHistoryModel.h"
#include "correction/ErrorHistoryPrint.h"

#include <QAccessible>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QPainter>
#include <QPdfWriter>
#include <QTableView>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QJsonObject parse(const char* json)
{
    return QJsonDocument::fromJson(json).object();
}

// Three essays: 지움표 3, 1, 0 times; 띄움표 once in the second; a text note and a number
// (no marks) in the first; the third without marks.
const char* kThreeEssays = R"({"student": {"number": "S1001", "name": "김하늘"}, "essays": [
  {"key": "A", "title": "첫째", "corrected": "2026-03-01T09:00:00Z", "marks": {"7": 3, "28": 4, "29": 1}},
  {"key": "B", "title": "둘째", "corrected": "2026-03-02T09:00:00Z", "marks": {"2": 1, "7": 1}},
  {"key": "C", "title": "", "corrected": "2026-03-03T09:00:00Z", "marks": {}}]})";

TEST(ErrorHistory, ReadsCountsPerEssayAndKindsThatOccur)
{
    const ErrorHistory history = ErrorHistory::fromJson(parse(kThreeEssays));

    EXPECT_EQ(history.studentNumber(), QStringLiteral("S1001"));
    EXPECT_EQ(history.studentName(), QStringLiteral("김하늘"));
    ASSERT_EQ(history.essays().size(), 3);
    EXPECT_EQ(history.essays()[1].title, QStringLiteral("둘째"));
    EXPECT_EQ(history.essays()[0].corrected, QDateTime(QDate(2026, 3, 1), QTime(9, 0), Qt::UTC));
    EXPECT_EQ(history.kinds(), (QList<TDrawTool>{dt11, dt16})) << "text notes and numbers are no marks";
    EXPECT_EQ(history.count(0, dt16), 3);
    EXPECT_EQ(history.count(2, dt16), 0);
    EXPECT_EQ(history.total(dt16), 4);
    EXPECT_EQ(history.total(dt11), 1);
    EXPECT_EQ(history.largest(), 3);
}

TEST(ErrorHistory, AnAnswerThatIsNoHistoryIsAnErrorThatSaysSo)
{
    const char* cases[] = {
        R"({"essays": []})",
        R"({"student": {"number": "S1"}, "essays": {}})",
        R"({"student": {"number": "S1"}, "essays": [{"key": "A", "marks": {"7": -1}}]})",
        R"({"student": {"number": "S1"}, "essays": [{"key": "A", "marks": {"7": 1.5}}]})",
        R"({"student": {"number": "S1"}, "essays": [{"key": "A", "marks": {"7": 2147483647}}]})",
        R"({"student": {"number": "S1"}, "essays": [{"key": "A", "marks": {"x": 1}}]})",
        R"({"student": {"number": "S1"}, "essays": [{"key": "A"}]})",
        R"({"student": {"number": "S1"}, "essays": [3]})",
    };
    for (const char* json : cases) {
        SCOPED_TRACE(json);
        try {
            ErrorHistory::fromJson(parse(json));
            ADD_FAILURE() << "read as a history";
        } catch (const AppError& error) {
            EXPECT_TRUE(error.message().contains(QStringLiteral("오류 통계를 읽을 수 없습니다")));
        }
    }
    // Kinds this client does not know as marks are left out, not refused.
    EXPECT_TRUE(ErrorHistory::fromJson(parse(R"({"student": {"number": "S1"}, "essays": [{"key": "A",
        "marks": {"200": 2, "0": 1}}]})"))
                    .kinds()
                    .isEmpty());
}

TEST(ErrorHistoryModel, ATableOfKindsByEssayWithTotalsThatAScreenReaderReads)
{
    ErrorHistoryModel model;
    model.setHistory(ErrorHistory::fromJson(parse(kThreeEssays)));
    ASSERT_EQ(model.rowCount(), 2);
    ASSERT_EQ(model.columnCount(), 4);
    EXPECT_EQ(model.headerData(1, Qt::Vertical, Qt::DisplayRole).toString(), ProofMarkName(dt16));
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString().left(5), QStringLiteral("1. 첫째"));
    EXPECT_TRUE(
        model.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString().startsWith(QStringLiteral("3. (제목 없음)")));
    EXPECT_EQ(model.headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("합계"));

    QTableView view;
    view.setModel(&model);
    view.show();
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&view);
    ASSERT_TRUE(table && table->tableInterface());
    QAccessibleTableInterface* cells = table->tableInterface();
    EXPECT_EQ(cells->rowCount(), 2);
    EXPECT_EQ(cells->columnCount(), 4);
    const int expected[2][4] = {{0, 1, 0, 1}, {3, 1, 0, 4}};
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 4; ++column) {
            QAccessibleInterface* cell = cells->cellAt(row, column);
            ASSERT_TRUE(cell);
            EXPECT_TRUE(cell->text(QAccessible::Name).endsWith(QStringLiteral(": %1번").arg(expected[row][column])))
                << row << "," << column << ": " << cell->text(QAccessible::Name).toStdString();
        }
    EXPECT_TRUE(
        cells->cellAt(1, 3)->text(QAccessible::Name).startsWith(ProofMarkName(dt16) + QStringLiteral(", 합계")));
}

QImage chartPicture(const ErrorHistory& history, QRect area)
{
    QImage picture(area.size() + QSize(2 * area.x(), 2 * area.y()), QImage::Format_RGB32);
    picture.fill(Qt::gray);
    QPainter painter(&picture);
    ErrorHistoryChart::paint(painter, area, history);
    return picture;
}

TEST(ErrorHistoryChart, EachBarStandsWhereAndAsHighAsItsNumberSays)
{
    const ErrorHistory history = ErrorHistory::fromJson(parse(kThreeEssays));
    const QRect area(10, 5, 500, ErrorHistoryChart::heightFor(2));
    const QImage picture = chartPicture(history, area);
    const QRgb bar = ErrorHistoryChart::kBarColour.rgb();

    // Row 1 (지움표): 3, 1, 0. The tallest count fills the strip's bar height, one a third.
    const QRect three = ErrorHistoryChart::barRect(area, history, 1, 0);
    const QRect one = ErrorHistoryChart::barRect(area, history, 1, 1);
    ASSERT_FALSE(three.isEmpty());
    EXPECT_TRUE(ErrorHistoryChart::barRect(area, history, 1, 2).isEmpty());
    EXPECT_EQ(one.bottom(), three.bottom());
    EXPECT_NEAR(one.height() * 3, three.height(), 3);
    EXPECT_GT(one.left(), three.right()) << "essays in time order, left to right";
    EXPECT_GT(three.top(), area.top() + ErrorHistoryChart::kHeaderHeight + ErrorHistoryChart::kRowHeight)
        << "inside the second strip";

    for (const QRect& drawn : {three, one}) {
        EXPECT_EQ(picture.pixel(drawn.center()), bar);
        EXPECT_EQ(picture.pixel(drawn.left(), drawn.bottom()), bar);
        EXPECT_NE(picture.pixel(drawn.center().x(), drawn.top() - 2), bar) << "nothing above the bar";
    }
    // No bar for the essay without 지움표, and 띄움표 (row 0) only in the second essay.
    const QPoint empty(one.center().x() + (one.left() - three.left()), one.center().y());
    EXPECT_NE(picture.pixel(empty), bar);
    const QRect first = ErrorHistoryChart::barRect(area, history, 0, 1);
    EXPECT_EQ(picture.pixel(first.center()), bar);
    EXPECT_EQ(first.height(), one.height()) << "every strip on one scale";
    EXPECT_NE(picture.pixel(ErrorHistoryChart::barRect(area, history, 1, 0).center().x(), first.center().y()), bar);
    EXPECT_EQ(picture.pixel(area.left() - 1, area.top()), QColor(Qt::gray).rgb()) << "nothing outside the area";
}

int pdfPages(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    return int(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "));
}

TEST(ErrorHistoryPrint, PrintsAsManyPagesAsTheStripsNeed)
{
    QTemporaryDir dir;
    const ErrorHistory few = ErrorHistory::fromJson(parse(kThreeEssays));
    QString many = R"({"student": {"number": "S1"}, "essays": [{"key": "A", "marks": {)";
    for (TDrawTool mark : ProofMarks())
        many += QStringLiteral("\"%1\": %2,").arg(int(mark)).arg(int(mark));
    many.chop(1);
    many += "}}]}";
    const ErrorHistory all = ErrorHistory::fromJson(QJsonDocument::fromJson(many.toUtf8()).object());
    ASSERT_EQ(all.kinds().size(), 28);

    for (const auto& [history, pages] : {std::pair{&few, 1}, std::pair{&all, 2}}) {
        const QString path = dir.filePath(QStringLiteral("stats%1.pdf").arg(pages));
        {
            QPdfWriter writer(path);
            writer.setPageSize(QPageSize(QPageSize::A4));
            PrintErrorHistory(writer, *history, QStringLiteral("오류 통계 - S1"));
        }
        EXPECT_EQ(pdfPages(path), pages);
    }
}

}
