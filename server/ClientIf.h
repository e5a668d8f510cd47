#pragma once

#include "Accounts.h"
#include "CourseStore.h"
#include "FormPart.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>

// The answer in the client's layout: status, one blank, message, 0x03, value.
struct ClientReply {
    int status = 200;
    std::string message;  // UTF-8
    std::string value;
    // The revision an accepted save is stored as; the client reads it from a header, so
    // a client that does not know revisions reads the reply as ever.
    std::optional<std::int64_t> revision;

    bool accepted() const { return status == 200; }
    // Code page 949 bytes, as the client reads them.
    std::string bytes() const;
};

// Limits a stored text field may not exceed, in bytes.
inline constexpr size_t kMaxTextField = 1000;

// The optional part naming the stored revision a save started from ("0": none). A form
// without it is saved unchecked, as the course's first clients send it.
inline constexpr const char* kBaseRevisionPart = "base_revision";
// The header of an accepted save's answer and of a record download naming its revision.
inline constexpr const char* kRevisionHeader = "Dz-Revision";

// Handles the form posted to /clientif: "S002" stores an essay, "T002" a correction. The
// password part holds a launch token for the lecture or the person's password; `address`
// is the sender's, for throttling wrong passwords. A refused form stores nothing and gets a
// status other than 200 with a reason.
ClientReply HandleClientIf(CourseStore& store, Accounts& accounts, const FormParts& parts, const std::string& address);
