#include "core/TransferSettings.h"

namespace {
TransferSettings& current()
{
    static TransferSettings settings;
    return settings;
}
}

void SetTransferSettings(const TransferSettings& settings)
{
    current() = settings;
}

const TransferSettings& CurrentTransferSettings()
{
    return current();
}
