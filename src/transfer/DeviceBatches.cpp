#include "transfer/DeviceBatches.h"

#include "platform/FtpListing.h"
#include "platform/ShellServices.h"
#include "platform/WebCopy.h"
#include "transfer/DeviceAccount.h"
#include "transfer/RemotePath.h"
#include "transfer/Texts.h"

#include <QObject>

namespace zo {

BatchResult& BatchResult::operator+=(const BatchResult& other)
{
    items += other.items;
    failed += other.failed;
    unreachable = unreachable || other.unreachable;
    refused = refused || other.refused;
    cancelled = cancelled || other.cancelled;
    return *this;
}

DeviceBatches::DeviceBatches(WebCopy& webCopy, BatchHost& host) : m_webCopy(webCopy), m_host(host)
{
    QObject::connect(&m_webCopy, &WebCopy::OnErrorInfo, &m_webCopy, [this](int code) {
        if (code == kErrorConnect)
            m_connectFailed = true;
    });
}

bool DeviceBatches::cancelsBatch(int errorCode)
{
    return errorCode == kErrorConnect;
}

bool DeviceBatches::refuseWhileRunning(BatchResult& result)
{
    // the transfer component runs one batch at a time; a second one would wreck the first
    if (!m_webCopy.isExecuting())
        return false;
    m_host.appendErrorLog(texts::kRefusedWhileRunning);
    result.refused = true;
    return true;
}

TWebCopyItem& DeviceBatches::addDeviceItem()
{
    TWebCopyItem& item = m_webCopy.Items.Add();
    item.FTPHost = m_host.addressText();
    item.FTPUserID = kDeviceUser;
    item.FTPPassword = kDevicePassword;
    item.FTPPort = devicePort();
    return item;
}

BatchResult DeviceBatches::execute()
{
    m_connectFailed = false;
    m_webCopy.Execute();
    BatchResult result;
    result.items = m_webCopy.Items.Count();
    for (int index = 0; index < result.items; ++index) {
        if (!m_webCopy.Items[index].Success)
            ++result.failed;
    }
    result.unreachable = m_connectFailed;
    result.cancelled = m_webCopy.wasCancelled() && !m_connectFailed;
    return result;
}

BatchResult DeviceBatches::DeleteRemoteFiles(const QString& remotePrefix, const QStringList& names)
{
    BatchResult result;
    if (refuseWhileRunning(result))
        return result;
    m_webCopy.DlgCaption = texts::kCaptionDeleting;
    m_webCopy.Items.Clear();
    for (const QString& name : names) {
        const RemoteSplit split = splitRemotePath(remotePrefix, name);
        TWebCopyItem& item = addDeviceItem();
        item.TargetDir = split.folder;
        item.URL = split.file;
        item.Protocol = wpFtpDelete;
    }
    result = execute();
    m_webCopy.Items.Clear();
    return result;
}

BatchResult DeviceBatches::TransferFiles(const QString& localDir, const QString& remotePrefix,
                                         const QStringList& names, bool upload,
                                         const QList<qint64>& listedSizes)
{
    return transfer(localDir, remotePrefix, names, upload ? Direction::Upload : Direction::Download,
                    listedSizes);
}

BatchResult DeviceBatches::ReplaceRemoteFiles(const QString& localDir, const QString& remotePrefix,
                                              const QStringList& names)
{
    return transfer(localDir, remotePrefix, names, Direction::SafeUpload);
}

BatchResult DeviceBatches::transfer(const QString& localDir, const QString& remotePrefix,
                                    const QStringList& names, Direction direction,
                                    const QList<qint64>& listedSizes)
{
    // sizes that do not pair up with the names are not used
    const bool sized = listedSizes.size() == names.size();
    const bool upload = direction != Direction::Download;
    BatchResult result;
    if (refuseWhileRunning(result))
        return result;
    m_webCopy.DlgCaption = texts::kCaptionDownloading;
    m_webCopy.Items.Clear();
    if (!upload)
        createFolderPath(localDir);
    for (qsizetype position = 0; position < names.size(); ++position) {
        const QString& name = names[position];
        const RemoteSplit split = splitRemotePath(remotePrefix, name);
        TWebCopyItem& item = addDeviceItem();
        if (upload) {
            item.URL = localPathOf(localDir, name);
            item.Protocol = wpFtpUpload;
            item.TargetDir = split.folder;
            item.TargetFilename = split.file;
            item.ReplaceSafely = direction == Direction::SafeUpload;
        } else {
            item.URL = remoteDownloadPath(remotePrefix, name);
            item.Protocol = wpFtp;
            item.TargetDir = localDir;
            item.TargetFilename = split.file;
            item.ListedSize = sized ? listedSizes[position] : -1;
        }
    }
    result = execute();
    if (m_host.isBusy())
        ReportFailedTransfers();
    m_webCopy.Items.Clear();
    return result;
}

BatchResult DeviceBatches::ListRemoteFiles(const QString& remotePattern, QStringList& names,
                                           bool wantDirectories, QList<qint64>* sizes)
{
    BatchResult result;
    if (refuseWhileRunning(result))
        return result;
    m_webCopy.DlgCaption = texts::kCaptionDownloading;
    m_webCopy.Items.Clear();
    TWebCopyItem& item = addDeviceItem();
    item.URL = remotePattern;
    item.Protocol = wpFtpList;
    item.TargetDir.clear();
    result = execute();
    ReportFailedTransfers();
    if (m_webCopy.Items[0].Success) {
        for (const TFileDetailItem& entry : m_webCopy.Items[0].FileDetails) {
            const bool isDirectory = (entry.Attributes & kDirectoryAttribute) != 0;
            if (isDirectory != wantDirectories)
                continue;
            if (!isSafeLocalName(entry.Name)) {
                m_host.appendErrorLog(texts::kUnsafeRemoteName.arg(entry.Name));
                continue;
            }
            names << entry.Name;
            if (sizes)
                *sizes << entry.Size;
        }
    }
    m_webCopy.Items.Clear();
    return result;
}

BatchResult DeviceBatches::DownloadHttp(const QString& url, const QString& targetDir,
                                        ReportWhen report, qint64 sizeLimit)
{
    BatchResult result;
    if (refuseWhileRunning(result))
        return result;
    m_webCopy.Items.Clear();
    TWebCopyItem& item = m_webCopy.Items.Add();
    item.Protocol = wpHttp;
    item.URL = url;
    item.TargetDir = targetDir;
    item.SizeLimit = sizeLimit;
    result = execute();
    if (report == ReportWhen::Always || m_host.isBusy())
        ReportFailedTransfers();
    m_webCopy.Items.Clear();
    return result;
}

void DeviceBatches::ReportFailedTransfers()
{
    bool noted = false;
    for (int index = 0; index < m_webCopy.Items.Count(); ++index) {
        const TWebCopyItem& item = m_webCopy.Items[index];
        if (item.Success)
            continue;
        switch (item.Protocol) {
        case wpHttp:
            m_host.appendErrorLog(texts::kFailedHttpDownload + item.URL);
            noted = true;
            break;
        case wpFtp:
            m_host.appendErrorLog(texts::kFailedFtpDownload + item.URL);
            noted = true;
            break;
        case wpFtpUpload:
            m_host.appendErrorLog(texts::kFailedFtpUpload + item.URL);
            noted = true;
            break;
        case wpFtpList:
            noted = true;
            break;
        default:
            break;
        }
    }
    if (noted)
        m_host.showErrorLog();
}

} // namespace zo
