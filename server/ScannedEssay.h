#pragma once

#include "CourseStore.h"

#include <string>
#include <vector>

// One page of a scanned essay as the browser uploaded it.
struct ScannedPage {
    std::string fileName;
    std::string bytes;
};

// The essay record of scanned pages (paper kind 3) in the client's own packet form: one
// row per page, in upload order, each holding the JPEG file as uploaded. Raises Refusal
// (400) when there is no page or a page is not a JPEG picture the client can read.
std::string ScannedEssayRecord(const std::string& studentNo, const std::vector<ScannedPage>& pages);

// Stores the pages as the lecture's essay, as the lecture's student saving it would;
// raises Refusal (404 no such lecture, 409 already corrected, 400 bad pages).
void SaveScannedEssay(CourseStore& store, const std::string& lectureKey, const std::vector<ScannedPage>& pages);
