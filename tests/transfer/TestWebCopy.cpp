// The transfer engine and the batch operations against the simulated instrument: listings in
// every style, one connection per batch, folders, faults, cancels and hostile names.

#include "TestEnvironment.h"
#include "ZoSim.h"
#include "platform/WebCopy.h"
#include "transfer/DeviceBatches.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QtTest>

using namespace zo;

namespace {

// A host that keeps the error log in a list and cancels on a connection failure, as the window
// does.
class RecordingHost : public BatchHost
{
public:
    explicit RecordingHost(WebCopy& webCopy) : m_webCopy(webCopy)
    {
        QObject::connect(&webCopy, &WebCopy::OnErrorInfo, [this](int code, const QString& text) {
            errorLog << text;
            codes << code;
            if (DeviceBatches::cancelsBatch(code))
                m_webCopy.CancelCopy();
        });
    }
    QString addressText() const override { return address; }
    bool isBusy() const override { return busy; }
    void appendErrorLog(const QString& line) override { errorLog << line; }
    void showErrorLog() override { ++errorPageShown; }

    QString address = QStringLiteral("127.0.0.1");
    bool busy = true;
    QStringList errorLog;
    QList<int> codes;
    int errorPageShown = 0;

private:
    WebCopy& m_webCopy;
};

struct Rig
{
    explicit Rig(int port) : host(webCopy), batches(webCopy, host)
    {
        qputenv("ZOFTP_PORT", QByteArray::number(port));
        QObject::connect(&webCopy, &WebCopy::OnFileStart, [this](int idx) { started << idx; });
        QObject::connect(&webCopy, &WebCopy::OnFileDone, [this](int idx) { done << idx; });
        QObject::connect(&webCopy, &WebCopy::OnRemovedFileFailed,
                         [this](int idx) { refusedDeletes << idx; });
        QObject::connect(&webCopy, &WebCopy::OnCopyProgress,
                         [this](int, quint64 size, quint64 total) {
                             lastProgress = {size, total};
                             ++progressEvents;
                         });
    }

    WebCopy webCopy;
    RecordingHost host;
    DeviceBatches batches;
    QList<int> started;
    QList<int> done;
    QList<int> refusedDeletes;
    std::pair<quint64, quint64> lastProgress;
    int progressEvents = 0;
};

QByteArray pattern(int size)
{
    QByteArray data(size, Qt::Uninitialized);
    for (int at = 0; at < size; ++at)
        data[at] = static_cast<char>((at * 7 + at / 251) & 0xFF);
    return data;
}

// Files in a folder that a failed download might have left behind.
QStringList leftovers(const QString& folder, const QStringList& expected)
{
    QStringList found = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : expected)
        found.removeAll(name);
    return found;
}

QString freshFolder(const QString& name)
{
    const QString folder = test::testHome() + QStringLiteral("/") + name + QStringLiteral("/");
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    return folder;
}

} // namespace

class TestWebCopy : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void listingStyles_data();
    void listingStyles();
    void plainNameListsItsFolder();
    void batchUsesOneConnection();
    void listedSizesSpareTheSizeQuestion();
    void pathsRelativeAndRooted();
    void uploadCreatesMissingFolders();
    void emptyBatchContactsNothing();
    void unreachableInstrument();
    void silentListenerTimesOut();
    void droppedDownloadKeepsTheOldCopy();
    void stalledDownloadGivesUp();
    void cancelStopsTheBatch();
    void hostileNamesAreNotUsed();
    void dataConnectionOnlyFromTheInstrument();
    void refusedDelete();
    void truncatedUploadFails();
    void safeReplaceKeepsTheOldFile();
    void httpDownloads();
};

void TestWebCopy::listingStyles_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("command");
    QTest::newRow("mlsd") << QStringList{} << "MLSD";
    QTest::newRow("unix") << QStringList{"--no-mlsd", "--listing", "unix"} << "LIST";
    QTest::newRow("dos two-digit years") << QStringList{"--no-mlsd", "--listing", "dos2"} << "LIST";
    QTest::newRow("dos four-digit years")
        << QStringList{"--no-mlsd", "--listing", "dos4"} << "LIST";
}

void TestWebCopy::listingStyles()
{
    QFETCH(QStringList, options);
    test::ZoSim sim(options << QStringLiteral("--list-order") << QStringLiteral("reverse"));
    QVERIFY(sim.put("screendumps/b dump.bmp", "b"));
    QVERIFY(sim.put("screendumps/A.BMP", "a"));
    QVERIFY(sim.put("screendumps/notes.txt", "n"));
    QVERIFY(sim.put("reports/2026-01-02/r.txt", "r"));
    QVERIFY(sim.put("reports/2026-01-01/r.txt", "r"));
    QVERIFY(sim.put("reports/index.txt", "i"));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    Rig rig(sim.ftpPort());

    QStringList dumps;
    QVERIFY(
        rig.batches.ListRemoteFiles(QStringLiteral("screendumps/*.bmp"), dumps, false).succeeded());
    QCOMPARE(dumps, (QStringList{"b dump.bmp", "A.BMP"}));

    QStringList folders = {QStringLiteral("kept")};
    rig.batches.ListRemoteFiles(QStringLiteral("reports/*"), folders, true);
    QCOMPARE(folders, (QStringList{"kept", "2026-01-02", "2026-01-01"}));
    QStringList files;
    rig.batches.ListRemoteFiles(QStringLiteral("reports\\*"), files, false);
    QCOMPARE(files, QStringList{"index.txt"});

    QStringList none;
    const BatchResult empty =
        rig.batches.ListRemoteFiles(QStringLiteral("screendumps/*.png"), none, false);
    QVERIFY(empty.succeeded());
    QVERIFY(none.isEmpty());
    QCOMPARE(rig.host.errorPageShown, 0);

    QFETCH(QString, command);
    QVERIFY(sim.countCommands(command) >= 4);
}

void TestWebCopy::plainNameListsItsFolder()
{
    test::ZoSim sim;
    QVERIFY(sim.put("patterns/720rgb/ramp.pat", "r"));
    QVERIFY(sim.put("patterns/720rgb/bars.pat", "b"));
    QVERIFY(sim.put("patterns/720rgb/old/x.pat", "x"));
    QVERIFY(QDir().mkpath(sim.pathOf("patterns/720yuv")));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    Rig rig(sim.ftpPort());

    QStringList names;
    QVERIFY(
        rig.batches.ListRemoteFiles(QStringLiteral("patterns/720rgb"), names, false).succeeded());
    names.sort();
    QCOMPARE(names, (QStringList{"bars.pat", "ramp.pat"}));

    // an empty standard, and one the instrument does not have, hold nothing
    for (const char* pattern : {"patterns/720yuv", "patterns/1080rgb", "nothere/*"}) {
        QStringList nothing;
        QVERIFY2(rig.batches.ListRemoteFiles(QLatin1String(pattern), nothing, false).succeeded(),
                 pattern);
        QVERIFY(nothing.isEmpty());
    }
    QCOMPARE(rig.host.errorPageShown, 0);
}

void TestWebCopy::batchUsesOneConnection()
{
    test::ZoSim sim;
    QStringList names;
    for (int index = 1; index <= 5; ++index) {
        names << QStringLiteral("dump_%1.bmp").arg(index);
        QVERIFY(sim.put(QStringLiteral("screendumps/") + names.last(), pattern(10000 * index)));
    }
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    Rig rig(sim.ftpPort());
    const QString local = freshFolder(QStringLiteral("one-connection"));

    const BatchResult result =
        rig.batches.TransferFiles(local, QStringLiteral("screendumps\\"), names, false);
    QVERIFY(result.succeeded());
    QCOMPARE(result.items, 5);
    QCOMPARE(sim.countCommands(QStringLiteral("USER")), 1);
    for (int index = 1; index <= 5; ++index)
        QCOMPARE(test::readFile(local + names[index - 1]), pattern(10000 * index));
    QCOMPARE(rig.started, (QList<int>{0, 1, 2, 3, 4}));
    QCOMPARE(rig.done, (QList<int>{0, 1, 2, 3, 4}));
    QCOMPARE(rig.lastProgress, (std::pair<quint64, quint64>{50000, 50000}));
    QVERIFY(rig.host.errorLog.isEmpty());
    QVERIFY(leftovers(local, names).isEmpty());
}

void TestWebCopy::listedSizesSpareTheSizeQuestion()
{
    test::ZoSim sim({QStringLiteral("--drop-after"), QStringLiteral("60000")});
    QVERIFY(sim.put("screendumps/a.bmp", pattern(1000)));
    QVERIFY(sim.put("screendumps/b.bmp", pattern(2000)));
    QVERIFY(sim.put("screendumps/cut.bmp", pattern(100000)));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    Rig rig(sim.ftpPort());
    const QString local = freshFolder(QStringLiteral("listed"));

    QStringList names;
    QList<qint64> sizes;
    QVERIFY(rig.batches.ListRemoteFiles(QStringLiteral("screendumps/*.bmp"), names, false, &sizes)
                .succeeded());
    QCOMPARE(names.size(), sizes.size());
    // a file that changed since the listing still arrives whole
    QVERIFY(sim.put("screendumps/b.bmp", pattern(3000)));
    sim.clearLog();

    const BatchResult result =
        rig.batches.TransferFiles(local, QStringLiteral("screendumps\\"), names, false, sizes);
    QCOMPARE(result.failed, 1);
    QCOMPARE(test::readFile(local + QStringLiteral("a.bmp")), pattern(1000));
    QCOMPARE(test::readFile(local + QStringLiteral("b.bmp")), pattern(3000));
    // one cut short is no file, however the server ended it
    QVERIFY(!QFileInfo::exists(local + QStringLiteral("cut.bmp")));
    QVERIFY(leftovers(local, {"a.bmp", "b.bmp"}).isEmpty());
    QVERIFY(rig.host.errorLog.contains(QStringLiteral(
        "The connection to 127.0.0.1 broke off during the download of screendumps/cut.bmp")));
    // only the two surprises were asked about
    QVERIFY(sim.countCommands(QStringLiteral("SIZE")) <= 2);
}

void TestWebCopy::pathsRelativeAndRooted()
{
    // the login starts in /zo, so "setup\" and "\setup\" are different folders
    test::ZoSim sim({QStringLiteral("--login-dir"), QStringLiteral("/zo")});
    QVERIFY(sim.put("system.cfg", "root config"));
    QVERIFY(sim.put("zo/system.cfg", "login config"));
    QVERIFY(sim.put("zo/factoryapp/xilinx/cpld.xsvf", "cpld"));
    QVERIFY(sim.put("zo/factoryapp/xilinx/keep.bin", "keep"));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    Rig rig(sim.ftpPort());
    const QString local = freshFolder(QStringLiteral("rooted"));

    QVERIFY(
        rig.batches.TransferFiles(local, QStringLiteral("\\"), {"system.cfg"}, false).succeeded());
    QCOMPARE(test::readFile(local + QStringLiteral("system.cfg")), QByteArray("root config"));

    QVERIFY(test::writeFile(local + QStringLiteral("system.cfg"), "sent back"));
    QVERIFY(
        rig.batches.TransferFiles(local, QStringLiteral("\\"), {"system.cfg"}, true).succeeded());
    QCOMPARE(sim.get("system.cfg"), QByteArray("sent back"));
    QCOMPARE(sim.get("zo/system.cfg"), QByteArray("login config"));

    // a name with folders: deleted in its folder, downloaded straight into the local folder
    QVERIFY(rig.batches
                .TransferFiles(local, QStringLiteral("factoryapp\\"), {"xilinx\\keep.bin"}, false)
                .succeeded());
    QCOMPARE(test::readFile(local + QStringLiteral("keep.bin")), QByteArray("keep"));
    QVERIFY(!QFileInfo::exists(local + QStringLiteral("xilinx")));
    QVERIFY(rig.batches.DeleteRemoteFiles(QStringLiteral("factoryapp\\"), {"xilinx\\cpld.xsvf"})
                .succeeded());
    QVERIFY(!sim.has("zo/factoryapp/xilinx/cpld.xsvf"));
    QVERIFY(sim.has("zo/factoryapp/xilinx/keep.bin"));
}

void TestWebCopy::uploadCreatesMissingFolders()
{
    test::ZoSim sim;
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    Rig rig(sim.ftpPort());
    const QString local = freshFolder(QStringLiteral("upload"));
    QVERIFY(test::writeFile(local + QStringLiteral("zoapp"), pattern(300000)));
    QVERIFY(test::writeFile(local + QStringLiteral("empty.txt"), QByteArray()));

    const BatchResult result = rig.batches.TransferFiles(
        local, QStringLiteral("\\setup\\new\\deep\\"), {"zoapp", "empty.txt"}, true);
    QVERIFY(result.succeeded());
    QCOMPARE(sim.get("setup/new/deep/zoapp"), pattern(300000));
    QVERIFY(sim.has("setup/new/deep/empty.txt"));
    QCOMPARE(rig.lastProgress.second, quint64(0));

    // a missing source is reported with its path and fails only its own item
    const BatchResult missing =
        rig.batches.TransferFiles(local, QStringLiteral("setup\\"), {"gone.bin", "zoapp"}, true);
    QCOMPARE(missing.failed, 1);
    QVERIFY(rig.host.errorLog.contains(QStringLiteral("Cannot open source file ") + local +
                                       "gone.bin"));
    QVERIFY(rig.host.errorLog.contains(QStringLiteral("Failed FTP upload: ") + local + "gone.bin"));
    QVERIFY(sim.has("setup/zoapp"));
}

void TestWebCopy::emptyBatchContactsNothing()
{
    test::ZoSim sim;
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    Rig rig(sim.ftpPort());
    const QString local = test::testHome() + QStringLiteral("/never/made/yet/");
    QDir(local).removeRecursively();

    QVERIFY(
        rig.batches.TransferFiles(local, QStringLiteral("screendumps\\"), {}, false).succeeded());
    QVERIFY(rig.batches.DeleteRemoteFiles(QStringLiteral("setup\\"), {}).succeeded());
    QVERIFY(QFileInfo(local).isDir());
    QVERIFY(rig.started.isEmpty());
    QCOMPARE(rig.progressEvents, 0);
    QCOMPARE(sim.countCommands(QStringLiteral("USER")), 0);
    QCOMPARE(rig.host.errorPageShown, 0);
}

void TestWebCopy::unreachableInstrument()
{
    Rig rig(test::closedPort());
    const QString local = freshFolder(QStringLiteral("unreachable"));
    QVERIFY(test::writeFile(local + QStringLiteral("a.bmp"), "older copy"));

    const BatchResult result = rig.batches.TransferFiles(local, QStringLiteral("screendumps\\"),
                                                         {"a.bmp", "b.bmp", "c.bmp"}, false);
    QVERIFY(result.unreachable);
    QCOMPARE(result.failed, 3);
    // one connection attempt: the failure ends the batch
    QCOMPARE(rig.started, QList<int>{0});
    QVERIFY(rig.done.isEmpty());
    QCOMPARE(rig.host.errorLog, (QStringList{"Cannot connect to FTP server 127.0.0.1",
                                             "Failed FTP download: screendumps/a.bmp",
                                             "Failed FTP download: screendumps/b.bmp",
                                             "Failed FTP download: screendumps/c.bmp"}));
    QCOMPARE(rig.host.errorPageShown, 1);
    QCOMPARE(test::readFile(local + QStringLiteral("a.bmp")), QByteArray("older copy"));

    // a listing reports the connection failure but adds no line of its own
    rig.host.errorLog.clear();
    QStringList names;
    QVERIFY(rig.batches.ListRemoteFiles(QStringLiteral("reports/*"), names, true).unreachable);
    QCOMPARE(rig.host.errorLog, QStringList{"Cannot connect to FTP server 127.0.0.1"});
    QCOMPARE(rig.host.errorPageShown, 2);

    // an address that is no host name at all is just as unreachable
    rig.host.errorLog.clear();
    rig.host.address = QStringLiteral("192.168.0./x@127.0.0.1");
    QVERIFY(rig.batches.ListRemoteFiles(QStringLiteral("reports/*"), names, true).unreachable);
    QCOMPARE(rig.host.errorLog.first(),
             QStringLiteral("Cannot connect to FTP server 192.168.0./x@127.0.0.1"));
}

void TestWebCopy::silentListenerTimesOut()
{
    // a listener that accepts connections and never says a word
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
    Rig rig(silent.serverPort());
    rig.webCopy.setConnectTimeoutMs(1500);
    QElapsedTimer clock;
    clock.start();
    QStringList names;
    const BatchResult result =
        rig.batches.ListRemoteFiles(QStringLiteral("reports/*"), names, true);
    QVERIFY(result.unreachable);
    QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(rig.host.errorLog, QStringList{"Cannot connect to FTP server 127.0.0.1"});
}

void TestWebCopy::droppedDownloadKeepsTheOldCopy()
{
    test::ZoSim sim({QStringLiteral("--drop-after"), QStringLiteral("100000")});
    QVERIFY(sim.put("screendumps/big.bmp", pattern(400000)));
    QVERIFY(sim.put("screendumps/new.bmp", pattern(500000)));
    QVERIFY(sim.put("screendumps/small.bmp", pattern(5000)));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    Rig rig(sim.ftpPort());
    const QString local = freshFolder(QStringLiteral("dropped"));
    QVERIFY(test::writeFile(local + QStringLiteral("big.bmp"), "older copy"));

    const BatchResult result = rig.batches.TransferFiles(
        local, QStringLiteral("screendumps\\"), {"big.bmp", "new.bmp", "small.bmp"}, false);
    QCOMPARE(result.failed, 2);
    QCOMPARE(test::readFile(local + QStringLiteral("big.bmp")), QByteArray("older copy"));
    QVERIFY(!QFileInfo::exists(local + QStringLiteral("new.bmp")));
    // the connection came back for the next item
    QCOMPARE(test::readFile(local + QStringLiteral("small.bmp")), pattern(5000));
    QCOMPARE(leftovers(local, {"big.bmp", "small.bmp"}), QStringList{});
    QVERIFY(rig.host.errorLog.contains(QStringLiteral(
        "The connection to 127.0.0.1 broke off during the download of screendumps/big.bmp")));
    QVERIFY(rig.host.errorLog.contains(QStringLiteral("Failed FTP download: screendumps/new.bmp")));
}

void TestWebCopy::stalledDownloadGivesUp()
{
    test::ZoSim sim({QStringLiteral("--stall-after"), QStringLiteral("50000")});
    QVERIFY(sim.put("screendumps/big.bmp", pattern(200000)));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    Rig rig(sim.ftpPort());
    rig.webCopy.setStallTimeoutMs(2000);
    const QString local = freshFolder(QStringLiteral("stalled"));

    const BatchResult result =
        rig.batches.TransferFiles(local, QStringLiteral("screendumps\\"), {"big.bmp"}, false);
    QCOMPARE(result.failed, 1);
    QVERIFY(!result.unreachable);
    QVERIFY(leftovers(local, {}).isEmpty());
    QVERIFY2(rig.host.errorLog.first().startsWith(
                 QStringLiteral("Gave up on the download of screendumps/big.bmp")),
             qPrintable(rig.host.errorLog.join('|')));
}

void TestWebCopy::cancelStopsTheBatch()
{
    test::ZoSim sim({QStringLiteral("--rate"), QStringLiteral("400000")});
    QVERIFY(sim.put("screendumps/a.bmp", pattern(4000000)));
    QVERIFY(sim.put("screendumps/b.bmp", pattern(1000)));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    Rig rig(sim.ftpPort());
    const QString local = freshFolder(QStringLiteral("cancel"));
    QElapsedTimer sinceCancel;
    QObject::connect(&rig.webCopy, &WebCopy::OnCopyProgress, [&](int, quint64 size, quint64) {
        if (size > 0 && !sinceCancel.isValid()) {
            sinceCancel.start();
            rig.webCopy.CancelCopy();
        }
    });

    const BatchResult result = rig.batches.TransferFiles(local, QStringLiteral("screendumps\\"),
                                                         {"a.bmp", "b.bmp"}, false);
    QVERIFY(sinceCancel.isValid());
    QVERIFY2(sinceCancel.elapsed() < 3000, qPrintable(QString::number(sinceCancel.elapsed())));
    QVERIFY(result.cancelled);
    QCOMPARE(result.failed, 2);
    QCOMPARE(rig.started, QList<int>{0});
    QVERIFY(rig.done.isEmpty());
    QVERIFY(leftovers(local, {}).isEmpty());
    // a cancelled batch reports its items only where its caller is still busy
    QCOMPARE(rig.host.errorLog.size(), 2);

    // the request is dropped when the next batch starts
    rig.host.errorLog.clear();
    QVERIFY(rig.batches.TransferFiles(local, QStringLiteral("screendumps\\"), {"b.bmp"}, false)
                .succeeded());
}

void TestWebCopy::hostileNamesAreNotUsed()
{
    test::ZoSim sim({QStringLiteral("--inject-entry"), QStringLiteral("screendumps:../escape.bmp"),
                     QStringLiteral("--inject-entry"), QStringLiteral("screendumps:a/b.bmp"),
                     QStringLiteral("--inject-entry"), QStringLiteral("screendumps:..")});
    QVERIFY(sim.put("screendumps/good.bmp", "good"));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    Rig rig(sim.ftpPort());
    const QString local = freshFolder(QStringLiteral("hostile/inside"));

    QStringList names;
    QVERIFY(
        rig.batches.ListRemoteFiles(QStringLiteral("screendumps/*.bmp"), names, false).succeeded());
    QCOMPARE(names, QStringList{"good.bmp"});
    QVERIFY(rig.host.errorLog.contains(QStringLiteral(
        "Skipped a name the instrument listed that cannot be a local file name: ../escape.bmp")));

    // and the engine itself never writes outside its folder, whatever it is handed
    TWebCopyItem& item = rig.webCopy.Items.Add();
    item.Protocol = wpFtp;
    item.URL = QStringLiteral("screendumps/good.bmp");
    item.TargetDir = local;
    item.TargetFilename = QStringLiteral("../escape.bmp");
    item.FTPHost = QStringLiteral("127.0.0.1");
    item.FTPUserID = QStringLiteral("zouser");
    item.FTPPassword = QStringLiteral("quillmont");
    item.FTPPort = sim.ftpPort();
    rig.webCopy.Execute();
    QVERIFY(!rig.webCopy.Items[0].Success);
    rig.webCopy.Items.Clear();
    QVERIFY(!QFileInfo::exists(test::testHome() + QStringLiteral("/hostile/escape.bmp")));
    QVERIFY(leftovers(local, {}).isEmpty());
}

void TestWebCopy::dataConnectionOnlyFromTheInstrument()
{
    // the server opens its data connections from another address than the one we talk to
    test::ZoSim sim({QStringLiteral("--data-from"), QStringLiteral("127.0.0.9")});
    QVERIFY(sim.put("screendumps/a.bmp", "a"));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    Rig rig(sim.ftpPort());
    const QString local = freshFolder(QStringLiteral("foreign"));
    const BatchResult result =
        rig.batches.TransferFiles(local, QStringLiteral("screendumps\\"), {"a.bmp"}, false);
    QCOMPARE(result.failed, 1);
    QVERIFY(leftovers(local, {}).isEmpty());
    QVERIFY2(rig.host.errorLog.first().startsWith(
                 QStringLiteral("Refused a data connection from 127.0.0.9")),
             qPrintable(rig.host.errorLog.join('|')));
}

void TestWebCopy::refusedDelete()
{
    test::ZoSim sim;
    QVERIFY(sim.put("screendumps/a.bmp", "a"));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    Rig rig(sim.ftpPort());
    const BatchResult result =
        rig.batches.DeleteRemoteFiles(QStringLiteral("screendumps\\"), {"missing.bmp", "a.bmp"});
    QCOMPARE(result.failed, 1);
    QCOMPARE(rig.refusedDeletes, QList<int>{0});
    QVERIFY(!sim.has("screendumps/a.bmp"));
    // deletes are never reported
    QVERIFY(rig.host.errorLog.isEmpty());
    QCOMPARE(rig.host.errorPageShown, 0);
}

void TestWebCopy::truncatedUploadFails()
{
    test::ZoSim sim({QStringLiteral("--truncate-stor"), QStringLiteral("*.bin")});
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    Rig rig(sim.ftpPort());
    const QString local = freshFolder(QStringLiteral("truncated"));
    QVERIFY(test::writeFile(local + QStringLiteral("top.bin"), pattern(10000)));
    const BatchResult result =
        rig.batches.TransferFiles(local, QStringLiteral("setup\\"), {"top.bin"}, true);
    QCOMPARE(result.failed, 1);
    QVERIFY(rig.host.errorLog.contains(QStringLiteral(
        "The instrument 127.0.0.1 holds 5000 of the 10000 bytes sent as setup/top.bin")));
}

void TestWebCopy::safeReplaceKeepsTheOldFile()
{
    test::ZoSim sim({QStringLiteral("--fail-stor"), QStringLiteral("*.upload")});
    QVERIFY(sim.put("system.cfg", "old config"));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    Rig rig(sim.ftpPort());
    const QString local = freshFolder(QStringLiteral("replace"));
    QVERIFY(test::writeFile(local + QStringLiteral("system.cfg"), "new config"));

    QCOMPARE(rig.batches.ReplaceRemoteFiles(local, QStringLiteral("\\"), {"system.cfg"}).failed, 1);
    QCOMPARE(sim.get("system.cfg"), QByteArray("old config"));

    test::ZoSim healthy;
    QVERIFY(healthy.put("system.cfg", "old config"));
    QVERIFY2(healthy.start(), qPrintable(healthy.error()));
    Rig second(healthy.ftpPort());
    QVERIFY(
        second.batches.ReplaceRemoteFiles(local, QStringLiteral("\\"), {"system.cfg"}).succeeded());
    QCOMPARE(healthy.get("system.cfg"), QByteArray("new config"));
    QCOMPARE(healthy.filesIn(QString()), QStringList{"system.cfg"});
}

void TestWebCopy::httpDownloads()
{
    test::ZoSim sim;
    QVERIFY(sim.putWeb("Software/zo/setup3.ini", "[Setup]\nDownloadFile=x\n"));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    Rig rig(sim.ftpPort());
    rig.host.busy = false;
    const QString local = freshFolder(QStringLiteral("http"));

    QVERIFY(rig.batches.DownloadHttp(sim.manifestUrl(), local, ReportWhen::Always).succeeded());
    QCOMPARE(test::readFile(local + QStringLiteral("setup3.ini")),
             QByteArray("[Setup]\nDownloadFile=x\n"));
    QVERIFY(sim.log().contains(QStringLiteral("HTTP GET /Software/zo/setup3.ini UA=WebCopy")));
    QVERIFY(rig.done.size() == 1);

    // refused by the server: its status in the log, no file
    const QString missing = sim.httpUrl(QStringLiteral("Software/zo/release_9.zip"));
    QCOMPARE(rig.batches.DownloadHttp(missing, local, ReportWhen::WhileBusy).failed, 1);
    QCOMPARE(rig.host.errorLog, QStringList{"Returned http error code 404"});
    QCOMPARE(rig.host.errorPageShown, 0);
    QVERIFY(!QFileInfo::exists(local + QStringLiteral("release_9.zip")));

    // a server that cannot be reached leaves only the failed item
    rig.host.errorLog.clear();
    const QString nowhere =
        QStringLiteral("http://127.0.0.1:%1/Software/zo/setup3.ini").arg(test::closedPort());
    QCOMPARE(rig.batches.DownloadHttp(nowhere, local, ReportWhen::Always).failed, 1);
    QCOMPARE(rig.host.errorLog, QStringList{"Failed HTTP download: " + nowhere});
    QCOMPARE(test::readFile(local + QStringLiteral("setup3.ini")),
             QByteArray("[Setup]\nDownloadFile=x\n"));
    QVERIFY(leftovers(local, {"setup3.ini"}).isEmpty());
}

ZO_TEST_MAIN(TestWebCopy, QCoreApplication, false)
#include "TestWebCopy.moc"
