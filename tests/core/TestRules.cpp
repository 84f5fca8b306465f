// The rules that decide: path splits, drop routing, the command line, the manifest, names.

#include "TestEnvironment.h"
#include "app/DropRouting.h"
#include "app/StartUp.h"
#include "pages/PageOperations.h"
#include "platform/ShellServices.h"
#include "platform/WebCopy.h"
#include "releases/LocalFiles.h"
#include "releases/Manifest.h"
#include "transfer/ProgressTexts.h"
#include "transfer/RemotePath.h"

#include <QCoreApplication>
#include <QtTest>

using namespace zo;

class TestRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void remotePathSplit_data();
    void remotePathSplit();
    void dropRouting_data();
    void dropRouting();
    void manufacturingMode_data();
    void manufacturingMode();
    void titleAndImageHeight();
    void manifestValue_data();
    void manifestValue();
    void archiveUrl_data();
    void archiveUrl();
    void safeLocalNames_data();
    void safeLocalNames();
    void addressFolders_data();
    void addressFolders();
    void localListing();
    void fileStartTexts_data();
    void fileStartTexts();
};

void TestRules::remotePathSplit_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("download");
    QTest::newRow("folder in the name") << "factoryapp\\"
                                        << "xilinx\\cpld.xsvf"
                                        << "factoryapp/xilinx/"
                                        << "cpld.xsvf"
                                        << "factoryapp/xilinx/cpld.xsvf";
    QTest::newRow("root") << "\\"
                          << "system.cfg"
                          << "/"
                          << "system.cfg"
                          << "/system.cfg";
    QTest::newRow("rooted setup") << "\\setup\\"
                                  << "zoapp"
                                  << "/setup/"
                                  << "zoapp"
                                  << "/setup/zoapp";
    QTest::newRow("relative") << "screendumps\\"
                              << "a.bmp"
                              << "screendumps/"
                              << "a.bmp"
                              << "screendumps/a.bmp";
    QTest::newRow("colon splits too") << "c:"
                                      << "x.txt"
                                      << "c:"
                                      << "x.txt"
                                      << "c:x.txt";
    QTest::newRow("no folder") << ""
                               << "tsg"
                               << ""
                               << "tsg"
                               << "tsg";
    // prefix and name are joined as they are, with no separator added
    QTest::newRow("prefix without separator") << "\\patterns"
                                              << "a\\b.pat"
                                              << "/patternsa/"
                                              << "b.pat"
                                              << "/patternsa/b.pat";
}

void TestRules::remotePathSplit()
{
    QFETCH(QString, prefix);
    QFETCH(QString, name);
    const RemoteSplit split = splitRemotePath(prefix, name);
    QTEST(split.folder, "folder");
    QTEST(split.file, "file");
    QTEST(remoteDownloadPath(prefix, name), "download");
}

void TestRules::dropRouting_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("action");
    const int software = static_cast<int>(DropPage::SoftwareUpdate);
    const int patterns = static_cast<int>(DropPage::TestPatterns);
    const int other = static_cast<int>(DropPage::Other);
    const int copy = static_cast<int>(DropAction::CopyRelease);
    const int take = static_cast<int>(DropAction::TakeTestPattern);
    const int skip = static_cast<int>(DropAction::Skip);
    QTest::newRow("upper-case zip") << software << "/d/A.ZIP" << copy;
    QTest::newRow("mixed-case zip") << software << "/d/Release9.Zip" << copy;
    QTest::newRow("text file") << software << "/d/notes.txt" << skip;
    QTest::newRow("no extension") << software << "/d/README" << skip;
    QTest::newRow("dot in folder only") << software << "/d.zip/README" << skip;
    QTest::newRow("double extension") << software << "/d/a.zip.txt" << skip;
    QTest::newRow("pattern page takes any file") << patterns << "/d/ramp.pat" << take;
    QTest::newRow("pattern page skips no extension") << patterns << "/d/ramp" << skip;
    QTest::newRow("other page") << other << "/d/A.ZIP" << skip;
}

void TestRules::dropRouting()
{
    QFETCH(int, page);
    QFETCH(QString, path);
    QTEST(static_cast<int>(routeDrop(static_cast<DropPage>(page), path)), "action");
}

void TestRules::manufacturingMode_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("manufacturing");
    QTest::newRow("-M") << QStringList{"-M"} << true;
    QTest::newRow("-M and more") << QStringList{"-M", "x"} << true;
    QTest::newRow("none") << QStringList{} << false;
    QTest::newRow("-m") << QStringList{"-m"} << false;
    QTest::newRow("/M") << QStringList{"/M"} << false;
    QTest::newRow("-M1") << QStringList{"-M1"} << false;
    QTest::newRow(" -M") << QStringList{" -M"} << false;
    QTest::newRow("-M second") << QStringList{"x", "-M"} << false;
}

void TestRules::manufacturingMode()
{
    QFETCH(QStringList, arguments);
    QTEST(isManufacturingMode(arguments), "manufacturing");
}

void TestRules::titleAndImageHeight()
{
    QCOMPARE(titleWithVersion(kDesignedCaption, QStringLiteral("1.5.0.0")),
             QStringLiteral("Corvane Zo FTP Client - 1.5.0.0"));
    QCOMPARE(screenDumpImageHeight(467), 262);
    QCOMPARE(screenDumpImageHeight(100), 56);
    QCOMPARE(screenDumpImageHeight(0), 0);
}

void TestRules::manifestValue_data()
{
    QTest::addColumn<QByteArray>("manifest");
    QTest::addColumn<QString>("value");
    QTest::newRow("in a section") << QByteArray(
                                         "[Setup]\r\nVersion=2\r\nDownloadFile=http://h/a.exe\r\n")
                                  << "http://h/a.exe";
    QTest::newRow("lower case key")
        << QByteArray("downloadfile=http://h/b.exe\n") << "http://h/b.exe";
    QTest::newRow("spaces around =") << QByteArray("DownloadFile = http://h/c.exe\n") << "";
    QTest::newRow("value keeps spaces") << QByteArray("DownloadFile= x \n") << " x ";
    QTest::newRow("first of two") << QByteArray("DownloadFile=one\nDownloadFile=two\n") << "one";
    QTest::newRow("missing") << QByteArray("[Setup]\nVersion=2\n") << "";
    QTest::newRow("CR line ends") << QByteArray("A=1\rDownloadFile=cr\rB=2") << "cr";
    QTest::newRow("no final line end") << QByteArray("DownloadFile=last") << "last";
    QTest::newRow("NUL ends the text") << QByteArray("A=1\n\0DownloadFile=hidden\n", 24) << "";
    QTest::newRow("value with =") << QByteArray("DownloadFile=http://h/x?a=b\n")
                                  << "http://h/x?a=b";
    QTest::newRow("html page") << QByteArray("<html><body>Not found</body></html>") << "";
}

void TestRules::manifestValue()
{
    QFETCH(QByteArray, manifest);
    QTEST(zo::manifestValue(manifest, kManifestKey), "value");
}

void TestRules::archiveUrl_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("name");
    QTest::newRow("two dots") << "http://www.example.com/zo/release_2.1.exe"
                              << "http://www.example.com/zo/release_2.zip"
                              << "release_2.zip";
    QTest::newRow("dotted server kept") << "http://www.example.com/zo/release21.zip"
                                        << "http://www.example.com/zo/release21.zip"
                                        << "release21.zip";
    QTest::newRow("no extension") << "http://h/zo/release3"
                                  << "http://h/zo/release3.zip"
                                  << "release3.zip";
    QTest::newRow("dotted folder kept") << "http://h/v1.2/release4.exe"
                                        << "http://h/v1.2/release4.zip"
                                        << "release4.zip";
    QTest::newRow("no slash") << "release_5.1.exe"
                              << "release_5.zip"
                              << "release_5.zip";
}

void TestRules::archiveUrl()
{
    QFETCH(QString, value);
    QTEST(archiveUrlFromValue(value), "url");
    QTEST(archiveNameOf(archiveUrlFromValue(value)), "name");
}

void TestRules::safeLocalNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("safe");
    QTest::newRow("plain") << "dump_0001.bmp" << true;
    QTest::newRow("spaces") << "my dump.bmp" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("dot") << "." << false;
    QTest::newRow("dot dot") << ".." << false;
    QTest::newRow("escape") << "../escape.bmp" << false;
    QTest::newRow("slash") << "a/b.bmp" << false;
    QTest::newRow("backslash") << "a\\b.bmp" << false;
    QTest::newRow("drive") << "c:x.bmp" << false;
    QTest::newRow("newline") << "a\nb.bmp" << false;
    QTest::newRow("three dots") << "..." << true;
}

void TestRules::safeLocalNames()
{
    QFETCH(QString, name);
    QTEST(isSafeLocalName(name), "safe");
}

void TestRules::addressFolders_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("usable");
    QTest::newRow("ip") << "192.168.0.5" << true;
    QTest::newRow("host") << "lab-unit" << true;
    QTest::newRow("designed text") << "192.168.0." << true;
    QTest::newRow("empty") << "" << true;
    QTest::newRow("parent") << ".." << false;
    QTest::newRow("self") << "." << false;
    QTest::newRow("climbs") << "../../etc" << false;
    QTest::newRow("backslash") << "a\\b" << false;
    QTest::newRow("tab") << "a\tb" << false;
}

void TestRules::addressFolders()
{
    QFETCH(QString, address);
    QTEST(addressFolderProblem(address).isEmpty(), "usable");
}

void TestRules::localListing()
{
    const QString folder = test::testHome() + QStringLiteral("/listing/");
    QVERIFY(test::writeFile(folder + QStringLiteral("release2.zip"), "2"));
    QVERIFY(test::writeFile(folder + QStringLiteral("Release1.ZIP"), "1"));
    QVERIFY(test::writeFile(folder + QStringLiteral("notes.zip"), "n"));
    QVERIFY(test::writeFile(folder + QStringLiteral("tsg"), "t"));
    QVERIFY(QDir().mkpath(folder + QStringLiteral("release3.zip")));

    QStringList releases = listLocalFiles(folder + QStringLiteral("release*.zip"));
    releases.sort(Qt::CaseInsensitive);
    QCOMPARE(releases, (QStringList{"Release1.ZIP", "release2.zip"}));

    QStringList everything = {QStringLiteral("kept")};
    ListLocalFiles(folder + QStringLiteral("*.*"), everything);
    everything.sort(Qt::CaseInsensitive);
    QCOMPARE(everything, (QStringList{"kept", "notes.zip", "Release1.ZIP", "release2.zip", "tsg"}));

    QVERIFY(listLocalFiles(folder + QStringLiteral("missing/*.*")).isEmpty());
    QVERIFY(listLocalFiles(QStringLiteral("C:\\release*.zip")).isEmpty() ||
            localSeparator() == '\\');
}

void TestRules::fileStartTexts_data()
{
    QTest::addColumn<int>("protocol");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("targetFilename");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("progress");
    QTest::newRow("http") << int(wpHttp) << "http://h/zo/setup3.ini"
                          << ""
                          << "GetHTTP File 2 of 5: "
                          << "setup3.ini" << true;
    QTest::newRow("download") << int(wpFtp) << "screendumps/a.bmp"
                              << "a.bmp"
                              << "Download File 2 of 5: "
                              << "a.bmp" << true;
    QTest::newRow("upload") << int(wpFtpUpload) << "/tmp/x/zoapp"
                            << "zoapp"
                            << "Upload File 2 of 5: "
                            << "zoapp" << true;
    QTest::newRow("delete") << int(wpFtpDelete) << "cpld.xsvf"
                            << ""
                            << "Delete File 2 of 5: "
                            << "cpld.xsvf" << false;
    QTest::newRow("listing") << int(wpFtpList) << "reports/*"
                             << ""
                             << "Directory"
                             << "reports/*" << true;
}

void TestRules::fileStartTexts()
{
    QFETCH(int, protocol);
    TWebCopyItem item;
    item.Protocol = static_cast<TWebCopyProtocol>(protocol);
    item.URL = QTest::currentDataTag() == QByteArray("upload")
                   ? QDir::toNativeSeparators(QStringLiteral("/tmp/x/zoapp"))
                   : QString();
    QFETCH(QString, url);
    if (item.URL.isEmpty())
        item.URL = url;
    QFETCH(QString, targetFilename);
    item.TargetFilename = targetFilename;
    const FileStartTexts texts = zo::fileStartTexts(item, 1, 5);
    QTEST(texts.operation, "operation");
    QTEST(texts.file, "file");
    QTEST(texts.showsProgress, "progress");
}

ZO_TEST_MAIN(TestRules, QCoreApplication, false)
#include "TestRules.moc"
