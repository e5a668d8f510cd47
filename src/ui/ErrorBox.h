#pragma once

#include <QString>
#include <exception>

// The modal information box captioned "안내".
void ShowInfo(const QString& text);

// The error box's text: the message, with "." added when its last character
// has a code above that of ".".
QString ErrorBoxText(const QString& message);

// The application's error box: the program goes on after it.
void ShowErrorBox(const QString& message);
void ShowException(const std::exception& error);
// For catch (...) blocks: shows the exception in flight; a SilentAbort shows nothing.
void ShowCurrentException();

// The error boundary of every slot and handler of the frames: an error ends in the error
// box (opened once the handler has returned) and never escapes through a signal-slot call.
template <typename F>
void Guarded(F&& action)
{
    try {
        action();
    } catch (...) {
        ShowCurrentException();
    }
}
