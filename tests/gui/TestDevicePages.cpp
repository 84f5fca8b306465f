// The device pages against the simulated instrument: screen dumps, reports, manufacturing and
// test patterns, pressed through the window and checked on the instrument's and the local disk.

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

QString dataDir()
{
    return test::documentsPath() + QStringLiteral("/CorvaneZoFtp/");
}

QString deviceDirOf(const QString& address)
{
    return dataDir() + address + QLatin1Char('/');
}

QString dumpsOf(const QString& address)
{
    return deviceDirOf(address) + QStringLiteral("ScreenDumps/");
}

// Every entry of a local folder, hidden ones (temporary files) included.
QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

void pointAt(TZoFtpForm& form, int port, const QString& address = kHost)
{
    qputenv("ZOFTP_PORT", QByteArray::number(port));
    form.ZoIPAddress->setEditText(address);
}

// Types a new address over the old one, as the user does: every keystroke raises the change.
void typeAddress(TZoFtpForm& form, const QString& address)
{
    form.ZoIPAddress->lineEdit()->selectAll();
    QTest::keyClicks(form.ZoIPAddress->lineEdit(), address);
}

void press(TZoFtpForm& form, QWidget* page, QAbstractButton* button)
{
    form.MainPager->setCurrentWidget(page);
    QTest::mouseClick(button, Qt::LeftButton);
}

// The arguments of one FTP command, in the order the instrument received them.
QStringList argumentsOf(const test::ZoSim& sim, const QString& command)
{
    const QRegularExpression pattern(QStringLiteral("^FTP \\S+ ") + command +
                                     QStringLiteral(" (.*)$"));
    QStringList arguments;
    for (const QString& line : sim.log()) {
        const QRegularExpressionMatch match = pattern.match(line);
        if (match.hasMatch())
            arguments << match.captured(1);
    }
    return arguments;
}

bool wasContacted(const test::ZoSim& sim)
{
    return sim.countCommands(QStringLiteral("CONNECT")) > 0;
}

QSize pictureSize(const TZoFtpForm& form)
{
    return form.ScreenDumpImage->pixmap().size();
}

// Runs an action once, the first time a condition holds while the window waits in a batch.
class WhenSeen : public QObject
{
public:
    WhenSeen(std::function<bool()> condition, std::function<void()> action)
        : m_condition(std::move(condition)), m_action(std::move(action))
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (done || !m_condition())
                return;
            done = true;
            m_timer.stop();
            m_action();
        });
        m_timer.start(20);
    }
    bool done = false;

private:
    QTimer m_timer;
    std::function<bool()> m_condition;
    std::function<void()> m_action;
};

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

    // Screen dumps
    void getAllFetchesIntoTheAddressFolder();
    void getAllSkipsNamesThatAreNoLocalFile();
    void getAllFromAnInstrumentWithoutDumps_data();
    void getAllFromAnInstrumentWithoutDumps();
    void cancelDuringTheListing();
    void cancelDuringTheDownloads();
    void deleteFile_data();
    void deleteFile();
    void deleteAllFiles_data();
    void deleteAllFiles();
    void copyImage_data();
    void copyImage();
    void undecodableDumpIsReported();
    void getAllCancelsAnotherBusyOperation();
    void addressThatLeavesTheDataFolder_data();
    void addressThatLeavesTheDataFolder();
    void addressEditedDuringTheListing();
    void noDocumentsFolder();

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
    QDir(dataDir()).removeRecursively();
    QSettings settings(QStringLiteral("Corvane"), QStringLiteral("FTPClient"));
    settings.clear();
    settings.sync();
    qunsetenv("ZOFTP_PORT");
    QGuiApplication::clipboard()->clear();
}

void TestDevicePages::getAllFetchesIntoTheAddressFolder()
{
    test::ZoSim sim({QStringLiteral("--list-order"), QStringLiteral("reverse")});
    QVERIFY(sim.put("screendumps/dump_0002.bmp", test::bitmap(64, 36, 2)));
    QVERIFY(sim.put("screendumps/DUMP_0001.BMP", test::bitmap(32, 18, 1)));
    QVERIFY(sim.put("screendumps/c_first.bmp", test::bitmap(48, 27, 3)));
    QVERIFY(sim.put("screendumps/notes.txt", "not a dump"));
    QVERIFY(sim.put("screendumps/old.bmp/inside.bmp", test::bitmap(8, 8)));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    // an older local copy is overwritten, a dump kept only locally stays listed
    QVERIFY(test::writeFile(dumpsOf(kHost) + QStringLiteral("dump_0002.bmp"), "stale"));
    QVERIFY(test::writeFile(dumpsOf(kHost) + QStringLiteral("kept.bmp"), test::bitmap(10, 10)));

    TZoFtpForm form({});
    form.show();
    pointAt(form, sim.ftpPort());
    press(form, form.ScreenDumps, form.GetAllScreenDumps);

    QCOMPARE(entriesOf(dumpsOf(kHost)),
             (QStringList{"DUMP_0001.BMP", "c_first.bmp", "dump_0002.bmp", "kept.bmp"}));
    QCOMPARE(test::readFile(dumpsOf(kHost) + "dump_0002.bmp"), test::bitmap(64, 36, 2));
    QCOMPARE(test::readFile(dumpsOf(kHost) + "DUMP_0001.BMP"), test::bitmap(32, 18, 1));
    QCOMPARE(form.ScreenDumpDir->text(), dumpsOf(kHost));
    QCOMPARE(form.ScreenDumpList->lines(),
             (QStringList{"c_first.bmp", "DUMP_0001.BMP", "dump_0002.bmp", "kept.bmp"}));
    QCOMPARE(form.ScreenDumpList->itemIndex(), 0);
    QCOMPARE(pictureSize(form), QSize(48, 27));
    QCOMPARE(form.GetAllScreenDumps->text(), QStringLiteral("Get All"));
    QVERIFY(!form.Busy);
    QVERIFY(form.RefreshList->isEnabled());
    QCOMPARE(form.ErrorLog->lines(), QStringList{});
    QCOMPARE(form.MainPager->currentWidget(), form.ScreenDumps);
    QCOMPARE(sim.countCommands(QStringLiteral("RETR")), 3);
}

void TestDevicePages::getAllSkipsNamesThatAreNoLocalFile()
{
    const QStringList unsafe = {"../escape.bmp", "sub/inner.bmp", "..\\up.bmp", "c:x.bmp"};
    QStringList options;
    for (const QString& name : unsafe)
        options << QStringLiteral("--inject-entry") << QStringLiteral("screendumps:") + name;
    test::ZoSim sim(options);
    QVERIFY(sim.put("screendumps/fine.bmp", test::bitmap(16, 9)));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    TZoFtpForm form({});
    form.show();
    pointAt(form, sim.ftpPort());

    press(form, form.ScreenDumps, form.GetAllScreenDumps);

    QStringList skipped;
    for (const QString& name : unsafe)
        skipped << QStringLiteral("Skipped a name the instrument listed that cannot be a local "
                                  "file name: ") +
                       name;
    QCOMPARE(form.ErrorLog->lines(), skipped);
    QCOMPARE(argumentsOf(sim, QStringLiteral("RETR")), QStringList{"fine.bmp"});
    QCOMPARE(entriesOf(dumpsOf(kHost)), QStringList{"fine.bmp"});
    QCOMPARE(entriesOf(deviceDirOf(kHost)), QStringList{"ScreenDumps"});
    QCOMPARE(entriesOf(dataDir()), (QStringList{"127.0.0.1", "Software"}));
    QCOMPARE(form.ScreenDumpList->lines(), QStringList{"fine.bmp"});
    QCOMPARE(form.MainPager->currentWidget(), form.ScreenDumps);
}

void TestDevicePages::getAllFromAnInstrumentWithoutDumps_data()
{
    QTest::addColumn<bool>("folderExists");
    QTest::newRow("empty screendumps folder") << true;
    QTest::newRow("no screendumps folder") << false;
}

void TestDevicePages::getAllFromAnInstrumentWithoutDumps()
{
    QFETCH(bool, folderExists);
    test::ZoSim sim;
    QVERIFY(QDir().mkpath(sim.pathOf(folderExists ? "screendumps" : "reports")));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    TZoFtpForm form({});
    form.show();
    pointAt(form, sim.ftpPort());
    press(form, form.ScreenDumps, form.GetAllScreenDumps);

    QVERIFY(QFileInfo(dumpsOf(kHost)).isDir());
    QCOMPARE(entriesOf(dumpsOf(kHost)), QStringList{});
    QCOMPARE(form.ScreenDumpList->count(), 0);
    QCOMPARE(form.ScreenDumpList->itemIndex(), -1);
    QVERIFY(form.ScreenDumpImage->pixmap().isNull());
    QCOMPARE(form.GetAllScreenDumps->text(), QStringLiteral("Get All"));
    QVERIFY(!form.Busy);
    QCOMPARE(form.ErrorLog->lines(), QStringList{});
    QCOMPARE(form.MainPager->currentWidget(), form.ScreenDumps);
}

void TestDevicePages::cancelDuringTheListing()
{
    test::ZoSim sim({QStringLiteral("--list-delay"), QStringLiteral("5")});
    QVERIFY(sim.put("screendumps/a.bmp", test::bitmap(20, 20)));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    TZoFtpForm form({});
    form.show();
    pointAt(form, sim.ftpPort());

    QString captionWhileListing;
    const auto listing = [&sim] {
        return sim.countCommands(QStringLiteral("MLSD")) +
                   sim.countCommands(QStringLiteral("LIST")) >
               0;
    };
    WhenSeen second(listing, [&] {
        captionWhileListing = form.GetAllScreenDumps->text();
        QTest::mouseClick(form.GetAllScreenDumps, Qt::LeftButton);
    });
    press(form, form.ScreenDumps, form.GetAllScreenDumps);

    QVERIFY(second.done);
    QCOMPARE(captionWhileListing, QStringLiteral("Cancel"));
    QCOMPARE(form.MainPager->currentWidget(), form.ErrorLogPage);
    QCOMPARE(form.ErrorLog->lines(), QStringList{});
    QCOMPARE(sim.countCommands(QStringLiteral("RETR")), 0);
    QVERIFY(!QFileInfo::exists(dumpsOf(kHost)));
    QCOMPARE(form.ScreenDumpList->count(), 0);
    QCOMPARE(form.StatusBar->panelText(0), QStringLiteral("ABORTED!"));
    QCOMPARE(form.GetAllScreenDumps->text(), QStringLiteral("Get All"));
    QVERIFY(!form.Busy);
    QVERIFY(form.RefreshList->isEnabled());
}

void TestDevicePages::cancelDuringTheDownloads()
{
    test::ZoSim sim({QStringLiteral("--rate"), QStringLiteral("500000"),
                     QStringLiteral("--list-order"), QStringLiteral("sorted")});
    const QByteArray dump = test::bitmap(500, 500);
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"})
        QVERIFY(sim.put(QStringLiteral("screendumps/") + name, dump));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    TZoFtpForm form({});
    form.show();
    pointAt(form, sim.ftpPort());

    // the second press comes once the second dump has begun to arrive
    int running = -1;
    bool pressedAgain = false;
    QObject::connect(form.WebCopy, &WebCopy::OnFileStart, &form, [&](int idx) {
        running = form.WebCopy->Items[idx].Protocol == wpFtp ? idx : -1;
    });
    QObject::connect(form.WebCopy, &WebCopy::OnCopyProgress, &form,
                     [&](int, quint64 size, quint64) {
                         if (running != 1 || size == 0 || pressedAgain)
                             return;
                         pressedAgain = true;
                         QTest::mouseClick(form.GetAllScreenDumps, Qt::LeftButton);
                     });
    press(form, form.ScreenDumps, form.GetAllScreenDumps);

    QVERIFY(pressedAgain);
    QCOMPARE(form.MainPager->currentWidget(), form.ScreenDumps);
    QCOMPARE(form.ErrorLog->lines(), QStringList{});
    // what arrived whole is kept and listed; the dump cut short leaves nothing, the next never
    // starts
    QStringList fetched = entriesOf(dumpsOf(kHost));
    QVERIFY2(fetched == QStringList{"a.bmp"} || fetched == (QStringList{"a.bmp", "b.bmp"}),
             qPrintable(fetched.join(' ')));
    for (const QString& name : fetched)
        QCOMPARE(test::readFile(dumpsOf(kHost) + name), dump);
    QCOMPARE(sim.countCommands(QStringLiteral("RETR")), 2);
    QCOMPARE(form.ScreenDumpList->lines(), fetched);
    QCOMPARE(pictureSize(form), QSize(500, 500));
    QCOMPARE(form.StatusBar->panelText(0), QStringLiteral("ABORTED!"));
    QCOMPARE(form.GetAllScreenDumps->text(), QStringLiteral("Get All"));
    QVERIFY(!form.Busy);
    QVERIFY(form.RefreshList->isEnabled());
}

void TestDevicePages::deleteFile_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<MessageButton>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("yes") << 1 << MessageButton::Yes << true << true;
    QTest::newRow("no") << 1 << MessageButton::No << true << false;
    QTest::newRow("nothing selected") << -1 << MessageButton::Yes << false << false;
}

void TestDevicePages::deleteFile()
{
    QFETCH(int, selected);
    QFETCH(MessageButton, answer);
    QFETCH(bool, asked);
    QFETCH(bool, deleted);
    test::ZoSim sim;
    QVERIFY(sim.put("screendumps/a.bmp", test::bitmap(40, 30, 1)));
    QVERIFY(sim.put("screendumps/b.bmp", test::bitmap(80, 45, 2)));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    TZoFtpForm form({});
    form.show();
    pointAt(form, sim.ftpPort());
    press(form, form.ScreenDumps, form.GetAllScreenDumps);
    QCOMPARE(form.ScreenDumpList->lines(), (QStringList{"a.bmp", "b.bmp"}));
    if (selected >= 0)
        form.ScreenDumpList->setCurrentRow(selected);
    else
        form.ScreenDumpList->setItemIndex(-1);
    const QSize shown = pictureSize(form);

    test::DialogRecorder dialogs;
    dialogs.answers << answer;
    form.DeleteScreenDump->trigger();

    if (asked) {
        QVERIFY(dialogs.askedOnce(
            QStringLiteral("Do you want to delete this screen dump on remote Zo")));
    } else {
        QVERIFY(dialogs.requests.isEmpty());
    }
    QCOMPARE(sim.filesIn("screendumps"),
             deleted ? QStringList{"a.bmp"} : (QStringList{"a.bmp", "b.bmp"}));
    // only the instrument's copy goes: the local file, the entry and the picture stay
    QCOMPARE(entriesOf(dumpsOf(kHost)), (QStringList{"a.bmp", "b.bmp"}));
    QCOMPARE(form.ScreenDumpList->lines(), (QStringList{"a.bmp", "b.bmp"}));
    QCOMPARE(form.ScreenDumpList->itemIndex(), selected);
    QCOMPARE(pictureSize(form), shown);
    if (selected >= 0)
        QCOMPARE(shown, QSize(80, 45));
}

void TestDevicePages::deleteAllFiles_data()
{
    QTest::addColumn<bool>("localDump");
    QTest::addColumn<MessageButton>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("nothing selected") << false << MessageButton::Yes << false << false;
    QTest::newRow("no") << true << MessageButton::No << true << false;
    QTest::newRow("yes") << true << MessageButton::Yes << true << true;
}

void TestDevicePages::deleteAllFiles()
{
    QFETCH(bool, localDump);
    QFETCH(MessageButton, answer);
    QFETCH(bool, asked);
    QFETCH(bool, deleted);
    test::ZoSim sim;
    const QStringList dumps = {"C.BMP", "a.bmp", "b.bmp"};
    for (const QString& name : dumps)
        QVERIFY(sim.put(QStringLiteral("screendumps/") + name, test::bitmap(16, 9)));
    QVERIFY(sim.put("screendumps/notes.txt", "kept"));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    // the local folder holds one of the instrument's dumps
    if (localDump)
        QVERIFY(test::writeFile(dumpsOf(kHost) + "a.bmp", test::bitmap(16, 9)));
    TZoFtpForm form({});
    form.show();
    pointAt(form, sim.ftpPort());
    form.MainPager->setCurrentWidget(form.ScreenDumps);
    form.RefreshScreenDumpList();

    test::DialogRecorder dialogs;
    dialogs.answers << answer;
    form.DeleteAllScreenDumps->trigger();

    if (asked)
        QVERIFY(dialogs.askedOnce(
            QStringLiteral("Do you want to delete ALL screen dumps on remote Zo")));
    else
        QVERIFY(dialogs.requests.isEmpty());
    QCOMPARE(wasContacted(sim), deleted);
    QCOMPARE(sim.filesIn("screendumps"),
             deleted ? QStringList{"notes.txt"}
                     : (QStringList{"C.BMP", "a.bmp", "b.bmp", "notes.txt"}));
    QCOMPARE(entriesOf(dumpsOf(kHost)), localDump ? QStringList{"a.bmp"} : QStringList{});
    QCOMPARE(form.ScreenDumpList->lines(), localDump ? QStringList{"a.bmp"} : QStringList{});
    QCOMPARE(form.ErrorLog->lines(), QStringList{});
    QCOMPARE(form.MainPager->currentWidget(), form.ScreenDumps);
}

void TestDevicePages::copyImage_data()
{
    QTest::addColumn<bool>("withPicture");
    QTest::newRow("picture shown") << true;
    QTest::newRow("no picture") << false;
}

void TestDevicePages::copyImage()
{
    QFETCH(bool, withPicture);
    if (withPicture)
        QVERIFY(test::writeFile(dumpsOf(kHost) + "shot.bmp", test::bitmap(120, 68, 5)));
    TZoFtpForm form({});
    form.show();
    form.ZoIPAddress->setEditText(kHost);
    form.RefreshScreenDumpList();
    QCOMPARE(form.ScreenDumpImage->pixmap().isNull(), !withPicture);
    QGuiApplication::clipboard()->setText(QStringLiteral("kept on the clipboard"));

    form.CopyScreenDump->trigger();

    if (withPicture) {
        const QImage copied = QGuiApplication::clipboard()->image();
        QCOMPARE(copied.size(), QSize(120, 68));
        QCOMPARE(copied.pixelColor(60, 34),
                 QImage::fromData(test::bitmap(120, 68, 5)).pixelColor(60, 34));
    } else {
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("kept on the clipboard"));
        QVERIFY(QGuiApplication::clipboard()->image().isNull());
    }
}

void TestDevicePages::undecodableDumpIsReported()
{
    QVERIFY(test::writeFile(dumpsOf(kHost) + "a_broken.bmp", "BM this is no bitmap"));
    QVERIFY(test::writeFile(dumpsOf(kHost) + "b_good.bmp", test::bitmap(24, 12)));
    TZoFtpForm form({});
    form.show();
    form.MainPager->setCurrentWidget(form.ScreenDumps);
    test::DialogRecorder dialogs;
    typeAddress(form, kHost);

    QCOMPARE(dialogs.requests.size(), 1);
    QCOMPARE(dialogs.requests.first().icon, MessageIcon::Error);
    QCOMPARE(dialogs.requests.first().buttons, QList<MessageButton>{MessageButton::Ok});
    QVERIFY2(dialogs.texts().first().contains(dumpsOf(kHost) + "a_broken.bmp"),
             qPrintable(dialogs.texts().first()));
    QCOMPARE(form.ScreenDumpList->lines(), (QStringList{"a_broken.bmp", "b_good.bmp"}));
    QCOMPARE(form.ScreenDumpList->itemIndex(), 0);
    QVERIFY(form.ScreenDumpImage->pixmap().isNull());

    // the next entry still shows
    form.ScreenDumpList->setCurrentRow(1);
    QCOMPARE(pictureSize(form), QSize(24, 12));
    QCOMPARE(dialogs.requests.size(), 1);
}

void TestDevicePages::getAllCancelsAnotherBusyOperation()
{
    // the installation of a release holds Busy while it uploads, slowly
    test::ZoSim sim({QStringLiteral("--sample"), QStringLiteral("--rate"), QStringLiteral("2000")});
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    const QString software = dataDir() + QStringLiteral("Software/");
    TZoFtpForm form({});
    form.show();
    pointAt(form, sim.ftpPort());
    QVERIFY(
        QFile::copy(sim.webRoot() + "/Software/zo/release_1.6.zip", software + "release_1.6.zip"));
    form.RefreshReleaseList();
    form.MainPager->setCurrentWidget(form.SoftwareUpdate);
    form.SoftwareReleases->setCurrentRow(0);
    QVERIFY(form.CopySwToZo->isEnabled());

    bool pressed = false;
    QObject::connect(form.WebCopy, &WebCopy::OnCopyProgress, &form,
                     [&](int, quint64 size, quint64) {
                         if (pressed || size == 0 || !form.Busy)
                             return;
                         pressed = true;
                         form.MainPager->setCurrentWidget(form.ScreenDumps);
                         QTest::mouseClick(form.GetAllScreenDumps, Qt::LeftButton);
                     });
    QTest::mouseClick(form.CopySwToZo, Qt::LeftButton);

    QVERIFY(pressed);
    QVERIFY(!form.Busy);
    QVERIFY(form.RefreshList->isEnabled());
    QCOMPARE(form.StatusBar->panelText(0), QStringLiteral("ABORTED!"));
    // the press only cancelled: its own caption never changed and nothing was listed
    QCOMPARE(form.GetAllScreenDumps->text(), QStringLiteral("Get All"));
    QVERIFY(form.SavedGetAllCaption.isEmpty());
    QCOMPARE(argumentsOf(sim, QStringLiteral("CWD")).filter(QStringLiteral("screendumps")),
             QStringList{});
    QVERIFY(!QFileInfo::exists(dumpsOf(kHost)));
    QVERIFY(sim.get("setup/top.bin").size() < 8192);
    QCOMPARE(form.ErrorLog->lines(), QStringList{});
}

void TestDevicePages::addressThatLeavesTheDataFolder_data()
{
    QTest::addColumn<QString>("address");
    QTest::newRow("..") << QStringLiteral("..");
    QTest::newRow("a/b") << QStringLiteral("a/b");
    QTest::newRow("..\\x") << QStringLiteral("..\\x");
}

void TestDevicePages::addressThatLeavesTheDataFolder()
{
    QFETCH(QString, address);
    // for "..": a screen dump and a configuration file just outside the data folder
    const QString documents = test::documentsPath() + QLatin1Char('/');
    QVERIFY(test::writeFile(documents + "ScreenDumps/outside.bmp", test::bitmap(8, 8)));
    QVERIFY(test::writeFile(documents + "system.cfg", "outside"));
    auto removeOutside = qScopeGuard([&] {
        QDir(documents + "ScreenDumps").removeRecursively();
        QFile::remove(documents + "system.cfg");
    });
    TZoFtpForm form({QStringLiteral("-M")});
    form.show();
    const QStringList documentsBefore = entriesOf(documents);
    form.MainPager->setCurrentWidget(form.ScreenDumps);
    test::DialogRecorder dialogs;
    typeAddress(form, address);
    QCOMPARE(form.ZoIPAddress->currentText(), address);
    QCOMPARE(form.ScreenDumpList->count(), 0);

    press(form, form.ScreenDumps, form.GetAllScreenDumps);
    press(form, form.Manufacturing, form.GetConfigFile);
    press(form, form.Manufacturing, form.PutConfigFile);

    QCOMPARE(dialogs.requests.size(), 3);
    for (const MessageRequest& request : dialogs.requests) {
        QVERIFY2(request.text.startsWith(QStringLiteral("The address \"") + address +
                                         QStringLiteral("\" cannot be used")),
                 qPrintable(request.text));
        QCOMPARE(request.icon, MessageIcon::Error);
    }
    QCOMPARE(entriesOf(dataDir()), QStringList{"Software"});
    QCOMPARE(entriesOf(documents), documentsBefore);
    QCOMPARE(entriesOf(documents + "ScreenDumps"), QStringList{"outside.bmp"});
    QCOMPARE(form.ScreenDumpList->count(), 0);
    QCOMPARE(form.GetAllScreenDumps->text(), QStringLiteral("Get All"));
    QVERIFY(!form.Busy);
    QVERIFY(form.RefreshList->isEnabled());
    QCOMPARE(form.ErrorLog->lines(), QStringList{});
}

void TestDevicePages::addressEditedDuringTheListing()
{
    test::ZoSim sim({QStringLiteral("--list-delay"), QStringLiteral("2")});
    QVERIFY(sim.put("screendumps/a.bmp", test::bitmap(16, 9)));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    const QString outside = test::documentsPath() + QStringLiteral("/ScreenDumps/");
    auto removeOutside = qScopeGuard([&] { QDir(outside).removeRecursively(); });
    TZoFtpForm form({});
    form.show();
    // known already: the finished listing leaves the box as it is
    form.ZoIPAddress->addItem(kHost);
    pointAt(form, sim.ftpPort());
    test::DialogRecorder dialogs;

    // the downloads take the address in the box once the listing is done
    WhenSeen edit([&sim] { return sim.countCommands(QStringLiteral("MLSD")) > 0; },
                  [&form] { typeAddress(form, QStringLiteral("..")); });
    press(form, form.ScreenDumps, form.GetAllScreenDumps);

    QVERIFY(edit.done);
    QCOMPARE(dialogs.texts().size(), 1);
    QVERIFY2(
        dialogs.texts().first().startsWith(QStringLiteral("The address \"..\" cannot be used")),
        qPrintable(dialogs.texts().first()));
    QVERIFY(!QFileInfo::exists(outside));
    QCOMPARE(entriesOf(dataDir()), QStringList{"Software"});
    QCOMPARE(sim.countCommands(QStringLiteral("RETR")), 0);
    QCOMPARE(form.ZoIPAddress->currentText(), QStringLiteral(".."));
    QCOMPARE(form.ScreenDumpList->count(), 0);
    QVERIFY(!form.Busy);
    QCOMPARE(form.GetAllScreenDumps->text(), QStringLiteral("Get All"));
}

void TestDevicePages::noDocumentsFolder()
{
    test::ZoSim sim;
    QVERIFY(sim.put("screendumps/a.bmp", test::bitmap(16, 9)));
    QVERIFY(sim.put("system.cfg", "name=zo\n"));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    const QString documents = test::documentsPath();
    QVERIFY(QDir().rename(documents, documents + ".away"));
    // without a data folder, paths would be taken from wherever the program was started
    const QString startedIn = test::testHome() + QStringLiteral("/started-in");
    QVERIFY(QDir().mkpath(startedIn + "/127.0.0.1/ScreenDumps"));
    QVERIFY(test::writeFile(startedIn + "/127.0.0.1/system.cfg", "name=local\n"));
    QVERIFY(test::writeFile(startedIn + "/127.0.0.1/ScreenDumps/there.bmp", test::bitmap(8, 8)));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(startedIn));
    auto restore = qScopeGuard([&] {
        QDir::setCurrent(previous);
        QDir().rename(documents + ".away", documents);
    });

    TZoFtpForm form({QStringLiteral("-M")});
    QVERIFY(form.DataDir.isEmpty());
    form.show();
    pointAt(form, sim.ftpPort());
    test::DialogRecorder dialogs;
    typeAddress(form, kHost);
    QCOMPARE(form.ScreenDumpList->count(), 0);
    press(form, form.ScreenDumps, form.GetAllScreenDumps);
    press(form, form.Manufacturing, form.GetConfigFile);
    press(form, form.Manufacturing, form.PutConfigFile);

    QCOMPARE(dialogs.requests.size(), 3);
    for (const MessageRequest& request : dialogs.requests) {
        QCOMPARE(request.text, QStringLiteral("No Documents folder was found to keep the "
                                              "instrument's files in."));
        QCOMPARE(request.icon, MessageIcon::Error);
    }
    QVERIFY(!wasContacted(sim));
    QCOMPARE(entriesOf(startedIn + "/127.0.0.1/ScreenDumps"), QStringList{"there.bmp"});
    QCOMPARE(test::readFile(startedIn + "/127.0.0.1/system.cfg"), QByteArray("name=local\n"));
    QCOMPARE(sim.get("system.cfg"), QByteArray("name=zo\n"));
    QCOMPARE(form.ScreenDumpList->count(), 0);
    QVERIFY(!form.Busy);
    QCOMPARE(form.GetAllScreenDumps->text(), QStringLiteral("Get All"));
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
    pointAt(form, sim.ftpPort());
    form.ReportList->addLine(QStringLiteral("from an earlier listing"));

    press(form, form.ReportFiles, form.ListReports);

    const QStringList reports = {"2026-12-05_1415", "alpha", "Beta"};
    QCOMPARE(form.ReportList->lines(), reports);
    QCOMPARE(form.MainPager->currentWidget(), form.ReportFiles);
    QCOMPARE(form.ErrorLog->lines(), QStringList{});

    // another address leaves the reports of the last instrument listed
    typeAddress(form, QStringLiteral("127.0.0.9"));
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
    pointAt(form, reachable ? sim.ftpPort() : test::closedPort());
    form.ReportList->addLine(QStringLiteral("from an earlier listing"));

    press(form, form.ReportFiles, form.ListReports);

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
    pointAt(form, sim.ftpPort());

    press(form, form.Manufacturing, form.DeleteRecoveryFiles);

    QCOMPARE(argumentsOf(sim, QStringLiteral("DELE")),
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
    pointAt(form, sim.ftpPort());

    press(form, form.Manufacturing, form.DeleteRecoveryFiles);

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
    const QString localCopy = deviceDirOf(kHost) + QStringLiteral("system.cfg");
    if (!local.isEmpty())
        QVERIFY(test::writeFile(localCopy, local));
    TZoFtpForm form({QStringLiteral("-M")});
    form.show();
    pointAt(form, sim.ftpPort());

    press(form, form.Manufacturing, form.GetConfigFile);

    QVERIFY(QFileInfo(deviceDirOf(kHost)).isDir());
    QCOMPARE(entriesOf(deviceDirOf(kHost)),
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
    QVERIFY(test::writeFile(deviceDirOf("127.0.0.5") + "system.cfg", "another"));
    TZoFtpForm form({QStringLiteral("-M")});
    form.show();
    pointAt(form, sim.ftpPort());
    test::DialogRecorder dialogs;

    press(form, form.Manufacturing, form.PutConfigFile);

    QCOMPARE(dialogs.texts(), QStringList{"No config file for this IP address"});
    QCOMPARE(dialogs.requests.first().icon, MessageIcon::Error);
    QCOMPARE(dialogs.requests.first().buttons, QList<MessageButton>{MessageButton::Cancel});
    QVERIFY(!wasContacted(sim));
    QCOMPARE(sim.get("system.cfg"), QByteArray("instrument's"));
    QVERIFY(!QFileInfo::exists(deviceDirOf(kHost)));
}

void TestDevicePages::putSendsTheLocalCopy()
{
    test::ZoSim sim({QStringLiteral("--login-dir"), QStringLiteral("/zo")});
    QVERIFY(sim.put("system.cfg", "name=old, longer than the new one\n"));
    QVERIFY(sim.put("zo/system.cfg", "the login folder's"));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    QVERIFY(test::writeFile(deviceDirOf(kHost) + "system.cfg", "name=new\n"));
    TZoFtpForm form({QStringLiteral("-M")});
    form.show();
    pointAt(form, sim.ftpPort());

    press(form, form.Manufacturing, form.PutConfigFile);

    QCOMPARE(sim.get("system.cfg"), QByteArray("name=new\n"));
    QCOMPARE(sim.filesIn(""), QStringList{"system.cfg"});
    QCOMPARE(sim.get("zo/system.cfg"), QByteArray("the login folder's"));
    QCOMPARE(test::readFile(deviceDirOf(kHost) + "system.cfg"), QByteArray("name=new\n"));
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
    QVERIFY(test::writeFile(deviceDirOf(kHost) + "system.cfg", "name=new, never arrives\n"));
    TZoFtpForm form({QStringLiteral("-M")});
    form.show();
    pointAt(form, sim.ftpPort());

    press(form, form.Manufacturing, form.PutConfigFile);

    QCOMPARE(sim.get("system.cfg"), QByteArray("name=old\n"));
    QCOMPARE(argumentsOf(sim, QStringLiteral("STOR")), QStringList{"system.cfg.upload"});
    // the instrument's file is never deleted; a half-sent copy does not stay behind
    QVERIFY(!argumentsOf(sim, QStringLiteral("DELE")).contains(QStringLiteral("system.cfg")));
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
    pointAt(form, sim.ftpPort());
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
    pointAt(form, sim.ftpPort());
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
    pointAt(form, sim.ftpPort());
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
    pointAt(form, test::closedPort());
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
    pointAt(form, sim.ftpPort());
    form.MainPager->setCurrentWidget(form.TestPatternsPage);
    form.VideoStandard->setItemIndex(3, 1);
    form.UserPatternList->addLine(QStringLiteral("from an earlier listing"));

    PanelBar* bar = form.VideoStandard;
    for (int panel = 0; panel < bar->panelCount(); ++panel) {
        for (int index = 0; index < bar->itemCount(panel); ++index)
            bar->updateButton(panel, index)->click();
    }

    QVERIFY(!wasContacted(sim));
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
    pointAt(form, sim.ftpPort());
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
    pointAt(form, sim.ftpPort());

    bool dropped = false;
    QObject::connect(form.WebCopy, &WebCopy::OnCopyProgress, &form,
                     [&](int, quint64 size, quint64) {
                         if (dropped || size == 0)
                             return;
                         dropped = true;
                         form.MainPager->setCurrentWidget(form.TestPatternsPage);
                         QVERIFY(test::dropFiles(form, {desktop + "late.pat"}));
                     });
    press(form, form.ScreenDumps, form.GetAllScreenDumps);

    QVERIFY(dropped);
    QCOMPARE(form.ErrorLog->lines(),
             QStringList{"Another transfer is still running: wait for it to finish, or cancel "
                         "it, then try again"});
    QCOMPARE(sim.filesIn("patterns/PALyuv"), QStringList{});
    QCOMPARE(test::readFile(dumpsOf(kHost) + "a.bmp"), dump);
    QVERIFY(!form.Busy);
}

ZO_GUI_TEST_MAIN(TestDevicePages)
#include "TestDevicePages.moc"
