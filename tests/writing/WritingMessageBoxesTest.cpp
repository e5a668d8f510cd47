// Every message a key, an edit or a click can raise in the writing frame, shown by the
// program's own message service as real modal boxes, answered by a timer.
#include "FrameFixture.h"
#include "SheetText.h"
#include "core/AppError.h"
#include "core/Endpoint.h"
#include "document/CorrectionRecord.h"
#include "document/EssayRecord.h"
#include "jpeg/Jpeg.h"
#include "net/Transport.h"
#include "net/UploadForm.h"
#include "report/TfrmPreview.h"
#include "support/CourseServerProcess.h"
#include "support/ModalBoxes.h"
#include "ui/DialogService.h"

#include <QBuffer>
#include <QClipboard>
#include <QPointer>
#include <QTcpServer>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Demo = CourseServerProcess;

QStringList demoFields(const QString& paper = "0")
{
    return {"S001", Demo::kStudentNo, Demo::kStudentPassword, "0", "", "", "1", "우리 동네 도서관", "0", paper};
}

// The demo student's launch with another password.
QStringList withPassword(const QString& password)
{
    QStringList fields = demoFields();
    fields[2] = password;
    return fields;
}

QString closedPortUrl()
{
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost, 0);
    const quint16 port = closed.serverPort();
    closed.close();
    return QStringLiteral("http://127.0.0.1:%1").arg(port);
}

// The teacher's save of a correction for the lecture: from then on the essay is closed.
void correct(const QString& lectureKey)
{
    QImage thumbnail(8, 8, QImage::Format_RGB32);
    thumbnail.fill(Qt::white);
    UploadForm form;
    form.AddTextPart("flag", "T002");
    form.AddTextPart("teacher_no", Demo::kTeacherNo);
    form.AddTextPart("password", Demo::kTeacherPassword);
    form.AddTextPart("lecturekey", lectureKey);
    form.AddTextPart("student_no", Demo::kStudentNo);
    form.AddTextPart("submit", "N");
    form.AddTextPart("report_point", "85");
    DataSet correction(CorrectionRecord::fields());
    form.AddDataPart("file", "multipart/form-data", "Teacher", CorrectionRecord::toPacket(correction));
    form.AddDataPart("thumbnail", "image/jpeg", "thumbnail.jpg", Jpeg::encode(thumbnail));
    const QString reply = PostForm(form);
    if (!reply.startsWith("200"))
        throw AppError(reply);
}

QList<TfrmPreview*> openPreviews()
{
    QList<TfrmPreview*> previews;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* preview = qobject_cast<TfrmPreview*>(w); preview && preview->isVisible())
            previews << preview;
    return previews;
}

void typeInto(QWidget* w, const QString& text)
{
    w->setFocus();
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, text);
    QApplication::sendEvent(w, &release);
}

class WritingMessageBoxes : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        server = new CourseServerProcess;
        server->start();
    }
    static void TearDownTestSuite()
    {
        server->stop();
        delete server;
    }
    void SetUp() override
    {
        previous_ = DialogService::replace(std::make_unique<MessageBoxDialogService>());
        SetServerUrl(server->url());
    }
    void TearDown() override
    {
        DialogService::replace(std::move(previous_));
        for (TfrmPreview* preview : openPreviews())
            preview->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The essay's stored bytes, empty while the lecture has none.
    static QByteArray stored(const QString& lectureKey)
    {
        if (lectureKey.isEmpty())
            return {};
        try {
            QBuffer stream;
            DownloadToStream(CourseServerProcess::asDemoStudent(server->url() + "/essay/" + lectureKey), stream);
            return stream.data();
        } catch (const AppError&) {
            return {};
        }
    }

    static CourseServerProcess* server;

private:
    std::unique_ptr<DialogService> previous_;
};

CourseServerProcess* WritingMessageBoxes::server = nullptr;

}

TEST_F(WritingMessageBoxes, AFailedSaveShowsItsErrorAndTheWorkGoesOn)
{
    const QString smile = QStringLiteral("😀");
    const struct {
        const char* name;
        const char* paper;
        std::function<void(FrameFixture&)> prepare;
        QStringList inText;                      // what the box's text must hold
        std::function<void(FrameFixture&)> fix;  // takes the cause away, if the student can
        bool refused = false;                    // the server refused: the text is offered for copying
    } cases[] = {
        {"server unreachable",
         "0",
         [](FrameFixture&) { SetServerUrl(closedPortUrl()); },
         {"통신하지 못했습니다"},
         [](FrameFixture&) { SetServerUrl(server->url()); }},
        {"wrong password",
         "0",
         [](FrameFixture& f) { f.session().ReadLaunchFields(LaunchFields(withPassword("wrong"))); },
         {"학생 번호나 비밀번호가 맞지 않습니다."},
         [](FrameFixture& f) { f.session().ReadLaunchFields(LaunchFields(withPassword(Demo::kStudentPassword))); },
         true},
        {"the lecture was corrected",
         "0",
         [](FrameFixture& f) {
             QTest::mouseClick(f.button("btnSave"), Qt::LeftButton);
             ASSERT_FALSE(f.session().LectureKey().isEmpty()) << "the first save did not go through";
             correct(f.session().LectureKey());
         },
         {"첨삭이 끝난 글은 고칠 수 없습니다."},
         {},
         true},
        {"a title code page 949 cannot hold",
         "0",
         [smile](FrameFixture& f) { f.session().SetTitle(QStringLiteral("웃는 ") + smile); },
         {smile, "CP949"},
         [](FrameFixture& f) { f.session().SetTitle(QStringLiteral("웃는 얼굴")); }},
        {"a pasted memo code page 949 cannot hold",
         "1",
         [smile](FrameFixture& f) {
             QApplication::clipboard()->setText(QStringLiteral("붙여넣은 ") + smile);
             f.mem()->setFocus();
             QTest::keyClick(f.mem(), Qt::Key_V, Qt::ControlModifier);
             ASSERT_TRUE(f.session().memo().contains(smile)) << "the paste did not arrive";
         },
         {smile, "CP949"},
         [smile](FrameFixture& f) { f.mem()->setPlainText(QString(f.session().memo()).remove(smile)); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetServerUrl(server->url());
        FrameFixture f(demoFields(c.paper));
        QPointer<TfmeEditor> alive = f.editor.get();
        if (QLatin1String(c.paper) == QLatin1String("0"))
            SheetText::setLine(f.cells(), 0, QStringLiteral("__가나다"));
        ASSERT_NO_FATAL_FAILURE(c.prepare(f));
        const QStringList paper = SheetText::dump(f.cells());
        const QString memo = f.session().memo();
        const QString key = f.session().LectureKey();
        const QByteArray before = stored(key);

        ModalBoxes boxes;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        boxes.inspect = [&](QMessageBox& box) { icon = box.icon(); };
        QTest::mouseClick(f.button("btnSave"), Qt::LeftButton);
        ASSERT_TRUE(boxes.waitFor(1));
        QApplication::processEvents();

        ASSERT_TRUE(alive);
        ASSERT_EQ(boxes.texts.size(), 1);
        for (const QString& part : c.inText)
            EXPECT_TRUE(boxes.texts[0].contains(part)) << boxes.texts[0].toStdString();
        if (c.refused)
            EXPECT_TRUE(boxes.texts[0].endsWith(QStringLiteral("클립보드에 복사하시겠습니까?")))
                << boxes.texts[0].toStdString();
        else
            EXPECT_EQ(icon, QMessageBox::Critical);
        EXPECT_EQ(SheetText::dump(f.cells()), paper);
        EXPECT_EQ(f.session().memo(), memo);
        EXPECT_EQ(f.session().LectureKey(), key);
        EXPECT_TRUE(f.session().cdEditor().isEmpty());
        SetServerUrl(server->url());
        EXPECT_EQ(stored(key), before) << "nothing was stored";

        // The student writes on.
        if (f.editor->Inx() == EssayRecord::Manuscript) {
            f.grid()->setCurrentIndex(f.cells().index(1, 1));
            typeInto(f.edt(), QStringLiteral("끝"));
            EXPECT_EQ(SheetText::line(f.cells(), 1), QStringLiteral("끝"));
        } else {
            f.mem()->moveCursor(QTextCursor::End);
            typeInto(f.mem(), QStringLiteral("끝"));
            EXPECT_TRUE(f.session().memo().endsWith(QStringLiteral("끝")));
        }
        if (!c.fix)
            continue;

        // The next save, once the cause is gone, stores what is on the paper now.
        c.fix(f);
        QTest::mouseClick(f.button("btnSave"), Qt::LeftButton);
        QTest::qWait(100);
        EXPECT_EQ(boxes.texts.size(), 1) << boxes.texts.join('|').toStdString();
        DataSet record;
        EssayRecord::load(record, stored(f.session().LectureKey()));
        ASSERT_EQ(EssayRecord::paperKind(record), f.editor->Inx());
        if (f.editor->Inx() == EssayRecord::Manuscript) {
            ManuscriptGrid grid;
            EssayRecord::toGrid(record, grid);
            EXPECT_EQ(SheetText::dump(grid), SheetText::dump(f.cells()));
        } else {
            EXPECT_EQ(record.asString(u"LText"), QString(f.session().memo()).replace(u'\n', QStringLiteral("\r\n")));
        }
    }
}

TEST_F(WritingMessageBoxes, APrintOfAPageThatIsNotJpegShowsTheDecodersErrorAndNoPreview)
{
    FrameFixture f(demoFields());
    QPointer<TfmeEditor> alive = f.editor.get();
    DataSet record(EssayRecord::fields());
    for (bool jpeg : {true, false}) {
        QImage page(20, 30, QImage::Format_RGB32);
        page.fill(Qt::blue);
        record.append();
        record.setInteger(u"NType", EssayRecord::ScannedPages);
        record.setBytes(u"LImage", jpeg ? Jpeg::encode(page) : QByteArray("\x89PNG\r\n not a jpeg"));
        record.post();
    }
    f.session().LoadEssay(EssayRecord::toPacket(record));
    f.session().ShowEssay();

    ModalBoxes boxes;
    QTest::mouseClick(f.button("Image5"), Qt::LeftButton);
    ASSERT_TRUE(boxes.waitFor(1));
    QApplication::processEvents();
    ASSERT_TRUE(alive);
    EXPECT_TRUE(boxes.texts[0].startsWith(QStringLiteral("JPEG 그림을 읽을 수 없습니다")))
        << boxes.texts[0].toStdString();
    EXPECT_TRUE(openPreviews().isEmpty());
    EXPECT_EQ(f.session().cdEditor().recordCount(), 2) << "the pages stay to be saved";
    EXPECT_EQ(f.editor->Inx(), EssayRecord::ScannedPages);
}

TEST_F(WritingMessageBoxes, TypingWhatCodePage949CannotHoldRaisesNoBox)
{
    for (const char* paper : {"0", "1"}) {
        SCOPED_TRACE(paper);
        FrameFixture f(demoFields(paper));
        QWidget* target = f.editor->Inx() == EssayRecord::Manuscript ? static_cast<QWidget*>(f.edt()) : f.mem();
        ModalBoxes boxes;
        typeInto(target, QStringLiteral("😀"));
        typeInto(target, QStringLiteral("가"));
        QTest::qWait(200);
        EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join('|').toStdString();
        if (f.editor->Inx() == EssayRecord::Manuscript)
            EXPECT_EQ(SheetText::line(f.cells(), 0), QStringLiteral("가"));
        else
            EXPECT_EQ(f.session().memo(), QStringLiteral("가"));
    }
}
