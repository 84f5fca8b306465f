// The address history that finished transfers grow, the address box's handlers, and what of the
// window the settings keep from one run to the next.

#include "DialogRecorder.h"
#include "Pictures.h"
#include "TestEnvironment.h"
#include "WindowDriving.h"
#include "ZoSim.h"
#include "app/ZoApplication.h"
#include "app/ZoFtpForm.h"
#include "platform/ListBox.h"
#include "platform/PanelBar.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTabWidget>
#include <QtTest>

using namespace zo;

namespace {

const QString kDesignedText = QStringLiteral("192.168.0.");
const QSize kDesignedSize(776, 444);
const QString kNoManifest = QStringLiteral("http://127.0.0.1:9/Software/zo/setup3.ini");

QString settingsFile()
{
    return test::testHome() + QStringLiteral("/.config/Corvane/FTPClient.conf");
}

QVariant stored(const QString& name)
{
    QSettings settings(QStringLiteral("Corvane"), QStringLiteral("FTPClient"));
    return settings.value(QStringLiteral("CvRemoteSkt/") + name);
}

void store(const QString& name, const QVariant& value)
{
    QSettings settings(QStringLiteral("Corvane"), QStringLiteral("FTPClient"));
    settings.setValue(QStringLiteral("CvRemoteSkt/") + name, value);
    settings.sync();
}

QStringList history(const TZoFtpForm& form)
{
    QStringList entries;
    for (int index = 0; index < form.ZoIPAddress->count(); ++index)
        entries << form.ZoIPAddress->itemText(index);
    return entries;
}

// Opens the address box's drop-down and clicks one of its entries.
void pickEntry(TZoFtpForm& form, int index)
{
    QComboBox* box = form.ZoIPAddress;
    box->showPopup();
    QAbstractItemView* view = box->view();
    QVERIFY(QTest::qWaitForWindowExposed(view->window()));
    const QRect entry = view->visualRect(box->model()->index(index, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, entry.center());
    QTRY_VERIFY(!view->window()->isVisible());
}

// The window state and the values that the settings keep, as one comparable text.
QString keptState(const TZoFtpForm& form)
{
    return QStringLiteral("history=%1 index=%2 text=%3 panel=%4")
        .arg(history(form).join(QLatin1Char(',')))
        .arg(form.ZoIPAddress->currentIndex())
        .arg(form.ZoIPAddress->currentText())
        .arg(form.VideoStandard->topPanel());
}

QString designedState()
{
    return QStringLiteral("history= index=-1 text=192.168.0. panel=0");
}

// Where the window's client area stands when the window itself stands at the top-left corner.
QRect designedGeometry(const TZoFtpForm& form)
{
    const QPoint frame = form.geometry().topLeft() - form.frameGeometry().topLeft();
    return QRect(frame, kDesignedSize);
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    // The address history
    void batchAddsItsHostOnce();
    void letterCaseOfTheHost();
    void failedConnectionAddsNothing();
    void itemFailedAfterConnectingAddsItsHost_data();
    void itemFailedAfterConnectingAddsItsHost();
    void webDownloadLeavesTheHistory();
    void pickingAnEntryFollowsIt();
    void twoInstruments();

    // What survives a restart
    void restartAfterClose_data();
    void restartAfterClose();
    void laterShowingKeepsTheState();
    void destroyedWithoutClose();
    void otherPixelsPerInch();
    void firstRun();
    void storedIndexWithoutEntry_data();
    void storedIndexWithoutEntry();
    void storedPanelOutOfRange_data();
    void storedPanelOutOfRange();
    void damagedStore_data();
    void damagedStore();
};

void TestSettings::init()
{
    test::forgetEarlierTests();
}

void TestSettings::cleanup()
{
    // a test that broke the store leaves a usable one to the next
    if (QFileInfo(settingsFile()).isDir())
        QDir(settingsFile()).removeRecursively();
    QFile::remove(settingsFile());
    qputenv("ZOFTP_MANIFEST_URL", kNoManifest.toUtf8());
}

void TestSettings::batchAddsItsHostOnce()
{
    test::ZoSim sim;
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"})
        QVERIFY(sim.put(QStringLiteral("screendumps/") + name, test::bitmap(16, 9)));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    TZoFtpForm form({});
    form.show();
    form.ZoIPAddress->addItem(QStringLiteral("127.0.0.9"));
    test::pointAt(form, sim.ftpPort());

    form.MainPager->setCurrentWidget(form.ScreenDumps);
    QTest::mouseClick(form.GetAllScreenDumps, Qt::LeftButton);

    QCOMPARE(form.ScreenDumpList->count(), 3);
    QCOMPARE(history(form), (QStringList{"127.0.0.9", "127.0.0.1"}));
    QCOMPARE(form.ZoIPAddress->currentIndex(), 1);
    QCOMPARE(form.ZoIPAddress->currentText(), QStringLiteral("127.0.0.1"));
    QCOMPARE(form.LastDeviceAddress, QStringLiteral("127.0.0.1"));

    // the entry is there: another run against the same host adds nothing
    form.ZoIPAddress->setCurrentIndex(0);
    form.ZoIPAddress->setEditText(QStringLiteral("127.0.0.1"));
    QTest::mouseClick(form.GetAllScreenDumps, Qt::LeftButton);
    QCOMPARE(history(form), (QStringList{"127.0.0.9", "127.0.0.1"}));
    QCOMPARE(form.ZoIPAddress->currentIndex(), 0);
    QCOMPARE(form.ZoIPAddress->currentText(), QStringLiteral("127.0.0.1"));
}

void TestSettings::letterCaseOfTheHost()
{
    test::ZoSim sim;
    QVERIFY(sim.put("reports/2026/r.txt", "r"));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    TZoFtpForm form({});
    form.show();
    form.ZoIPAddress->addItem(QStringLiteral("localhost"));
    form.ZoIPAddress->setCurrentIndex(-1);
    test::pointAt(form, sim.ftpPort(), QStringLiteral("LOCALHOST"));
    form.MainPager->setCurrentWidget(form.ReportFiles);

    QTest::mouseClick(form.ListReports, Qt::LeftButton);
    QCOMPARE(form.ReportList->lines(), QStringList{"2026"});
    QCOMPARE(history(form), QStringList{"localhost"});
    QCOMPARE(form.LastDeviceAddress, QStringLiteral("LOCALHOST"));
    QCOMPARE(form.ZoIPAddress->currentIndex(), -1);
    QCOMPARE(form.ZoIPAddress->currentText(), QStringLiteral("LOCALHOST"));

    // differs from the last host only in letter case: searched again, found again
    form.ZoIPAddress->setEditText(QStringLiteral("localhost"));
    QTest::mouseClick(form.ListReports, Qt::LeftButton);
    QCOMPARE(history(form), QStringList{"localhost"});
    QCOMPARE(form.LastDeviceAddress, QStringLiteral("localhost"));
    QCOMPARE(form.ZoIPAddress->currentIndex(), -1);
    QCOMPARE(form.ErrorLog->lines(), QStringList{});
}

void TestSettings::failedConnectionAddsNothing()
{
    TZoFtpForm form({QStringLiteral("-M")});
    form.show();
    test::pointAt(form, test::closedPort());

    form.MainPager->setCurrentWidget(form.ScreenDumps);
    QTest::mouseClick(form.GetAllScreenDumps, Qt::LeftButton);
    form.MainPager->setCurrentWidget(form.Manufacturing);
    QTest::mouseClick(form.GetConfigFile, Qt::LeftButton);
    QTest::mouseClick(form.DeleteRecoveryFiles, Qt::LeftButton);

    QCOMPARE(form.ErrorLog->lines().count(QStringLiteral("Cannot connect to FTP server 127.0.0.1")),
             3);
    QCOMPARE(history(form), QStringList{});
    QVERIFY(form.LastDeviceAddress.isEmpty());
    QCOMPARE(form.ZoIPAddress->currentText(), QStringLiteral("127.0.0.1"));
}

void TestSettings::itemFailedAfterConnectingAddsItsHost_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("put");
    QTest::newRow("download of a missing file") << QStringList{} << false;
    QTest::newRow("refused upload") << QStringList{"--fail-stor", "*"} << true;
}

void TestSettings::itemFailedAfterConnectingAddsItsHost()
{
    QFETCH(QStringList, options);
    QFETCH(bool, put);
    test::ZoSim sim(options);
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    QVERIFY(test::writeFile(test::dataDir() + "127.0.0.1/system.cfg", "name=zo\n"));
    TZoFtpForm form({QStringLiteral("-M")});
    form.show();
    test::pointAt(form, sim.ftpPort());
    form.MainPager->setCurrentWidget(form.Manufacturing);

    QTest::mouseClick(put ? form.PutConfigFile : form.GetConfigFile, Qt::LeftButton);

    QVERIFY(!sim.has("system.cfg"));
    QCOMPARE(history(form), QStringList{"127.0.0.1"});
    QCOMPARE(form.ZoIPAddress->currentIndex(), 0);
    QCOMPARE(form.LastDeviceAddress, QStringLiteral("127.0.0.1"));
}

void TestSettings::webDownloadLeavesTheHistory()
{
    test::ZoSim sim({QStringLiteral("--sample")});
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    qputenv("ZOFTP_MANIFEST_URL", sim.manifestUrl().toUtf8());
    TZoFtpForm form({});
    form.show();
    test::pointAt(form, sim.ftpPort());

    QTest::mouseClick(form.RefreshList, Qt::LeftButton);

    QCOMPARE(form.SoftwareReleases->lines(), QStringList{"release_1.6.zip"});
    QCOMPARE(history(form), QStringList{});
    QVERIFY(form.LastDeviceAddress.isEmpty());
    QCOMPARE(form.ZoIPAddress->currentText(), QStringLiteral("127.0.0.1"));
    QCOMPARE(form.ErrorLog->lines(), QStringList{});
}

void TestSettings::pickingAnEntryFollowsIt()
{
    QVERIFY(test::writeFile(test::dumpsOf("127.0.0.1") + "one.bmp", test::bitmap(16, 9)));
    QVERIFY(test::writeFile(test::dumpsOf("127.0.0.5") + "five_a.bmp", test::bitmap(32, 18)));
    QVERIFY(test::writeFile(test::dumpsOf("127.0.0.5") + "five_b.bmp", test::bitmap(64, 36)));
    QVERIFY(test::writeFile(test::dataDir() + "Software/release_1.zip", "r"));
    store(QStringLiteral("ZoIPAddress.Items"), QStringList{"127.0.0.1", "127.0.0.5"});
    store(QStringLiteral("ZoIPAddress.ItemIndex"), 0);
    store(QStringLiteral("ZoIPAddress.Text"), QStringLiteral("127.0.0.1"));
    TZoFtpForm form({});
    form.show();
    form.MainPager->setCurrentWidget(form.ScreenDumps);
    QCOMPARE(form.ScreenDumpList->lines(), QStringList{"one.bmp"});
    // a release chosen without the enabling rule having run since
    form.SoftwareReleases->setItemIndex(0);
    QVERIFY(!form.CopySwToZo->isEnabled());

    pickEntry(form, 1);

    QCOMPARE(form.ZoIPAddress->currentIndex(), 1);
    QCOMPARE(form.ScreenDumpDir->text(), test::dumpsOf("127.0.0.5"));
    QCOMPARE(form.ScreenDumpList->lines(), (QStringList{"five_a.bmp", "five_b.bmp"}));
    QCOMPARE(form.ScreenDumpImage->pixmap().size(), QSize(32, 18));
    // the change handler ran the enabling rule as well
    QVERIFY(form.CopySwToZo->isEnabled());

    // every keystroke refreshes: the list follows the text as it is typed
    test::typeAddress(form, QStringLiteral("127.0.0.1"));
    QCOMPARE(form.ScreenDumpList->lines(), QStringList{"one.bmp"});
    form.ZoIPAddress->lineEdit()->selectAll();
    QTest::keyClick(form.ZoIPAddress->lineEdit(), Qt::Key_Backspace);
    QCOMPARE(form.ScreenDumpList->count(), 0);
    QVERIFY(!form.CopySwToZo->isEnabled());
}

void TestSettings::twoInstruments()
{
    test::ZoSim first;
    QVERIFY(first.put("screendumps/first.bmp", test::bitmap(16, 9, 1)));
    QVERIFY2(first.start(), qPrintable(first.error()));
    // one account port for both, as for real instruments
    test::ZoSim second({QStringLiteral("--ftp-port"), QString::number(first.ftpPort()),
                        QStringLiteral("--no-http")},
                       QStringLiteral("127.0.0.5"));
    QVERIFY(second.put("screendumps/second.bmp", test::bitmap(32, 18, 2)));
    QVERIFY2(second.start(), qPrintable(second.error()));

    TZoFtpForm form({});
    form.show();
    test::pointAt(form, first.ftpPort());
    form.MainPager->setCurrentWidget(form.ScreenDumps);
    QTest::mouseClick(form.GetAllScreenDumps, Qt::LeftButton);
    test::typeAddress(form, QStringLiteral("127.0.0.5"));
    QTest::mouseClick(form.GetAllScreenDumps, Qt::LeftButton);

    QCOMPARE(history(form), (QStringList{"127.0.0.1", "127.0.0.5"}));
    QCOMPARE(form.ZoIPAddress->currentIndex(), 1);
    QCOMPARE(QDir(test::dumpsOf("127.0.0.1")).entryList(QDir::Files), QStringList{"first.bmp"});
    QCOMPARE(QDir(test::dumpsOf("127.0.0.5")).entryList(QDir::Files), QStringList{"second.bmp"});
    QCOMPARE(form.ScreenDumpList->lines(), QStringList{"second.bmp"});
    QCOMPARE(form.ErrorLog->lines(), QStringList{});

    pickEntry(form, 0);
    QCOMPARE(form.ScreenDumpList->lines(), QStringList{"first.bmp"});
    QCOMPARE(form.ScreenDumpImage->pixmap().size(), QSize(16, 9));
}

void TestSettings::restartAfterClose_data()
{
    QTest::addColumn<bool>("maximized");
    QTest::newRow("normal") << false;
    QTest::newRow("maximized") << true;
}

void TestSettings::restartAfterClose()
{
    QFETCH(bool, maximized);
    QVERIFY(test::writeFile(test::dumpsOf("127.0.0.7") + "seven.bmp", test::bitmap(16, 9)));
    const QRect placed(40, 50, 900, 560);
    QString kept;
    {
        TZoFtpForm form({});
        form.show();
        form.RememberDeviceAddress(QStringLiteral("127.0.0.1"));
        form.RememberDeviceAddress(QStringLiteral("127.0.0.5"));
        form.ZoIPAddress->setEditText(QStringLiteral("127.0.0.7"));
        form.VideoStandard->setTopPanel(2);
        form.setGeometry(placed);
        if (maximized)
            form.showMaximized();
        kept = keptState(form);
        QCOMPARE(kept,
                 QStringLiteral("history=127.0.0.1,127.0.0.5 index=1 text=127.0.0.7 panel=2"));
        QVERIFY(form.close());
    }
    TZoFtpForm form({});
    form.show();
    QCOMPARE(keptState(form), kept);
    QCOMPARE(form.isMaximized(), maximized);
    if (!maximized)
        QCOMPARE(form.geometry(), placed);
    else
        QCOMPARE(form.normalGeometry(), placed);
    // the restored address's screen dumps are listed
    QCOMPARE(form.ScreenDumpDir->text(), test::dumpsOf("127.0.0.7"));
    QCOMPARE(form.ScreenDumpList->lines(), QStringList{"seven.bmp"});
    QCOMPARE(form.ScreenDumpImage->height(), form.ScreenDumpImage->width() * 9 / 16);
}

void TestSettings::laterShowingKeepsTheState()
{
    store(QStringLiteral("ZoIPAddress.Text"), QStringLiteral("127.0.0.3"));
    store(QStringLiteral("VideoStandard.TopPanel"), 2);
    TZoFtpForm form({});
    form.show();
    QCOMPARE(keptState(form), QStringLiteral("history= index=-1 text=127.0.0.3 panel=2"));
    form.ZoIPAddress->setEditText(QStringLiteral("127.0.0.4"));
    form.VideoStandard->setTopPanel(1);

    // restored once per run: hiding and showing again brings nothing back
    form.hide();
    form.show();
    QCOMPARE(keptState(form), QStringLiteral("history= index=-1 text=127.0.0.4 panel=1"));
}

void TestSettings::destroyedWithoutClose()
{
    QString kept;
    {
        TZoFtpForm form({});
        form.show();
        form.RememberDeviceAddress(QStringLiteral("127.0.0.3"));
        form.ZoIPAddress->setEditText(QStringLiteral("127.0.0.4"));
        form.VideoStandard->setTopPanel(3);
        kept = keptState(form);
    }
    QCOMPARE(stored(QStringLiteral("ZoIPAddress.Text")).toString(), QStringLiteral("127.0.0.4"));
    TZoFtpForm form({});
    form.show();
    QCOMPARE(keptState(form), kept);
    QCOMPARE(kept, QStringLiteral("history=127.0.0.3 index=0 text=127.0.0.4 panel=3"));
}

void TestSettings::otherPixelsPerInch()
{
    QString kept;
    {
        TZoFtpForm form({});
        form.show();
        form.RememberDeviceAddress(QStringLiteral("127.0.0.1"));
        form.VideoStandard->setTopPanel(1);
        form.setGeometry(40, 50, 900, 560);
        form.showMaximized();
        kept = keptState(form);
        QVERIFY(form.close());
    }
    const int savedAt = stored(QStringLiteral("PixelsPerInch")).toInt();
    QVERIFY(savedAt > 0);
    store(QStringLiteral("PixelsPerInch"), savedAt + 24);

    TZoFtpForm form({});
    form.show();
    QCOMPARE(keptState(form), kept);
    QVERIFY(form.isMaximized());
    QCOMPARE(form.normalGeometry(), designedGeometry(form));
}

void TestSettings::firstRun()
{
    TZoFtpForm form({});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(keptState(form), designedState());
    QCOMPARE(form.frameGeometry().topLeft(), QPoint(0, 0));
    QCOMPARE(form.geometry(), designedGeometry(form));
    QVERIFY(!form.isMaximized() && !form.isMinimized());
    QCOMPARE(form.VideoStandard->panelCaption(form.VideoStandard->topPanel()),
             QStringLiteral("SD"));
    QCOMPARE(form.ScreenDumpDir->text(), test::dumpsOf(kDesignedText));
}

void TestSettings::storedIndexWithoutEntry_data()
{
    QTest::addColumn<QVariant>("index");
    QTest::addColumn<int>("selected");
    QTest::newRow("past the end") << QVariant(2) << -1;
    QTest::newRow("far out") << QVariant(50) << -1;
    QTest::newRow("none") << QVariant(-1) << -1;
    QTest::newRow("negative") << QVariant(-4) << -1;
    QTest::newRow("not a number") << QVariant(QStringLiteral("first")) << -1;
    QTest::newRow("an entry") << QVariant(1) << 1;
}

void TestSettings::storedIndexWithoutEntry()
{
    QFETCH(QVariant, index);
    QFETCH(int, selected);
    store(QStringLiteral("ZoIPAddress.Items"), QStringList{"127.0.0.1", "127.0.0.2"});
    store(QStringLiteral("ZoIPAddress.ItemIndex"), index);
    store(QStringLiteral("ZoIPAddress.Text"), QStringLiteral("127.0.0.3"));
    TZoFtpForm form({});
    form.show();
    QCOMPARE(history(form), (QStringList{"127.0.0.1", "127.0.0.2"}));
    QCOMPARE(form.ZoIPAddress->currentIndex(), selected);
    QCOMPARE(form.ZoIPAddress->currentText(), QStringLiteral("127.0.0.3"));
    QCOMPARE(form.ScreenDumpDir->text(), test::dumpsOf("127.0.0.3"));
}

void TestSettings::storedPanelOutOfRange_data()
{
    QTest::addColumn<QVariant>("panel");
    QTest::addColumn<int>("open");
    QTest::newRow("4") << QVariant(4) << 0;
    QTest::newRow("-1") << QVariant(-1) << 0;
    QTest::newRow("99") << QVariant(99) << 0;
    QTest::newRow("not a number") << QVariant(QStringLiteral("HD-1080")) << 0;
    QTest::newRow("3") << QVariant(3) << 3;
    QTest::newRow("1") << QVariant(1) << 1;
}

void TestSettings::storedPanelOutOfRange()
{
    QFETCH(QVariant, panel);
    QFETCH(int, open);
    store(QStringLiteral("VideoStandard.TopPanel"), panel);
    TZoFtpForm form({});
    form.show();
    QCOMPARE(form.VideoStandard->topPanel(), open);
}

void TestSettings::damagedStore_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("folder");
    QTest::addColumn<bool>("saved");
    QByteArray noise;
    for (int index = 0; index < 4096; ++index)
        noise += static_cast<char>((index * 151 + 7) % 256);
    QTest::newRow("noise") << noise << false << true;
    QTest::newRow("damaged values")
        << QByteArray("[CvRemoteSkt]\n"
                      "FormVersion=@Variant(\\0\\0\\0\\x7f\\0\\0\\0)\n"
                      "Geometry=@ByteArray(\\x1\\xd9\\xd0\\xcb\\0\\x3)\n"
                      "PixelsPerInch=@Variant(\\0\\0\\0\\x2)\n"
                      "WindowState=@Rect(1 2\n"
                      "ZoIPAddress.Items=@Variant(\\0\\0\\0\\xb\\0\\0\\0\\x9)\n"
                      "ZoIPAddress.ItemIndex=@Variant(\\0\\0\\0\\xff\\xff)\n"
                      "ZoIPAddress.Text=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x5junk)\n"
                      "VideoStandard.TopPanel=@Variant(\\0\\0\\0\\x2\\0\\0)\n")
        << false << true;
    QTest::newRow("a folder in its place") << QByteArray() << true << false;
}

void TestSettings::damagedStore()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, folder);
    QFETCH(bool, saved);
    QFile::remove(settingsFile());
    if (folder)
        QVERIFY(QDir().mkpath(settingsFile() + "/inside"));
    else
        QVERIFY(test::writeFile(settingsFile(), content));

    QString kept;
    {
        TZoFtpForm form({});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(keptState(form), designedState());
        QCOMPARE(form.geometry(), designedGeometry(form));
        QVERIFY(!form.isMaximized() && !form.isMinimized());
        form.RememberDeviceAddress(QStringLiteral("127.0.0.2"));
        kept = keptState(form);

        test::DialogRecorder dialogs;
        QVERIFY(form.close());
        if (saved) {
            QCOMPARE(dialogs.texts(), QStringList{});
        } else {
            QCOMPARE(dialogs.texts(), QStringList{"The settings could not be saved to " +
                                                  settingsFile() + ": access denied."});
            QCOMPARE(dialogs.requests.first().icon, MessageIcon::Error);
        }
    }
    // a damaged store is replaced by the next save; one that cannot be written stays as it was
    test::DialogRecorder dialogs;
    TZoFtpForm form({});
    form.show();
    QCOMPARE(keptState(form), saved ? kept : designedState());
}

ZO_GUI_TEST_MAIN(TestSettings)
#include "TestSettings.moc"
