// Any posted body, as a form with the boundary "B": its parts are read or it is refused
// with a reason, and every part lies within the body.
#include "server/CourseStore.h"
#include "server/MultipartForm.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto body = std::make_shared<BodyFile>();
    body->append(reinterpret_cast<const char*>(data), size);
    try {
        for (const auto& [name, part] : ReadMultipartForm(body, "B"))
            if (name.empty() || part.size() > size || part.bytes().size() != part.size())
                std::abort();
    } catch (const Refusal&) {
    }
    return 0;
}
