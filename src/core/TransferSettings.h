#pragma once

#include <QString>
#include <QtGlobal>

// What every transfer may take in and whom it trusts; set once at start-up from the
// configuration (docs/configuration.md).
struct TransferSettings {
    // A form's reply is a status line and a lecture key; a megabyte is plenty.
    qint64 maxReplyBytes = qint64(1) << 20;
    // A downloaded record: the course server takes posts up to 64 MiB.
    qint64 maxDownloadBytes = qint64(128) << 20;
    // PEM certificates of a school's own certificate authority, trusted besides the
    // system's. Empty: the system's only.
    QString caFile;
};

void SetTransferSettings(const TransferSettings& settings);
const TransferSettings& CurrentTransferSettings();
