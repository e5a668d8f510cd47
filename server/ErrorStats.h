#pragma once

#include "CourseStore.h"

#include <QJsonObject>

#include <map>
#include <string>
#include <vector>

// A student's error history: per corrected essay, how often each kind of mark stands in its
// stored correction record. Counted from the records themselves, with the client's own
// record code, each time it is asked for.
struct EssayMarks {
    std::string lectureKey;
    std::string title;
    std::string corrected;      // when the correction was last saved, UTC "YYYY-MM-DDTHH:MM:SSZ"
    std::map<int, int> counts;  // DrawTool ordinal -> mark rows of that kind

    int count(int kind) const;
    // The rows of every proofreading mark; text notes and numbers are not errors.
    int total() const;
};

// The mark rows (NType 1) of a correction record by DrawTool; a record that cannot be read
// counts nothing (every stored record was read once on arrival).
std::map<int, int> CountMarks(const std::string& record);

// The student's corrected essays in the order they were corrected; with `teacherNo` only
// those that teacher corrects. At most the 200 lectures a student may have.
std::vector<EssayMarks> StudentMarks(CourseStore& store, const std::string& studentNo,
                                     const std::string& teacherNo = {});

// {"student": {"number", "name"}, "essays": [{"key", "title", "corrected", "marks": {"ORDINAL": n}}]}
QJsonObject StudentMarksJson(const Person& student, const std::vector<EssayMarks>& essays);

// The class table of a teacher's students: one row per student and corrected essay, a
// column per proofreading mark and the row's total, UTF-8 with a header row.
std::string ClassMarksCsv(CourseStore& store, const std::string& teacherNo);
