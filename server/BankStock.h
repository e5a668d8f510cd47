#pragma once

#include "StoreEngine.h"

#include <cstddef>
#include <string>

// The comment banks' stock for the command line (kept free of Qt's headers, like main).
// The stock becomes the rows of `csv` (docs/server.md), all or none; the number of entries.
// Raises std::runtime_error naming the line of a bad row.
std::size_t LoadBankStock(StoreEngine& engine, const std::string& csv);
// A few stock entries for the demo course, when there is no stock yet.
void SeedBankStock(StoreEngine& engine);
