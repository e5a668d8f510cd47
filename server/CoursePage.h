#pragma once

#include "CourseStore.h"

#include <string>
#include <vector>

// The course page (UTF-8 HTML): every lecture with links handing out its launch files,
// a form that uploads a scanned essay, and for every student a link to start a new essay.
std::string CoursePage(const std::vector<Lecture>& lectures, const std::vector<Person>& students);

// The lecture's discussion items, shown by the client's discussion window.
std::string DiscussionPage(const Lecture& lecture);

// A short answer to a form sent from the course page, with a way back to it.
std::string MessagePage(const std::string& title, const std::string& message);

std::string HtmlEscape(const std::string& text);
