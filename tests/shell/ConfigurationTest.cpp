#include "ShellFixture.h"
#include "core/Endpoint.h"
#include "support/RecordingDialogs.h"
#include "text/Cp949.h"

#include <QLabel>
#include <gtest/gtest.h>

namespace {
QByteArray b64(const QString& text)
{
    return Cp949::encode(text).toBase64();
}
}

TEST(Configuration, TitleAndEndpointFromTheIniFile)
{
    const struct {
        const char* name;
        QByteArray ini;  // nullptr-like empty means no file
        QString title;
        QString clientIf;
        QString error;
    } cases[] = {
        {"no file", {}, "벨로루 zudur", "http://127.0.0.1:8765/clientif", {}},
        {"values decoded",
         "[CONFIG]\r\nURL=" + b64("http://school.test") + "\r\ntitle=" + b64("우리 학교 글방") + "\r\n",
         "우리 학교 글방",
         "http://school.test/clientif",
         {}},
        {"names without regard to case",
         "[config]\nurl=" + b64("http://a.test") + "\nTITLE=" + b64("T") + "\n",
         "T",
         "http://a.test/clientif",
         {}},
        {"empty URL is used, not the default", "[CONFIG]\nURL=\n", "벨로루 zudur", "/clientif", {}},
        {"slash at the end doubles",
         "[CONFIG]\nURL=" + b64("http://a.test/") + "\n",
         "벨로루 zudur",
         "http://a.test//clientif",
         {}},
        {"uneven URL stops the start-up", "[CONFIG]\nURL=abc\n", "벨로루 zudur", "/clientif",
         "Uneven size in DecodeToStream."},
        {"uneven title stops before the URL", "[CONFIG]\nURL=" + b64("http://a.test") + "\ntitle=abcde\n", "abcde",
         "/clientif", "Uneven size in DecodeToStream."},
        {"over-long value cut to 2047 is uneven", "[CONFIG]\nURL=" + QByteArray(2100, 'A') + "\n", "벨로루 zudur",
         "/clientif", "Uneven size in DecodeToStream."},
        {"foreign character", "[CONFIG]\nURL=aHR0c$8=\n", "벨로루 zudur", "/clientif",
         "Invalid base64 character '$' at position 6 in DecodeToStream."},
    };
    for (const auto& c : cases) {
        ScopedRecordingDialogs dialogs;
        ShellFixture fixture;
        if (!c.ini.isEmpty())
            fixture.write("dozoruderado.ini", c.ini);
        SetServerUrl(QString());
        const auto window = fixture.start(fixture.launchFile("s.dzl", StudentFields()));
        EXPECT_EQ(window->Label1->text(), c.title) << c.name;
        EXPECT_EQ(ClientIfUrl(), c.clientIf) << c.name;
        if (c.error.isEmpty()) {
            EXPECT_TRUE(dialogs->boxes.isEmpty()) << c.name;
            EXPECT_NE(window->FEditor, nullptr) << c.name;
        } else {
            EXPECT_EQ(dialogs->texts(RecordingDialogs::Kind::Error), QStringList{c.error}) << c.name;
            EXPECT_EQ(window->FEditor, nullptr) << c.name << ": the launch file must be skipped";
            EXPECT_EQ(window->size(), QSize(630, 448)) << c.name;
        }
    }
}
