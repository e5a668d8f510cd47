#include "SheetText.h"
#include "core/AppError.h"
#include "core/LaunchFields.h"
#include "document/EssayRecord.h"
#include "jpeg/Jpeg.h"
#include "net/ReplyText.h"
#include "net/UploadForm.h"
#include "print/PrintDataSets.h"
#include "text/Cp949.h"
#include "writing/WritingSession.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

// The parts of an encoded form: name, the rest of the part's header, and the content.
struct Part {
    QString name;
    QByteArray header;
    QByteArray content;
};

QList<Part> partsOf(const UploadForm& form)
{
    const UploadForm::Encoded encoded = form.encode();
    const QByteArray boundary = "--" + encoded.contentType.mid(encoded.contentType.indexOf("boundary=") + 9);
    const QByteArray& body = encoded.body;
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
        parts.append({Cp949::decode(header.mid(name, header.indexOf('"', name) - name)), header, part.mid(split + 4)});
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

QByteArray filePart(const UploadForm& form)
{
    return partsOf(form).last().content;
}

// A session of student S1001 for lecture K-1 on the paper given.
struct Student : WritingSession {
    explicit Student(int paper = EssayRecord::Manuscript)
    {
        ReadLaunchFields(LaunchFields({"S001", "S1001", "pw", "0", "K-1", "", "1", "우리 동네 도서관", "0", "0"}));
        setInx(paper);
        grid().reset(21);
    }
};

void writeSomething(ManuscriptGrid& grid)
{
    grid.setLineCount(30);
    SheetText::setLine(grid, 0, QStringLiteral("__우리 동네 도서관에 다녀왔다|."));
    SheetText::setLine(grid, 29, QStringLiteral("끝."));
}

QByteArray manuscriptPacket(const ManuscriptGrid& grid)
{
    DataSet record(EssayRecord::fields());
    EssayRecord::writeManuscript(record, "S1001", grid);
    return EssayRecord::toPacket(record);
}

QImage filled(int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// Pages as the record holds them; a null picture stands for bytes that are not JPEG.
QByteArray scannedPacket(const QList<QImage>& pages)
{
    DataSet record(EssayRecord::fields());
    for (const QImage& page : pages) {
        record.append();
        record.setString(u"USER_ID", QStringLiteral("S1001"));
        record.setInteger(u"NType", EssayRecord::ScannedPages);
        record.setBytes(u"LImage", page.isNull() ? QByteArray("\x89PNG\r\n not a jpeg") : Jpeg::encode(page));
        record.setString(u"LImageType", QStringLiteral("jpg"));
        record.post();
    }
    return EssayRecord::toPacket(record);
}

QStringList column(DataSet& data, const char* field)
{
    QStringList values;
    for (data.first(); !data.eof(); data.next())
        values << data.asString(QString::fromLatin1(field));
    return values;
}

}

TEST(WritingSessionSave, TheFormHasTheSevenPartsInOrder)
{
    WritingSession s;
    s.ReadLaunchFields(
        LaunchFields({"S001", "학생01", "비밀 번호", "0", "KEY-1", "", "1", "우리 동네 도서관", "0", "1"}));
    s.setInx(s.FirstPaper());
    s.SetTitle(QStringLiteral("바뀐 제목"));
    s.setMemo(QStringLiteral("가나다"));
    const QList<Part> parts = partsOf(s.SaveForm());
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

TEST(WritingSessionSave, ManuscriptPaperSendsItsGridAndNotTheHiddenMemo)
{
    Student s;
    writeSomething(s.grid());
    s.setMemo(QStringLiteral("백지에 남은 글"));
    const QByteArray bytes = filePart(s.SaveForm());
    EXPECT_EQ(bytes, manuscriptPacket(s.grid()));
    DataSet record;
    EssayRecord::load(record, bytes);
    EXPECT_EQ(record.recordCount(), 1);
    EXPECT_EQ(record.asInteger(u"NType"), 1);
    EXPECT_EQ(record.asString(u"USER_ID"), QStringLiteral("S1001"));
    EXPECT_TRUE(record.isNull(u"LText"));
    for (int c = 1; c <= 21; ++c)
        EXPECT_EQ(EssayRecord::textLines(record.asString(EssayRecord::lineField(c))).size(), 30) << c;
    EXPECT_TRUE(s.cdEditor().isEmpty()) << "between saves the paper alone holds the essay";
}

TEST(WritingSessionSave, BlankPaperSendsOnlyItsTypedLines)
{
    Student s(EssayRecord::BlankPaper);
    writeSomething(s.grid());
    s.setMemo(QStringLiteral("첫째 줄\n\n셋째 줄, \"인용\" 99?"));
    DataSet expected(EssayRecord::fields());
    EssayRecord::writeBlankPaper(expected, "S1001", QStringLiteral("첫째 줄\r\n\r\n셋째 줄, \"인용\" 99?"));
    const QByteArray bytes = filePart(s.SaveForm());
    EXPECT_EQ(bytes, EssayRecord::toPacket(expected));
    DataSet record;
    EssayRecord::load(record, bytes);
    EXPECT_EQ(record.asInteger(u"NType"), 2);
    EXPECT_TRUE(record.isNull(u"L1")) << "the hidden grid's text stays at home";
    EXPECT_TRUE(s.cdEditor().isEmpty());
    EXPECT_EQ(SheetText::line(s.grid(), 29), QStringLiteral("끝."));
}

TEST(WritingSessionSave, ScannedPagesGoBackAsTheyWereLoaded)
{
    Student s;
    const QByteArray packet = scannedPacket({filled(30, 40, Qt::blue), filled(30, 40, Qt::red)});
    s.LoadEssay(packet);
    s.ShowEssay();
    ASSERT_EQ(s.Inx(), EssayRecord::ScannedPages);
    EXPECT_EQ(filePart(s.SaveForm()), packet);
    EXPECT_EQ(s.cdEditor().recordCount(), 2) << "the pages stay for the next save and print";
    EXPECT_EQ(filePart(s.SaveForm()), packet);
}

TEST(WritingSessionSave, TheReplysValueBecomesTheLectureKeyOnlyWhenAccepted)
{
    const struct {
        QString reply;
        QString key;    // LectureKey afterwards, from "OLD"
        QString error;  // the message raised, if any
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
        Student s;
        s.ReadLaunchFields(LaunchFields({"S001", "S1001", "pw", "0", "OLD", "", "1", "우리 동네 도서관", "0", "0"}));
        writeSomething(s.grid());
        const QStringList paper = SheetText::dump(s.grid());
        s.SaveForm();
        QString error;
        try {
            s.SaveReplied(SplitReply(c.reply));
        } catch (const AppError& e) {
            error = e.message();
        }
        EXPECT_EQ(error, c.error) << c.reply.toStdString();
        EXPECT_EQ(s.LectureKey(), c.key) << c.reply.toStdString();
        EXPECT_EQ(SheetText::dump(s.grid()), paper) << c.reply.toStdString();
        EXPECT_TRUE(s.cdEditor().isEmpty());
        // The next save names the lecture the server assigned and builds the record again.
        const UploadForm next = s.SaveForm();
        EXPECT_EQ(partText(partsOf(next), "lecturekey"), c.key) << c.reply.toStdString();
        EXPECT_EQ(filePart(next), manuscriptPacket(s.grid()));
    }
}

// A course site that hands out revisions gets the one each save started from; one that
// never names revisions gets the forms as ever.
TEST(WritingSessionSave, EachSaveNamesTheRevisionItStartedFrom)
{
    const QStringList knowing{"S001", "S1001", "pw", "1", "K-1", "http://a.test/essay/K-1",
                              "1",    "제목",  "0",  "0", "",    "4"};
    const struct {
        const char* what;
        QStringList fields;
        QString downloaded;  // the revision the essay's download named
        QString first;       // base_revision of the first save, "<missing>" for none
        QString answered;    // the revision the first save's answer named
        QString second;
    } cases[] = {
        {"a site without revisions", knowing.mid(0, 11), {}, "<missing>", {}, "<missing>"},
        {"the launch file's revision", knowing, {}, "4", "5", "5"},
        {"the download's revision is newer", knowing, "6", "6", "7", "7"},
        {"an answer without a revision: no base after it", knowing, {}, "4", {}, "<missing>"},
        {"a revision field that is not a number",
         QStringList(knowing.mid(0, 11)) << "x",
         {},
         "<missing>",
         {},
         "<missing>"},
    };
    for (const auto& c : cases) {
        WritingSession s;
        s.ReadLaunchFields(LaunchFields(c.fields));
        s.EssayFetched(c.downloaded);
        s.setInx(EssayRecord::Manuscript);
        writeSomething(s.grid());
        EXPECT_EQ(partText(partsOf(s.SaveForm()), "base_revision"), c.first) << c.what;
        s.SaveReplied(SplitReply(QStringLiteral("200 저장되었습니다.\x03K-1")), c.answered);
        EXPECT_EQ(partText(partsOf(s.SaveForm()), "base_revision"), c.second) << c.what;
    }

    // A refused save keeps its base: the server still has what the run started from.
    WritingSession s;
    s.ReadLaunchFields(LaunchFields(knowing));
    s.setInx(EssayRecord::Manuscript);
    EXPECT_THROW(s.SaveReplied(SplitReply(QStringLiteral("409 더 나중에 저장된 글이 있습니다.\x03")), "9"),
                 SaveRefused);
    EXPECT_EQ(s.BaseRevision(), "4");
}

TEST(WritingSessionSave, PlainTextIsTheTitleAndThePapersLines)
{
    Student s;
    s.grid().setColumn(1, {"가", " ", "다"});
    s.grid().setColumn(2, {"나", " ", " "});
    s.grid().setColumn(4, {"라", " ", " "});
    EXPECT_EQ(s.PlainText(), QStringLiteral("우리 동네 도서관\n\n가나 라\n\n다"));
    s.setInx(EssayRecord::BlankPaper);
    s.setMemo(QStringLiteral("첫 줄\n둘째 줄"));
    EXPECT_EQ(s.PlainText(), QStringLiteral("우리 동네 도서관\n\n첫 줄\n둘째 줄"));
}

TEST(WritingSessionSave, TextCodePage949CannotHoldIsRefusedBeforeAnythingIsSent)
{
    const QString smile = QStringLiteral("😀");
    const struct {
        const char* name;
        int paper;
        std::function<void(WritingSession&)> write;
    } cases[] = {
        {"title", EssayRecord::Manuscript, [&](WritingSession& s) { s.SetTitle("웃는 " + smile); }},
        {"memo", EssayRecord::BlankPaper, [&](WritingSession& s) { s.setMemo("붙여넣은 " + smile + "\n끝"); }},
    };
    for (const auto& c : cases) {
        Student s(c.paper);
        s.grid().setCell(0, 1, "가");
        c.write(s);
        const QStringList paper = SheetText::dump(s.grid());
        const QString memo = s.memo();
        try {
            s.SaveForm();
            ADD_FAILURE() << c.name << ": the save went on";
        } catch (const AppError& e) {
            EXPECT_TRUE(e.message().contains(smile)) << c.name << ": " << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(QStringLiteral("CP949"))) << c.name << ": " << e.message().toStdString();
        }
        EXPECT_TRUE(s.cdEditor().isEmpty()) << c.name;
        EXPECT_EQ(SheetText::dump(s.grid()), paper) << c.name;
        EXPECT_EQ(s.memo(), memo) << c.name;
        EXPECT_EQ(s.LectureKey(), QStringLiteral("K-1")) << c.name;
    }
}

TEST(WritingSessionPrint, FillPrintDataTakesThePaperShown)
{
    Student s;
    DataSet cdPrint(PrintDataSets::essayPrint());
    s.grid().setLineCount(23);
    SheetText::setLine(s.grid(), 0, QStringLiteral("__가나"));
    SheetText::setLine(s.grid(), 22, QStringLiteral("끝|."));
    s.setMemo(QStringLiteral("한 줄은 화면에서 여러 줄로 접힌다\n둘\n셋"));
    s.FillPrintData(cdPrint);
    ASSERT_EQ(cdPrint.recordCount(), 23) << "blank lines print as well";
    EXPECT_EQ(column(cdPrint, "L3").first(), QStringLiteral("가"));
    EXPECT_EQ(column(cdPrint, "L1").last(), QStringLiteral("끝"));
    EXPECT_EQ(column(cdPrint, "L21").last(), QStringLiteral("."));

    s.setInx(EssayRecord::BlankPaper);
    s.FillPrintData(cdPrint);
    EXPECT_EQ(column(cdPrint, "LText"), QStringList({"한 줄은 화면에서 여러 줄로 접힌다", "둘", "셋"}));

    s.setInx(0);
    s.FillPrintData(cdPrint);
    EXPECT_EQ(cdPrint.recordCount(), 23) << "before a paper is chosen the sheet prints";

    s.LoadEssay(scannedPacket({filled(20, 30, Qt::blue), filled(40, 10, Qt::green)}));
    s.ShowEssay();
    s.FillPrintData(cdPrint);
    ASSERT_EQ(cdPrint.recordCount(), 2);
    cdPrint.first();
    EXPECT_EQ(QImage::fromData(cdPrint.asBytes(u"LImage")).size(), QSize(20, 30));
    cdPrint.next();
    EXPECT_EQ(QImage::fromData(cdPrint.asBytes(u"LImage")).size(), QSize(40, 10));

    s.LoadEssay(scannedPacket({filled(20, 30, Qt::blue), QImage()}));
    s.ShowEssay();
    try {
        s.FillPrintData(cdPrint);
        ADD_FAILURE() << "a page that is not JPEG printed";
    } catch (const AppError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("JPEG 그림을 읽을 수 없습니다")))
            << e.message().toStdString();
    }
    EXPECT_EQ(s.cdEditor().recordCount(), 2) << "the pages stay to be saved";
}
