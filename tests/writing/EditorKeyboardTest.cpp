#include "FrameFixture.h"
#include "SheetText.h"
#include "core/Endpoint.h"
#include "support/RecordingDialogs.h"

#include <QAccessible>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QString FocusName()
{
    QWidget* focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QString();
}

void Activate(FrameFixture& f)
{
    f.editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.editor.get()));
}

}

TEST(EditorKeyboard, TabWalksTheButtonsAndTheCellAndLeavesTheBlankPaper)
{
    const struct {
        QString paper;
        QStringList walk;
    } cases[] = {
        {"0", {"btn1", "btn2", "edt", "grid", "Image5", "btnSave"}},
        {"1", {"btn1", "btn2", "mem", "Image5", "btnSave"}},
    };
    for (const auto& c : cases) {
        FrameFixture f(FrameFixture::fields("0", "", "1", "0", c.paper));
        Activate(f);
        f.button("btn1")->setFocus(Qt::TabFocusReason);
        QStringList walk{FocusName()};
        for (int i = 1; i < c.walk.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            walk << FocusName();
        }
        EXPECT_EQ(walk, c.walk) << c.paper.toStdString();
    }

    FrameFixture blank(FrameFixture::fields("0", "", "1", "0", "1"));
    Activate(blank);
    blank.mem()->setFocus();
    QTest::keyClick(blank.mem(), Qt::Key_Tab, Qt::ControlModifier);
    QTest::keyClick(blank.mem(), Qt::Key_Tab);
    EXPECT_EQ(FocusName(), "Image5");
    EXPECT_EQ(blank.mem()->toPlainText(), QStringLiteral("\t")) << "only Ctrl+Tab types";
}

TEST(EditorKeyboard, ButtonsAreNamedPushButtonsAndTheReadOnlyOnesSaySoAndIgnoreCtrlS)
{
    for (const QString editable : {"1", "0"}) {
        FrameFixture f(FrameFixture::fields("0", "", editable));
        Activate(f);
        // The paper buttons are toggles: the paper shown is the checked one.
        const struct {
            const char* name;
            const char* word;
            bool disabled;
            QAccessible::Role role;
        } cases[] = {{"btn1", "원고지", editable == "0", QAccessible::CheckBox},
                     {"btn2", "백지", editable == "0", QAccessible::CheckBox},
                     {"Image5", "출력", false, QAccessible::Button},
                     {"btnSave", "임시저장", editable == "0", QAccessible::Button}};
        for (const auto& c : cases) {
            QAccessibleInterface* button = QAccessible::queryAccessibleInterface(f.button(c.name));
            EXPECT_EQ(button->role(), c.role) << c.name;
            EXPECT_EQ(button->text(QAccessible::Name), QString::fromUtf8(c.word)) << c.name;
            EXPECT_EQ(button->state().disabled, c.disabled) << c.name << editable.toStdString();
        }

        int saves = 0;
        int prints = 0;
        // The presses run the frame's own save, which meets a closed port, and print.
        ScopedRecordingDialogs dialogs;
        SetServerUrl(QStringLiteral("http://127.0.0.1:1"));
        QObject::connect(f.button("btnSave"), &PictureButton::clicked, [&] { ++saves; });
        QObject::connect(f.button("Image5"), &PictureButton::clicked, [&] { ++prints; });
        QWidget* typing = editable == "1" ? static_cast<QWidget*>(f.edt()) : f.grid();
        typing->setFocus();
        QTest::keyClick(typing, Qt::Key_S, Qt::ControlModifier);
        QTest::keyClick(typing, Qt::Key_P, Qt::ControlModifier);
        EXPECT_EQ(saves, editable == "1" ? 1 : 0);
        EXPECT_EQ(prints, 1);
        EXPECT_EQ(f.cells().cell(0, 1).trimmed(), QString()) << "the keys typed nothing";
    }
}

// A screen reader goes through the sheet a line at a time as well as cell by cell: the
// counter cell of each line reads the whole line; the time and the count say what they are.
TEST(EditorAccessibility, SheetIsReadALineAtATimeAndTheCountersHaveNames)
{
    FrameFixture f;
    SheetText::setLine(f.cells(), 2, QStringLiteral("가을 하늘"));
    f.cells().setCell(2, 21, QStringLiteral("."));
    QAccessibleTableInterface* sheet = QAccessible::queryAccessibleInterface(f.grid())->tableInterface();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->cellAt(2, 0)->text(QAccessible::Name),
              QStringLiteral("3줄: 가을 하늘") + QString(15, u' ') + u'.');
    EXPECT_EQ(sheet->cellAt(2, 1)->text(QAccessible::Name), QStringLiteral("가"));
    EXPECT_EQ(sheet->rowDescription(1), QStringLiteral("2줄: 빈 줄"));
    EXPECT_EQ(f.cells().lineText(2), QStringLiteral("가을 하늘") + QString(15, u' ') + u'.');

    f.edt()->setFocus();
    QTest::keyClick(f.edt(), Qt::Key_A);
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.label("lblCount")->text() != QStringLiteral("0"); }));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(f.label("lblCount"))->text(QAccessible::Name),
              QStringLiteral("글자 수 ") + f.label("lblCount")->text());
    f.session().TimerTimer(f.session().StartTime().addSecs(65));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(f.label("lblTime"))->text(QAccessible::Name),
              QStringLiteral("쓴 시간 00:01:05"));
}

// Laid out in logical pixels, the same at every scale factor.
TEST(EditorLayout, TheWarningLineLiesBelowThePaperButtonsAndInsideItsBar)
{
    FrameFixture f;
    QLabel* warning = f.label("Label6");
    const QRect line = warning->geometry().united(f.label("Label5")->geometry());
    for (const char* name : {"btn1", "btn2", "btnAG"})
        EXPECT_FALSE(line.intersects(f.button(name)->geometry())) << name;
    EXPECT_LE(line.bottom(), warning->parentWidget()->height() - 1);
    EXPECT_GE(line.height(), warning->fontMetrics().height());
}
