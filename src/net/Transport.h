#pragma once

#include "net/HttpClient.h"
#include "net/UploadForm.h"

#include <QBuffer>
#include <QString>

// Every exchange with the course server. Both calls hold the transfer gate: one started
// while another runs (a click inside a transfer) ends quietly with SilentAbort. Both show
// a progress window, hide it whatever happens, and raise AppError when the exchange fails.

// `revision`, when given, receives the revision the server says the record sent or fetched
// is stored as (HttpClient::revision()): empty when it names none.

// Posts the form to ClientIfUrl() and returns the reply body as text (code page 949).
QString PostForm(const UploadForm& form, QString* revision = nullptr);

// Fetches the address with a GET into the stream (opened if it is not), and leaves the
// stream positioned at 0.
void DownloadToStream(const QString& address, QBuffer& stream, QString* revision = nullptr);
// As DownloadToStream, but an address with nothing stored at it yet (404) gives false and
// leaves the stream as it was.
bool DownloadIfStored(const QString& address, QBuffer& stream, QString* revision);

// One of the server's optional requests (net/CourseAdditions.h), with the progress window
// showing `caption`.
HttpClient::Answer CallAddition(const QString& address, const QByteArray& token, const QByteArray* jsonBody,
                                const QString& caption);
