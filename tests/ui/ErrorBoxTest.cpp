#include "core/AppError.h"
#include "core/TransferGate.h"
#include "support/RecordingDialogs.h"
#include "ui/ErrorBox.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>

TEST(ErrorBox, AddsFullStopOnlyAfterCharactersAboveIt)
{
    const struct {
        const char* message;
        const char* shown;
    } cases[] = {
        {"Uneven size in DecodeToStream.", "Uneven size in DecodeToStream."},
        {"List index out of bounds (3)", "List index out of bounds (3)"},
        {"Connection refused", "Connection refused."},
        {"답안지가 없습니다", "답안지가 없습니다."},
        {"ends in a comma,", "ends in a comma,"},
        {"ends in a slash/", "ends in a slash/."},
        {"version 2", "version 2."},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ErrorBoxText(QString::fromUtf8(c.message)), QString::fromUtf8(c.shown)) << c.message;
}

TEST(ErrorBox, CaptionIsTheApplicationTitle)
{
    ScopedRecordingDialogs dialogs;
    ShowErrorBox(QStringLiteral("오류"));
    ShowInfo(QStringLiteral("알림"));
    ASSERT_EQ(dialogs->boxes.size(), 2);
    EXPECT_EQ(dialogs->boxes[0].kind, RecordingDialogs::Kind::Error);
    EXPECT_EQ(dialogs->boxes[0].caption, QStringLiteral("벨로루라임글방"));
    EXPECT_EQ(dialogs->boxes[0].text, QStringLiteral("오류."));
    EXPECT_EQ(dialogs->boxes[1].caption, QStringLiteral("안내"));
    EXPECT_EQ(dialogs->boxes[1].text, QStringLiteral("알림"));
}

namespace {
class ThrowingWidget : public QWidget {
public:
    bool silent = false;

protected:
    void mousePressEvent(QMouseEvent*) override
    {
        if (silent)
            throw SilentAbort();
        throw AppError(QStringLiteral("handler failed"));
    }
};
}

TEST(Application, ErrorEscapingAnEventHandlerEndsInTheErrorBoxAndTheProgramGoesOn)
{
    ScopedRecordingDialogs dialogs;
    ThrowingWidget widget;
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &press);
    EXPECT_EQ(dialogs->texts(RecordingDialogs::Kind::Error), QStringList{"handler failed."});

    widget.silent = true;
    QCoreApplication::sendEvent(&widget, &press);
    EXPECT_EQ(dialogs->boxes.size(), 1) << "a silent abort shows nothing";
}

TEST(TransferGate, SecondTransferInsideTheFirstIsRefusedQuietly)
{
    int idles = 0;
    QObject::connect(&TransferGate::instance(), &TransferGate::idle, [&] { ++idles; });
    {
        TransferGate::Pass first;
        EXPECT_TRUE(TransferGate::instance().busy());
        EXPECT_THROW(TransferGate::Pass second, SilentAbort);
        EXPECT_TRUE(TransferGate::instance().busy()) << "the refused one must not end the first";
        EXPECT_EQ(idles, 0);
    }
    EXPECT_FALSE(TransferGate::instance().busy());
    EXPECT_EQ(idles, 1);
    TransferGate::instance().disconnect();
}
