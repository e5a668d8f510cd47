#include "LaunchFile.h"

#include "Cp949Text.h"

#include <vector>

namespace {

// A field may not hold the separator or a line break. Stored texts came in as code page 949,
// so they convert back.
std::string field(const std::string& text)
{
    std::string clean;
    for (char c : text)
        if (c != '\x03' && c != '\r' && c != '\n')
            clean += c;
    return Utf8ToCp949(clean);
}

std::string join(const std::vector<std::string>& fields)
{
    std::string out;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += '\x03';
        out += field(fields[i]);
    }
    return out;
}

}

std::string EssayAddress(const std::string& base, const std::string& key, const std::string& token)
{
    return base + "/essay/" + key + "?t=" + token;
}

std::string CorrectionAddress(const std::string& base, const std::string& key, const std::string& token)
{
    return base + "/correction/" + key + "?t=" + token;
}

std::string DiscussionAddress(const std::string& base, const Lecture& lecture, const std::string& token)
{
    return lecture.discussion.empty() ? std::string() : base + "/discussion/" + lecture.key + "?t=" + token;
}

std::string StudentLaunch(const Lecture& lecture, const std::string& token, const std::string& base)
{
    // The essay address is there before the first save too: a run of a file handed out
    // then finds an essay saved since and opens it instead of an empty sheet.
    return join({"S001", lecture.student.number, token, lecture.hasEssay ? "1" : "0", lecture.key,
                 EssayAddress(base, lecture.key, token), lecture.hasCorrection ? "0" : "1", lecture.title, "0", "0",
                 DiscussionAddress(base, lecture, token), std::to_string(lecture.essayRevision)});
}

std::string NewEssayLaunch(const Person& student, const std::string& token)
{
    return join({"S001", student.number, token, "0", "", "", "1", "", "0", "0", "", "0"});
}

std::string TeacherLaunch(const Lecture& lecture, const std::string& token, const std::string& base)
{
    return join({"T001", lecture.teacher.number, token, lecture.hasCorrection ? "1" : "0", lecture.key,
                 lecture.student.number, lecture.hasEssay ? EssayAddress(base, lecture.key, token) : "",
                 CorrectionAddress(base, lecture.key, token), "1", lecture.title, lecture.reportPoint,
                 DiscussionAddress(base, lecture, token), "Y", std::to_string(lecture.correctionRevision)});
}

std::string ViewLaunch(const Lecture& lecture, const std::string& token, const std::string& base)
{
    return join({"C001", lecture.teacher.number, token, lecture.hasCorrection ? "1" : "0", lecture.key,
                 lecture.hasEssay ? EssayAddress(base, lecture.key, token) : "",
                 lecture.hasCorrection ? CorrectionAddress(base, lecture.key, token) : "", lecture.title,
                 lecture.reportPoint, DiscussionAddress(base, lecture, token), "Y"});
}
