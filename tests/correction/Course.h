#pragma once

#include "dataset/DataSet.h"
#include "support/CourseServerProcess.h"

#include <QStringList>

#include <memory>

class TfmeTeacher;

// The reference course server for a test suite, with helpers that store essays and
// corrections on it the way the clients do (S002 and T002 forms).
class Course {
public:
    static void Start();
    static void Stop();
    static CourseServerProcess& Server() { return *server; }

    // A new lecture of the demo student holding the essay; returns its key.
    static QString PostEssay(DataSet& essay);
    static void PostCorrection(const QString& key, DataSet& correction);
    static QString EssayUrl(const QString& key);
    static QString CorrectionUrl(const QString& key);
    static QString DiscussionUrl();

    // Full launch fields as the course page writes them, the correction flag after
    // whether one exists on the server.
    static QStringList TeacherFields(const QString& key, bool hasCorrection);
    static QStringList ViewFields(const QString& key);

    // A correction frame shown at its working size, before any set-up.
    static std::unique_ptr<TfmeTeacher> ShownFrame();

private:
    static CourseServerProcess* server;
};
