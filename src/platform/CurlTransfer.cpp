#include "platform/CurlTransfer.h"

#include "platform/CurlRequest.h"
#include "platform/FtpListing.h"
#include "platform/SafeFile.h"
#include "platform/ShellServices.h"
#include "platform/Wildcard.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>
#include <chrono>
#include <curl/curl.h>
#include <mutex>

namespace zo {
namespace {

// libcurl's receive buffer: where data arrives fast (loopback, a LAN) one read from the socket
// takes up to this much, so a large file costs a quarter of the reads, polls and progress calls
// that 128 KiB would
constexpr long kBufferSize = 512 * 1024;
constexpr long kAcceptTimeoutMs = 10000;
constexpr qint64 kListingLimit = 64 * 1024 * 1024;
const char* const kLoopbackNoProxy = "localhost,127.0.0.0/8,::1";
const QString kUploadSuffix = QStringLiteral(".upload");
constexpr long kLeftoverTimeoutMs = 3000;

void initialiseCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

QString seconds(int milliseconds)
{
    return QString::number(std::max(1, milliseconds / 1000));
}

QString afterLastSlash(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString localFilePath(const QString& folder, const QString& name)
{
    return withTrailingSeparator(folder) + name;
}

} // namespace

struct CurlTransfer::Handle
{
    CURL* curl = nullptr;
    ~Handle()
    {
        if (curl)
            curl_easy_cleanup(curl);
    }
};

struct CurlTransfer::Listing
{
    CURLcode result = CURLE_OK;
    bool folderMissing = false;
    QList<ListingEntry> entries;
};

CurlTransfer::CurlTransfer(Settings settings)
    : m_settings(std::move(settings)), m_handle(std::make_unique<Handle>())
{
    initialiseCurlOnce();
    m_handle->curl = curl_easy_init();
}

CurlTransfer::~CurlTransfer() = default;

void CurlTransfer::close()
{
    m_handle.reset();
}

void CurlTransfer::report(int code, const QString& text)
{
    if (m_settings.reportError)
        m_settings.reportError(code, text);
}

ItemOutcome CurlTransfer::run(const ItemJob& job)
{
    if (!m_handle || !m_handle->curl)
        return {};
    switch (job.protocol) {
    case wpFtp:
        return ftpDownload(job);
    case wpFtpUpload:
        return ftpUpload(job);
    case wpFtpDelete:
        return ftpDelete(job);
    case wpFtpList:
        return ftpList(job);
    case wpHttp:
        return httpDownload(job);
    default:
        return {};
    }
}

void CurlTransfer::prepare(CurlRequest& request, const ItemJob& job)
{
    CURL* curl = m_handle->curl;
    // a reset keeps the handle's live connection, so the next request reuses it
    curl_easy_reset(curl);
    request.curl = curl;
    request.job = &job;
    request.cancel = m_settings.cancel;
    request.isHttp = job.protocol == wpHttp;
    request.lastReport = std::chrono::steady_clock::now();

    setOption(curl, CURLOPT_NOSIGNAL, 1L);
    setOption(curl, CURLOPT_ERRORBUFFER, request.errorText);
    setOption(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(m_settings.connectTimeoutMs));
    setOption(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    setOption(curl, CURLOPT_LOW_SPEED_TIME,
              static_cast<long>(std::max(1, m_settings.stallTimeoutMs / 1000)));
    setOption(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT,
              static_cast<long>(std::max(1, m_settings.stallTimeoutMs / 1000)));
    setOption(curl, CURLOPT_NOPROGRESS, 0L);
    setOption(curl, CURLOPT_XFERINFOFUNCTION, onProgress);
    setOption(curl, CURLOPT_XFERINFODATA, &request);
    setOption(curl, CURLOPT_WRITEFUNCTION, onWrite);
    setOption(curl, CURLOPT_WRITEDATA, &request);
    setOption(curl, CURLOPT_USERAGENT, m_settings.agent.toUtf8().constData());
    setOption(curl, CURLOPT_NOPROXY, kLoopbackNoProxy);
    setOption(curl, CURLOPT_PROTOCOLS_STR, "http,https,ftp");
    setOption(curl, CURLOPT_BUFFERSIZE, kBufferSize);
    setOption(curl, CURLOPT_TCP_KEEPALIVE, 1L);
    if (request.isHttp)
        return;
    setOption(curl, CURLOPT_USERNAME, job.user.toUtf8().constData());
    setOption(curl, CURLOPT_PASSWORD, job.password.toUtf8().constData());
    setOption(curl, CURLOPT_FTPPORT, "-");
    setOption(curl, CURLOPT_ACCEPTTIMEOUT_MS,
              std::min(kAcceptTimeoutMs, static_cast<long>(m_settings.stallTimeoutMs)));
    setOption(curl, CURLOPT_SOCKOPTFUNCTION, onSocketOption);
    setOption(curl, CURLOPT_SOCKOPTDATA, &request);
}

int CurlTransfer::perform(CurlRequest& request)
{
    request.result = curl_easy_perform(request.curl);
    // the last figures of a finished transfer are shown even when they came too soon
    if (request.result == CURLE_OK)
        reportProgress(request);
    curl_easy_getinfo(request.curl, CURLINFO_PRETRANSFER_TIME_T, &request.pretransfer);
    curl_easy_getinfo(request.curl, CURLINFO_RESPONSE_CODE, &request.ftpReply);
    return request.result;
}

void CurlTransfer::reportFtpFailure(const CurlRequest& request, const ItemJob& job,
                                    const QString& what)
{
    if (request.result == CURLE_ABORTED_BY_CALLBACK) {
        if (request.foreignPeer)
            report(kErrorForeignPeer, QStringLiteral("Refused a data connection from %1 during %2: "
                                                     "only the instrument %3 may connect")
                                          .arg(request.foreignAddress, what, job.host));
        return;
    }
    if (request.failedBeforeSession()) {
        report(kErrorConnect, QStringLiteral("Cannot connect to FTP server ") + job.host);
        return;
    }
    switch (request.result) {
    case CURLE_OPERATION_TIMEDOUT:
        report(kErrorTimeout, QStringLiteral("Gave up on %1: nothing arrived from %2 for %3 s")
                                  .arg(what, job.host, seconds(m_settings.stallTimeoutMs)));
        break;
    case CURLE_FTP_ACCEPT_TIMEOUT:
    case CURLE_FTP_ACCEPT_FAILED:
    case CURLE_FTP_PORT_FAILED:
        report(kErrorTimeout, QStringLiteral("The instrument %1 did not open the data connection "
                                             "for %2 (active mode)")
                                  .arg(job.host, what));
        break;
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
        report(kErrorBrokenOff,
               QStringLiteral("The connection to %1 broke off during %2").arg(job.host, what));
        break;
    default:
        // a file or folder the instrument does not have: the item's failure says enough
        break;
    }
}

ItemOutcome CurlTransfer::ftpDownload(const ItemJob& job)
{
    const QString remoteName = afterLastSlash(job.url);
    const QString localName = job.targetFilename.isEmpty() ? remoteName : job.targetFilename;
    const QString localPath = localFilePath(job.targetDir, localName);
    const QString what = QStringLiteral("the download of ") + job.url;
    if (hasControlCharacter(job.url)) {
        report(kErrorUnsafeName, QStringLiteral("Refused to fetch %1: the name holds control "
                                                "characters")
                                     .arg(job.url));
        return {};
    }
    if (!isSafeLocalName(localName)) {
        report(kErrorUnsafeName, QStringLiteral("Refused to store %1 as %2: that is no file name "
                                                "inside the folder")
                                     .arg(job.url, localPath));
        return {};
    }
    createFolderPath(job.targetDir);
    // the data goes to a temporary file that replaces the real one only once it is complete
    SafeFile file(localPath);
    if (!file.open()) {
        report(kErrorTargetFile, QStringLiteral("Cannot create target file ") + localPath);
        return {};
    }
    CurlRequest request;
    prepare(request, job);
    request.file = &file;
    request.reportsProgress = true;
    const QByteArray url = ftpUrl(job, job.url);
    setOption(request.curl, CURLOPT_URL, url.constData());
    const bool listed = job.listedSize >= 0;
    if (listed) {
        // the listing gave the size: RETR without SIZE before it
        setOption(request.curl, CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
        request.knownTotal = static_cast<quint64>(job.listedSize);
    }
    perform(request);
    if (request.result != CURLE_OK || request.writeFailed) {
        file.cancel();
        if (request.writeFailed)
            report(kErrorTargetFile, QStringLiteral("Cannot create target file ") + localPath);
        else
            reportFtpFailure(request, job, what);
        return {};
    }
    // Another length than listed: either the file changed since, or the transfer was cut
    // short although the server said it was complete. The size the server gives now tells
    // which (the check libcurl makes when it has asked for the size itself).
    if (listed && request.received != job.listedSize && remoteSize(job, url) != request.received) {
        file.cancel();
        report(kErrorBrokenOff,
               QStringLiteral("The connection to %1 broke off during %2").arg(job.host, what));
        return {};
    }
    if (!file.commit()) {
        report(kErrorTargetFile, QStringLiteral("Cannot create target file ") + localPath);
        return {};
    }
    return {true, false, {}};
}

ItemOutcome CurlTransfer::ftpUpload(const ItemJob& job)
{
    QFile source(job.url);
    if (!source.open(QIODevice::ReadOnly)) {
        report(kErrorSourceFile, QStringLiteral("Cannot open source file ") + job.url);
        return {};
    }
    const QString name =
        job.targetFilename.isEmpty() ? QFileInfo(job.url).fileName() : job.targetFilename;
    if (name.isEmpty() || hasControlCharacter(name) || hasControlCharacter(job.targetDir) ||
        name.contains(QLatin1Char('/'))) {
        report(
            kErrorUnsafeName,
            QStringLiteral("Refused to send %1: \"%2\" is no remote file name").arg(job.url, name));
        return {};
    }
    const QString sentName = job.replaceSafely ? name + kUploadSuffix : name;
    const QString what = QStringLiteral("the upload of ") + job.url;
    const QString folder = job.targetDir;
    const QByteArray url = ftpUrl(job, folder + sentName);

    CurlRequest request;
    prepare(request, job);
    request.source = &source;
    request.upload = true;
    request.reportsProgress = true;
    setOption(request.curl, CURLOPT_URL, url.constData());
    setOption(request.curl, CURLOPT_UPLOAD, 1L);
    setOption(request.curl, CURLOPT_READFUNCTION, onRead);
    setOption(request.curl, CURLOPT_READDATA, &request);
    setOption(request.curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(source.size()));
    setOption(request.curl, CURLOPT_FTP_CREATE_MISSING_DIRS,
              static_cast<long>(CURLFTP_CREATE_DIR_RETRY));
    perform(request);
    if (request.result != CURLE_OK) {
        if (request.readFailed)
            report(kErrorSourceFile, QStringLiteral("Cannot open source file ") + job.url);
        else
            reportFtpFailure(request, job, what);
        curl_off_t sent = 0;
        curl_easy_getinfo(request.curl, CURLINFO_SIZE_UPLOAD_T, &sent);
        if (job.replaceSafely && sent > 0)
            removeLeftover(job, folder, sentName);
        return {};
    }
    if (!confirmRemoteSize(job, url, source.size(), folder + sentName)) {
        if (job.replaceSafely)
            removeLeftover(job, folder, sentName);
        return {};
    }
    if (job.replaceSafely && !renameRemote(job, ftpUrl(job, folder), sentName, name)) {
        if (cancelled()) {
            removeLeftover(job, folder, sentName);
            return {};
        }
        report(kErrorIncompleteUpload,
               QStringLiteral("The instrument %1 kept its old %2: the new copy arrived as %3 but "
                              "could not replace it")
                   .arg(job.host, folder + name, folder + sentName));
        return {};
    }
    return {true, false, {}};
}

void CurlTransfer::removeLeftover(const ItemJob& job, const QString& folder, const QString& name)
{
    // brief and best effort, also after a cancel: a half-sent copy is of no use to the
    // instrument, and its real file was never touched
    CurlRequest request;
    prepare(request, job);
    request.cancel = nullptr;
    const Slist commands = makeSlist({"DELE " + name.toUtf8()});
    setOption(request.curl, CURLOPT_URL, ftpUrl(job, folder).constData());
    setOption(request.curl, CURLOPT_NOBODY, 1L);
    setOption(request.curl, CURLOPT_POSTQUOTE, commands.get());
    setOption(request.curl, CURLOPT_CONNECTTIMEOUT_MS, kLeftoverTimeoutMs);
    setOption(request.curl, CURLOPT_TIMEOUT_MS, kLeftoverTimeoutMs);
    perform(request);
}

bool CurlTransfer::cancelled() const
{
    return m_settings.cancel && m_settings.cancel->load();
}

bool CurlTransfer::confirmRemoteSize(const ItemJob& job, const QByteArray& url, qint64 expected,
                                     const QString& shownName)
{
    // a server may answer "complete" for a file it cut short
    CurlRequest request;
    prepare(request, job);
    setOption(request.curl, CURLOPT_URL, url.constData());
    setOption(request.curl, CURLOPT_NOBODY, 1L);
    perform(request);
    curl_off_t remoteSize = -1;
    curl_easy_getinfo(request.curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &remoteSize);
    if (request.result == CURLE_OK && (remoteSize < 0 || remoteSize == expected))
        return true;
    if (request.result == CURLE_OK || request.result == CURLE_REMOTE_FILE_NOT_FOUND) {
        report(kErrorIncompleteUpload,
               QStringLiteral("The instrument %1 holds %2 of the %3 bytes sent as %4")
                   .arg(job.host)
                   .arg(std::max<curl_off_t>(remoteSize, 0))
                   .arg(expected)
                   .arg(shownName));
        return false;
    }
    reportFtpFailure(request, job, QStringLiteral("the check of ") + shownName);
    return false;
}

qint64 CurlTransfer::remoteSize(const ItemJob& job, const QByteArray& url)
{
    CurlRequest request;
    prepare(request, job);
    setOption(request.curl, CURLOPT_URL, url.constData());
    setOption(request.curl, CURLOPT_NOBODY, 1L);
    perform(request);
    curl_off_t size = -1;
    if (request.result == CURLE_OK)
        curl_easy_getinfo(request.curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &size);
    return size;
}

bool CurlTransfer::renameRemote(const ItemJob& job, const QByteArray& folderUrl,
                                const QString& from, const QString& to)
{
    const auto attempt = [&](const QList<QByteArray>& commands) {
        CurlRequest request;
        prepare(request, job);
        const Slist list = makeSlist(commands);
        setOption(request.curl, CURLOPT_URL, folderUrl.constData());
        setOption(request.curl, CURLOPT_NOBODY, 1L);
        setOption(request.curl, CURLOPT_POSTQUOTE, list.get());
        perform(request);
        return request.result == CURLE_OK;
    };
    const QByteArray renameFrom = "RNFR " + from.toUtf8();
    const QByteArray renameTo = "RNTO " + to.toUtf8();
    if (attempt({renameFrom, renameTo}))
        return true;
    // some servers refuse to rename onto an existing file: remove it only now that the new copy
    // is complete on the instrument
    return attempt({"*DELE " + to.toUtf8(), renameFrom, renameTo});
}

ItemOutcome CurlTransfer::ftpDelete(const ItemJob& job)
{
    QString name = job.targetFilename;
    if (name.isEmpty()) {
        const qsizetype cut =
            std::max(job.url.lastIndexOf(QLatin1Char('/')), job.url.lastIndexOf(QLatin1Char('\\')));
        name = job.url.mid(cut + 1);
    }
    if (name.isEmpty() || hasControlCharacter(name) || hasControlCharacter(job.targetDir)) {
        report(kErrorUnsafeName,
               QStringLiteral("Refused to delete \"%1\": that is no remote file name").arg(name));
        return {false, true, {}};
    }
    CurlRequest request;
    prepare(request, job);
    const Slist commands = makeSlist({"DELE " + name.toUtf8()});
    setOption(request.curl, CURLOPT_URL, ftpUrl(job, job.targetDir).constData());
    setOption(request.curl, CURLOPT_NOBODY, 1L);
    setOption(request.curl, CURLOPT_POSTQUOTE, commands.get());
    perform(request);
    if (request.result == CURLE_OK)
        return {true, false, {}};
    if (request.result == CURLE_QUOTE_ERROR || request.result == CURLE_REMOTE_ACCESS_DENIED)
        return {false, true, {}};
    reportFtpFailure(request, job, QStringLiteral("the deletion of ") + job.targetDir + name);
    return {};
}

CurlTransfer::Listing CurlTransfer::fetchListing(const ItemJob& job, const QString& folder)
{
    Listing listing;
    for (;;) {
        const bool useMlsd = !m_mlsdUnsupported;
        QByteArray reply;
        CurlRequest request;
        prepare(request, job);
        request.buffer = &reply;
        request.sizeLimit = kListingLimit;
        setOption(request.curl, CURLOPT_URL, ftpUrl(job, folder).constData());
        if (useMlsd)
            setOption(request.curl, CURLOPT_CUSTOMREQUEST, "MLSD");
        perform(request);
        listing.result = request.result;
        if (request.result == CURLE_OK) {
            listing.entries =
                parseListing(reply, useMlsd ? ListingFormat::Mlsd : ListingFormat::List);
            return listing;
        }
        if (request.result == CURLE_REMOTE_ACCESS_DENIED) {
            listing.folderMissing = true;
            return listing;
        }
        // an instrument that knows only LIST says so once per session
        if (useMlsd && !request.failedBeforeSession() && isUnknownCommand(request.ftpReply)) {
            m_mlsdUnsupported = true;
            continue;
        }
        reportFtpFailure(request, job, QStringLiteral("the listing of ") + job.url);
        return listing;
    }
}

ItemOutcome CurlTransfer::ftpList(const ItemJob& job)
{
    QString pattern = job.url;
    pattern.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (hasControlCharacter(pattern)) {
        report(kErrorUnsafeName,
               QStringLiteral("Refused to list \"%1\": the name holds control characters")
                   .arg(pattern));
        return {};
    }
    const qsizetype cut = pattern.lastIndexOf(QLatin1Char('/'));
    const QString folder = pattern.left(cut + 1);
    const QString mask = pattern.mid(cut + 1);

    ItemOutcome outcome;
    const auto take = [&outcome](const QList<ListingEntry>& entries, const QString& wanted) {
        for (const ListingEntry& entry : entries) {
            if (wanted.isEmpty() || matchesMask(entry.name, wanted))
                outcome.details << TFileDetailItem{entry.name, entry.attributes, entry.size,
                                                   entry.modified};
        }
        outcome.ok = true;
    };

    // a plain name that is a folder lists that folder's entries, as a server lists a folder
    if (!mask.isEmpty() && !hasWildcard(mask)) {
        const Listing inside = fetchListing(job, folder + mask + QLatin1Char('/'));
        if (inside.result == CURLE_OK) {
            take(inside.entries, QString());
            return outcome;
        }
        if (!inside.folderMissing)
            return outcome;
    }
    const Listing listing = fetchListing(job, folder);
    if (listing.result == CURLE_OK)
        take(listing.entries, mask);
    else if (listing.folderMissing)
        outcome.ok = true; // a folder the instrument does not have holds nothing
    return outcome;
}

ItemOutcome CurlTransfer::httpDownload(const ItemJob& job)
{
    QString name = job.targetFilename;
    if (name.isEmpty()) {
        const QUrl url(job.url);
        name = afterLastSlash(url.isValid() ? url.path() : job.url);
    }
    const QString localPath = localFilePath(job.targetDir, name);
    if (!isSafeLocalName(name)) {
        report(kErrorTargetFile, QStringLiteral("Cannot create file ") + localPath);
        return {};
    }
    createFolderPath(job.targetDir);
    SafeFile file(localPath);
    if (!file.open()) {
        report(kErrorTargetFile, QStringLiteral("Cannot create file ") + localPath);
        return {};
    }
    CurlRequest request;
    prepare(request, job);
    request.file = &file;
    request.reportsProgress = true;
    request.sizeLimit = job.sizeLimit;
    const Slist headers = makeSlist({"Cache-Control: no-cache", "Pragma: no-cache"});
    setOption(request.curl, CURLOPT_URL, job.url.toUtf8().constData());
    setOption(request.curl, CURLOPT_HTTPGET, 1L);
    setOption(request.curl, CURLOPT_HTTPHEADER, headers.get());
    setOption(request.curl, CURLOPT_FOLLOWLOCATION, 1L);
    setOption(request.curl, CURLOPT_MAXREDIRS, 10L);
    setOption(request.curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    perform(request);

    long status = 0;
    curl_easy_getinfo(request.curl, CURLINFO_RESPONSE_CODE, &status);
    if (status >= 300) {
        file.cancel();
        report(static_cast<int>(status),
               QStringLiteral("Returned http error code ") + QString::number(status));
        return {};
    }
    if (request.tooLarge) {
        file.cancel();
        report(kErrorTooLarge, QStringLiteral("Refused %1: it is larger than %2 bytes")
                                   .arg(job.url)
                                   .arg(job.sizeLimit));
        return {};
    }
    if (request.result != CURLE_OK || request.writeFailed || request.received == 0) {
        file.cancel();
        if (request.writeFailed)
            report(kErrorTargetFile, QStringLiteral("Cannot create file ") + localPath);
        else if (request.result == CURLE_OPERATION_TIMEDOUT)
            report(kErrorTimeout,
                   QStringLiteral("Gave up on %1: no answer within the time allowed").arg(job.url));
        else if (request.result == CURLE_PARTIAL_FILE || request.result == CURLE_RECV_ERROR)
            report(kErrorBrokenOff, QStringLiteral("The download of %1 broke off").arg(job.url));
        return {};
    }
    if (!file.commit()) {
        report(kErrorTargetFile, QStringLiteral("Cannot create file ") + localPath);
        return {};
    }
    return {true, false, {}};
}

} // namespace zo
