// Any reply body the server sends splits without crashing, and the parts add back up.
#include "net/ReplyText.h"
#include "text/Cp949.h"
#include "text/TrimControls.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = Cp949::decode(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    const ReplyText reply = SplitReply(text);
    const QString rest = text.mid(4);
    const bool consistent = reply.status == text.left(3) && !reply.message.contains(QChar(0x03))
                            && reply.value == TrimControls(reply.value) && rest.startsWith(reply.message)
                            && rest.contains(reply.value);
    if (!consistent)
        std::abort();
    return 0;
}
