#include "Essays.h"

#include "board/SorBoard.h"
#include "core/AppError.h"
#include "correction/ScoreSheet.h"
#include "correction/ScoreSheetView.h"
#include "correction/TFlatSpeedButton.h"
#include "correction/TfmeTeacher.h"
#include "correction/TfrmText.h"
#include "correction/TickCount.h"
#include "document/CorrectionRecord.h"
#include "jpeg/Jpeg.h"
#include "support/BoardTextDialog.h"
#include "support/QStringPrinter.h"
#include "support/RecordingDialogs.h"
#include "support/TeacherWidgets.h"
#include "ui/PictureButton.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

using W = TeacherWidgets;

using Kind = RecordingDialogs::Kind;

const QString kCommentFull = QStringLiteral("더이상 추가 하실 수 없습니다.\r\n55라인까지만 입력가능합니다.");

// A teacher run without the server: the records are put in place and loaded as the
// set-up loads them.
class CorrectionEditing : public ::testing::Test {
protected:
    void Open(DataSet essay, const DataSet& correction = DataSet(CorrectionRecord::fields()))
    {
        frame = std::make_unique<TfmeTeacher>(nullptr);
        frame->resize(1000, 690);
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
        frame->Session().ReadTeacherFields(
            LaunchFields({"T001", "T1", "pw", "0", "KEY", "S1", "", "", "1", "제목", "77", "", "Y"}));
        frame->LoadCorrection(std::move(essay), correction);
        frame->pGridTopLeftChanged();
        frame->Session().SetModified(false);
    }

    TFlatSpeedButton* ToolButton(TDrawTool tool) const
    {
        for (TFlatSpeedButton* button : W(*frame).ToolButtons)
            if (button->Tag == tool)
                return button;
        return nullptr;
    }

    // Picks the tool on the palette and drags it out on the board.
    TBoardItem* Place(TDrawTool tool, QPoint from, QPoint to)
    {
        QTest::mouseClick(ToolButton(tool), Qt::LeftButton);
        QTest::mousePress(W(*frame).Board, Qt::LeftButton, {}, from);
        QTest::mouseMove(W(*frame).Board, to);
        QTest::mouseRelease(W(*frame).Board, Qt::LeftButton, {}, to);
        return W(*frame).Board->Items().Items(W(*frame).Board->Items().Count() - 1);
    }

    // Double-clicks the board at a point; `inDialog` runs with the text dialog open, if
    // one opens. Returns whether one did.
    bool DoubleClick(QPoint at, const std::function<void(TfrmText&)>& inDialog)
    {
        return DoubleClickForText(*W(*frame).Board, at, inDialog);
    }

    QString WriteJpeg(QSize size)
    {
        const QString path = dir.filePath(QStringLiteral("scan%1.jpg").arg(++files));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Jpeg::encode(Essays::Picture(size, QColor(30, 120, 60))));
        return path;
    }

    QStringList PageList() const
    {
        QStringList entries;
        for (int i = 0; i < W(*frame).cmbList->count(); ++i)
            entries.append(W(*frame).cmbList->itemText(i));
        return entries;
    }

    ScopedRecordingDialogs dialogs;
    std::unique_ptr<TfmeTeacher> frame;
    QTemporaryDir dir;
    int files = 0;
};

DataSet SummaryOnly(const QStringList& points, bool deduction)
{
    DataSet work(CorrectionRecord::fields());
    CorrectionRecord::storePage(work, CorrectionRecord::pageKey(0), {}, {});
    DataSet record(CorrectionRecord::fields());
    CorrectionRecord::writeSummary(record, work, {QStringLiteral("총평"), points, deduction});
    return record;
}

TEST_F(CorrectionEditing, NumberItemsBecomeLinesOfThePageComment)
{
    Open(Essays::Manuscript(45));
    const qint32 before = TickCount();
    // With a mark on the page the board numbers from 1.
    TBoardItem* mark = Place(dt16, {400, 400}, {450, 430});
    EXPECT_GE(mark->Key(), before);
    EXPECT_EQ(W(*frame).Board->DrawTool(), dtSelect);
    EXPECT_TRUE(W(*frame).Memo2->toPlainText().isEmpty());
    frame->Session().SetModified(false);

    TBoardItem* first = Place(dtNumber, {100, 100}, {130, 120});
    EXPECT_EQ(first->Strings(), "(1)");
    EXPECT_EQ(W(*frame).Memo2->toPlainText(), "(1)");
    EXPECT_EQ(W(*frame).Memo2->textCursor().position(), 2) << "between the number and \")\"";
    EXPECT_EQ(QApplication::focusWidget(), W(*frame).Memo2);
    EXPECT_EQ(W(*frame).Board->DrawTool(), dtSelect);
    EXPECT_TRUE(W(*frame).btnCursor->isChecked());
    EXPECT_TRUE(frame->Session().Modified());
    EXPECT_GE(first->Key(), before);
    EXPECT_LE(first->Key(), TickCount());

    QTest::keyClicks(W(*frame).Memo2, " good");
    Place(dtNumber, {200, 200}, {230, 220});
    EXPECT_EQ(W(*frame).Memo2->toPlainText(), "(1 good)\n(2)");
    EXPECT_EQ(QApplication::focusWidget(), W(*frame).Memo2);

    // A comment ending with a line break takes the number on its empty last line.
    W(*frame).Memo2->setPlainText(QStringLiteral("첫 줄\n"));
    Place(dtNumber, {300, 300}, {330, 320});
    EXPECT_EQ(W(*frame).Memo2->toPlainText(), "첫 줄\n(3)\n");
}

TEST_F(CorrectionEditing, DoubleClickEditsTextAndPointAndFitsTheItem)
{
    Open(Essays::Manuscript(45));
    TBoardItem* item = Place(dtText, {100, 100}, {140, 120});
    frame->Session().SetModified(false);
    QFont measured;
    const bool opened = DoubleClick({110, 110}, [&](TfrmText& dialog) {
        dialog.memText->selectAll();
        QTest::keyClicks(dialog.memText, "ab");
        QTest::keyClick(dialog.memText, Qt::Key_Return);
        QTest::keyClicks(dialog.memText, "abcd");
        dialog.cmbPoint->setCurrentIndex(2);
        measured = W(*frame).Board->Canvas().Font;
        QTest::mouseClick(dialog.btnOK, Qt::LeftButton);
    });
    ASSERT_TRUE(opened);
    EXPECT_EQ(item->Strings(), "ab\r\nabcd\r\n");
    EXPECT_EQ(item->ReportPoint(), "-3");
    const QFontMetrics metrics(measured);
    EXPECT_EQ(item->Left(), 100);
    EXPECT_EQ(item->Top(), 100);
    EXPECT_EQ(item->Right(), 100 + metrics.horizontalAdvance("abcd") + 4);
    EXPECT_EQ(item->Bottom(), 100 + 2 * metrics.height() + 4);
    EXPECT_TRUE(frame->Session().Modified());

    // The dialog shows what the item holds.
    QString shown;
    QString point;
    DoubleClick({110, 110}, [&](TfrmText& dialog) {
        shown = dialog.memText->toPlainText();
        point = dialog.Point();
    });
    EXPECT_EQ(shown, "ab\nabcd\n");
    EXPECT_EQ(point, "-3");
}

TEST_F(CorrectionEditing, CancelOrAnEmptyTextLeavesTheItemsSize)
{
    Open(Essays::Manuscript(45));
    TBoardItem* item = Place(dtText, {100, 100}, {160, 130});
    item->SetStrings(QStringLiteral("메모"));
    const QRect box(QPoint(item->Left(), item->Top()), QPoint(item->Right(), item->Bottom()));

    ASSERT_TRUE(DoubleClick({110, 110}, [&](TfrmText& dialog) {
        frame->Session().SetModified(false);  // the click that selected the item counts as a move
        QTest::keyClicks(dialog.memText, "changed");
        dialog.SetPoint(QStringLiteral("-9"));
        QTest::mouseClick(dialog.btnCancel, Qt::LeftButton);
    }));
    EXPECT_EQ(item->Strings(), "메모");
    EXPECT_EQ(item->ReportPoint(), "");
    EXPECT_EQ(QRect(QPoint(item->Left(), item->Top()), QPoint(item->Right(), item->Bottom())), box);
    EXPECT_FALSE(frame->Session().Modified());

    ASSERT_TRUE(DoubleClick({110, 110}, [&](TfrmText& dialog) {
        frame->Session().SetModified(false);
        dialog.memText->clear();
        dialog.SetPoint(QStringLiteral("-1"));
        QTest::mouseClick(dialog.btnOK, Qt::LeftButton);
    }));
    EXPECT_EQ(item->ReportPoint(), "-1");
    EXPECT_EQ(QRect(QPoint(item->Left(), item->Top()), QPoint(item->Right(), item->Bottom())), box);
    EXPECT_FALSE(frame->Session().Modified());
}

TEST_F(CorrectionEditing, DeleteRemovesTheSelectedItemPagesScroll)
{
    Open(Essays::Manuscript(45));
    Place(dt16, {100, 100}, {150, 130});
    Place(dt11, {300, 300}, {350, 330});
    frame->Session().SetModified(false);
    QTest::mouseClick(W(*frame).Board, Qt::LeftButton, {}, {120, 110});
    ASSERT_EQ(W(*frame).Board->Selected(), 0);
    QTest::keyClick(W(*frame).Board, Qt::Key_Delete);
    ASSERT_EQ(W(*frame).Board->Items().Count(), 1);
    EXPECT_EQ(W(*frame).Board->Items().Items(0)->DrawTool(), dt11);
    EXPECT_TRUE(frame->Session().Modified());

    QScrollBar* bar = W(*frame).ScrollBox1->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    QTest::keyClick(W(*frame).Board, Qt::Key_PageDown);
    EXPECT_EQ(bar->value(), qMin(bar->pageStep(), bar->maximum()));
    QTest::keyClick(W(*frame).Board, Qt::Key_PageUp);
    EXPECT_EQ(bar->value(), 0);
}

TEST_F(CorrectionEditing, CtrlZAndCtrlYOnTheBoardUndoAndRedoItsItems)
{
    Open(Essays::Manuscript(45));
    TSorBoard* board = W(*frame).Board;
    Place(dt16, {100, 100}, {150, 130});
    Place(dtNumber, {300, 300}, {330, 320});
    ASSERT_EQ(W(*frame).Memo2->toPlainText(), "(1)");
    // The mark dragged to another place with the selection tool.
    QTest::mousePress(board, Qt::LeftButton, {}, {120, 110});
    QTest::mouseMove(board, {220, 210});
    QTest::mouseRelease(board, Qt::LeftButton, {}, {220, 210});
    ASSERT_EQ(board->Items().Items(0)->Left(), 200);
    frame->Session().SetModified(false);

    board->setFocus();
    QTest::keyClick(board, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(board->Items().Items(0)->Left(), 100) << "the move undone";
    EXPECT_TRUE(frame->Session().Modified());
    QTest::keyClick(board, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(board->Items().Count(), 1) << "the number undone";
    EXPECT_TRUE(W(*frame).Memo2->toPlainText().isEmpty()) << "with its line of the comment";
    QTest::keyClick(board, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(board->Items().Count(), 2);
    EXPECT_EQ(W(*frame).Memo2->toPlainText(), "(1)");
    // The marks drawn in red on the board's picture, in the box the first mark took.
    const auto redInFirstBox = [board] {
        int red = 0;
        for (int y = 95; y <= 135; ++y)
            for (int x = 95; x <= 155; ++x)
                red += board->Buffer().pixel(x, y) == qRgb(255, 0, 0);
        return red;
    };
    QTest::keyClick(board, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_GT(redInFirstBox(), 20) << "the mark is back where it was placed";
    QTest::keyClick(board, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(board->Items().Count(), 0) << "the mark placed undone";
    EXPECT_EQ(redInFirstBox(), 0) << "and the board redrawn without it";

    // Another page and back: what the page stored has no mark, and its history stays.
    frame->cmbListChange(1);
    EXPECT_TRUE(CorrectionRecord::loadPage(frame->Session().cdTemp, CorrectionRecord::pageKey(1)).marks.isEmpty());
    frame->cmbListChange(0);
    board->setFocus();
    QTest::keyClick(board, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(board->Items().Count(), 1);
    EXPECT_EQ(board->Items().Items(0)->DrawTool(), dt16);

    frame->SetViewOnly();
    QTest::keyClick(board, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(board->Items().Count(), 1) << "a viewing run has no undo";
}

TEST_F(CorrectionEditing, ViewingModeOpensNoDialogAndDeletesNothing)
{
    Open(Essays::Manuscript(45));
    Place(dtText, {100, 100}, {160, 130});
    frame->SetViewOnly();
    frame->Session().SetModified(false);
    QTest::mouseClick(W(*frame).Board, Qt::LeftButton, {}, {110, 110});
    EXPECT_FALSE(DoubleClick({110, 110}, [](TfrmText&) {}));
    QTest::keyClick(W(*frame).Board, Qt::Key_Delete);
    EXPECT_EQ(W(*frame).Board->Items().Count(), 1);
    EXPECT_FALSE(frame->Session().Modified());

    QScrollBar* bar = W(*frame).ScrollBox1->verticalScrollBar();
    W(*frame).Board->setFocus();
    QTest::keyClick(W(*frame).Board, Qt::Key_PageDown);
    EXPECT_GT(bar->value(), 0);
}

TEST_F(CorrectionEditing, WheelScrollsOneLinePressKeepsThePosition)
{
    Open(Essays::Manuscript(45));
    QScrollBar* bar = W(*frame).ScrollBox1->verticalScrollBar();
    const auto wheel = [&](int delta) {
        const QPoint at(200, 200);
        QWheelEvent event(at, W(*frame).Board->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, {}, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(W(*frame).Board, &event);
    };
    wheel(-120);
    EXPECT_EQ(bar->value(), bar->singleStep());
    wheel(-240);
    EXPECT_EQ(bar->value(), 3 * bar->singleStep());
    wheel(60);
    wheel(60);
    EXPECT_EQ(bar->value(), 2 * bar->singleStep()) << "two half steps make one";

    bar->setValue(100);
    QTest::mouseClick(W(*frame).Board, Qt::LeftButton, {}, {300, 400});
    EXPECT_EQ(QApplication::focusWidget(), W(*frame).Board);
    EXPECT_EQ(bar->value(), 100);
}

TEST_F(CorrectionEditing, PageCommentStopsAfterFiftyFiveLines)
{
    Open(Essays::Manuscript(45));
    const auto lines = [](int count) {
        QStringList text;
        for (int i = 1; i <= count; ++i)
            text.append(QStringLiteral("줄 %1").arg(i));
        return text.join(u'\n');
    };

    W(*frame).Memo2->setPlainText(lines(55));
    W(*frame).Memo2->setFocus();
    W(*frame).Memo2->moveCursor(QTextCursor::End);
    QTest::keyClick(W(*frame).Memo2, Qt::Key_Return);
    QTest::keyClick(W(*frame).Memo2, 'a');
    EXPECT_EQ(W(*frame).Memo2->toPlainText(), lines(55) + "\na") << "55 lines still take keys";
    EXPECT_TRUE(frame->Session().Modified());
    EXPECT_TRUE(dialogs->boxes.isEmpty());

    // 56 lines: every key but Backspace is refused.
    QTest::keyClick(W(*frame).Memo2, 'b');
    QTest::keyClick(W(*frame).Memo2, Qt::Key_Return);
    QInputMethodEvent hangul;
    hangul.setCommitString(QStringLiteral("가"));
    QApplication::sendEvent(W(*frame).Memo2, &hangul);
    EXPECT_EQ(W(*frame).Memo2->toPlainText(), lines(55) + "\na");
    EXPECT_EQ(dialogs->texts(Kind::Information), QStringList(3, kCommentFull));

    QTest::keyClick(W(*frame).Memo2, Qt::Key_Backspace);
    EXPECT_EQ(W(*frame).Memo2->toPlainText(), lines(55) + "\n");

    // One long line wrapped across the box counts as the lines it shows.
    W(*frame).Memo2->setPlainText(QString(56 * 40, u'가'));
    W(*frame).Memo2->moveCursor(QTextCursor::End);
    dialogs->boxes.clear();
    QTest::keyClick(W(*frame).Memo2, 'x');
    EXPECT_EQ(dialogs->texts(Kind::Information), QStringList{kCommentFull});

    // The review has no limit.
    W(*frame).Memo1->setPlainText(lines(80));
    W(*frame).Memo1->setFocus();
    W(*frame).Memo1->moveCursor(QTextCursor::End);
    QTest::keyClicks(W(*frame).Memo1, "ok");
    EXPECT_TRUE(W(*frame).Memo1->toPlainText().endsWith("ok"));
}

TEST_F(CorrectionEditing, HandwrittenPagesAreAddedScaledAndDeleted)
{
    Open(Essays::Manuscript(45), Essays::HandwrittenCorrection(
                                     {Essays::Picture({300, 200}, Qt::white), Essays::Picture({301, 200}, Qt::white)}));
    ASSERT_EQ(frame->Session().ViewMode(), 2);
    EXPECT_TRUE(W(*frame).Image3->isVisibleTo(frame.get()));
    EXPECT_EQ(PageList(), (QStringList{"1쪽", "2쪽"}));

    QTest::mouseClick(W(*frame).Image3, Qt::LeftButton);  // cancelled
    EXPECT_EQ(frame->Session().cdTeacher.recordCount(), 2);
    ASSERT_EQ(dialogs->boxes.size(), 1);
    EXPECT_EQ(dialogs->boxes[0].kind, Kind::OpenPicture);
    EXPECT_EQ(dialogs->boxes[0].text, TfmeTeacher::kPictureFilter);
    EXPECT_FALSE(frame->Session().Modified());

    dialogs->pictures = {WriteJpeg({1340, 1000})};
    QTest::mouseClick(W(*frame).Image3, Qt::LeftButton);
    ASSERT_EQ(frame->Session().cdTeacher.recordCount(), 3);
    frame->Session().cdTeacher.moveTo(2);
    EXPECT_EQ(frame->Session().cdTeacher.asInteger(u"NType"), CorrectionRecord::kImageRow);
    EXPECT_EQ(frame->Session().cdTeacher.asString(u"ImageType"), ".jpg");
    EXPECT_EQ(Jpeg::decode(frame->Session().cdTeacher.asBytes(u"Image")).size(), QSize(670, 500));
    EXPECT_EQ(PageList(), (QStringList{"1쪽", "2쪽", "3쪽"}));
    EXPECT_EQ(W(*frame).cmbList->currentIndex(), 2);
    EXPECT_EQ(W(*frame).Image->pixmap().size(), QSize(670, 500));
    EXPECT_TRUE(frame->Session().Modified());

    // A picture that cannot be read: the reader's error, no page.
    const QString broken = dir.filePath("broken.jpg");
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\xFF\xD8\xFF garbage");
    file.close();
    dialogs->boxes.clear();
    dialogs->pictures = {broken};
    QTest::mouseClick(W(*frame).Image3, Qt::LeftButton);
    EXPECT_EQ(frame->Session().cdTeacher.recordCount(), 3);
    ASSERT_EQ(dialogs->texts(Kind::Error).size(), 1);
    EXPECT_TRUE(dialogs->texts(Kind::Error)[0].contains("JPEG"));
    EXPECT_EQ(PageList().size(), 3);

    // Deleting the page shown lists the rest without a space and shows the first.
    W(*frame).cmbList->setCurrentIndex(0);
    frame->Session().SetModified(false);
    QTest::mouseClick(W(*frame).Image4, Qt::LeftButton);
    EXPECT_EQ(frame->Session().cdTeacher.recordCount(), 2);
    EXPECT_EQ(PageList(), (QStringList{"1쪽", "2쪽"}));
    EXPECT_EQ(W(*frame).cmbList->currentIndex(), 0);
    EXPECT_EQ(W(*frame).Image->pixmap().size(), QSize(301, 200)) << "the former second page";
    EXPECT_TRUE(frame->Session().Modified()) << "a deletion is a change to save";

    dialogs->pictures = {WriteJpeg({671, 1001})};
    QTest::mouseClick(W(*frame).Image3, Qt::LeftButton);
    EXPECT_EQ(PageList(), (QStringList{"1쪽", "2쪽", "3쪽"}));
    frame->Session().cdTeacher.moveTo(2);
    EXPECT_EQ(Jpeg::decode(frame->Session().cdTeacher.asBytes(u"Image")).size(), QSize(670, 1000));

    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(W(*frame).Image4, Qt::LeftButton);
    EXPECT_EQ(frame->Session().cdTeacher.recordCount(), 0);
    EXPECT_TRUE(PageList().isEmpty());
    EXPECT_TRUE(W(*frame).Image->pixmap().isNull());
}

TEST_F(CorrectionEditing, ScoringSheetInTheBottomPanel)
{
    Open(Essays::Manuscript(45));
    EXPECT_TRUE(W(*frame).Memo1->isVisibleTo(frame.get()));
    EXPECT_FALSE(W(*frame).pGrid->isVisibleTo(frame.get()));
    const QImage reviewTab = W(*frame).Image8->pixmap().toImage();

    QTest::mouseClick(W(*frame).Image6, Qt::LeftButton);
    EXPECT_FALSE(W(*frame).Memo1->isVisibleTo(frame.get()));
    EXPECT_TRUE(W(*frame).pGrid->isVisibleTo(frame.get()));
    EXPECT_NE(W(*frame).Image8->pixmap().toImage(), reviewTab) << "the review tab is drawn inactive";

    W(*frame).pGrid->setFocus();
    W(*frame).pGrid->setCurrentIndex(frame->Session().Scores().index(2, 2));
    QLineEdit* editor = nullptr;
    for (QLineEdit* e : W(*frame).pGrid->viewport()->findChildren<QLineEdit*>())
        if (e->isVisible())
            editor = e;
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "45");
    EXPECT_EQ(W(*frame).ComboBox1->text(), "45");
    EXPECT_TRUE(frame->Session().Modified()) << "typed points are work to save";
    EXPECT_NO_THROW(frame->Session().ValidateScores());

    EXPECT_TRUE(dialogs->boxes.isEmpty());
    QTest::keyClick(editor, '5');
    EXPECT_EQ(frame->Session().Scores().text(2, 2), "455");
    EXPECT_EQ(dialogs->texts(Kind::Information), QStringList{"초점: 0 부터 50 이하의 값만 들어갈수 있습니다."})
        << "the frame shows the sheet's message";
    try {
        frame->Session().ValidateScores();
        FAIL() << "a save would send 455 of 50";
    } catch (const AppError& error) {
        EXPECT_EQ(error.message(), "초점: 0 부터 50 이하의 값만 들어갈수 있습니다.");
    }
    frame->Session().ReadTeacherFields(
        LaunchFields({"T001", "T1", "pw", "0", "KEY", "S1", "", "", "1", "제목", "77", "", "N"}));
    EXPECT_NO_THROW(frame->Session().ValidateScores()) << "a sheet not offered is not checked";

    QTest::mouseClick(W(*frame).Image8, Qt::LeftButton);
    EXPECT_TRUE(W(*frame).Memo1->isVisibleTo(frame.get()));
    EXPECT_FALSE(W(*frame).pGrid->isVisibleTo(frame.get()));
    EXPECT_FALSE(W(*frame).CheckBox1->isVisibleTo(frame.get()));
    EXPECT_EQ(W(*frame).Image8->pixmap().toImage(), reviewTab);
}

TEST_F(CorrectionEditing, StoredDeductionRecomputesTheTotalOnLoading)
{
    const QStringList points{"50", "35", "15", "20", "5", "10", "5"};
    Open(Essays::Manuscript(30), SummaryOnly(points, true));
    EXPECT_TRUE(W(*frame).CheckBox1->isChecked());
    EXPECT_EQ(W(*frame).ComboBox1->text(), "50");
    EXPECT_FALSE(frame->Session().Modified());

    Open(Essays::Manuscript(30), SummaryOnly(points, false));
    EXPECT_FALSE(W(*frame).CheckBox1->isChecked());
    EXPECT_EQ(W(*frame).ComboBox1->text(), "77") << "the launch value stays";
    EXPECT_EQ(frame->Session().Scores().points(), points);
}

}
