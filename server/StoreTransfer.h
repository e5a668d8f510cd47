#pragma once

#include "StoreEngine.h"

#include <functional>
#include <iosfwd>
#include <string>

// Moves a whole course between stores, SQLite or PostgreSQL alike: export writes every row of
// every table (from one consistent snapshot) to a dump, import reads it into an empty store
// in one transaction. Texts, numbers and bytes pass exactly as stored, so a dump taken of the
// imported store is byte for byte the dump that was imported.
//
// The dump: a header line, then per table "T" name "\n", per row "R" and its columns (a byte
// 0 for NULL, or 1, an 8-byte little-endian length and the bytes), "E" after the last row,
// and "END\n" at the end.
namespace StoreTransfer {

// Told after each table: its name and how many rows went.
using Progress = std::function<void(const std::string& table, long long rows)>;

void Export(StoreEngine& engine, std::ostream& out, const Progress& progress);
// Raises StoreError (and changes nothing) when the store is not empty or the dump is not
// whole.
void Import(StoreEngine& engine, std::istream& in, const Progress& progress);

}
