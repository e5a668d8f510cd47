#include "core/AppError.h"
#include "support/ModalBoxes.h"
#include "ui/DialogService.h"
#include "ui/ErrorBox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <gtest/gtest.h>

// The program's real service, as it runs: boxes with their own event loops.
class MessagePath : public ::testing::Test {
protected:
    void SetUp() override { previous_ = DialogService::replace(std::make_unique<MessageBoxDialogService>()); }
    void TearDown() override { DialogService::replace(std::move(previous_)); }

private:
    std::unique_ptr<DialogService> previous_;
};

TEST_F(MessagePath, BoxOpensOnlyAfterTheHandlerThatAskedForItReturned)
{
    ModalBoxes boxes;
    bool handlerReturned = false;
    bool returnedWhenBoxOpened = false;
    boxes.inspect = [&](QMessageBox&) { returnedWhenBoxOpened = handlerReturned; };
    QMetaObject::invokeMethod(
        qApp,
        [&] {
            ShowInfo(QStringLiteral("첫째"));
            handlerReturned = true;
        },
        Qt::QueuedConnection);
    ASSERT_TRUE(boxes.waitFor(1));
    EXPECT_TRUE(returnedWhenBoxOpened);
    EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("첫째")});
}

TEST_F(MessagePath, EditorDestroyedByItsOwnHandlerLeavesTheProgramAlive)
{
    // The shape of an item view's editor: its text handler asks for a box, and the box's
    // answer would close the editor while the handler is still on the stack.
    ModalBoxes boxes;
    QPointer<QLineEdit> editor = new QLineEdit;
    editor->show();
    QObject::connect(editor, &QLineEdit::textEdited, editor, [&editor](const QString& text) {
        ShowInfo(QStringLiteral("0 부터 50 이하의 값만 들어갈수 있습니다."));
        QMetaObject::invokeMethod(editor, &QObject::deleteLater, Qt::QueuedConnection);
        editor->setProperty("seen", text);
    });
    QKeyEvent press(QEvent::KeyPress, Qt::Key_9, Qt::NoModifier, QStringLiteral("9"));
    QApplication::sendEvent(editor, &press);
    ASSERT_TRUE(boxes.waitFor(1));
    QApplication::processEvents();
    EXPECT_TRUE(editor.isNull());
}

TEST_F(MessagePath, BoxesOpenOneAfterAnotherInTheOrderAskedAndAQuestionWaitsForThem)
{
    ModalBoxes boxes;
    boxes.answers = {QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Yes};
    bool answer = false;
    QMetaObject::invokeMethod(
        qApp,
        [&] {
            ShowInfo(QStringLiteral("하나"));
            ShowErrorBox(QStringLiteral("둘"));
            answer = DialogService::instance().question(QStringLiteral("확인"), QStringLiteral("셋"));
        },
        Qt::QueuedConnection);
    ASSERT_TRUE(boxes.waitFor(3));
    EXPECT_EQ(boxes.texts, (QStringList{QStringLiteral("하나"), QStringLiteral("둘."), QStringLiteral("셋")}));
    EXPECT_TRUE(answer);
}

TEST_F(MessagePath, ErrorEscapingAGuardedHandlerEndsInTheErrorBox)
{
    ModalBoxes boxes;
    QMetaObject::invokeMethod(
        qApp, [] { Guarded([] { throw AppError(QStringLiteral("저장할 수 없습니다")); }); }, Qt::QueuedConnection);
    ASSERT_TRUE(boxes.waitFor(1));
    EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("저장할 수 없습니다.")});
}

TEST_F(MessagePath, ServerTextIsShownAsPlainText)
{
    ModalBoxes boxes;
    Qt::TextFormat format = Qt::AutoText;
    boxes.inspect = [&](QMessageBox& box) { format = box.textFormat(); };
    QTimer::singleShot(0, qApp, [] { ShowInfo(QStringLiteral("<h1>큰 글씨</h1><img src=\"file:///etc/passwd\">")); });
    ASSERT_TRUE(boxes.waitFor(1));
    EXPECT_EQ(format, Qt::PlainText);
}
