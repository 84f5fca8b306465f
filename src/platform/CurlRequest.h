#pragma once

#include "platform/CurlTransfer.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <chrono>
#include <curl/curl.h>
#include <memory>

// The libcurl side of a transfer: one request's state, the callbacks libcurl calls, the
// addresses and the failure classes. Only the transfer session includes this.
namespace zo {

class SafeFile;

// One libcurl request and the places its data goes to or comes from.
struct CurlRequest
{
    CURL* curl = nullptr;
    const ItemJob* job = nullptr;
    const std::atomic_bool* cancel = nullptr;
    bool reportsProgress = false;
    bool upload = false;
    bool isHttp = false;

    SafeFile* file = nullptr;
    QByteArray* buffer = nullptr;
    QFile* source = nullptr;
    qint64 sizeLimit = 0;
    qint64 received = 0;
    // the total to show when libcurl knows none (a download whose size a listing gave)
    quint64 knownTotal = 0;

    long httpStatus = 0;
    bool tooLarge = false;
    bool writeFailed = false;
    bool readFailed = false;
    bool foreignPeer = false;
    QString foreignAddress;
    // the latest figures libcurl gave, those last reported, and when
    quint64 seenNow = 0;
    quint64 seenTotal = 0;
    quint64 lastNow = ~quint64(0);
    quint64 lastTotal = ~quint64(0);
    std::chrono::steady_clock::time_point lastReport;

    CURLcode result = CURLE_OK;
    curl_off_t pretransfer = 0;
    long ftpReply = 0;
    char errorText[CURL_ERROR_SIZE] = {};

    // Failed before the server session was set up: no connection, or no login.
    bool failedBeforeSession() const;
};

// The callbacks, with the request as their user data.
size_t onWrite(char* data, size_t size, size_t count, void* userdata);
size_t onRead(char* data, size_t size, size_t count, void* userdata);
int onProgress(void* userdata, curl_off_t downloadTotal, curl_off_t downloadNow,
               curl_off_t uploadTotal, curl_off_t uploadNow);
int onSocketOption(void* userdata, curl_socket_t socket, curlsocktype purpose);
// Hands the latest figures to the item's progress handler, unless they were handed already.
void reportProgress(CurlRequest& request);

template <typename Value>
void setOption(CURL* curl, CURLoption option, Value value)
{
    curl_easy_setopt(curl, option, value);
}

struct SlistDeleter
{
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using Slist = std::unique_ptr<curl_slist, SlistDeleter>;
Slist makeSlist(const QList<QByteArray>& lines);

// An FTP address for a remote path in "/" form; a path that begins with "/" starts at the
// server's root, any other at the folder the login starts in.
QByteArray ftpUrl(const ItemJob& job, const QString& path);
// A name that goes into an FTP command must not be able to end that command early.
bool hasControlCharacter(const QString& text);

bool isConnectFailure(CURLcode code);
bool isNetworkFailure(CURLcode code);
bool isUnknownCommand(long ftpReply);

} // namespace zo
