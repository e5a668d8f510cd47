#include "ImeDesktop.h"
#include "correction/TfmeTeacher.h"
#include "document/EssayRecord.h"
#include "document/ManuscriptGrid.h"
#include "e2e/ClientRun.h"
#include "shell/TfrmMain.h"
#include "support/QStringPrinter.h"
#include "ui/PictureButton.h"
#include "ui/TApplication.h"
#include "writing/EssayMeasures.h"
#include "writing/ManuscriptView.h"
#include "writing/TSorEdit.h"
#include "writing/TfmeEditor.h"
#include "writing/WritingSession.h"

#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

// The pre-edit of the last input-method event the application handed out: the point at
// which a composition shows, whichever widget it went to.
class PreeditWatch : public QObject {
public:
    QString preedit;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::InputMethod)
            preedit = static_cast<QInputMethodEvent*>(event)->preeditString();
        return QObject::eventFilter(watched, event);
    }
};

// The written cells of a sheet, columns 1 to 21 line by line, blanks left out.
QStringList writtenCells(const ManuscriptGrid& grid)
{
    QStringList out;
    for (int line = 0; line < grid.lineCount(); ++line)
        for (int column = 1; column <= 21; ++column)
            if (!grid.isBlank(line, column))
                out << grid.cell(line, column);
    return out;
}

// A student's run of the real client, on the real course server, in a desktop of its own
// whose input method composes Hangul. A case starts with the caret in the sheet.
class ImeClientRun : public ClientRun {
protected:
    void startRun(ImeDesktop::Method method, const ImeDesktop::Options& options)
    {
        if (const QString why = ImeDesktop::missing(method); !why.isEmpty())
            GTEST_SKIP() << ImeDesktop::name(method) << " cannot run here: " << why.toStdString();
        // Qt keeps one X connection and one session bus per process.
        ASSERT_FALSE(QCoreApplication::instance())
            << "each case needs a process of its own: run them through ctest, or name one with --gtest_filter";
        desktop = std::make_unique<ImeDesktop>(method, options);
        desktop->exportToThisProcess();
        app = std::make_unique<TApplication>(argc, argv);
        app->installEventFilter(&watch);
        ASSERT_NO_FATAL_FAILURE(ClientRun::SetUp());
        ASSERT_NO_FATAL_FAILURE(startClient(QStringLiteral("/launch/S001/DEMO0001.dzl")));
        ASSERT_TRUE(window->FEditor);
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get())) << "the window never got the X input focus";
        title0 = title()->text();
        click(edt());
        desktop->waitForHangulFocus();
    }

    void TearDown() override
    {
        // The client goes before the application, the application before its X server.
        window.reset();
        server.stop();
        app.reset();
        desktop.reset();
    }

    TfmeEditor& editor() const { return *window->FEditor; }
    const ManuscriptGrid& sheet() const { return editor().session().grid(); }
    QStringList cells() const { return writtenCells(sheet()); }
    template <typename T>
    T* widget(const char* name) const
    {
        T* found = editor().findChild<T*>(QLatin1String(name));
        if (!found)
            throw std::runtime_error(std::string("no widget ") + name);
        return found;
    }
    TSorEdit* edt() const { return widget<TSorEdit>("edt"); }
    ManuscriptView* grid() const { return widget<ManuscriptView>("grid"); }
    QPlainTextEdit* mem() const { return widget<QPlainTextEdit>("mem"); }
    QLineEdit* title() const { return window->txtTitle; }
    QString countText() const { return widget<QLabel>("lblCount")->text(); }

    void press(const QString& keys) const { desktop->keys(keys); }
    void click(QWidget* target) const { desktop->click(target->mapToGlobal(target->rect().center())); }
    void clickCell(int line, int column) const
    {
        const QRect cell = grid()->visualRect(grid()->model()->index(line, column));
        desktop->click(grid()->viewport()->mapToGlobal(cell.center()));
    }
    // Waits until `done` holds (at most a few seconds), then a little longer for a late
    // commit: the checks that follow see the state the input method left.
    static void settle(const std::function<bool()>& done)
    {
        static_cast<void>(QTest::qWaitFor(done, 5000));
        QTest::qWait(400);
    }
    void composes(const QString& keys, const QString& preedit)
    {
        press(keys);
        settle([&] { return watch.preedit == preedit; });
        ASSERT_EQ(watch.preedit, preedit) << "the input method did not compose " << preedit.toStdString();
    }

    // Waits for the save's notice, then reads the record the server stored.
    void expectSaved(const QStringList& written)
    {
        const QLabel* notice = widget<QLabel>("lblNotice");
        settle([&] { return notice->text().startsWith(QStringLiteral("저장되었습니다")); });
        ASSERT_TRUE(notice->text().startsWith(QStringLiteral("저장되었습니다"))) << notice->text().toStdString();
        const auto stored = server.essay(QStringLiteral("DEMO0001"));
        ASSERT_TRUE(stored);
        DataSet record;
        EssayRecord::load(record, stored->record);
        ManuscriptGrid saved;
        EssayRecord::toGrid(record, saved);
        EXPECT_EQ(writtenCells(saved), written);
    }

    std::unique_ptr<ImeDesktop> desktop;
    std::unique_ptr<TApplication> app;
    PreeditWatch watch;
    QString title0;

private:
    int argc = 1;
    char program[8] = "ime";
    char* argv[2] = {program, nullptr};
};

// Each case once for each input method, named after it: ImeRun.ClickTitleWhileComposing/Ibus.
class ImeRun : public ImeClientRun, public ::testing::WithParamInterface<ImeDesktop::Method> {
protected:
    void SetUp() override { startRun(GetParam(), {}); }
};
std::string methodName(const ::testing::TestParamInfo<ImeDesktop::Method>& info)
{
    return info.param == ImeDesktop::Ibus ? "Ibus" : "Fcitx";
}
INSTANTIATE_TEST_SUITE_P(, ImeRun, ::testing::Values(ImeDesktop::Ibus, ImeDesktop::Fcitx), methodName);

TEST_P(ImeRun, ClickEditBoxWhileComposing)
{
    ASSERT_NO_FATAL_FAILURE(composes(QStringLiteral("s k"), QStringLiteral("나")));
    click(edt());
    settle([this] { return !cells().isEmpty(); });
    EXPECT_EQ(cells(), QStringList{QStringLiteral("나")});
}

TEST_P(ImeRun, ClickTitleWhileComposing)
{
    ASSERT_NO_FATAL_FAILURE(composes(QStringLiteral("g k s"), QStringLiteral("한")));
    click(title());
    settle([this] { return title()->hasFocus() && !cells().isEmpty(); });
    EXPECT_EQ(title()->text(), title0);
    EXPECT_EQ(cells(), QStringList{QStringLiteral("한")});
}

TEST_P(ImeRun, ComposeInTitleThenClickCell)
{
    click(title());
    ASSERT_NO_FATAL_FAILURE(composes(QStringLiteral("g k s"), QStringLiteral("한")));
    click(edt());
    settle([this] { return title()->text() != title0; });
    EXPECT_EQ(title()->text(), title0 + QStringLiteral("한"));
    EXPECT_EQ(cells(), QStringList());
}

TEST_P(ImeRun, ClickBlankPaperWhileComposing)
{
    ASSERT_NO_FATAL_FAILURE(composes(QStringLiteral("g k s"), QStringLiteral("한")));
    click(widget<PictureButton>("btn2"));
    settle([this] { return editor().Inx() == EssayRecord::BlankPaper && !cells().isEmpty(); });
    EXPECT_EQ(editor().Inx(), EssayRecord::BlankPaper);
    EXPECT_EQ(title()->text(), title0);
    EXPECT_EQ(cells(), QStringList{QStringLiteral("한")});
    EXPECT_EQ(mem()->toPlainText(), QString());
}

TEST_P(ImeRun, SaveWithMouseWhileComposing)
{
    ASSERT_NO_FATAL_FAILURE(composes(QStringLiteral("r k s k"), QStringLiteral("나")));
    click(editor().btnSave());
    expectSaved({QStringLiteral("가"), QStringLiteral("나")});
}

TEST_P(ImeRun, SaveWithShortcutWhileComposing)
{
    ASSERT_NO_FATAL_FAILURE(composes(QStringLiteral("r k s k"), QStringLiteral("나")));
    press(QStringLiteral("ctrl+s"));
    expectSaved({QStringLiteral("가"), QStringLiteral("나")});
}

TEST_P(ImeRun, DigitJamoBackspaceDigit)
{
    press(QStringLiteral("1 r BackSpace 2"));
    settle([this] { return cells() == QStringList{QStringLiteral("12")}; });
    EXPECT_EQ(cells(), QStringList{QStringLiteral("12")});
}

TEST_P(ImeRun, CountFollowsClickOnOtherCell)
{
    ASSERT_NO_FATAL_FAILURE(composes(QStringLiteral("g k s"), QStringLiteral("한")));
    clickCell(3, 5);
    settle([this] { return !cells().isEmpty(); });
    EXPECT_EQ(cells(), QStringList{QStringLiteral("한")});
    EXPECT_EQ(countText(), EssayMeasures::CountText(1));
}

// Undo while a syllable is composed takes that syllable and nothing before it, however the
// input method hands it over first.
TEST_P(ImeRun, UndoWhileComposing)
{
    ASSERT_NO_FATAL_FAILURE(composes(QStringLiteral("r k s k"), QStringLiteral("나")));
    press(QStringLiteral("ctrl+z"));
    settle([this] { return cells() == QStringList{QStringLiteral("가")}; });
    EXPECT_EQ(cells(), QStringList{QStringLiteral("가")});
    EXPECT_EQ(watch.preedit, QString());
}

TEST_P(ImeRun, HanjaWhileComposing)
{
    ASSERT_NO_FATAL_FAILURE(composes(QStringLiteral("g k s"), QStringLiteral("한")));
    press(QStringLiteral("F9 1"));
    settle([this] { return cells() == QStringList{QStringLiteral("韓")}; });
    EXPECT_EQ(cells(), QStringList{QStringLiteral("韓")});
}

TEST_P(ImeRun, HanjaForSyllableBeforeCaret)
{
    if (GetParam() == ImeDesktop::Ibus)
        GTEST_SKIP() << "Qt's ibus module hands the engine no surrounding text, so ibus-hangul has no syllable "
                        "before the caret to look up";
    ASSERT_NO_FATAL_FAILURE(composes(QStringLiteral("g k s"), QStringLiteral("한")));
    press(QStringLiteral("Left"));
    settle([this] { return cells() == QStringList{QStringLiteral("한")}; });
    press(QStringLiteral("F9 1"));
    settle([this] { return cells() == QStringList{QStringLiteral("韓")}; });
    EXPECT_EQ(cells(), QStringList{QStringLiteral("韓")});
}

// The guard watches the whole program: the teacher's comment boxes keep what is composed in
// them when the teacher clicks from one to the other.
TEST_P(ImeRun, TeacherCommentBoxesKeepTheirSyllables)
{
    ASSERT_NO_FATAL_FAILURE(composes(QStringLiteral("r k s k"), QStringLiteral("나")));
    click(editor().btnSave());
    ASSERT_NO_FATAL_FAILURE(expectSaved({QStringLiteral("가"), QStringLiteral("나")}));

    ASSERT_NO_FATAL_FAILURE(startClient(QStringLiteral("/launch/T001/DEMO0001.dzl")));
    ASSERT_TRUE(window->FTeacher);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    auto* pageComment = window->FTeacher->findChild<QPlainTextEdit*>(QStringLiteral("Memo2"));
    auto* review = window->FTeacher->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
    ASSERT_TRUE(pageComment && review);
    const auto count = [](const QPlainTextEdit* box, const char* syllable) {
        return box->toPlainText().count(QString::fromUtf8(syllable));
    };

    click(pageComment);
    desktop->waitForHangulFocus();
    ASSERT_NO_FATAL_FAILURE(composes(QStringLiteral("g k s"), QStringLiteral("한")));
    click(review);
    settle([&] { return count(pageComment, "한") == 1 && review->hasFocus(); });
    EXPECT_EQ(count(pageComment, "한"), 1);
    EXPECT_EQ(count(review, "한"), 0);

    ASSERT_NO_FATAL_FAILURE(composes(QStringLiteral("s k"), QStringLiteral("나")));
    click(pageComment);
    settle([&] { return count(review, "나") == 1 && pageComment->hasFocus(); });
    EXPECT_EQ(count(review, "나"), 1);
    EXPECT_EQ(count(pageComment, "나"), 0);
    EXPECT_EQ(count(pageComment, "한"), 1);
}

class ImeWordRun : public ImeClientRun, public ::testing::WithParamInterface<ImeDesktop::Method> {
protected:
    void SetUp() override { startRun(GetParam(), {.words = true}); }
};
INSTANTIATE_TEST_SUITE_P(, ImeWordRun, ::testing::Values(ImeDesktop::Ibus, ImeDesktop::Fcitx), methodName);

TEST_P(ImeWordRun, WholeWordIsVisible)
{
    ASSERT_NO_FATAL_FAILURE(composes(QStringLiteral("g k s r m f"), QStringLiteral("한글")));
    const TSorEdit& box = *edt();
    EXPECT_GT(box.width(), grid()->columnWidth(1)) << "the box stays one cell wide";
    EXPECT_GE(box.width(), box.fontMetrics().horizontalAdvance(QStringLiteral("한글")));
}

// ibus-hangul without pre-edit commits each jamo and replaces it as the syllable grows;
// fcitx5-hangul has no such mode.
class IbusWithoutPreedit : public ImeClientRun {
protected:
    void SetUp() override { startRun(ImeDesktop::Ibus, {.ibusPreeditMode = QStringLiteral("none")}); }
};

TEST_F(IbusWithoutPreedit, SyllablesLandInTheirCells)
{
    press(QStringLiteral("r k s k space"));
    settle([this] { return cells() == QStringList{QStringLiteral("가"), QStringLiteral("나")}; });
    EXPECT_EQ(cells(), (QStringList{QStringLiteral("가"), QStringLiteral("나")}));
}

}
