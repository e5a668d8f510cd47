#include "FrameFixture.h"
#include "SheetText.h"
#include "core/AppError.h"
#include "core/Endpoint.h"
#include "document/EssayRecord.h"
#include "net/Transport.h"
#include "net/UploadForm.h"
#include "support/CourseServerProcess.h"
#include "support/RecordingDialogs.h"

#include <QAccessible>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The editor lies inside the drawn box of the caret cell.
QPoint editorCellOffset(const FrameFixture& f)
{
    const QRect cell = f.grid()->visualRect(f.grid()->currentIndex());
    return f.edt()->pos() - f.grid()->viewport()->mapTo(f.editor.get(), cell.topLeft());
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

void show(FrameFixture& f, const QByteArray& packet)
{
    f.session().LoadEssay(packet);
    f.session().ShowEssay();
    QApplication::processEvents();
}

}

TEST(WritingFrame, SetUpShowsTheRunsPaperAndButtons)
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
        const std::string name = std::string("fixed ") + c.paperFixed + ", paper " + c.paper;
        EXPECT_EQ(f.editor->Inx(), c.kind) << name;
        EXPECT_EQ(f.button("btn1")->isVisible(), c.btn1) << name;
        EXPECT_EQ(f.button("btn2")->isVisible(), c.btn2) << name;
        EXPECT_EQ(f.grid()->isVisible(), c.kind == 1) << name;
        EXPECT_EQ(f.widget<QWidget>("pnlGrid")->isVisible(), c.kind == 1) << name;
        EXPECT_EQ(f.mem()->isVisible(), c.kind == 2) << name;
        EXPECT_EQ(f.edt()->isVisible(), c.kind == 1) << name;
        EXPECT_EQ(f.title.text(), QStringLiteral("우리 동네 도서관"));
        EXPECT_TRUE(f.title.isEnabled());
        EXPECT_EQ(f.label("lblCount")->text(), QStringLiteral("0 자"));
        EXPECT_EQ(f.label("lblTime")->text(), QStringLiteral("0"));
        EXPECT_FALSE(f.button("btnAG")->isVisible());
        EXPECT_EQ(f.cells().lineCount(), 21) << "an essay shown has at least 21 lines";
    }

    for (const QString& address : {QStringLiteral("   "), QStringLiteral("http://127.0.0.1/discussion/K")}) {
        FrameFixture f(FrameFixture::fields() << address);
        EXPECT_EQ(f.button("btnAG")->isVisible(), address.trimmed().size() > 0) << address.toStdString();
    }
}

TEST(WritingFrame, ReadOnlyRunOffersOnlyPrintAndDiscussion)
{
    FrameFixture f(FrameFixture::fields("0", "", "0") + QStringList{"http://127.0.0.1/d"});
    EXPECT_TRUE(f.session().ReadOnly());
    EXPECT_FALSE(f.edt()->isVisible());
    EXPECT_FALSE(f.edt()->isEnabled());
    EXPECT_TRUE(f.mem()->isReadOnly());
    for (const char* name : {"btn1", "btn2", "btnSave"})
        EXPECT_FALSE(f.button(name)->isEnabled()) << name;
    for (const char* name : {"Image5", "btnAG"})
        EXPECT_TRUE(f.button(name)->isEnabled()) << name;
    EXPECT_FALSE(f.title.isEnabled());

    keyRelease(f.mem());
    EXPECT_FALSE(f.session().timer().isActive()) << "no writing time in a read-only run";
    EXPECT_EQ(f.label("lblCount")->text(), QStringLiteral("0 자"));

    f.editor->BtnClick(f.button("btn1"));
    EXPECT_FALSE(f.edt()->isVisible()) << "no editor on the grid, whatever the paper";
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
    form.AddDataPart("file", "multipart/form-data", "Editor",
                     manuscriptPacket(
                         [](ManuscriptGrid& g) {
                             SheetText::setLine(g, 0, QStringLiteral("__우리 동네"));
                             SheetText::setLine(g, 25, QStringLiteral("끝."));
                         },
                         30));
    ASSERT_TRUE(PostForm(form).startsWith("200"));
    const QString stored =
        CourseServerProcess::asDemoStudent(server.url() + "/essay/" + CourseServerProcess::kLectureKey);

    {
        FrameFixture f(FrameFixture::fields("1", stored));
        EXPECT_EQ(SheetText::dump(f.cells()), (QStringList{"0: __우리_동네", "25: 끝."}));
        EXPECT_EQ(f.cells().lineCount(), 30);
        EXPECT_EQ(f.caret(), (CellPos{25, 3})) << "typing goes on after the essay";
        EXPECT_EQ(f.label("lblCount")->text(), QStringLiteral("500 자"));
        EXPECT_TRUE(f.session().cdEditor().isEmpty()) << "between saves the paper alone holds the essay";
    }
    for (const QStringList& fields : {FrameFixture::fields("0", stored), FrameFixture::fields("1", "")}) {
        FrameFixture f(fields);
        EXPECT_TRUE(SheetText::dump(f.cells()).isEmpty()) << fields[3].toStdString();
    }

    TfmeEditor e(nullptr);
    QLineEdit title;
    EXPECT_THROW(e.SetupStudentRun(LaunchFields(FrameFixture::fields(
                                       "1", CourseServerProcess::asDemoStudent(server.url() + "/essay/NONE"))),
                                   &title),
                 AppError);
    EXPECT_TRUE(e.session().ReadOnly()) << "nothing can be saved over the essay that could not be read";
    EXPECT_FALSE(e.findChild<QWidget*>("btnSave")->isEnabled());
    EXPECT_FALSE(title.isEnabled());
}

TEST(WritingFrame, AShownEssayPutsTheEditorOverTheCaretWithoutTakingTheFocus)
{
    const struct {
        const char* name;
        std::function<void(ManuscriptGrid&)> fill;
        CellPos caret;
    } cases[] = {
        {"text in the middle of line 3", [](ManuscriptGrid& g) { SheetText::setLine(g, 3, "가나다"); }, {3, 4}},
        {"column 20 of the last line", [](ManuscriptGrid& g) { g.setCell(20, 20, "가"); }, {21, 1}},
    };
    for (const auto& c : cases) {
        FrameFixture f;
        QWidget other;
        other.show();
        other.setFocus();
        f.session().LoadEssay(manuscriptPacket(c.fill));
        f.session().ShowEssay();
        EXPECT_EQ(f.edt()->selectedText(), f.edt()->text()) << c.name << ": what is typed next replaces it";
        QApplication::processEvents();
        EXPECT_EQ(f.caret(), c.caret) << c.name;
        EXPECT_EQ(editorCellOffset(f), QPoint(5, 6)) << c.name;
        EXPECT_FALSE(f.edt()->hasFocus()) << c.name;
        EXPECT_EQ(f.edt()->text(), f.cells().cell(c.caret.line, c.caret.column).trimmed()) << c.name;
        EXPECT_EQ(f.edt()->palette().color(QPalette::Base), QColor(255, 255, 128))
            << c.name << ": the caret cell is marked";
    }

    FrameFixture f;
    DataSet record(EssayRecord::fields());
    EssayRecord::writeBlankPaper(record, "st01", QStringLiteral("가나\r\n다\r\n"));
    show(f, EssayRecord::toPacket(record));
    EXPECT_EQ(f.mem()->toPlainText(), QStringLiteral("가나\n다\n"));
    EXPECT_TRUE(f.mem()->isVisible());
    EXPECT_FALSE(f.edt()->isVisible());
    EXPECT_EQ(f.caret(), (CellPos{0, 0}));

    record.emptyDataSet();
    record.append();
    record.setInteger(u"NType", 3);
    record.setBytes(u"LImage", QByteArray("\xFF\xD8 page"));
    record.post();
    show(f, EssayRecord::toPacket(record));
    EXPECT_FALSE(f.mem()->isVisible());
    EXPECT_FALSE(f.grid()->isVisible());
    EXPECT_TRUE(f.widget<QWidget>("Panel7")->isVisible()) << "scanned pages show a white surface";
}

TEST(WritingFrame, KeyReleasesShowTheCountAndStartTheWritingTime)
{
    FrameFixture f;
    f.cells().setCell(0, 1, "가");
    f.cells().setCell(1, 1, "나");
    keyRelease(f.edt());
    EXPECT_EQ(f.label("lblCount")->text(), QStringLiteral("21 자"));
    ASSERT_TRUE(f.session().timer().isActive());
    f.session().TimerTimer(f.session().StartTime().addSecs(65));
    EXPECT_EQ(f.label("lblTime")->text(), QStringLiteral("00:01:05"));

    QTest::mouseClick(f.button("btn2"), Qt::LeftButton);
    f.mem()->setFocus();
    QTest::keyClicks(f.mem(), "ab");
    QTest::keyClick(f.mem(), Qt::Key_Return);
    QTest::keyClicks(f.mem(), "c");
    EXPECT_EQ(f.session().memo(), QStringLiteral("ab\nc"));
    EXPECT_EQ(f.label("lblCount")->text(), QStringLiteral("5 자")) << "a line break counts as CR LF";
}

TEST(WritingFrame, MemoTypingRefusesWhatCodePage949CannotHold)
{
    ScopedRecordingDialogs dialogs;
    FrameFixture f(FrameFixture::fields("0", "", "1", "0", "1"));
    f.mem()->setFocus();
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("😀"));
    QApplication::sendEvent(f.mem(), &press);
    QInputMethodEvent input;
    input.setCommitString(QStringLiteral("가😀나"));
    QApplication::sendEvent(f.mem(), &input);
    EXPECT_EQ(f.mem()->toPlainText(), QStringLiteral("가나"));
    EXPECT_EQ(f.session().memo(), QStringLiteral("가나"));
    EXPECT_TRUE(dialogs->boxes.isEmpty()) << "typing refuses with a beep, not a box";
}

TEST(WritingFrame, PaperButtonsKeepTheHiddenPapersText)
{
    FrameFixture f;
    f.cells().setCell(2, 3, "가");
    QTest::mouseClick(f.button("btn2"), Qt::LeftButton);
    EXPECT_EQ(f.editor->Inx(), 2);
    EXPECT_FALSE(f.edt()->isVisible());
    f.mem()->setPlainText("memo");
    QTest::mouseClick(f.button("btn1"), Qt::LeftButton);
    EXPECT_EQ(f.editor->Inx(), 1);
    EXPECT_TRUE(f.edt()->isVisible());
    EXPECT_EQ(f.cells().cell(2, 3), QStringLiteral("가"));
    EXPECT_EQ(f.mem()->toPlainText(), QStringLiteral("memo"));
    EXPECT_EQ(f.grid()->columnWidth(0), 40);

    f.editor->BtnClick(f.label("lblTime"));
    EXPECT_EQ(f.editor->Inx(), 1) << "other controls are no paper switch";
}

// The paper shown is the checked button, on screen and to a screen reader; a second click on
// it leaves it checked.
TEST(WritingFrame, PaperButtonsShowWhichPaperIsCurrent)
{
    FrameFixture f;
    const auto checked = [&](const char* name) {
        QAccessibleInterface* button = QAccessible::queryAccessibleInterface(f.button(name));
        EXPECT_TRUE(button->state().checkable) << name;
        EXPECT_EQ(button->state().checked, f.button(name)->isChecked()) << name;
        return button->state().checked;
    };
    EXPECT_TRUE(checked("btn1"));
    EXPECT_FALSE(checked("btn2"));
    const QImage unchecked = f.button("btn2")->grab().toImage();
    QTest::mouseClick(f.button("btn2"), Qt::LeftButton);
    EXPECT_FALSE(checked("btn1"));
    EXPECT_TRUE(checked("btn2"));
    EXPECT_NE(f.button("btn2")->grab().toImage(), unchecked) << "drawn pressed in";
    QTest::mouseClick(f.button("btn2"), Qt::LeftButton);
    EXPECT_TRUE(checked("btn2"));
    EXPECT_EQ(f.editor->Inx(), 2);
}

TEST(WritingFrame, EditorFollowsTheCaretAndKeepsItInTheFirst14Lines)
{
    FrameFixture f;
    ManuscriptView* grid = f.grid();
    f.cells().setLineCount(60);
    f.cells().setCell(30, 2, "가");
    grid->setCurrentIndex(f.cells().index(30, 2));
    EXPECT_EQ(grid->rowAt(0), 17);
    EXPECT_EQ(editorCellOffset(f), QPoint(5, 6));
    EXPECT_EQ(f.edt()->text(), QStringLiteral("가"));
    EXPECT_EQ(f.edt()->selectedText(), QStringLiteral("가"));
    EXPECT_TRUE(f.edt()->hasFocus());

    // The wheel over the editor scrolls the cells under it; the caret stays.
    const QPoint before = f.edt()->pos();
    QWheelEvent down(QPointF(5, 5), f.edt()->mapToGlobal(QPointF(5, 5)), {}, {0, -120}, Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(f.edt(), &down);
    EXPECT_EQ(grid->rowAt(0), 18);
    EXPECT_EQ(f.caret(), (CellPos{30, 2}));
    EXPECT_EQ(f.edt()->pos(), before);

    // The wheel over the grid scrolls and moves the caret a line; the editor follows.
    const QPoint inside = grid->visualRect(f.cells().index(25, 5)).center();
    QWheelEvent up(inside, grid->viewport()->mapToGlobal(inside), {}, {0, 120}, Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid->viewport(), &up);
    EXPECT_EQ(f.caret(), (CellPos{29, 2}));
    EXPECT_EQ(grid->rowAt(0), 17);
    EXPECT_EQ(editorCellOffset(f), QPoint(5, 6));
}

// What is typed after a click lands in the clicked cell.
TEST(WritingFrame, AClickPutsTheCaretAndTheEditorOnTheCell)
{
    FrameFixture f;
    ManuscriptView* grid = f.grid();
    f.cells().setCell(4, 6, "나");
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(f.cells().index(4, 6)).center());
    EXPECT_EQ(f.caret(), (CellPos{4, 6}));
    EXPECT_EQ(editorCellOffset(f), QPoint(5, 6));
    EXPECT_TRUE(f.edt()->hasFocus());
    EXPECT_EQ(f.edt()->text(), QStringLiteral("나"));

    QTest::keyClick(grid, Qt::Key_Right);
    EXPECT_EQ(f.caret(), (CellPos{4, 7})) << "the next arrow key moves the cell with the editor";
    EXPECT_EQ(editorCellOffset(f), QPoint(5, 6));

    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(f.cells().index(2, 0)).center());
    EXPECT_EQ(f.caret(), (CellPos{2, 1})) << "a click on the line counter goes to column 1";
    EXPECT_EQ(editorCellOffset(f), QPoint(5, 6));
}
