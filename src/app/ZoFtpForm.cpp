// Construction, start-up, drop routing and the window's own small handlers.

#include "app/ZoFtpForm.h"

#include "app/AnchoredHolder.h"
#include "app/DropRouting.h"
#include "app/Settings.h"
#include "app/StartUp.h"
#include "platform/Dialogs.h"
#include "platform/ExeInfo.h"
#include "platform/ListBox.h"
#include "platform/PanelBar.h"
#include "platform/ShellServices.h"
#include "platform/WebCopy.h"
#include "platform/ZipBuilder.h"
#include "transfer/WindowBatchHost.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QUrl>

namespace zo {

TZoFtpForm::TZoFtpForm(const QStringList& commandLine, QWidget* owner) : QMainWindow(owner)
{
    buildLayout();
    bindEvents();
    registerStoredValues();
    ZipBuilder->setErrorReporter([this](const QString& text) { showErrorOk(this, text); });
    m_batchHost = std::make_unique<WindowBatchHost>(*this);
    m_batches = std::make_unique<DeviceBatches>(*WebCopy, *m_batchHost);

    DataDir.clear();
    LastDeviceAddress.clear();
    Busy = false;
    setWindowTitle(titleWithVersion(windowTitle(), ExeInfo->FileVersion()));
    MainPager->setTabVisible(MainPager->indexOf(Manufacturing), isManufacturingMode(commandLine));
    MainPager->setTabVisible(MainPager->indexOf(Archives), false);
    setUpDataFolders();
    RefreshReleaseList();
    setAcceptDrops(true);
}

TZoFtpForm::~TZoFtpForm()
{
    // a window destroyed without a close (the session ending) still keeps its settings
    if (!JvFormStorage->hasSaved())
        JvFormStorage->save();
}

void TZoFtpForm::setUpDataFolders()
{
    const QString documents = documentsFolder();
    if (documents.isEmpty())
        return;
    DataDir = dataDirFor(documents);
    const QString software = softwareFolderFor(DataDir);
    createFolderPath(software);
    SoftwareDownloadDir->setText(software);
    SoftwareDownloadDir->setToolTip(software);
}

QString TZoFtpForm::softwareFolder() const
{
    return SoftwareDownloadDir->text();
}

QString TZoFtpForm::addressText() const
{
    return ZoIPAddress->currentText();
}

void TZoFtpForm::bindEvents()
{
    auto* top = static_cast<ResizeNotifier*>(TopPanel);
    connect(top, &ResizeNotifier::resized, this, &TZoFtpForm::TopPanelResize);
    connect(Help, &QToolButton::clicked, this, &TZoFtpForm::HelpClick);

    // user edits only: text the program sets raises nothing
    connect(ZoIPAddress->lineEdit(), &QLineEdit::textEdited, this, &TZoFtpForm::ZoIPAddressChange);
    // picking an entry runs the click handler, then the change handler
    connect(ZoIPAddress, &QComboBox::activated, this, [this] {
        ZoIPAddressClick();
        ZoIPAddressChange();
    });
    connect(JvFormStorage, &FormStorage::afterRestorePlacement, this,
            &TZoFtpForm::JvFormStorageAfterRestorePlacement);

    connect(WebCopy, &WebCopy::OnConnectError, this, &TZoFtpForm::WebCopyConnectError);
    connect(WebCopy, &WebCopy::OnErrorInfo, this, &TZoFtpForm::WebCopyErrorInfo);
    connect(WebCopy, &WebCopy::OnRemovedFileFailed, this, &TZoFtpForm::WebCopyRemovedFileFailed);
    connect(WebCopy, &WebCopy::OnFileStart, this, &TZoFtpForm::WebCopyFileStart);
    connect(WebCopy, &WebCopy::OnFileDone, this, &TZoFtpForm::WebCopyFileDone);
    connect(WebCopy, &WebCopy::OnCopyProgress, this, &TZoFtpForm::WebCopyCopyProgress);
    connect(ClearLog, &QAction::triggered, this, &TZoFtpForm::ClearLogClick);

    connect(SoftwareReleases, &ListBox::selectionClicked, this, &TZoFtpForm::SoftwareReleasesClick);
    connect(ReportList, &ListBox::selectionClicked, this, &TZoFtpForm::SoftwareReleasesClick);
    connect(DeleteSoftware, &QAction::triggered, this, &TZoFtpForm::DeleteSoftwareClick);
    connect(RefreshList, &QPushButton::clicked, this, &TZoFtpForm::RefreshListClick);
    connect(CopySwToZo, &QPushButton::clicked, this, &TZoFtpForm::CopySwToZoClick);
    connect(ZipBuilder, &ZipBuilder::OnTotalProgress, this, &TZoFtpForm::ZipBuilderTotalProgress);

    connect(GetAllScreenDumps, &QPushButton::clicked, this, &TZoFtpForm::GetAllScreenDumpsClick);
    connect(ScreenDumpList, &ListBox::selectionClicked, this, &TZoFtpForm::ScreenDumpListClick);
    connect(CopyScreenDump, &QAction::triggered, this, &TZoFtpForm::CopyScreenDumpClick);
    connect(DeleteScreenDump, &QAction::triggered, this, &TZoFtpForm::DeleteScreenDumpClick);
    connect(DeleteAllScreenDumps, &QAction::triggered, this,
            &TZoFtpForm::DeleteAllScreenDumpsClick);

    connect(VideoStandard, &PanelBar::itemClicked, this, &TZoFtpForm::VideoStandardButtonClick);
    connect(VideoStandard, &PanelBar::buttonClicked, this,
            &TZoFtpForm::VideoStandardUpdateButtonClick);
    connect(VideoStandard, &PanelBar::editBtnClicked, this, &TZoFtpForm::VideoStandardEditBtnClick);
    connect(VideoStandard, &PanelBar::panelOpened, this, &TZoFtpForm::VideoStandardPanelOpen);
    connect(VideoStandard, &PanelBar::panelCaptionClicked, this,
            &TZoFtpForm::VideoStandardPanelCaptionClick);

    connect(ListReports, &QPushButton::clicked, this, &TZoFtpForm::ListReportsClick);
    connect(GetConfigFile, &QPushButton::clicked, this, &TZoFtpForm::GetConfigFileClick);
    connect(PutConfigFile, &QPushButton::clicked, this, &TZoFtpForm::PutConfigFileClick);
    connect(DeleteRecoveryFiles, &QPushButton::clicked, this,
            &TZoFtpForm::DeleteRecoveryFilesClick);
}

void TZoFtpForm::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
    // a closed window stops its transfers rather than finishing them unseen
    WebCopy->Shutdown();
    ZipBuilder->Cancel();
}

void TZoFtpForm::TopPanelResize()
{
    ScreenDumpImage->resize(ScreenDumpImage->width(),
                            screenDumpImageHeight(ScreenDumpImage->width()));
}

void TZoFtpForm::HelpClick()
{
    // the button offers its hint only; there is no help file to open
}

void TZoFtpForm::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TZoFtpForm::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths << QDir::toNativeSeparators(url.toLocalFile());
    }
    event->acceptProposedAction();
    WMDropFiles(paths);
}

void TZoFtpForm::WMDropFiles(const QStringList& paths)
{
    QStringList testPatternFolders;
    for (const QString& path : paths) {
        const DropPage page =
            MainPager->currentWidget() == SoftwareUpdate     ? DropPage::SoftwareUpdate
            : MainPager->currentWidget() == TestPatternsPage ? DropPage::TestPatterns
                                                             : DropPage::Other;
        switch (routeDrop(page, path)) {
        case DropAction::CopyRelease:
            copyDroppedRelease(path);
            break;
        case DropAction::TakeTestPattern:
            testPatternFolders << path;
            break;
        case DropAction::Skip:
            break;
        }
    }
    if (!testPatternFolders.isEmpty())
        TestPatternsDrop(testPatternFolders);
}

} // namespace zo
