#include "platform/FtpListing.h"

#include <QLocale>
#include <QTest>
#include <limits>

using zo::kDirectoryAttribute;
using zo::ListingEntry;
using zo::ListingFormat;

Q_DECLARE_METATYPE(zo::ListingFormat)

namespace {

QDateTime localTime(int year, int month, int day, int hour = 0, int minute = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute));
}

QDateTime utcTime(int year, int month, int day, int hour, int minute, int second, int ms = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second, ms), Qt::UTC);
}

// "Dec 11" for a date, as ls prints it for files of the last months.
QByteArray lsMonthDay(QDate date)
{
    return QLocale::c().toString(date, u"MMM d").toLatin1();
}

// The same name as each format would send it.
QByteArray lineFor(ListingFormat format, bool msDos, const QByteArray& name)
{
    if (format == ListingFormat::Mlsd)
        return "type=file;size=10;modify=20260102030405; " + name;
    if (msDos)
        return "01-02-26  03:04PM                   10 " + name;
    return "-rw-r--r--    1 ftp      ftp            10 Jan  2  2026 " + name;
}

} // namespace

class TestFtpListing : public QObject
{
    Q_OBJECT

private slots:
    void unixLine_data();
    void unixLine();
    void unixRecentTimePicksLatestPastYear_data();
    void unixRecentTimePicksLatestPastYear();
    void msDosLine_data();
    void msDosLine();
    void mlsdLine_data();
    void mlsdLine();
    void unreadableOrSkippedLine_data();
    void unreadableOrSkippedLine();
    void wholeReply_data();
    void wholeReply();
    void nameEncoding_data();
    void nameEncoding();
    void hostileNamesPassThrough_data();
    void hostileNamesPassThrough();
};

void TestFtpListing::unixLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("name");
    QTest::addColumn<quint32>("attributes");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<QDateTime>("modified");

    const QDate today = QDate::currentDate();
    const QByteArray monthDay = lsMonthDay(today);
    const qint64 maxSize = std::numeric_limits<qint64>::max();

    QTest::newRow("folder, recent time")
        << "drwxr-xr-x 2 user group 4096 " + monthDay + " 12:00 reports"
        << "reports" << kDirectoryAttribute << qint64(4096) << QDateTime(today, QTime(12, 0));
    QTest::newRow("file, recent one-digit hour")
        << "-rw-r--r-- 1 user group 7 " + monthDay + " 9:05 a.bmp"
        << "a.bmp" << 0u << qint64(7) << QDateTime(today, QTime(9, 5));
    QTest::newRow("file, year") << QByteArray("-rw-r--r-- 1 u g 123 Dec 11  2025 name") << "name"
                                << 0u << qint64(123) << localTime(2025, 12, 11);
    QTest::newRow("wide columns") << QByteArray("-rw-r--r--    1 ftp      ftp        123 Jan  5  "
                                                "1999 old.bmp")
                                  << "old.bmp" << 0u << qint64(123) << localTime(1999, 1, 5);
    QTest::newRow("numeric owner and group")
        << QByteArray("-rw-r--r-- 1 0 0 77 Jan  5  1999 old.bmp") << "old.bmp" << 0u << qint64(77)
        << localTime(1999, 1, 5);
    QTest::newRow("no group column") << QByteArray("-rw-r--r-- 1 owner 123 Dec 11  2025 x") << "x"
                                     << 0u << qint64(123) << localTime(2025, 12, 11);
    QTest::newRow("owner and group look like months")
        << QByteArray("-rw-r--r-- 1 Dec Jan 42 Feb  1  2026 n") << "n" << 0u << qint64(42)
        << localTime(2026, 2, 1);
    QTest::newRow("symlink") << QByteArray("lrwxrwxrwx 1 root root 11 Jun 30  2024 current -> "
                                           "release-1.2")
                             << "current" << 0u << qint64(11) << localTime(2024, 6, 30);
    QTest::newRow("symlink with spaces")
        << QByteArray("lrwxrwxrwx 1 r r 3 Jun 30  2024 my link -> my target") << "my link" << 0u
        << qint64(3) << localTime(2024, 6, 30);
    QTest::newRow("name with spaces") << QByteArray("-rw-r--r-- 1 u g 5 Mar  3  2026 my dump.bmp")
                                      << "my dump.bmp" << 0u << qint64(5) << localTime(2026, 3, 3);
    QTest::newRow("trailing spaces kept") << QByteArray("-rw-r--r-- 1 u g 5 Mar  3  2026 pad  ")
                                          << "pad  " << 0u << qint64(5) << localTime(2026, 3, 3);
    QTest::newRow("leading space kept after the one separator")
        << QByteArray("-rw-r--r-- 1 u g 5 Mar  3  2026  lead") << " lead" << 0u << qint64(5)
        << localTime(2026, 3, 3);
    QTest::newRow("name looks like a date")
        << QByteArray("-rw-r--r-- 1 u g 5 Mar  3  2026 Dec 11 12:00 x") << "Dec 11 12:00 x" << 0u
        << qint64(5) << localTime(2026, 3, 3);
    QTest::newRow("arrow in a plain file name")
        << QByteArray("-rw-r--r-- 1 u g 5 Mar  3  2026 a -> b") << "a -> b" << 0u << qint64(5)
        << localTime(2026, 3, 3);
    QTest::newRow("acl flag and upper-case month")
        << QByteArray("drwxr-xr-x+ 3 u g 0 MAR  3  2026 acl") << "acl" << kDirectoryAttribute
        << qint64(0) << localTime(2026, 3, 3);
    QTest::newRow("largest size") << "-rw-r--r-- 1 u g " + QByteArray::number(maxSize) +
                                         " Mar  3  2026 huge"
                                  << "huge" << 0u << maxSize << localTime(2026, 3, 3);
    QTest::newRow("size overflow is unknown")
        << QByteArray("-rw-r--r-- 1 u g 9223372036854775808 Mar  3  2026 huge") << "huge" << 0u
        << qint64(-1) << localTime(2026, 3, 3);
    QTest::newRow("impossible date is unknown") << QByteArray("-rw-r--r-- 1 u g 1 Feb 30  2026 odd")
                                                << "odd" << 0u << qint64(1) << QDateTime();
    QTest::newRow("line end included") << QByteArray("-rw-r--r-- 1 u g 1 Mar  3  2026 crlf\r\n")
                                       << "crlf" << 0u << qint64(1) << localTime(2026, 3, 3);
}

void TestFtpListing::unixLine()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, name);
    QFETCH(quint32, attributes);
    QFETCH(qint64, size);
    QFETCH(QDateTime, modified);

    const std::optional<ListingEntry> entry = zo::parseListLine(line);
    QVERIFY(entry);
    QCOMPARE(entry->name, name);
    QCOMPARE(entry->attributes, attributes);
    QCOMPARE(entry->size, size);
    QCOMPARE(entry->modified, modified);
    // LIST times are the server's wall clock, not UTC.
    if (modified.isValid())
        QCOMPARE(entry->modified.timeSpec(), Qt::LocalTime);
}

void TestFtpListing::unixRecentTimePicksLatestPastYear_data()
{
    QTest::addColumn<int>("daysFromToday");
    QTest::addColumn<bool>("lastYear");

    QTest::newRow("today") << 0 << false;
    QTest::newRow("tomorrow, clock skew") << 1 << false;
    QTest::newRow("last month") << -30 << false;
    QTest::newRow("next month means last year") << 40 << true;
    QTest::newRow("half a year ahead means last year") << 180 << true;
}

void TestFtpListing::unixRecentTimePicksLatestPastYear()
{
    QFETCH(int, daysFromToday);
    QFETCH(bool, lastYear);

    QDate shown = QDate::currentDate().addDays(daysFromToday);
    // February 29th has no counterpart last year; the neighbouring day tests the same thing.
    if (shown.month() == 2 && shown.day() == 29)
        shown = shown.addDays(daysFromToday > 0 ? 1 : -1);
    const QDate expected = lastYear ? QDate(shown.year() - 1, shown.month(), shown.day()) : shown;

    const std::optional<ListingEntry> entry =
        zo::parseListLine("-rw-r--r-- 1 u g 1 " + lsMonthDay(shown) + " 23:59 x");
    QVERIFY(entry);
    QCOMPARE(entry->modified, QDateTime(expected, QTime(23, 59)));
}

void TestFtpListing::msDosLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("name");
    QTest::addColumn<quint32>("attributes");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<QDateTime>("modified");

    QTest::newRow("folder, 2-digit year, AM")
        << QByteArray("12-11-26  09:05AM       <DIR>          reports") << "reports"
        << kDirectoryAttribute << qint64(-1) << localTime(2026, 12, 11, 9, 5);
    QTest::newRow("file, 4-digit year, 24 h")
        << QByteArray("12-11-2026  14:30              123456 dump 1.bmp") << "dump 1.bmp" << 0u
        << qint64(123456) << localTime(2026, 12, 11, 14, 30);
    QTest::newRow("PM, year 99 is 1999") << QByteArray("01-02-99  11:59PM  17 a.bmp") << "a.bmp"
                                         << 0u << qint64(17) << localTime(1999, 1, 2, 23, 59);
    QTest::newRow("12AM is midnight, year 70 is 1970")
        << QByteArray("01-02-70 12:00AM 1 b") << "b" << 0u << qint64(1) << localTime(1970, 1, 2);
    QTest::newRow("12PM is noon, year 69 is 2069")
        << QByteArray("01-02-69 12:00PM 1 c") << "c" << 0u << qint64(1)
        << localTime(2069, 1, 2, 12, 0);
    QTest::newRow("lower-case am, year 00 is 2000")
        << QByteArray("01-02-00 12:30am 1 d") << "d" << 0u << qint64(1)
        << localTime(2000, 1, 2, 0, 30);
    QTest::newRow("PM as its own column") << QByteArray("06-15-26  09:05 PM  5  sep") << "sep" << 0u
                                          << qint64(5) << localTime(2026, 6, 15, 21, 5);
    QTest::newRow("size beyond 32 bits")
        << QByteArray("06-15-26  09:05  12345678901234 big.ts") << "big.ts" << 0u
        << qint64(12345678901234) << localTime(2026, 6, 15, 9, 5);
    QTest::newRow("size overflow is unknown")
        << QByteArray("06-15-26  09:05  99999999999999999999 big.ts") << "big.ts" << 0u
        << qint64(-1) << localTime(2026, 6, 15, 9, 5);
    QTest::newRow("trailing spaces kept") << QByteArray("06-15-26  09:05  5  pad  ") << "pad  "
                                          << 0u << qint64(5) << localTime(2026, 6, 15, 9, 5);
    QTest::newRow("name starting with a digit")
        << QByteArray("06-15-26  09:05  5 2026 report.txt") << "2026 report.txt" << 0u << qint64(5)
        << localTime(2026, 6, 15, 9, 5);
    QTest::newRow("impossible date is unknown")
        << QByteArray("02-30-26  10:00  1 odd") << "odd" << 0u << qint64(1) << QDateTime();
}

void TestFtpListing::msDosLine()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, name);
    QFETCH(quint32, attributes);
    QFETCH(qint64, size);
    QFETCH(QDateTime, modified);

    const std::optional<ListingEntry> entry = zo::parseListLine(line);
    QVERIFY(entry);
    QCOMPARE(entry->name, name);
    QCOMPARE(entry->attributes, attributes);
    QCOMPARE(entry->size, size);
    QCOMPARE(entry->modified, modified);
}

void TestFtpListing::mlsdLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("name");
    QTest::addColumn<quint32>("attributes");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<QDateTime>("modified");

    QTest::newRow("file") << QByteArray(
                                 "type=file;size=123;modify=20261211120000; name with spaces")
                          << "name with spaces" << 0u << qint64(123)
                          << utcTime(2026, 12, 11, 12, 0, 0);
    QTest::newRow("dir, fact names in mixed case, fraction")
        << QByteArray("Type=dir;Modify=20261211120000.5; reports") << "reports"
        << kDirectoryAttribute << qint64(-1) << utcTime(2026, 12, 11, 12, 0, 0, 500);
    QTest::newRow("upper-case values, milliseconds")
        << QByteArray("TYPE=FILE;SIZE=1;MODIFY=20261211120000.123; x") << "x" << 0u << qint64(1)
        << utcTime(2026, 12, 11, 12, 0, 0, 123);
    QTest::newRow("folder size from sizd") << QByteArray("type=dir;sizd=4096; d") << "d"
                                           << kDirectoryAttribute << qint64(4096) << QDateTime();
    QTest::newRow("symlink type counts as file") << QByteArray("type=OS.unix=symlink;size=5; link")
                                                 << "link" << 0u << qint64(5) << QDateTime();
    QTest::newRow("slink with target counts as file")
        << QByteArray("type=OS.unix=slink:/opt/x;size=5; link2") << "link2" << 0u << qint64(5)
        << QDateTime();
    QTest::newRow("semicolons in the name")
        << QByteArray("type=file;size=1; a; b;c") << "a; b;c" << 0u << qint64(1) << QDateTime();
    QTest::newRow("space in a fact value") << QByteArray("type=file;UNIX.owner=John Doe;size=3; x")
                                           << "x" << 0u << qint64(3) << QDateTime();
    QTest::newRow("leading and trailing spaces kept")
        << QByteArray("type=file;size=1;  two  ") << " two  " << 0u << qint64(1) << QDateTime();
    QTest::newRow("any fact order, unknown facts ignored")
        << QByteArray("size=9;perm=r;unique=801U1;type=dir;modify=19991231235959; y") << "y"
        << kDirectoryAttribute << qint64(9) << utcTime(1999, 12, 31, 23, 59, 59);
    QTest::newRow("no facts at all")
        << QByteArray(" bare") << "bare" << 0u << qint64(-1) << QDateTime();
    QTest::newRow("bad size and modify are unknown")
        << QByteArray("type=file;size=abc;modify=2026; x") << "x" << 0u << qint64(-1)
        << QDateTime();
    QTest::newRow("impossible date is unknown") << QByteArray("type=file;modify=20260230120000; x")
                                                << "x" << 0u << qint64(-1) << QDateTime();
    QTest::newRow("size overflow is unknown")
        << QByteArray("type=file;size=99999999999999999999; x") << "x" << 0u << qint64(-1)
        << QDateTime();
}

void TestFtpListing::mlsdLine()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, name);
    QFETCH(quint32, attributes);
    QFETCH(qint64, size);
    QFETCH(QDateTime, modified);

    const std::optional<ListingEntry> entry = zo::parseMlsdLine(line);
    QVERIFY(entry);
    QCOMPARE(entry->name, name);
    QCOMPARE(entry->attributes, attributes);
    QCOMPARE(entry->size, size);
    QCOMPARE(entry->modified, modified);
    if (modified.isValid())
        QCOMPARE(entry->modified.timeSpec(), Qt::UTC);
}

void TestFtpListing::unreadableOrSkippedLine_data()
{
    QTest::addColumn<ListingFormat>("format");
    QTest::addColumn<QByteArray>("line");

    const ListingFormat list = ListingFormat::List;
    const ListingFormat mlsd = ListingFormat::Mlsd;

    QTest::newRow("empty") << list << QByteArray();
    QTest::newRow("total") << list << QByteArray("total 123");
    QTest::newRow("prose") << list << QByteArray("hello world this is not a listing line at all");
    QTest::newRow("character device")
        << list << QByteArray("crw-rw-rw- 1 root root 5, 0 Dec 11  2025 tty");
    QTest::newRow("block device") << list
                                  << QByteArray("brw-rw---- 1 root disk 8 Dec 11  2025 sda");
    QTest::newRow("pipe") << list << QByteArray("prw-r--r-- 1 u g 0 Dec 11  2025 fifo");
    QTest::newRow("bad permission letter")
        << list << QByteArray("-rwxr-xr-q 1 u g 1 Dec 11  2025 x");
    QTest::newRow("short permissions") << list << QByteArray("-rwx 1 u g 1 Dec 11  2025 x");
    QTest::newRow("no name") << list << QByteArray("drwxr-xr-x 2 u g 4096 Dec 11  2025");
    QTest::newRow("only the separator")
        << list << QByteArray("drwxr-xr-x 2 u g 4096 Dec 11  2025 ");
    QTest::newRow("unknown month") << list << QByteArray("-rw-r--r-- 1 u g 1 Foo 11  2025 x");
    QTest::newRow("day 32") << list << QByteArray("-rw-r--r-- 1 u g 1 Dec 32  2025 x");
    QTest::newRow("hour 24") << list << QByteArray("-rw-r--r-- 1 u g 1 Dec 11 24:00 x");
    QTest::newRow("minute 60") << list << QByteArray("-rw-r--r-- 1 u g 1 Dec 11 12:60 x");
    QTest::newRow("size not a number") << list << QByteArray("-rw-r--r-- 1 u g abc Dec 11  2025 x");
    QTest::newRow("negative size") << list << QByteArray("-rw-r--r-- 1 u g -5 Dec 11  2025 x");
    QTest::newRow("unix dot") << list << QByteArray("drwxr-xr-x 2 u g 1 Dec 11  2025 .");
    QTest::newRow("unix dot dot") << list << QByteArray("drwxr-xr-x 2 u g 1 Dec 11  2025 ..");
    QTest::newRow("dos without name") << list << QByteArray("12-11-26  09:05AM  <DIR>");
    QTest::newRow("dos name only spaces") << list << QByteArray("12-11-26  09:05AM  12    ");
    QTest::newRow("dos month 13") << list << QByteArray("13-11-26  09:05AM  1 x");
    QTest::newRow("dos 13PM") << list << QByteArray("12-11-26  13:05PM  1 x");
    QTest::newRow("dos 0AM") << list << QByteArray("12-11-26  00:05AM  1 x");
    QTest::newRow("dos odd suffix") << list << QByteArray("12-11-26  09:05XM  1 x");
    QTest::newRow("dos slashes") << list << QByteArray("12/11/26  09:05AM  1 x");
    QTest::newRow("dos 3-digit year") << list << QByteArray("12-11-226  09:05AM  1 x");
    QTest::newRow("dos unknown marker") << list << QByteArray("12-11-26  09:05AM  <LINK>  x");
    QTest::newRow("dos grouped size") << list << QByteArray("12-11-26  09:05AM  1,234  x");
    QTest::newRow("dos dot") << list << QByteArray("12-11-26  09:05AM  <DIR>  .");
    QTest::newRow("mlsd without name separator") << mlsd << QByteArray("type=file;size=1;name");
    QTest::newRow("mlsd empty name") << mlsd << QByteArray("type=file;size=1; ");
    QTest::newRow("mlsd cdir") << mlsd << QByteArray("type=cdir;modify=20261211120000; /home/x");
    QTest::newRow("mlsd pdir") << mlsd << QByteArray("type=pdir; /home");
    QTest::newRow("mlsd cdir in capitals") << mlsd << QByteArray("TYPE=CDir; x");
    QTest::newRow("mlsd dot") << mlsd << QByteArray("type=dir; .");
    QTest::newRow("mlsd dot dot") << mlsd << QByteArray("type=dir; ..");
}

void TestFtpListing::unreadableOrSkippedLine()
{
    QFETCH(ListingFormat, format);
    QFETCH(QByteArray, line);

    const std::optional<ListingEntry> entry =
        format == ListingFormat::Mlsd ? zo::parseMlsdLine(line) : zo::parseListLine(line);
    QVERIFY2(!entry, qPrintable(entry ? entry->name : QString()));
    QVERIFY(zo::parseListing(line + "\r\n", format).isEmpty());
}

void TestFtpListing::wholeReply_data()
{
    QTest::addColumn<ListingFormat>("format");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("folders");

    const QByteArray unixLines[] = {"total 8", "drwxr-xr-x 2 u g 4096 Dec 11  2025 .",
                                    "drwxr-xr-x 2 u g 4096 Dec 11  2025 ..",
                                    "drwxr-xr-x 2 u g 4096 Dec 11  2025 reports",
                                    "-rw-r--r-- 1 u g 12 Dec 11  2025 my dump.bmp"};
    const QStringList unixNames = {"reports", "my dump.bmp"};
    const QStringList unixFolders = {"reports"};

    QByteArray crlf;
    QByteArray lf;
    for (const QByteArray& line : unixLines) {
        crlf += line + "\r\n";
        lf += line + "\n";
    }
    QTest::newRow("unix CRLF") << ListingFormat::List << crlf << unixNames << unixFolders;
    QTest::newRow("unix LF") << ListingFormat::List << lf << unixNames << unixFolders;
    QTest::newRow("unix no final line end")
        << ListingFormat::List << crlf.chopped(2) << unixNames << unixFolders;
    QTest::newRow("blank and garbage lines between")
        << ListingFormat::List
        << QByteArray("\r\n-rw-r--r-- 1 u g 1 Dec 11  2025 a\r\n\r\ngarbage\n\n"
                      "12-11-26  09:05AM  <DIR>  b\r\n")
        << QStringList{"a", "b"} << QStringList{"b"};
    QTest::newRow("dos mixed line ends")
        << ListingFormat::List
        << QByteArray("12-11-26  09:05AM       <DIR>          reports\n"
                      "12-11-2026  14:30              123456 dump 1.bmp\r\n"
                      "01-02-99  11:59PM  17 a.bmp")
        << QStringList{"reports", "dump 1.bmp", "a.bmp"} << QStringList{"reports"};
    QTest::newRow("mlsd with cdir and pdir")
        << ListingFormat::Mlsd
        << QByteArray("type=cdir;modify=20261211120000; /data\r\n"
                      "type=pdir;modify=20261211120000; /\r\n"
                      "type=dir;modify=20261211120000; reports\r\n"
                      "type=file;size=3;modify=20261211120000; a; b.bmp")
        << QStringList{"reports", "a; b.bmp"} << QStringList{"reports"};
    QTest::newRow("list reply read as mlsd")
        << ListingFormat::Mlsd << crlf << QStringList() << QStringList();
    QTest::newRow("empty") << ListingFormat::List << QByteArray() << QStringList() << QStringList();
    QTest::newRow("only line ends")
        << ListingFormat::Mlsd << QByteArray("\r\n\n\r\n") << QStringList() << QStringList();
}

void TestFtpListing::wholeReply()
{
    QFETCH(ListingFormat, format);
    QFETCH(QByteArray, reply);
    QFETCH(QStringList, names);
    QFETCH(QStringList, folders);

    QStringList gotNames;
    QStringList gotFolders;
    for (const ListingEntry& entry : zo::parseListing(reply, format)) {
        gotNames << entry.name;
        if (entry.attributes & kDirectoryAttribute)
            gotFolders << entry.name;
    }
    QCOMPARE(gotNames, names);
    QCOMPARE(gotFolders, folders);
}

void TestFtpListing::nameEncoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");

    QTest::newRow("utf-8") << QByteArray("caf\xC3\xA9.bmp") << QStringLiteral(u"café.bmp");
    QTest::newRow("utf-8 outside the BMP")
        << QByteArray("\xF0\x9F\x93\xBA.ts") << QStringLiteral(u"\U0001F4FA.ts");
    QTest::newRow("utf-8 byte order mark kept")
        << QByteArray("\xEF\xBB\xBFx") << QStringLiteral(u"\uFEFFx");
    QTest::newRow("latin-1") << QByteArray("caf\xE9.bmp") << QStringLiteral(u"caf\u00E9.bmp");
    QTest::newRow("truncated utf-8 falls back to latin-1")
        << QByteArray("a\xC3") << QStringLiteral(u"a\u00C3");
    QTest::newRow("overlong utf-8 falls back to latin-1")
        << QByteArray("\xC0\xAF") << QStringLiteral(u"\u00C0\u00AF");
    QTest::newRow("encoded surrogate falls back to latin-1")
        << QByteArray("\xED\xA0\x80") << QStringLiteral(u"\u00ED\u00A0\u0080");
}

void TestFtpListing::nameEncoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);

    for (const bool msDos : {false, true}) {
        const std::optional<ListingEntry> entry =
            zo::parseListLine(lineFor(ListingFormat::List, msDos, bytes));
        QVERIFY(entry);
        QCOMPARE(entry->name, name);
    }
    const std::optional<ListingEntry> entry =
        zo::parseMlsdLine(lineFor(ListingFormat::Mlsd, false, bytes));
    QVERIFY(entry);
    QCOMPARE(entry->name, name);
}

void TestFtpListing::hostileNamesPassThrough_data()
{
    QTest::addColumn<ListingFormat>("format");
    QTest::addColumn<bool>("msDos");
    QTest::addColumn<QByteArray>("name");

    const QByteArray names[] = {"../escape.bmp", "a/b", "..\\up.bmp", "/etc/passwd",
                                "C:\\boot.ini",  "...", ". ",         "CON"};
    for (const QByteArray& name : names) {
        QTest::addRow("unix %s", name.constData()) << ListingFormat::List << false << name;
        QTest::addRow("dos %s", name.constData()) << ListingFormat::List << true << name;
        QTest::addRow("mlsd %s", name.constData()) << ListingFormat::Mlsd << false << name;
    }
}

void TestFtpListing::hostileNamesPassThrough()
{
    QFETCH(ListingFormat, format);
    QFETCH(bool, msDos);
    QFETCH(QByteArray, name);

    const QList<ListingEntry> entries =
        zo::parseListing(lineFor(format, msDos, name) + "\r\n", format);
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries.first().name, QString::fromLatin1(name));
    QCOMPARE(entries.first().size, qint64(10));
}

QTEST_APPLESS_MAIN(TestFtpListing)

#include "TestFtpListing.moc"
