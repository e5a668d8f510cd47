#include "support/RecordingDialogs.h"

RecordingDialogs::RecordingDialogs() = default;
RecordingDialogs::~RecordingDialogs() = default;

void RecordingDialogs::information(const QString& caption, const QString& text)
{
    boxes.append({Kind::Information, caption, text});
}

void RecordingDialogs::error(const QString& caption, const QString& text)
{
    boxes.append({Kind::Error, caption, text});
}

bool RecordingDialogs::question(const QString& caption, const QString& text)
{
    boxes.append({Kind::Question, caption, text});
    return answers.isEmpty() ? false : answers.takeFirst();
}

QString RecordingDialogs::openPicture(const QString& filter)
{
    boxes.append({Kind::OpenPicture, QString(), filter});
    return pictures.isEmpty() ? QString() : pictures.takeFirst();
}

QStringList RecordingDialogs::texts(Kind kind) const
{
    QStringList out;
    for (const Box& box : boxes)
        if (box.kind == kind)
            out.append(box.text);
    return out;
}

ScopedRecordingDialogs::ScopedRecordingDialogs()
{
    auto dialogs = std::make_unique<RecordingDialogs>();
    dialogs_ = dialogs.get();
    previous_ = DialogService::replace(std::move(dialogs));
}

ScopedRecordingDialogs::~ScopedRecordingDialogs()
{
    DialogService::replace(std::move(previous_));
}
