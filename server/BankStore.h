#pragma once

#include "StoreEngine.h"
#include "document/BankEntry.h"

#include <QJsonArray>

#include <string>

// The comment banks: each teacher's own entries and the course's read-only stock, in the
// course store. Changes are operations on single entries, so two machines of one teacher
// never overwrite each other unseen: an edit or delete names the entry version it was made
// on, and one made on an older version is a conflict (docs/additions.md).
class BankStore {
public:
    static constexpr int kMaxEntries = 2000;  // per teacher

    explicit BankStore(StoreEngine& engine) : engine_(engine) {}

    // The teacher's entries and the stock, by position, then uses.
    QList<BankEntry> entriesOf(const std::string& teacherNo);
    // Applies `ops` in order in one transaction; one result object per operation. Raises
    // Refusal 400, with nothing stored, for an operation that is not well formed.
    QJsonArray apply(const std::string& teacherNo, const QJsonArray& ops);
    // The stock becomes `entries`, in their order.
    void replaceStock(const QList<BankEntry>& entries);

private:
    StoreEngine& engine_;
};
