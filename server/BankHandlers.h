#pragma once

#include "CourseHandlers.h"

// /api/bank/KEY (docs/additions.md): GET reads the teacher's comment bank with the stock,
// POST {"ops": [...]} changes it and answers the bank as it now is with one result per
// operation. Signed with a correcting launch token of lecture KEY; its teacher's bank only.
HttpResponse HandleBank(const CourseSite& site, const HttpRequest& req);
