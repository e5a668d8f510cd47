// Two course-server instances on one PostgreSQL database behind nginx: either answers for
// what the other handed out, and losing one loses no save it acknowledged.
#include "TestStore.h"
#include "support/NginxBalancer.h"

#include "document/EssayRecord.h"
#include "server/Accounts.h"
#include "server/CourseStore.h"
#include "support/CourseServerProcess.h"
#include "support/HttpClient.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kClients = 50;

std::string recordOf(int client, int save)
{
    DataSet record(EssayRecord::fields());
    EssayRecord::writeBlankPaper(record, "S1001", QStringLiteral("client %1 save %2").arg(client).arg(save));
    return EssayRecord::toPacket(record).toStdString();
}

HttpClient::Answer saveEssay(HttpClient& client, const std::string& student, const std::string& token,
                             const std::string& key, const std::string& record)
{
    return client.postForm("/clientif", {{"flag", "S002", "", ""},
                                         {"student_no", student, "", ""},
                                         {"password", token, "", ""},
                                         {"lecturekey", key, "", ""},
                                         {"submit", "N", "", ""},
                                         {"title", "t", "", ""},
                                         {"file", record, "Editor", "multipart/form-data"}});
}

// The key an accepted save answered with; empty when it was not accepted.
std::string acceptedKey(const HttpClient::Answer& answer)
{
    if (answer.status != 200 || answer.body.rfind("200 ", 0) != 0)
        return {};
    return answer.body.substr(answer.body.find('\x03') + 1);
}

class InstancesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!TestStoreIsPostgres())
            GTEST_SKIP() << "several instances share a PostgreSQL store only";
        for (auto& instance : instances) {
            instance = std::make_unique<CourseServerProcess>(QString::fromStdString(location),
                                                             QStringList{"--trusted-proxy", "127.0.0.1"});
            instance->start();
        }
        store = std::make_unique<CourseStore>(location);
        accounts = std::make_unique<Accounts>(*store);
    }
    // Students who sign in with launch tokens only (no password hash to wait for).
    void addStudents(int count)
    {
        store->engine().write([&](SqlConnection& db) {
            for (int s = 0; s < count; ++s)
                db.run("INSERT INTO students (student_no, name, password_hash, teacher_no) "
                       "VALUES ($1, $1, 'no password', 'T1001')",
                       {"S" + std::to_string(5000 + s)});
        });
    }

    std::string location = TestStoreIsPostgres() ? TestStoreLocation({}) : std::string();
    std::unique_ptr<CourseServerProcess> instances[2];
    std::unique_ptr<CourseStore> store;
    std::unique_ptr<Accounts> accounts;
};

TEST_F(InstancesTest, ALaunchTokenIssuedByOneInstanceWorksOnTheOther)
{
    HttpClient first(instances[0]->url().section(':', 2).toInt());
    const HttpClient::Answer launch =
        first.get("/launch/S001/DEMO0001.dzl", {{"Authorization", HttpClient::basic("S1001", "student1")}});
    ASSERT_EQ(launch.status, 200) << launch.body;
    const std::string token = QString::fromStdString(launch.body).split('\x03').value(2).toStdString();
    ASSERT_EQ(token.size(), 64u) << launch.body;

    HttpClient second(instances[1]->url().section(':', 2).toInt());
    const std::string record = recordOf(0, 0);
    EXPECT_EQ(acceptedKey(saveEssay(second, "S1001", token, "DEMO0001", record)), "DEMO0001");
    EXPECT_EQ(store->essay("DEMO0001"), record);
    // The record address of the launch file answers on the first instance to the same token.
    EXPECT_EQ(first.get("/essay/DEMO0001?t=" + token).body, record);
}

TEST_F(InstancesTest, TwoInstancesRacingANewEssaysFirstSaveOpenOneLecture)
{
    constexpr int kRaces = 20;
    addStudents(1);
    const std::string student = "S5000";
    const int ports[] = {instances[0]->url().section(':', 2).toInt(), instances[1]->url().section(':', 2).toInt()};
    for (int race = 0; race < kRaces; ++race) {
        const std::string token = accounts->issueToken({Role::Student, student}, Grant::Write, "", "");
        const std::string record = recordOf(race, 0);
        std::string keys[2];
        std::atomic<int> ready{0};
        std::thread racers[2];
        for (int i = 0; i < 2; ++i)
            racers[i] = std::thread([&, i] {
                HttpClient client(ports[i]);
                client.get("/login");  // connected before the start
                ++ready;
                while (ready < 2) {
                }
                keys[i] = acceptedKey(saveEssay(client, student, token, "", record));
            });
        for (std::thread& racer : racers)
            racer.join();
        EXPECT_FALSE(keys[0].empty());
        EXPECT_EQ(keys[0], keys[1]) << "race " << race;
    }
    EXPECT_EQ(store->lecturesOf({Role::Student, student}).size(), std::size_t(kRaces));
}

// 50 clients save through nginx; half-way one instance is killed outright. Every save that
// was answered "200" must be stored: each client's essay is its last acknowledged record or
// one sent after it, and its revision counts at least every acknowledged save.
TEST_F(InstancesTest, KillingAnInstanceLosesNoAcknowledgedSave)
{
    const char* seconds = std::getenv("DZ_INSTANCES_SECONDS");
    const auto duration = std::chrono::seconds(seconds ? std::atoi(seconds) : 30);
    addStudents(kClients);
    std::vector<std::string> tokens, keys;
    for (int c = 0; c < kClients; ++c) {
        const std::string student = "S" + std::to_string(5000 + c);
        keys.push_back(store->addLecture("L" + student, student, "t", ""));
        tokens.push_back(accounts->issueToken({Role::Student, student}, Grant::Write, keys.back(), ""));
    }
    const NginxBalancer proxy(
        {instances[0]->url().section(':', 2).toInt(), instances[1]->url().section(':', 2).toInt()});
    const int port = proxy.port();

    struct Progress {
        int sent = 0;
        int lastAcknowledged = -1;
        int acknowledged = 0;
        int refused = 0;
    };
    std::vector<Progress> progress(kClients);
    std::atomic<bool> stop{false};
    std::vector<std::thread> clients;
    for (int c = 0; c < kClients; ++c)
        clients.emplace_back([&, c] {
            HttpClient client(port);
            Progress& mine = progress[std::size_t(c)];
            while (!stop) {
                const HttpClient::Answer answer =
                    saveEssay(client, "S" + std::to_string(5000 + c), tokens[std::size_t(c)], keys[std::size_t(c)],
                              recordOf(c, mine.sent));
                if (!acceptedKey(answer).empty()) {
                    mine.lastAcknowledged = mine.sent;
                    ++mine.acknowledged;
                } else {
                    ++mine.refused;
                }
                ++mine.sent;
            }
        });
    std::this_thread::sleep_for(duration / 2);
    ASSERT_EQ(::kill(pid_t(instances[0]->pid()), SIGKILL), 0);
    int acknowledgedBefore = 0;
    for (const Progress& p : progress)
        acknowledgedBefore += p.acknowledged;
    std::this_thread::sleep_for(duration / 2);
    stop = true;
    for (std::thread& client : clients)
        client.join();

    int acknowledged = 0, refused = 0;
    for (int c = 0; c < kClients; ++c) {
        const Progress& p = progress[std::size_t(c)];
        acknowledged += p.acknowledged;
        refused += p.refused;
        ASSERT_GE(p.lastAcknowledged, 0) << "client " << c << " never saved";
        const std::optional<std::string> stored = store->essay(keys[std::size_t(c)]);
        ASSERT_TRUE(stored);
        bool storedIsLastOrLater = false;
        for (int s = p.lastAcknowledged; s < p.sent && !storedIsLastOrLater; ++s)
            storedIsLastOrLater = *stored == recordOf(c, s);
        EXPECT_TRUE(storedIsLastOrLater) << "client " << c << " lost its save " << p.lastAcknowledged;
        EXPECT_GE(store->lecture(keys[std::size_t(c)])->essayRevision, p.acknowledged) << "client " << c;
    }
    // The second half was answered by the instance left.
    EXPECT_GT(acknowledged - acknowledgedBefore, acknowledgedBefore / 4);
    std::printf("acknowledged %d saves (%d before the kill), %d not answered 200\n", acknowledged, acknowledgedBefore,
                refused);
}

}
