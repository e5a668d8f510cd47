#pragma once

#include "ui/DialogService.h"

#include <QList>
#include <QString>

// Stands in for the message boxes: records each box and answers questions from a queue
// (No when the queue is empty) and picture dialogs from another (cancelled when it is
// empty; the box's text is the filter). Installed for the lifetime of the object.
class RecordingDialogs : public DialogService {
public:
    enum class Kind { Information, Error, Question, OpenPicture };
    struct Box {
        Kind kind;
        QString caption;
        QString text;
    };

    RecordingDialogs();
    ~RecordingDialogs() override;

    void information(const QString& caption, const QString& text) override;
    void error(const QString& caption, const QString& text) override;
    bool question(const QString& caption, const QString& text) override;
    QString openPicture(const QString& filter) override;

    QList<Box> boxes;
    QList<bool> answers;
    QStringList pictures;

    // The texts of the boxes of one kind, in order.
    QStringList texts(Kind kind) const;
};

// Installs a RecordingDialogs for the scope and gives access to it.
class ScopedRecordingDialogs {
public:
    ScopedRecordingDialogs();
    ~ScopedRecordingDialogs();
    RecordingDialogs* operator->() const { return dialogs_; }
    RecordingDialogs& operator*() const { return *dialogs_; }

private:
    RecordingDialogs* dialogs_;
    std::unique_ptr<DialogService> previous_;
};
