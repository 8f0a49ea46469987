#pragma once
// Parsing of one HTTP/1.x request held in a buffer. Pure; the web service feeds it the
// bytes received so far.
#include <QByteArray>

constexpr int kMaxHttpRequest = 64 * 1024;   // header and body together

struct HttpRequest {
    enum class Status { Incomplete, Complete, Bad, TooLarge, Unsupported };
    Status status = Status::Incomplete;
    QByteArray method;
    QByteArray path;    // without query string
    QByteArray query;
    QByteArray body;
};

// Incomplete: more bytes are needed (and the buffer is still under the cap).
// Bad: not an HTTP request line / malformed header / bad Content-Length.
// TooLarge: header and body would exceed `cap`.
// Unsupported: a chunked request body.
HttpRequest ParseHttpRequest(const QByteArray& buffer, int cap = kMaxHttpRequest);
