#pragma once

#include <QStringList>
#include <memory>

class TfrmMain;

// The entry point's work between the application object and the message loop: without a
// launch-file argument only the information box shows and no window is made.
std::unique_ptr<TfrmMain> StartClient(const QStringList& arguments, const QString& configDir);
