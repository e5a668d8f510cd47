#pragma once

#include "CourseServerRun.h"
#include "shell/TfrmMain.h"
#include "support/RecordingDialogs.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

// The course server with the demo course, and the client started on launch files from its
// course page through the program's own start-up, with a configuration naming the server.
class ClientRun : public ::testing::Test {
protected:
    void SetUp() override;
    // Downloads the launch file at the course page's address as a browser does, and starts
    // the client on it; the earlier window is closed first.
    void startClient(const QString& launchAddress);
    // As startClient, and the window shown and active, as a person finds it.
    void showClient(const QString& launchAddress);

    CourseServerRun server;
    QTemporaryDir config;
    ScopedRecordingDialogs dialogs;
    std::unique_ptr<TfrmMain> window;
    int runs = 0;
};
