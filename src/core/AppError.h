#pragma once

#include <QString>
#include <stdexcept>

// The program's error: its message is what the error box shows.
class AppError : public std::runtime_error {
public:
    explicit AppError(const QString& message);
    const QString& message() const { return message_; }

private:
    QString message_;
};

// Unwinds an action without showing anything, like a refused second transfer.
class SilentAbort : public std::exception {
public:
    const char* what() const noexcept override { return "Operation aborted"; }
};

// The text of any exception as the error box shows it.
QString ExceptionMessage(const std::exception& error);
