// Work in a real client process killed with SIGKILL comes back in the next run. The test
// runs its own program again as that process (the RecoveryChild case, which does nothing
// unless it is started so): it opens the launch file through the client's start-up, works
// with real key and mouse events, writes what its window shows to a report and waits to be
// killed. The next run, on the same launch file, must ask and show exactly that again.
#include "ClientRun.h"
#include "Typist.h"
#include "board/SorBoard.h"
#include "correction/BoardPage.h"
#include "correction/CorrectionJournal.h"
#include "correction/MemoText.h"
#include "correction/TfmeTeacher.h"
#include "document/EssayRecord.h"
#include "document/ManuscriptGrid.h"
#include "shell/Startup.h"
#include "shell/TfrmMain.h"
#include "support/TeacherWidgets.h"
#include "writing/TfmeEditor.h"
#include "writing/WritingJournal.h"
#include "writing/WritingSession.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using W = TeacherWidgets;

const QString kQuestion = QStringLiteral("저장하지 않은 글이 있습니다. 복구하시겠습니까?");
// The teacher is told it is a correction that comes back.
const QString kCorrectionQuestion = QStringLiteral("저장하지 않은 첨삭이 있습니다. 복구하시겠습니까?");

void click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

// Everything of the student's work, as the window shows it.
QString describeWriting(TfrmMain& window)
{
    const WritingSession& s = window.FEditor->session();
    QStringList lines{QStringLiteral("title ") + window.txtTitle->text(), QStringLiteral("paper %1").arg(s.Inx()),
                      QStringLiteral("memo ") + s.memo()};
    for (int line = 0; line < s.grid().lineCount(); ++line) {
        QStringList cells;
        for (int column = 1; column <= ManuscriptGrid::kMarginColumn; ++column)
            cells << s.grid().cell(line, column);
        lines << cells.join(u'|');
    }
    return lines.join(u'\n');
}

// Every page's marks and comment, the review and the scores, as the frame shows them.
QString describeCorrection(TfrmMain& window)
{
    TfmeTeacher& frame = *window.FTeacher;
    const W w(frame);
    QStringList lines;
    for (int page = 0; page < w.cmbList->count(); ++page) {
        w.cmbList->setCurrentIndex(page);
        frame.cmbListChange(page);
        lines << QStringLiteral("page %1: ").arg(page + 1) + MemoText(w.Memo2);
        for (const CorrectionRecord::MarkRow& m : BoardPage::Marks(w.Board->Items()))
            lines << QStringLiteral("  %1 %2,%3-%4,%5 %6 %7")
                         .arg(m.drawTool)
                         .arg(m.left)
                         .arg(m.top)
                         .arg(m.right)
                         .arg(m.bottom)
                         .arg(m.strings, m.reportPoint);
    }
    lines << QStringLiteral("review ") + MemoText(w.Memo1);
    lines << QStringLiteral("points ") + frame.Session().Scores().points().join(u',');
    lines << QStringLiteral("total ") + w.ComboBox1->text();
    return lines.join(u'\n');
}

// The student types on the manuscript, renames the essay and goes on on blank paper.
void studentWorks(TfrmMain& window)
{
    TfmeEditor& editor = *window.FEditor;
    QWidget* edt = editor.findChild<QWidget*>(QStringLiteral("edt"));
    click(edt);
    TypeText(edt, QStringLiteral("  봄이 왔다. 들판에 \"꽃\"이 핀다?\n둘째 문단 123 abc"));
    window.txtTitle->selectAll();
    QTest::keyClicks(window.txtTitle, QStringLiteral("Spring"));
    click(editor.findChild<QWidget*>(QStringLiteral("btn2")));
    TypeText(editor.findChild<QWidget*>(QStringLiteral("mem")), QStringLiteral("백지에 쓴 메모\n다음 줄"));
}

// The teacher marks pages 1 and 2 with the mouse, writes a comment on each, the review and
// two scores.
void teacherWorks(TfrmMain& window)
{
    TfmeTeacher& frame = *window.FTeacher;
    const W w(frame);
    for (int page = 0; page < 2; ++page) {
        w.cmbList->setCurrentIndex(page);
        frame.cmbListChange(page);
        for (int n = 0; n < 2; ++n) {
            click(w.ToolButtons[3 + n + page]);
            const QRect box(QPoint(60 + 130 * n, 80 + 40 * page), QSize(80, 40));
            QTest::mousePress(w.Board, Qt::LeftButton, {}, box.topLeft());
            QTest::mouseMove(w.Board, box.center());
            QTest::mouseMove(w.Board, box.bottomRight());
            QTest::mouseRelease(w.Board, Qt::LeftButton, {}, box.bottomRight());
        }
        click(w.Memo2);
        TypeText(w.Memo2, QStringLiteral("%1쪽: 문단을 나누어 보세요.").arg(page + 1));
    }
    click(w.Image8);
    click(w.Memo1);
    TypeText(w.Memo1, QStringLiteral("전체적으로 잘 썼습니다.\n맞춤법을 살피세요."));
    click(w.Image6);
    for (const auto& [row, score] : {std::pair{2, "40"}, std::pair{5, "7"}}) {
        const QModelIndex cell = w.pGrid->model()->index(row, 2);
        w.pGrid->setFocus();
        w.pGrid->setCurrentIndex(cell);
        w.pGrid->edit(cell);
        for (QLineEdit* editor : w.pGrid->viewport()->findChildren<QLineEdit*>())
            if (editor->isVisible()) {
                editor->selectAll();
                QTest::keyClicks(editor, QString::fromLatin1(score));
                QTest::keyClick(editor, Qt::Key_Return);
            }
    }
}

class RecoveryRun : public ClientRun {
protected:
    QString launchFile(const QString& address)
    {
        const std::optional<QByteArray> launch = server.get(address);
        EXPECT_TRUE(launch) << address.toStdString();
        const QString path = config.filePath(QStringLiteral("child.dzl"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(launch.value_or(QByteArray()));
        return path;
    }

    // Runs `role` in a client process on the launch file, waits for its report, then kills
    // it with SIGKILL. Returns what its window showed.
    QString workAndKill(const char* role, const QString& launchAddress)
    {
        const QString report = config.filePath(QStringLiteral("report.txt"));
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DZ_RECOVERY_ROLE"), QLatin1String(role));
        env.insert(QStringLiteral("DZ_RECOVERY_LAUNCH"), launchFile(launchAddress));
        env.insert(QStringLiteral("DZ_RECOVERY_CONFIG"), config.path());
        env.insert(QStringLiteral("DZ_RECOVERY_REPORT"), report);
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=RecoveryChild.*")});
        EXPECT_TRUE(child.waitForStarted(10000));
        const bool reported = QTest::qWaitFor([&] { return QFile::exists(report); }, 120000);
        child.kill();  // SIGKILL: no handler of the client runs
        child.waitForFinished(10000);
        EXPECT_TRUE(reported) << child.readAll().toStdString();
        EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
        QFile file(report);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    void expectOneRecoveryQuestion(const QString& question = kQuestion)
    {
        EXPECT_EQ(dialogs->texts(RecordingDialogs::Kind::Question), QStringList{question});
        EXPECT_TRUE(dialogs->texts(RecordingDialogs::Kind::Information).isEmpty())
            << dialogs->texts(RecordingDialogs::Kind::Information).join(' ').toStdString();
    }
};

TEST_F(RecoveryRun, StudentsEssayComesBackAfterTheClientWasKilled)
{
    const QString launch = QStringLiteral("/launch/S001/DEMO0001.dzl");
    const QString shown = workAndKill("student", launch);
    ASSERT_TRUE(shown.contains(QStringLiteral("봄"))
                && shown.contains(QStringLiteral("paper 2\nmemo 백지에 쓴 메모\n다음 줄"))
                && shown.contains(QStringLiteral("title Spring")))
        << shown.toStdString();

    dialogs->answers = {true};
    startClient(launch);
    ASSERT_TRUE(window->FEditor);
    expectOneRecoveryQuestion();
    EXPECT_EQ(describeWriting(*window), shown);
    EXPECT_TRUE(window->FEditor->session().Modified()) << "the restored essay is not on the server yet";

    // Saved, the journal goes and the server has the manuscript as typed.
    dialogs->answers = {true};  // the blank paper's text is not sent: go on
    click(window->FEditor->btnSave());
    EXPECT_FALSE(window->FEditor->journal().keeper().file().exists());
    dialogs->boxes.clear();
    startClient(launch);
    EXPECT_TRUE(dialogs->texts(RecordingDialogs::Kind::Question).isEmpty()) << "nothing left to recover";
}

TEST_F(RecoveryRun, StudentsNoSetsTheJournalAsideAndKeepsTheServersEssay)
{
    const QString launch = QStringLiteral("/launch/S001/DEMO0001.dzl");
    workAndKill("student", launch);
    dialogs->answers = {false};
    startClient(launch);
    expectOneRecoveryQuestion();
    EXPECT_EQ(window->FEditor->session().grid().cell(0, 3), QString());
    EXPECT_FALSE(window->FEditor->journal().keeper().file().exists());
    const QDir folder(JournalFile::folder());
    EXPECT_EQ(folder.entryList({QStringLiteral("S001-DEMO0001-*.journal.*")}, QDir::Files).size(), 1)
        << "kept aside, never deleted";
}

TEST_F(RecoveryRun, TeachersCorrectionComesBackAfterTheClientWasKilled)
{
    // The student's essay the teacher corrects.
    startClient(QStringLiteral("/launch/S001/DEMO0001.dzl"));
    QWidget* edt = window->FEditor->findChild<QWidget*>(QStringLiteral("edt"));
    click(edt);
    TypeText(edt, QString(QStringLiteral("가나다라마바사아자차")).repeated(80));
    click(window->FEditor->btnSave());
    ASSERT_TRUE(dialogs->boxes.isEmpty()) << dialogs->boxes.first().text.toStdString();
    window.reset();

    const QString launch = QStringLiteral("/launch/T001/DEMO0001.dzl");
    const QString shown = workAndKill("teacher", launch);
    ASSERT_TRUE(shown.contains(QStringLiteral("2쪽")) && shown.count(QStringLiteral("\n  ")) == 4
                && shown.contains(QStringLiteral("points 40,40,,7,7,,\ntotal 47")))
        << shown.toStdString();

    dialogs->answers = {true};
    startClient(launch);
    ASSERT_TRUE(window->FTeacher);
    expectOneRecoveryQuestion(kCorrectionQuestion);
    EXPECT_TRUE(window->FTeacher->Session().Modified());
    EXPECT_EQ(describeCorrection(*window), shown);

    // Saved, the journal goes: the next run has nothing to offer and closing asks nothing.
    dialogs->boxes.clear();
    click(window->FTeacher->btnSave);
    EXPECT_TRUE(dialogs->boxes.isEmpty()) << dialogs->boxes.first().text.toStdString();
    QTest::qWait(JournalKeeper::kDelayMs * 2);
    EXPECT_FALSE(window->FTeacher->Journal().keeper().file().exists());
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(dialogs->boxes.isEmpty()) << dialogs->boxes.first().text.toStdString();
    startClient(launch);
    EXPECT_TRUE(dialogs->boxes.isEmpty()) << "nothing left to recover";
}

// The client process the tests above kill.
TEST(RecoveryChild, WorksReportsAndWaitsToBeKilled)
{
    const QByteArray role = qgetenv("DZ_RECOVERY_ROLE");
    if (role.isEmpty())
        GTEST_SKIP() << "runs only as the client process of a RecoveryRun test";
    const auto window = StartClient({QStringLiteral("dozoruderado"), qEnvironmentVariable("DZ_RECOVERY_LAUNCH")},
                                    qEnvironmentVariable("DZ_RECOVERY_CONFIG"));
    ASSERT_TRUE(window);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->activateWindow();
    QApplication::processEvents();
    QString shown;
    if (role == "student") {
        ASSERT_TRUE(window->FEditor);
        studentWorks(*window);
        shown = describeWriting(*window);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window->FEditor->journal().keeper().dirty(); }, 10000));
    } else {
        ASSERT_TRUE(window->FTeacher);
        teacherWorks(*window);
        shown = describeCorrection(*window);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window->FTeacher->Journal().keeper().dirty(); }, 10000));
    }
    QFile report(qEnvironmentVariable("DZ_RECOVERY_REPORT"));
    ASSERT_TRUE(report.open(QIODevice::WriteOnly));
    report.write(shown.toUtf8());
    report.close();
    QTest::qWait(600000);
}

}
