#pragma once

#include "CourseStore.h"

#include <string>

// Launch files the course page hands out: code page 949 fields separated by 0x03,
// field 0 the mode. `base` is the server address the records are fetched from; the record
// addresses carry the file's launch token, which is what lets the client fetch them.
inline constexpr const char* kLaunchMimeType = "application/x-dozoruderado-launch";
inline constexpr const char* kLaunchExtension = ".dzl";

// Writing: the lecture's essay (loaded when one exists, editable until corrected).
std::string StudentLaunch(const Lecture& lecture, const std::string& token, const std::string& base);
// Writing a new essay: the server assigns the lecture key at the first save.
std::string NewEssayLaunch(const Person& student, const std::string& token);
// Correcting the lecture's essay.
std::string TeacherLaunch(const Lecture& lecture, const std::string& token, const std::string& base);
// Viewing the correction: the password field carries the viewing token, which saves
// nothing; it opens the record addresses and signs the run's optional requests.
std::string ViewLaunch(const Lecture& lecture, const std::string& token, const std::string& base);

std::string EssayAddress(const std::string& base, const std::string& key, const std::string& token);
std::string CorrectionAddress(const std::string& base, const std::string& key, const std::string& token);
std::string DiscussionAddress(const std::string& base, const Lecture& lecture, const std::string& token);
