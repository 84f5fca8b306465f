#pragma once

#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <memory>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace zo {

class DeviceBatches;
class ExeInfo;
class FormStorage;
class PanelBar;
class ListBox;
class OfficeStatusBar;
class SettingsStore;
class WebCopy;
class ZipBuilder;
class WindowBatchHost;

// The program's one window. Every control and component carries its designed name as its
// objectName and as its member name; the handlers carry the names of their events and live in
// the folder of the feature that owns them.
class TZoFtpForm : public QMainWindow
{
    Q_OBJECT

public:
    // commandLine: the program's arguments without the program name.
    explicit TZoFtpForm(const QStringList& commandLine, QWidget* owner = nullptr);
    ~TZoFtpForm() override;

    // Top panel
    QWidget* TopPanel = nullptr;
    QLabel* ZoIPAddressLabel = nullptr;
    QComboBox* ZoIPAddress = nullptr;
    QToolButton* Help = nullptr;

    // Pages
    QTabWidget* MainPager = nullptr;
    QWidget* SoftwareUpdate = nullptr;
    QWidget* TestPatternsPage = nullptr;
    QWidget* Archives = nullptr;
    QWidget* ReportFiles = nullptr;
    QWidget* ScreenDumps = nullptr;
    QWidget* Manufacturing = nullptr;
    QWidget* ErrorLogPage = nullptr;

    // Software Update page
    QGroupBox* AdvGroupBox1 = nullptr;
    QLineEdit* SoftwareDownloadDir = nullptr;
    QPushButton* RefreshList = nullptr;
    QPushButton* CopySwToZo = nullptr;
    QLabel* DragAndDropCaption = nullptr;
    ListBox* SoftwareReleases = nullptr;

    // Test Patterns page
    PanelBar* VideoStandard = nullptr;
    QLabel* Label2 = nullptr;
    QGroupBox* AdvGroupBox3 = nullptr;
    ListBox* UserPatternList = nullptr;

    // Report Files page
    QGroupBox* AdvGroupBox2 = nullptr;
    QPushButton* ListReports = nullptr;
    ListBox* ReportList = nullptr;

    // ScreenDumps page
    QGroupBox* ScreenDumpGroup = nullptr;
    QLineEdit* ScreenDumpDir = nullptr;
    QPushButton* GetAllScreenDumps = nullptr;
    ListBox* ScreenDumpList = nullptr;
    QLabel* ScreenDumpImage = nullptr;

    // Manufacturing page
    QGroupBox* RecoveryFiles = nullptr;
    QPushButton* DeleteRecoveryFiles = nullptr;
    QGroupBox* ConfigFilesGroupBox = nullptr;
    QPushButton* GetConfigFile = nullptr;
    QPushButton* PutConfigFile = nullptr;

    // FTP Error Log page
    ListBox* ErrorLog = nullptr;

    // Popup menus
    QMenu* ScreenDumpPopup = nullptr;
    QAction* CopyScreenDump = nullptr;
    QAction* N1 = nullptr;
    QAction* DeleteScreenDump = nullptr;
    QAction* DeleteAllScreenDumps = nullptr;
    QMenu* SoftwarePopup = nullptr;
    QAction* DeleteSoftware = nullptr;
    QMenu* LogPopup = nullptr;
    QAction* ClearLog = nullptr;

    OfficeStatusBar* StatusBar = nullptr;

    // Components
    zo::WebCopy* WebCopy = nullptr;
    zo::ZipBuilder* ZipBuilder = nullptr;
    SettingsStore* JvAppRegistryStorage = nullptr;
    FormStorage* JvFormStorage = nullptr;
    zo::ExeInfo* ExeInfo = nullptr;

    // Fields
    bool Busy = false;
    QString DataDir;
    QString LastDeviceAddress;
    QString SavedGetAllCaption;

    // Start-up and the window
    void TopPanelResize();
    void HelpClick();
    void WMDropFiles(const QStringList& paths);

    // Settings and the device address
    void ZoIPAddressChange();
    void ZoIPAddressClick();
    void JvFormStorageAfterRestorePlacement();
    void RememberDeviceAddress(const QString& host);

    // Transfer batches
    void DeleteRemoteFiles(const QString& remotePrefix, const QStringList& names);
    void TransferFiles(const QString& localDir, const QString& remotePrefix,
                       const QStringList& names, bool upload);
    void ListRemoteFiles(const QString& remotePattern, QStringList& names, bool wantDirectories);
    void ReportFailedTransfers();

    // Busy state, progress and error log
    bool ToggleBusy();
    void WebCopyConnectError();
    void WebCopyErrorInfo(int ErrorCode, const QString& ErrorInfo);
    void WebCopyRemovedFileFailed(int idx);
    void WebCopyFileStart(int idx);
    void WebCopyFileDone(int idx);
    void WebCopyCopyProgress(int fileidx, quint64 size, quint64 totsize);
    void ClearLogClick();

    // Software releases
    void RefreshReleaseList();
    void SoftwareReleasesClick();
    void DeleteSoftwareClick();
    void RefreshListClick();
    void CopySwToZoClick();
    void ZipBuilderTotalProgress(qint64 TotalSize, int PerCent);
    QString MakeTempDir() const;
    void ClearLocalDir(const QString& dir);

    // Screen dumps
    void RefreshScreenDumpList();
    void GetAllScreenDumpsClick();
    void ScreenDumpListClick();
    void CopyScreenDumpClick();
    void DeleteScreenDumpClick();
    void DeleteAllScreenDumpsClick();

    // Test patterns
    void VideoStandardButtonClick(int panel, int item);
    void VideoStandardUpdateButtonClick(int panel, int item);
    void VideoStandardEditBtnClick(int panel, int item);
    void VideoStandardPanelOpen(int panel);
    void VideoStandardPanelCaptionClick(int panel);
    void TestPatternsDrop(const QStringList& paths);

    // Reports
    void ListReportsClick();

    // Manufacturing
    void GetConfigFileClick();
    void PutConfigFileClick();
    void DeleteRecoveryFilesClick();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildLayout();
    void buildTopPanel(QWidget* parent);
    void buildPages();
    void buildSoftwareUpdatePage();
    void buildTestPatternsPage();
    void buildReportFilesPage();
    void buildScreenDumpsPage();
    void buildManufacturingPage();
    void buildErrorLogPage();
    void buildPopupMenus();
    void buildComponents();
    void bindEvents();

    void registerStoredValues();
    void setUpDataFolders();
    void copyDroppedRelease(const QString& path);
    // Logs a refusal and returns true while a batch runs: the transfer component runs one at a
    // time.
    bool refuseWhileBatchRuns();
    QString softwareFolder() const;
    QString addressText() const;

    std::unique_ptr<WindowBatchHost> m_batchHost;
    std::unique_ptr<DeviceBatches> m_batches;
};

} // namespace zo
