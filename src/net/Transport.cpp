#include "net/Transport.h"

#include "core/Endpoint.h"
#include "core/TransferGate.h"
#include "net/HttpClient.h"
#include "net/TfrmProBar.h"
#include "text/Cp949.h"

#include <memory>

namespace {

template <typename Exchange>
auto RunTransfer(const QString& caption, Exchange exchange)
{
    TransferGate::Pass pass;
    auto client = std::make_unique<HttpClient>();
    TfrmProBar* window = ShowProgress(*client, caption);
    try {
        auto body = exchange(*client);
        client.reset();
        window->workEnd();
        return body;
    } catch (...) {
        client.reset();
        window->workEnd();
        throw;
    }
}

void fill(QBuffer& stream, const QByteArray& body)
{
    if (!stream.isOpen())
        stream.open(QIODevice::ReadWrite);
    stream.write(body);
    stream.seek(0);
}

void note(QString* revision, const HttpClient& client)
{
    if (revision)
        *revision = client.revision();
}

}

QString PostForm(const UploadForm& form, QString* revision)
{
    const UploadForm::Encoded encoded = form.encode();
    const QByteArray reply = RunTransfer(QStringLiteral("전송중입니다."), [&](HttpClient& client) {
        QByteArray body = client.post(ClientIfUrl(), encoded.contentType, encoded.body);
        note(revision, client);
        return body;
    });
    return Cp949::decode(reply);
}

void DownloadToStream(const QString& address, QBuffer& stream, QString* revision)
{
    const QByteArray body = RunTransfer(QStringLiteral("수신중입니다."), [&](HttpClient& client) {
        QByteArray got = client.get(address);
        note(revision, client);
        return got;
    });
    fill(stream, body);
}

bool DownloadIfStored(const QString& address, QBuffer& stream, QString* revision)
{
    bool stored = false;
    const QByteArray body = RunTransfer(QStringLiteral("수신중입니다."), [&](HttpClient& client) {
        std::optional<QByteArray> got = client.getIfStored(address);
        note(revision, client);
        stored = got.has_value();
        return got.value_or(QByteArray());
    });
    if (stored)
        fill(stream, body);
    return stored;
}

HttpClient::Answer CallAddition(const QString& address, const QByteArray& token, const QByteArray* jsonBody,
                                const QString& caption)
{
    return RunTransfer(caption, [&](HttpClient& client) { return client.call(address, token, jsonBody); });
}
