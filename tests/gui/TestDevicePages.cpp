// The device pages against the simulated instrument: reports, manufacturing and test patterns,
// pressed through the window and checked on the instrument's and the local disk.

#include "DialogRecorder.h"
#include "Pictures.h"
#include "TestEnvironment.h"
#include "WindowDriving.h"
#include "ZoSim.h"
#include "app/ZoApplication.h"
#include "app/ZoFtpForm.h"
#include "platform/ListBox.h"
#include "platform/PanelBar.h"
#include "platform/StatusBar.h"
#include "platform/WebCopy.h"

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

using namespace zo;

namespace {

const QString kHost = QStringLiteral("127.0.0.1");

// The instrument's user test patterns: two files and a subfolder in every standard's folder.
void putPatterns(const test::ZoSim& sim)
{
    for (const QString& folder :
         QStringList{"PALyuv", "NTSCyuv", "720yuv", "720rgb", "1035yuv", "1080yuv", "1080rgb"}) {
        const QString base = QStringLiteral("patterns/") + folder + QLatin1Char('/');
        sim.put(base + folder + QStringLiteral("_a.pat"), folder.toUtf8());
        sim.put(base + folder + QStringLiteral("_b.pat"), folder.toUtf8());
        sim.put(base + QStringLiteral("sub/inner.pat"), "inner");
    }
}

// What the pattern list shows for a standard's folder of putPatterns, listed in reverse order.
QStringList patternsOf(const QString& folder)
{
    return {folder + QStringLiteral("_b.pat"), folder + QStringLiteral("_a.pat")};
}

} // namespace

class TestDevicePages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    // Reports
    void listReports_data();
    void listReports();
    void listReportsWithoutFolders_data();
    void listReportsWithoutFolders();

    // Manufacturing
    void deleteRecoveryFiles();
    void deleteRecoveryFilesOnABareInstrument();
    void getConfigFile_data();
    void getConfigFile();
    void putWithoutLocalCopy();
    void putSendsTheLocalCopy();
    void failedPutKeepsTheInstrumentsFile_data();
    void failedPutKeepsTheInstrumentsFile();

    // Test patterns
    void patternListingPerItem_data();
    void patternListingPerItem();
    void panelCaptionAndOpen_data();
    void panelCaptionAndOpen();
    void emptyOrAbsentStandardFolder_data();
    void emptyOrAbsentStandardFolder();
    void patternListingUnreachable();
    void updateButtonsDoNothing();
    void droppedFilesGoToTheChosenStandard_data();
    void droppedFilesGoToTheChosenStandard();
    void dropWhileABatchRunsIsRefused();
};

void TestDevicePages::init()
{
    test::forgetEarlierTests();
    QGuiApplication::clipboard()->clear();
}

void TestDevicePages::listReports_data()
{
    QTest::addColumn<QStringList>("style");
    QTest::newRow("MLSD") << QStringList{};
    QTest::newRow("unix LIST") << QStringList{"--no-mlsd"};
    QTest::newRow("MS-DOS LIST, two-digit years") << QStringList{"--no-mlsd", "--listing", "dos2"};
    QTest::newRow("MS-DOS LIST, four-digit years") << QStringList{"--no-mlsd", "--listing", "dos4"};
}

void TestDevicePages::listReports()
{
    QFETCH(QStringList, style);
    test::ZoSim sim(style + QStringList{"--list-order", "reverse"});
    QVERIFY(sim.put("reports/2026-12-05_1415/report.txt", "r"));
    QVERIFY(sim.put("reports/alpha/report.txt", "r"));
    QVERIFY(sim.put("reports/Beta/report.txt", "r"));
    QVERIFY(sim.put("reports/index.txt", "files are not listed"));
    QVERIFY(sim.put("reports/zeta.txt", "z"));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    TZoFtpForm form({});
    form.show();
    test::pointAt(form, sim.ftpPort());
    form.ReportList->addLine(QStringLiteral("from an earlier listing"));

    test::press(form, form.ReportFiles, form.ListReports);

    const QStringList reports = {"2026-12-05_1415", "alpha", "Beta"};
    QCOMPARE(form.ReportList->lines(), reports);
    QCOMPARE(form.MainPager->currentWidget(), form.ReportFiles);
    QCOMPARE(form.ErrorLog->lines(), QStringList{});

    // another address leaves the reports of the last instrument listed
    test::typeAddress(form, QStringLiteral("127.0.0.9"));
    QCOMPARE(form.ZoIPAddress->currentText(), QStringLiteral("127.0.0.9"));
    QCOMPARE(form.ReportList->lines(), reports);
}

void TestDevicePages::listReportsWithoutFolders_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("reachable");
    QTest::newRow("only files in reports") << QStringList{"reports/index.txt"} << true;
    QTest::newRow("no reports folder") << QStringList{"setup/a.set"} << true;
    QTest::newRow("unreachable") << QStringList{} << false;
}

void TestDevicePages::listReportsWithoutFolders()
{
    QFETCH(QStringList, files);
    QFETCH(bool, reachable);
    test::ZoSim sim;
    for (const QString& file : files)
        QVERIFY(sim.put(file, "x"));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    TZoFtpForm form({});
    form.show();
    test::pointAt(form, reachable ? sim.ftpPort() : test::closedPort());
    form.ReportList->addLine(QStringLiteral("from an earlier listing"));

    test::press(form, form.ReportFiles, form.ListReports);

    QCOMPARE(form.ReportList->count(), 0);
    if (reachable) {
        QCOMPARE(form.MainPager->currentWidget(), form.ReportFiles);
        QCOMPARE(form.ErrorLog->lines(), QStringList{});
    } else {
        QCOMPARE(form.MainPager->currentWidget(), form.ErrorLogPage);
        QCOMPARE(form.ErrorLog->lines(), QStringList{"Cannot connect to FTP server 127.0.0.1"});
    }
}

void TestDevicePages::deleteRecoveryFiles()
{
    test::ZoSim sim({QStringLiteral("--sample")});
    // decoys of the same names beside the xilinx folder, and files that are not recovery files
    QVERIFY(sim.put("factoryapp/cpld.xsvf", "decoy"));
    QVERIFY(sim.put("factoryapp/fpga_00.bin", "decoy"));
    QVERIFY(sim.put("factoryapp/keep.txt", "keep"));
    QVERIFY(sim.put("factoryapp/xilinx/other.bin", "keep"));
    QVERIFY(sim.put("xilinx/xilinx.bin", "decoy"));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    TZoFtpForm form({QStringLiteral("-M")});
    form.show();
    test::pointAt(form, sim.ftpPort());

    test::press(form, form.Manufacturing, form.DeleteRecoveryFiles);

    QCOMPARE(sim.commandArguments(QStringLiteral("DELE")),
             (QStringList{"tsg", "check.txt", "check.md5", "CvZo.Dlg", "xilinx", "xilinx.bin",
                          "newcpld", "cpld.xsvf", "cpld_00.xsvf", "cpld_01.xsvf", "cpld_02.xsvf",
                          "fpga_00.bin", "fpga_01.bin", "fpga_02.bin"}));
    QCOMPARE(sim.filesIn("factoryapp"), (QStringList{"cpld.xsvf", "fpga_00.bin", "keep.txt"}));
    QCOMPARE(sim.filesIn("factoryapp/xilinx"), QStringList{"other.bin"});
    QVERIFY(sim.has("xilinx/xilinx.bin"));
    QCOMPARE(form.ErrorLog->lines(), QStringList{});
    QCOMPARE(form.MainPager->currentWidget(), form.Manufacturing);
    QCOMPARE(form.DeleteRecoveryFiles->text(), QStringLiteral("Delete..."));
}

void TestDevicePages::deleteRecoveryFilesOnABareInstrument()
{
    test::ZoSim sim;
    QVERIFY(sim.put("factoryapp/unrelated.txt", "u"));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    TZoFtpForm form({QStringLiteral("-M")});
    form.show();
    test::pointAt(form, sim.ftpPort());

    test::press(form, form.Manufacturing, form.DeleteRecoveryFiles);

    // none was there, and nobody is told
    QCOMPARE(sim.filesIn("factoryapp"), QStringList{"unrelated.txt"});
    QCOMPARE(form.ErrorLog->lines(), QStringList{});
    QCOMPARE(form.MainPager->currentWidget(), form.Manufacturing);
}

void TestDevicePages::getConfigFile_data()
{
    QTest::addColumn<QByteArray>("remote");
    QTest::addColumn<QByteArray>("local");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("new address") << QByteArray("name=zo\n") << QByteArray()
                                 << QByteArray("name=zo\n");
    QTest::newRow("older copy replaced")
        << QByteArray("name=new\n") << QByteArray("name=older, and longer\n")
        << QByteArray("name=new\n");
    QTest::newRow("missing remote keeps the older copy")
        << QByteArray() << QByteArray("name=older\n") << QByteArray("name=older\n");
    QTest::newRow("missing remote, no copy") << QByteArray() << QByteArray() << QByteArray();
}

void TestDevicePages::getConfigFile()
{
    QFETCH(QByteArray, remote);
    QFETCH(QByteArray, local);
    QFETCH(QByteArray, expected);
    // the login starts in /zo, which has a system.cfg of its own: the root's is the one
    test::ZoSim sim({QStringLiteral("--login-dir"), QStringLiteral("/zo")});
    if (!remote.isEmpty())
        QVERIFY(sim.put("system.cfg", remote));
    QVERIFY(sim.put("zo/system.cfg", "the login folder's"));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    const QString localCopy = test::deviceDirOf(kHost) + QStringLiteral("system.cfg");
    if (!local.isEmpty())
        QVERIFY(test::writeFile(localCopy, local));
    TZoFtpForm form({QStringLiteral("-M")});
    form.show();
    test::pointAt(form, sim.ftpPort());

    test::press(form, form.Manufacturing, form.GetConfigFile);

    QVERIFY(QFileInfo(test::deviceDirOf(kHost)).isDir());
    QCOMPARE(test::entriesOf(test::deviceDirOf(kHost)),
             expected.isEmpty() ? QStringList{} : QStringList{"system.cfg"});
    QCOMPARE(test::readFile(localCopy), expected);
    QCOMPARE(sim.get("zo/system.cfg"), QByteArray("the login folder's"));
    QCOMPARE(form.ErrorLog->lines(), QStringList{});
    QCOMPARE(form.MainPager->currentWidget(), form.Manufacturing);
}

void TestDevicePages::putWithoutLocalCopy()
{
    test::ZoSim sim;
    QVERIFY(sim.put("system.cfg", "instrument's"));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    // another address's copy is no copy for this one
    QVERIFY(test::writeFile(test::deviceDirOf("127.0.0.5") + "system.cfg", "another"));
    TZoFtpForm form({QStringLiteral("-M")});
    form.show();
    test::pointAt(form, sim.ftpPort());
    test::DialogRecorder dialogs;

    test::press(form, form.Manufacturing, form.PutConfigFile);

    QCOMPARE(dialogs.texts(), QStringList{"No config file for this IP address"});
    QCOMPARE(dialogs.requests.first().icon, MessageIcon::Error);
    QCOMPARE(dialogs.requests.first().buttons, QList<MessageButton>{MessageButton::Cancel});
    QVERIFY(!sim.wasContacted());
    QCOMPARE(sim.get("system.cfg"), QByteArray("instrument's"));
    QVERIFY(!QFileInfo::exists(test::deviceDirOf(kHost)));
}

void TestDevicePages::putSendsTheLocalCopy()
{
    test::ZoSim sim({QStringLiteral("--login-dir"), QStringLiteral("/zo")});
    QVERIFY(sim.put("system.cfg", "name=old, longer than the new one\n"));
    QVERIFY(sim.put("zo/system.cfg", "the login folder's"));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    QVERIFY(test::writeFile(test::deviceDirOf(kHost) + "system.cfg", "name=new\n"));
    TZoFtpForm form({QStringLiteral("-M")});
    form.show();
    test::pointAt(form, sim.ftpPort());

    test::press(form, form.Manufacturing, form.PutConfigFile);

    QCOMPARE(sim.get("system.cfg"), QByteArray("name=new\n"));
    QCOMPARE(sim.filesIn(""), QStringList{"system.cfg"});
    QCOMPARE(sim.get("zo/system.cfg"), QByteArray("the login folder's"));
    QCOMPARE(test::readFile(test::deviceDirOf(kHost) + "system.cfg"), QByteArray("name=new\n"));
    QCOMPARE(form.ErrorLog->lines(), QStringList{});
    QCOMPARE(form.MainPager->currentWidget(), form.Manufacturing);
}

void TestDevicePages::failedPutKeepsTheInstrumentsFile_data()
{
    QTest::addColumn<QStringList>("fault");
    QTest::newRow("upload refused") << QStringList{"--fail-stor", "system.cfg.upload"};
    QTest::newRow("upload cut short") << QStringList{"--truncate-stor", "system.cfg.upload"};
}

void TestDevicePages::failedPutKeepsTheInstrumentsFile()
{
    QFETCH(QStringList, fault);
    test::ZoSim sim(fault);
    QVERIFY(sim.put("system.cfg", "name=old\n"));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    QVERIFY(test::writeFile(test::deviceDirOf(kHost) + "system.cfg", "name=new, never arrives\n"));
    TZoFtpForm form({QStringLiteral("-M")});
    form.show();
    test::pointAt(form, sim.ftpPort());

    test::press(form, form.Manufacturing, form.PutConfigFile);

    QCOMPARE(sim.get("system.cfg"), QByteArray("name=old\n"));
    QCOMPARE(sim.commandArguments(QStringLiteral("STOR")), QStringList{"system.cfg.upload"});
    // the instrument's file is never deleted; a half-sent copy does not stay behind
    QVERIFY(!sim.commandArguments(QStringLiteral("DELE")).contains(QStringLiteral("system.cfg")));
    QCOMPARE(sim.filesIn(""), QStringList{"system.cfg"});
    // without Busy the failure is not reported and the page stays
    QVERIFY(!form.ErrorLog->lines().join('\n').contains(QStringLiteral("Failed FTP upload")));
    QCOMPARE(form.MainPager->currentWidget(), form.Manufacturing);
}

void TestDevicePages::patternListingPerItem_data()
{
    QTest::addColumn<int>("panel");
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<int>("itemIndex");
    QTest::newRow("SD PAL") << 0 << 0 << "PALyuv" << 0;
    QTest::newRow("SD NTSC") << 0 << 1 << "NTSCyuv" << 1;
    QTest::newRow("HD-720p YCbCr") << 1 << 0 << "720yuv" << 0;
    QTest::newRow("HD-720p RGB") << 1 << 1 << "720rgb" << 1;
    QTest::newRow("HD-1035 YCbCr") << 2 << 0 << "1035yuv" << 0;
    QTest::newRow("HD-1080 YCbCr") << 3 << 0 << "1080yuv" << 0;
    QTest::newRow("HD-1080 RGB") << 3 << 1 << "1080rgb" << 1;
}

void TestDevicePages::patternListingPerItem()
{
    QFETCH(int, panel);
    QFETCH(int, item);
    QFETCH(QString, folder);
    QFETCH(int, itemIndex);
    test::ZoSim sim({QStringLiteral("--list-order"), QStringLiteral("reverse")});
    putPatterns(sim);
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    TZoFtpForm form({});
    form.show();
    test::pointAt(form, sim.ftpPort());
    form.MainPager->setCurrentWidget(form.TestPatternsPage);
    form.VideoStandard->setTopPanel(panel);
    form.UserPatternList->addLine(QStringLiteral("from an earlier listing"));

    form.VideoStandard->itemButton(panel, item)->click();

    QCOMPARE(form.UserPatternList->lines(), patternsOf(folder));
    QCOMPARE(form.VideoStandard->itemIndex(panel), itemIndex);
    QCOMPARE(form.MainPager->currentWidget(), form.TestPatternsPage);
    QCOMPARE(form.ErrorLog->lines(), QStringList{});
}

void TestDevicePages::panelCaptionAndOpen_data()
{
    QTest::addColumn<int>("openPanel");
    QTest::addColumn<int>("panel");
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("itemIndex");
    QTest::addColumn<QString>("folder");
    QTest::newRow("caption, none selected") << 0 << 0 << -1 << 0 << "PALyuv";
    QTest::newRow("caption, index past the end") << 3 << 3 << 2 << 0 << "1080yuv";
    QTest::newRow("caption, index far out") << 3 << 3 << 7 << 0 << "1080yuv";
    QTest::newRow("caption, selection kept") << 3 << 3 << 1 << 1 << "1080rgb";
    QTest::newRow("open, selection kept") << 0 << 1 << 1 << 1 << "720rgb";
    QTest::newRow("open, none selected") << 0 << 2 << -1 << 0 << "1035yuv";
    QTest::newRow("open, index past the end") << 2 << 0 << 2 << 0 << "PALyuv";
}

void TestDevicePages::panelCaptionAndOpen()
{
    QFETCH(int, openPanel);
    QFETCH(int, panel);
    QFETCH(int, selected);
    QFETCH(int, itemIndex);
    QFETCH(QString, folder);
    test::ZoSim sim({QStringLiteral("--list-order"), QStringLiteral("reverse")});
    putPatterns(sim);
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    TZoFtpForm form({});
    form.show();
    test::pointAt(form, sim.ftpPort());
    form.MainPager->setCurrentWidget(form.TestPatternsPage);
    form.VideoStandard->setTopPanel(openPanel);
    form.VideoStandard->setItemIndex(panel, selected);

    form.VideoStandard->panelCaptionButton(panel)->click();

    QCOMPARE(form.VideoStandard->topPanel(), panel);
    QCOMPARE(form.VideoStandard->itemIndex(panel), itemIndex);
    QCOMPARE(form.UserPatternList->lines(), patternsOf(folder));
    QCOMPARE(form.MainPager->currentWidget(), form.TestPatternsPage);
}

void TestDevicePages::emptyOrAbsentStandardFolder_data()
{
    QTest::addColumn<QString>("folderMade");
    QTest::newRow("empty folder") << QStringLiteral("patterns/720rgb");
    QTest::newRow("absent folder") << QStringLiteral("patterns/720yuv");
    QTest::newRow("no patterns folder") << QStringLiteral("reports");
}

void TestDevicePages::emptyOrAbsentStandardFolder()
{
    QFETCH(QString, folderMade);
    test::ZoSim sim;
    QVERIFY(QDir().mkpath(sim.pathOf(folderMade)));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    TZoFtpForm form({});
    form.show();
    test::pointAt(form, sim.ftpPort());
    form.MainPager->setCurrentWidget(form.TestPatternsPage);
    form.VideoStandard->setTopPanel(1);
    form.UserPatternList->addLine(QStringLiteral("from an earlier listing"));

    form.VideoStandard->itemButton(1, 1)->click();

    QCOMPARE(form.UserPatternList->count(), 0);
    QCOMPARE(form.VideoStandard->itemIndex(1), 1);
    QCOMPARE(form.MainPager->currentWidget(), form.TestPatternsPage);
    QCOMPARE(form.ErrorLog->lines(), QStringList{});
}

void TestDevicePages::patternListingUnreachable()
{
    TZoFtpForm form({});
    form.show();
    test::pointAt(form, test::closedPort());
    form.MainPager->setCurrentWidget(form.TestPatternsPage);
    form.UserPatternList->addLine(QStringLiteral("from an earlier listing"));

    form.VideoStandard->itemButton(0, 1)->click();

    QCOMPARE(form.UserPatternList->count(), 0);
    QCOMPARE(form.MainPager->currentWidget(), form.ErrorLogPage);
    QCOMPARE(form.ErrorLog->lines(), QStringList{"Cannot connect to FTP server 127.0.0.1"});
}

void TestDevicePages::updateButtonsDoNothing()
{
    test::ZoSim sim;
    putPatterns(sim);
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    TZoFtpForm form({});
    form.show();
    test::pointAt(form, sim.ftpPort());
    form.MainPager->setCurrentWidget(form.TestPatternsPage);
    form.VideoStandard->setItemIndex(3, 1);
    form.UserPatternList->addLine(QStringLiteral("from an earlier listing"));

    PanelBar* bar = form.VideoStandard;
    for (int panel = 0; panel < bar->panelCount(); ++panel) {
        for (int index = 0; index < bar->itemCount(panel); ++index)
            bar->updateButton(panel, index)->click();
    }

    QVERIFY(!sim.wasContacted());
    QCOMPARE(form.UserPatternList->lines(), QStringList{"from an earlier listing"});
    QCOMPARE(bar->topPanel(), 0);
    QCOMPARE(bar->itemIndex(0), -1);
    QCOMPARE(bar->itemIndex(3), 1);
    QCOMPARE(form.MainPager->currentWidget(), form.TestPatternsPage);
    QCOMPARE(form.ErrorLog->lines(), QStringList{});
}

void TestDevicePages::droppedFilesGoToTheChosenStandard_data()
{
    QTest::addColumn<int>("panel");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<int>("itemIndex");
    QTest::newRow("chosen standard") << 1 << 1 << "720rgb" << 1;
    QTest::newRow("nothing chosen: the panel's first") << 3 << -1 << "1080yuv" << 0;
}

void TestDevicePages::droppedFilesGoToTheChosenStandard()
{
    QFETCH(int, panel);
    QFETCH(int, chosen);
    QFETCH(QString, folder);
    QFETCH(int, itemIndex);
    test::ZoSim sim({QStringLiteral("--list-order"), QStringLiteral("sorted")});
    QVERIFY(sim.put(QStringLiteral("patterns/") + folder + "/old.pat", "old"));
    QVERIFY(sim.put(QStringLiteral("patterns/") + folder + "/mine.pat", "the instrument's"));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    const QString desktop = test::testHome() + QStringLiteral("/Desktop/");
    QVERIFY(test::writeFile(desktop + "mine.pat", "replaces the instrument's"));
    QVERIFY(test::writeFile(desktop + "other/zone.pat", "from another folder"));
    QVERIFY(test::writeFile(desktop + "README", "no extension: not sent"));

    TZoFtpForm form({});
    form.show();
    test::pointAt(form, sim.ftpPort());
    form.MainPager->setCurrentWidget(form.TestPatternsPage);
    form.VideoStandard->setTopPanel(panel);
    if (chosen >= 0)
        form.VideoStandard->itemButton(panel, chosen)->click();

    QVERIFY(test::dropFiles(
        form, {desktop + "mine.pat", desktop + "README", desktop + "other/zone.pat"}));

    const QString remote = QStringLiteral("patterns/") + folder;
    QCOMPARE(sim.filesIn(remote), (QStringList{"mine.pat", "old.pat", "zone.pat"}));
    QCOMPARE(sim.get(remote + "/mine.pat"), QByteArray("replaces the instrument's"));
    QCOMPARE(sim.get(remote + "/zone.pat"), QByteArray("from another folder"));
    QVERIFY(!sim.has("patterns/README") && !sim.has(remote + "/README"));
    QCOMPARE(form.UserPatternList->lines(), (QStringList{"mine.pat", "old.pat", "zone.pat"}));
    QCOMPARE(form.VideoStandard->itemIndex(panel), itemIndex);
    QCOMPARE(form.MainPager->currentWidget(), form.TestPatternsPage);
    QCOMPARE(form.ErrorLog->lines(), QStringList{});
    QVERIFY(!form.Busy);
}

void TestDevicePages::dropWhileABatchRunsIsRefused()
{
    test::ZoSim sim({QStringLiteral("--rate"), QStringLiteral("500000")});
    const QByteArray dump = test::bitmap(600, 600);
    QVERIFY(sim.put("screendumps/a.bmp", dump));
    QVERIFY(QDir().mkpath(sim.pathOf("patterns/PALyuv")));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    const QString desktop = test::testHome() + QStringLiteral("/Desktop/");
    QVERIFY(test::writeFile(desktop + "late.pat", "dropped meanwhile"));
    TZoFtpForm form({});
    form.show();
    test::pointAt(form, sim.ftpPort());

    bool dropped = false;
    QObject::connect(form.WebCopy, &WebCopy::OnCopyProgress, &form,
                     [&](int, quint64 size, quint64) {
                         if (dropped || size == 0)
                             return;
                         dropped = true;
                         form.MainPager->setCurrentWidget(form.TestPatternsPage);
                         QVERIFY(test::dropFiles(form, {desktop + "late.pat"}));
                     });
    test::press(form, form.ScreenDumps, form.GetAllScreenDumps);

    QVERIFY(dropped);
    QCOMPARE(form.ErrorLog->lines(),
             QStringList{"Another transfer is still running: wait for it to finish, or cancel "
                         "it, then try again"});
    QCOMPARE(sim.filesIn("patterns/PALyuv"), QStringList{});
    QCOMPARE(test::readFile(test::dumpsOf(kHost) + "a.bmp"), dump);
    QVERIFY(!form.Busy);
}

ZO_GUI_TEST_MAIN(TestDevicePages)
#include "TestDevicePages.moc"
