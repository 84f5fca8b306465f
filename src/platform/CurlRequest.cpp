#include "platform/CurlRequest.h"

#include "platform/SafeFile.h"

#include <QUrl>
#include <algorithm>

#ifdef Q_OS_WIN
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netdb.h>
#include <sys/socket.h>
#endif

namespace zo {
namespace {

// Progress goes to the window's thread at most this often (and once more when an item
// completes): every report wakes that thread, and libcurl calls us once per read.
constexpr std::chrono::milliseconds kProgressInterval(50);

QByteArray encodePath(const QString& path)
{
    QByteArrayList encoded;
    for (const QString& part : path.split(QLatin1Char('/')))
        encoded << QUrl::toPercentEncoding(part);
    return encoded.join('/');
}

QString peerAddress(curl_socket_t socket)
{
    sockaddr_storage peer{};
    socklen_t length = sizeof(peer);
    if (getpeername(socket, reinterpret_cast<sockaddr*>(&peer), &length) != 0)
        return {};
    char host[NI_MAXHOST] = {};
    if (getnameinfo(reinterpret_cast<sockaddr*>(&peer), length, host, sizeof(host), nullptr, 0,
                    NI_NUMERICHOST) != 0)
        return {};
    QString address = QString::fromLatin1(host);
    if (address.startsWith(QStringLiteral("::ffff:")))
        address = address.mid(7);
    return address;
}

} // namespace

bool CurlRequest::failedBeforeSession() const
{
    return isConnectFailure(result) || (isNetworkFailure(result) && pretransfer == 0);
}

QByteArray ftpUrl(const ItemJob& job, const QString& path)
{
    QString host = job.host;
    if (host.contains(QLatin1Char(':')) && !host.startsWith(QLatin1Char('[')))
        host = QLatin1Char('[') + host + QLatin1Char(']');
    // whatever the address box holds stays a host name: "/", "@" and the like are encoded
    QByteArray url =
        "ftp://" + QUrl::toPercentEncoding(host, "[]:") + ':' + QByteArray::number(job.port) + '/';
    if (path.startsWith(QLatin1Char('/')))
        url += "%2F/" + encodePath(path.mid(1));
    else
        url += encodePath(path);
    return url;
}

bool hasControlCharacter(const QString& text)
{
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
}

bool isConnectFailure(CURLcode code)
{
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
    case CURLE_LOGIN_DENIED:
    case CURLE_URL_MALFORMAT:
    case CURLE_FTP_WEIRD_SERVER_REPLY:
    case CURLE_FTP_WEIRD_PASS_REPLY:
        return true;
    default:
        return false;
    }
}

bool isNetworkFailure(CURLcode code)
{
    switch (code) {
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
    case CURLE_FTP_COULDNT_USE_REST:
        return true;
    default:
        return false;
    }
}

bool isUnknownCommand(long ftpReply)
{
    return ftpReply == 500 || ftpReply == 501 || ftpReply == 502 || ftpReply == 504;
}

size_t onWrite(char* data, size_t size, size_t count, void* userdata)
{
    auto* request = static_cast<CurlRequest*>(userdata);
    const size_t bytes = size * count;
    if (request->isHttp) {
        long status = 0;
        curl_easy_getinfo(request->curl, CURLINFO_RESPONSE_CODE, &status);
        // an error page is not the file: swallow it
        if (status >= 300) {
            request->httpStatus = status;
            return bytes;
        }
    }
    const qint64 limit = request->sizeLimit;
    if (limit > 0 && request->received + static_cast<qint64>(bytes) > limit) {
        request->tooLarge = true;
        return 0;
    }
    if (request->file) {
        if (!request->file->write(data, static_cast<qint64>(bytes))) {
            request->writeFailed = true;
            return 0;
        }
    } else if (request->buffer) {
        request->buffer->append(data, static_cast<qsizetype>(bytes));
    }
    request->received += static_cast<qint64>(bytes);
    return bytes;
}

size_t onRead(char* data, size_t size, size_t count, void* userdata)
{
    auto* request = static_cast<CurlRequest*>(userdata);
    const qint64 read = request->source->read(data, static_cast<qint64>(size * count));
    if (read < 0) {
        request->readFailed = true;
        return CURL_READFUNC_ABORT;
    }
    return static_cast<size_t>(read);
}

void reportProgress(CurlRequest& request)
{
    if (!request.reportsProgress || !request.job->progress)
        return;
    if (request.isHttp && request.httpStatus >= 300)
        return;
    if (request.seenNow == request.lastNow && request.seenTotal == request.lastTotal)
        return;
    request.lastNow = request.seenNow;
    request.lastTotal = request.seenTotal;
    request.job->progress(request.seenNow, request.seenTotal);
}

int onProgress(void* userdata, curl_off_t downloadTotal, curl_off_t downloadNow,
               curl_off_t uploadTotal, curl_off_t uploadNow)
{
    auto* request = static_cast<CurlRequest*>(userdata);
    if (request->cancel && request->cancel->load(std::memory_order_relaxed))
        return 1;
    if (!request->reportsProgress || !request->job->progress)
        return 0;
    if (request->isHttp && request->httpStatus >= 300)
        return 0;
    request->seenNow = static_cast<quint64>(request->upload ? uploadNow : downloadNow);
    request->seenTotal = static_cast<quint64>(request->upload ? uploadTotal : downloadTotal);
    if (request->seenTotal == 0)
        request->seenTotal = request->knownTotal;
    const bool complete = request->seenTotal > 0 && request->seenNow == request->seenTotal;
    const auto clock = std::chrono::steady_clock::now();
    if (!complete && clock - request->lastReport < kProgressInterval)
        return 0;
    request->lastReport = clock;
    reportProgress(*request);
    return 0;
}

// In active mode anyone could connect to the port we announce: only the instrument may.
int onSocketOption(void* userdata, curl_socket_t socket, curlsocktype purpose)
{
    if (purpose != CURLSOCKTYPE_ACCEPT)
        return CURL_SOCKOPT_OK;
    auto* request = static_cast<CurlRequest*>(userdata);
    char* primary = nullptr;
    curl_easy_getinfo(request->curl, CURLINFO_PRIMARY_IP, &primary);
    QString instrument = QString::fromLatin1(primary ? primary : "");
    if (instrument.startsWith(QStringLiteral("::ffff:")))
        instrument = instrument.mid(7);
    const QString peer = peerAddress(socket);
    if (!peer.isEmpty() && peer == instrument)
        return CURL_SOCKOPT_OK;
    request->foreignPeer = true;
    request->foreignAddress = peer;
    return CURL_SOCKOPT_ERROR;
}

Slist makeSlist(const QList<QByteArray>& lines)
{
    curl_slist* list = nullptr;
    for (const QByteArray& line : lines)
        list = curl_slist_append(list, line.constData());
    return Slist(list);
}

} // namespace zo
