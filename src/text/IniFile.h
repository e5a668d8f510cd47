#pragma once

#include <QString>
#include <optional>

// Reads INI files with the platform's private-profile rules: section and key names
// compare without regard to case, the first match wins, blanks around names and values
// are dropped, a value in matching quotes loses them, and at most 2047 characters of a
// value are used. A missing file, section or key gives no value.
class IniFile {
public:
    static constexpr int kMaxValueLength = 2047;

    // Raises an error only when the file exists but cannot be read.
    static IniFile load(const QString& path);
    static IniFile fromText(const QString& text);

    std::optional<QString> value(const QString& section, const QString& key) const;

private:
    QString text_;
};
