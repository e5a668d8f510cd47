#pragma once

#include "shell/TfrmMain.h"

#include <QByteArray>
#include <QTemporaryDir>
#include <memory>

// A folder holding a configuration and launch files, and main windows started on them.
class ShellFixture {
public:
    ShellFixture();

    // Writes bytes to a file in the folder and returns its path.
    QString write(const QString& name, const QByteArray& bytes) const;
    // A launch file with the fields joined by 0x03, Hangul as code page 949.
    QString launchFile(const QString& name, const QStringList& fields) const;
    std::unique_ptr<TfrmMain> start(const QString& launchPath) const;
    QString dir() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
};

// Full field lists for each mode.
QStringList StudentFields();
QStringList TeacherFields();
QStringList ViewFields();
