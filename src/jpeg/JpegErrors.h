#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

// libjpeg's faults come back to us by longjmp, with the message kept: libjpeg never prints
// and never ends the program, and its warnings (corrupt or truncated data) are faults too.
namespace Jpeg {

struct ErrorManager {
    jpeg_error_mgr pub;  // first, so libjpeg's pointer is ours too
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void initErrors(ErrorManager& err);
[[noreturn]] void jumpOut(j_common_ptr info, const char* message);

}
