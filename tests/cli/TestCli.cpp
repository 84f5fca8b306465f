// The command-line tool, run as a program against the simulated instrument: its commands, its
// texts on stderr, its output on stdout and its exit statuses.

#include "TestEnvironment.h"
#include "ZoSim.h"

#include <QCoreApplication>
#include <QProcess>
#include <QtTest>

namespace {

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

Run runCli(const QStringList& arguments, int port = 0, const QString& manifestUrl = {})
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (port)
        environment.insert(QStringLiteral("ZOFTP_PORT"), QString::number(port));
    if (!manifestUrl.isEmpty())
        environment.insert(QStringLiteral("ZOFTP_MANIFEST_URL"), manifestUrl);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(ZOFTP_CLI_PATH), arguments);
    Run run;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        run.err = QStringLiteral("zoftp-cli did not finish");
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QStringList lines(const QString& text)
{
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void usageErrors_data();
    void usageErrors();
    void helpAndVersion();
    void genericCommands();
    void unreachableInstrument();
    void pageCommands();
    void releases();

private:
    zo::test::ZoSim m_sim{
        {QStringLiteral("--sample"), QStringLiteral("--list-order"), QStringLiteral("reverse")}};
};

void TestCli::initTestCase()
{
    QVERIFY2(m_sim.start(), qPrintable(m_sim.error()));
}

void TestCli::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("problem");
    QTest::newRow("nothing") << QStringList{} << "no command given";
    QTest::newRow("unknown command")
        << QStringList{"--host", "127.0.0.1", "fetch"} << "unknown command fetch";
    QTest::newRow("unknown option")
        << QStringList{"--hots", "127.0.0.1", "reports"} << "unknown option --hots";
    QTest::newRow("no host") << QStringList{"reports"} << "reports needs --host ADDRESS";
    QTest::newRow("host without value")
        << QStringList{"reports", "--host"} << "--host needs a value";
    QTest::newRow("too few") << QStringList{"--host", "127.0.0.1", "get", "screendumps/"}
                             << "wrong number of arguments for get";
    QTest::newRow("too many") << QStringList{"--host", "127.0.0.1", "reports", "x"}
                              << "wrong number of arguments for reports";
    QTest::newRow("unknown standard") << QStringList{"--host", "127.0.0.1", "patterns", "4k"}
                                      << "unknown video standard folder 4k";
    QTest::newRow("address leaving the data folder")
        << QStringList{"--host", "..", "config", "get"} << "The address \"..\" cannot be used";
}

void TestCli::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, problem);
    const Run run = runCli(arguments, m_sim.ftpPort());
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains(problem), qPrintable(run.err));
    QVERIFY(run.out.isEmpty());
}

void TestCli::helpAndVersion()
{
    const Run help = runCli({QStringLiteral("--help")});
    QCOMPARE(help.status, 0);
    QVERIFY(help.out.startsWith(QStringLiteral("Usage: zoftp-cli")));
    QVERIFY(help.out.contains(QStringLiteral("ZOFTP_PORT")));
    const Run version = runCli({QStringLiteral("--version")});
    QCOMPARE(version.status, 0);
    QCOMPARE(version.out, QStringLiteral("zoftp-cli 1.5.0.0\n"));
}

void TestCli::genericCommands()
{
    const int port = m_sim.ftpPort();
    const QStringList host = {QStringLiteral("--host"), QStringLiteral("127.0.0.1")};

    const Run folders = runCli(host + QStringList{"list", "reports/*", "--dirs"}, port);
    QCOMPARE(folders.status, 0);
    QCOMPARE(lines(folders.out),
             (QStringList{"2026-12-10_0800", "2026-12-05_1415", "2026-12-01_0930"}));
    const Run files = runCli(host + QStringList{"list", "reports/*"}, port);
    QCOMPARE(lines(files.out), QStringList{"index.txt"});
    const Run none = runCli(host + QStringList{"list", "screendumps/*.png"}, port);
    QCOMPARE(none.status, 0);
    QVERIFY(none.out.isEmpty());

    const QString local = zo::test::testHome() + QStringLiteral("/cli-get");
    const Run get = runCli(
        host + QStringList{"get", "factoryapp/", "xilinx/cpld.xsvf", "tsg", "--to", local}, port);
    QCOMPARE(get.status, 0);
    QCOMPARE(zo::test::readFile(local + "/cpld.xsvf"), m_sim.get("factoryapp/xilinx/cpld.xsvf"));
    QCOMPARE(zo::test::readFile(local + "/tsg"), m_sim.get("factoryapp/tsg"));
    // progress goes to a terminal only
    QVERIFY(!get.err.contains(QLatin1Char('\r')));

    const Run missing = runCli(host + QStringList{"get", "/", "nothere.cfg", "--to", local}, port);
    QCOMPARE(missing.status, 1);
    QCOMPARE(missing.err, QStringLiteral("Failed FTP download: /nothere.cfg\n"));

    QVERIFY(zo::test::writeFile(local + "/upload/new.set", "new settings"));
    const Run put = runCli(
        host + QStringList{"put", "/setup/sub", "new.set", "--from", local + "/upload"}, port);
    QCOMPARE(put.status, 0);
    QCOMPARE(m_sim.get("setup/sub/new.set"), QByteArray("new settings"));

    const Run remove =
        runCli(host + QStringList{"delete", "setup/sub/", "new.set", "gone.set"}, port);
    QCOMPARE(remove.status, 1);
    QVERIFY(!m_sim.has("setup/sub/new.set"));
    QCOMPARE(remove.err, QStringLiteral("Not deleted: setup/sub/gone.set\n"));
}

void TestCli::unreachableInstrument()
{
    const Run run = runCli({"--host", "127.0.0.1", "screendumps", "get"}, zo::test::closedPort());
    QCOMPARE(run.status, 3);
    QVERIFY2(run.err.startsWith(QStringLiteral("Cannot connect to FTP server 127.0.0.1\n")),
             qPrintable(run.err));
}

void TestCli::pageCommands()
{
    const int port = m_sim.ftpPort();
    const QStringList host = {QStringLiteral("--host"), QStringLiteral("127.0.0.1")};

    const Run dumps = runCli(host + QStringList{"screendumps", "get"}, port);
    QCOMPARE(dumps.status, 0);
    const QString dumpFolder = zo::test::dataDir() + QStringLiteral("127.0.0.1/ScreenDumps/");
    QCOMPARE(dumps.out, dumpFolder + QLatin1Char('\n'));
    QCOMPARE(QDir(dumpFolder).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase),
             (QStringList{"dump_0001.bmp", "dump_0002.bmp", "dump_0003.bmp", "DUMP_0004.BMP"}));

    const Run reports = runCli(host + QStringList{"reports"}, port);
    QCOMPARE(lines(reports.out),
             (QStringList{"2026-12-01_0930", "2026-12-05_1415", "2026-12-10_0800"}));

    const Run patterns = runCli(host + QStringList{"patterns", "1080YUV"}, port);
    QCOMPARE(patterns.status, 0);
    QCOMPARE(lines(patterns.out).size(), 2);

    const Run noConfig = runCli({"--host", "127.0.0.9", "config", "put"}, port);
    QCOMPARE(noConfig.status, 1);
    QCOMPARE(noConfig.err, QStringLiteral("No config file for this IP address\n"));

    const Run config = runCli(host + QStringList{"config", "get"}, port);
    QCOMPARE(config.status, 0);
    const QString localConfig = zo::test::dataDir() + QStringLiteral("127.0.0.1/system.cfg");
    QCOMPARE(zo::test::readFile(localConfig), m_sim.get("system.cfg"));
    QVERIFY(zo::test::writeFile(localConfig, "edited=1\n"));
    QCOMPARE(runCli(host + QStringList{"config", "put"}, port).status, 0);
    QCOMPARE(m_sim.get("system.cfg"), QByteArray("edited=1\n"));

    QCOMPARE(runCli(host + QStringList{"recovery", "delete"}, port).status, 0);
    QVERIFY(m_sim.filesIn(QStringLiteral("factoryapp")).isEmpty());
    QVERIFY(m_sim.filesIn(QStringLiteral("factoryapp/xilinx")).isEmpty());

    QCOMPARE(runCli(host + QStringList{"screendumps", "delete", "dump_0002.bmp"}, port).status, 0);
    QVERIFY(!m_sim.has("screendumps/dump_0002.bmp"));
    QCOMPARE(runCli(host + QStringList{"screendumps", "delete-all"}, port).status, 0);
    QVERIFY(m_sim.filesIn(QStringLiteral("screendumps")).isEmpty());
    // the local copies stay
    QCOMPARE(QDir(dumpFolder).entryList(QDir::Files).size(), 4);
}

void TestCli::releases()
{
    const int port = m_sim.ftpPort();
    const QString software = zo::test::dataDir() + QStringLiteral("Software/");
    QVERIFY(zo::test::writeFile(software + QStringLiteral("Release1.ZIP"), "not even a zip"));

    const Run fetch = runCli({"release", "fetch"}, 0, m_sim.manifestUrl());
    QCOMPARE(fetch.status, 0);
    QCOMPARE(fetch.out, QStringLiteral("release_1.6.zip\n"));
    QCOMPARE(fetch.err, QStringLiteral("Download Completed\n"));
    QVERIFY(m_sim.log().contains(QStringLiteral("HTTP GET /Software/zo/setup3.ini UA=WebCopy")));

    const Run listed = runCli({"releases"});
    QCOMPARE(lines(listed.out), (QStringList{"Release1.ZIP", "release_1.6.zip"}));

    const Run unknown =
        runCli({"--host", "127.0.0.1", "release", "install", "release_9.zip"}, port);
    QCOMPARE(unknown.status, 2);

    const Run install =
        runCli({"--host", "127.0.0.1", "release", "install", "RELEASE_1.6.ZIP"}, port);
    QCOMPARE(install.status, 0);
    QVERIFY2(install.err.endsWith(QStringLiteral("Upload Completed\n")), qPrintable(install.err));
    for (const char* name : {"zoapp", "top.bin", "readme.txt"})
        QVERIFY2(m_sim.has(QStringLiteral("setup/") + QLatin1String(name)), name);
    QVERIFY(!m_sim.has("setup/bin"));

    const Run broken = runCli({"--host", "127.0.0.1", "release", "install", "Release1.ZIP"}, port);
    QVERIFY2(broken.err.contains(QStringLiteral("Cannot open the archive")),
             qPrintable(broken.err));

    const Run noManifest =
        runCli({"release", "fetch"}, 0, m_sim.httpUrl(QStringLiteral("Software/zo/missing.ini")));
    QCOMPARE(noManifest.status, 1);
    QVERIFY2(noManifest.err.startsWith(
                 QStringLiteral("Returned http error code 404\nFailed HTTP download: ")),
             qPrintable(noManifest.err));
    QVERIFY(noManifest.err.contains(QStringLiteral("Cannot open file \"")));
}

ZO_TEST_MAIN(TestCli, QCoreApplication, false)
#include "TestCli.moc"
