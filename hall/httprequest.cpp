#include "httprequest.h"

#include <QList>

namespace {

HttpRequest WithStatus(HttpRequest::Status status)
{
    HttpRequest request;
    request.status = status;
    return request;
}

bool IsToken(const QByteArray& text)
{
    if (text.isEmpty() || text.size() > 16)
        return false;
    for (char ch : text)
        if (ch < 'A' || ch > 'Z')
            return false;
    return true;
}

}  // namespace

HttpRequest ParseHttpRequest(const QByteArray& buffer, int cap)
{
    int headerEnd = buffer.indexOf("\r\n\r\n");
    int separator = 4;
    const int bareEnd = buffer.indexOf("\n\n");
    if (bareEnd >= 0 && (headerEnd < 0 || bareEnd < headerEnd)) {
        headerEnd = bareEnd;
        separator = 2;
    }
    if (headerEnd < 0)
        return WithStatus(buffer.size() >= cap ? HttpRequest::Status::TooLarge : HttpRequest::Status::Incomplete);
    if (headerEnd + separator > cap)
        return WithStatus(HttpRequest::Status::TooLarge);

    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    if (requestLine.size() != 3 || !IsToken(requestLine[0]) || !requestLine[1].startsWith('/')
        || !requestLine[2].startsWith("HTTP/1."))
        return WithStatus(HttpRequest::Status::Bad);

    qint64 contentLength = 0;
    bool haveLength = false;
    for (int i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const int colon = line.indexOf(':');
        if (colon <= 0)
            return WithStatus(HttpRequest::Status::Bad);
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "content-length") {
            bool ok = false;
            const qint64 length = value.toLongLong(&ok);
            if (!ok || length < 0 || (haveLength && length != contentLength))
                return WithStatus(HttpRequest::Status::Bad);
            contentLength = length;
            haveLength = true;
        } else if (name == "transfer-encoding" && value.toLower() != "identity") {
            return WithStatus(HttpRequest::Status::Unsupported);
        }
    }
    const qint64 bodyStart = headerEnd + separator;
    if (bodyStart + contentLength > cap)
        return WithStatus(HttpRequest::Status::TooLarge);
    if (buffer.size() < bodyStart + contentLength)
        return WithStatus(HttpRequest::Status::Incomplete);

    HttpRequest request;
    request.status = HttpRequest::Status::Complete;
    request.method = requestLine[0];
    QByteArray target = requestLine[1];
    const int question = target.indexOf('?');
    if (question >= 0) {
        request.query = target.mid(question + 1);
        target.truncate(question);
    }
    request.path = target;
    request.body = buffer.mid(int(bodyStart), int(contentLength));
    return request;
}
