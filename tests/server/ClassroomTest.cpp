// A class saving at once from behind one address while slow and idle clients from other
// addresses hold connections open: the course server in this process.
#include "RawClient.h"
#include "TestStore.h"

#include "document/EssayRecord.h"
#include "server/Accounts.h"
#include "server/CourseServer.h"
#include "server/CourseStore.h"
#include "support/HttpClient.h"
#include "support/ServingThread.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <thread>

namespace {

constexpr int kStudents = 30;
constexpr int kSavesEach = 34;  // 1,020 saves in all

std::string recordOf(int student, int save)
{
    DataSet record(EssayRecord::fields());
    EssayRecord::writeBlankPaper(record, "S1001", QStringLiteral("student %1 save %2").arg(student).arg(save));
    return EssayRecord::toPacket(record).toStdString();
}

TEST(Classroom, SavesFromOneAddressAllArriveWhileSlowClientsWait)
{
    QTemporaryDir dir;
    CourseStore store(TestStoreLocation(dir.path()));
    Accounts accounts(store);
    store.seedDemo();
    std::vector<std::string> tokens;
    for (int s = 0; s < kStudents; ++s) {
        const std::string number = "S" + std::to_string(3000 + s);
        store.addStudent({number, number}, "password", "T1001");
        store.addLecture("L" + number, number, "essay", "");
        tokens.push_back(accounts.issueToken({Role::Student, number}, Grant::Write, "L" + number, ""));
    }
    ServerOptions options;
    options.limits.headDeadline = std::chrono::seconds(2);
    CourseServer server(store, accounts, options);
    std::optional<ServingThread> serving(std::in_place, server);
    const int port = serving->port();
    ASSERT_GT(port, 0);
    const std::string host = "Host: 127.0.0.1:" + std::to_string(port) + "\r\n";

    // 24 clients trickling their headers, 16 uploading a byte at a time, from other addresses.
    std::vector<std::unique_ptr<RawClient>> tricklers;
    for (int i = 0; i < 24; ++i) {
        tricklers.push_back(std::make_unique<RawClient>(port, "127.0.0.2"));
        tricklers.back()->send("GET / HTTP/1.1\r\n" + host);
    }
    std::vector<std::unique_ptr<RawClient>> uploads;
    for (int i = 0; i < 16; ++i) {
        uploads.push_back(std::make_unique<RawClient>(port, i % 2 ? "127.0.0.3" : "127.0.0.4"));
        uploads.back()->send("POST /clientif HTTP/1.1\r\n" + host
                             + "Content-Type: multipart/form-data; boundary=B\r\nContent-Length: 100000\r\n\r\n");
    }
    std::atomic<bool> classDone{false};
    std::thread trickling([&] {
        while (!classDone) {
            for (auto& client : tricklers)
                client->send("X");
            for (auto& client : uploads)
                client->send("-");
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    });

    std::atomic<int> accepted{0};
    std::vector<std::thread> students;
    for (int s = 0; s < kStudents; ++s)
        students.emplace_back([&, s] {
            HttpClient client(port);
            const std::string number = "S" + std::to_string(3000 + s);
            for (int i = 0; i < kSavesEach; ++i) {
                const HttpClient::Answer answer =
                    client.postForm("/clientif", {{"flag", "S002", "", ""},
                                                  {"student_no", number, "", ""},
                                                  {"password", tokens[size_t(s)], "", ""},
                                                  {"lecturekey", "L" + number, "", ""},
                                                  {"submit", "N", "", ""},
                                                  {"title", "essay", "", ""},
                                                  {"file", recordOf(s, i), "Editor", "multipart/form-data"}});
                accepted += answer.body.rfind("200 ", 0) == 0;
            }
        });
    // Someone else, meanwhile, is answered at once.
    RawClient plain(port, "127.0.0.5");
    plain.send("GET /login HTTP/1.1\r\n" + host + "\r\n");
    EXPECT_EQ(plain.answer().substr(0, 12), "HTTP/1.1 200");
    for (std::thread& student : students)
        student.join();
    classDone = true;
    trickling.join();

    for (auto& client : tricklers)
        EXPECT_TRUE(client->closedByServer()) << "a trickler outlived its deadline";
    serving.reset();

    EXPECT_EQ(accepted, kStudents * kSavesEach);
    for (int s = 0; s < kStudents; ++s) {
        const std::string key = "LS" + std::to_string(3000 + s);
        EXPECT_EQ(store.lecture(key)->essayRevision, kSavesEach) << key;
        EXPECT_EQ(store.essay(key), recordOf(s, kSavesEach - 1)) << key;
    }
}

}
