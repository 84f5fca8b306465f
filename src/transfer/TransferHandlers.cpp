// The window's batch operations and the handlers of the transfer component's events: busy
// state, status bar progress and the error log.

#include "app/ZoFtpForm.h"
#include "platform/Dialogs.h"
#include "platform/ListBox.h"
#include "platform/StatusBar.h"
#include "platform/WebCopy.h"
#include "platform/ZipBuilder.h"
#include "transfer/ProgressTexts.h"
#include "transfer/Texts.h"
#include "transfer/WindowBatchHost.h"

#include <QComboBox>
#include <QPushButton>
#include <QTabWidget>

namespace zo {

QString WindowBatchHost::addressText() const
{
    return m_form.ZoIPAddress->currentText();
}

bool WindowBatchHost::isBusy() const
{
    return m_form.Busy;
}

void WindowBatchHost::appendErrorLog(const QString& line)
{
    m_form.ErrorLog->addLine(line);
}

void WindowBatchHost::showErrorLog()
{
    m_form.MainPager->setCurrentWidget(m_form.ErrorLogPage);
}

void TZoFtpForm::DeleteRemoteFiles(const QString& remotePrefix, const QStringList& names)
{
    m_batches->DeleteRemoteFiles(remotePrefix, names);
}

void TZoFtpForm::TransferFiles(const QString& localDir, const QString& remotePrefix,
                               const QStringList& names, bool upload)
{
    m_batches->TransferFiles(localDir, remotePrefix, names, upload);
}

void TZoFtpForm::ListRemoteFiles(const QString& remotePattern, QStringList& names,
                                 bool wantDirectories)
{
    m_batches->ListRemoteFiles(remotePattern, names, wantDirectories);
}

void TZoFtpForm::ReportFailedTransfers()
{
    m_batches->ReportFailedTransfers();
}

bool TZoFtpForm::refuseWhileBatchRuns()
{
    if (!WebCopy->isExecuting())
        return false;
    ErrorLog->addLine(texts::kRefusedWhileRunning);
    return true;
}

bool TZoFtpForm::ToggleBusy()
{
    Busy = !Busy;
    RefreshList->setEnabled(!Busy);
    if (Busy)
        return true;
    WebCopy->CancelCopy();
    ZipBuilder->Cancel();
    StatusBar->setPanelText(0, texts::kAborted);
    StatusBar->setPanelText(1, QString());
    StatusBar->setProgressStyle(PanelStyle::Text);
    StatusBar->setProgressPosition(0);
    return false;
}

void TZoFtpForm::WebCopyFileStart(int idx)
{
    const TWebCopyItem& item = WebCopy->Items[idx];
    const FileStartTexts shown = fileStartTexts(item, idx, WebCopy->Items.Count());
    StatusBar->setProgressStyle(shown.showsProgress ? PanelStyle::Progress : PanelStyle::Text);
    StatusBar->setProgressPosition(0);
    StatusBar->setPanelText(0, shown.operation);
    StatusBar->setPanelText(1, shown.file);
}

void TZoFtpForm::WebCopyFileDone(int idx)
{
    RememberDeviceAddress(WebCopy->Items[idx].FTPHost);
    StatusBar->setPanelText(0, QString());
    StatusBar->setPanelText(1, QString());
    StatusBar->setProgressStyle(PanelStyle::Text);
}

void TZoFtpForm::WebCopyCopyProgress(int /*fileidx*/, quint64 size, quint64 totsize)
{
    if (StatusBar->progressMax() != totsize)
        StatusBar->setProgressMax(totsize);
    StatusBar->setProgressPosition(size);
}

void TZoFtpForm::WebCopyErrorInfo(int ErrorCode, const QString& ErrorInfo)
{
    ErrorLog->addLine(ErrorInfo);
    if (DeviceBatches::cancelsBatch(ErrorCode))
        WebCopy->CancelCopy();
}

void TZoFtpForm::WebCopyConnectError()
{
    showErrorOk(this, texts::kCouldNotConnect);
}

void TZoFtpForm::WebCopyRemovedFileFailed(int /*idx*/)
{
    // a refused delete is not reported: the instrument may simply not have had the file
}

void TZoFtpForm::ClearLogClick()
{
    ErrorLog->clearLines();
}

} // namespace zo
