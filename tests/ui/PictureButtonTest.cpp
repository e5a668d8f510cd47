#include "ui/Keyboard.h"
#include "ui/PictureButton.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

QPixmap Face(QColor colour)
{
    QPixmap pixmap(60, 24);
    pixmap.fill(colour);
    return pixmap;
}

// A shown window with an edit box and a picture button under it, the box focused.
struct Window {
    Window()
    {
        auto* layout = new QVBoxLayout(&widget);
        layout->addWidget(edit);
        layout->addWidget(button);
        QObject::connect(button, &PictureButton::clicked, [this] { ++clicks; });
        widget.show();
        widget.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&widget));
        edit->setFocus();
    }
    QWidget widget;
    QLineEdit* edit = new QLineEdit;
    PictureButton* button = new PictureButton(Face(Qt::yellow), QStringLiteral("임시저장"), nullptr);
    int clicks = 0;
};

}

TEST(PictureButton, IsAnAccessiblePushButtonNamedByItsWordThatSaysWhenItIsDisabled)
{
    Window w;
    QAccessibleInterface* button = QAccessible::queryAccessibleInterface(w.button);
    ASSERT_TRUE(button);
    EXPECT_EQ(button->role(), QAccessible::Button);
    EXPECT_EQ(button->text(QAccessible::Name), QStringLiteral("임시저장"));
    EXPECT_TRUE(button->state().focusable);
    EXPECT_FALSE(button->state().disabled);
    ASSERT_TRUE(button->actionInterface());
    EXPECT_TRUE(button->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));

    // The action presses the button as a click shown on screen: it comes a moment later.
    button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.clicks == 1; }));

    w.button->setEnabled(false);
    EXPECT_TRUE(button->state().disabled);
    button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTest::qWait(300);
    EXPECT_EQ(w.clicks, 1) << "a disabled button does nothing";
}

TEST(PictureButton, TabReachesItAndSpaceOrEnterPressesIt)
{
    Window w;
    QTest::keyClick(w.edit, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), w.button);
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter})
        QTest::keyClick(w.button, key);
    EXPECT_EQ(w.clicks, 3);
}

TEST(PictureButton, FocusIsMarkedAndTheMouseLeavesTheFocusWhereItWas)
{
    Window w;
    const QImage plain = w.button->grab().toImage();
    EXPECT_EQ(plain.pixelColor(1, 1), QColor(Qt::yellow));

    QTest::mouseClick(w.button, Qt::LeftButton, {}, w.button->rect().center());
    EXPECT_EQ(w.clicks, 1);
    EXPECT_EQ(QApplication::focusWidget(), w.edit) << "typing goes on where it was";
    QTest::mouseClick(w.button, Qt::RightButton, {}, w.button->rect().center());
    EXPECT_EQ(w.clicks, 1);

    w.button->setFocus(Qt::TabFocusReason);
    const QImage focused = w.button->grab().toImage();
    EXPECT_NE(focused.pixelColor(1, 1), QColor(Qt::yellow)) << "a frame inside the edge";
    EXPECT_EQ(focused.pixelColor(30, 12), QColor(Qt::yellow)) << "the picture stays";
}

TEST(Keyboard, TabLeavesAMemoAndCtrlTabTypesATab)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* memo = new QPlainTextEdit;
    auto* after = new QLineEdit;
    layout->addWidget(memo);
    layout->addWidget(after);
    Keyboard::TabLeavesMemo(memo);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    memo->setFocus();

    QTest::keyClick(memo, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("\t"));
    QTest::keyClick(memo, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), after);
    QTest::keyClick(after, Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), memo);
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("\t"));
}

TEST(Keyboard, AShortcutPressesItsButtonOnlyWhileItIsShownAndEnabled)
{
    Window w;
    Keyboard::PressOnKey(w.button, QKeySequence(Qt::CTRL | Qt::Key_S));
    const struct {
        bool shown;
        bool enabled;
        int clicks;
    } cases[] = {{true, true, 1}, {true, false, 0}, {false, true, 0}};
    for (const auto& c : cases) {
        w.clicks = 0;
        w.button->setVisible(c.shown);
        w.button->setEnabled(c.enabled);
        QTest::keyClick(w.edit, Qt::Key_S, Qt::ControlModifier);
        EXPECT_EQ(w.clicks, c.clicks) << c.shown << c.enabled;
    }
}
