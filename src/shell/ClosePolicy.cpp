#include "shell/ClosePolicy.h"

namespace ClosePolicy {

bool run(const QList<Frame>& frames, const std::function<Answer()>& ask)
{
    for (const Frame& frame : frames) {
        if (!frame.unsaved)
            continue;
        switch (ask()) {
        case Answer::Yes:
            frame.save();
            break;
        case Answer::No:
            frame.discard();
            break;
        case Answer::Cancel:
            return false;
        }
    }
    return true;
}

}
