// The ScreenDumps page against the simulated instrument: "Get All" with its cancels, the picture,
// "Copy Image" and the deletes, pressed through the window and checked on both disks.

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

} // namespace

class TestScreenDumps : public QObject
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
};

void TestScreenDumps::init()
{
    test::forgetEarlierTests();
    QGuiApplication::clipboard()->clear();
}

void TestScreenDumps::getAllFetchesIntoTheAddressFolder()
{
    test::ZoSim sim({QStringLiteral("--list-order"), QStringLiteral("reverse")});
    QVERIFY(sim.put("screendumps/dump_0002.bmp", test::bitmap(64, 36, 2)));
    QVERIFY(sim.put("screendumps/DUMP_0001.BMP", test::bitmap(32, 18, 1)));
    QVERIFY(sim.put("screendumps/c_first.bmp", test::bitmap(48, 27, 3)));
    QVERIFY(sim.put("screendumps/notes.txt", "not a dump"));
    QVERIFY(sim.put("screendumps/old.bmp/inside.bmp", test::bitmap(8, 8)));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    // an older local copy is overwritten, a dump kept only locally stays listed
    QVERIFY(test::writeFile(test::dumpsOf(kHost) + QStringLiteral("dump_0002.bmp"), "stale"));
    QVERIFY(
        test::writeFile(test::dumpsOf(kHost) + QStringLiteral("kept.bmp"), test::bitmap(10, 10)));

    TZoFtpForm form({});
    form.show();
    test::pointAt(form, sim.ftpPort());
    test::press(form, form.ScreenDumps, form.GetAllScreenDumps);

    QCOMPARE(test::entriesOf(test::dumpsOf(kHost)),
             (QStringList{"DUMP_0001.BMP", "c_first.bmp", "dump_0002.bmp", "kept.bmp"}));
    QCOMPARE(test::readFile(test::dumpsOf(kHost) + "dump_0002.bmp"), test::bitmap(64, 36, 2));
    QCOMPARE(test::readFile(test::dumpsOf(kHost) + "DUMP_0001.BMP"), test::bitmap(32, 18, 1));
    QCOMPARE(form.ScreenDumpDir->text(), test::dumpsOf(kHost));
    QCOMPARE(form.ScreenDumpList->lines(),
             (QStringList{"c_first.bmp", "DUMP_0001.BMP", "dump_0002.bmp", "kept.bmp"}));
    QCOMPARE(form.ScreenDumpList->itemIndex(), 0);
    QCOMPARE(test::pictureSize(form), QSize(48, 27));
    QCOMPARE(form.GetAllScreenDumps->text(), QStringLiteral("Get All"));
    QVERIFY(!form.Busy);
    QVERIFY(form.RefreshList->isEnabled());
    QCOMPARE(form.ErrorLog->lines(), QStringList{});
    QCOMPARE(form.MainPager->currentWidget(), form.ScreenDumps);
    QCOMPARE(sim.countCommands(QStringLiteral("RETR")), 3);
}

void TestScreenDumps::getAllSkipsNamesThatAreNoLocalFile()
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
    test::pointAt(form, sim.ftpPort());

    test::press(form, form.ScreenDumps, form.GetAllScreenDumps);

    QStringList skipped;
    for (const QString& name : unsafe)
        skipped << QStringLiteral("Skipped a name the instrument listed that cannot be a local "
                                  "file name: ") +
                       name;
    QCOMPARE(form.ErrorLog->lines(), skipped);
    QCOMPARE(sim.commandArguments(QStringLiteral("RETR")), QStringList{"fine.bmp"});
    QCOMPARE(test::entriesOf(test::dumpsOf(kHost)), QStringList{"fine.bmp"});
    QCOMPARE(test::entriesOf(test::deviceDirOf(kHost)), QStringList{"ScreenDumps"});
    QCOMPARE(test::entriesOf(test::dataDir()), (QStringList{"127.0.0.1", "Software"}));
    QCOMPARE(form.ScreenDumpList->lines(), QStringList{"fine.bmp"});
    QCOMPARE(form.MainPager->currentWidget(), form.ScreenDumps);
}

void TestScreenDumps::getAllFromAnInstrumentWithoutDumps_data()
{
    QTest::addColumn<bool>("folderExists");
    QTest::newRow("empty screendumps folder") << true;
    QTest::newRow("no screendumps folder") << false;
}

void TestScreenDumps::getAllFromAnInstrumentWithoutDumps()
{
    QFETCH(bool, folderExists);
    test::ZoSim sim;
    QVERIFY(QDir().mkpath(sim.pathOf(folderExists ? "screendumps" : "reports")));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    TZoFtpForm form({});
    form.show();
    test::pointAt(form, sim.ftpPort());
    test::press(form, form.ScreenDumps, form.GetAllScreenDumps);

    QVERIFY(QFileInfo(test::dumpsOf(kHost)).isDir());
    QCOMPARE(test::entriesOf(test::dumpsOf(kHost)), QStringList{});
    QCOMPARE(form.ScreenDumpList->count(), 0);
    QCOMPARE(form.ScreenDumpList->itemIndex(), -1);
    QVERIFY(form.ScreenDumpImage->pixmap().isNull());
    QCOMPARE(form.GetAllScreenDumps->text(), QStringLiteral("Get All"));
    QVERIFY(!form.Busy);
    QCOMPARE(form.ErrorLog->lines(), QStringList{});
    QCOMPARE(form.MainPager->currentWidget(), form.ScreenDumps);
}

void TestScreenDumps::cancelDuringTheListing()
{
    test::ZoSim sim({QStringLiteral("--list-delay"), QStringLiteral("5")});
    QVERIFY(sim.put("screendumps/a.bmp", test::bitmap(20, 20)));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    TZoFtpForm form({});
    form.show();
    test::pointAt(form, sim.ftpPort());

    QString captionWhileListing;
    const auto listing = [&sim] {
        return sim.countCommands(QStringLiteral("MLSD")) +
                   sim.countCommands(QStringLiteral("LIST")) >
               0;
    };
    test::WhenSeen second(listing, [&] {
        captionWhileListing = form.GetAllScreenDumps->text();
        QTest::mouseClick(form.GetAllScreenDumps, Qt::LeftButton);
    });
    test::press(form, form.ScreenDumps, form.GetAllScreenDumps);

    QVERIFY(second.done);
    QCOMPARE(captionWhileListing, QStringLiteral("Cancel"));
    QCOMPARE(form.MainPager->currentWidget(), form.ErrorLogPage);
    QCOMPARE(form.ErrorLog->lines(), QStringList{});
    QCOMPARE(sim.countCommands(QStringLiteral("RETR")), 0);
    QVERIFY(!QFileInfo::exists(test::dumpsOf(kHost)));
    QCOMPARE(form.ScreenDumpList->count(), 0);
    QCOMPARE(form.StatusBar->panelText(0), QStringLiteral("ABORTED!"));
    QCOMPARE(form.GetAllScreenDumps->text(), QStringLiteral("Get All"));
    QVERIFY(!form.Busy);
    QVERIFY(form.RefreshList->isEnabled());
}

void TestScreenDumps::cancelDuringTheDownloads()
{
    test::ZoSim sim({QStringLiteral("--rate"), QStringLiteral("500000"),
                     QStringLiteral("--list-order"), QStringLiteral("sorted")});
    const QByteArray dump = test::bitmap(500, 500);
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"})
        QVERIFY(sim.put(QStringLiteral("screendumps/") + name, dump));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    TZoFtpForm form({});
    form.show();
    test::pointAt(form, sim.ftpPort());

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
    test::press(form, form.ScreenDumps, form.GetAllScreenDumps);

    QVERIFY(pressedAgain);
    QCOMPARE(form.MainPager->currentWidget(), form.ScreenDumps);
    QCOMPARE(form.ErrorLog->lines(), QStringList{});
    // what arrived whole is kept and listed; the dump cut short leaves nothing, the next never
    // starts
    QStringList fetched = test::entriesOf(test::dumpsOf(kHost));
    QVERIFY2(fetched == QStringList{"a.bmp"} || fetched == (QStringList{"a.bmp", "b.bmp"}),
             qPrintable(fetched.join(' ')));
    for (const QString& name : fetched)
        QCOMPARE(test::readFile(test::dumpsOf(kHost) + name), dump);
    QCOMPARE(sim.countCommands(QStringLiteral("RETR")), 2);
    QCOMPARE(form.ScreenDumpList->lines(), fetched);
    QCOMPARE(test::pictureSize(form), QSize(500, 500));
    QCOMPARE(form.StatusBar->panelText(0), QStringLiteral("ABORTED!"));
    QCOMPARE(form.GetAllScreenDumps->text(), QStringLiteral("Get All"));
    QVERIFY(!form.Busy);
    QVERIFY(form.RefreshList->isEnabled());
}

void TestScreenDumps::deleteFile_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<MessageButton>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("yes") << 1 << MessageButton::Yes << true << true;
    QTest::newRow("no") << 1 << MessageButton::No << true << false;
    QTest::newRow("nothing selected") << -1 << MessageButton::Yes << false << false;
}

void TestScreenDumps::deleteFile()
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
    test::pointAt(form, sim.ftpPort());
    test::press(form, form.ScreenDumps, form.GetAllScreenDumps);
    QCOMPARE(form.ScreenDumpList->lines(), (QStringList{"a.bmp", "b.bmp"}));
    if (selected >= 0)
        form.ScreenDumpList->setCurrentRow(selected);
    else
        form.ScreenDumpList->setItemIndex(-1);
    const QSize shown = test::pictureSize(form);

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
    QCOMPARE(test::entriesOf(test::dumpsOf(kHost)), (QStringList{"a.bmp", "b.bmp"}));
    QCOMPARE(form.ScreenDumpList->lines(), (QStringList{"a.bmp", "b.bmp"}));
    QCOMPARE(form.ScreenDumpList->itemIndex(), selected);
    QCOMPARE(test::pictureSize(form), shown);
    if (selected >= 0)
        QCOMPARE(shown, QSize(80, 45));
}

void TestScreenDumps::deleteAllFiles_data()
{
    QTest::addColumn<bool>("localDump");
    QTest::addColumn<MessageButton>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("nothing selected") << false << MessageButton::Yes << false << false;
    QTest::newRow("no") << true << MessageButton::No << true << false;
    QTest::newRow("yes") << true << MessageButton::Yes << true << true;
}

void TestScreenDumps::deleteAllFiles()
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
        QVERIFY(test::writeFile(test::dumpsOf(kHost) + "a.bmp", test::bitmap(16, 9)));
    TZoFtpForm form({});
    form.show();
    test::pointAt(form, sim.ftpPort());
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
    QCOMPARE(sim.wasContacted(), deleted);
    QCOMPARE(sim.filesIn("screendumps"),
             deleted ? QStringList{"notes.txt"}
                     : (QStringList{"C.BMP", "a.bmp", "b.bmp", "notes.txt"}));
    QCOMPARE(test::entriesOf(test::dumpsOf(kHost)),
             localDump ? QStringList{"a.bmp"} : QStringList{});
    QCOMPARE(form.ScreenDumpList->lines(), localDump ? QStringList{"a.bmp"} : QStringList{});
    QCOMPARE(form.ErrorLog->lines(), QStringList{});
    QCOMPARE(form.MainPager->currentWidget(), form.ScreenDumps);
}

void TestScreenDumps::copyImage_data()
{
    QTest::addColumn<bool>("withPicture");
    QTest::newRow("picture shown") << true;
    QTest::newRow("no picture") << false;
}

void TestScreenDumps::copyImage()
{
    QFETCH(bool, withPicture);
    if (withPicture)
        QVERIFY(test::writeFile(test::dumpsOf(kHost) + "shot.bmp", test::bitmap(120, 68, 5)));
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

void TestScreenDumps::undecodableDumpIsReported()
{
    QVERIFY(test::writeFile(test::dumpsOf(kHost) + "a_broken.bmp", "BM this is no bitmap"));
    QVERIFY(test::writeFile(test::dumpsOf(kHost) + "b_good.bmp", test::bitmap(24, 12)));
    TZoFtpForm form({});
    form.show();
    form.MainPager->setCurrentWidget(form.ScreenDumps);
    test::DialogRecorder dialogs;
    test::typeAddress(form, kHost);

    QCOMPARE(dialogs.requests.size(), 1);
    QCOMPARE(dialogs.requests.first().icon, MessageIcon::Error);
    QCOMPARE(dialogs.requests.first().buttons, QList<MessageButton>{MessageButton::Ok});
    QVERIFY2(dialogs.texts().first().contains(test::dumpsOf(kHost) + "a_broken.bmp"),
             qPrintable(dialogs.texts().first()));
    QCOMPARE(form.ScreenDumpList->lines(), (QStringList{"a_broken.bmp", "b_good.bmp"}));
    QCOMPARE(form.ScreenDumpList->itemIndex(), 0);
    QVERIFY(form.ScreenDumpImage->pixmap().isNull());

    // the next entry still shows
    form.ScreenDumpList->setCurrentRow(1);
    QCOMPARE(test::pictureSize(form), QSize(24, 12));
    QCOMPARE(dialogs.requests.size(), 1);
}

void TestScreenDumps::getAllCancelsAnotherBusyOperation()
{
    // the installation of a release holds Busy while it uploads, slowly
    test::ZoSim sim({QStringLiteral("--sample"), QStringLiteral("--rate"), QStringLiteral("2000")});
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    const QString software = test::dataDir() + QStringLiteral("Software/");
    TZoFtpForm form({});
    form.show();
    test::pointAt(form, sim.ftpPort());
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
    QCOMPARE(sim.commandArguments(QStringLiteral("CWD")).filter(QStringLiteral("screendumps")),
             QStringList{});
    QVERIFY(!QFileInfo::exists(test::dumpsOf(kHost)));
    QVERIFY(sim.get("setup/top.bin").size() < 8192);
    QCOMPARE(form.ErrorLog->lines(), QStringList{});
}

void TestScreenDumps::addressThatLeavesTheDataFolder_data()
{
    QTest::addColumn<QString>("address");
    QTest::newRow("..") << QStringLiteral("..");
    QTest::newRow("a/b") << QStringLiteral("a/b");
    QTest::newRow("..\\x") << QStringLiteral("..\\x");
}

void TestScreenDumps::addressThatLeavesTheDataFolder()
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
    const QStringList documentsBefore = test::entriesOf(documents);
    form.MainPager->setCurrentWidget(form.ScreenDumps);
    test::DialogRecorder dialogs;
    test::typeAddress(form, address);
    QCOMPARE(form.ZoIPAddress->currentText(), address);
    QCOMPARE(form.ScreenDumpList->count(), 0);

    test::press(form, form.ScreenDumps, form.GetAllScreenDumps);
    test::press(form, form.Manufacturing, form.GetConfigFile);
    test::press(form, form.Manufacturing, form.PutConfigFile);

    QCOMPARE(dialogs.requests.size(), 3);
    for (const MessageRequest& request : dialogs.requests) {
        QVERIFY2(request.text.startsWith(QStringLiteral("The address \"") + address +
                                         QStringLiteral("\" cannot be used")),
                 qPrintable(request.text));
        QCOMPARE(request.icon, MessageIcon::Error);
    }
    QCOMPARE(test::entriesOf(test::dataDir()), QStringList{"Software"});
    QCOMPARE(test::entriesOf(documents), documentsBefore);
    QCOMPARE(test::entriesOf(documents + "ScreenDumps"), QStringList{"outside.bmp"});
    QCOMPARE(form.ScreenDumpList->count(), 0);
    QCOMPARE(form.GetAllScreenDumps->text(), QStringLiteral("Get All"));
    QVERIFY(!form.Busy);
    QVERIFY(form.RefreshList->isEnabled());
    QCOMPARE(form.ErrorLog->lines(), QStringList{});
}

void TestScreenDumps::addressEditedDuringTheListing()
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
    test::pointAt(form, sim.ftpPort());
    test::DialogRecorder dialogs;

    // the downloads take the address in the box once the listing is done
    test::WhenSeen edit([&sim] { return sim.countCommands(QStringLiteral("MLSD")) > 0; },
                        [&form] { test::typeAddress(form, QStringLiteral("..")); });
    test::press(form, form.ScreenDumps, form.GetAllScreenDumps);

    QVERIFY(edit.done);
    QCOMPARE(dialogs.texts().size(), 1);
    QVERIFY2(
        dialogs.texts().first().startsWith(QStringLiteral("The address \"..\" cannot be used")),
        qPrintable(dialogs.texts().first()));
    QVERIFY(!QFileInfo::exists(outside));
    QCOMPARE(test::entriesOf(test::dataDir()), QStringList{"Software"});
    QCOMPARE(sim.countCommands(QStringLiteral("RETR")), 0);
    QCOMPARE(form.ZoIPAddress->currentText(), QStringLiteral(".."));
    QCOMPARE(form.ScreenDumpList->count(), 0);
    QVERIFY(!form.Busy);
    QCOMPARE(form.GetAllScreenDumps->text(), QStringLiteral("Get All"));
}

void TestScreenDumps::noDocumentsFolder()
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
    test::pointAt(form, sim.ftpPort());
    test::DialogRecorder dialogs;
    test::typeAddress(form, kHost);
    QCOMPARE(form.ScreenDumpList->count(), 0);
    test::press(form, form.ScreenDumps, form.GetAllScreenDumps);
    test::press(form, form.Manufacturing, form.GetConfigFile);
    test::press(form, form.Manufacturing, form.PutConfigFile);

    QCOMPARE(dialogs.requests.size(), 3);
    for (const MessageRequest& request : dialogs.requests) {
        QCOMPARE(request.text, QStringLiteral("No Documents folder was found to keep the "
                                              "instrument's files in."));
        QCOMPARE(request.icon, MessageIcon::Error);
    }
    QVERIFY(!sim.wasContacted());
    QCOMPARE(test::entriesOf(startedIn + "/127.0.0.1/ScreenDumps"), QStringList{"there.bmp"});
    QCOMPARE(test::readFile(startedIn + "/127.0.0.1/system.cfg"), QByteArray("name=local\n"));
    QCOMPARE(sim.get("system.cfg"), QByteArray("name=zo\n"));
    QCOMPARE(form.ScreenDumpList->count(), 0);
    QVERIFY(!form.Busy);
    QCOMPARE(form.GetAllScreenDumps->text(), QStringLiteral("Get All"));
}

ZO_GUI_TEST_MAIN(TestScreenDumps)
#include "TestScreenDumps.moc"
