#include "Essays.h"

#include "correction/CorrectionJournal.h"
#include "correction/CorrectionSession.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

// The page being corrected and its rules, driven through the session as the board and the
// comment box drive it, without any widget.

namespace {

using CorrectionRecord::MarkRow;

QRect Edges(const MarkRow& mark)
{
    return QRect(QPoint(mark.left, mark.top), QPoint(mark.right, mark.bottom));
}

// Eight pixels a byte, 12 high: what the board's canvas would measure.
QSize Measure(const QString& line)
{
    return QSize(8 * int(line.toUtf8().size()), 12);
}

// Public: the table of cases acts on it through a reference.
class CorrectionPageTest : public ::testing::Test {
public:
    void SetUp() override
    {
        session.Load(Essays::Manuscript(70), Essays::BoardCorrection({{2, {Essays::Mark(11, 60)}, "둘째 쪽\r\n"}}));
        session.TurnPage(0);
        session.SetModified(false);
    }

    int Place(TDrawTool tool, QPoint from = {10, 10}, QPoint to = {10, 10})
    {
        return page().place(tool, from, to, 4242);
    }
    QStringList Texts() const
    {
        QStringList texts;
        for (const MarkRow& mark : page().marks())
            texts << mark.strings;
        return texts;
    }
    CorrectionPage& page() { return session.Page(); }
    const CorrectionPage& page() const { return session.Page(); }

    CorrectionSession session;
};

}

TEST_F(CorrectionPageTest, PlacingSizesTheMarkFromTheGesture)
{
    const struct {
        const char* name;
        TDrawTool tool;
        QPoint press, release;
        QRect edges;  // left, top, right, bottom as the QRect's corners
        QString text;
    } cases[] = {
        {"click with a mark", dt11, {50, 60}, {50, 60}, QRect(QPoint(50, 60), QPoint(70, 80)), {}},
        {"click with the text tool", dtText, {50, 60}, {50, 60}, QRect(QPoint(50, 60), QPoint(130, 80)), "input Text"},
        {"drag down right", dt16, {10, 10}, {90, 40}, QRect(QPoint(10, 10), QPoint(90, 40)), {}},
        {"drag left", dt11, {100, 100}, {40, 300}, QRect(QPoint(100, 100), QPoint(120, 300)), {}},
        {"drag up", dt11, {100, 100}, {180, 30}, QRect(QPoint(100, 100), QPoint(180, 120)), {}},
        {"small drag", dt41, {100, 100}, {110, 105}, QRect(QPoint(100, 100), QPoint(120, 120)), {}},
        {"text tool drag", dtText, {10, 10}, {50, 70}, QRect(QPoint(10, 10), QPoint(110, 70)), "input Text"},
        {"none tool", dtNone, {5, 5}, {5, 5}, QRect(QPoint(5, 5), QPoint(25, 25)), {}},
        {"restoring mark", dt21, {5, 5}, {5, 5}, QRect(QPoint(5, 5), QPoint(25, 25)), "생"},
        {"thinking mark", dt44, {5, 5}, {60, 30}, QRect(QPoint(5, 5), QPoint(60, 30)), "?"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        session.TurnPage(0);
        const int index = Place(c.tool, c.press, c.release);
        ASSERT_EQ(index, page().marks().size() - 1);
        const MarkRow& mark = page().marks()[index];
        EXPECT_EQ(Edges(mark), c.edges);
        EXPECT_EQ(mark.drawTool, c.tool);
        EXPECT_EQ(mark.strings, c.text);
        EXPECT_EQ(mark.key, 4242);
        EXPECT_EQ(mark.fontSize, 0);
        EXPECT_TRUE(mark.fontName.isEmpty());
        EXPECT_TRUE(mark.reportPoint.isEmpty());
    }
}

TEST_F(CorrectionPageTest, NumbersFollowTheLargestPlacedSinceThePageWasShown)
{
    EXPECT_EQ(page().marks()[Place(dtNumber)].strings, "(0)") << "an empty page";
    EXPECT_EQ(page().marks()[Place(dtNumber)].strings, "(1)");
    Place(dt11);
    EXPECT_EQ(page().marks()[Place(dtNumber)].strings, "(2)");
    Place(dtNumber);
    // Deleting (1) leaves 3 as the largest; deleting the largest lowers the next.
    page().remove(1);
    EXPECT_EQ(page().marks()[Place(dtNumber)].strings, "(4)");
    page().remove(int(page().marks().size()) - 1);
    page().remove(int(page().marks().size()) - 1);
    EXPECT_EQ(page().marks()[Place(dtNumber)].strings, "(3)");

    // Numbers are not stored: a page shown again numbers from 1 whatever its marks read.
    session.TurnPage(1);
    session.TurnPage(0);
    EXPECT_EQ(page().marks()[Place(dtNumber)].strings, "(1)");
    session.TurnPage(1);
    EXPECT_EQ(page().marks()[Place(dtNumber)].strings, "(1)") << "a page with a stored mark";
}

TEST_F(CorrectionPageTest, ANumberBecomesTheCommentsLastLine)
{
    const struct {
        QString before;
        QString after;
        QString stored;
    } cases[] = {
        {"", "(0)", "(0)\r\n"},
        {"잘 썼다", "잘 썼다\n(0)", "잘 썼다\r\n(0)\r\n"},
        {"잘 썼다\n", "잘 썼다\n(0)\n", "잘 썼다\r\n(0)\r\n"},
        {"\n\n", "\n\n(0)\n", "\r\n\r\n(0)\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before.toStdString());
        session.Load(Essays::Manuscript(20), DataSet(CorrectionRecord::fields()));
        session.TurnPage(0);
        page().setComment(c.before);
        QSignalSpy changes(&page(), &CorrectionPage::changed);
        Place(dtNumber);
        EXPECT_EQ(page().comment(), c.after);
        EXPECT_EQ(page().stored().comment, c.stored);
        ASSERT_EQ(changes.count(), 1);
        EXPECT_EQ(changes[0][0].value<CorrectionPage::Changes>(),
                  CorrectionPage::MarksChanged | CorrectionPage::CommentChanged);
    }
    // Any other mark leaves the comment alone.
    Place(dt12);
    EXPECT_EQ(page().comment(), "\n\n(0)\n");
}

TEST_F(CorrectionPageTest, MovingDeletingAndEditingTexts)
{
    Place(dt41, {10, 10}, {60, 40});
    Place(dtText, {100, 100}, {100, 100});
    Place(dtNumber, {200, 200}, {200, 200});

    page().setBounds(0, 70, 50, 20, 90);  // crossed edges stay as they are
    EXPECT_EQ(Edges(page().marks()[0]), QRect(QPoint(70, 50), QPoint(20, 90)));

    page().setText(1, QStringLiteral("ab\r\nabcd\r\n"), QStringLiteral("-3"), Measure);
    EXPECT_EQ(Edges(page().marks()[1]), QRect(QPoint(100, 100), QPoint(100 + 32 + 4, 100 + 24 + 4)));
    EXPECT_EQ(page().marks()[1].reportPoint, "-3");
    page().setText(0, QStringLiteral("긴 글을 적은 표"), {}, Measure);
    EXPECT_EQ(Edges(page().marks()[0]), QRect(QPoint(70, 50), QPoint(20, 90))) << "a mark keeps its size";

    // Emptied, a note keeps its size, shows its default and is no edit to save.
    session.SetModified(false);
    page().setText(1, {}, QStringLiteral("-1"), Measure);
    EXPECT_EQ(Edges(page().marks()[1]), QRect(QPoint(100, 100), QPoint(136, 128)));
    EXPECT_EQ(page().marks()[1].strings, "input Text");
    EXPECT_EQ(page().marks()[1].reportPoint, "-1");
    EXPECT_FALSE(session.Modified());
    page().setText(2, {}, {}, Measure);
    EXPECT_EQ(page().marks()[2].strings, "(1)");

    page().remove(1);
    EXPECT_EQ(Texts(), (QStringList{"긴 글을 적은 표", "(1)"}));
    for (int outside : {-1, 2, 9}) {
        page().remove(outside);
        page().setBounds(outside, 0, 0, 1, 1);
        page().setText(outside, QStringLiteral("x"), {}, Measure);
    }
    EXPECT_EQ(page().marks().size(), 2) << "an index outside the page changes nothing";
    EXPECT_TRUE(session.Modified());
}

TEST_F(CorrectionPageTest, UndoAndRedoFollowEachPageAndSpareATypedComment)
{
    Place(dt16, {100, 100}, {150, 130});
    Place(dtNumber);
    ASSERT_EQ(page().comment(), "(1)");
    page().setBounds(0, 200, 200, 250, 230);

    EXPECT_TRUE(session.Undo());
    EXPECT_EQ(page().marks()[0].left, 100) << "the move undone";
    EXPECT_TRUE(session.Undo());
    EXPECT_EQ(page().marks().size(), 1) << "the number undone";
    EXPECT_TRUE(page().comment().isEmpty()) << "with its line of the comment";
    EXPECT_TRUE(session.Redo());
    EXPECT_EQ(page().comment(), "(1)");

    // A comment typed since the step stays as typed.
    page().setComment(QStringLiteral("(1) 고쳐 쓸 곳"));
    EXPECT_TRUE(session.Undo());
    EXPECT_EQ(page().marks().size(), 1);
    EXPECT_EQ(page().comment(), "(1) 고쳐 쓸 곳");

    // Another page has its own history; coming back finds this one where it was left.
    session.TurnPage(1);
    EXPECT_FALSE(session.Undo()) << "page 2 has no step";
    Place(dt11);
    session.TurnPage(0);
    EXPECT_TRUE(session.Undo());
    EXPECT_TRUE(page().marks().isEmpty());
    EXPECT_FALSE(session.Undo());
    EXPECT_TRUE(session.Redo());
    EXPECT_EQ(page().marks().size(), 1);
    session.TurnPage(1);
    EXPECT_TRUE(session.Undo());
    EXPECT_EQ(page().marks().size(), 1) << "page 2 as loaded";
}

TEST_F(CorrectionPageTest, APageThatMayNotChangeRefusesEverything)
{
    Place(dt11);
    session.SetViewOnly();
    session.SetModified(false);
    QSignalSpy changes(&page(), &CorrectionPage::changed);
    QSignalSpy work(&session, &CorrectionSession::WorkChanged);

    EXPECT_EQ(Place(dt12), -1);
    page().setBounds(0, 1, 1, 2, 2);
    page().setText(0, QStringLiteral("x"), {}, Measure);
    page().setComment(QStringLiteral("평"));
    page().remove(0);
    EXPECT_FALSE(session.Undo());
    EXPECT_FALSE(session.Redo());
    EXPECT_EQ(page().marks().size(), 1);
    EXPECT_TRUE(page().comment().isEmpty());
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(work.count(), 0);
    EXPECT_FALSE(session.Modified());
}

TEST_F(CorrectionPageTest, UndoingBackToTheSavedPointLeavesTheWorkUnmodified)
{
    const struct {
        const char* name;
        std::function<void(CorrectionPageTest&)> act;  // from a saved page with one mark
        bool modified;
    } cases[] = {
        {"nothing", [](CorrectionPageTest&) {}, false},
        {"a mark placed", [](CorrectionPageTest& t) { t.Place(dt12); }, true},
        {"placed and undone",
         [](CorrectionPageTest& t) {
             t.Place(dt12);
             t.session.Undo();
         },
         false},
        {"undone past the saved point", [](CorrectionPageTest& t) { t.session.Undo(); }, true},
        {"undone and redone",
         [](CorrectionPageTest& t) {
             t.session.Undo();
             t.session.Redo();
         },
         false},
        {"a tool chosen, a mark placed and undone",
         [](CorrectionPageTest& t) {
             t.session.ToolChosen();
             t.Place(dt12);
             t.session.Undo();
         },
         false},
        {"a move that moved nothing",
         [](CorrectionPageTest& t) {
             const MarkRow m = t.page().marks()[0];
             t.page().setBounds(0, m.left, m.top, m.right, m.bottom);
         },
         true},
        {"a step on another page undone",
         [](CorrectionPageTest& t) {
             t.session.TurnPage(2);
             t.Place(dt12);
             t.session.Undo();
         },
         false},
        {"a step left on another page",
         [](CorrectionPageTest& t) {
             t.session.TurnPage(2);
             t.Place(dt12);
             t.session.TurnPage(0);
         },
         true},
        {"the comment typed, then a mark placed and undone",
         [](CorrectionPageTest& t) {
             t.session.SetModified(true);  // what a key in the comment box does
             t.Place(dt12);
             t.session.Undo();
         },
         true},
        {"the history moved after the saved point was cut off",
         [](CorrectionPageTest& t) {
             t.session.Undo();
             t.Place(dt12);
             t.session.Undo();
         },
         true},
    };
    for (const auto& c : cases) {
        SetUp();
        Place(dt11);
        session.SetModified(false);
        c.act(*this);
        EXPECT_EQ(session.Modified(), c.modified) << c.name;
    }
}

TEST_F(CorrectionPageTest, EditsTellTheJournalPageTurnsDoNot)
{
    QSignalSpy work(&session, &CorrectionSession::WorkChanged);
    session.TurnPage(1);
    EXPECT_EQ(work.count(), 0);
    Place(dt11);
    page().setComment(QStringLiteral("평"));
    session.Undo();
    session.Redo();
    EXPECT_EQ(work.count(), 4);
}

TEST_F(CorrectionPageTest, BackAtTheSavedPointTheJournalIsGone)
{
    session.ReadTeacherFields(LaunchFields({"T001", "T1", "pw", "1", "JOURNAL1", "S1", "", "", "1", "제목", ""}));
    CorrectionJournal journal(session);
    journal.keeper().start();
    Place(dt11);
    session.SetModified(false);
    journal.keeper().saved();

    Place(dt12);
    journal.keeper().flush();
    ASSERT_TRUE(journal.keeper().file().exists());
    session.Undo();
    EXPECT_FALSE(session.Modified());
    EXPECT_FALSE(journal.keeper().file().exists()) << "closing now asks nothing, so nothing may be offered later";
    EXPECT_FALSE(journal.keeper().dirty());

    session.Undo();  // past the saved point: unsaved work again
    journal.keeper().flush();
    EXPECT_TRUE(journal.keeper().file().exists());
    journal.keeper().saved();
}
