#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

struct ReportSources;

// An object's text: literal runs and bracketed expressions, [dataset."FIELD"] for a field
// of the dataset's current row and [name] for a variable the frame answers.
class ReportExpression {
public:
    struct Part {
        enum class Kind { Literal, Field, Variable };
        Kind kind = Kind::Literal;
        QString text;     // literal text, field name or variable name
        QString dataset;  // Field only
    };

    // An unclosed "[" or an empty "[]" raises an error that quotes the text.
    static ReportExpression parse(const QString& text);

    const QList<Part>& parts() const { return parts_; }
    // True when the whole text is one [dataset."FIELD"], as a picture needs.
    bool isSingleField() const;

    QString evaluate(const ReportSources& sources) const;
    // The bytes of the single field (pictures).
    QByteArray fieldBytes(const ReportSources& sources) const;

private:
    QString source_;
    QList<Part> parts_;
};
