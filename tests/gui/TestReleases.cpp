// Getting, installing and keeping software releases, through the real window against the
// simulated instrument and web server: what lands on the instrument and on the local disk, what
// the window shows, and what a cancel, a failure or a hostile archive leaves behind.

#include "DialogRecorder.h"
#include "TestEnvironment.h"
#include "WindowDriving.h"
#include "ZipArchives.h"
#include "ZoSim.h"
#include "app/ZoApplication.h"
#include "app/ZoFtpForm.h"
#include "platform/ListBox.h"
#include "platform/StatusBar.h"
#include "platform/WebCopy.h"
#include "platform/ZipBuilder.h"
#include "releases/ReleaseOperations.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>
#include <memory>

using namespace zo;
using test::ZipEntry;

Q_DECLARE_METATYPE(zo::MessageButton)

namespace {

const QString kDownloadCompleted = QStringLiteral("Download Completed");
const QString kUploadCompleted = QStringLiteral("Upload Completed");
const QString kAborted = QStringLiteral("ABORTED!");
const QString kCopyToZoAfterwards = QStringLiteral("Copy To Zo");

QString softwareFolder()
{
    return test::documentsPath() + QStringLiteral("/CorvaneZoFtp/Software/");
}

QByteArray manifestNaming(const QString& value)
{
    return "; written by the test\r\n[Setup]\r\nVersion=2.1\r\nDownloadFile=" + value.toLatin1() +
           "\r\nReleaseDate=2026-11-30\r\n";
}

// The simulated instrument and web server, and the window pointed at both.
struct Rig
{
    explicit Rig(const QStringList& options = {}) : sim(options) {}

    bool start()
    {
        if (!sim.start())
            return false;
        qputenv("ZOFTP_PORT", QByteArray::number(sim.ftpPort()));
        qputenv("ZOFTP_MANIFEST_URL", sim.manifestUrl().toUtf8());
        window = std::make_unique<TZoFtpForm>(QStringList{});
        window->show();
        window->ZoIPAddress->setEditText(QStringLiteral("127.0.0.1"));
        return true;
    }

    TZoFtpForm& form() { return *window; }

    // Serves a manifest whose "DownloadFile" is the given value.
    bool publish(const QString& value) const
    {
        return sim.putWeb(QStringLiteral("Software/zo/setup3.ini"), manifestNaming(value));
    }

    QStringList httpGets() const
    {
        QStringList paths;
        for (const QString& line : sim.log()) {
            if (line.startsWith(QStringLiteral("HTTP GET ")))
                paths << line.section(QLatin1Char(' '), 2, 2);
        }
        return paths;
    }

    test::ZoSim sim;
    std::unique_ptr<TZoFtpForm> window;
};

// Selects a release by clicking its row, as the user does.
void clickRelease(TZoFtpForm& form, const QString& name)
{
    const int row = form.SoftwareReleases->indexOfLine(name);
    QVERIFY2(row >= 0, qPrintable(name));
    QListWidgetItem* item = form.SoftwareReleases->item(row);
    QTest::mouseClick(form.SoftwareReleases->viewport(), Qt::LeftButton, {},
                      form.SoftwareReleases->visualItemRect(item).center());
    QCOMPARE(form.SoftwareReleases->selectedLine(), name);
}

QStringList failedLines(const TZoFtpForm& form)
{
    return form.ErrorLog->lines().filter(QStringLiteral("Failed"));
}

// The local files of this test process, the simulator's own folder left out.
QStringList localTreeWithout(const QString& simulatorFolder)
{
    const QString skipped = QDir(test::testHome()).relativeFilePath(simulatorFolder);
    QStringList tree;
    for (const QString& entry : test::treeOf(test::testHome())) {
        if (entry != skipped && !entry.startsWith(skipped + QLatin1Char('/')))
            tree << entry;
    }
    return tree;
}

// One press made from inside a running operation, and the caption it met.
struct PressOnce
{
    bool pressed = false;
    QString captionAtPress;
};

} // namespace

class TestReleases : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void getLatestThenCopyToZo();
    void manifestCases_data();
    void manifestCases();
    void manifestDownloadFails_data();
    void manifestDownloadFails();
    void failedArchiveDownload();
    void getLatestRefusedWhileItRuns();

    void cancelDuringUpload();
    void cancelDuringExtraction();
    void failedUploadIsNotCompleted();
    void corruptArchiveChangesNothing_data();
    void corruptArchiveChangesNothing();
    void hostileArchiveStaysInTheTemporaryFolder();

    void copyToZoFollowsSelectionAndAddress();
    void deleteRelease_data();
    void deleteRelease();
    void refreshedListLeavesTheButtonHarmless();
    void noDocumentsFolder();

private:
    QByteArray m_closedManifestUrl;
};

void TestReleases::initTestCase()
{
    m_closedManifestUrl = qgetenv("ZOFTP_MANIFEST_URL");
    QVERIFY(QUrl(QString::fromUtf8(m_closedManifestUrl)).host().startsWith(QStringLiteral("127.")));
}

void TestReleases::init()
{
    QDir(test::dataDir()).removeRecursively();
    QDir(MakeTempDir()).removeRecursively();
}

void TestReleases::cleanup()
{
    qputenv("ZOFTP_MANIFEST_URL", m_closedManifestUrl);
    qputenv("ZOFTP_PORT", QByteArray::number(test::closedPort()));
}

void TestReleases::getLatestThenCopyToZo()
{
    QVERIFY(test::writeFile(softwareFolder() + "release1.zip", "an older release"));
    Rig rig;
    QVERIFY2(rig.start(), qPrintable(rig.sim.error()));
    const QByteArray bitstream(200000, 'b');
    const QString served = rig.sim.webRoot() + "/Software/zo/release_2.zip";
    QCOMPARE(test::writeZip(served, {{"bin/zoapp", "new app"},
                                     {"fpga/top.bin", bitstream},
                                     {"readme.txt", "read me"},
                                     {"docs/a/notes.txt", "first"},
                                     {"docs/b/notes.txt", "second"}}),
             QString());
    QVERIFY(rig.publish(rig.sim.httpUrl("Software/zo/release_2.1.exe")));
    QVERIFY(rig.sim.put("setup/zoapp", "old app"));
    QVERIFY(rig.sim.put("setup/readme.txt", "old read me, longer than the new one"));
    QVERIFY(rig.sim.put("setup/user1.set", "the user's settings"));
    TZoFtpForm& form = rig.form();

    QTest::mouseClick(form.RefreshList, Qt::LeftButton);
    QCOMPARE(form.StatusBar->panelText(0), kDownloadCompleted);
    QCOMPARE(rig.httpGets(),
             (QStringList{"/Software/zo/setup3.ini", "/Software/zo/release_2.zip"}));
    QVERIFY(rig.sim.log().contains("HTTP GET /Software/zo/setup3.ini UA=WebCopy"));
    QCOMPARE(test::readFile(softwareFolder() + "release_2.zip"), test::readFile(served));
    QCOMPARE(form.SoftwareReleases->lines(), (QStringList{"release1.zip", "release_2.zip"}));
    QCOMPARE(form.SoftwareReleases->selectedLine(), QStringLiteral("release_2.zip"));
    QVERIFY(form.CopySwToZo->isEnabled());
    QVERIFY(!form.Busy);

    // what an earlier operation left in the temporary folder is never sent
    QVERIFY(test::writeFile(MakeTempDir() + "stale.txt", "left behind"));
    QString captionWhileExtracting;
    QString statusWhileExtracting;
    PanelStyle styleWhileExtracting = PanelStyle::Text;
    bool latestEnabledWhileExtracting = true;
    QObject::connect(form.ZipBuilder, &ZipBuilder::OnTotalProgress, &form, [&](qint64, int) {
        if (!captionWhileExtracting.isEmpty())
            return;
        captionWhileExtracting = form.CopySwToZo->text();
        statusWhileExtracting = form.StatusBar->panelText(0);
        styleWhileExtracting = form.StatusBar->progressStyle();
        latestEnabledWhileExtracting = form.RefreshList->isEnabled();
    });
    QTest::mouseClick(form.CopySwToZo, Qt::LeftButton);

    QCOMPARE(captionWhileExtracting, QStringLiteral("Cancel"));
    QCOMPARE(statusWhileExtracting, QStringLiteral("Extracting ZIP"));
    QCOMPARE(styleWhileExtracting, PanelStyle::Progress);
    QVERIFY(!latestEnabledWhileExtracting);
    QCOMPARE(form.StatusBar->panelText(0), kUploadCompleted);
    QCOMPARE(form.CopySwToZo->text(), kCopyToZoAfterwards);
    QVERIFY(!form.Busy);
    QVERIFY(form.RefreshList->isEnabled());
    QCOMPARE(form.ErrorLog->lines(), QStringList());

    // flat, replaced, one file per name, the user's own file untouched
    QCOMPARE(rig.sim.filesIn("setup"),
             (QStringList{"notes.txt", "readme.txt", "top.bin", "user1.set", "zoapp"}));
    QCOMPARE(QDir(rig.sim.pathOf("setup")).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
             QStringList());
    QCOMPARE(rig.sim.get("setup/zoapp"), QByteArray("new app"));
    QCOMPARE(rig.sim.get("setup/readme.txt"), QByteArray("read me"));
    QCOMPARE(rig.sim.get("setup/top.bin"), bitstream);
    QCOMPARE(rig.sim.get("setup/user1.set"), QByteArray("the user's settings"));
    const QByteArray notes = rig.sim.get("setup/notes.txt");
    QVERIFY2(notes == "first" || notes == "second", notes.constData());
    QCOMPARE(rig.sim.countCommands("DELE"), 4);
    QCOMPARE(rig.sim.countCommands("STOR"), 4);
    QVERIFY(!QFileInfo::exists(MakeTempDir()));
}

void TestReleases::manifestCases_data()
{
    // %1 is the web server's "Software/" address
    QTest::addColumn<QString>("manifest");
    QTest::addColumn<QString>("archive"); // below "Software/"; empty when none is fetched
    QTest::newRow("key in lower case") << "[Setup]\r\ndownloadfile=%1zo/release_3.exe\r\n"
                                       << "zo/release_3.zip";
    QTest::newRow("first of two keys")
        << "DownloadFile=%1zo/release_4.exe\nDownloadFile=%1zo/release_9.exe\n"
        << "zo/release_4.zip";
    QTest::newRow("two dots in the name") << "DownloadFile=%1zo/release_2.1.exe\n"
                                          << "zo/release_2.zip";
    QTest::newRow("dotted server and folder") << "DownloadFile=%1zo.v2/release21.zip\n"
                                              << "zo.v2/release21.zip";
    QTest::newRow("spaces around =") << "DownloadFile = %1zo/release_3.exe\n"
                                     << "";
    QTest::newRow("missing key") << "[Setup]\r\nVersion=2.1\r\n"
                                 << "";
    QTest::newRow("empty value") << "[Setup]\r\nDownloadFile=\r\n"
                                 << "";
}

void TestReleases::manifestCases()
{
    QFETCH(QString, manifest);
    QFETCH(QString, archive);
    QVERIFY(test::writeFile(softwareFolder() + "release1.zip", "an older release"));
    Rig rig;
    QVERIFY2(rig.start(), qPrintable(rig.sim.error()));
    for (const QString served : {"zo/release_2.zip", "zo/release_3.zip", "zo/release_4.zip",
                                 "zo/release_9.zip", "zo.v2/release21.zip", "zo/release_2.1.zip"})
        QVERIFY(rig.sim.putWeb("Software/" + served, "archive " + served.toLatin1()));
    QVERIFY(rig.sim.putWeb("Software/zo/setup3.ini",
                           manifest.replace("%1", rig.sim.httpUrl("Software/")).toLatin1()));
    TZoFtpForm& form = rig.form();
    clickRelease(form, "release1.zip");
    QVERIFY(form.CopySwToZo->isEnabled());

    test::DialogRecorder dialogs;
    QTest::mouseClick(form.RefreshList, Qt::LeftButton);
    QVERIFY(!form.Busy);
    QCOMPARE(form.ErrorLog->lines(), QStringList());

    if (archive.isEmpty()) {
        QCOMPARE(dialogs.texts(), QStringList{"New software version not found"});
        QCOMPARE(dialogs.requests.first().icon, MessageIcon::Error);
        QCOMPARE(dialogs.requests.first().buttons, QList<MessageButton>{MessageButton::Cancel});
        QCOMPARE(rig.httpGets(), QStringList{"/Software/zo/setup3.ini"});
        QCOMPARE(form.SoftwareReleases->selectedLine(), QStringLiteral("release1.zip"));
        QVERIFY(form.CopySwToZo->isEnabled());
        QVERIFY(form.StatusBar->panelText(0) != kDownloadCompleted);
        return;
    }
    const QString name = archive.section(QLatin1Char('/'), -1);
    QCOMPARE(dialogs.texts(), QStringList());
    QCOMPARE(rig.httpGets(), (QStringList{"/Software/zo/setup3.ini", "/Software/" + archive}));
    QCOMPARE(test::readFile(softwareFolder() + name), "archive " + archive.toLatin1());
    QCOMPARE(form.SoftwareReleases->selectedLine(), name);
    QVERIFY(form.CopySwToZo->isEnabled());
    QCOMPARE(form.StatusBar->panelText(0), kDownloadCompleted);
}

void TestReleases::manifestDownloadFails_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("not on the server") << "missing";
    QTest::newRow("nothing listening") << "closed";
    QTest::newRow("far too large for a manifest") << "large";
}

void TestReleases::manifestDownloadFails()
{
    QFETCH(QString, fault);
    Rig rig;
    QVERIFY2(rig.start(), qPrintable(rig.sim.error()));
    QVERIFY(rig.sim.putWeb("Software/zo/release_2.zip", "archive"));
    QVERIFY(rig.publish(rig.sim.httpUrl("Software/zo/release_2.exe")));
    TZoFtpForm& form = rig.form();
    // an earlier fetch leaves its manifest in the temporary folder
    QTest::mouseClick(form.RefreshList, Qt::LeftButton);
    QCOMPARE(form.SoftwareReleases->selectedLine(), QStringLiteral("release_2.zip"));
    QVERIFY(QFileInfo::exists(MakeTempDir() + "setup3.ini"));
    QVERIFY(test::writeFile(softwareFolder() + "release5.zip", "not listed until a refresh"));
    form.StatusBar->setPanelText(0, QString());

    QString url = rig.sim.httpUrl("Software/zo/gone/setup3.ini");
    if (fault == "closed")
        url = QStringLiteral("http://127.0.0.1:%1/Software/zo/setup3.ini").arg(test::closedPort());
    if (fault == "large") {
        url = rig.sim.httpUrl("Software/zo/large/setup3.ini");
        const QByteArray filler = "; " + QByteArray(200, '-') + "\r\n";
        QVERIFY(rig.sim.putWeb("Software/zo/large/setup3.ini",
                               manifestNaming(rig.sim.httpUrl("Software/zo/release_2.exe")) +
                                   filler.repeated(5000)));
    }
    qputenv("ZOFTP_MANIFEST_URL", url.toUtf8());
    test::DialogRecorder dialogs;
    QTest::mouseClick(form.RefreshList, Qt::LeftButton);

    const QString manifest = MakeTempDir() + "setup3.ini";
    QFile missing(manifest);
    QVERIFY(!missing.open(QIODevice::ReadOnly));
    QCOMPARE(
        dialogs.texts(),
        QStringList{
            QStringLiteral("Cannot open file \"%1\". %2").arg(manifest, missing.errorString())});
    QCOMPARE(dialogs.requests.first().icon, MessageIcon::Error);
    QVERIFY2(form.ErrorLog->lines().contains("Failed HTTP download: " + url),
             qPrintable(form.ErrorLog->lines().join('\n')));
    QCOMPARE(form.MainPager->currentWidget(), form.ErrorLogPage);
    // the old manifest was not read again: its archive was fetched once, the list not refreshed
    QCOMPARE(rig.httpGets().count("/Software/zo/release_2.zip"), 1);
    QCOMPARE(form.SoftwareReleases->lines(), QStringList{"release_2.zip"});
    QVERIFY(form.StatusBar->panelText(0) != kDownloadCompleted);
    QVERIFY(!form.Busy);
    QVERIFY(form.RefreshList->isEnabled());
}

void TestReleases::failedArchiveDownload()
{
    QVERIFY(test::writeFile(softwareFolder() + "release1.zip", "an older release"));
    Rig rig;
    QVERIFY2(rig.start(), qPrintable(rig.sim.error()));
    QVERIFY(rig.publish(rig.sim.httpUrl("Software/zo/release_7.exe")));
    TZoFtpForm& form = rig.form();
    clickRelease(form, "release1.zip");
    QVERIFY(test::writeFile(softwareFolder() + "release6.zip", "arrived meanwhile"));

    QTest::mouseClick(form.RefreshList, Qt::LeftButton);
    QVERIFY(form.ErrorLog->lines().contains("Failed HTTP download: " +
                                            rig.sim.httpUrl("Software/zo/release_7.zip")));
    QCOMPARE(form.MainPager->currentWidget(), form.ErrorLogPage);
    QCOMPARE(form.SoftwareReleases->lines(), (QStringList{"release1.zip", "release6.zip"}));
    QCOMPARE(form.SoftwareReleases->itemIndex(), -1);
    QVERIFY(!form.CopySwToZo->isEnabled());
    QVERIFY(!QFileInfo::exists(softwareFolder() + "release_7.zip"));
    // a failed download is not reported as completed
    QVERIFY(form.StatusBar->panelText(0) != kDownloadCompleted);
    QVERIFY(!form.Busy);
}

void TestReleases::getLatestRefusedWhileItRuns()
{
    Rig rig;
    QVERIFY2(rig.start(), qPrintable(rig.sim.error()));
    const QByteArray archive(3 * 1024 * 1024, 'a');
    QVERIFY(rig.sim.putWeb("Software/zo/release_2.zip", archive));
    QVERIFY(rig.publish(rig.sim.httpUrl("Software/zo/release_2.exe")));
    TZoFtpForm& form = rig.form();
    int pressedAgain = 0;
    QObject::connect(form.WebCopy, &WebCopy::OnFileStart, &form, [&](int) {
        ++pressedAgain;
        QTest::mouseClick(form.RefreshList, Qt::LeftButton);
    });

    QTest::mouseClick(form.RefreshList, Qt::LeftButton);
    QCOMPARE(pressedAgain, 2);
    QCOMPARE(form.ErrorLog->count(), 2);
    for (const QString& line : form.ErrorLog->lines())
        QVERIFY2(line.startsWith("Another transfer is still running"), qPrintable(line));
    // both downloads ran to their end, each once
    QCOMPARE(rig.httpGets(),
             (QStringList{"/Software/zo/setup3.ini", "/Software/zo/release_2.zip"}));
    QCOMPARE(test::readFile(softwareFolder() + "release_2.zip"), archive);
    QCOMPARE(form.SoftwareReleases->selectedLine(), QStringLiteral("release_2.zip"));
    QCOMPARE(form.StatusBar->panelText(0), kDownloadCompleted);
    QVERIFY(!form.Busy);
}

void TestReleases::cancelDuringUpload()
{
    QCOMPARE(test::writeZip(softwareFolder() + "release_5.zip",
                            {{"first.bin", "f", ZipEntry::Deflated, 2 << 20},
                             {"second.bin", "s", ZipEntry::Deflated, 1 << 20}}),
             QString());
    Rig rig({QStringLiteral("--rate"), QStringLiteral("250000")});
    QVERIFY2(rig.start(), qPrintable(rig.sim.error()));
    QVERIFY(rig.sim.put("setup/user1.set", "the user's settings"));
    TZoFtpForm& form = rig.form();
    clickRelease(form, "release_5.zip");
    PressOnce cancel;
    QObject::connect(
        form.WebCopy, &WebCopy::OnCopyProgress, &form, [&](int idx, quint64 size, quint64) {
            if (cancel.pressed || size == 0 || form.WebCopy->Items[idx].Protocol != wpFtpUpload)
                return;
            cancel.pressed = true;
            cancel.captionAtPress = form.CopySwToZo->text();
            QTest::mouseClick(form.CopySwToZo, Qt::LeftButton);
        });

    QTest::mouseClick(form.CopySwToZo, Qt::LeftButton);
    QVERIFY(cancel.pressed);
    QCOMPARE(cancel.captionAtPress, QStringLiteral("Cancel"));
    QCOMPARE(form.StatusBar->panelText(0), kAborted);
    QCOMPARE(form.CopySwToZo->text(), kCopyToZoAfterwards);
    QVERIFY(!form.Busy);
    QVERIFY(form.RefreshList->isEnabled());
    QCOMPARE(failedLines(form), QStringList());
    QVERIFY(!QFileInfo::exists(MakeTempDir()));
    // the upload stopped at its first file, and no part of it took a release file's name
    QCOMPARE(rig.sim.countCommands("STOR"), 1);
    QVERIFY(!rig.sim.has("setup/first.bin"));
    QVERIFY(!rig.sim.has("setup/second.bin"));
    // nor does the half-sent copy stay behind under its temporary name
    QCOMPARE(rig.sim.filesIn("setup"), QStringList{"user1.set"});
    QCOMPARE(rig.sim.get("setup/user1.set"), QByteArray("the user's settings"));
}

void TestReleases::cancelDuringExtraction()
{
    QList<ZipEntry> entries;
    for (int index = 0; index < 16; ++index)
        entries << ZipEntry{QStringLiteral("part%1.bin").arg(index), "p", ZipEntry::Deflated,
                            4 << 20};
    QCOMPARE(test::writeZip(softwareFolder() + "release_6.zip", entries), QString());
    Rig rig;
    QVERIFY2(rig.start(), qPrintable(rig.sim.error()));
    QVERIFY(rig.sim.put("setup/part0.bin", "the instrument's own part 0"));
    QVERIFY(rig.sim.put("setup/part1.bin", "the instrument's own part 1"));
    TZoFtpForm& form = rig.form();
    clickRelease(form, "release_6.zip");
    PressOnce cancel;
    QObject::connect(form.ZipBuilder, &ZipBuilder::OnTotalProgress, &form,
                     [&](qint64, int percent) {
                         if (cancel.pressed || percent > 100)
                             return;
                         cancel.pressed = true;
                         cancel.captionAtPress = form.CopySwToZo->text();
                         QTest::mouseClick(form.CopySwToZo, Qt::LeftButton);
                     });

    QTest::mouseClick(form.CopySwToZo, Qt::LeftButton);
    QVERIFY(cancel.pressed);
    QCOMPARE(cancel.captionAtPress, QStringLiteral("Cancel"));
    // the instrument was not even contacted: its copies stay
    QCOMPARE(rig.sim.countCommands("USER"), 0);
    QCOMPARE(rig.sim.get("setup/part0.bin"), QByteArray("the instrument's own part 0"));
    QCOMPARE(rig.sim.get("setup/part1.bin"), QByteArray("the instrument's own part 1"));
    QCOMPARE(form.StatusBar->panelText(0), kAborted);
    QCOMPARE(form.StatusBar->progressStyle(), PanelStyle::Text);
    QCOMPARE(form.CopySwToZo->text(), kCopyToZoAfterwards);
    QVERIFY(!form.Busy);
    QVERIFY(form.RefreshList->isEnabled());
    QVERIFY(!QFileInfo::exists(MakeTempDir()));
}

void TestReleases::failedUploadIsNotCompleted()
{
    QCOMPARE(test::writeZip(softwareFolder() + "release_4.zip",
                            {{"zoapp", "new app"}, {"fpga/top.bin", "new bitstream"}}),
             QString());
    Rig rig({QStringLiteral("--fail-stor"), QStringLiteral("top.bin*")});
    QVERIFY2(rig.start(), qPrintable(rig.sim.error()));
    TZoFtpForm& form = rig.form();
    clickRelease(form, "release_4.zip");

    QTest::mouseClick(form.CopySwToZo, Qt::LeftButton);
    QVERIFY2(form.ErrorLog->lines().contains("Failed FTP upload: " + MakeTempDir() + "top.bin"),
             qPrintable(form.ErrorLog->lines().join('\n')));
    QCOMPARE(form.MainPager->currentWidget(), form.ErrorLogPage);
    QVERIFY(form.StatusBar->panelText(0) != kUploadCompleted);
    QCOMPARE(rig.sim.get("setup/zoapp"), QByteArray("new app"));
    QCOMPARE(form.CopySwToZo->text(), kCopyToZoAfterwards);
    QVERIFY(!form.Busy);
    QVERIFY(!QFileInfo::exists(MakeTempDir()));
}

void TestReleases::corruptArchiveChangesNothing_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("truncated") << "truncated";
    QTest::newRow("bad checksum after a good entry") << "checksum";
}

void TestReleases::corruptArchiveChangesNothing()
{
    QFETCH(QString, fault);
    const QString archive = softwareFolder() + "release_8.zip";
    const QByteArray damaged(300000, 'd');
    QCOMPARE(test::writeZip(archive, {{"good.txt", "new good"},
                                      {"bad.bin", damaged, ZipEntry::Stored},
                                      {"last.txt", "new last"}}),
             QString());
    if (fault == "truncated") {
        const QByteArray whole = test::readFile(archive);
        QVERIFY(test::writeFile(archive, whole.left(whole.size() - 200)));
    } else {
        QCOMPARE(test::writeWithBadChecksum(archive, damaged), QString());
    }
    Rig rig;
    QVERIFY2(rig.start(), qPrintable(rig.sim.error()));
    QVERIFY(rig.sim.put("setup/good.txt", "old good"));
    QVERIFY(rig.sim.put("setup/bad.bin", "old bad"));
    TZoFtpForm& form = rig.form();
    clickRelease(form, "release_8.zip");

    test::DialogRecorder dialogs;
    QTest::mouseClick(form.CopySwToZo, Qt::LeftButton);
    QCOMPARE(dialogs.requests.size(), 1);
    QCOMPARE(dialogs.requests.first().icon, MessageIcon::Error);
    QVERIFY2(dialogs.texts().first().contains(archive), qPrintable(dialogs.texts().first()));
    QCOMPARE(rig.sim.countCommands("DELE"), 0);
    QCOMPARE(rig.sim.countCommands("STOR"), 0);
    QCOMPARE(rig.sim.filesIn("setup"), (QStringList{"bad.bin", "good.txt"}));
    QCOMPARE(rig.sim.get("setup/good.txt"), QByteArray("old good"));
    QVERIFY(form.StatusBar->panelText(0) != kUploadCompleted);
    QCOMPARE(form.CopySwToZo->text(), kCopyToZoAfterwards);
    QVERIFY(!form.Busy);
    QVERIFY(form.RefreshList->isEnabled());
    QVERIFY(!QFileInfo::exists(MakeTempDir()));
}

void TestReleases::hostileArchiveStaysInTheTemporaryFolder()
{
    QCOMPARE(test::writeZip(softwareFolder() + "release_x.zip",
                            {{"../evil.txt", "up one"},
                             {"../../../../../evil2.txt", "far up"},
                             {"/abs/abs.txt", "absolute"},
                             {"..\\back.txt", "backslashes"},
                             {"link", "../../..", ZipEntry::SymbolicLink},
                             {"link/through.txt", "through the link"},
                             {"..", "dots"},
                             {"bin/safe.txt", "safe"}}),
             QString());
    Rig rig;
    QVERIFY2(rig.start(), qPrintable(rig.sim.error()));
    QVERIFY(rig.sim.put("setup/user1.set", "the user's settings"));
    TZoFtpForm& form = rig.form();
    clickRelease(form, "release_x.zip");
    const QString simulatorFolder = QFileInfo(rig.sim.root()).absolutePath();
    const QStringList localBefore = localTreeWithout(simulatorFolder);

    QTest::mouseClick(form.CopySwToZo, Qt::LeftButton);
    QCOMPARE(form.StatusBar->panelText(0), kUploadCompleted);
    QCOMPARE(localTreeWithout(simulatorFolder), localBefore);
    QVERIFY(!QFileInfo::exists("/abs/abs.txt"));
    // every entry that is a file went by its bare name, and only into "setup"
    QCOMPARE(
        test::treeOf(rig.sim.root()),
        (QStringList{"setup", "setup/abs.txt", "setup/back.txt", "setup/evil.txt",
                     "setup/evil2.txt", "setup/safe.txt", "setup/through.txt", "setup/user1.set"}));
    QCOMPARE(rig.sim.get("setup/evil.txt"), QByteArray("up one"));
    QCOMPARE(rig.sim.get("setup/safe.txt"), QByteArray("safe"));
    QCOMPARE(failedLines(form), QStringList());
}

void TestReleases::copyToZoFollowsSelectionAndAddress()
{
    QVERIFY(test::writeFile(softwareFolder() + "release1.zip", "1"));
    QVERIFY(test::writeFile(softwareFolder() + "release2.zip", "2"));
    TZoFtpForm form({});
    form.show();
    form.ZoIPAddress->setEditText(QString());
    QLineEdit* address = form.ZoIPAddress->lineEdit();
    QVERIFY(!form.CopySwToZo->isEnabled());

    // an address alone is not enough
    QTest::keyClicks(address, "127.0.0.1");
    QVERIFY(!form.CopySwToZo->isEnabled());
    clickRelease(form, "release2.zip");
    QVERIFY(form.CopySwToZo->isEnabled());
    // nor is a selection alone; any text will do
    for (int typed = 0; typed < 9; ++typed)
        QTest::keyClick(address, Qt::Key_Backspace);
    QCOMPARE(address->text(), QString());
    QVERIFY(!form.CopySwToZo->isEnabled());
    QTest::keyClicks(address, "x");
    QVERIFY(form.CopySwToZo->isEnabled());
    QTest::keyClick(address, Qt::Key_Backspace);
    QVERIFY(!form.CopySwToZo->isEnabled());
    clickRelease(form, "release1.zip");
    QVERIFY(!form.CopySwToZo->isEnabled());
}

void TestReleases::deleteRelease_data()
{
    QTest::addColumn<bool>("select");
    QTest::addColumn<bool>("removedOutside");
    QTest::addColumn<MessageButton>("answer");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QStringList>("kept");
    QTest::addColumn<bool>("stillSelected");
    const QStringList both{"release1.zip", "release2.zip"};
    const QStringList first{"release1.zip"};
    QTest::newRow("yes") << true << false << MessageButton::Yes << first << first << false;
    QTest::newRow("no") << true << false << MessageButton::No << both << both << true;
    QTest::newRow("box closed") << true << false << MessageButton::None << both << both << true;
    // the stale entry stays: nothing at all is done
    QTest::newRow("removed outside") << true << true << MessageButton::Yes << both << first << true;
    QTest::newRow("nothing selected")
        << false << false << MessageButton::Yes << both << both << false;
}

void TestReleases::deleteRelease()
{
    QFETCH(bool, select);
    QFETCH(bool, removedOutside);
    QFETCH(MessageButton, answer);
    QFETCH(QStringList, listed);
    QFETCH(QStringList, kept);
    QFETCH(bool, stillSelected);
    QVERIFY(test::writeFile(softwareFolder() + "release1.zip", "1"));
    QVERIFY(test::writeFile(softwareFolder() + "release2.zip", "2"));
    TZoFtpForm form({});
    form.show();
    form.ZoIPAddress->setEditText(QStringLiteral("127.0.0.1"));
    if (select)
        clickRelease(form, "release2.zip");
    if (removedOutside)
        QVERIFY(QFile::remove(softwareFolder() + "release2.zip"));

    test::DialogRecorder dialogs;
    dialogs.answers << answer;
    form.DeleteSoftware->trigger();

    if (select) {
        QVERIFY(dialogs.askedOnce(
            QStringLiteral("Are you sure you want to delete this software release")));
    } else {
        QCOMPARE(dialogs.texts(), QStringList());
    }
    QCOMPARE(form.SoftwareReleases->lines(), listed);
    QCOMPARE(QDir(softwareFolder()).entryList(QDir::Files, QDir::Name), kept);
    QCOMPARE(form.SoftwareReleases->selectedLine(),
             stillSelected ? QStringLiteral("release2.zip") : QString());
    QCOMPARE(form.CopySwToZo->isEnabled(), stillSelected);
}

void TestReleases::refreshedListLeavesTheButtonHarmless()
{
    QVERIFY(test::writeFile(softwareFolder() + "release1.zip", "1"));
    const QString desktop = test::testHome() + "/Desktop/";
    QVERIFY(test::writeFile(desktop + "release8.zip", "8"));
    qputenv("ZOFTP_PORT", QByteArray::number(test::closedPort()));
    TZoFtpForm form({});
    form.show();
    form.ZoIPAddress->setEditText(QStringLiteral("127.0.0.1"));
    clickRelease(form, "release1.zip");

    QVERIFY(test::dropFiles(form, {desktop + "release8.zip"}));
    QCOMPARE(form.SoftwareReleases->lines(), (QStringList{"release1.zip", "release8.zip"}));
    QCOMPARE(form.SoftwareReleases->itemIndex(), -1);
    QVERIFY(form.CopySwToZo->isEnabled());

    // an unexpected box, or a connection attempt's, fails the test
    QTest::mouseClick(form.CopySwToZo, Qt::LeftButton);
    QCOMPARE(form.CopySwToZo->text(), QStringLiteral("Copy to Zo"));
    QVERIFY(!form.Busy);
    QVERIFY(form.RefreshList->isEnabled());
    QCOMPARE(form.StatusBar->panelText(0), QString());
    QCOMPARE(form.ErrorLog->count(), 0);
    QVERIFY(!QFileInfo::exists(MakeTempDir()));
}

void TestReleases::noDocumentsFolder()
{
    const QString documents = test::documentsPath();
    QVERIFY(QDir().rename(documents, documents + ".away"));
    // without a data folder, paths would be taken from wherever the program was started
    const QString startedIn = test::testHome() + "/started-in";
    QVERIFY(QDir().mkpath(startedIn));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(startedIn));
    auto restore = qScopeGuard([&] {
        QDir::setCurrent(previous);
        QDir().rename(documents + ".away", documents);
    });
    const QString desktop = test::testHome() + "/Desktop/";
    QVERIFY(test::writeFile(desktop + "release8.zip", "8"));
    Rig rig;
    QVERIFY2(rig.start(), qPrintable(rig.sim.error()));
    QVERIFY(rig.sim.putWeb("Software/zo/release_2.zip", "archive"));
    QVERIFY(rig.publish(rig.sim.httpUrl("Software/zo/release_2.exe")));
    TZoFtpForm& form = rig.form();
    QVERIFY(form.DataDir.isEmpty());

    QVERIFY(test::dropFiles(form, {desktop + "release8.zip"}));
    test::DialogRecorder dialogs;
    QTest::mouseClick(form.RefreshList, Qt::LeftButton);
    QCOMPARE(dialogs.texts(),
             QStringList{"No Documents folder was found to keep the software releases in."});
    QCOMPARE(rig.httpGets(), QStringList());
    QCOMPARE(test::treeOf(startedIn), QStringList());
    QCOMPARE(form.SoftwareReleases->count(), 0);
    QVERIFY(!form.Busy);
}

ZO_GUI_TEST_MAIN(TestReleases)
#include "TestReleases.moc"
