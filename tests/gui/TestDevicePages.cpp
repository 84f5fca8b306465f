// The device pages: screen dumps, reports, test patterns, manufacturing.

#include "DialogRecorder.h"
#include "TestEnvironment.h"
#include "app/ZoApplication.h"

#include <QtTest>

class TestDevicePages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void beingWritten() { QSKIP("written next"); }
};

ZO_GUI_TEST_MAIN(TestDevicePages)
#include "TestDevicePages.moc"
