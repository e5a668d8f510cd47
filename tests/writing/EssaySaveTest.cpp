#include "FrameFixture.h"
#include "SheetText.h"
#include "core/AppError.h"
#include "core/Endpoint.h"
#include "ui/ErrorBox.h"
#include "ui/PictureButton.h"
#include "core/TransferGate.h"
#include "text/Cp949.h"
#include "jpeg/Jpeg.h"
#include "document/EssayRecord.h"
#include "net/FakeHttpServer.h"
#include "net/ReplyText.h"
#include "net/Transport.h"
#include "support/CourseServerProcess.h"
#include "support/RecordingDialogs.h"
#include "writing/EssaySave.h"

#include <QBuffer>
#include <QPlainTextEdit>
#include <QTcpServer>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Demo = CourseServerProcess;

QStringList demoFields(const QString& password = Demo::kStudentPassword)
{
    return {"S001", Demo::kStudentNo, password, "0", Demo::kLectureKey, "", "1", "우리 동네 도서관", "0", "0"};
}

void writeSomething(ManuscriptGrid& grid)
{
    grid.setLineCount(30);
    SheetText::setLine(grid, 0, QStringLiteral("__우리 동네 도서관에 다녀왔다|."));
    SheetText::setLine(grid, 29, QStringLiteral("끝."));
}

QByteArray manuscriptPacket(const ManuscriptGrid& grid)
{
    DataSet record(EssayRecord::fields());
    EssayRecord::writeManuscript(record, Demo::kStudentNo, grid);
    return EssayRecord::toPacket(record);
}

QByteArray scannedPacket()
{
    DataSet record(EssayRecord::fields());
    for (QColor colour : {QColor(Qt::blue), QColor(Qt::red)}) {
        QImage page(30, 40, QImage::Format_RGB32);
        page.fill(colour);
        record.append();
        record.setString(u"USER_ID", Demo::kStudentNo);
        record.setInteger(u"NType", EssayRecord::ScannedPages);
        record.setBytes(u"LImage", Jpeg::encode(page));
        record.setString(u"LImageType", QStringLiteral("jpg"));
        record.post();
    }
    return EssayRecord::toPacket(record);
}

void load(TfmeEditor& e, const QByteArray& packet)
{
    QBuffer stream;
    stream.setData(packet);
    stream.open(QIODevice::ReadOnly);
    e.LoadEssay(stream);
    e.ShowEssay();
}

// A click as the student makes it: an error ends in the error box.
void click(PictureButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

// The parts of a multipart body: name, the rest of the part's header, and the content.
struct Part {
    QString name;
    QByteArray header;
    QByteArray content;
};

QList<Part> partsOf(const QByteArray& request)
{
    const QByteArray type = FakeHttpServer::headerOf(request, "Content-Type");
    const QByteArray boundary = "--" + type.mid(type.indexOf("boundary=") + 9);
    const QByteArray body = FakeHttpServer::bodyOf(request);
    QList<Part> parts;
    qsizetype at = body.indexOf(boundary);
    while (at >= 0) {
        const qsizetype start = at + boundary.size() + 2;
        const qsizetype next = body.indexOf(boundary, start);
        if (next < 0)
            break;
        const QByteArray part = body.mid(start, next - 2 - start);
        const qsizetype split = part.indexOf("\r\n\r\n");
        const QByteArray header = part.left(split);
        const qsizetype name = header.indexOf("name=\"") + 6;
        parts.append({Cp949::decode(header.mid(name, header.indexOf('"', name) - name)), header,
                      part.mid(split + 4)});
        at = next;
    }
    return parts;
}

QString partText(const QList<Part>& parts, const QString& name)
{
    for (const Part& part : parts)
        if (part.name == name)
            return Cp949::decode(part.content);
    return QStringLiteral("<missing>");
}

// Answers every post with the reply text given (code page 949) and keeps the requests.
struct ScriptedServer {
    FakeHttpServer http;
    QString reply = QStringLiteral("200 저장되었습니다.\x03") + Demo::kLectureKey;
    QList<QByteArray> requests;

    ScriptedServer()
    {
        http.respond = [this](const QByteArray& request) {
            requests.append(request);
            return FakeHttpServer::response(200, "OK", Cp949::encode(reply));
        };
        SetServerUrl(http.url(QString()));
    }
};

class EssaySaveToServer : public ::testing::Test {
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
    void SetUp() override { SetServerUrl(server->url()); }

    static QByteArray stored()
    {
        QBuffer stream;
        DownloadToStream(server->url() + "/essay/" + Demo::kLectureKey, stream);
        return stream.data();
    }
    // Empty while the lecture has no essay yet.
    static QByteArray storedOrNothing()
    {
        try {
            return stored();
        } catch (const AppError&) {
            return {};
        }
    }

    static CourseServerProcess* server;
    ScopedRecordingDialogs dialogs;
};

CourseServerProcess* EssaySaveToServer::server = nullptr;

}

TEST_F(EssaySaveToServer, ManuscriptPaperSendsItsGridAndNotTheHiddenMemo)
{
    FrameFixture f(demoFields());
    TfmeEditor& e = *f.editor;
    writeSomething(*e.gridModel);
    e.mem->setPlainText(QStringLiteral("백지에 남은 글"));
    e.BtnClick(e.btnSave);

    const QByteArray bytes = stored();
    EXPECT_EQ(bytes, manuscriptPacket(*e.gridModel));
    DataSet record;
    EssayRecord::load(record, bytes);
    EXPECT_EQ(record.recordCount(), 1);
    EXPECT_EQ(record.asInteger(u"NType"), 1);
    EXPECT_EQ(record.asString(u"USER_ID"), QString::fromLatin1(Demo::kStudentNo));
    EXPECT_TRUE(record.isNull(u"LText"));
    for (int c = 1; c <= 21; ++c)
        EXPECT_EQ(EssayRecord::textLines(record.asString(EssayRecord::lineField(c))).size(), 30) << c;
    EXPECT_TRUE(e.cdEditor.isEmpty()) << "between saves the paper alone holds the essay";
    EXPECT_EQ(e.LectureKey, QString::fromLatin1(Demo::kLectureKey));
    EXPECT_TRUE(dialogs->boxes.isEmpty()) << "an accepted save shows nothing";
}

TEST_F(EssaySaveToServer, BlankPaperSendsOnlyItsTypedLines)
{
    FrameFixture f(demoFields());
    TfmeEditor& e = *f.editor;
    writeSomething(*e.gridModel);
    e.BtnClick(e.btn2);
    e.mem->setPlainText(QStringLiteral("첫째 줄\n\n셋째 줄, \"인용\" 99?"));
    e.BtnClick(e.btnSave);

    DataSet expected(EssayRecord::fields());
    EssayRecord::writeBlankPaper(expected, Demo::kStudentNo, QStringLiteral("첫째 줄\r\n\r\n셋째 줄, \"인용\" 99?"));
    const QByteArray bytes = stored();
    EXPECT_EQ(bytes, EssayRecord::toPacket(expected));
    DataSet record;
    EssayRecord::load(record, bytes);
    EXPECT_EQ(record.asInteger(u"NType"), 2);
    EXPECT_TRUE(record.isNull(u"L1")) << "the hidden grid's text stays at home";
    EXPECT_TRUE(e.cdEditor.isEmpty());
    EXPECT_EQ(SheetText::line(*e.gridModel, 29), QStringLiteral("끝."));
}

TEST_F(EssaySaveToServer, ScannedPagesGoBackAsTheyWereLoaded)
{
    FrameFixture f(demoFields());
    TfmeEditor& e = *f.editor;
    const QByteArray packet = scannedPacket();
    load(e, packet);
    ASSERT_EQ(e.Inx(), 3);
    e.BtnClick(e.btnSave);
    EXPECT_EQ(stored(), packet);
    EXPECT_EQ(e.cdEditor.recordCount(), 2) << "the pages stay for the next save and print";
    e.BtnClick(e.btnSave);
    EXPECT_EQ(stored(), packet);
}

TEST_F(EssaySaveToServer, ARefusedSaveShowsTheServersMessageAndKeepsEverything)
{
    FrameFixture f(demoFields(QStringLiteral("wrong")));
    TfmeEditor& e = *f.editor;
    writeSomething(*e.gridModel);
    const QStringList paper = SheetText::dump(*e.gridModel);
    const QByteArray before = storedOrNothing();

    click(e.btnSave);
    // The message the server gives for a wrong password.
    UploadForm probe = EssaySave::form({Demo::kStudentNo, "wrong", Demo::kLectureKey, "t"}, manuscriptPacket(*e.gridModel));
    const ReplyText refusal = SplitReply(PostForm(probe));
    ASSERT_FALSE(refusal.accepted());
    ASSERT_FALSE(refusal.message.isEmpty());
    EXPECT_EQ(dialogs->texts(RecordingDialogs::Kind::Error), QStringList{ErrorBoxText(refusal.message)});
    EXPECT_EQ(e.LectureKey, QString::fromLatin1(Demo::kLectureKey));
    EXPECT_EQ(SheetText::dump(*e.gridModel), paper);
    EXPECT_TRUE(e.cdEditor.isEmpty());
    EXPECT_EQ(storedOrNothing(), before);

    // With the right password the next save builds the record from the paper again.
    e.Password = Demo::kStudentPassword;
    click(e.btnSave);
    EXPECT_EQ(dialogs->boxes.size(), 1);
    EXPECT_EQ(stored(), manuscriptPacket(*e.gridModel));
}

TEST_F(EssaySaveToServer, APostThatFailsKeepsThePaperAndTheNextSaveWorks)
{
    FrameFixture f(demoFields());
    TfmeEditor& e = *f.editor;
    writeSomething(*e.gridModel);
    const QStringList paper = SheetText::dump(*e.gridModel);
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost, 0);
    const quint16 port = closed.serverPort();
    closed.close();
    SetServerUrl(QStringLiteral("http://127.0.0.1:%1").arg(port));

    click(e.btnSave);
    EXPECT_EQ(dialogs->texts(RecordingDialogs::Kind::Error).size(), 1);
    EXPECT_EQ(SheetText::dump(*e.gridModel), paper);
    EXPECT_TRUE(e.cdEditor.isEmpty());
    EXPECT_EQ(e.LectureKey, QString::fromLatin1(Demo::kLectureKey));

    SetServerUrl(server->url());
    click(e.btnSave);
    EXPECT_EQ(dialogs->boxes.size(), 1);
    EXPECT_EQ(stored(), manuscriptPacket(*e.gridModel));
}

TEST(EssaySave, PostsTheSevenPartsInOrder)
{
    ScopedRecordingDialogs dialogs;
    ScriptedServer server;
    FrameFixture f({"S001", "학생01", "비밀 번호", "0", "KEY-1", "", "1", "우리 동네 도서관", "0", "1"});
    TfmeEditor& e = *f.editor;
    e.Title = QStringLiteral("바뀐 제목");
    e.mem->setPlainText(QStringLiteral("가나다"));
    e.BtnClick(e.btnSave);
    ASSERT_EQ(server.requests.size(), 1);
    const QList<Part> parts = partsOf(server.requests[0]);
    QStringList names;
    for (const Part& part : parts)
        names << part.name;
    EXPECT_EQ(names, QStringList({"flag", "student_no", "password", "lecturekey", "submit", "title", "file"}));
    EXPECT_EQ(partText(parts, "flag"), QStringLiteral("S002"));
    EXPECT_EQ(partText(parts, "student_no"), QStringLiteral("학생01"));
    EXPECT_EQ(partText(parts, "password"), QStringLiteral("비밀 번호"));
    EXPECT_EQ(partText(parts, "lecturekey"), QStringLiteral("KEY-1"));
    EXPECT_EQ(partText(parts, "submit"), QStringLiteral("N"));
    EXPECT_EQ(partText(parts, "title"), QStringLiteral("바뀐 제목"));
    const Part& file = parts.last();
    EXPECT_TRUE(file.header.contains("filename=\"Editor\"")) << file.header.toStdString();
    EXPECT_TRUE(file.header.contains("Content-Type: multipart/form-data")) << file.header.toStdString();
    DataSet record;
    EssayRecord::load(record, file.content);
    EXPECT_EQ(record.asString(u"LText"), QStringLiteral("가나다"));
    EXPECT_EQ(record.asString(u"USER_ID"), QStringLiteral("학생01"));
}

TEST(EssaySave, TheReplysValueBecomesTheLectureKeyOnlyWhenAccepted)
{
    const struct {
        QString reply;
        QString key;    // LectureKey afterwards, from "OLD"
        QString error;  // the error box, if any
    } cases[] = {
        {QStringLiteral("200 저장되었습니다.\x03NEW-1"), QStringLiteral("NEW-1"), {}},
        {QStringLiteral("200 저장되었습니다.\x03 \t "), QStringLiteral("OLD"), {}},
        {QStringLiteral("200 저장되었습니다.\x03"), QStringLiteral("OLD"), {}},
        {QStringLiteral("200 NEW-2"), QStringLiteral("NEW-2"), {}},  // no 0x03: all of it is the value
        {QStringLiteral("401 비밀번호가 맞지 않습니다.\x03NEW-3"), QStringLiteral("OLD"),
         QStringLiteral("비밀번호가 맞지 않습니다.")},
        {QStringLiteral("500 \x03NEW-4"), QStringLiteral("OLD"),
         QStringLiteral("서버가 감상문을 저장하지 않았습니다 (상태 500). 잠시 뒤에 다시 저장하십시오.")},
    };
    for (const auto& c : cases) {
        ScopedRecordingDialogs dialogs;
        ScriptedServer server;
        server.reply = c.reply;
        FrameFixture f;
        TfmeEditor& e = *f.editor;
        e.LectureKey = QStringLiteral("OLD");
        click(e.btnSave);
        EXPECT_EQ(e.LectureKey, c.key) << c.reply.toStdString();
        EXPECT_EQ(dialogs->texts(RecordingDialogs::Kind::Error),
                  c.error.isEmpty() ? QStringList() : QStringList{c.error})
            << c.reply.toStdString();
        EXPECT_TRUE(dialogs->texts(RecordingDialogs::Kind::Information).isEmpty());
        // The next save names the lecture the server assigned.
        click(e.btnSave);
        ASSERT_EQ(server.requests.size(), 2);
        EXPECT_EQ(partText(partsOf(server.requests[1]), "lecturekey"), c.key) << c.reply.toStdString();
    }
}

TEST(EssaySave, SaveAndPrintAreRefusedQuietlyWhileATransferRuns)
{
    ScopedRecordingDialogs dialogs;
    ScriptedServer server;
    FrameFixture f;
    TfmeEditor& e = *f.editor;
    const auto previews = [] {
        int count = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            count += w->objectName() == QLatin1String("frmPreview") && w->isVisible();
        return count;
    };
    {
        TransferGate::Pass running;
        click(e.btnSave);
        click(e.Image5);
        e.BtnClick(e.btnSave);  // the closing question's save
    }
    EXPECT_TRUE(server.requests.isEmpty());
    EXPECT_EQ(previews(), 0);
    EXPECT_TRUE(dialogs->boxes.isEmpty());
    EXPECT_TRUE(e.cdEditor.isEmpty());
    click(e.btnSave);
    EXPECT_EQ(server.requests.size(), 1);
}
