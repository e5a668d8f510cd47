#pragma once

#include "CourseStore.h"

#include <string>
#include <vector>

// The course page (UTF-8 HTML) of a signed-in person: their lectures with links handing out
// the launch files their role may use, a form that uploads a scanned essay, for a student a
// link to start a new essay, and for a browser session (`formToken` not empty) a sign-out
// button. Forms carry the session's `formToken`.
std::string CoursePage(const User& user, const std::vector<Lecture>& lectures, const std::string& formToken);

// The sign-in form; `message` (may be empty) says why it is shown again.
std::string LoginPage(const std::string& message);

// The lecture's discussion items, shown by the client's discussion window.
std::string DiscussionPage(const Lecture& lecture);

// A short answer to a form sent from the course page, with a way back to it.
std::string MessagePage(const std::string& title, const std::string& message);

std::string HtmlEscape(const std::string& text);
