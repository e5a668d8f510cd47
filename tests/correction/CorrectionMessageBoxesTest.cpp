#include "Essays.h"

#include "core/Endpoint.h"
#include "correction/ScoreSheet.h"
#include "correction/TfmeTeacher.h"
#include "correction/TfrmText.h"
#include "document/CorrectionRecord.h"
#include "jpeg/Jpeg.h"
#include "support/ModalBoxes.h"
#include "support/TeacherWidgets.h"
#include "ui/DialogService.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

// Every message a key, an edit or a click can raise in the correction frame, shown in the
// program's real modal boxes and answered by a timer as a person would: afterwards the
// frame is alive and holds what it should.

namespace {

using W = TeacherWidgets;

const QString kFocusRange = QStringLiteral("초점: 0 부터 50 이하의 값만 들어갈수 있습니다.");

// The real boxes; the picture open dialog answers with a set path instead of opening.
class RealBoxes : public MessageBoxDialogService {
public:
    QString picture;
    QString openPicture(const QString&) override { return picture; }
};

class CorrectionMessageBoxes : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto service = std::make_unique<RealBoxes>();
        service_ = service.get();
        previous_ = DialogService::replace(std::move(service));
        running_ = ServerUrl();
        // Nothing listens there: whatever is sent fails, so nothing can be sent unnoticed.
        SetServerUrl(QStringLiteral("http://127.0.0.1:9"));
    }

    void TearDown() override
    {
        frame.reset();
        SetServerUrl(running_);
        DialogService::replace(std::move(previous_));
    }

    // A teacher run on records put in place, the scoring sheet offered.
    void Open(DataSet essay, DataSet correction = DataSet(CorrectionRecord::fields()))
    {
        frame = std::make_unique<TfmeTeacher>(nullptr);
        frame->resize(1000, 690);
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
        frame->Session().ReadTeacherFields(
            LaunchFields({"T001", "T1", "pw", "0", "KEY", "S1", "essay", "", "1", "제목", "77", "", "Y"}));
        frame->LoadCorrection(std::move(essay), std::move(correction));
        frame->pGridTopLeftChanged();
        frame->Session().SetModified(false);
    }

    // The frame is still there and still answers.
    void ExpectAlive()
    {
        QApplication::processEvents();
        ASSERT_FALSE(watched.isNull());
        EXPECT_TRUE(watched->isVisible());
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "no box left open";
    }

    void Watch() { watched = frame.get(); }

    RealBoxes* service_ = nullptr;
    std::unique_ptr<TfmeTeacher> frame;
    QPointer<TfmeTeacher> watched;

private:
    std::unique_ptr<DialogService> previous_;
    QString running_;
};

// The crash a teacher met: 평가 tab, the score cell of " 1. 초점", a wrong value typed into
// the cell's editor, Tab, OK. The editor goes away under the box; the frame must not.
TEST_F(CorrectionMessageBoxes, WrongScoreTypedIntoTheCellThenTab)
{
    const struct {
        const char* keys;
        QString subtotal;  // row 1 and the total: no sum while the cell is wrong
        QString total;
    } cases[] = {
        {"99", "", "?"},
        {"x", "", "?"},
    };
    for (const auto& c : cases) {
        Open(Essays::Manuscript(30));
        Watch();
        ModalBoxes boxes;
        const W w(*frame);
        QTest::mouseClick(w.Image6, Qt::LeftButton);
        ASSERT_EQ(w.pGrid->model()->index(2, 0).data().toString(), " 1. 초점");
        const QModelIndex cell = w.pGrid->model()->index(2, ScoreSheet::kScoreColumn);
        QTest::mouseClick(w.pGrid->viewport(), Qt::LeftButton, {}, w.pGrid->visualRect(cell).center());
        QPointer<QLineEdit> editor;
        for (QLineEdit* open : w.pGrid->viewport()->findChildren<QLineEdit*>())
            if (open->isVisible())
                editor = open;
        ASSERT_TRUE(editor) << c.keys;
        QTest::keyClicks(editor, c.keys);
        QTest::keyClick(editor, Qt::Key_Tab);

        ASSERT_TRUE(boxes.waitFor(1)) << c.keys;
        ExpectAlive();
        EXPECT_EQ(boxes.texts, QStringList{kFocusRange}) << c.keys;
        const ScoreSheet& sheet = frame->Session().Scores();
        EXPECT_EQ(sheet.text(2, ScoreSheet::kScoreColumn), QString::fromLatin1(c.keys));
        EXPECT_EQ(sheet.text(1, ScoreSheet::kScoreColumn), c.subtotal) << c.keys;
        EXPECT_EQ(w.ComboBox1->text(), c.total) << c.keys;
        EXPECT_EQ(w.ComboBox1->accessibleDescription(), kFocusRange) << c.keys;
        EXPECT_TRUE(frame->Session().Modified());

        // The save refuses with that row's message and sends nothing.
        QTest::mouseClick(w.btnSave, Qt::LeftButton);
        ASSERT_TRUE(boxes.waitFor(2)) << c.keys;
        ExpectAlive();
        EXPECT_EQ(boxes.texts.value(1), kFocusRange) << c.keys;
        EXPECT_TRUE(frame->Session().Modified());
        EXPECT_EQ(frame->Session().ReportPoint(), "77") << "nothing was sent";
    }
}

// Checking the deduction box under 20 points: the message, and the box unchecked again.
TEST_F(CorrectionMessageBoxes, DeductionBelowZero)
{
    Open(Essays::Manuscript(30));
    Watch();
    ModalBoxes boxes;
    const W w(*frame);
    QTest::mouseClick(w.Image6, Qt::LeftButton);
    frame->Session().Scores().setEditText(2, ScoreSheet::kScoreColumn, QStringLiteral("10"));
    w.pGrid->scrollToBottom();
    frame->pGridTopLeftChanged();
    ASSERT_TRUE(w.CheckBox1->isVisible());
    // On the box itself: the check box has no text beside it to click.
    QTest::mouseClick(w.CheckBox1, Qt::LeftButton, {}, {6, w.CheckBox1->height() / 2});
    ASSERT_TRUE(boxes.waitFor(1));
    ExpectAlive();
    EXPECT_EQ(boxes.texts, QStringList{"총점이 0점 미만입니다."});
    EXPECT_FALSE(w.CheckBox1->isChecked());
    EXPECT_FALSE(frame->Session().Scores().deduction());
    EXPECT_EQ(w.ComboBox1->text(), "0") << "as the sheet's own rule leaves it";
}

// A run without an essay: the set-up says so, a typed total outside 0 to 100 is refused,
// and both prints say there is nothing to print.
TEST_F(CorrectionMessageBoxes, RunWithoutAnEssay)
{
    frame = std::make_unique<TfmeTeacher>(nullptr);
    frame->resize(1000, 690);
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    Watch();
    ModalBoxes boxes;
    QLineEdit title;
    frame->SetupTeacherRun(LaunchFields({"T001", "T1", "pw", "0", "KEY", "S1", "", "", "1", "제목", "77", "", "N"}),
                           &title);
    ASSERT_TRUE(boxes.waitFor(1));
    EXPECT_EQ(boxes.texts, QStringList{"답안지가 없습니다."});

    const W w(*frame);
    ASSERT_FALSE(w.ComboBox1->isReadOnly());
    QLineEdit* total = w.ComboBox1;
    total->selectAll();
    QTest::keyClicks(total, "150");
    ASSERT_TRUE(boxes.waitFor(2));
    ExpectAlive();
    EXPECT_EQ(boxes.texts.value(1), "0 부터 100 점까지만 입력하실 수 있습니다.");
    EXPECT_EQ(w.ComboBox1->text(), "100");

    QTest::mouseClick(w.Image7, Qt::LeftButton);
    QTest::mouseClick(w.Image2, Qt::LeftButton);
    ASSERT_TRUE(boxes.waitFor(4));
    ExpectAlive();
    EXPECT_EQ(boxes.texts.mid(2), QStringList(2, "답안지가 없어 출력할 수 없습니다."));
}

// The page comment past 55 lines: keys and composed Hangul are refused with the message.
TEST_F(CorrectionMessageBoxes, PageCommentPastFiftyFiveLines)
{
    Open(Essays::Manuscript(30));
    Watch();
    ModalBoxes boxes;
    const W w(*frame);
    QStringList lines;
    for (int i = 1; i <= 56; ++i)
        lines.append(QStringLiteral("줄 %1").arg(i));
    const QString full = lines.join(u'\n');
    w.Memo2->setPlainText(full);
    w.Memo2->setFocus();
    w.Memo2->moveCursor(QTextCursor::End);
    QTest::keyClick(w.Memo2, 'a');
    QInputMethodEvent hangul;
    hangul.setCommitString(QStringLiteral("가"));
    QApplication::sendEvent(w.Memo2, &hangul);
    ASSERT_TRUE(boxes.waitFor(2));
    ExpectAlive();
    EXPECT_EQ(boxes.texts, QStringList(2, "더이상 추가 하실 수 없습니다.\r\n55라인까지만 입력가능합니다."));
    EXPECT_EQ(w.Memo2->toPlainText(), full);
}

// Texts the record cannot keep: the message over the text dialog, which stays open; the
// item keeps what it had.
TEST_F(CorrectionMessageBoxes, TextDialogLimits)
{
    const struct {
        QString strings;
        QString point;
        QString message;
    } cases[] = {
        {QString(127, u'가'), "", "글은 255바이트(한글 127자)까지만 저장할 수 있습니다. 지금 256바이트입니다."},
        {"ok", "123456789012345678901", "점수는 20바이트까지만 넣을 수 있습니다."},
        {QStringLiteral("웃음 😀"), "", QStringLiteral("😀")},
    };
    for (const auto& c : cases) {
        Open(Essays::Manuscript(30));
        Watch();
        ModalBoxes boxes;
        const W w(*frame);
        QTest::mouseClick(w.ToolButton(dtText), Qt::LeftButton);
        QTest::mousePress(w.Board, Qt::LeftButton, {}, {100, 100});
        QTest::mouseMove(w.Board, {160, 130});
        QTest::mouseRelease(w.Board, Qt::LeftButton, {}, {160, 130});
        TBoardItem* item = w.Board->Items().Items(0);
        const QString before = item->Strings();
        QTest::mouseClick(w.Board, Qt::LeftButton, {}, {110, 110});  // the double click's first press
        frame->Session().SetModified(false);                         // that press counts as a move

        QPointer<TfrmText> dialog;
        QTimer person;
        person.setInterval(20);
        QObject::connect(&person, &QTimer::timeout, [&] {
            auto* open = qobject_cast<TfrmText*>(QApplication::activeModalWidget());
            if (!open)
                return;
            if (!dialog) {
                dialog = open;
                dialog->SetStrings(c.strings);
                dialog->SetPoint(c.point);
                dialog->btnOK->click();
            } else if (!boxes.texts.isEmpty()) {
                EXPECT_TRUE(dialog->isVisible()) << "the dialog stays for the text to be mended";
                dialog->btnCancel->click();
            }
        });
        person.start();
        QTest::mouseDClick(w.Board, Qt::LeftButton, {}, {110, 110});
        person.stop();

        ExpectAlive();
        ASSERT_EQ(boxes.texts.size(), 1);
        EXPECT_TRUE(boxes.texts[0].contains(c.message)) << boxes.texts[0].toStdString();
        EXPECT_EQ(item->Strings(), before);
        EXPECT_EQ(item->ReportPoint(), QString());
        EXPECT_FALSE(frame->Session().Modified());
    }
}

// A picture that is not one, added as a handwritten page: the reader's error, no page.
TEST_F(CorrectionMessageBoxes, PictureThatCannotBeReadAddsNoPage)
{
    QTemporaryDir dir;
    const struct {
        const char* file;
        QByteArray bytes;
        const char* says;
    } cases[] = {
        {"scan.bmp", "not a picture at all", "그림을 읽을 수 없습니다"},
        {"scan.jpg", "\xFF\xD8\xFF garbage", "JPEG"},
    };
    for (const auto& c : cases) {
        Open(Essays::Manuscript(30), Essays::HandwrittenCorrection({Essays::Picture({300, 200}, Qt::white),
                                                                    Essays::Picture({300, 200}, Qt::white)}));
        Watch();
        ModalBoxes boxes;
        const W w(*frame);
        QFile file(dir.filePath(QString::fromLatin1(c.file)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.bytes);
        file.close();
        service_->picture = file.fileName();
        QTest::mouseClick(w.Image3, Qt::LeftButton);
        ASSERT_TRUE(boxes.waitFor(1)) << c.file;
        ExpectAlive();
        EXPECT_TRUE(boxes.texts[0].contains(QString::fromUtf8(c.says))) << boxes.texts[0].toStdString();
        EXPECT_EQ(frame->Session().cdTeacher.recordCount(), 2) << c.file;
        EXPECT_EQ(w.cmbList->count(), 2) << c.file;
        EXPECT_FALSE(frame->Session().Modified()) << c.file;
    }
}

// A scanned essay page that is not a picture, reached by a key on the page list: the
// error, and the board keeps the page it had.
TEST_F(CorrectionMessageBoxes, BrokenScannedPageByKey)
{
    Open(Essays::Scanned({Essays::Picture({400, 300}, Qt::blue), QImage()}));
    Watch();
    ModalBoxes boxes;
    const W w(*frame);
    QTest::keyClick(w.cmbList, Qt::Key_Down);
    ASSERT_TRUE(boxes.waitFor(1));
    ExpectAlive();
    EXPECT_EQ(frame->Session().PageIndex(), 0);
    EXPECT_EQ(w.Board->Background().size(), QSize(400, 320));
}

// The server out of reach: the transport's error; the work stays unsaved and whole.
TEST_F(CorrectionMessageBoxes, SaveWithTheServerOutOfReach)
{
    Open(Essays::Manuscript(30));
    Watch();
    ModalBoxes boxes;
    const W w(*frame);
    w.Memo1->setPlainText(QStringLiteral("보내지 못한 총평"));
    frame->Session().SetModified(true);
    const int working = frame->Session().cdTemp.recordCount();
    QTest::mouseClick(w.btnSave, Qt::LeftButton);
    ASSERT_TRUE(boxes.waitFor(1));
    ExpectAlive();
    EXPECT_FALSE(boxes.texts[0].isEmpty());
    EXPECT_TRUE(frame->Session().Modified());
    EXPECT_EQ(frame->Session().Review(), QStringLiteral("보내지 못한 총평\r\n"));
    EXPECT_GE(frame->Session().cdTemp.recordCount(), working);
    EXPECT_EQ(frame->Session().cdTeacher.recordCount(), 0);
}

}
