#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <variant>

// The field types of a dataset. Strings have a size in code page 949 bytes; memos, blobs
// and pictures have none. Integers are signed.
enum class FieldType { String, SmallInt, Integer, Memo, Blob, Picture };

struct FieldDef {
    QString name;
    FieldType type = FieldType::String;
    int size = 0;  // strings only: the most bytes a value keeps

    bool operator==(const FieldDef&) const = default;
};

// One value of a row: null (monostate), an integer, text, or bytes.
using FieldValue = std::variant<std::monostate, qint32, QString, QByteArray>;
using FieldRow = QList<FieldValue>;

namespace FieldDefs {

inline constexpr int kMaxFields = 256;
inline constexpr int kMaxNameLength = 64;
inline constexpr int kMaxStringSize = 32767;

// A field name is a letter or "_" followed by letters, digits or "_"; both packet forms
// rely on it. Raises an error naming the first bad or duplicate field (case ignored).
void validate(const QList<FieldDef>& fields);

// Index of the field named `name` without regard to case, or -1.
int indexOf(const QList<FieldDef>& fields, QStringView name);

// The name each packet form uses for the type: "string", "int16", "int32", "memo",
// "blob", "picture".
QString typeName(FieldType type);
bool typeFromName(QStringView name, FieldType* type);

// Korean word for the type, for messages.
QString typeLabel(FieldType type);

bool holdsText(FieldType type);
bool holdsInteger(FieldType type);
bool holdsBytes(FieldType type);

}
