#include "ClientIf.h"

#include "Cp949Text.h"
#include "Credentials.h"
#include "RecordCheck.h"

#include <stdexcept>

namespace {

// Reads the parts a flag needs: each exactly once, text values decoded to UTF-8.
class FormReader {
public:
    explicit FormReader(const FormParts& parts) : parts_(parts) {}

    const FormPart& part(const std::string& name) const
    {
        const auto count = parts_.count(name);
        if (count == 0)
            throw Refusal(400, "보낸 양식에 \"" + name + "\" 항목이 없습니다.");
        if (count > 1)
            throw Refusal(400, "보낸 양식에 \"" + name + "\" 항목이 두 번 이상 있습니다.");
        return parts_.find(name)->second;
    }

    std::string text(const std::string& name) const
    {
        const FormPart& field = part(name);
        if (field.size() > kMaxTextField)
            throw Refusal(400, "\"" + name + "\" 항목이 너무 깁니다.");
        const std::string bytes = field.bytes();
        std::optional<std::string> text = Cp949ToUtf8(bytes);
        if (!text)
            throw Refusal(400, "\"" + name + "\" 항목의 글자 코드가 올바르지 않습니다.");
        for (char c : *text)
            if (c == '\x03' || c == '\0')
                throw Refusal(400, "\"" + name + "\" 항목에 쓸 수 없는 문자가 있습니다.");
        return *text;
    }

    // A data part, checked for content without being read: it is read once its sender is known.
    const FormPart& data(const std::string& name) const
    {
        const FormPart& field = part(name);
        if (field.size() == 0)
            throw Refusal(400, "보낸 양식의 \"" + name + "\" 자료가 비어 있습니다.");
        return field;
    }

    std::optional<std::int64_t> baseRevision() const
    {
        if (parts_.count(kBaseRevisionPart) == 0)
            return std::nullopt;
        const std::string value = text(kBaseRevisionPart);
        if (value.empty() || value.size() > 18 || value.find_first_not_of("0123456789") != std::string::npos)
            throw Refusal(400, std::string("\"") + kBaseRevisionPart + "\" 항목은 0 이상의 정수여야 합니다.");
        return std::stoll(value);
    }

    std::string submit() const
    {
        std::string value = text("submit");
        if (value != "N" && value != "Y")
            throw Refusal(400, "\"submit\" 항목은 N 또는 Y여야 합니다.");
        return value;
    }

private:
    const FormParts& parts_;
};

// The secret is a launch token for this lecture, or the person's password. True for a token.
bool checkSaver(Accounts& accounts, Role role, const std::string& number, const std::string& secret,
                const std::string& lectureKey, const std::string& address)
{
    const Grant grant = role == Role::Student ? Grant::Write : Grant::Correct;
    const std::optional<User> holder = accounts.useToken(secret, grant, lectureKey);
    if (holder && holder->role == role && holder->number == number)
        return true;
    // What the client sends is a launch token unless a person typed it: an expired or
    // revoked one costs no password hash and gets a message of its own.
    if (!holder && secret.size() == 64 && secret.find_first_not_of("0123456789abcdef") == std::string::npos)
        throw Refusal(401, "실행 파일의 사용 기한이 지났거나 로그아웃으로 취소되어 저장하지 못했습니다. 쓴 글을 "
                           "복사해 두고, 강의 목록에서 실행 파일을 새로 받아 여십시오.");
    const std::optional<User> user = holder ? std::nullopt : accounts.signIn(number, secret, address);
    if (!user || user->role != role)
        throw Refusal(401, role == Role::Student ? "학생 번호나 비밀번호가 맞지 않습니다."
                                                 : "교사 번호나 비밀번호가 맞지 않습니다.");
    return false;
}

bool isJpeg(const std::string& bytes)
{
    return bytes.size() > 3 && bytes[0] == '\xff' && bytes[1] == '\xd8' && bytes[2] == '\xff';
}

ClientReply saveEssay(CourseStore& store, Accounts& accounts, const FormReader& form, const std::string& address)
{
    EssaySave save;
    save.studentNo = form.text("student_no");
    const std::string password = form.text("password");
    save.lectureKey = form.text("lecturekey");
    save.submit = form.submit();
    save.title = form.text("title");
    save.baseRevision = form.baseRevision();
    const FormPart& file = form.data("file");
    // Who sends comes first: a stranger's record is never read.
    const bool byToken = checkSaver(accounts, Role::Student, save.studentNo, password, save.lectureKey, address);
    save.record = file.bytes();
    CheckEssayRecord(save.record);
    // A new essay's first save sent again (its answer lost), or twice at once, goes to the
    // lecture the token opened: one run, one lecture.
    if (byToken && save.lectureKey.empty())
        save.newEssayToken = Credentials::TokenDigest(password);
    const SavedRevision saved = store.saveEssay(save);
    return {200, "저장되었습니다.", saved.lectureKey, saved.revision};
}

ClientReply saveCorrection(CourseStore& store, Accounts& accounts, const FormReader& form, const std::string& address)
{
    CorrectionSave save;
    save.teacherNo = form.text("teacher_no");
    const std::string password = form.text("password");
    save.lectureKey = form.text("lecturekey");
    save.studentNo = form.text("student_no");
    const FormPart& file = form.data("file");
    const FormPart& thumbnail = form.data("thumbnail");
    save.reportPoint = form.text("report_point");
    save.submit = form.submit();
    save.baseRevision = form.baseRevision();
    checkSaver(accounts, Role::Teacher, save.teacherNo, password, save.lectureKey, address);
    if (!isJpeg(thumbnail.read(0, 4)))
        throw Refusal(400, "미리보기 그림이 JPEG 형식이 아닙니다.");
    // Stored from where the body was spooled, a chunk at a time.
    save.thumbnail = ByteSource(thumbnail.size(), [&thumbnail](std::uint64_t offset, std::size_t size) {
        return thumbnail.read(offset, size);
    });
    save.record = file.bytes();
    CheckCorrectionRecord(save.record);
    const SavedRevision saved = store.saveCorrection(save);
    return {200, "첨삭이 저장되었습니다.", saved.lectureKey, saved.revision};
}

}

std::string ClientReply::bytes() const
{
    std::string text = std::to_string(status) + ' ' + message + '\x03' + value;
    try {
        return Utf8ToCp949(text);
    } catch (const std::invalid_argument&) {
        return std::to_string(status) + " \x03";
    }
}

ClientReply HandleClientIf(CourseStore& store, Accounts& accounts, const FormParts& parts, const std::string& address)
{
    try {
        const FormReader form(parts);
        const std::string flag = form.text("flag");
        if (flag == "S002")
            return saveEssay(store, accounts, form, address);
        if (flag == "T002")
            return saveCorrection(store, accounts, form, address);
        throw Refusal(400, "알 수 없는 요청입니다 (flag \"" + flag + "\").");
    } catch (const Refusal& refusal) {
        return {refusal.status(), refusal.what(), {}};
    }
}
