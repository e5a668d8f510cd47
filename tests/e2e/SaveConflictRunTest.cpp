// Two runs on one essay, or one run of a launch file older than what is stored: no save
// replaces work its run never saw.
#include "ClientRun.h"
#include "LossyProxy.h"
#include "Typist.h"
#include "core/Endpoint.h"
#include "correction/CorrectionSession.h"
#include "correction/TfmeTeacher.h"
#include "document/EssayRecord.h"
#include "document/JournalFile.h"
#include "document/ManuscriptGrid.h"
#include "shell/Startup.h"
#include "shell/TfrmMain.h"
#include "support/RecordingDialogs.h"
#include "support/TeacherWidgets.h"
#include "ui/PictureButton.h"
#include "writing/TSorEdit.h"
#include "writing/TfmeEditor.h"
#include "writing/WritingJournal.h"
#include "writing/WritingSession.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

using Kind = RecordingDialogs::Kind;

void click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

class SaveConflictRun : public ClientRun {
protected:
    // The launch file as the browser keeps it in its download list.
    QString download(const QString& address)
    {
        const std::optional<QByteArray> launch = server.get(address);
        if (!launch)
            throw std::runtime_error("no launch file at " + address.toStdString());
        const QString path = config.filePath(QStringLiteral("download%1.dzl").arg(++downloads));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(*launch);
        return path;
    }
    std::unique_ptr<TfrmMain> open(const QString& path)
    {
        auto run = StartClient({QStringLiteral("dozoruderado"), path}, config.path());
        QApplication::processEvents();
        return run;
    }
    static TSorEdit* edt(TfrmMain& run) { return run.FEditor->findChild<TSorEdit*>(QStringLiteral("edt")); }
    static void type(TfrmMain& run, const QString& text)
    {
        click(edt(run));
        TypeText(edt(run), text);
    }
    static void save(TfrmMain& run) { click(run.FEditor->btnSave()); }
    static QString sheetText(const ManuscriptGrid& grid)
    {
        QString text;
        for (int line = 0; line < grid.lineCount(); ++line)
            for (int column = 1; column <= 20; ++column)
                text += grid.cell(line, column).trimmed();
        return text;
    }
    QString storedText()
    {
        const std::optional<CourseServerRun::Stored> stored = server.essay(QStringLiteral("DEMO0001"));
        if (!stored)
            return {};
        DataSet record;
        EssayRecord::load(record, stored->record);
        ManuscriptGrid grid;
        EssayRecord::toGrid(record, grid);
        return sheetText(grid);
    }

    // Saves go through a proxy that can lose their answers; downloads go straight.
    LossyProxy& lossy()
    {
        if (!proxy) {
            const QUrl direct(server.url());
            proxy = std::make_unique<LossyProxy>(direct.host(), quint16(direct.port()));
        }
        // Each start of the client sets the address from its configuration again.
        SetServerUrl(proxy->url());
        return *proxy;
    }
    static QString notice(QWidget& frame) { return frame.findChild<QLabel*>(QStringLiteral("lblNotice"))->text(); }

    int downloads = 0;
    std::unique_ptr<LossyProxy> proxy;
};

TEST_F(SaveConflictRun, LaunchFileFromBeforeTheFirstSaveOpensTheSavedEssay)
{
    const QString stale = download(QStringLiteral("/launch/S001/DEMO0001.dzl"));
    {
        auto first = open(stale);
        type(*first, QStringLiteral("첫 글입니다"));
        save(*first);
        ASSERT_EQ(dialogs->texts(Kind::Error), QStringList());
    }
    dialogs->boxes.clear();

    // The same downloaded file again: the saved essay, not an empty sheet.
    auto again = open(stale);
    EXPECT_EQ(sheetText(again->FEditor->session().grid()), QStringLiteral("첫글입니다"));
    EXPECT_EQ(dialogs->texts(Kind::Information),
              QStringList{"이 실행 파일을 받은 뒤에 저장된 글이 있어, 가장 최근에 저장된 글을 열었습니다."});
    type(*again, QStringLiteral(" 더"));
    save(*again);
    EXPECT_EQ(dialogs->texts(Kind::Error), QStringList());
    EXPECT_EQ(dialogs->texts(Kind::Question), QStringList());
    EXPECT_EQ(storedText(), QStringLiteral("첫글입니다더"));
    EXPECT_EQ(server.essay(QStringLiteral("DEMO0001"))->revision, 2);
}

TEST_F(SaveConflictRun, SecondWindowOnTheSameEssayKeepsItsTextAndOffersTheClipboard)
{
    auto a = open(download(QStringLiteral("/launch/S001/DEMO0001.dzl")));
    auto b = open(download(QStringLiteral("/launch/S001/DEMO0001.dzl")));
    type(*a, QStringLiteral("창 하나"));
    type(*b, QStringLiteral("창 둘"));
    save(*a);
    ASSERT_EQ(storedText(), QStringLiteral("창하나"));

    QGuiApplication::clipboard()->clear();
    dialogs->answers = {true};
    save(*b);
    const QStringList questions = dialogs->texts(Kind::Question);
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].contains(QStringLiteral("강의 목록"))) << questions[0].toStdString();
    EXPECT_TRUE(questions[0].endsWith(QStringLiteral("복사하시겠습니까?"))) << questions[0].toStdString();
    EXPECT_EQ(dialogs->texts(Kind::Error), QStringList());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("우리 동네 도서관에 다녀와서\n\n창 둘"));
    EXPECT_EQ(storedText(), QStringLiteral("창하나")) << "the other window's save stays";
    EXPECT_TRUE(b->FEditor->session().Modified()) << "the refused text is still unsaved";
    EXPECT_TRUE(b->FEditor->journal().keeper().file().exists()) << "and kept in its journal";

    // Closing asks to save; the refused save keeps the window open.
    dialogs->boxes.clear();
    dialogs->answers = {true, false};
    b->close();
    EXPECT_TRUE(b->isVisible());
    EXPECT_EQ(dialogs->texts(Kind::Question).size(), 2);
}

TEST_F(SaveConflictRun, TeachersCorrectionFollowsTheSameRule)
{
    {
        auto student = open(download(QStringLiteral("/launch/S001/DEMO0001.dzl")));
        type(*student, QStringLiteral("고칠 글"));
        save(*student);
    }
    const QString beforeAnyCorrection = download(QStringLiteral("/launch/T001/DEMO0001.dzl"));
    auto a = open(beforeAnyCorrection);
    auto b = open(download(QStringLiteral("/launch/T001/DEMO0001.dzl")));
    ASSERT_TRUE(a->FTeacher && b->FTeacher);
    click(a->FTeacher->btnSave);
    ASSERT_TRUE(
        a->FTeacher->findChild<QLabel*>(QStringLiteral("lblNotice"))->text().startsWith("첨삭이 저장되었습니다."));
    ASSERT_EQ(dialogs->boxes.size(), 0U);

    QPlainTextEdit* comment = TeacherWidgets(*b->FTeacher).Memo2;
    comment->setFocus();
    TypeText(comment, QStringLiteral("다른 컴퓨터의 평"));
    dialogs->boxes.clear();
    dialogs->answers = {false};
    click(b->FTeacher->btnSave);
    const QStringList questions = dialogs->texts(Kind::Question);
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].contains(QStringLiteral("첨삭하기"))) << questions[0].toStdString();
    EXPECT_TRUE(b->FTeacher->Session().Modified());

    // A file handed out before the first correction opens the correction saved since.
    a.reset();
    dialogs->boxes.clear();
    auto c = open(beforeAnyCorrection);
    EXPECT_TRUE(dialogs->texts(Kind::Information)
                    .contains("이 실행 파일을 받은 뒤에 저장된 첨삭이 있어, 가장 최근에 저장된 첨삭을 열었습니다."))
        << dialogs->texts(Kind::Information).join(u'|').toStdString();
    dialogs->boxes.clear();
    click(c->FTeacher->btnSave);
    EXPECT_EQ(dialogs->texts(Kind::Question), QStringList()) << "it saves on from what it opened";
    EXPECT_TRUE(
        c->FTeacher->findChild<QLabel*>(QStringLiteral("lblNotice"))->text().startsWith("첨삭이 저장되었습니다."));
}

// A save whose answer was lost may be stored; the run's next save must not take it for
// someone else's and refuse itself.
TEST_F(SaveConflictRun, ASaveWhoseAnswerWasLostDoesNotRefuseTheNextOne)
{
    const struct {
        const char* what;
        const char* launch;
    } runs[] = {{"the essay of a lecture", "/launch/S001/DEMO0001.dzl"}, {"a new essay", "/launch/new/S1001.dzl"}};
    for (const auto& r : runs) {
        SCOPED_TRACE(r.what);
        const int lectures = server.lectureCount();
        auto run = open(download(QString::fromLatin1(r.launch)));
        type(*run, QStringLiteral("첫 줄"));
        lossy().answersToLose = 1;
        dialogs->boxes.clear();
        save(*run);
        ASSERT_EQ(proxy->lost, 1);
        proxy->lost = 0;
        ASSERT_EQ(dialogs->texts(Kind::Error).size(), 1) << "the lost answer is reported";

        type(*run, QStringLiteral("둘째"));
        dialogs->boxes.clear();
        save(*run);
        EXPECT_EQ(dialogs->texts(Kind::Question), QStringList()) << "no conflict with its own save";
        EXPECT_EQ(dialogs->texts(Kind::Error), QStringList());
        EXPECT_FALSE(run->FEditor->session().Modified());
        EXPECT_EQ(server.lectureCount(), lectures + (QByteArray(r.launch).contains("new") ? 1 : 0));
        if (!QByteArray(r.launch).contains("new"))
            EXPECT_EQ(storedText(), QStringLiteral("첫줄둘째"));
    }

    {
        auto student = open(download(QStringLiteral("/launch/S001/DEMO0001.dzl")));
        save(*student);
    }
    auto teacher = open(download(QStringLiteral("/launch/T001/DEMO0001.dzl")));
    ASSERT_TRUE(teacher->FTeacher);
    QPlainTextEdit* comment = TeacherWidgets(*teacher->FTeacher).Memo2;
    comment->setFocus();
    TypeText(comment, QStringLiteral("잃어버린 답"));
    lossy().answersToLose = 1;
    dialogs->boxes.clear();
    click(teacher->FTeacher->btnSave);
    ASSERT_EQ(proxy->lost, 1);
    comment->setFocus();
    TypeText(comment, QStringLiteral(" 다음"));
    dialogs->boxes.clear();
    click(teacher->FTeacher->btnSave);
    EXPECT_EQ(dialogs->texts(Kind::Question), QStringList());
    EXPECT_TRUE(notice(*teacher->FTeacher).startsWith(QStringLiteral("첨삭이 저장되었습니다.")))
        << notice(*teacher->FTeacher).toStdString();
    EXPECT_FALSE(teacher->FTeacher->Session().Modified());
}

}
