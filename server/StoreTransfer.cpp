#include "StoreTransfer.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <istream>
#include <optional>
#include <ostream>

namespace {

const char* kHeader = "dozoruderado course store dump 1\n";

// How each column is bound on import: text, integer or bytes.
struct Table {
    const char* name;
    const char* key;
    std::vector<std::pair<const char*, char>> columns;
};

// Parents before children, so every reference finds its row.
const std::array<Table, 9> kTables{{
    {"teachers", "teacher_no", {{"teacher_no", 'T'}, {"name", 'T'}, {"password_hash", 'T'}}},
    {"students", "student_no", {{"student_no", 'T'}, {"name", 'T'}, {"password_hash", 'T'}, {"teacher_no", 'T'}}},
    {"lectures",
     "lecture_key",
     {{"lecture_key", 'T'},
      {"student_no", 'T'},
      {"teacher_no", 'T'},
      {"title", 'T'},
      {"discussion", 'T'},
      {"created_at", 'T'}}},
    {"essays",
     "lecture_key",
     {{"lecture_key", 'T'}, {"record", 'B'}, {"submit", 'T'}, {"revision", 'I'}, {"saved_at", 'T'}}},
    {"corrections",
     "lecture_key",
     {{"lecture_key", 'T'},
      {"record", 'B'},
      {"thumbnail", 'B'},
      {"report_point", 'T'},
      {"submit", 'T'},
      {"revision", 'I'},
      {"saved_at", 'T'}}},
    {"launch_tokens",
     "digest",
     {{"digest", 'T'},
      {"grant_kind", 'T'},
      {"role", 'T'},
      {"person_no", 'T'},
      {"lecture_key", 'T'},
      {"session", 'T'},
      {"issued_at", 'I'},
      {"expires_at", 'I'},
      {"used", 'I'},
      {"new_essay", 'I'}}},
    {"sessions", "digest", {{"digest", 'T'}, {"role", 'T'}, {"person_no", 'T'}, {"csrf", 'T'}, {"expires_at", 'I'}}},
    {"sign_in_pairs", "pair", {{"pair", 'T'}, {"failures", 'I'}, {"until_ms", 'I'}, {"ordinal", 'I'}}},
    {"bank_entries",
     "entry_id",
     {{"entry_id", 'T'},
      {"teacher_no", 'T'},
      {"body", 'T'},
      {"mark", 'I'},
      {"points", 'T'},
      {"place", 'I'},
      {"uses", 'I'},
      {"version", 'I'}}},
}};

// Rows are read in batches by key, so a large course never sits in memory whole.
constexpr int kBatch = 200;

std::string columnList(const Table& table)
{
    std::string out;
    for (const auto& [name, type] : table.columns)
        out += (out.empty() ? "" : ", ") + std::string(name);
    return out;
}

void writeValue(std::ostream& out, const SqlRow& row, int column)
{
    if (row.isNull(column)) {
        out.put('\0');
        return;
    }
    const std::string& bytes = row.text(column);
    out.put('\1');
    std::uint64_t size = bytes.size();
    for (int i = 0; i < 8; ++i)
        out.put(char((size >> (8 * i)) & 0xff));
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

[[noreturn]] void broken(const std::string& what)
{
    throw StoreError("the dump is not whole or not a course dump (" + what + "); nothing was imported");
}

char readByte(std::istream& in, const char* what)
{
    const int c = in.get();
    if (c == std::char_traits<char>::eof())
        broken(std::string("it ends inside ") + what);
    return char(c);
}

std::optional<std::string> readValue(std::istream& in)
{
    if (readByte(in, "a row") == '\0')
        return std::nullopt;
    std::uint64_t size = 0;
    for (int i = 0; i < 8; ++i)
        size |= std::uint64_t(static_cast<unsigned char>(readByte(in, "a row"))) << (8 * i);
    // Read in bounded pieces: a damaged length fails at the end of the file, not in memory.
    std::string bytes;
    char piece[65536];
    while (bytes.size() < size) {
        const std::streamsize want = std::streamsize(std::min<std::uint64_t>(sizeof piece, size - bytes.size()));
        in.read(piece, want);
        if (in.gcount() != want)
            broken("it ends inside a value");
        bytes.append(piece, std::size_t(want));
    }
    return bytes;
}

std::string readLine(std::istream& in)
{
    std::string line;
    std::getline(in, line);
    return line;
}

}

void StoreTransfer::Export(StoreEngine& engine, std::ostream& out, const Progress& progress)
{
    // A write transaction holds one snapshot for the whole dump (on SQLite it also holds
    // back saves until the dump is written).
    engine.write([&](SqlConnection& db) {
        if (*engine.dialect().snapshot)
            db.run(engine.dialect().snapshot);
        out << kHeader;
        for (const Table& table : kTables) {
            out << 'T' << table.name << '\n';
            const std::string select = "SELECT " + columnList(table) + " FROM " + table.name;
            const std::string order = " ORDER BY " + std::string(table.key) + " LIMIT " + std::to_string(kBatch);
            long long count = 0;
            std::string last;
            for (bool first = true;; first = false) {
                const std::vector<SqlRow> rows =
                    first ? db.query(select + order)
                          : db.query(select + " WHERE " + table.key + " > $1" + order, {last});
                for (const SqlRow& row : rows) {
                    out.put('R');
                    for (int c = 0; c < int(table.columns.size()); ++c)
                        writeValue(out, row, c);
                }
                count += long(rows.size());
                if (rows.size() < std::size_t(kBatch))
                    break;
                last = rows.back().text(0);
            }
            out.put('E');
            if (!out)
                throw StoreError(std::string("cannot write the dump (at table ") + table.name + ")");
            progress(table.name, count);
        }
        out << "END\n";
        out.flush();
        if (!out)
            throw StoreError("cannot write the dump");
    });
}

void StoreTransfer::Import(StoreEngine& engine, std::istream& in, const Progress& progress)
{
    if (readLine(in) + '\n' != kHeader)
        broken("its first line is not a course dump's");
    engine.write([&](SqlConnection& db) {
        for (const Table& table : kTables)
            if (!db.query(std::string("SELECT 1 FROM ") + table.name + " LIMIT 1").empty())
                throw StoreError(std::string("the store is not empty (its table ") + table.name
                                 + " has rows): import only into a new store; nothing was imported");
        bool ended = false;
        for (const Table& table : kTables) {
            const std::string line = readLine(in);
            // Dumps written before the comment banks end after the sign-in table.
            if (line == "END" && std::string(table.name) == "bank_entries") {
                ended = true;
                break;
            }
            if (line != std::string("T") + table.name)
                broken(std::string("the table ") + table.name + " is missing");
            std::string insert = std::string("INSERT INTO ") + table.name + " (" + columnList(table) + ") VALUES (";
            for (std::size_t c = 1; c <= table.columns.size(); ++c)
                insert += (c > 1 ? ", $" : "$") + std::to_string(c);
            insert += ")";
            long long count = 0;
            while (readByte(in, table.name) == 'R') {
                std::vector<std::optional<std::string>> values;
                for (std::size_t c = 0; c < table.columns.size(); ++c)
                    values.push_back(readValue(in));
                std::vector<SqlValue> params;
                for (std::size_t c = 0; c < values.size(); ++c) {
                    if (!values[c])
                        params.emplace_back(nullptr);
                    else if (table.columns[c].second == 'B')
                        params.emplace_back(Bytes{*values[c]});
                    else if (table.columns[c].second == 'I')
                        params.emplace_back(std::int64_t(std::stoll(*values[c])));
                    else
                        params.emplace_back(std::string_view(*values[c]));
                }
                db.run(insert, params);
                ++count;
            }
            progress(table.name, count);
        }
        if (!ended && readLine(in) != "END")
            broken("its end is missing");
    });
}
