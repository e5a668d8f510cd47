#include "jpeg/JpegErrors.h"

#include <csetjmp>

namespace Jpeg {

namespace {

[[noreturn]] void errorExit(j_common_ptr info)
{
    char text[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, text);
    jumpOut(info, text);
}

void emitMessage(j_common_ptr info, int level)
{
    if (level < 0)
        errorExit(info);  // a warning: the data is corrupt or cut short
}

void outputMessage(j_common_ptr)
{
}

}

void jumpOut(j_common_ptr info, const char* message)
{
    auto* err = reinterpret_cast<ErrorManager*>(info->err);
    std::snprintf(err->message, sizeof err->message, "%s", message);
    std::longjmp(err->jump, 1);
}

void initErrors(ErrorManager& err)
{
    jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.emit_message = emitMessage;
    err.pub.output_message = outputMessage;
    err.message[0] = '\0';
}

}
