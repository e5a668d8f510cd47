#include "net/Transport.h"

#include "core/Endpoint.h"
#include "core/TransferGate.h"
#include "net/HttpClient.h"
#include "net/TfrmProBar.h"
#include "text/Cp949.h"

#include <memory>

namespace {

template <typename Exchange>
QByteArray RunTransfer(const QString& caption, Exchange exchange)
{
    TransferGate::Pass pass;
    auto client = std::make_unique<HttpClient>();
    TfrmProBar* window = ShowProgress(*client, caption);
    try {
        QByteArray body = exchange(*client);
        client.reset();
        window->workEnd();
        return body;
    } catch (...) {
        client.reset();
        window->workEnd();
        throw;
    }
}

}

QString PostForm(const UploadForm& form)
{
    const UploadForm::Encoded encoded = form.encode();
    const QByteArray reply = RunTransfer(QStringLiteral("전송중입니다."), [&encoded](HttpClient& client) {
        return client.post(ClientIfUrl(), encoded.contentType, encoded.body);
    });
    return Cp949::decode(reply);
}

void DownloadToStream(const QString& address, QBuffer& stream)
{
    const QByteArray body =
        RunTransfer(QStringLiteral("수신중입니다."), [&address](HttpClient& client) { return client.get(address); });
    if (!stream.isOpen())
        stream.open(QIODevice::ReadWrite);
    stream.write(body);
    stream.seek(0);
}
