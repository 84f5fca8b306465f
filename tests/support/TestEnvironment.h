#pragma once

#include <QString>
#include <QStringList>
#include <QtTest>

namespace zo::test {

// Gives the test process a home of its own: HOME (with a Documents folder), the XDG folders,
// the settings and the temporary folder all live below one temporary folder that goes away
// when the process ends. Must run before the application object is made.
void prepareEnvironment(bool gui);

// The temporary home of this process.
QString testHome();
QString documentsPath();

// The program's data folder in the test home, the folder kept for an address, and its screen
// dumps, each ending with "/".
QString dataDir();
QString deviceDirOf(const QString& address);
QString dumpsOf(const QString& address);

// Every entry of a local folder, hidden ones (temporary files) included, by name.
QStringList entriesOf(const QString& folder);

// Forgets what earlier tests left: the data folder, the stored settings and the port override.
void forgetEarlierTests();

// Waits, keeping events moving, until the condition holds or the time is up.
bool waitFor(const std::function<bool()>& condition, int timeoutMs = 20000);

// Writes a file, making its folders; returns false when it could not.
bool writeFile(const QString& path, const QByteArray& content);
QByteArray readFile(const QString& path);

} // namespace zo::test

// A Qt Test main that prepares the environment first.
#define ZO_TEST_MAIN(TestClass, ApplicationClass, gui)                                             \
    int main(int argc, char* argv[])                                                               \
    {                                                                                              \
        zo::test::prepareEnvironment(gui);                                                         \
        ApplicationClass application(argc, argv);                                                  \
        TestClass test;                                                                            \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }

// The same for the window's tests: message boxes outside a DialogRecorder fail the test.
#define ZO_GUI_TEST_MAIN(TestClass)                                                                \
    int main(int argc, char* argv[])                                                               \
    {                                                                                              \
        zo::test::prepareEnvironment(true);                                                        \
        zo::ZoApplication application(argc, argv);                                                 \
        zo::test::failOnUnexpectedDialogs();                                                       \
        TestClass test;                                                                            \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
