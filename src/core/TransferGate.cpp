#include "core/TransferGate.h"

#include "core/AppError.h"

TransferGate& TransferGate::instance()
{
    static TransferGate gate;
    return gate;
}

TransferGate::Pass::Pass()
{
    if (instance().busy_)
        throw SilentAbort();
    emit instance().starting();
    instance().busy_ = true;
}

TransferGate::Pass::~Pass()
{
    instance().busy_ = false;
    emit instance().idle();
}
