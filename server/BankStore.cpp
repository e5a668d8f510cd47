#include "BankStore.h"

#include "BankStock.h"

#include "CourseStore.h"
#include "Credentials.h"

#include <QJsonObject>

#include <vector>

namespace {

enum class Kind { Add, Edit, Delete, Use, Order };

struct Op {
    Kind kind;
    std::string id;
    std::string text;
    int mark = 0;
    std::string points;
    std::int64_t version = 0;
    std::vector<std::string> ids;  // Order
};

[[noreturn]] void malformed(qsizetype index, const QString& why)
{
    throw Refusal(400,
                  QStringLiteral("문구함 변경 %1번째가 올바르지 않습니다: %2").arg(index + 1).arg(why).toStdString());
}

std::string idOf(const QJsonValue& value, qsizetype index)
{
    const QString id = value.toString();
    if (!BankEntry::isId(id))
        malformed(index, QStringLiteral("id는 영문자, 숫자, '-'로 된 1~64자입니다."));
    return id.toStdString();
}

// Every operation checked before anything is stored.
std::vector<Op> parse(const QJsonArray& ops)
{
    static const std::pair<const char*, Kind> kKinds[] = {
        {"add", Kind::Add}, {"edit", Kind::Edit}, {"delete", Kind::Delete}, {"use", Kind::Use}, {"order", Kind::Order}};
    std::vector<Op> out;
    for (qsizetype i = 0; i < ops.size(); ++i) {
        const QJsonObject json = ops[i].toObject();
        const QString name = json.value(QStringLiteral("op")).toString();
        const auto kind = std::find_if(std::begin(kKinds), std::end(kKinds),
                                       [&](const auto& k) { return name == QLatin1String(k.first); });
        if (kind == std::end(kKinds))
            malformed(i, QStringLiteral("op는 add, edit, delete, use, order 가운데 하나입니다."));
        Op op{kind->second, {}, {}, 0, {}, 0, {}};
        if (op.kind == Kind::Order) {
            for (const QJsonValue& id : json.value(QStringLiteral("ids")).toArray())
                op.ids.push_back(idOf(id, i));
            out.push_back(std::move(op));
            continue;
        }
        op.id = idOf(json.value(QStringLiteral("id")), i);
        if (op.kind == Kind::Add || op.kind == Kind::Edit) {
            const QString text = json.value(QStringLiteral("text")).toString();
            const QString points = json.value(QStringLiteral("points")).toString();
            op.mark = json.value(QStringLiteral("mark")).toInt();
            if (const QString why = BankEntry::problem(text, op.mark, points); !why.isEmpty())
                malformed(i, why);
            op.text = text.toStdString();
            op.points = points.toStdString();
        }
        if (op.kind == Kind::Edit || op.kind == Kind::Delete)
            op.version = json.value(QStringLiteral("version")).toInteger();
        out.push_back(std::move(op));
    }
    return out;
}

QJsonObject result(const std::string& id, const char* what, const QString& message = {})
{
    QJsonObject out{{QStringLiteral("id"), QString::fromStdString(id)}, {QStringLiteral("result"), what}};
    if (!message.isEmpty())
        out.insert(QStringLiteral("message"), message);
    return out;
}

struct Row {
    bool own = false;
    std::int64_t version = 0;
    std::int64_t place = 0;
};

class Writer {
public:
    Writer(SqlConnection& db, const StoreDialect& dialect, const std::string& teacher)
        : db_(db), dialect_(dialect), teacher_(teacher)
    {
    }

    QJsonObject run(const Op& op)
    {
        switch (op.kind) {
        case Kind::Add:
            return add(op);
        case Kind::Edit:
            return edit(op);
        case Kind::Delete:
            return remove(op);
        case Kind::Use:
            return use(op);
        case Kind::Order:
            return order(op);
        }
        return {};
    }

private:
    std::optional<Row> row(const std::string& id)
    {
        const std::vector<SqlRow> rows = db_.query(
            std::string("SELECT teacher_no, version, place FROM bank_entries WHERE entry_id = $1") + dialect_.lockRows,
            {id});
        if (rows.empty())
            return std::nullopt;
        return Row{!rows[0].isNull(0) && rows[0].text(0) == teacher_, rows[0].number(1), rows[0].number(2)};
    }

    bool sameFields(const Op& op)
    {
        const SqlRow row = db_.query("SELECT body, mark, points FROM bank_entries WHERE entry_id = $1", {op.id}).at(0);
        return row.text(0) == op.text && row.number(1) == op.mark && row.text(2) == op.points;
    }

    static QJsonObject notOwn(const std::string& id)
    {
        return result(id, "refused", QStringLiteral("기본 문구나 다른 선생님의 문구는 바꿀 수 없습니다."));
    }

    void insert(const std::string& id, const Op& op, std::int64_t place)
    {
        db_.run("INSERT INTO bank_entries (entry_id, teacher_no, body, mark, points, place, uses, version) "
                "VALUES ($1, $2, $3, $4, $5, $6, 0, 1)",
                {id, teacher_, op.text, std::int64_t(op.mark), op.points, place});
    }

    QJsonObject add(const Op& op)
    {
        if (const std::optional<Row> found = row(op.id))
            return found->own ? result(op.id, "ok") : notOwn(op.id);  // its own add, sent again
        const SqlRow counts =
            db_.query("SELECT count(*), COALESCE(MAX(place), 0) FROM bank_entries WHERE teacher_no = $1", {teacher_})
                .at(0);
        if (counts.number(0) >= BankStore::kMaxEntries)
            return result(op.id, "refused",
                          QStringLiteral("문구함에는 %1개까지 넣을 수 있습니다. 쓰지 않는 문구를 지우십시오.")
                              .arg(BankStore::kMaxEntries));
        insert(op.id, op, counts.number(1) + 1);
        return result(op.id, "ok");
    }

    QJsonObject edit(const Op& op)
    {
        const std::optional<Row> found = row(op.id);
        if (!found)
            return result(op.id, "gone", QStringLiteral("고치려던 문구가 다른 곳에서 지워졌습니다."));
        if (!found->own)
            return notOwn(op.id);
        if (found->version == op.version + 1 && sameFields(op))
            return result(op.id, "ok");  // its own edit sent again, its answer lost
        if (found->version == op.version) {
            db_.run("UPDATE bank_entries SET body = $2, mark = $3, points = $4, version = version + 1 "
                    "WHERE entry_id = $1",
                    {op.id, op.text, std::int64_t(op.mark), op.points});
            return result(op.id, "ok");
        }
        // Changed elsewhere meanwhile: both texts are kept, this one as an entry beside it.
        const std::string copy = op.id.substr(0, 40) + "-" + Credentials::NewToken().substr(0, 12);
        insert(copy, op, found->place);
        QJsonObject out = result(op.id, "conflict",
                                 QStringLiteral("다른 컴퓨터에서 먼저 고친 문구가 있어, 여기서 고친 글은 새 문구로 "
                                                "넣었습니다."));
        out.insert(QStringLiteral("copy"), QString::fromStdString(copy));
        return out;
    }

    QJsonObject remove(const Op& op)
    {
        const std::optional<Row> found = row(op.id);
        if (!found)
            return result(op.id, "ok");
        if (!found->own)
            return notOwn(op.id);
        if (found->version != op.version)
            return result(op.id, "conflict",
                          QStringLiteral("다른 컴퓨터에서 고친 문구라 지우지 않았습니다. 확인하고 다시 지우십시오."));
        db_.run("DELETE FROM bank_entries WHERE entry_id = $1", {op.id});
        return result(op.id, "ok");
    }

    QJsonObject use(const Op& op)
    {
        const std::optional<Row> found = row(op.id);
        if (!found)
            return result(op.id, "gone");
        if (found->own)
            db_.run("UPDATE bank_entries SET uses = uses + 1 WHERE entry_id = $1", {op.id});
        return result(op.id, "ok");
    }

    // The listed entries first, in the list's order; the teacher's others (added elsewhere
    // meanwhile) after them, in the order they had.
    QJsonObject order(const Op& op)
    {
        std::vector<std::string> before;
        for (const SqlRow& r : db_.query(std::string("SELECT entry_id FROM bank_entries WHERE teacher_no = $1 "
                                                     "ORDER BY place, uses DESC, entry_id")
                                             + dialect_.lockRows,
                                         {teacher_}))
            before.push_back(r.text(0));
        std::vector<std::string> after;
        for (const std::string& id : op.ids)
            if (std::find(before.begin(), before.end(), id) != before.end()
                && std::find(after.begin(), after.end(), id) == after.end())
                after.push_back(id);
        for (const std::string& id : before)
            if (std::find(after.begin(), after.end(), id) == after.end())
                after.push_back(id);
        for (std::size_t i = 0; i < after.size(); ++i)
            db_.run("UPDATE bank_entries SET place = $2 WHERE entry_id = $1", {after[i], std::int64_t(i + 1)});
        return result({}, "ok");
    }

    SqlConnection& db_;
    const StoreDialect& dialect_;
    const std::string& teacher_;
};

}

QList<BankEntry> BankStore::entriesOf(const std::string& teacherNo)
{
    QList<BankEntry> entries;
    engine_.read([&](SqlConnection& db) {
        for (const SqlRow& row :
             db.query("SELECT entry_id, body, mark, points, place, uses, version, teacher_no IS NULL FROM bank_entries "
                      "WHERE teacher_no = $1 OR teacher_no IS NULL "
                      "ORDER BY place, uses DESC, CASE WHEN teacher_no IS NULL THEN 1 ELSE 0 END, entry_id",
                      {teacherNo})) {
            BankEntry entry;
            entry.id = QString::fromStdString(row.text(0));
            entry.text = QString::fromStdString(row.text(1));
            entry.mark = int(row.number(2));
            entry.points = QString::fromStdString(row.text(3));
            entry.position = row.number(4);
            entry.uses = row.number(5);
            entry.version = row.number(6);
            entry.stock = row.text(7) == "1" || row.text(7) == "t";
            entries << entry;
        }
    });
    return entries;
}

QJsonArray BankStore::apply(const std::string& teacherNo, const QJsonArray& ops)
{
    const std::vector<Op> parsed = parse(ops);
    QJsonArray results;
    engine_.write([&](SqlConnection& db) {
        results = {};
        Writer writer(db, engine_.dialect(), teacherNo);
        for (const Op& op : parsed)
            results.append(writer.run(op));
    });
    return results;
}

void BankStore::replaceStock(const QList<BankEntry>& entries)
{
    engine_.write([&](SqlConnection& db) {
        db.run("DELETE FROM bank_entries WHERE teacher_no IS NULL");
        for (qsizetype i = 0; i < entries.size(); ++i)
            db.run("INSERT INTO bank_entries (entry_id, teacher_no, body, mark, points, place, uses, version) "
                   "VALUES ($1, NULL, $2, $3, $4, $5, 0, 1)",
                   {"stock-" + std::to_string(i + 1), entries[i].text.toStdString(), std::int64_t(entries[i].mark),
                    entries[i].points.toStdString(), std::int64_t(i + 1)});
    });
}

std::size_t LoadBankStock(StoreEngine& engine, const std::string& csv)
{
    const QList<BankEntry> entries = BankCsv::Read(QByteArray::fromStdString(csv));
    BankStore(engine).replaceStock(entries);
    return std::size_t(entries.size());
}

void SeedBankStock(StoreEngine& engine)
{
    bool empty = false;
    engine.read([&](SqlConnection& db) {
        empty = db.query("SELECT 1 FROM bank_entries WHERE teacher_no IS NULL LIMIT 1").empty();
    });
    if (!empty)
        return;
    const auto entry = [](const char* text, int mark, const char* points) {
        BankEntry e;
        e.text = QString::fromUtf8(text);
        e.mark = mark;
        e.points = QString::fromUtf8(points);
        return e;
    };
    BankStore(engine).replaceStock({entry("띄어 써야 합니다.", 0, "-1"),
                                    entry("문장이 너무 깁니다. 두 문장으로 나누어 보세요.", 0, ""),
                                    entry("맞춤법이 틀렸습니다.", 0, "-1"), entry("좋은 표현입니다!", 0, "")});
}
