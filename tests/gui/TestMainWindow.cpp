// The window as it starts: its layout, the pages offered, the title, the data folder, dropped
// files and the screen dump image's shape.

#include "DialogRecorder.h"
#include "Pictures.h"
#include "TestEnvironment.h"
#include "WindowDriving.h"
#include "app/ZoApplication.h"
#include "app/ZoFtpForm.h"
#include "platform/ListBox.h"
#include "platform/PanelBar.h"
#include "platform/StatusBar.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>
#include <memory>
#include <stdexcept>

using namespace zo;

namespace {

QString softwareFolder()
{
    return test::documentsPath() + QStringLiteral("/CorvaneZoFtp/Software/");
}

QStringList offeredTabs(const TZoFtpForm& form)
{
    QStringList tabs;
    for (int index = 0; index < form.MainPager->count(); ++index) {
        if (form.MainPager->isTabVisible(index))
            tabs << form.MainPager->tabText(index);
    }
    return tabs;
}

class Thrower : public QObject
{
public:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::User)
            throw std::runtime_error("the handler failed");
        return QObject::event(event);
    }
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void tabsOffered_data();
    void tabsOffered();
    void titleCarriesTheFileVersion();
    void controlsHaveTheirDesignedNamesAndTexts();
    void menusAndStatusBar();
    void videoStandardBar();
    void dataFolderAndReleaseList();
    void missingDocumentsFolder();
    void dropsOnTheSoftwarePage();
    void dropsOnOtherPagesAreSkipped();
    void imageKeepsSixteenByNine();
    void helpDoesNothing();
    void escapedExceptionIsShown();
};

void TestMainWindow::init()
{
    QDir(test::dataDir()).removeRecursively();
}

void TestMainWindow::tabsOffered_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("manufacturing");
    QTest::newRow("no arguments") << QStringList{} << false;
    QTest::newRow("-M") << QStringList{"-M"} << true;
    QTest::newRow("-m") << QStringList{"-m"} << false;
    QTest::newRow("/M") << QStringList{"/M"} << false;
    QTest::newRow("-M1") << QStringList{"-M1"} << false;
    QTest::newRow("-M second") << QStringList{"-x", "-M"} << false;
}

void TestMainWindow::tabsOffered()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, manufacturing);
    TZoFtpForm form(arguments);
    form.show();
    QStringList expected = {"Software Update", "Report Files", "ScreenDumps", "FTP Error Log"};
    if (manufacturing)
        expected.insert(3, QStringLiteral("Manufacturing"));
    QCOMPARE(offeredTabs(form), expected);
    QCOMPARE(form.MainPager->currentWidget(), form.SoftwareUpdate);
    // every page is there, in its designed order, hidden or not
    QCOMPARE(form.MainPager->indexOf(form.TestPatternsPage), 1);
    QCOMPARE(form.MainPager->indexOf(form.Archives), 2);
    QCOMPARE(form.MainPager->tabText(1), QStringLiteral("Test Patterns"));
}

void TestMainWindow::titleCarriesTheFileVersion()
{
    TZoFtpForm form({});
    QCOMPARE(form.windowTitle(), QStringLiteral("Corvane Zo FTP Client - 1.5.0.0"));
    QCOMPARE(form.objectName(), QStringLiteral("ZoFtpForm"));
}

void TestMainWindow::controlsHaveTheirDesignedNamesAndTexts()
{
    TZoFtpForm form({});
    const auto button = [&form](const char* name) {
        auto* found = form.findChild<QPushButton*>(QLatin1String(name));
        return found ? found->text() : QStringLiteral("<missing>");
    };
    QCOMPARE(button("RefreshList"), QStringLiteral("Get Latest"));
    QCOMPARE(button("CopySwToZo"), QStringLiteral("Copy to Zo"));
    QCOMPARE(button("ListReports"), QStringLiteral("List Reports"));
    QCOMPARE(button("GetAllScreenDumps"), QStringLiteral("Get All"));
    QCOMPARE(button("DeleteRecoveryFiles"), QStringLiteral("Delete..."));
    QCOMPARE(button("GetConfigFile"), QStringLiteral("Get"));
    QCOMPARE(button("PutConfigFile"), QStringLiteral("Put"));
    QVERIFY(!form.CopySwToZo->isEnabled());

    const auto group = [&form](const char* name) {
        auto* found = form.findChild<QGroupBox*>(QLatin1String(name));
        return found ? found->title() : QStringLiteral("<missing>");
    };
    QCOMPARE(group("AdvGroupBox1"), QStringLiteral("Available Software Versions"));
    QCOMPARE(group("AdvGroupBox2"), QStringLiteral("Available Reports"));
    QCOMPARE(group("AdvGroupBox3"), QStringLiteral("User Test Patterns"));
    QCOMPARE(group("ScreenDumpGroup"), QStringLiteral("Screen Dumps"));
    QCOMPARE(group("RecoveryFiles"), QStringLiteral("Recovery Files"));
    QCOMPARE(group("ConfigFilesGroupBox"), QStringLiteral("Zo Config File"));

    QCOMPARE(form.ZoIPAddress->currentText(), QStringLiteral("192.168.0."));
    QCOMPARE(form.ZoIPAddress->count(), 0);
    QCOMPARE(form.ZoIPAddress->toolTip(), QStringLiteral("Zo IP Address"));
    QCOMPARE(form.findChild<QToolButton*>("Help")->toolTip(), QStringLiteral("Help on FTP Client"));
    QCOMPARE(form.DragAndDropCaption->text(),
             QStringLiteral("Drag and drop software zip files from Windows Explorer onto here"));
    QVERIFY(form.Label2->text().startsWith(QStringLiteral("Drag and drop files here to copy")));
    QCOMPARE(form.ScreenDumpDir->text(), QStringLiteral("C:\\"));
    QVERIFY(form.SoftwareDownloadDir->isReadOnly() && form.ScreenDumpDir->isReadOnly());

    QVERIFY(form.SoftwareReleases->isSorted());
    QVERIFY(form.ReportList->isSorted());
    QVERIFY(form.ScreenDumpList->isSorted());
    QVERIFY(!form.UserPatternList->isSorted());
    QVERIFY(!form.ErrorLog->isSorted());
    for (const char* name :
         {"SoftwareReleases", "ReportList", "ScreenDumpList", "UserPatternList", "ErrorLog",
          "ScreenDumpImage", "MainPager", "TopPanel", "StatusBar", "WebCopy", "ZipBuilder",
          "JvFormStorage", "JvAppRegistryStorage", "ExeInfo", "VideoStandard"})
        QVERIFY2(form.findChild<QObject*>(QLatin1String(name)), name);

    // the sorted list boxes sort without regard to letter case
    form.ReportList->addLines({"b", "C", "a"});
    QCOMPARE(form.ReportList->lines(), (QStringList{"a", "b", "C"}));
    form.ErrorLog->addLines({"b", "a"});
    QCOMPARE(form.ErrorLog->lines(), (QStringList{"b", "a"}));
}

void TestMainWindow::menusAndStatusBar()
{
    TZoFtpForm form({});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QList<QAction*> actions = form.ScreenDumpPopup->actions();
    QCOMPARE(actions.size(), 4);
    QCOMPARE(actions[0]->text(), QStringLiteral("Copy Image"));
    QVERIFY(actions[1]->isSeparator());
    QCOMPARE(actions[2]->text(), QStringLiteral("Delete File"));
    QCOMPARE(actions[3]->text(), QStringLiteral("Delete All Files"));
    QCOMPARE(form.SoftwarePopup->actions().size(), 1);
    QCOMPARE(form.DeleteSoftware->text(), QStringLiteral("Delete"));
    QCOMPARE(form.ClearLog->text(), QStringLiteral("Clear"));

    // right-clicking the list and the image opens the same menu
    form.MainPager->setCurrentWidget(form.ScreenDumps);
    for (QWidget* target : {static_cast<QWidget*>(form.ScreenDumpList),
                            static_cast<QWidget*>(form.ScreenDumpImage)}) {
        Q_EMIT target->customContextMenuRequested(QPoint(5, 5));
        QTRY_VERIFY(form.ScreenDumpPopup->isVisible());
        form.ScreenDumpPopup->hide();
    }
    Q_EMIT form.ErrorLog->customContextMenuRequested(QPoint(5, 5));
    QTRY_VERIFY(form.LogPopup->isVisible());
    form.LogPopup->hide();

    QCOMPARE(form.StatusBar->progressStyle(), PanelStyle::Progress);
    QCOMPARE(form.StatusBar->progressMax(), quint64(100));
    QCOMPARE(form.StatusBar->progressPosition(), quint64(0));
    QCOMPARE(form.StatusBar->panelText(0), QString());
}

void TestMainWindow::videoStandardBar()
{
    TZoFtpForm form({});
    PanelBar* bar = form.VideoStandard;
    QCOMPARE(bar->panelCount(), 4);
    const QStringList captions = {"SD", "HD-720p", "HD-1035", "HD-1080"};
    const QList<QList<PanelBar::Item>> items = {{{"PAL", 0}, {"NTSC", 1}},
                                                {{"YCbCr", 2}, {"RGB", 3}},
                                                {{"YCbCr", 4}},
                                                {{"YCbCr", 5}, {"RGB", 6}}};
    for (int panel = 0; panel < 4; ++panel) {
        QCOMPARE(bar->panelCaption(panel), captions[panel]);
        QCOMPARE(bar->itemCount(panel), items[panel].size());
        for (int index = 0; index < items[panel].size(); ++index) {
            QCOMPARE(bar->item(panel, index).caption, items[panel][index].caption);
            QCOMPARE(bar->item(panel, index).tag, items[panel][index].tag);
            QCOMPARE(bar->updateButton(panel, index)->text(), QStringLiteral("Update"));
        }
    }
    QCOMPARE(bar->topPanel(), 0);
}

void TestMainWindow::dataFolderAndReleaseList()
{
    QVERIFY(test::writeFile(softwareFolder() + QStringLiteral("release2.zip"), "2"));
    QVERIFY(test::writeFile(softwareFolder() + QStringLiteral("Release1.ZIP"), "1"));
    QVERIFY(test::writeFile(softwareFolder() + QStringLiteral("notes.zip"), "n"));
    QVERIFY(QDir().mkpath(softwareFolder() + QStringLiteral("release3.zip")));

    TZoFtpForm form({});
    QCOMPARE(form.DataDir, test::documentsPath() + QStringLiteral("/CorvaneZoFtp/"));
    QCOMPARE(form.SoftwareDownloadDir->text(), softwareFolder());
    QCOMPARE(form.SoftwareDownloadDir->toolTip(), softwareFolder());
    QCOMPARE(form.SoftwareReleases->lines(), (QStringList{"Release1.ZIP", "release2.zip"}));
    QCOMPARE(form.SoftwareReleases->itemIndex(), -1);
    QVERIFY(!form.Busy);
    QVERIFY(form.LastDeviceAddress.isEmpty());
}

void TestMainWindow::missingDocumentsFolder()
{
    const QString documents = test::documentsPath();
    const QString away = documents + QStringLiteral(".away");
    QVERIFY(QDir().rename(documents, away));
    auto restore = qScopeGuard([&] { QDir().rename(away, documents); });

    TZoFtpForm form({});
    QVERIFY(form.DataDir.isEmpty());
    QCOMPARE(form.SoftwareDownloadDir->text(), QStringLiteral("C:\\"));
    QVERIFY(form.SoftwareDownloadDir->toolTip().isEmpty());
    QCOMPARE(form.SoftwareReleases->count(), 0);
    QVERIFY(!QFileInfo::exists(documents));
}

void TestMainWindow::dropsOnTheSoftwarePage()
{
    const QString desktop = test::testHome() + QStringLiteral("/Desktop/");
    QVERIFY(test::writeFile(desktop + QStringLiteral("A.ZIP"), "a"));
    QVERIFY(test::writeFile(desktop + QStringLiteral("Release9.ZIP"), "first"));
    QVERIFY(test::writeFile(desktop + QStringLiteral("notes.txt"), "t"));
    QVERIFY(test::writeFile(desktop + QStringLiteral("README"), "r"));
    QVERIFY(test::writeFile(desktop + QStringLiteral("other/Release9.ZIP"), "second"));

    TZoFtpForm form({});
    form.show();
    QVERIFY(test::dropFiles(form, {desktop + "A.ZIP", desktop + "notes.txt", desktop + "README",
                                   desktop + "Release9.ZIP"}));
    QStringList kept = QDir(softwareFolder()).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    QCOMPARE(kept, (QStringList{"A.ZIP", "Release9.ZIP"}));
    // only release archives are listed, each drop refreshed the list
    QCOMPARE(form.SoftwareReleases->lines(), (QStringList{"Release9.ZIP"}));

    // a second archive of that name never replaces the one kept
    QVERIFY(test::dropFiles(form, {desktop + QStringLiteral("other/Release9.ZIP")}));
    QCOMPARE(test::readFile(softwareFolder() + QStringLiteral("Release9.ZIP")),
             QByteArray("first"));
    QCOMPARE(form.SoftwareReleases->lines(), (QStringList{"Release9.ZIP"}));
}

void TestMainWindow::dropsOnOtherPagesAreSkipped()
{
    const QString desktop = test::testHome() + QStringLiteral("/Desktop/");
    QVERIFY(test::writeFile(desktop + QStringLiteral("release7.zip"), "7"));
    TZoFtpForm form({QStringLiteral("-M")});
    form.show();
    test::DialogRecorder dialogs;
    for (QWidget* page :
         {form.ReportFiles, form.ScreenDumps, form.Manufacturing, form.ErrorLogPage}) {
        form.MainPager->setCurrentWidget(page);
        QVERIFY(test::dropFiles(form, {desktop + QStringLiteral("release7.zip")}));
        QCOMPARE(form.MainPager->currentWidget(), page);
    }
    QVERIFY(!QFileInfo::exists(softwareFolder() + QStringLiteral("release7.zip")));
    QCOMPARE(form.SoftwareReleases->count(), 0);
    QVERIFY(dialogs.requests.isEmpty());
    QCOMPARE(form.ErrorLog->count(), 0);
}

void TestMainWindow::imageKeepsSixteenByNine()
{
    TZoFtpForm form({});
    for (const auto& [width, height] : {std::pair{467, 262}, {100, 56}, {0, 0}}) {
        form.ScreenDumpImage->resize(width, 10);
        form.TopPanelResize();
        QCOMPARE(form.ScreenDumpImage->height(), height);
    }

    // a wider window reshapes the image through the top panel's resize
    form.show();
    form.MainPager->setCurrentWidget(form.ScreenDumps);
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.resize(1000, 700);
    QTRY_COMPARE(form.ScreenDumpImage->height(), form.ScreenDumpImage->width() * 9 / 16);
    QVERIFY(form.ScreenDumpImage->width() > 467);
}

void TestMainWindow::helpDoesNothing()
{
    TZoFtpForm form({});
    form.show();
    test::DialogRecorder dialogs;
    QWidget* page = form.MainPager->currentWidget();
    form.findChild<QToolButton*>("Help")->click();
    QVERIFY(dialogs.requests.isEmpty());
    QCOMPARE(form.MainPager->currentWidget(), page);
    QVERIFY(form.isVisible());
}

void TestMainWindow::escapedExceptionIsShown()
{
    test::DialogRecorder dialogs;
    Thrower thrower;
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("the handler failed")});
    QCOMPARE(dialogs.requests.first().icon, MessageIcon::Error);
    QCOMPARE(dialogs.requests.first().buttons, QList<MessageButton>{MessageButton::Ok});
}

ZO_GUI_TEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"
