#pragma once

#include "platform/WebCopy.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

namespace zo {

struct CurlRequest;

// Error codes of our own, beside those the component has always had; none of them ends a batch.
inline constexpr int kErrorTimeout = 11;
inline constexpr int kErrorBrokenOff = 12;
inline constexpr int kErrorForeignPeer = 13;
inline constexpr int kErrorIncompleteUpload = 14;
inline constexpr int kErrorUnsafeName = 15;
inline constexpr int kErrorTooLarge = 16;

// What the worker needs of one transfer item.
struct ItemJob
{
    TWebCopyProtocol protocol = wpHttp;
    QString url;
    QString targetDir;
    QString targetFilename;
    QString host;
    QString user;
    QString password;
    int port = 21;
    bool replaceSafely = false;
    qint64 sizeLimit = 0;
    // an FTP download's size as a listing showed it, -1 when unknown
    qint64 listedSize = -1;
    // Bytes moved so far and the total (0 when unknown); called on the worker thread.
    std::function<void(quint64, quint64)> progress;
};

struct ItemOutcome
{
    bool ok = false;
    bool deleteRefused = false;
    QList<TFileDetailItem> details;
};

// One transfer session over libcurl: one easy handle, so consecutive items to the same server
// share one connection. Runs on the batch's worker thread.
class CurlTransfer
{
public:
    struct Settings
    {
        QString agent;
        int connectTimeoutMs = 15000;
        int stallTimeoutMs = 60000;
        const std::atomic_bool* cancel = nullptr;
        // Error texts as they arrive; called on the worker thread.
        std::function<void(int, const QString&)> reportError;
    };

    explicit CurlTransfer(Settings settings);
    ~CurlTransfer();
    CurlTransfer(const CurlTransfer&) = delete;
    CurlTransfer& operator=(const CurlTransfer&) = delete;

    ItemOutcome run(const ItemJob& job);
    // Ends the session and its connection.
    void close();

    // What one directory request brought.
    struct Listing;

private:
    ItemOutcome ftpDownload(const ItemJob& job);
    ItemOutcome ftpUpload(const ItemJob& job);
    ItemOutcome ftpDelete(const ItemJob& job);
    ItemOutcome ftpList(const ItemJob& job);
    ItemOutcome httpDownload(const ItemJob& job);

    Listing fetchListing(const ItemJob& job, const QString& folder);
    bool confirmRemoteSize(const ItemJob& job, const QByteArray& url, qint64 expected,
                           const QString& shownName);
    // The size the server gives for a file now, -1 when it gives none.
    qint64 remoteSize(const ItemJob& job, const QByteArray& url);
    // Deletes the temporary copy a safe upload left behind.
    void removeLeftover(const ItemJob& job, const QString& folder, const QString& name);
    bool cancelled() const;
    bool renameRemote(const ItemJob& job, const QByteArray& folderUrl, const QString& from,
                      const QString& to);

    void prepare(CurlRequest& request, const ItemJob& job);
    int perform(CurlRequest& request);
    void reportFtpFailure(const CurlRequest& request, const ItemJob& job, const QString& what);
    void report(int code, const QString& text);

    Settings m_settings;
    struct Handle;
    std::unique_ptr<Handle> m_handle;
    bool m_mlsdUnsupported = false;
};

} // namespace zo
