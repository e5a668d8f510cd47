#pragma once

#include "CourseStore.h"

#include <string>
#include <vector>

// The course page (UTF-8 HTML) of a signed-in person, named as "NAME 님": their lectures by
// title with their state, score and correction thumbnail, links handing out the launch
// files their role may use (no writing once an essay is corrected), a form that uploads a
// scanned essay, for a student a link to start a new essay, and for a browser session
// (`formToken` not empty) a sign-out button. Forms carry the session's `formToken`.
// `sections` (HTML) follow the lectures.
std::string CoursePage(const Person& person, Role role, const std::vector<Lecture>& lectures,
                       const std::string& formToken, const std::string& sections = {});

// The sign-in form; `message` (may be empty) says why it is shown again, beside the
// password field, and `number` is put back into its field.
std::string LoginPage(const std::string& message, const std::string& number = {});

// The lecture's discussion items, shown by the client's discussion window.
std::string DiscussionPage(const Lecture& lecture);

// A short answer to a form sent from the course page, with a way back to it.
std::string MessagePage(const std::string& title, const std::string& message);

// The pages' icon (SVG), served from the site itself.
std::string CourseIcon();

// The lecture's title, or a word saying it has none.
std::string LectureTitle(const Lecture& lecture);

// The person's name, or their number when none is on record.
std::string PersonName(const Person& person);

std::string HtmlEscape(const std::string& text);
