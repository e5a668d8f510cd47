#include "ClientRun.h"
#include "Typist.h"
#include "document/EssayRecord.h"
#include "document/ManuscriptGrid.h"
#include "jpeg/Jpeg.h"
#include "report/TfrmPreview.h"
#include "shell/Startup.h"
#include "shell/TfrmMain.h"
#include "support/RecordingDialogs.h"
#include "support/TestPaths.h"
#include "text/Base64.h"
#include "ui/PictureButton.h"
#include "writing/ManuscriptView.h"
#include "writing/TSorEdit.h"
#include "writing/TfmeEditor.h"
#include "writing/WritingSession.h"

#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Kind = RecordingDialogs::Kind;

struct Caret {
    int line;
    int column;
    bool operator==(const Caret&) const = default;
};

void PrintTo(const Caret& c, std::ostream* os)
{
    *os << "(line " << c.line << ", column " << c.column << ")";
}

QString sampleEssay()
{
    QFile file(SourceDir() + QStringLiteral("/tests/e2e/data/sample-essay.txt"));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("sample essay missing");
    return QString::fromUtf8(file.readAll());
}

// Every cell of columns 1 to 21, line by line; blank cells read as "".
QStringList cells(const ManuscriptGrid& grid)
{
    QStringList out;
    for (int line = 0; line < grid.lineCount(); ++line)
        for (int column = 1; column <= 21; ++column)
            out << (grid.isBlank(line, column) ? QString() : grid.cell(line, column));
    return out;
}

DataSet record(const QByteArray& packet)
{
    DataSet data;
    EssayRecord::load(data, packet);
    return data;
}

QByteArray jpegPage(int width, int height, QColor colour)
{
    QImage page(width, height, QImage::Format_RGB32);
    page.fill(colour);
    return Jpeg::encode(page);
}

void click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

class StudentRun : public ClientRun {
protected:
    void open(const QString& launchAddress)
    {
        startClient(launchAddress);
        ASSERT_TRUE(window && window->FEditor);
        QApplication::processEvents();
    }
    void openDemoLecture() { open(QStringLiteral("/launch/S001/DEMO0001.dzl")); }

    TfmeEditor& editor() const { return *window->FEditor; }
    WritingSession& session() const { return editor().session(); }
    template <typename T>
    T* widget(const char* name) const
    {
        return editor().findChild<T*>(QLatin1String(name));
    }
    TSorEdit* edt() const { return widget<TSorEdit>("edt"); }
    ManuscriptView* grid() const { return widget<ManuscriptView>("grid"); }
    QPlainTextEdit* mem() const { return widget<QPlainTextEdit>("mem"); }
    QString countText() const { return widget<QLabel>("lblCount")->text(); }
    Caret caret() const
    {
        const QModelIndex current = grid()->currentIndex();
        return {current.row(), current.column()};
    }
    // Clicks into the sheet where the editor stands, then types.
    void typeOnSheet(const QString& text)
    {
        click(edt());
        TypeText(edt(), text);
    }
    void save() { click(editor().btnSave()); }
    DataSet storedRecord(const QString& key = QStringLiteral("DEMO0001")) const
    {
        const std::optional<QByteArray> packet = server.get(QStringLiteral("/essay/") + key);
        return packet ? record(*packet) : DataSet();
    }
};

TEST_F(StudentRun, TypedEssayIsStoredAndComesBackInTheNextRun)
{
    openDemoLecture();
    EXPECT_EQ(editor().Inx(), EssayRecord::Manuscript);
    typeOnSheet(sampleEssay());
    const QStringList typed = cells(session().grid());
    const QString count = countText();
    EXPECT_EQ(typed.mid(0, 4), (QStringList{{}, {}, {}, {}})) << "the title's indent";
    EXPECT_EQ(typed.mid(4, 2), (QStringList{"우", "리"}));

    save();
    ASSERT_TRUE(dialogs->boxes.isEmpty()) << dialogs->boxes.first().text.toStdString();
    EXPECT_EQ(session().LectureKey(), "DEMO0001");
    DataSet stored = storedRecord();
    ASSERT_EQ(EssayRecord::paperKind(stored), EssayRecord::Manuscript);
    ManuscriptGrid storedGrid;
    EssayRecord::toGrid(stored, storedGrid);
    EXPECT_EQ(cells(storedGrid), typed);
    EXPECT_TRUE(server.get(QStringLiteral("/"))->contains(">저장됨</span></td>")) << "the course page lists it";

    openDemoLecture();
    EXPECT_EQ(cells(session().grid()), typed);
    EXPECT_EQ(countText(), count);
    // The last line ends with the closing quote before column 20: the caret goes after it.
    int lastLine = session().grid().lineCount() - 1;
    while (lastLine > 0 && typed.mid(lastLine * 21, 21).join(QString()).trimmed().isEmpty())
        --lastLine;
    int lastColumn = 20;
    while (lastColumn > 1 && typed[lastLine * 21 + lastColumn - 1].trimmed().isEmpty())
        --lastColumn;
    ASSERT_LT(lastColumn, 20);
    EXPECT_EQ(caret(), (Caret{lastLine, lastColumn + 1}));
    EXPECT_TRUE(dialogs->boxes.isEmpty());
}

// Typing after a loaded essay continues it, never lands in front of its last line.
TEST_F(StudentRun, LoadedEssayPutsTheCaretAfterItsLastWrittenCell)
{
    const QString twenty = QStringLiteral("가나다라마바사아자차카타파하가나다라마바");
    const struct {
        const char* what;
        QString text;
        Caret expected;
    } cases[] = {
        {"a short line", QStringLiteral("가나 ab"), {0, 5}},
        {"the last cell in column 20: the next line", twenty, {1, 1}},
        {"a hanging period in the margin: the next line", twenty + QStringLiteral("."), {1, 1}},
        {"after empty lines", QStringLiteral("가\n\n\n나다"), {3, 3}},
    };
    for (const auto& c : cases) {
        open(QStringLiteral("/launch/new/S1001.dzl"));
        typeOnSheet(c.text);
        save();
        open(QStringLiteral("/launch/S001/%1.dzl").arg(session().LectureKey()));
        EXPECT_EQ(caret(), c.expected) << c.what;
        EXPECT_TRUE(edt()->hasFocus()) << c.what << ": the caret cell, not the title, takes the keys";
        const QRect cell = grid()->visualRect(grid()->currentIndex());
        EXPECT_EQ(edt()->pos(), grid()->viewport()->mapTo(&editor(), cell.topLeft()) + QPoint(5, 6))
            << c.what << ": the editor sits over the caret cell";
        typeOnSheet(QStringLiteral("끝"));
        EXPECT_EQ(session().grid().cell(c.expected.line, c.expected.column), QStringLiteral("끝")) << c.what;
    }
    EXPECT_TRUE(dialogs->boxes.isEmpty());
}

TEST_F(StudentRun, BlankPaperKeepsTheTypedLinesExactly)
{
    openDemoLecture();
    click(widget<QWidget>("btn2"));
    ASSERT_EQ(editor().Inx(), EssayRecord::BlankPaper);
    click(mem());
    TypeText(mem(), QStringLiteral("첫째 줄 ABC\n\n셋째 줄? 12, \"끝\".\n"));
    const QString count = countText();
    EXPECT_EQ(count, QStringLiteral("28 자")) << "22 characters and three line breaks of CR LF";
    save();
    ASSERT_TRUE(dialogs->boxes.isEmpty()) << dialogs->boxes.first().text.toStdString();

    DataSet stored = storedRecord();
    EXPECT_EQ(EssayRecord::paperKind(stored), EssayRecord::BlankPaper);
    EXPECT_EQ(stored.asString(u"LText"), QStringLiteral("첫째 줄 ABC\r\n\r\n셋째 줄? 12, \"끝\".\r\n"));
    EXPECT_TRUE(stored.isNull(u"L1"));

    openDemoLecture();
    EXPECT_EQ(editor().Inx(), EssayRecord::BlankPaper);
    EXPECT_EQ(mem()->toPlainText(), QStringLiteral("첫째 줄 ABC\n\n셋째 줄? 12, \"끝\".\n"));
    EXPECT_EQ(countText(), count);
}

TEST_F(StudentRun, ScannedEssayOpensPrintsAndIsSavedBackUnchanged)
{
    const QList<QByteArray> pages{jpegPage(300, 420, Qt::white), jpegPage(200, 280, Qt::darkCyan)};
    ASSERT_EQ(server.uploadScannedPages(QStringLiteral("DEMO0001"), pages), 200);
    const CourseServerRun::Stored uploaded = *server.essay(QStringLiteral("DEMO0001"));

    openDemoLecture();
    EXPECT_EQ(editor().Inx(), EssayRecord::ScannedPages);
    click(widget<QWidget>("Image5"));
    TfrmPreview* preview = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<TfrmPreview*>(w); p && p->isVisible())
            preview = p;
    ASSERT_TRUE(preview) << "no preview";
    QList<QSize> printed;
    for (const PreparedPage& page : preview->report().pages)
        for (const ReportItem& item : page.items)
            if (const auto* picture = std::get_if<ReportPicture>(&item))
                printed << picture->image.size();
    EXPECT_EQ(printed, (QList<QSize>{{300, 420}, {200, 280}}));
    preview->close();

    save();
    ASSERT_TRUE(dialogs->boxes.isEmpty()) << dialogs->boxes.first().text.toStdString();
    const CourseServerRun::Stored saved = *server.essay(QStringLiteral("DEMO0001"));
    EXPECT_EQ(saved.revision, uploaded.revision + 1);
    EXPECT_EQ(saved.record, uploaded.record) << "the same rows, byte for byte";
    DataSet rows = record(saved.record);
    ASSERT_EQ(rows.recordCount(), 2);
    for (const QByteArray& page : pages) {
        EXPECT_EQ(rows.asBytes(u"LImage"), page);
        rows.next();
    }
}

TEST_F(StudentRun, ASaveWhileTheServerIsDownFailsAndTheNextOneTakesTheNewLecture)
{
    open(QStringLiteral("/launch/new/S1001.dzl"));
    ASSERT_EQ(session().LectureKey(), QString());
    typeOnSheet(QStringLiteral("가나다 abc"));
    const QStringList typed = cells(session().grid());

    server.stop();
    save();
    EXPECT_EQ(dialogs->texts(Kind::Error).size(), 1);
    EXPECT_EQ(cells(session().grid()), typed);
    EXPECT_EQ(session().LectureKey(), QString());
    EXPECT_TRUE(session().cdEditor().isEmpty());

    server.start();
    const int lectures = server.lectureCount();
    save();
    const QString key = session().LectureKey();
    EXPECT_EQ(key.size(), 16) << key.toStdString();
    EXPECT_EQ(server.lectureCount(), lectures + 1);

    TypeText(edt(), QStringLiteral(" 라마"));
    save();
    EXPECT_EQ(session().LectureKey(), key);
    EXPECT_EQ(server.lectureCount(), lectures + 1) << "the second save went to the same lecture";
    const std::optional<CourseServerRun::Stored> stored = server.essay(key);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->revision, 2);
    ManuscriptGrid storedGrid;
    DataSet data = record(stored->record);
    EssayRecord::toGrid(data, storedGrid);
    EXPECT_EQ(cells(storedGrid), cells(session().grid()));
    EXPECT_EQ(dialogs->texts(Kind::Error).size(), 1);
}

TEST_F(StudentRun, ClosingWithUnsavedWritingTimeAsksToSave)
{
    for (const bool yes : {false, true}) {
        SCOPED_TRACE(yes ? "Yes" : "No");
        openDemoLecture();
        typeOnSheet(QStringLiteral("가나 "));
        EXPECT_TRUE(QTest::qWaitFor([this] { return session().TimerTicked(); }, 5000));
        dialogs->answers = {yes};
        window->close();
        EXPECT_EQ(dialogs->texts(Kind::Question), QStringList{"저장하시겠습니까?"});
        EXPECT_EQ(dialogs->texts(Kind::Error), QStringList());
        dialogs->boxes.clear();
        const std::optional<CourseServerRun::Stored> stored = server.essay(QStringLiteral("DEMO0001"));
        EXPECT_EQ(stored.has_value(), yes);
        if (stored) {
            EXPECT_TRUE(record(stored->record).asString(u"L1").startsWith(QStringLiteral("가\r\n")));
        }
    }
}

}
