#pragma once

#include "CourseStore.h"
#include "FormPart.h"

#include <cstddef>
#include <string>
#include <vector>

// A scanned page may be an A4 sheet at 600 dpi, either way round; its size is read from
// the file's header and checked before anything is decoded.
inline constexpr int kMaxPageLongSide = 7100;
inline constexpr int kMaxPageShortSide = 5000;
// An upload replaces the lecture's essay, so this also bounds a lecture's scanned pages.
inline constexpr std::size_t kMaxScanPages = 50;
// Pages decoded at once, over all uploads.
inline constexpr int kMaxDecodes = 2;

// One page of a scanned essay as the browser uploaded it: read, checked and added to the
// record one at a time, so an upload holds one page's bytes besides the record.
using ScannedPage = FormPart;

// The essay record of scanned pages (paper kind 3) in the client's own packet form: one
// row per page, in upload order, each holding the JPEG file as uploaded. Raises Refusal
// (400) when there is no page, too many, or a page is not a JPEG picture the client can read.
std::string ScannedEssayRecord(const std::string& studentNo, const std::vector<ScannedPage>& pages);

// Stores the pages as the lecture's essay, as the lecture's student saving it would;
// raises Refusal (404 no such lecture, 409 already corrected, 400 bad pages).
void SaveScannedEssay(CourseStore& store, const std::string& lectureKey, const std::vector<ScannedPage>& pages);
