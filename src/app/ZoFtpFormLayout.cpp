// The designed layout of the window: controls, pages, menus, status bar and components.

#include "app/AnchoredHolder.h"
#include "app/Settings.h"
#include "app/ZoFtpForm.h"
#include "platform/ExeInfo.h"
#include "platform/ListBox.h"
#include "platform/PanelBar.h"
#include "platform/StatusBar.h"
#include "platform/WebCopy.h"
#include "platform/ZipBuilder.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace zo {
namespace {

constexpr int kClientWidth = 776;
constexpr int kClientHeight = 444;
constexpr int kTopPanelHeight = 41;
constexpr int kStatusBarHeight = 19;

template <typename Widget>
Widget* named(Widget* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, int width)
{
    auto* button = named(new QPushButton(caption, parent), name);
    button->setMinimumWidth(width);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    button->setMinimumHeight(25);
    return button;
}

QLineEdit* makeFolderEdit(QWidget* parent, const char* name)
{
    auto* edit = named(new QLineEdit(QStringLiteral("C:\\"), parent), name);
    edit->setReadOnly(true);
    edit->setFrame(false);
    // the background of its parent
    edit->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; }"));
    return edit;
}

ListBox* makeListBox(QWidget* parent, const char* name, bool sorted)
{
    auto* list = named(new ListBox(parent), name);
    list->setSorted(sorted);
    return list;
}

// A page whose only content is one group box anchored to all four sides.
QGroupBox* addPageGroup(QWidget* page, const char* name, const QString& caption)
{
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(9, 13, 9, 9);
    auto* group = named(new QGroupBox(caption, page), name);
    pageLayout->addWidget(group);
    return group;
}

// A yellow question mark on a transparent background.
QIcon helpGlyph()
{
    QPixmap glyph(16, 16);
    glyph.fill(Qt::transparent);
    QPainter painter(&glyph);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(15);
    painter.setFont(font);
    painter.setPen(QColor(0x80, 0x60, 0x00));
    painter.drawText(QRect(1, 1, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
    painter.setPen(QColor(0xFF, 0xD7, 0x00));
    painter.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
    return QIcon(glyph);
}

} // namespace

void TZoFtpForm::buildLayout()
{
    setObjectName(QStringLiteral("ZoFtpForm"));
    setWindowTitle(QStringLiteral("Corvane Zo FTP Client"));
    setGeometry(0, 0, kClientWidth, kClientHeight);
    move(0, 0);

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    buildTopPanel(central);
    column->addWidget(TopPanel);
    MainPager = named(new QTabWidget(central), "MainPager");
    column->addWidget(MainPager, 1);
    setCentralWidget(central);

    StatusBar = named(new OfficeStatusBar(this), "StatusBar");
    StatusBar->setFixedHeight(kStatusBarHeight + 4);
    setStatusBar(StatusBar);

    buildPages();
    buildPopupMenus();
    buildComponents();
}

void TZoFtpForm::buildTopPanel(QWidget* parent)
{
    TopPanel = named(new ResizeNotifier(parent), "TopPanel");
    TopPanel->setFixedHeight(kTopPanelHeight);

    ZoIPAddress = named(new QComboBox(TopPanel), "ZoIPAddress");
    ZoIPAddress->setEditable(true);
    ZoIPAddress->setInsertPolicy(QComboBox::NoInsert);
    ZoIPAddress->setEditText(QStringLiteral("192.168.0."));
    ZoIPAddress->setToolTip(QStringLiteral("Zo IP Address"));
    ZoIPAddress->setGeometry(91, 10, 145, 22);
    // files dropped on the box go to the window, not into the text
    ZoIPAddress->setAcceptDrops(false);
    ZoIPAddress->lineEdit()->setAcceptDrops(false);

    ZoIPAddressLabel =
        named(new QLabel(QStringLiteral("Zo IP Address"), TopPanel), "ZoIPAddressLabel");
    ZoIPAddressLabel->setBuddy(ZoIPAddress);
    ZoIPAddressLabel->setGeometry(8, 10, 80, 22);
    ZoIPAddressLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    Help = named(new QToolButton(TopPanel), "Help");
    Help->setAutoRaise(true);
    Help->setIcon(helpGlyph());
    Help->setToolTip(QStringLiteral("Help on FTP Client"));
    Help->setGeometry(291, 10, 23, 22);
}

void TZoFtpForm::buildPages()
{
    SoftwareUpdate = named(new QWidget(MainPager), "SoftwareUpdate");
    TestPatternsPage = named(new QWidget(MainPager), "TestPatternsPage");
    Archives = named(new QWidget(MainPager), "Archives");
    ReportFiles = named(new QWidget(MainPager), "ReportFiles");
    ScreenDumps = named(new QWidget(MainPager), "ScreenDumps");
    Manufacturing = named(new QWidget(MainPager), "Manufacturing");
    ErrorLogPage = named(new QWidget(MainPager), "ErrorLogPage");

    MainPager->addTab(SoftwareUpdate, QStringLiteral("Software Update"));
    MainPager->addTab(TestPatternsPage, QStringLiteral("Test Patterns"));
    MainPager->addTab(Archives, QStringLiteral("Archives"));
    MainPager->addTab(ReportFiles, QStringLiteral("Report Files"));
    MainPager->addTab(ScreenDumps, QStringLiteral("ScreenDumps"));
    MainPager->addTab(Manufacturing, QStringLiteral("Manufacturing"));
    MainPager->addTab(ErrorLogPage, QStringLiteral("FTP Error Log"));
    // the test pattern listing is built but not offered
    MainPager->setTabVisible(MainPager->indexOf(TestPatternsPage), false);
    MainPager->setCurrentWidget(SoftwareUpdate);

    buildSoftwareUpdatePage();
    buildTestPatternsPage();
    buildReportFilesPage();
    buildScreenDumpsPage();
    buildManufacturingPage();
    buildErrorLogPage();
}

void TZoFtpForm::buildSoftwareUpdatePage()
{
    AdvGroupBox1 =
        addPageGroup(SoftwareUpdate, "AdvGroupBox1", QStringLiteral("Available Software Versions"));
    auto* column = new QVBoxLayout(AdvGroupBox1);
    column->setContentsMargins(5, 6, 5, 4);
    column->setSpacing(2);

    SoftwareDownloadDir = makeFolderEdit(AdvGroupBox1, "SoftwareDownloadDir");
    RefreshList = makeButton(AdvGroupBox1, "RefreshList", QStringLiteral("Get Latest"), 75);
    CopySwToZo = makeButton(AdvGroupBox1, "CopySwToZo", QStringLiteral("Copy to Zo"), 75);
    CopySwToZo->setEnabled(false);
    DragAndDropCaption =
        named(new QLabel(QStringLiteral(
                             "Drag and drop software zip files from Windows Explorer onto here"),
                         AdvGroupBox1),
              "DragAndDropCaption");
    SoftwareReleases = makeListBox(AdvGroupBox1, "SoftwareReleases", true);

    column->addWidget(SoftwareDownloadDir);
    column->addWidget(RefreshList);
    column->addWidget(CopySwToZo);
    column->addSpacing(4);
    column->addWidget(DragAndDropCaption);
    column->addWidget(SoftwareReleases, 1);

    setTabOrder(RefreshList, CopySwToZo);
    setTabOrder(CopySwToZo, SoftwareReleases);
    setTabOrder(SoftwareReleases, SoftwareDownloadDir);
}

void TZoFtpForm::buildTestPatternsPage()
{
    auto* row = new QHBoxLayout(TestPatternsPage);
    row->setContentsMargins(2, 2, 9, 2);

    VideoStandard = named(new PanelBar(TestPatternsPage), "VideoStandard");
    VideoStandard->setFixedWidth(180);
    VideoStandard->addPanel(QStringLiteral("SD"),
                            {{QStringLiteral("PAL"), 0}, {QStringLiteral("NTSC"), 1}});
    VideoStandard->addPanel(QStringLiteral("HD-720p"),
                            {{QStringLiteral("YCbCr"), 2}, {QStringLiteral("RGB"), 3}});
    VideoStandard->addPanel(QStringLiteral("HD-1035"), {{QStringLiteral("YCbCr"), 4}});
    VideoStandard->addPanel(QStringLiteral("HD-1080"),
                            {{QStringLiteral("YCbCr"), 5}, {QStringLiteral("RGB"), 6}});
    VideoStandard->setTopPanel(0);
    row->addWidget(VideoStandard);

    auto* right = new QVBoxLayout;
    Label2 = named(
        new QLabel(QStringLiteral("Drag and drop files here to copy to the Zo. NOTE: Use YCbCr "
                                  "directory for YCbCr Video Formats (TV etc) and RGB directory "
                                  "for RGB Video Formats (Film etc.)"),
                   TestPatternsPage),
        "Label2");
    Label2->setWordWrap(true);
    Label2->setFixedHeight(43);
    AdvGroupBox3 = named(new QGroupBox(QStringLiteral("User Test Patterns"), TestPatternsPage),
                         "AdvGroupBox3");
    auto* groupColumn = new QVBoxLayout(AdvGroupBox3);
    UserPatternList = makeListBox(AdvGroupBox3, "UserPatternList", false);
    groupColumn->addWidget(UserPatternList);
    right->addSpacing(20);
    right->addWidget(Label2);
    right->addWidget(AdvGroupBox3, 1);
    row->addLayout(right, 1);
}

void TZoFtpForm::buildReportFilesPage()
{
    AdvGroupBox2 = addPageGroup(ReportFiles, "AdvGroupBox2", QStringLiteral("Available Reports"));
    auto* column = new QVBoxLayout(AdvGroupBox2);
    column->setContentsMargins(3, 20, 5, 4);
    ListReports = makeButton(AdvGroupBox2, "ListReports", QStringLiteral("List Reports"), 75);
    ReportList = makeListBox(AdvGroupBox2, "ReportList", true);
    column->addWidget(ListReports);
    column->addWidget(ReportList, 1);
}

void TZoFtpForm::buildScreenDumpsPage()
{
    ScreenDumpGroup = addPageGroup(ScreenDumps, "ScreenDumpGroup", QStringLiteral("Screen Dumps"));
    auto* column = new QVBoxLayout(ScreenDumpGroup);
    column->setContentsMargins(3, 2, 5, 4);
    column->setSpacing(2);

    ScreenDumpDir = makeFolderEdit(ScreenDumpGroup, "ScreenDumpDir");
    GetAllScreenDumps =
        makeButton(ScreenDumpGroup, "GetAllScreenDumps", QStringLiteral("Get All"), 63);
    ScreenDumpList = makeListBox(ScreenDumpGroup, "ScreenDumpList", true);
    ScreenDumpList->setFixedWidth(272);

    auto* holder = new AnchoredHolder(ScreenDumpGroup);
    holder->setObjectName(QStringLiteral("ScreenDumpImageHolder"));
    ScreenDumpImage = named(new QLabel(holder), "ScreenDumpImage");
    ScreenDumpImage->setScaledContents(true);
    ScreenDumpImage->setGeometry(0, 0, 467, 253);
    holder->setAnchored(ScreenDumpImage);
    connect(holder, &AnchoredHolder::widthChanged, this, [this] { TopPanelResize(); });

    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    row->addWidget(ScreenDumpList);
    row->addWidget(holder, 1);
    column->addWidget(ScreenDumpDir);
    column->addWidget(GetAllScreenDumps);
    column->addLayout(row, 1);
}

void TZoFtpForm::buildManufacturingPage()
{
    RecoveryFiles =
        named(new QGroupBox(QStringLiteral("Recovery Files"), Manufacturing), "RecoveryFiles");
    RecoveryFiles->setGeometry(21, 13, 185, 66);
    DeleteRecoveryFiles =
        makeButton(RecoveryFiles, "DeleteRecoveryFiles", QStringLiteral("Delete..."), 62);
    DeleteRecoveryFiles->move(20, 27);

    ConfigFilesGroupBox = named(new QGroupBox(QStringLiteral("Zo Config File"), Manufacturing),
                                "ConfigFilesGroupBox");
    ConfigFilesGroupBox->setGeometry(21, 80, 185, 66);
    GetConfigFile = makeButton(ConfigFilesGroupBox, "GetConfigFile", QStringLiteral("Get"), 50);
    GetConfigFile->move(20, 27);
    PutConfigFile = makeButton(ConfigFilesGroupBox, "PutConfigFile", QStringLiteral("Put"), 50);
    PutConfigFile->move(101, 27);
}

void TZoFtpForm::buildErrorLogPage()
{
    auto* fill = new QVBoxLayout(ErrorLogPage);
    fill->setContentsMargins(0, 0, 0, 0);
    ErrorLog = makeListBox(ErrorLogPage, "ErrorLog", false);
    fill->addWidget(ErrorLog);
}

void TZoFtpForm::buildPopupMenus()
{
    ScreenDumpPopup = named(new QMenu(this), "ScreenDumpPopup");
    CopyScreenDump =
        named(ScreenDumpPopup->addAction(QStringLiteral("Copy Image")), "CopyScreenDump");
    N1 = named(ScreenDumpPopup->addSeparator(), "N1");
    DeleteScreenDump =
        named(ScreenDumpPopup->addAction(QStringLiteral("Delete File")), "DeleteScreenDump");
    DeleteAllScreenDumps = named(ScreenDumpPopup->addAction(QStringLiteral("Delete All Files")),
                                 "DeleteAllScreenDumps");

    SoftwarePopup = named(new QMenu(this), "SoftwarePopup");
    DeleteSoftware = named(SoftwarePopup->addAction(QStringLiteral("Delete")), "DeleteSoftware");

    LogPopup = named(new QMenu(this), "LogPopup");
    ClearLog = named(LogPopup->addAction(QStringLiteral("Clear")), "ClearLog");

    const auto attach = [](QWidget* widget, QMenu* menu) {
        widget->setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(
            widget, &QWidget::customContextMenuRequested, menu,
            [widget, menu](const QPoint& at) { menu->popup(widget->mapToGlobal(at)); });
    };
    attach(ScreenDumpList, ScreenDumpPopup);
    attach(ScreenDumpImage, ScreenDumpPopup);
    attach(SoftwareReleases, SoftwarePopup);
    attach(ErrorLog, LogPopup);
}

void TZoFtpForm::buildComponents()
{
    WebCopy = named(new zo::WebCopy(this), "WebCopy");
    ZipBuilder = named(new zo::ZipBuilder(this), "ZipBuilder");
    ExeInfo = named(new zo::ExeInfo(this), "ExeInfo");
    JvAppRegistryStorage = named(new SettingsStore(this), "JvAppRegistryStorage");
    JvFormStorage = named(new FormStorage(this, JvAppRegistryStorage), "JvFormStorage");
}

} // namespace zo
