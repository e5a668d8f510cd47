// The course page as a school sees it: the real server, signed in through its form in
// headless Chromium, every link followed, screenshots kept in the build folder.
#include "HeadlessBrowser.h"
#include "document/CorrectionRecord.h"
#include "document/EssayRecord.h"
#include "jpeg/Jpeg.h"
#include "support/CourseServerProcess.h"
#include "support/HttpClient.h"
#include "support/QStringPrinter.h"
#include "text/Cp949.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

using Form = std::vector<HttpClient::FormItem>;

std::string cp949(const char* utf8)
{
    return Cp949::encode(QString::fromUtf8(utf8)).toStdString();
}

std::string essayPacket(const QString& text)
{
    DataSet record(EssayRecord::fields());
    EssayRecord::writeBlankPaper(record, QStringLiteral("S1001"), text);
    return EssayRecord::toPacket(record).toStdString();
}

// The reply's value: the lecture key of a save.
std::string keyOf(const HttpClient::Answer& answer)
{
    const std::string::size_type split = answer.body.find('\x03');
    return split == std::string::npos ? std::string() : answer.body.substr(split + 1);
}

class CoursePageInBrowser : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        server = new CourseServerProcess;
        server->start();
        HttpClient client(QUrl(server->url()).port());
        const auto essay = [&](const std::string& key, const char* title, const char* text) {
            return client.postForm(
                "/clientif", Form{{"flag", "S002"},
                                  {"student_no", "S1001"},
                                  {"password", "student1"},
                                  {"lecturekey", key},
                                  {"submit", "N"},
                                  {"title", cp949(title)},
                                  {"file", essayPacket(QString::fromUtf8(text)), "Editor", "multipart/form-data"}});
        };
        essay("DEMO0001", "우리 동네 도서관에 다녀와서", "도서관에 다녀왔다.");
        corrected = keyOf(essay("", "가을 운동회", "운동회 날이었다."));
        QImage page(146, 200, QImage::Format_RGB32);
        page.fill(Qt::white);
        DataSet correction(CorrectionRecord::fields());
        client.postForm(
            "/clientif",
            Form{{"flag", "T002"},
                 {"teacher_no", "T1001"},
                 {"password", "teacher1"},
                 {"lecturekey", corrected},
                 {"student_no", "S1001"},
                 {"file", CorrectionRecord::toPacket(correction).toStdString(), "Teacher", "multipart/form-data"},
                 {"thumbnail", Jpeg::encode(page).toStdString(), "thumStream", "multipart/form-data"},
                 {"report_point", "92"},
                 {"submit", "N"}});
    }
    static void TearDownTestSuite()
    {
        delete server;
        server = nullptr;
    }

    void SetUp() override { browser = std::make_unique<HeadlessBrowser>(work.path()); }

    QString url(const QString& path) const { return server->url() + path; }
    void shoot(const char* name)
    {
        const QString dir = QStringLiteral(DZ_BUILD_ROOT "/screenshots");
        QDir().mkpath(dir);
        QFile file(QDir(dir).filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(browser->screenshotPng());
    }
    QString text() { return browser->evaluate(QStringLiteral("document.body.innerText")).toString(); }
    QString value(const char* expression) { return browser->evaluate(QString::fromUtf8(expression)).toString(); }
    int signIn(const QString& number, const QString& password)
    {
        browser->type(QStringLiteral("#number"), number);
        browser->type(QStringLiteral("#password"), password);
        return browser->clickAndWait(QStringLiteral("button[type=submit]"));
    }
    // Follows every link of the page shown and comes back; each must answer 200.
    void followEveryLink(const QString& page)
    {
        const QJsonArray links = browser->evaluate(QStringLiteral("[...document.links].map(a => a.href)")).toArray();
        ASSERT_FALSE(links.isEmpty());
        for (const QJsonValue& link : links) {
            EXPECT_EQ(browser->navigate(link.toString()), 200) << link.toString().toStdString();
            browser->navigate(page);
        }
    }

    static inline CourseServerProcess* server = nullptr;
    static inline std::string corrected;
    QTemporaryDir work;
    std::unique_ptr<HeadlessBrowser> browser;
};

TEST_F(CoursePageInBrowser, StudentSignsInSeesNamesAndTitlesAndEveryLinkAnswers)
{
    EXPECT_EQ(browser->navigate(url("/")), 200) << "the sign-in form";
    EXPECT_TRUE(browser->evaluate(QStringLiteral("location.pathname")).toString() == QLatin1String("/login"));

    EXPECT_EQ(signIn(QStringLiteral("S1001"), QStringLiteral("not-the-one")), 200) << "the form again";
    EXPECT_EQ(value("document.querySelector('#password').parentElement.querySelector('.error').textContent"),
              QStringLiteral("번호나 비밀번호가 맞지 않습니다."))
        << "beside the password field";
    EXPECT_EQ(value("document.querySelector('#number').value"), QStringLiteral("S1001"));
    shoot("course-page-login-error.png");

    EXPECT_EQ(signIn(QStringLiteral("S1001"), QStringLiteral("student1")), 200);
    ASSERT_EQ(value("location.pathname"), QStringLiteral("/"));
    const QString page = text();
    for (const char* shown : {"김하늘 님", "박선생 님", "우리 동네 도서관에 다녀와서", "가을 운동회", "제목", "상태",
                              "점수", "저장됨", "첨삭 완료", "92점", "글쓰기", "첨삭 보기", "새 글쓰기"})
        EXPECT_TRUE(page.contains(QString::fromUtf8(shown))) << shown << " in\n" << page.toStdString();
    for (const QString hidden : {QStringLiteral("DEMO0001"), QString::fromStdString(corrected), QStringLiteral("S1001"),
                                 QStringLiteral("T1001")})
        EXPECT_FALSE(page.contains(hidden)) << hidden.toStdString() << " in\n" << page.toStdString();
    // The corrected essay is viewed, no longer written.
    const QString correctedRow =
        value("[...document.querySelectorAll('tr')].find(r => r.innerText.includes('가을 운동회')).innerText");
    EXPECT_TRUE(correctedRow.contains(QStringLiteral("첨삭 완료"))) << correctedRow.toStdString();
    EXPECT_TRUE(correctedRow.contains(QStringLiteral("첨삭 보기"))) << correctedRow.toStdString();
    EXPECT_FALSE(correctedRow.contains(QStringLiteral("글쓰기"))) << correctedRow.toStdString();
    EXPECT_EQ(browser->evaluate(QStringLiteral("document.querySelector('img.thumbnail').naturalWidth")).toInt(), 146);
    shoot("course-page-student.png");
    EXPECT_EQ(browser->takeErrors(), QStringList());

    followEveryLink(url("/"));
    EXPECT_EQ(browser->takeErrors(), QStringList());
    const QStringList downloaded = QDir(browser->downloadDir()).entryList({QStringLiteral("*.dzl")}, QDir::Files);
    EXPECT_TRUE(downloaded.contains(QStringLiteral("S001-DEMO0001.dzl"))) << downloaded.join(u' ').toStdString();
    EXPECT_TRUE(downloaded.contains(QStringLiteral("C001-%1.dzl").arg(QString::fromStdString(corrected))))
        << downloaded.join(u' ').toStdString();

    EXPECT_EQ(browser->clickAndWait(QStringLiteral("header button")), 200) << "signed out";
    EXPECT_EQ(value("location.pathname"), QStringLiteral("/login"));
}

TEST_F(CoursePageInBrowser, TeacherSeesTheStudentByNameAndCorrects)
{
    browser->navigate(url("/login"));
    shoot("course-page-login.png");
    ASSERT_EQ(signIn(QStringLiteral("T1001"), QStringLiteral("teacher1")), 200);
    const QString page = text();
    for (const char* shown : {"박선생 님", "김하늘 님", "첨삭하기", "첨삭 보기", "92점"})
        EXPECT_TRUE(page.contains(QString::fromUtf8(shown))) << shown << " in\n" << page.toStdString();
    EXPECT_FALSE(page.contains(QStringLiteral("새 글쓰기")));
    shoot("course-page-teacher.png");
    followEveryLink(url("/"));
    EXPECT_EQ(browser->takeErrors(), QStringList());
}

}
