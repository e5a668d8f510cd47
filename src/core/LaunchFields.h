#pragma once

#include <QString>
#include <QStringList>

// The launch file's fields, index 0 the mode code. Reading past the end raises
// "List index out of bounds (N)", which stops a set-up at the missing field.
class LaunchFields {
public:
    LaunchFields() = default;
    explicit LaunchFields(QStringList fields) : fields_(std::move(fields)) {}

    const QString& at(int index) const;
    int count() const { return int(fields_.size()); }
    const QStringList& all() const { return fields_; }

private:
    QStringList fields_;
};

// A stored record's revision as the course site writes it: 1 to 18 decimal digits.
bool IsRevision(const QString& text);
