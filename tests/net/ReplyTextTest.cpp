#include "net/ReplyText.h"

#include <gtest/gtest.h>

namespace {

struct SplitCase {
    const char* name;
    QString text;
    QString status;
    QString message;
    QString value;
};

const QString kEtx(QChar(0x03));

TEST(SplitReply, FollowsTheReplyLayout)
{
    const SplitCase cases[] = {
        {"accepted", "200 저장했습니다." + kEtx + "LK0042", "200", "저장했습니다.", "LK0042"},
        {"any separator", "200#msg" + kEtx + "v", "200", "msg", "v"},
        {"value trimmed of controls", "200 m" + kEtx + " \t\r\nKEY \r\n", "200", "m", "KEY"},
        {"only codes up to 32 are trimmed", "200 m" + kEtx + QStringLiteral(u"\u3000K\u3000"), "200", "m",
         QStringLiteral(u"\u3000K\u3000")},
        {"no 0x03: all is value", "200 NEWKEY \r\n", "200", "", "NEWKEY"},
        {"separator 0x03 is skipped", "200" + kEtx + "abc", "200", "", "abc"},
        {"first 0x03 ends the message", "500 a" + kEtx + "b" + kEtx + "c", "500", "a", "b" + kEtx + "c"},
        {"message keeps its blanks", "401  틀린 비밀번호 " + kEtx, "401", " 틀린 비밀번호 ", ""},
        {"status only", "200", "200", "", ""},
        {"four characters", "200 ", "200", "", ""},
        {"too short", "20", "20", "", ""},
        {"empty", "", "", "", ""},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ReplyText reply = SplitReply(c.text);
        EXPECT_EQ(reply.status, c.status);
        EXPECT_EQ(reply.message, c.message);
        EXPECT_EQ(reply.value, c.value);
    }
}

TEST(SplitReply, OnlyStatus200IsAccepted)
{
    EXPECT_TRUE(SplitReply("200 ok").accepted());
    EXPECT_FALSE(SplitReply("20").accepted());
    EXPECT_FALSE(SplitReply("").accepted());
    EXPECT_FALSE(SplitReply("401 no").accepted());
    EXPECT_FALSE(SplitReply(" 200 ok").accepted());
}

}
