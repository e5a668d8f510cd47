#include "FrameFixture.h"
#include "SheetText.h"
#include "core/AppError.h"
#include "core/Endpoint.h"
#include "ui/PictureButton.h"
#include "document/EssayRecord.h"
#include "net/Transport.h"
#include "net/UploadForm.h"
#include "support/CourseServerProcess.h"
#include "writing/EssayMeasures.h"
#include "writing/ManuscriptView.h"
#include "writing/TSorEdit.h"

#include <QBuffer>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

CellPos current(const TfmeEditor& e)
{
    const QModelIndex i = e.grid->currentIndex();
    return {i.row(), i.column()};
}

// The editor lies inside the drawn box of the caret cell.
QPoint editorCellOffset(const TfmeEditor& e)
{
    const QRect cell = e.grid->visualRect(e.grid->currentIndex());
    return e.edt->pos() - e.grid->viewport()->mapTo(&e, cell.topLeft());
}

void keyRelease(QWidget* w)
{
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(w, &release);
}

QByteArray manuscriptPacket(const std::function<void(ManuscriptGrid&)>& fill, int lines = 21)
{
    ManuscriptGrid grid(lines);
    fill(grid);
    DataSet record(EssayRecord::fields());
    EssayRecord::writeManuscript(record, "st01", grid);
    return EssayRecord::toPacket(record);
}

void showPacket(TfmeEditor& e, const QByteArray& packet)
{
    QBuffer stream;
    stream.setData(packet);
    stream.open(QIODevice::ReadOnly);
    e.LoadEssay(stream);
    e.ShowEssay();
}

}

TEST(WritingFrame, SetUpChoosesPaperAndButtonsFromTheLaunchFields)
{
    const struct {
        const char* paperFixed;
        const char* paper;
        int kind;
        bool btn1;
        bool btn2;
    } cases[] = {
        {"1", "1", 2, false, true}, {"1", "0", 1, true, false}, {"0", "1", 2, true, true},
        {"0", "0", 1, true, true},  {"0", "7", 2, true, true},
    };
    for (const auto& c : cases) {
        FrameFixture f(FrameFixture::fields("0", "", "1", c.paperFixed, c.paper));
        TfmeEditor& e = *f.editor;
        const std::string name = std::string("fixed ") + c.paperFixed + ", paper " + c.paper;
        EXPECT_EQ(e.Inx(), c.kind) << name;
        EXPECT_EQ(e.btn1->isVisible(), c.btn1) << name;
        EXPECT_EQ(e.btn2->isVisible(), c.btn2) << name;
        EXPECT_EQ(e.grid->isVisible(), c.kind == 1) << name;
        EXPECT_EQ(e.pnlGrid->isVisible(), c.kind == 1) << name;
        EXPECT_EQ(e.mem->isVisible(), c.kind == 2) << name;
        EXPECT_EQ(e.edt->isVisible(), c.kind == 1) << name;
        EXPECT_EQ(f.title.text(), QStringLiteral("우리 동네 도서관"));
        EXPECT_TRUE(f.title.isEnabled());
        EXPECT_EQ(e.lblCount->text(), QStringLiteral("0 자"));
        EXPECT_EQ(e.lblTime->text(), QStringLiteral("0"));
        EXPECT_FALSE(e.btnAG->isVisible());
        EXPECT_EQ(e.gridModel->lineCount(), 21) << "an essay shown has at least 21 lines";
    }
}

TEST(WritingFrame, DiscussionButtonOnlyForAnAddress)
{
    const struct {
        QStringList extra;
        bool visible;
    } cases[] = {{{}, false}, {{"   "}, false}, {{"http://127.0.0.1/discussion/K"}, true}};
    for (const auto& c : cases) {
        FrameFixture f(FrameFixture::fields() + c.extra);
        EXPECT_EQ(f.editor->btnAG->isVisible(), c.visible) << c.extra.size();
        EXPECT_EQ(f.editor->DiscussionAddress, c.extra.value(0));
    }
}

TEST(WritingFrame, ReadOnlyRunOffersOnlyPrintAndDiscussion)
{
    FrameFixture f(FrameFixture::fields("0", "", "0") + QStringList{"http://127.0.0.1/d"});
    TfmeEditor& e = *f.editor;
    EXPECT_TRUE(e.ReadOnly);
    EXPECT_FALSE(e.edt->isVisible());
    EXPECT_FALSE(e.edt->isEnabled());
    EXPECT_TRUE(e.mem->isReadOnly());
    for (PictureButton* b : {e.btn1, e.btn2, e.btnSave})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    for (PictureButton* b : {e.Image5, e.btnAG})
        EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_FALSE(f.title.isEnabled());

    keyRelease(e.mem);
    EXPECT_FALSE(e.Timer.isActive()) << "no writing time in a read-only run";
    EXPECT_EQ(e.lblCount->text(), QStringLiteral("0 자"));

    e.BtnClick(e.btn1);
    EXPECT_FALSE(e.edt->isVisible()) << "no editor on the grid, whatever the paper";
}

TEST(WritingFrame, DownloadsTheEarlierEssayOnlyWhenAskedWithAnAddress)
{
    CourseServerProcess server;
    server.start();
    SetServerUrl(server.url());
    UploadForm form;
    form.AddTextPart("flag", "S002");
    form.AddTextPart("student_no", CourseServerProcess::kStudentNo);
    form.AddTextPart("password", CourseServerProcess::kStudentPassword);
    form.AddTextPart("lecturekey", CourseServerProcess::kLectureKey);
    form.AddTextPart("submit", "N");
    form.AddTextPart("title", "제목");
    form.AddDataPart("file", "multipart/form-data", "Editor", manuscriptPacket([](ManuscriptGrid& g) {
                         SheetText::setLine(g, 0, QStringLiteral("__우리 동네"));
                         SheetText::setLine(g, 25, QStringLiteral("끝."));
                     }, 30));
    ASSERT_TRUE(PostForm(form).startsWith("200"));
    const QString stored = server.url() + "/essay/" + CourseServerProcess::kLectureKey;

    {
        FrameFixture f(FrameFixture::fields("1", stored));
        EXPECT_EQ(SheetText::dump(*f.editor->gridModel), (QStringList{"0: __우리_동네", "25: 끝."}));
        EXPECT_EQ(f.editor->gridModel->lineCount(), 30);
        EXPECT_EQ(current(*f.editor), (CellPos{25, 1}));
        EXPECT_EQ(f.editor->lblCount->text(), QStringLiteral("500 자"));
        EXPECT_TRUE(f.editor->cdEditor.isEmpty()) << "between saves the paper alone holds the essay";
    }
    for (const QStringList& fields : {FrameFixture::fields("0", stored), FrameFixture::fields("1", "")}) {
        FrameFixture f(fields);
        EXPECT_TRUE(SheetText::dump(*f.editor->gridModel).isEmpty()) << fields[3].toStdString();
    }

    TfmeEditor e(nullptr);
    QLineEdit title;
    EXPECT_THROW(e.SetupStudentRun(LaunchFields(FrameFixture::fields("1", server.url() + "/essay/NONE")), &title),
                 AppError);
    EXPECT_TRUE(e.ReadOnly) << "nothing can be saved over the essay that could not be read";
    EXPECT_FALSE(title.isEnabled());
}

TEST(WritingFrame, ShowEssayPutsTheCaretAtTheStartOfTheLastWrittenLine)
{
    const struct {
        const char* name;
        std::function<void(ManuscriptGrid&)> fill;
        CellPos caret;
        int lines;
    } cases[] = {
        {"last cell in column 20 of line 7", [](ManuscriptGrid& g) { g.setCell(7, 20, "가"); }, {8, 1}, 21},
        {"a period in the margin of line 7", [](ManuscriptGrid& g) {
             g.setCell(7, 20, "가");
             g.setCell(7, 21, ".");
         },
         {7, 1}, 21},
        {"text in the middle of line 3", [](ManuscriptGrid& g) { SheetText::setLine(g, 3, "__나다"); }, {3, 1}, 21},
        {"nothing written", [](ManuscriptGrid&) {}, {0, 1}, 21},
        {"column 20 of the last line: the next line is made", [](ManuscriptGrid& g) { g.setCell(20, 20, "가"); },
         {21, 1}, 22},
    };
    for (const auto& c : cases) {
        FrameFixture f;
        TfmeEditor& e = *f.editor;
        QWidget other;
        other.show();
        other.setFocus();
        showPacket(e, manuscriptPacket(c.fill));
        QApplication::processEvents();
        EXPECT_EQ(current(e), c.caret) << c.name;
        EXPECT_EQ(e.gridModel->lineCount(), c.lines) << c.name;
        EXPECT_EQ(editorCellOffset(e), QPoint(5, 6)) << c.name;
        EXPECT_FALSE(e.edt->hasFocus()) << c.name;
        EXPECT_EQ(e.edt->text(), e.gridModel->cell(c.caret.line, c.caret.column).trimmed()) << c.name;
        EXPECT_EQ(e.edt->selectedText(), e.edt->text()) << c.name;
    }
}

TEST(WritingFrame, ShowEssayPutsEachKindOnItsPaper)
{
    FrameFixture f;
    TfmeEditor& e = *f.editor;
    DataSet record(EssayRecord::fields());
    EssayRecord::writeBlankPaper(record, "st01", QStringLiteral("가나\r\n다\r\n"));
    showPacket(e, EssayRecord::toPacket(record));
    EXPECT_EQ(e.Inx(), 2);
    EXPECT_EQ(e.mem->toPlainText(), QStringLiteral("가나\n다\n"));
    EXPECT_EQ(current(e), (CellPos{0, 0}));
    EXPECT_FALSE(e.edt->isVisible());
    EXPECT_TRUE(e.cdEditor.isEmpty());

    record.emptyDataSet();
    record.append();
    record.setInteger(u"NType", 3);
    record.setBytes(u"LImage", QByteArray("\xFF\xD8 page"));
    record.post();
    showPacket(e, EssayRecord::toPacket(record));
    EXPECT_EQ(e.Inx(), 3);
    EXPECT_FALSE(e.mem->isVisible());
    EXPECT_FALSE(e.grid->isVisible());
    EXPECT_TRUE(e.Panel7->isVisible()) << "scanned pages show a white surface";
    EXPECT_EQ(e.cdEditor.recordCount(), 1) << "scanned pages stay in the record";
    EXPECT_EQ(e.CountCharacters(), 0);

    record.emptyDataSet();
    record.append();
    record.setInteger(u"NType", 5);
    record.post();
    QBuffer stream;
    stream.setData(EssayRecord::toPacket(record));
    stream.open(QIODevice::ReadOnly);
    EXPECT_THROW(e.LoadEssay(stream), AppError);
    EXPECT_TRUE(e.cdEditor.isEmpty());
}

TEST(WritingFrame, CountsCharactersAsTheCourseRuleDoes)
{
    FrameFixture f;
    TfmeEditor& e = *f.editor;
    e.gridModel->setCell(0, 1, "가");
    e.gridModel->setCell(0, 2, "나");
    e.gridModel->setCell(1, 1, "다");
    e.gridModel->setCell(3, 21, ".");
    EXPECT_EQ(e.CountCharacters(), 21) << "blank cells between written ones count, the margin does not";
    e.gridModel->setCell(0, 2, "ab");
    EXPECT_EQ(e.CountCharacters(), 22) << "every half-width character counts";
    e.gridModel->setCell(0, 1, " ");
    EXPECT_EQ(e.CountCharacters(), 21) << "blanks before the first written cell do not count";

    e.BtnClick(e.btn2);
    e.mem->setPlainText(QStringLiteral("가나\n다"));
    EXPECT_EQ(e.CountCharacters(), 5) << "a line break counts as CR LF";
    keyRelease(e.mem);
    EXPECT_EQ(e.lblCount->text(), QStringLiteral("5 자"));

    const struct {
        int count;
        const char* text;
    } texts[] = {{0, "0 자"}, {999, "999 자"}, {1234, "1,234 자"}, {1523, "1,523 자"}, {1234567, "1,234,567 자"}};
    for (const auto& t : texts)
        EXPECT_EQ(EssayMeasures::CountText(t.count), QString::fromUtf8(t.text));
}

TEST(WritingFrame, WritingTimeStartsWithTheFirstKeyRelease)
{
    FrameFixture f;
    TfmeEditor& e = *f.editor;
    EXPECT_FALSE(e.Timer.isActive());
    keyRelease(e.edt);
    ASSERT_TRUE(e.Timer.isActive());
    EXPECT_EQ(e.Timer.interval(), 1000);
    const QDateTime started = e.StartTime;
    e.Timer.stop();
    e.Timer.start(60000);
    keyRelease(e.edt);
    EXPECT_EQ(e.StartTime, started) << "later key releases neither restart the time";
    EXPECT_EQ(e.Timer.remainingTime() > 50000, true) << "nor hold back the next tick";

    e.StartTime = QDateTime::currentDateTime().addSecs(-65);
    e.TimerTimer();
    EXPECT_EQ(e.lblTime->text(), QStringLiteral("00:01:05"));
    EXPECT_TRUE(e.TimerTicked);
    e.ShowEssay();
    EXPECT_FALSE(e.TimerTicked);

    const struct {
        qint64 seconds;
        const char* text;
    } cases[] = {{0, "00:00:00"}, {3599, "00:59:59"}, {3600 * 23 + 61, "23:01:01"}, {86400 + 5, "00:00:05"},
                 {-30, "00:00:00"}};
    for (const auto& c : cases)
        EXPECT_EQ(EssayMeasures::ElapsedText(c.seconds), QString::fromLatin1(c.text)) << c.seconds;
}

TEST(WritingFrame, PaperSwitchKeepsTheHiddenPapersText)
{
    FrameFixture f;
    TfmeEditor& e = *f.editor;
    e.gridModel->setCell(2, 3, "가");
    e.BtnClick(e.btn2);
    EXPECT_EQ(e.Inx(), 2);
    EXPECT_FALSE(e.edt->isVisible());
    e.mem->setPlainText("memo");
    e.BtnClick(e.btn1);
    EXPECT_EQ(e.Inx(), 1);
    EXPECT_TRUE(e.edt->isVisible());
    EXPECT_EQ(e.gridModel->cell(2, 3), QStringLiteral("가"));
    EXPECT_EQ(e.mem->toPlainText(), QStringLiteral("memo"));
    EXPECT_EQ(e.grid->columnWidth(0), 40);

    e.BtnClick(e.lblTime);
    EXPECT_EQ(e.Inx(), 1) << "other controls are no paper switch";
}

TEST(WritingFrame, EditorFollowsTheCaretAndKeepsItInTheFirst14Lines)
{
    FrameFixture f;
    TfmeEditor& e = *f.editor;
    e.gridModel->setLineCount(60);
    e.gridModel->setCell(30, 2, "가");
    e.grid->setCurrentIndex(e.gridModel->index(30, 2));
    EXPECT_EQ(e.grid->rowAt(0), 17);
    EXPECT_EQ(editorCellOffset(e), QPoint(5, 6));
    EXPECT_EQ(e.edt->text(), QStringLiteral("가"));
    EXPECT_EQ(e.edt->selectedText(), QStringLiteral("가"));
    EXPECT_TRUE(e.edt->hasFocus());

    // The wheel over the editor scrolls the cells under it; the caret stays.
    const QPoint before = e.edt->pos();
    QWheelEvent down(QPointF(5, 5), e.edt->mapToGlobal(QPointF(5, 5)), {}, {0, -120}, Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(e.edt, &down);
    EXPECT_EQ(e.grid->rowAt(0), 18);
    EXPECT_EQ(current(e), (CellPos{30, 2}));
    EXPECT_EQ(e.edt->pos(), before);

    // The wheel over the grid scrolls and moves the caret a line; the editor follows.
    const QPoint inside = e.grid->visualRect(e.gridModel->index(25, 5)).center();
    QWheelEvent up(inside, e.grid->viewport()->mapToGlobal(inside), {}, {0, 120}, Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(e.grid->viewport(), &up);
    EXPECT_EQ(current(e), (CellPos{29, 2}));
    EXPECT_EQ(e.grid->rowAt(0), 17);
    EXPECT_EQ(editorCellOffset(e), QPoint(5, 6));
}

TEST(WritingFrame, AClickMovesTheGridsCellButNotTheEditor)
{
    FrameFixture f;
    TfmeEditor& e = *f.editor;
    e.gridModel->setCell(4, 6, "나");
    const QPoint editorAt = e.edt->pos();
    QTest::mouseClick(e.grid->viewport(), Qt::LeftButton, {}, e.grid->visualRect(e.gridModel->index(4, 6)).center());
    EXPECT_EQ(current(e), (CellPos{4, 6}));
    EXPECT_EQ(e.edt->pos(), editorAt);

    QTest::keyClick(e.grid, Qt::Key_Right);
    EXPECT_EQ(current(e), (CellPos{4, 7})) << "the next arrow key moves the cell with the editor";
    EXPECT_EQ(editorCellOffset(e), QPoint(5, 6));
    EXPECT_TRUE(e.edt->hasFocus());

    QTest::mouseClick(e.grid->viewport(), Qt::LeftButton, {}, e.grid->visualRect(e.gridModel->index(4, 6)).center());
    QTest::mouseClick(e.grid->viewport(), Qt::LeftButton, {}, e.grid->visualRect(e.gridModel->index(2, 0)).center());
    EXPECT_EQ(current(e), (CellPos{4, 6})) << "the line counter is never the current cell";
    e.edt->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(current(e), (CellPos{4, 7})) << "clicking the editor again types where it is";
}
