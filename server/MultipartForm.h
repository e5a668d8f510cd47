#pragma once

#include "FormPart.h"

#include <memory>
#include <optional>
#include <string>

// The boundary of a multipart/form-data Content-Type, or nothing when the type is another.
std::optional<std::string> MultipartBoundary(const std::string& contentType);

// The parts of a multipart/form-data body kept in `body`, read in bounded pieces: parts
// without a file name of up to 64 KiB are read into memory, every other part is left in
// the file. Raises Refusal (400) for a body that is not such a form, or has over 200 parts.
FormParts ReadMultipartForm(const std::shared_ptr<const BodyFile>& body, const std::string& boundary);
