#include "platform/Wildcard.h"

#include <QElapsedTimer>
#include <QTest>

class TestWildcard : public QObject
{
    Q_OBJECT

private slots:
    void matchesMask_data();
    void matchesMask();
    void longInputsStayFast();
    void hasWildcard_data();
    void hasWildcard();
};

void TestWildcard::matchesMask_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<bool>("matches");

    QTest::newRow("extension, other case") << "DUMP1.BMP"
                                           << "*.bmp" << true;
    QTest::newRow("extension differs") << "dump1.bmpx"
                                       << "*.bmp" << false;
    QTest::newRow("prefix, other case") << "Release1.ZIP"
                                        << "release*.zip" << true;
    QTest::newRow("star matches nothing") << "release.zip"
                                          << "release*.zip" << true;
    QTest::newRow("text before the prefix") << "xrelease1.zip"
                                            << "release*.zip" << false;
    QTest::newRow("text after the extension") << "release1.zip.bak"
                                              << "release*.zip" << false;
    QTest::newRow("star dot star without a dot") << "tsg"
                                                 << "*.*" << true;
    QTest::newRow("star dot star, empty name") << ""
                                               << "*.*" << true;
    QTest::newRow("dot star needs a dot elsewhere") << "tsg"
                                                    << "t*.*" << false;
    QTest::newRow("question mark one character") << "a.txt"
                                                 << "?.txt" << true;
    QTest::newRow("question mark not two") << "ab.txt"
                                           << "?.txt" << false;
    QTest::newRow("question mark not zero") << ".txt"
                                            << "?.txt" << false;
    QTest::newRow("question mark takes a surrogate pair")
        << QStringLiteral(u"\U0001F4FA.ts") << "?.ts" << true;
    QTest::newRow("literal brackets") << "a[1].bmp"
                                      << "a[1].bmp" << true;
    QTest::newRow("brackets are no class") << "a1.bmp"
                                           << "a[1].bmp" << false;
    QTest::newRow("backslash is literal") << "a\\b"
                                          << "a\\b" << true;
    QTest::newRow("exact, other case") << "Log.TXT"
                                       << "log.txt" << true;
    QTest::newRow("non-ASCII case")
        << QStringLiteral(u"ÉTÉ.bmp") << QStringLiteral(u"été.*") << true;
    QTest::newRow("needs a later star") << "abxbc"
                                        << "a*bc" << true;
    QTest::newRow("scattered letters") << "xxaxxbxxcxx"
                                       << "*a*b*c*" << true;
    QTest::newRow("scattered letters, end anchored") << "xxaxxbxxcxx"
                                                     << "*a*b*c" << false;
    QTest::newRow("scattered letters, last c at the end") << "abcabcabc"
                                                          << "*a*b*c" << true;
    QTest::newRow("scattered letters, order matters") << "cba"
                                                      << "*a*b*c" << false;
    QTest::newRow("only stars, empty name") << ""
                                            << "***" << true;
    QTest::newRow("question mark, empty name") << ""
                                               << "?" << false;
    QTest::newRow("empty mask, empty name") << ""
                                            << "" << true;
    QTest::newRow("empty mask, some name") << "a"
                                           << "" << false;
    QTest::newRow("literal, empty name") << ""
                                         << "a" << false;
    QTest::newRow("trailing stars") << "abc"
                                    << "abc**" << true;
    QTest::newRow("star then question mark needs one") << "ab"
                                                       << "ab*?" << false;
}

void TestWildcard::matchesMask()
{
    QFETCH(QString, name);
    QFETCH(QString, mask);
    QFETCH(bool, matches);

    QCOMPARE(zo::matchesMask(name, mask), matches);
}

void TestWildcard::longInputsStayFast()
{
    // Backtracking into every star would take ages on these; the greedy scan does not.
    const QString name = QString(20000, u'a');
    const QString mask = QString("*a").repeated(30) + "*b";
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!zo::matchesMask(name, mask));
    QVERIFY(zo::matchesMask(name + u'b', mask));
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
}

void TestWildcard::hasWildcard_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<bool>("wildcard");

    QTest::newRow("star") << "*.bmp" << true;
    QTest::newRow("question mark") << "dump?.bmp" << true;
    QTest::newRow("plain name") << "dump1.bmp" << false;
    QTest::newRow("brackets") << "a[1].bmp" << false;
    QTest::newRow("empty") << "" << false;
}

void TestWildcard::hasWildcard()
{
    QFETCH(QString, mask);
    QFETCH(bool, wildcard);

    QCOMPARE(zo::hasWildcard(mask), wildcard);
}

QTEST_APPLESS_MAIN(TestWildcard)

#include "TestWildcard.moc"
