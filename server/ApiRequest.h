#pragma once

#include "CourseHandlers.h"

#include <QJsonObject>

#include <optional>

// The requests this course server offers beyond the form endpoint and the record addresses
// (docs/additions.md). Each lives under /api/ and ends in the lecture key of the run that
// calls it; the run signs it with its launch token ("Authorization: Bearer TOKEN"), so a
// browser session alone, and with it a forged cross-site post, never reaches one. Answers,
// refusals included, are JSON objects in UTF-8; a refusal says why in "message".

inline constexpr const char* kApiPrefix = "/api/";

struct ApiCaller {
    User user;
    Lecture lecture;
    std::string token;  // the launch token that signed the request

    // The caller is the teacher who corrects the lecture.
    bool teachesLecture() const { return user.role == Role::Teacher && lecture.teacher.number == user.number; }
};

// The holder of a live launch token of the address's lecture (its last capture), with that
// grant when one is asked for. Raises Refusal 401 for a missing, expired or foreign token.
ApiCaller CallerOf(const CourseSite& site, const HttpRequest& req, std::optional<Grant> grant);

// The posted body as a JSON object, at most `limit` bytes; Refusal 400 (413 when larger)
// for anything else.
QJsonObject JsonBody(const HttpRequest& req, std::size_t limit);

HttpResponse JsonAnswer(const QJsonObject& body, int status = 200);
// A refusal of an /api/ address: {"message": why}.
HttpResponse JsonRefusal(int status, const std::string& why);
