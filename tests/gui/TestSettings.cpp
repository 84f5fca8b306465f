// Settings and the address history.

#include "DialogRecorder.h"
#include "TestEnvironment.h"
#include "app/ZoApplication.h"

#include <QtTest>

class TestSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void beingWritten() { QSKIP("written next"); }
};

ZO_GUI_TEST_MAIN(TestSettings)
#include "TestSettings.moc"
