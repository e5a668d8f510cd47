#pragma once

#include <QJsonObject>
#include <QString>
#include <QUrlQuery>

#include <optional>

// The requests a course server may offer beyond the form endpoint and the record addresses
// (docs/additions.md): each under ServerUrl()/api/NAME/KEY, KEY the run's lecture, signed
// with the run's launch token, answered with a JSON object. A course site that knows none
// of them answers something else (404, a redirect to its sign-in page, its own HTML), and
// the run then shows nothing of them.
class CourseAdditions {
public:
    CourseAdditions(QString lectureKey, QString token);

    // A run without a lecture or a token (a new essay before its first save, a viewing
    // file that carries none) has nothing to sign with.
    bool possible() const;

    // The answer of GET /api/NAME/KEY?QUERY, or nothing when the site does not offer it
    // (and for a run that is not `possible`). Raises AppError when the site offers it and
    // refused (quoting its "message"), or when no answer came; the progress window shows
    // `caption` meanwhile.
    std::optional<QJsonObject> get(const QString& name, const QUrlQuery& query, const QString& caption) const;
    // As get, a POST of `body`.
    std::optional<QJsonObject> post(const QString& name, const QJsonObject& body, const QString& caption) const;

private:
    std::optional<QJsonObject> call(const QString& name, const QUrlQuery& query, const QJsonObject* body,
                                    const QString& caption) const;

    QString lectureKey_;
    QString token_;
};
