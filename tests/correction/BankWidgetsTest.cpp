// The comment bank where the teacher types and in its window, driven by real key events.
#include "BankServer.h"
#include "FakeHttpServer.h"
#include "Typist.h"
#include "core/Endpoint.h"
#include "correction/CommentBank.h"
#include "correction/CorrectionLaunch.h"
#include "correction/TeacherBank.h"
#include "correction/TfrmBank.h"
#include "correction/TfrmText.h"
#include "server/BankStore.h"
#include "support/RecordingDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

using Kind = RecordingDialogs::Kind;

class BankWidgets : public ::testing::Test {
protected:
    void SetUp() override
    {
        BankEntry stock;
        stock.text = "기본: 띄어 쓰기를 살피세요";
        BankStore(server.store.engine()).replaceStock({stock});
        bank.load();
        spacing = bank.add("띄어 쓰세요", 13, "-1");
        bank.add("문단을 나누세요", 0, "");
        bank.add("띄어 쓰기가 틀렸어요", 2, "");
    }

    static QStringList rows(const QListWidget* list)
    {
        QStringList out;
        for (int row = 0; row < list->count(); ++row)
            out << list->item(row)->text();
        return out;
    }

    QList<BankEntry> stored() { return BankStore(server.store.engine()).entriesOf("T1001"); }

    ScopedRecordingDialogs dialogs;
    QTemporaryDir folder;
    BankServer server;
    CommentBank bank{CourseAdditions(CourseStore::kDemoLecture, server.token), folder.filePath("copy.json")};
    QString spacing;
};

TEST_F(BankWidgets, TheTextDialogOffersEntriesAsTheTeacherTypes)
{
    TfrmText dialog;
    dialog.OfferBank(bank, 13);
    dialog.open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.memText->setFocus();
    QListWidget* list = dialog.memText->findChild<QListWidget*>("lstBank");
    ASSERT_TRUE(list);

    TypeText(dialog.memText, "띄어");
    ASSERT_TRUE(list->isVisible());
    // For this mark: the entry for it, the stock; the entry for another mark stays out.
    EXPECT_EQ(rows(list), (QStringList{"띄어 쓰세요  (-1)", "기본: 띄어 쓰기를 살피세요  [기본]"}));
    TypeText(dialog.memText, " 쓰세");
    EXPECT_EQ(list->count(), 1) << "narrowed as the teacher types";

    QTest::keyClick(dialog.memText, Qt::Key_Down);
    EXPECT_EQ(dialog.memText->accessibleDescription(), "문구함: 띄어 쓰세요") << "read out by a screen reader";
    QTest::keyClick(dialog.memText, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible()) << "Enter took the entry, not the dialog";
    EXPECT_EQ(dialog.memText->toPlainText(), "띄어 쓰세요");
    EXPECT_EQ(dialog.Point(), "-1");
    EXPECT_EQ(dialog.TakenEntry(), spacing);
    EXPECT_FALSE(list->isVisible());

    // Escape closes the list and leaves the dialog and the text alone.
    dialog.memText->clear();
    TypeText(dialog.memText, "문단");
    ASSERT_TRUE(list->isVisible());
    QTest::keyClick(dialog.memText, Qt::Key_Escape);
    EXPECT_FALSE(list->isVisible());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.memText->toPlainText(), "문단");
    // With no entry picked, Enter is a line break as ever.
    TypeText(dialog.memText, "을");
    QTest::keyClick(dialog.memText, Qt::Key_Return);
    EXPECT_EQ(dialog.memText->toPlainText(), "문단을\n");

    QCheckBox* add = dialog.findChild<QCheckBox*>("chkBank");
    ASSERT_TRUE(add);
    EXPECT_EQ(add->text(), "문구함에 추가");
    EXPECT_FALSE(dialog.AddToBank());
    add->click();
    EXPECT_TRUE(dialog.AddToBank());
}

// The teacher run's part: the button only for a site with the bank, entries in the page
// comment, and the text dialog's choices kept.
TEST_F(BankWidgets, ATeacherRunShowsTheBankOnlyWhereTheSiteOffersIt)
{
    QWidget window;
    auto* column = new QVBoxLayout(&window);
    QWidget strip;
    auto* row = new QHBoxLayout(&strip);
    row->addWidget(new QLabel(&strip));
    QPlainTextEdit comment;
    QLabel notice;
    column->addWidget(&strip);
    column->addWidget(&comment);
    CorrectionLaunch launch;
    launch.teacherNo = "T1001";
    launch.lectureKey = CourseStore::kDemoLecture;
    launch.password = server.token;
    qputenv("XDG_DATA_HOME", folder.filePath("data").toUtf8());

    {
        FakeHttpServer plain;
        plain.respond = [](const QByteArray&) { return FakeHttpServer::response(404, "Not Found", "<h1>no</h1>"); };
        const QString url = ServerUrl();
        SetServerUrl(plain.url({}));
        TeacherBank none(&strip, &comment, &notice, nullptr);
        EXPECT_NO_THROW(none.load(launch));
        EXPECT_FALSE(none.bank());
        EXPECT_FALSE(none.btnBank->isVisibleTo(&strip));
        EXPECT_TRUE(notice.text().isEmpty());
        SetServerUrl(url);
    }

    TeacherBank teacher(&strip, &comment, &notice, nullptr);
    teacher.load(launch);
    ASSERT_TRUE(teacher.bank());
    EXPECT_TRUE(teacher.btnBank->isVisibleTo(&strip));

    // The page comment: the current line is matched and replaced; the use is counted.
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QApplication::setActiveWindow(&window);
    comment.setFocus();
    TypeText(&comment, "(1) \n문단");
    QListWidget* list = comment.findChild<QListWidget*>("lstBank");
    ASSERT_TRUE(list && list->isVisible());
    QTest::keyClick(&comment, Qt::Key_Down);
    QTest::keyClick(&comment, Qt::Key_Enter);
    EXPECT_EQ(comment.toPlainText(), "(1) \n문단을 나누세요");
    QApplication::processEvents();
    for (const BankEntry& entry : stored())
        EXPECT_EQ(entry.uses, entry.text == "문단을 나누세요" ? 1 : 0) << entry.text.toStdString();

    // The text dialog: a mark's text saved with "문구함에 추가" becomes an entry for its mark.
    TfrmText dialog;
    teacher.offerIn(dialog, 13);
    dialog.memText->setPlainText("주어와 서술어가 맞지 않아요");
    dialog.SetPoint("-2");
    dialog.chkBank->setChecked(true);
    teacher.keep(dialog, 13);
    const QList<BankEntry> after = stored();
    const auto added = std::find_if(after.begin(), after.end(),
                                    [](const BankEntry& e) { return e.text == "주어와 서술어가 맞지 않아요"; });
    ASSERT_NE(added, after.end());
    EXPECT_EQ(added->mark, 13);
    EXPECT_EQ(added->points, "-2");
}

TEST_F(BankWidgets, TheWindowEditsReordersAndDeletesOwnEntriesOnly)
{
    TfrmBank window(bank);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.lstOwn->count(), 3);
    EXPECT_EQ(rows(window.lstStock), QStringList{"기본: 띄어 쓰기를 살피세요"});
    EXPECT_FALSE(window.lstStock->item(0)->flags() & Qt::ItemIsDragEnabled);

    // Ctrl+Down twice takes the first entry to the end, on the server too.
    window.lstOwn->setFocus();
    window.lstOwn->setCurrentRow(0);
    QTest::keyClick(window.lstOwn, Qt::Key_Down, Qt::ControlModifier);
    QTest::keyClick(window.lstOwn, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_TRUE(window.lstOwn->item(2)->text().startsWith("띄어 쓰세요"));
    EXPECT_EQ(window.lstOwn->currentRow(), 2) << "the entry moved stays chosen";
    QList<BankEntry> own = stored();
    own.removeIf([](const BankEntry& e) { return e.stock; });
    EXPECT_EQ(own.last().text, "띄어 쓰세요");

    // Chosen, edited and deleted through the fields and buttons.
    window.lstOwn->setCurrentRow(0);
    EXPECT_EQ(window.memEntry->toPlainText(), "문단을 나누세요");
    window.memEntry->setPlainText("문단을 새로 나누세요");
    window.edtPoints->setText("-1");
    window.btnEdit->click();
    EXPECT_TRUE(window.lstOwn->item(0)->text().startsWith("문단을 새로 나누세요  (-1)"));
    window.btnDelete->click();
    EXPECT_EQ(window.lstOwn->count(), 2);
    EXPECT_EQ(stored().size(), 3) << "two own and the stock";
}

TEST_F(BankWidgets, CsvImportIsAllOrNoneAndExportReadsBack)
{
    TfrmBank window(bank);
    const QString bad = folder.filePath("bad.csv");
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("text,mark,points\r\n좋은 문구,,\r\n나쁜 점수,,열\r\n");
    file.close();
    window.importCsv(bad);
    QApplication::processEvents();
    ASSERT_EQ(dialogs->texts(Kind::Information).size(), 1);
    EXPECT_TRUE(dialogs->texts(Kind::Information).first().contains("3번째 줄"));
    EXPECT_EQ(bank.ownEntries().size(), 3) << "nothing of the file";

    const QString out = folder.filePath("out.csv");
    window.exportCsv(out);
    TfrmBank other(bank);
    const int before = int(stored().size());
    other.importCsv(out);
    EXPECT_EQ(int(stored().size()), before + 3);
    EXPECT_EQ(bank.matches("띄어 쓰세요", 13).size(), 2) << "the entry and its copy from the file";
}

}
