// The command-line tool.

#include "TestEnvironment.h"

#include <QCoreApplication>
#include <QtTest>

class TestCli : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void beingWritten() { QSKIP("written next"); }
};

ZO_TEST_MAIN(TestCli, QCoreApplication, false)
#include "TestCli.moc"
