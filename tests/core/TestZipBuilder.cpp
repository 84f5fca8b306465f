// Extracting release archives.

#include "TestEnvironment.h"

#include <QCoreApplication>
#include <QtTest>

class TestZipBuilder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void beingWritten() { QSKIP("written next"); }
};

ZO_TEST_MAIN(TestZipBuilder, QCoreApplication, false)
#include "TestZipBuilder.moc"
