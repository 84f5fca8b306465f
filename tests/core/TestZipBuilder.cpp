// Extracting release archives: every file flat into one folder, replacing, with progress; a
// broken archive or folder told and never half written; entries that aim outside kept inside.

#include "TestEnvironment.h"
#include "ZipArchives.h"
#include "platform/ZipBuilder.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using namespace zo;
using test::ZipEntry;

Q_DECLARE_METATYPE(zo::test::ZipEntry)

namespace {

QByteArray pattern(int size, int seed = 0)
{
    QByteArray data(size, Qt::Uninitialized);
    for (int at = 0; at < size; ++at)
        data[at] = static_cast<char>((at * 7 + at / 251 + seed) & 0xFF);
    return data;
}

// A builder whose failures and progress are kept for the test to read.
struct Extractor
{
    Extractor()
    {
        zip.setErrorReporter([this](const QString& text) { errors << text; });
        QObject::connect(&zip, &ZipBuilder::OnTotalProgress, [this](qint64 total, int percent) {
            progress << qMakePair(total, percent);
        });
    }

    int extract(const QString& archive, const QString& folder)
    {
        zip.FileName = archive;
        zip.ExtrBaseDir = folder;
        return zip.Extract();
    }

    ZipBuilder zip;
    QStringList errors;
    QList<QPair<qint64, int>> progress;
};

QStringList partFilesIn(const QString& folder)
{
    return test::treeOf(folder).filter(QStringLiteral(".part"));
}

} // namespace

class TestZipBuilder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void writesEveryFileFlat();
    void replacesFilesOfTheSameName();
    void progressRisesToTheEnd();
    void claimedSizesKeepProgressInRange_data();
    void claimedSizesKeepProgressInRange();
    void failuresAreReported_data();
    void failuresAreReported();
    void entriesAimingOutsideStayInside_data();
    void entriesAimingOutsideStayInside();
    void cancelLeavesNoPartialFile();

private:
    QString path(const QString& relative) const { return m_work->path() + '/' + relative; }

    std::unique_ptr<QTemporaryDir> m_work;
};

void TestZipBuilder::init()
{
    m_work = std::make_unique<QTemporaryDir>();
    QVERIFY(m_work->isValid());
}

void TestZipBuilder::writesEveryFileFlat()
{
    const QString archive = path("release_2.zip");
    const QByteArray bitstream = pattern(300000);
    QCOMPARE(test::writeZip(archive, {{"bin/zoapp", "app"},
                                      {"fpga/top.bin", bitstream},
                                      {"readme.txt", "read me", ZipEntry::Stored},
                                      {"docs/", ""},
                                      {"docs/a/notes.txt", "first"},
                                      {"docs/b/notes.txt", "second"}}),
             QString());
    // made with its missing parents
    const QString folder = path("not/made/yet/");
    Extractor extractor;
    extractor.extract(archive, folder);

    QCOMPARE(extractor.errors, QStringList());
    QCOMPARE(test::treeOf(folder), (QStringList{"notes.txt", "readme.txt", "top.bin", "zoapp"}));
    QCOMPARE(test::readFile(folder + "zoapp"), QByteArray("app"));
    QCOMPARE(test::readFile(folder + "top.bin"), bitstream);
    QCOMPARE(test::readFile(folder + "readme.txt"), QByteArray("read me"));
    // which of two same-named entries wins is not settled; one whole file is
    const QByteArray notes = test::readFile(folder + "notes.txt");
    QVERIFY2(notes == "first" || notes == "second", notes.constData());
    QCOMPARE(test::treeOf(path("not")),
             (QStringList{"made", "made/yet", "made/yet/notes.txt", "made/yet/readme.txt",
                          "made/yet/top.bin", "made/yet/zoapp"}));
}

void TestZipBuilder::replacesFilesOfTheSameName()
{
    const QString archive = path("release_3.zip");
    QCOMPARE(test::writeZip(archive, {{"setup/readme.txt", "new"}, {"zoapp", "new app"}}),
             QString());
    const QString folder = path("out");
    QVERIFY(test::writeFile(folder + "/readme.txt", "the old text, longer than the new one"));
    QVERIFY(test::writeFile(folder + "/other.txt", "not in the archive"));

    Extractor extractor;
    extractor.extract(archive, folder);
    QCOMPARE(extractor.errors, QStringList());
    QCOMPARE(test::readFile(folder + "/readme.txt"), QByteArray("new"));
    QCOMPARE(test::readFile(folder + "/zoapp"), QByteArray("new app"));
    QCOMPARE(test::readFile(folder + "/other.txt"), QByteArray("not in the archive"));
    QCOMPARE(test::treeOf(folder), (QStringList{"other.txt", "readme.txt", "zoapp"}));
}

void TestZipBuilder::progressRisesToTheEnd()
{
    const QString archive = path("release_4.zip");
    QCOMPARE(test::writeZip(archive, {{"a.bin", pattern(700000, 1)},
                                      {"b.bin", pattern(700000, 2)},
                                      {"c.bin", pattern(700000, 3), ZipEntry::Stored}}),
             QString());
    Extractor extractor;
    extractor.extract(archive, path("out/"));

    QCOMPARE(extractor.errors, QStringList());
    QVERIFY(extractor.progress.size() >= 2);
    QCOMPARE(extractor.progress.last(), qMakePair(qint64(0), 101));
    const auto running = extractor.progress.mid(0, extractor.progress.size() - 1);
    int previous = 0;
    for (const auto& [total, percent] : running) {
        QCOMPARE(total, qint64(3 * 700000));
        QVERIFY2(percent >= previous && percent <= 100, qPrintable(QString::number(percent)));
        previous = percent;
    }
    QCOMPARE(running.last().second, 100);
}

void TestZipBuilder::claimedSizesKeepProgressInRange_data()
{
    QTest::addColumn<quint64>("claimed");
    // two of them add up past the largest signed 64-bit number
    QTest::newRow("beyond any disk") << quint64(0x7FFFFFFFFFFFFF00);
    QTest::newRow("largest there is") << quint64(0xFFFFFFFFFFFFFFFF);
    QTest::newRow("far too small") << quint64(16);
}

void TestZipBuilder::claimedSizesKeepProgressInRange()
{
    QFETCH(quint64, claimed);
    const QString archive = path("claims.zip");
    const QByteArray content = pattern(5000);
    QCOMPARE(test::writeZipClaimingSize(archive, {"one.bin", "two.bin"}, content, claimed),
             QString());
    Extractor extractor;
    extractor.extract(archive, path("out/"));

    QCOMPARE(extractor.progress.last(), qMakePair(qint64(0), 101));
    for (const auto& [total, percent] : extractor.progress.mid(0, extractor.progress.size() - 1)) {
        QVERIFY2(total >= 0, qPrintable(QString::number(total)));
        QVERIFY2(percent >= 0 && percent <= 100, qPrintable(QString::number(percent)));
    }
    // the checksums hold, so what the entries really hold arrives
    QCOMPARE(extractor.errors, QStringList());
    QCOMPARE(test::readFile(path("out/one.bin")), content);
    QCOMPARE(test::readFile(path("out/two.bin")), content);
}

void TestZipBuilder::failuresAreReported_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("named");         // what the report must name
    QTest::addColumn<QStringList>("extracted"); // what the folder holds afterwards
    QTest::newRow("missing archive") << "missing"
                                     << "archive" << QStringList();
    QTest::newRow("not a zip") << "text"
                               << "archive" << QStringList();
    QTest::newRow("truncated") << "truncated"
                               << "archive" << QStringList();
    // the whole entries before the damaged one arrive; the damaged one keeps the old copy
    QTest::newRow("bad checksum") << "checksum"
                                  << "archive" << QStringList{"bad.bin", "good.txt"};
    QTest::newRow("folder cannot be made") << "blocked"
                                           << "folder" << QStringList();
}

void TestZipBuilder::failuresAreReported()
{
    QFETCH(QString, fault);
    QFETCH(QString, named);
    QFETCH(QStringList, extracted);

    const QString archive = path("release.zip");
    QString folder = path("out/");
    const QByteArray damaged = pattern(100000, 9);
    QCOMPARE(test::writeZip(archive, {{"good.txt", "good"},
                                      {"bad.bin", damaged, ZipEntry::Stored},
                                      {"last.txt", "last"}}),
             QString());
    if (fault == "missing") {
        QVERIFY(QFile::remove(archive));
    } else if (fault == "text") {
        QVERIFY(test::writeFile(archive, "not even a zip"));
    } else if (fault == "truncated") {
        const QByteArray whole = test::readFile(archive);
        QVERIFY(test::writeFile(archive, whole.left(whole.size() / 2)));
    } else if (fault == "checksum") {
        QCOMPARE(test::writeWithBadChecksum(archive, damaged), QString());
        QVERIFY(test::writeFile(folder + "bad.bin", "the old copy"));
    } else if (fault == "blocked") {
        QVERIFY(test::writeFile(path("blocker"), "a file where a folder should be"));
        folder = path("blocker/out/");
    }

    Extractor extractor;
    extractor.extract(archive, folder);

    QCOMPARE(extractor.errors.size(), 1);
    const QString subject = named == "archive" ? archive : folder;
    QVERIFY2(extractor.errors.first().contains(subject), qPrintable(extractor.errors.first()));
    QCOMPARE(extractor.progress.last(), qMakePair(qint64(0), 101));
    QVERIFY(!extractor.zip.isExtracting());
    QCOMPARE(test::treeOf(folder), extracted);
    if (fault == "checksum") {
        QCOMPARE(test::readFile(folder + "good.txt"), QByteArray("good"));
        QCOMPARE(test::readFile(folder + "bad.bin"), QByteArray("the old copy"));
    }
    QCOMPARE(partFilesIn(m_work->path()), QStringList());
}

void TestZipBuilder::entriesAimingOutsideStayInside_data()
{
    QTest::addColumn<QList<ZipEntry>>("entries");
    QTest::addColumn<QStringList>("extracted");
    const ZipEntry safe{"docs/safe.txt", "safe"};
    const QStringList evilAndSafe{"evil.txt", "safe.txt"};
    QTest::newRow("parent folder") << QList<ZipEntry>{{"../evil.txt", "E"}, safe} << evilAndSafe;
    QTest::newRow("far up") << QList<ZipEntry>{{"../../../../evil.txt", "E"}, safe} << evilAndSafe;
    QTest::newRow("absolute") << QList<ZipEntry>{{"/abs/evil.txt", "E"}, safe} << evilAndSafe;
    QTest::newRow("up through a folder")
        << QList<ZipEntry>{{"a/../../evil.txt", "E"}, safe} << evilAndSafe;
    QTest::newRow("backslashes") << QList<ZipEntry>{{"..\\..\\evil.txt", "E"}, safe} << evilAndSafe;
    QTest::newRow("drive letter") << QList<ZipEntry>{{"C:\\evil.txt", "E"}, safe} << evilAndSafe;
    QTest::newRow("link, then a file through it")
        << QList<ZipEntry>{{"link", "../../..", ZipEntry::SymbolicLink},
                           {"link/evil.txt", "E"},
                           safe}
        << evilAndSafe;
    QTest::newRow("link to a file outside")
        << QList<ZipEntry>{{"passwd", "/etc/passwd", ZipEntry::SymbolicLink}, safe}
        << QStringList{"safe.txt"};
    QTest::newRow("names that are no file names")
        << QList<ZipEntry>{{"..", "E"},         {".", "E"},          {"a/..", "E"},
                           {"C:evil.txt", "E"}, {"evil\n.txt", "E"}, safe}
        << QStringList{"safe.txt"};
}

void TestZipBuilder::entriesAimingOutsideStayInside()
{
    QFETCH(QList<ZipEntry>, entries);
    QFETCH(QStringList, extracted);
    const QString archive = path("hostile.zip");
    QCOMPARE(test::writeZip(archive, entries), QString());
    const QString folder = path("sandbox/a/b/out/");
    QVERIFY(QDir().mkpath(folder));

    Extractor extractor;
    extractor.extract(archive, folder);

    QCOMPARE(extractor.errors, QStringList());
    QStringList expected{"hostile.zip", "sandbox", "sandbox/a", "sandbox/a/b", "sandbox/a/b/out"};
    for (const QString& name : extracted)
        expected << "sandbox/a/b/out/" + name;
    expected.sort();
    QCOMPARE(test::treeOf(m_work->path()), expected);
    QVERIFY(!QFileInfo::exists("/abs/evil.txt"));
    QVERIFY(!QFileInfo::exists(QFileInfo(m_work->path()).absolutePath() + "/evil.txt"));
    for (const QString& name : extracted)
        QVERIFY2(!QFileInfo(folder + name).isSymLink(), qPrintable(name));
    QCOMPARE(test::readFile(folder + "safe.txt"), QByteArray("safe"));
}

void TestZipBuilder::cancelLeavesNoPartialFile()
{
    constexpr int kEntries = 16;
    const QByteArray content(4 * 1024 * 1024, 'z');
    QList<ZipEntry> entries;
    for (int index = 0; index < kEntries; ++index)
        entries << ZipEntry{QStringLiteral("part%1.bin").arg(index), "z", ZipEntry::Deflated,
                            static_cast<int>(content.size())};
    const QString archive = path("large.zip");
    QCOMPARE(test::writeZip(archive, entries), QString());
    const QString folder = path("out/");

    Extractor extractor;
    const auto cancelling =
        QObject::connect(&extractor.zip, &ZipBuilder::OnTotalProgress, [&](qint64, int percent) {
            if (percent <= 100)
                extractor.zip.Cancel();
        });
    const int written = extractor.extract(archive, folder);

    QVERIFY2(written < kEntries, qPrintable(QString::number(written)));
    QCOMPARE(extractor.errors, QStringList());
    QCOMPARE(extractor.progress.last(), qMakePair(qint64(0), 101));
    // what arrived arrived whole; the file being written when the cancel came is gone
    const QStringList found = test::treeOf(folder);
    QCOMPARE(found.size(), written);
    for (const QString& name : found)
        QVERIFY2(test::readFile(folder + name) == content, qPrintable(name));

    // a cancel outside an extraction does not stop the next one
    extractor.zip.Cancel();
    const QString small = path("small.zip");
    QCOMPARE(test::writeZip(small, {{"one.txt", "1"}, {"two.txt", "2"}}), QString());
    QObject::disconnect(cancelling);
    QCOMPARE(extractor.extract(small, path("again/")), 2);
    QCOMPARE(test::treeOf(path("again")), (QStringList{"one.txt", "two.txt"}));
}

ZO_TEST_MAIN(TestZipBuilder, QCoreApplication, false)
#include "TestZipBuilder.moc"
