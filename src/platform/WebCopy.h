#pragma once

#include "platform/FtpListing.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <vector>

namespace zo {

// The kinds of transfer item, numbered as the item collection stores them.
enum TWebCopyProtocol : quint8
{
    wpHttp = 0,
    wpFtp = 1,
    wpFile = 2,
    wpFtpUpload = 3,
    wpHttpUpload = 4,
    wpMultiFtp = 5,
    wpMultiFtpUpload = 6,
    wpFtpDelete = 7,
    wpFtpList = 8,
    wpFtpTest = 9,
};

// One entry that a listing item found.
struct TFileDetailItem
{
    QString Name;
    quint32 Attributes = 0;
    qint64 Size = -1;
    QDateTime Modified;
};

// Error codes that travel with OnErrorInfo.
inline constexpr int kErrorSourceFile = 1;
inline constexpr int kErrorTargetFile = 3;
inline constexpr int kErrorConnect = 6;

struct TWebCopyItem
{
    QString URL;
    QString TargetDir;
    QString TargetFilename;
    TWebCopyProtocol Protocol = wpHttp;
    QString FTPHost;
    QString FTPUserID;
    QString FTPPassword;
    int FTPPort = 21;
    bool Active = true;
    bool Success = false;
    QList<TFileDetailItem> FileDetails;
    // An upload that sends under a temporary name and replaces the target only once the whole
    // file has arrived, so the instrument never holds a half-sent file under the real name.
    bool ReplaceSafely = false;
    // The largest body an HTTP download may bring, 0 for no limit.
    qint64 SizeLimit = 0;
    // For an FTP download: the file's size as a listing made just before showed it, -1 when
    // none did. The download then does not ask the instrument for the size first (a round trip
    // per file); a file that arrives with another length is checked against the size the
    // instrument gives then.
    qint64 ListedSize = -1;
};

// The batch: an ordered collection whose items keep their addresses while it grows.
class TWebCopyItems
{
public:
    TWebCopyItem& Add();
    void Clear() { m_items.clear(); }
    int Count() const { return static_cast<int>(m_items.size()); }
    TWebCopyItem& operator[](int index) { return *m_items.at(static_cast<size_t>(index)); }
    const TWebCopyItem& operator[](int index) const
    {
        return *m_items.at(static_cast<size_t>(index));
    }

private:
    std::vector<std::unique_ptr<TWebCopyItem>> m_items;
};

class TransferWorker;
struct ItemOutcome;

// Runs a batch of HTTP and FTP transfer items, one after the other, on a worker thread. Execute()
// returns when the batch has ended; meanwhile it keeps the caller's event loop turning, and the
// events below reach their handlers on the caller's thread.
class WebCopy : public QObject
{
    Q_OBJECT

public:
    explicit WebCopy(QObject* parent = nullptr);
    ~WebCopy() override;

    TWebCopyItems Items;
    QString DlgCaption;
    QString Agent = QStringLiteral("WebCopy");
    bool FTPPassive = false;
    bool ShowDialog = false;
    int Timeout = 0;

    void Execute();
    void CancelCopy();
    // Cancels what runs and makes every later batch end at once: the program is closing.
    void Shutdown();
    bool isExecuting() const { return m_executing; }
    // Whether a cancel was requested since the last Execute() began.
    bool wasCancelled() const { return m_cancel; }

    // Bounded waits; tests shorten them.
    void setConnectTimeoutMs(int milliseconds) { m_connectTimeoutMs = milliseconds; }
    void setStallTimeoutMs(int milliseconds) { m_stallTimeoutMs = milliseconds; }
    int connectTimeoutMs() const { return m_connectTimeoutMs; }
    int stallTimeoutMs() const { return m_stallTimeoutMs; }

Q_SIGNALS:
    void OnFileStart(int idx);
    void OnFileDone(int idx);
    void OnCopyProgress(int fileidx, quint64 size, quint64 totsize);
    void OnErrorInfo(int ErrorCode, const QString& ErrorInfo);
    void OnConnectError();
    void OnRemovedFileFailed(int idx);

private:
    friend class TransferWorker;
    struct BatchRun;

    // Takes the end of an item on the caller's thread: its outcome, then OnFileDone.
    void finishItem(BatchRun& run, int index, const ItemOutcome& outcome);

    std::unique_ptr<TransferWorker> m_worker;
    std::atomic_bool m_cancel{false};
    bool m_executing = false;
    std::atomic_bool m_shutDown{false};
    int m_connectTimeoutMs = 15000;
    int m_stallTimeoutMs = 60000;
};

} // namespace zo
