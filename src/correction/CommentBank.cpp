#include "correction/CommentBank.h"

#include "core/AppError.h"
#include "core/WholeFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QStandardPaths>
#include <QUuid>

#include <algorithm>

namespace {

const QString kCaption = QStringLiteral("문구함을 맞추는 중입니다.");

QJsonObject op(const char* kind, const QString& id)
{
    return {{QStringLiteral("op"), QLatin1String(kind)}, {QStringLiteral("id"), id}};
}

// An op that carries an entry's fields, checked before anything changes.
QJsonObject entryOp(const char* kind, const QString& id, const QString& text, int mark, const QString& points)
{
    if (const QString why = BankEntry::problem(text, mark, points); !why.isEmpty())
        throw AppError(why);
    QJsonObject entry = op(kind, id);
    entry.insert(QStringLiteral("text"), text);
    entry.insert(QStringLiteral("mark"), mark);
    entry.insert(QStringLiteral("points"), points);
    return entry;
}

// What an add or edit op says of the entry.
void takeFields(BankEntry& entry, const QJsonObject& op)
{
    entry.text = op.value(QStringLiteral("text")).toString();
    entry.mark = op.value(QStringLiteral("mark")).toInt();
    entry.points = op.value(QStringLiteral("points")).toString();
}

QString newId()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

}

CommentBank::CommentBank(CourseAdditions additions, QString localFile, QObject* parent)
    : QObject(parent), additions_(std::move(additions)), localFile_(std::move(localFile))
{
}

QString CommentBank::LocalFileFor(const QString& serverUrl, const QString& teacherNo)
{
    const QByteArray name =
        QCryptographicHash::hash((serverUrl + QLatin1Char('\n') + teacherNo).toUtf8(), QCryptographicHash::Sha256)
            .toHex()
            .left(32);
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("bank/") + QString::fromLatin1(name) + QStringLiteral(".json"));
}

void CommentBank::load()
{
    if (!additions_.possible())
        return;
    readCopy();
    const bool hadCopy = QFileInfo::exists(localFile_);
    try {
        const std::optional<QJsonObject> answer =
            pending_.isEmpty() ? additions_.get(QStringLiteral("bank"), {}, kCaption)
                               : additions_.post(QStringLiteral("bank"), {{QStringLiteral("ops"), pending_}}, kCaption);
        if (!answer)
            return;  // a site without the bank; the copy stays as it is
        offered_ = true;
        pending_ = {};
        take(*answer);
    } catch (const AppError& error) {
        // Only a bank this machine has seen before is shown without its server.
        offered_ = hadCopy;
        unreachable(error.message());
    }
    emit changed();
}

QList<BankEntry> CommentBank::ownEntries() const
{
    QList<BankEntry> own;
    std::copy_if(entries_.begin(), entries_.end(), std::back_inserter(own),
                 [](const BankEntry& e) { return !e.stock; });
    return own;
}

QList<BankEntry> CommentBank::matches(const QString& typed, int mark, int limit) const
{
    const QString wanted = typed.trimmed();
    QList<BankEntry> found;
    if (wanted.isEmpty())
        return found;
    for (const BankEntry& entry : entries_) {
        if (found.size() == limit)
            break;
        if ((mark == 0 || entry.mark == 0 || entry.mark == mark) && entry.text.contains(wanted, Qt::CaseInsensitive))
            found << entry;
    }
    return found;
}

QString CommentBank::add(const QString& text, int mark, const QString& points)
{
    const QString id = newId();
    change({entryOp("add", id, text, mark, points)});
    return id;
}

void CommentBank::addAll(const QList<BankEntry>& entries)
{
    QJsonArray ops;
    for (const BankEntry& entry : entries)
        ops.append(entryOp("add", newId(), entry.text, entry.mark, entry.points));
    if (!ops.isEmpty())
        change(ops);
}

void CommentBank::edit(const QString& id, const QString& text, int mark, const QString& points)
{
    QJsonObject edit = entryOp("edit", id, text, mark, points);
    edit.insert(QStringLiteral("version"), own(id).version);
    change({edit});
}

void CommentBank::remove(const QString& id)
{
    QJsonObject remove = op("delete", id);
    remove.insert(QStringLiteral("version"), own(id).version);
    change({remove});
}

QStringList CommentBank::ownIds() const
{
    QStringList ids;
    for (const BankEntry& entry : ownEntries())
        ids << entry.id;
    return ids;
}

void CommentBank::moveTo(const QString& id, int index)
{
    QStringList ids = ownIds();
    const qsizetype from = ids.indexOf(id);
    if (from < 0)
        throw AppError(QStringLiteral("기본 문구는 옮길 수 없습니다."));
    const int to = std::clamp(index, 0, int(ids.size()) - 1);
    if (from == to)
        return;
    ids.move(from, to);
    reorder(ids);
}

void CommentBank::reorder(const QStringList& ids)
{
    if (ids == ownIds())
        return;
    for (const QString& id : ids)
        own(id);  // raises for an entry that is not the teacher's
    change({QJsonObject{{QStringLiteral("op"), QStringLiteral("order")},
                        {QStringLiteral("ids"), QJsonArray::fromStringList(ids)}}});
}

void CommentBank::countUse(const QString& id)
{
    if (const BankEntry* entry = find(id); entry && !entry->stock)
        change({op("use", id)});
}

const BankEntry* CommentBank::find(const QString& id) const
{
    const auto it = std::find_if(entries_.begin(), entries_.end(), [&](const BankEntry& e) { return e.id == id; });
    return it == entries_.end() ? nullptr : &*it;
}

BankEntry& CommentBank::own(const QString& id)
{
    const auto it =
        std::find_if(entries_.begin(), entries_.end(), [&](const BankEntry& e) { return e.id == id && !e.stock; });
    if (it == entries_.end())
        throw AppError(QStringLiteral("기본 문구는 고치거나 지울 수 없습니다."));
    return *it;
}

void CommentBank::change(const QJsonArray& ops)
{
    for (const QJsonValue& value : ops) {
        applyLocally(value.toObject());
        pending_.append(value);
    }
    sortEntries();
    // Kept before it is sent: a run that ends during the send still has it.
    writeCopy();
    send();
    emit changed();
}

void CommentBank::applyLocally(const QJsonObject& op)
{
    const QString kind = op.value(QStringLiteral("op")).toString();
    const QString id = op.value(QStringLiteral("id")).toString();
    if (kind == QLatin1String("add")) {
        BankEntry entry;
        entry.id = id;
        takeFields(entry, op);
        for (const BankEntry& e : entries_)
            if (!e.stock)
                entry.position = std::max(entry.position, e.position);
        ++entry.position;
        entries_ << entry;
    } else if (kind == QLatin1String("edit")) {
        BankEntry& entry = own(id);
        takeFields(entry, op);
        ++entry.version;
    } else if (kind == QLatin1String("delete")) {
        entries_.removeIf([&](const BankEntry& e) { return e.id == id && !e.stock; });
    } else if (kind == QLatin1String("use")) {
        ++own(id).uses;
    } else if (kind == QLatin1String("order")) {
        const QJsonArray ids = op.value(QStringLiteral("ids")).toArray();
        for (qsizetype i = 0; i < ids.size(); ++i)
            own(ids[i].toString()).position = i + 1;
    }
}

void CommentBank::send()
{
    try {
        const std::optional<QJsonObject> answer =
            additions_.post(QStringLiteral("bank"), {{QStringLiteral("ops"), pending_}}, kCaption);
        if (!answer) {
            unreachable(QStringLiteral("서버가 문구함을 받지 않습니다."));
            return;
        }
        pending_ = {};
        status_.clear();
        take(*answer);
    } catch (const AppError& error) {
        unreachable(error.message());
    }
}

void CommentBank::take(const QJsonObject& answer)
{
    QStringList notes;
    for (const QJsonValue& result : answer.value(QStringLiteral("results")).toArray())
        if (const QString message = result.toObject().value(QStringLiteral("message")).toString(); !message.isEmpty())
            notes << message;
    if (!notes.isEmpty())
        status_ = QStringLiteral("문구함: ") + notes.join(QLatin1Char(' '));
    entries_ = BankEntry::fromJson(answer.value(QStringLiteral("entries")).toArray());
    sortEntries();
    writeCopy();
}

void CommentBank::unreachable(const QString& why)
{
    status_ = QStringLiteral("문구함: 서버에 닿지 않아 이 컴퓨터의 사본을 씁니다%1. (%2)")
                  .arg(pending_.isEmpty() ? QString() : QStringLiteral("; 바꾼 것은 서버가 답하면 보냅니다"))
                  .arg(why);
}

void CommentBank::sortEntries()
{
    std::stable_sort(entries_.begin(), entries_.end(), [](const BankEntry& a, const BankEntry& b) {
        if (a.position != b.position)
            return a.position < b.position;
        if (a.uses != b.uses)
            return a.uses > b.uses;
        return !a.stock && b.stock;
    });
}

void CommentBank::readCopy()
{
    QFile file(localFile_);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QJsonObject copy = QJsonDocument::fromJson(file.readAll()).object();
    entries_ = BankEntry::fromJson(copy.value(QStringLiteral("entries")).toArray());
    pending_ = copy.value(QStringLiteral("pending")).toArray();
    sortEntries();
}

void CommentBank::writeCopy() const
{
    QDir().mkpath(QFileInfo(localFile_).path());
    const QByteArray copy = QJsonDocument(QJsonObject{{QStringLiteral("entries"), BankEntry::toJson(entries_)},
                                                      {QStringLiteral("pending"), pending_}})
                                .toJson(QJsonDocument::Compact);
    if (const std::optional<QString> why = WriteWholeFile(localFile_, copy))
        throw AppError(QStringLiteral("문구함 사본을 %1에 쓸 수 없습니다: %2").arg(localFile_, *why));
}
