#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A multipart/form-data body, parts in the order they were added. Text values go out as
// their code page 949 bytes; data parts carry a file name and a content type.
class UploadForm {
public:
    // Raises an error when the value holds a character code page 949 cannot hold,
    // so nothing is sent that the server would store as something else.
    void AddTextPart(const QString& name, const QString& value);
    // The form shares the bytes (no copy); the caller may drop its own copy.
    void AddDataPart(const QString& name, const QString& contentType, const QString& fileName, const QByteArray& data);

    struct Encoded {
        QByteArray contentType;  // "multipart/form-data; boundary=..."
        QByteArray body;
    };
    // Frames the parts with a boundary that occurs in none of them.
    Encoded encode() const;

    bool operator==(const UploadForm&) const = default;

private:
    struct Part {
        QByteArray header;  // header lines, each ending in CR LF
        QByteArray content;

        bool operator==(const Part&) const = default;
    };
    QList<Part> parts_;
};
