#pragma once
// State of one content-set catalogue window (caller voices, fun-bingo shouts,
// announcers).
#include <QByteArray>
#include <QString>

class HttpClient;

// The value after the first occurrence of key up to the first "%" within the 1024
// characters that follow; empty when either is missing.
QByteArray CatalogueValue(const QByteArray& key, const QByteArray& reply);

struct CatalogueState {
    int State = 0;              // 1 = catalogue being fetched, 2 = a set download was requested
    QByteArray Reply;           // the last catalogue reply (the fun-bingo window keeps it for its quantities)
    QString SetName;            // set key + number of the download under way
    int SelectedIndex = -1;     // the list index chosen for that download
    int Entries = 0;            // entries the list shows
    HttpClient* Http = nullptr; // the window's own HTTP client
};
