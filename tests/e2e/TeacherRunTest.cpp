#include "ClientRun.h"
#include "Typist.h"
#include "board/SorBoard.h"
#include "correction/BoardPage.h"
#include "correction/MemoText.h"
#include "correction/ScoreSheet.h"
#include "correction/TFlatSpeedButton.h"
#include "correction/TfmeTeacher.h"
#include "correction/TfrmText.h"
#include "jpeg/Jpeg.h"
#include "report/PreparedReport.h"
#include "shell/Startup.h"
#include "shell/TfrmMain.h"
#include "support/BoardTextDialog.h"
#include "support/RecordingDialogs.h"
#include "support/TeacherWidgets.h"
#include "support/TestPaths.h"
#include "ui/PictureButton.h"
#include "writing/TSorEdit.h"
#include "writing/TfmeEditor.h"
#include "writing/WritingSession.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace CorrectionRecord {
void PrintTo(const MarkRow& m, std::ostream* os)
{
    *os << "{tool " << m.drawTool << " (" << m.left << "," << m.top << ")-(" << m.right << "," << m.bottom << ") \""
        << m.strings.toStdString() << "\" point \"" << m.reportPoint.toStdString() << "\"}";
}
}

namespace {

using W = TeacherWidgets;

using Kind = RecordingDialogs::Kind;
using Marks = QList<CorrectionRecord::MarkRow>;

QString sampleEssay()
{
    QFile file(SourceDir() + QStringLiteral("/tests/e2e/data/sample-essay.txt"));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("sample essay missing");
    return QString::fromUtf8(file.readAll());
}

void click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

// What a page shows: its marks in list order and its comment as the record keeps it.
struct PageState {
    Marks marks;
    QString comment;
};

// Every mark tool of the palette in palette order: the selection tool and the numbers
// (placed on their own, as they write into the page comment) aside.
QList<TDrawTool> markTools(const TfmeTeacher& frame)
{
    QList<TDrawTool> tools;
    for (const TFlatSpeedButton* button : W(frame).ToolButtons)
        if (button->Tag != dtSelect && button->Tag != dtNumber)
            tools << TDrawTool(button->Tag);
    return tools;
}

// Where the n-th mark of a page goes: five to a row, well apart.
QRect markBox(int n)
{
    return QRect(QPoint(40 + (n % 5) * 115, 60 + (n / 5) * 150), QSize(70, 45));
}

// The demo course's lecture written by its student through the client, then opened by its
// teacher and viewed, each run started from a launch file of the course page through the
// program's own start-up.
class TeacherRun : public ClientRun {
protected:
    void open(const QString& mode) { showClient(QStringLiteral("/launch/%1/DEMO0001.dzl").arg(mode)); }

    // The student types the sample essay on manuscript paper and saves it.
    void writeEssay()
    {
        open(QStringLiteral("S001"));
        ASSERT_TRUE(window->FEditor);
        auto* edt = window->FEditor->findChild<QWidget*>(QStringLiteral("edt"));
        click(edt);
        TypeText(edt, sampleEssay());
        click(window->FEditor->btnSave());
        ASSERT_TRUE(dialogs->boxes.isEmpty()) << dialogs->boxes.first().text.toStdString();
        dialogs->boxes.clear();
    }

    TfmeTeacher& frame() const { return *window->FTeacher; }
    TSorBoard& board() const { return *W(frame()).Board; }

    TFlatSpeedButton* toolButton(TDrawTool tool) const
    {
        for (TFlatSpeedButton* button : W(frame()).ToolButtons)
            if (button->Tag == tool)
                return button;
        return nullptr;
    }

    // Picks the tool on the palette and drags it out on the board with the mouse.
    void place(TDrawTool tool, QRect box)
    {
        TFlatSpeedButton* button = toolButton(tool);
        ASSERT_TRUE(button) << int(tool);
        click(button);
        ASSERT_EQ(board().DrawTool(), tool);
        QTest::mousePress(&board(), Qt::LeftButton, {}, box.topLeft());
        QTest::mouseMove(&board(), box.center());
        QTest::mouseMove(&board(), box.bottomRight());
        QTest::mouseRelease(&board(), Qt::LeftButton, {}, box.bottomRight());
    }

    // Double-clicks the board; `inDialog` runs while the text dialog is open. Returns
    // whether a dialog opened.
    bool doubleClick(QPoint at, const std::function<void(TfrmText&)>& inDialog)
    {
        return DoubleClickForText(board(), at, inDialog);
    }

    // Writes a note and a point on the item under `at` through the text dialog.
    void writeNote(QPoint at, const QString& text, const QString& point)
    {
        const bool opened = doubleClick(at, [&](TfrmText& dialog) {
            dialog.memText->selectAll();
            TypeText(dialog.memText, text);
            dialog.cmbPoint->setFocus();
            dialog.cmbPoint->lineEdit()->selectAll();
            QTest::keyClicks(dialog.cmbPoint, point);
            click(dialog.btnOK);
        });
        ASSERT_TRUE(opened);
    }

    // Chooses the page in the page list with the keyboard, as a user does.
    void showPage(int index)
    {
        QComboBox* list = W(frame()).cmbList;
        ASSERT_LT(index, list->count());
        list->setFocus();
        for (int step = list->currentIndex(); step < index; ++step)
            QTest::keyClick(list, Qt::Key_Down);
        for (int step = list->currentIndex(); step > index; --step)
            QTest::keyClick(list, Qt::Key_Up);
        ASSERT_EQ(frame().Session().PageIndex(), index);
    }

    // Marks pages 1 to 3 with every palette tool across them, two numbers, a text note and
    // a point each, and a comment after the numbers; `expected` takes what each page shows.
    void markThreePages(std::map<int, PageState>& expected)
    {
        const QList<TDrawTool> tools = markTools(frame());
        ASSERT_EQ(tools.size(), 28);
        for (int page = 0; page < 3; ++page) {
            SCOPED_TRACE(page + 1);
            showPage(page);
            const QImage blank = board().Buffer();
            int n = 0;
            for (qsizetype t = page; t < tools.size(); t += 3)
                place(tools[t], markBox(n++));
            ASSERT_EQ(board().Items().Count(), n);
            EXPECT_NE(board().Buffer(), blank) << "the marks are drawn on the page";
            EXPECT_EQ(board().DrawTool(), dtSelect) << "each placed mark gives the selection back";

            // Numbers land in the page comment; the teacher writes on after them.
            place(dtNumber, markBox(n++));
            place(dtNumber, markBox(n++));
            EXPECT_EQ(W(frame()).Memo2->toPlainText(), QStringLiteral("(1)\n(2)"));
            click(W(frame()).Memo2);
            QTest::keyClick(W(frame()).Memo2, Qt::Key_End, Qt::ControlModifier);
            TypeText(W(frame()).Memo2, QStringLiteral("\n%1쪽: 문단을 나누어 보세요.").arg(page + 1));

            // A text note and a point on a mark, through the text dialog.
            place(dtText, markBox(n));
            writeNote(markBox(n).center(), QStringLiteral("띄어쓰기\n확인"), QStringLiteral("-2"));
            writeNote(markBox(0).center(), QStringLiteral("고쳐 쓰기"), QStringLiteral("-%1").arg(page + 3));
            EXPECT_TRUE(dialogs->boxes.isEmpty()) << dialogs->boxes.first().text.toStdString();

            expected[page] = shown();
            const Marks& marks = expected[page].marks;
            ASSERT_EQ(marks.size(), n + 1);
            EXPECT_EQ(marks[n].strings, QStringLiteral("띄어쓰기\r\n확인\r\n"));
            EXPECT_EQ(marks[n].reportPoint, QStringLiteral("-2"));
            EXPECT_EQ(marks[0].strings, QStringLiteral("고쳐 쓰기\r\n"));
            EXPECT_EQ(marks[0].reportPoint, QStringLiteral("-%1").arg(page + 3));
            EXPECT_EQ(expected[page].comment,
                      QStringLiteral("(1)\r\n(2)\r\n%1쪽: 문단을 나누어 보세요.\r\n").arg(page + 1));
        }
    }

    // The review on the 총평 tab and the five typed scores on the 평가 tab.
    void writeReviewAndScores(const QString& review, const QStringList& scores)
    {
        click(W(frame()).Image8);
        click(W(frame()).Memo1);
        TypeText(W(frame()).Memo1, review);
        click(W(frame()).Image6);
        const QList<int> rows{2, 3, 5, 6, 7};
        ASSERT_EQ(scores.size(), rows.size());
        for (qsizetype i = 0; i < rows.size(); ++i) {
            QTableView* grid = W(frame()).pGrid;
            grid->setFocus();
            const QModelIndex cell = grid->model()->index(rows[i], 2);
            grid->setCurrentIndex(cell);
            QLineEdit* editor = cellEditor();
            if (!editor) {
                grid->edit(cell);
                editor = cellEditor();
            }
            ASSERT_TRUE(editor) << rows[i];
            editor->selectAll();
            QTest::keyClicks(editor, scores[i]);
        }
    }

    QLineEdit* cellEditor() const
    {
        for (QLineEdit* editor : W(frame()).pGrid->viewport()->findChildren<QLineEdit*>())
            if (editor->isVisible())
                return editor;
        return nullptr;
    }

    // The whole correction as the frame shows it: every page, the review, the scores.
    struct Correction {
        std::map<int, PageState> pages;
        QString review;
        QStringList points;
        bool deduction = false;
        QString total;
    };
    void readCorrection(Correction& out, int pageCount)
    {
        for (int page = 0; page < pageCount; ++page) {
            ASSERT_NO_FATAL_FAILURE(showPage(page));
            out.pages[page] = shown();
        }
        out.review = MemoText(W(frame()).Memo1);
        out.points = frame().Session().Scores().points();
        out.deduction = frame().Session().Scores().deduction();
        out.total = W(frame()).ComboBox1->text();
    }
    void expectSame(const Correction& shown, const Correction& expected)
    {
        for (const auto& [page, state] : expected.pages) {
            SCOPED_TRACE(page + 1);
            ASSERT_TRUE(shown.pages.count(page));
            EXPECT_EQ(shown.pages.at(page).marks, state.marks);
            EXPECT_EQ(shown.pages.at(page).comment, state.comment);
        }
        EXPECT_EQ(shown.review, expected.review);
        EXPECT_EQ(shown.points, expected.points);
        EXPECT_EQ(shown.deduction, expected.deduction);
        EXPECT_EQ(shown.total, expected.total);
    }

    QString writeScan(QSize size, QColor colour)
    {
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(colour);
        const QString path = config.filePath(QStringLiteral("scan%1.jpg").arg(++runs));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Jpeg::encode(picture));
        return path;
    }

    PageState shown() const { return {BoardPage::Marks(board().Items()), MemoText(W(frame()).Memo2)}; }
};

TEST_F(TeacherRun, TeacherMarksThreePagesWithEveryToolAndEachPageKeepsItsMarks)
{
    ASSERT_NO_FATAL_FAILURE(writeEssay());
    open(QStringLiteral("T001"));
    ASSERT_TRUE(window->FTeacher);
    EXPECT_TRUE(dialogs->boxes.isEmpty()) << dialogs->boxes.first().text.toStdString();
    EXPECT_EQ(window->txtTitle->text(), QStringLiteral("우리 동네 도서관에 다녀와서"));
    EXPECT_FALSE(window->txtTitle->isEnabled());
    const int pages = W(frame()).cmbList->count();
    ASSERT_GE(pages, 3) << "the sample essay fills three manuscript pages";
    EXPECT_EQ(W(frame()).cmbList->itemText(2), QStringLiteral("3쪽"));
    EXPECT_EQ(W(frame()).Label5->text(), QStringLiteral("총 %1페이지 입니다.").arg(pages));
    EXPECT_EQ(board().size(), board().Background().size());
    EXPECT_GT(board().Background().height(), 800) << "a page of 30 manuscript lines";
    EXPECT_EQ(board().Items().Count(), 0);
    EXPECT_FALSE(frame().Session().Modified());

    std::map<int, PageState> expected;
    ASSERT_NO_FATAL_FAILURE(markThreePages(expected));
    EXPECT_TRUE(frame().Session().Modified());

    // Back on page 1 a mark is moved with the mouse and another one deleted.
    ASSERT_NO_FATAL_FAILURE(showPage(0));
    const CorrectionRecord::MarkRow moved = expected[0].marks[1];
    const QPoint grip = markBox(1).center();
    QTest::mousePress(&board(), Qt::LeftButton, {}, grip);
    QTest::mouseMove(&board(), grip + QPoint(10, 5));
    QTest::mouseMove(&board(), grip + QPoint(20, 10));
    QTest::mouseRelease(&board(), Qt::LeftButton, {}, grip + QPoint(20, 10));
    QTest::mouseClick(&board(), Qt::LeftButton, {}, markBox(2).center());
    QTest::keyClick(&board(), Qt::Key_Delete);
    const qsizetype before = expected[0].marks.size();
    expected[0] = shown();
    ASSERT_EQ(expected[0].marks.size(), before - 1);
    EXPECT_EQ(QRect(QPoint(expected[0].marks[1].left, expected[0].marks[1].top),
                    QPoint(expected[0].marks[1].right, expected[0].marks[1].bottom)),
              QRect(QPoint(moved.left, moved.top), QPoint(moved.right, moved.bottom)).translated(20, 10));

    for (const int page : {0, 2, 1, 0}) {
        SCOPED_TRACE(page + 1);
        showPage(page);
        EXPECT_EQ(shown().marks, expected.at(page).marks);
        EXPECT_EQ(shown().comment, expected.at(page).comment);
    }
}

TEST_F(TeacherRun, TeacherClosingWithMarksAsksAndNoKeepsTheServerAsItWas)
{
    ASSERT_NO_FATAL_FAILURE(writeEssay());
    open(QStringLiteral("T001"));
    place(dt16, markBox(0));
    dialogs->answers = {false};
    window->close();
    EXPECT_EQ(dialogs->texts(Kind::Question), QStringList{"저장하시겠습니까?"});
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(server.get(QStringLiteral("/correction/DEMO0001")));
}

TEST_F(TeacherRun, ViewingRunChangesNothingAndClosesWithoutAQuestion)
{
    ASSERT_NO_FATAL_FAILURE(writeEssay());
    open(QStringLiteral("C001"));
    ASSERT_TRUE(window->FTeacher);
    EXPECT_TRUE(dialogs->boxes.isEmpty()) << dialogs->boxes.first().text.toStdString();
    EXPECT_GE(W(frame()).cmbList->count(), 3) << "the essay's pages are shown";
    EXPECT_TRUE(frame().Session().ViewOnly());

    for (QWidget* hidden : {static_cast<QWidget*>(W(frame()).pnlLeft), static_cast<QWidget*>(W(frame()).btn1),
                            static_cast<QWidget*>(frame().btnSave), static_cast<QWidget*>(W(frame()).Image7),
                            static_cast<QWidget*>(W(frame()).Image3), static_cast<QWidget*>(W(frame()).Image4)})
        EXPECT_FALSE(hidden->isVisible()) << hidden->objectName().toStdString();
    for (const TFlatSpeedButton* button : W(frame()).ToolButtons)
        EXPECT_FALSE(button->isEnabled()) << button->Tag;
    EXPECT_TRUE(W(frame()).ComboBox1->isReadOnly());
    EXPECT_FALSE(W(frame()).CheckBox1->isEnabled());
    EXPECT_TRUE(W(frame()).Memo1->isReadOnly());
    EXPECT_TRUE(W(frame()).Memo2->isReadOnly());
    EXPECT_TRUE(board().Locked());
    EXPECT_TRUE(W(frame()).Image2->isVisible()) << "the correction print stays";

    // A user tries anyway: drags on the board, double-clicks, presses Delete, types.
    QTest::mousePress(&board(), Qt::LeftButton, {}, {100, 100});
    QTest::mouseMove(&board(), {180, 150});
    QTest::mouseRelease(&board(), Qt::LeftButton, {}, {180, 150});
    EXPECT_EQ(board().Items().Count(), 0);
    EXPECT_FALSE(doubleClick({140, 120}, [](TfrmText&) {}));
    QTest::keyClick(&board(), Qt::Key_Delete);
    for (QPlainTextEdit* memo : {W(frame()).Memo2, W(frame()).Memo1}) {
        click(memo);
        EXPECT_FALSE(memo->testAttribute(Qt::WA_InputMethodEnabled)) << "no Hangul reaches it";
        QTest::keyClicks(memo, "abc");
        QTest::keyClick(memo, Qt::Key_Return);
    }
    EXPECT_EQ(W(frame()).Memo2->toPlainText(), QString());
    EXPECT_EQ(W(frame()).Memo1->toPlainText(), QString());
    showPage(1);
    EXPECT_FALSE(frame().Session().Modified());

    window->close();
    EXPECT_EQ(dialogs->texts(Kind::Question), QStringList());
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(dialogs->boxes.isEmpty());
}

const QString kSaved = QStringLiteral("첨삭이 저장되었습니다.");

TEST_F(TeacherRun, SavedCorrectionComesBackWholeInTheNextTeacherRunAndTheViewingRun)
{
    ASSERT_NO_FATAL_FAILURE(writeEssay());
    open(QStringLiteral("T001"));
    std::map<int, PageState> pages;
    ASSERT_NO_FATAL_FAILURE(markThreePages(pages));
    ASSERT_NO_FATAL_FAILURE(writeReviewAndScores(QStringLiteral("전체적으로 잘 썼습니다.\n문단을 나누어 보세요."),
                                                 {"45", "18", "9", "8", "7"}));
    EXPECT_EQ(W(frame()).ComboBox1->text(), QStringLiteral("87"));
    const int pageCount = W(frame()).cmbList->count();
    const int boardWidth = board().width();
    Correction expected;
    ASSERT_NO_FATAL_FAILURE(readCorrection(expected, pageCount));
    EXPECT_EQ(expected.review, QStringLiteral("전체적으로 잘 썼습니다.\r\n문단을 나누어 보세요.\r\n"));
    EXPECT_EQ(expected.points, (QStringList{"63", "45", "18", "24", "9", "8", "7"}));
    for (int page = 0; page < 3; ++page)
        EXPECT_EQ(expected.pages[page].marks, pages[page].marks) << "reading the pages again changed page " << page + 1;

    click(frame().btnSave);
    EXPECT_TRUE(dialogs->texts(Kind::Information).isEmpty());
    EXPECT_TRUE(frame().findChild<QLabel*>(QStringLiteral("lblNotice"))->text().startsWith(kSaved + u' '));
    EXPECT_EQ(dialogs->texts(Kind::Error), QStringList());
    EXPECT_FALSE(frame().Session().Modified());
    EXPECT_EQ(frame().Session().PageIndex(), 0) << "the save shows page 1";
    const std::optional<QByteArray> thumbnail = server.get(QStringLiteral("/thumbnail/DEMO0001"));
    ASSERT_TRUE(thumbnail);
    EXPECT_EQ(Jpeg::decode(*thumbnail).width(), boardWidth + 220 + 6) << "page 1 and its comment";
    const QByteArray coursePage = server.get(QStringLiteral("/")).value_or(QByteArray());
    EXPECT_TRUE(coursePage.contains("첨삭 완료</span></td><td class=\"score\">87점</td>")) << coursePage.toStdString();
    EXPECT_TRUE(coursePage.contains("src=\"/thumbnail/DEMO0001\"")) << "the course page shows the thumbnail";
    dialogs->boxes.clear();

    for (const char* mode : {"T001", "C001"}) {
        SCOPED_TRACE(mode);
        open(QString::fromLatin1(mode));
        ASSERT_TRUE(window->FTeacher);
        EXPECT_TRUE(dialogs->boxes.isEmpty()) << dialogs->boxes.first().text.toStdString();
        ASSERT_EQ(W(frame()).cmbList->count(), pageCount);
        Correction shown;
        ASSERT_NO_FATAL_FAILURE(readCorrection(shown, pageCount));
        expectSame(shown, expected);
    }
    EXPECT_TRUE(frame().Session().ViewOnly());
    window->close();
    EXPECT_EQ(dialogs->texts(Kind::Question), QStringList()) << "a viewing run asks nothing";

    // The corrected essay is the student's to read, no longer to rewrite.
    open(QStringLiteral("S001"));
    ASSERT_TRUE(window->FEditor);
    EXPECT_TRUE(window->FEditor->session().ReadOnly());
}

TEST_F(TeacherRun, SaveWhileTheServerIsDownLosesNothingAndSucceedsOnceItIsBack)
{
    ASSERT_NO_FATAL_FAILURE(writeEssay());
    open(QStringLiteral("T001"));
    for (int page = 0; page < 2; ++page) {
        ASSERT_NO_FATAL_FAILURE(showPage(page));
        place(dt16, markBox(0));
        place(dtNumber, markBox(1));
        TypeText(W(frame()).Memo2, QStringLiteral(" 고칠 곳"));
    }
    ASSERT_NO_FATAL_FAILURE(writeReviewAndScores(QStringLiteral("총평"), {"40", "10", "5", "5", "5"}));
    const int pageCount = W(frame()).cmbList->count();
    Correction expected;
    ASSERT_NO_FATAL_FAILURE(readCorrection(expected, pageCount));

    server.stop();
    click(frame().btnSave);
    EXPECT_EQ(dialogs->texts(Kind::Error).size(), 1);
    EXPECT_EQ(dialogs->texts(Kind::Information), QStringList());
    EXPECT_TRUE(frame().Session().Modified());
    Correction kept;
    ASSERT_NO_FATAL_FAILURE(readCorrection(kept, pageCount));
    expectSame(kept, expected);

    server.start();
    dialogs->boxes.clear();
    click(frame().btnSave);
    EXPECT_TRUE(dialogs->texts(Kind::Information).isEmpty());
    EXPECT_TRUE(frame().findChild<QLabel*>(QStringLiteral("lblNotice"))->text().startsWith(kSaved + u' '));
    EXPECT_EQ(dialogs->texts(Kind::Error), QStringList());
    EXPECT_FALSE(frame().Session().Modified());
    dialogs->boxes.clear();

    open(QStringLiteral("T001"));
    Correction stored;
    ASSERT_NO_FATAL_FAILURE(readCorrection(stored, pageCount));
    expectSame(stored, expected);
    EXPECT_TRUE(dialogs->boxes.isEmpty());
}

TEST_F(TeacherRun, HandwrittenCorrectionOfTwoScannedPagesRoundTripsAndPrintsOnePagePerPicture)
{
    ASSERT_NO_FATAL_FAILURE(writeEssay());
    open(QStringLiteral("T001"));
    // Corrected on paper: the answer print first.
    const PreparedReport answer = frame().PrepareAnswerPrint();
    ASSERT_GE(answer.pageCount(), 1);
    EXPECT_FALSE(answer.renderPage(0, 1.0).isNull());

    // The 자필첨삭 button stays hidden on the frame: its action is taken directly.
    frame().btnClick(W(frame()).btn2);
    ASSERT_EQ(frame().Session().ViewMode(), 2);
    EXPECT_EQ(W(frame()).cmbList->count(), 0);
    dialogs->pictures = {writeScan({1340, 1000}, QColor(200, 230, 200)), writeScan({671, 1001}, QColor(60, 60, 160))};
    click(W(frame()).Image3);
    click(W(frame()).Image3);
    EXPECT_EQ(dialogs->texts(Kind::OpenPicture).size(), 2);
    ASSERT_EQ(W(frame()).cmbList->count(), 2);
    EXPECT_EQ(W(frame()).cmbList->itemText(1), QStringLiteral("2쪽"));
    QList<QByteArray> scans;
    for (frame().Session().cdTeacher.first(); !frame().Session().cdTeacher.eof(); frame().Session().cdTeacher.next())
        scans << frame().Session().cdTeacher.asBytes(u"Image");
    ASSERT_EQ(scans.size(), 2);
    EXPECT_EQ(Jpeg::decode(scans[0]).size(), QSize(670, 500));
    EXPECT_EQ(Jpeg::decode(scans[1]).size(), QSize(670, 1000));

    click(frame().btnSave);
    EXPECT_TRUE(dialogs->texts(Kind::Information).isEmpty());
    EXPECT_TRUE(frame().findChild<QLabel*>(QStringLiteral("lblNotice"))->text().startsWith(kSaved + u' '));
    EXPECT_EQ(dialogs->texts(Kind::Error), QStringList());
    const std::optional<QByteArray> thumbnail = server.get(QStringLiteral("/thumbnail/DEMO0001"));
    ASSERT_TRUE(thumbnail);
    EXPECT_EQ(Jpeg::decode(*thumbnail).size(), QSize(670, 500)) << "the first page";
    dialogs->boxes.clear();

    for (const char* mode : {"T001", "C001"}) {
        SCOPED_TRACE(mode);
        open(QString::fromLatin1(mode));
        ASSERT_TRUE(window->FTeacher);
        EXPECT_TRUE(dialogs->boxes.isEmpty()) << dialogs->boxes.first().text.toStdString();
        EXPECT_EQ(frame().Session().ViewMode(), 2);
        ASSERT_EQ(W(frame()).cmbList->count(), 2);
        EXPECT_EQ(W(frame()).cmbList->itemText(1), QStringLiteral("2쪽"));
        QList<QByteArray> stored;
        for (frame().Session().cdTeacher.first(); !frame().Session().cdTeacher.eof();
             frame().Session().cdTeacher.next())
            stored << frame().Session().cdTeacher.asBytes(u"Image");
        EXPECT_EQ(stored, scans) << "the pictures byte for byte";
        EXPECT_EQ(W(frame()).Image->pixmap().size(), QSize(670, 500));

        const PreparedReport print = frame().PrepareCorrectionPrint();
        // A page for each picture, alone on it; the scoring table follows.
        ASSERT_EQ(print.pageCount(), 3);
        for (int page = 0; page < print.pageCount(); ++page) {
            QList<QImage> pictures;
            bool scoring = false;
            for (const ReportItem& item : print.pages[page].items) {
                if (const auto* picture = std::get_if<ReportPicture>(&item))
                    pictures << picture->image;
                else if (const auto* line = std::get_if<ReportTextLine>(&item))
                    scoring = scoring || line->text == QStringLiteral("채점기준");
            }
            if (page == 2) {
                EXPECT_TRUE(pictures.isEmpty());
                EXPECT_TRUE(scoring);
                continue;
            }
            ASSERT_EQ(pictures.size(), 1) << page;
            EXPECT_FALSE(scoring) << page;
            EXPECT_EQ(pictures[0].size(), Jpeg::decode(scans[page]).size()) << page;
            const QImage rendered = print.renderPage(page, 1.0);
            EXPECT_FALSE(rendered.isNull());
            EXPECT_NE(rendered.pixel(rendered.width() / 2, rendered.height() / 4), qRgb(255, 255, 255))
                << "the picture is on page " << page + 1;
        }
    }
}

}
