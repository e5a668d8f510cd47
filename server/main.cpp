// course-server [seed | migrate | export FILE | import FILE | user add ROLE NUMBER NAME [--teacher NUMBER]
//               | bank stock FILE.csv]
//               [--data DIR | --store LOCATION]
//               [--listen HOST:PORT] [--name HOST]... [--public-url URL]
//               [--tls-cert FILE --tls-key FILE] [--max-body BYTES] [--per-address N]
//               [--trusted-proxy ADDRESS]
#include "Accounts.h"
#include "BankStock.h"
#include "CourseServer.h"
#include "CourseStore.h"
#include "StoreTransfer.h"

#include <algorithm>
#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <pthread.h>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Options {
    std::vector<std::string> command;
    std::string data = ".";
    std::string store;
    std::string host = "127.0.0.1";
    int port = 8765;
    std::string teacher;
    ServerOptions server;
};

const char* kUsage = "usage: course-server [STORE] [--listen HOST:PORT] [--name HOST]... [--public-url URL]\n"
                     "                     [--tls-cert FILE --tls-key FILE] [--max-body BYTES] [--per-address N]\n"
                     "                     [--trusted-proxy ADDRESS]\n"
                     "       course-server seed [STORE]\n"
                     "       course-server migrate [STORE]\n"
                     "       course-server export FILE [STORE]      (the whole course, to move it to another store)\n"
                     "       course-server import FILE [STORE]      (into a new, empty store)\n"
                     "       course-server user add teacher NUMBER NAME [STORE]\n"
                     "       course-server user add student NUMBER NAME --teacher NUMBER [STORE]\n"
                     "         (the password is read from the first line of standard input)\n"
                     "       course-server bank stock FILE.csv [STORE]  (the comment bank's stock entries)\n"
                     "  STORE: --data DIR (SQLite in DIR/course.sqlite, the default: the current folder), or\n"
                     "         --store sqlite:PATH | --store postgresql://HOST/DB | --store \"service=NAME\"\n"
                     "         (PostgreSQL passwords belong in ~/.pgpass or a service file, not here)\n";

int usage(const char* message)
{
    std::fprintf(stderr, "course-server: %s\n%s", message, kUsage);
    return 2;
}

bool parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--", 0) != 0) {
            options.command.push_back(arg);
            continue;
        }
        if (i + 1 >= argc)
            return false;
        const std::string value = argv[++i];
        try {
            if (arg == "--data") {
                options.data = value;
            } else if (arg == "--store") {
                options.store = value;
            } else if (arg == "--listen") {
                const auto colon = value.rfind(':');
                if (colon == std::string::npos)
                    return false;
                options.host = value.substr(0, colon);
                if (options.host.size() > 2 && options.host.front() == '[' && options.host.back() == ']')
                    options.host = options.host.substr(1, options.host.size() - 2);
                options.port = std::stoi(value.substr(colon + 1));
            } else if (arg == "--name") {
                options.server.names.push_back(value);
            } else if (arg == "--public-url") {
                if (value.rfind("http://", 0) != 0 && value.rfind("https://", 0) != 0)
                    return false;
                options.server.publicUrl = value.back() == '/' ? value.substr(0, value.size() - 1) : value;
            } else if (arg == "--tls-cert") {
                options.server.tlsCert = value;
            } else if (arg == "--tls-key") {
                options.server.tlsKey = value;
            } else if (arg == "--max-body") {
                options.server.limits.maxBody = std::stoull(value);
            } else if (arg == "--per-address") {
                options.server.limits.unfinishedPerAddress = std::stoi(value);
            } else if (arg == "--trusted-proxy") {
                options.server.trustedProxy = value;
            } else if (arg == "--teacher") {
                options.teacher = value;
            } else {
                return false;
            }
        } catch (const std::exception&) {
            return false;
        }
    }
    return options.port >= 0 && options.port <= 65535 && options.server.limits.unfinishedPerAddress > 0
           && options.server.tlsCert.empty() == options.server.tlsKey.empty();
}

bool loopback(const std::string& host)
{
    return host == "127.0.0.1" || host == "localhost" || host == "::1" || host.rfind("127.", 0) == 0;
}

int addUser(CourseStore& store, const Options& options)
{
    const std::vector<std::string>& c = options.command;
    if (c.size() != 5 || c[1] != "add" || (c[2] != "teacher" && c[2] != "student")
        || (c[2] == "student") == options.teacher.empty())
        return usage("bad arguments for user add");
    const Person person{c[3], c[4]};
    // Numbers travel in addresses and launch files: letters and digits only.
    if (person.number.empty() || person.number.size() > 20
        || !std::all_of(person.number.begin(), person.number.end(), [](unsigned char ch) { return std::isalnum(ch); }))
        return usage(
            ("the number \"" + person.number + "\" must be 1 to 20 letters and digits (A-Z, a-z, 0-9)").c_str());
    if (store.personExists(person.number))
        return usage(("the number " + person.number + " is taken").c_str());
    std::string password;
    std::getline(std::cin, password);
    if (password.size() < 8)
        return usage("the password (first line of standard input) needs at least 8 characters");
    if (c[2] == "teacher") {
        store.addTeacher(person, password);
    } else {
        if (!store.personExists(options.teacher))
            return usage(("no teacher has the number " + options.teacher).c_str());
        store.addStudent(person, password, options.teacher);
    }
    std::printf("%s %s (%s) added\n", c[2].c_str(), person.number.c_str(), person.name.c_str());
    return 0;
}

// The stock set of the comment banks becomes the file's rows, all or none.
int loadStock(CourseStore& store, const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + file);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t count = LoadBankStock(store.engine(), bytes);
    std::printf("%zu stock entries of the comment bank loaded from %s\n", count, file.c_str());
    return 0;
}

int transfer(CourseStore& store, const std::string& direction, const std::string& file)
{
    const auto told = [](const std::string& table, long long rows) {
        std::fprintf(stderr, "  %s: %lld rows\n", table.c_str(), rows);
    };
    if (direction == "export") {
        // Written beside the file and renamed at the end: a dump that exists is whole.
        const std::string partial = file + ".partial";
        try {
            std::ofstream out(partial, std::ios::binary | std::ios::trunc);
            if (!out)
                throw std::runtime_error("cannot write " + partial + ": " + std::strerror(errno));
            StoreTransfer::Export(store.engine(), out, told);
        } catch (...) {
            std::filesystem::remove(partial);
            throw;
        }
        std::filesystem::rename(partial, file);
        std::printf("the %s store is exported to %s\n", store.engine().kind(), file.c_str());
        return 0;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + file + ": " + std::strerror(errno));
    StoreTransfer::Import(store.engine(), in, told);
    std::printf("%s is imported into the %s store\n", file.c_str(), store.engine().kind());
    return 0;
}

sigset_t stopSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signals;
}

int serve(CourseStore& store, Accounts& accounts, const Options& options)
{
    const sigset_t signals = stopSignals();

    CourseServer server(store, accounts, options.server);
    const int port = server.bind(options.host, options.port);
    if (port < 0) {
        std::fprintf(stderr, "course-server: cannot listen on %s:%d: %s\n", options.host.c_str(), options.port,
                     std::strerror(errno));
        return 1;
    }
    const bool tls = !options.server.tlsCert.empty();
    if (!tls && !loopback(options.host))
        std::fprintf(stderr,
                     "course-server: warning: serving plain HTTP on %s, which is not loopback: passwords "
                     "and launch tokens cross the network readable. Use --tls-cert and --tls-key, or a "
                     "reverse proxy with TLS in front of a loopback address.\n",
                     options.host.c_str());
    std::thread waiter([&server, signals] {
        int signal = 0;
        sigwait(&signals, &signal);
        server.stop();
    });
    const std::string shown = options.host.find(':') != std::string::npos ? "[" + options.host + "]" : options.host;
    std::printf("course-server listening on %s://%s:%d\n", tls ? "https" : "http", shown.c_str(), port);
    std::fflush(stdout);
    server.run();
    // Stopped by a signal, or the listener failed: either way the waiter must end.
    pthread_kill(waiter.native_handle(), SIGTERM);
    waiter.join();
    std::printf("course-server stopped\n");
    return 0;
}

}

int main(int argc, char** argv)
{
    Options options;
    if (!parse(argc, argv, options))
        return usage("bad arguments");

    // Signals go to one waiting thread, which stops the server: blocked before any other
    // thread (the store's writer, the pools) starts, so none of them ever sees one.
    if (options.command.empty()) {
        const sigset_t signals = stopSignals();
        pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    }
    try {
        std::string location = options.store;
        if (location.empty()) {
            std::filesystem::create_directories(options.data);
            location = "sqlite:" + (std::filesystem::path(options.data) / "course.sqlite").string();
        }
        CourseStore store(location);
        Accounts accounts(store);
        if (options.command == std::vector<std::string>{"migrate"}) {
            std::printf("the %s store is at schema version %d\n", store.engine().kind(),
                        store.engine().schemaVersion());
            return 0;
        }
        if (options.command.empty())
            return serve(store, accounts, options);
        if (options.command.size() == 2 && (options.command[0] == "export" || options.command[0] == "import"))
            return transfer(store, options.command[0], options.command[1]);
        if (options.command.size() == 3 && options.command[0] == "bank" && options.command[1] == "stock")
            return loadStock(store, options.command[2]);
        if (options.command[0] == "user")
            return addUser(store, options);
        if (options.command != std::vector<std::string>{"seed"})
            return usage("unknown command");
        store.seedDemo();
        SeedBankStock(store.engine());
        std::printf("demo course ready (lecture %s). Demo accounts, for the course page and for scripts:\n"
                    "  student S1001 (김하늘), password student1\n"
                    "  teacher T1001 (박선생), password teacher1\n"
                    "Change or remove them before anyone else can reach the server.\n",
                    CourseStore::kDemoLecture);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "course-server: %s\n", error.what());
        return 1;
    }
}
