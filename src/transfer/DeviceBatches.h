#pragma once

#include <QString>
#include <QStringList>

namespace zo {

class WebCopy;
struct TWebCopyItem;

// What the batch operations need from whoever runs them: the window or the command line.
class BatchHost
{
public:
    virtual ~BatchHost() = default;
    // The instrument's address, read afresh for every item.
    virtual QString addressText() const = 0;
    // Whether a user operation is running; transfers report their failures only then.
    virtual bool isBusy() const = 0;
    virtual void appendErrorLog(const QString& line) = 0;
    virtual void showErrorLog() = 0;
};

// How a batch ended, for callers that need more than the error log (the command line).
struct BatchResult
{
    int items = 0;
    int failed = 0;
    bool unreachable = false; // the instrument could not be reached
    bool refused = false;     // another batch was running; nothing was done
    bool cancelled = false;

    bool succeeded() const { return !refused && failed == 0; }
    BatchResult& operator+=(const BatchResult& other);
};

enum class ReportWhen
{
    Always,
    WhileBusy
};

// The batch operations on the instrument: delete, download or upload, and list named files,
// with the fixed device account, then the failure report.
class DeviceBatches
{
public:
    DeviceBatches(WebCopy& webCopy, BatchHost& host);

    BatchResult DeleteRemoteFiles(const QString& remotePrefix, const QStringList& names);
    // listedSizes: for downloads, the sizes a listing just gave, one for each name (-1 for
    // unknown), or empty; a download with a listed size does not ask the instrument for it.
    BatchResult TransferFiles(const QString& localDir, const QString& remotePrefix,
                              const QStringList& names, bool upload,
                              const QList<qint64>& listedSizes = {});
    // Uploads that replace each remote file only after its new copy has fully arrived.
    BatchResult ReplaceRemoteFiles(const QString& localDir, const QString& remotePrefix,
                                   const QStringList& names);
    // sizes, when given, gets each name's size as listed (-1 where the listing shows none).
    BatchResult ListRemoteFiles(const QString& remotePattern, QStringList& names,
                                bool wantDirectories, QList<qint64>* sizes = nullptr);
    // One HTTP download into a folder, under the last segment of the URL; a body larger than a
    // size limit other than 0 fails the download.
    BatchResult DownloadHttp(const QString& url, const QString& targetDir, ReportWhen report,
                             qint64 sizeLimit = 0);

    // Logs the failed items of the batch that has just run and shows the error log when any
    // was noted.
    void ReportFailedTransfers();

    // Whether an error code of the transfer component ends the batch.
    static bool cancelsBatch(int errorCode);

private:
    enum class Direction
    {
        Download,
        Upload,
        SafeUpload
    };
    BatchResult transfer(const QString& localDir, const QString& remotePrefix,
                         const QStringList& names, Direction direction,
                         const QList<qint64>& listedSizes = {});
    bool refuseWhileRunning(BatchResult& result);
    TWebCopyItem& addDeviceItem();
    BatchResult execute();

    WebCopy& m_webCopy;
    BatchHost& m_host;
    bool m_connectFailed = false;
};

} // namespace zo
