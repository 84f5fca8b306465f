// The window's batches: what the status bar shows, what the error log gains, when the error
// page comes to the front, and the busy protocol that turns a second press into a cancel.

#include "DialogRecorder.h"
#include "Pictures.h"
#include "TestEnvironment.h"
#include "WindowDriving.h"
#include "ZoSim.h"
#include "app/ZoApplication.h"
#include "app/ZoFtpForm.h"
#include "platform/ListBox.h"
#include "platform/StatusBar.h"
#include "platform/WebCopy.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

using namespace zo;

namespace {

QByteArray filler(int size)
{
    return QByteArray(size, 'z');
}

// What panels 0 and 1 showed as each item started, seen after the window's own handler.
struct StartLog
{
    explicit StartLog(TZoFtpForm& form)
    {
        QObject::connect(form.WebCopy, &WebCopy::OnFileStart, [this, &form](int) {
            operations << form.StatusBar->panelText(0);
            files << form.StatusBar->panelText(1);
            styles << form.StatusBar->progressStyle();
        });
    }
    QStringList operations;
    QStringList files;
    QList<PanelStyle> styles;
};

} // namespace

class TestTransfers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void statusBarFollowsTheItems();
    void successfulBatchLeavesNoTrace();
    void unreachableBatchIsReported();
    void unreportedWhenNotBusy();
    void secondPressCancels();
    void otherCommandsWaitForTheRunningBatch();
    void busyCommandsWaitForAPlainBatch();
    void closingStopsTheTransfers();
    void zeroSizeSetsMaxToZero();
    void errorLogClear();
    void connectErrorBox();
};

void TestTransfers::init()
{
    QDir(test::dataDir()).removeRecursively();
}

void TestTransfers::statusBarFollowsTheItems()
{
    test::ZoSim sim;
    QStringList names;
    for (int index = 1; index <= 5; ++index) {
        names << QStringLiteral("f%1.bin").arg(index);
        QVERIFY(sim.put(QStringLiteral("screendumps/") + names.last(), filler(3000 * index)));
    }
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    TZoFtpForm form({});
    test::pointAt(form, sim.ftpPort());
    StartLog starts(form);
    form.Busy = true;
    const QString local = test::testHome() + QStringLiteral("/status/");

    form.TransferFiles(local, QStringLiteral("screendumps\\"), names, false);
    QCOMPARE(starts.operations[1], QStringLiteral("Download File 2 of 5: "));
    QCOMPARE(starts.files, names);
    QCOMPARE(starts.styles[0], PanelStyle::Progress);
    // each item's end blanks the panels
    QCOMPARE(form.StatusBar->panelText(0), QString());
    QCOMPARE(form.StatusBar->panelText(1), QString());
    QCOMPARE(form.StatusBar->progressStyle(), PanelStyle::Text);
    QCOMPARE(form.StatusBar->progressMax(), quint64(15000));

    QStringList found;
    form.ListRemoteFiles(QStringLiteral("screendumps/*.bin"), found, false);
    QCOMPARE(starts.operations.last(), QStringLiteral("Directory"));
    QCOMPARE(starts.files.last(), QStringLiteral("screendumps/*.bin"));
    form.DeleteRemoteFiles(QStringLiteral("screendumps\\"), {"f1.bin"});
    QCOMPARE(starts.operations.last(), QStringLiteral("Delete File 1 of 1: "));
    QCOMPARE(starts.styles.last(), PanelStyle::Text);
    QCOMPARE(form.WebCopy->Items.Count(), 0);
    QVERIFY(!sim.has("screendumps/f1.bin"));
}

void TestTransfers::successfulBatchLeavesNoTrace()
{
    test::ZoSim sim;
    QVERIFY(sim.put("reports/2026/r.txt", "r"));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    TZoFtpForm form({});
    test::pointAt(form, sim.ftpPort());
    form.MainPager->setCurrentWidget(form.ReportFiles);
    form.Busy = true;
    QStringList names;
    form.ListRemoteFiles(QStringLiteral("reports/*"), names, true);
    form.TransferFiles(test::testHome() + QStringLiteral("/ok/"), QStringLiteral("reports\\2026\\"),
                       {"r.txt"}, false);
    QCOMPARE(names, QStringList{"2026"});
    QCOMPARE(form.ErrorLog->count(), 0);
    QCOMPARE(form.MainPager->currentWidget(), form.ReportFiles);
}

void TestTransfers::unreachableBatchIsReported()
{
    TZoFtpForm form({});
    test::pointAt(form, test::closedPort());
    StartLog starts(form);
    form.Busy = true;
    form.TransferFiles(test::testHome() + QStringLiteral("/unreachable/"),
                       QStringLiteral("screendumps\\"), {"a.bmp", "b.bmp"}, false);
    QCOMPARE(form.ErrorLog->lines(), (QStringList{"Cannot connect to FTP server 127.0.0.1",
                                                  "Failed FTP download: screendumps/a.bmp",
                                                  "Failed FTP download: screendumps/b.bmp"}));
    QCOMPARE(form.MainPager->currentWidget(), form.ErrorLogPage);
    // the failed item ended without its done event: its start texts stay
    QCOMPARE(starts.operations, QStringList{"Download File 1 of 2: "});
    QCOMPARE(form.StatusBar->panelText(0), QStringLiteral("Download File 1 of 2: "));
    QVERIFY(form.Busy);
}

void TestTransfers::unreportedWhenNotBusy()
{
    test::ZoSim sim;
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    TZoFtpForm form({});
    test::pointAt(form, sim.ftpPort());
    form.MainPager->setCurrentWidget(form.ReportFiles);
    form.TransferFiles(test::testHome() + QStringLiteral("/quiet/"), QStringLiteral("\\"),
                       {"nothere.cfg"}, false);
    QCOMPARE(form.ErrorLog->count(), 0);
    QCOMPARE(form.MainPager->currentWidget(), form.ReportFiles);

    // a listing always shows the error page when it fails, without a line of its own
    test::pointAt(form, test::closedPort());
    QStringList names;
    form.ListRemoteFiles(QStringLiteral("reports/*"), names, true);
    QCOMPARE(form.ErrorLog->lines(), QStringList{"Cannot connect to FTP server 127.0.0.1"});
    QCOMPARE(form.MainPager->currentWidget(), form.ErrorLogPage);
}

void TestTransfers::secondPressCancels()
{
    test::ZoSim sim({QStringLiteral("--rate"), QStringLiteral("300000")});
    QVERIFY(sim.put("screendumps/a.bmp", test::bitmap(1000, 1000)));
    QVERIFY(sim.put("screendumps/b.bmp", test::bitmap(10, 10)));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    TZoFtpForm form({});
    form.show();
    test::pointAt(form, sim.ftpPort());
    form.MainPager->setCurrentWidget(form.ScreenDumps);

    bool pressedAgain = false;
    QString captionWhileRunning;
    bool latestEnabledWhileRunning = true;
    QObject::connect(form.WebCopy, &WebCopy::OnCopyProgress, &form,
                     [&](int, quint64 size, quint64) {
                         if (size == 0 || pressedAgain)
                             return;
                         pressedAgain = true;
                         captionWhileRunning = form.GetAllScreenDumps->text();
                         latestEnabledWhileRunning = form.RefreshList->isEnabled();
                         QTest::mouseClick(form.GetAllScreenDumps, Qt::LeftButton);
                     });
    QTest::mouseClick(form.GetAllScreenDumps, Qt::LeftButton);

    QVERIFY(pressedAgain);
    QCOMPARE(captionWhileRunning, QStringLiteral("Cancel"));
    QVERIFY(!latestEnabledWhileRunning);
    QCOMPARE(form.StatusBar->panelText(0), QStringLiteral("ABORTED!"));
    QCOMPARE(form.StatusBar->progressStyle(), PanelStyle::Text);
    QCOMPARE(form.GetAllScreenDumps->text(), QStringLiteral("Get All"));
    QVERIFY(!form.Busy);
    QVERIFY(form.RefreshList->isEnabled());
    QCOMPARE(form.ErrorLog->count(), 0);
    QCOMPARE(form.MainPager->currentWidget(), form.ScreenDumps);
    const QString local =
        test::documentsPath() + QStringLiteral("/CorvaneZoFtp/127.0.0.1/ScreenDumps");
    QCOMPARE(QDir(local).entryList(QDir::Files | QDir::Hidden), QStringList{});
}

void TestTransfers::otherCommandsWaitForTheRunningBatch()
{
    test::ZoSim sim({QStringLiteral("--rate"), QStringLiteral("500000")});
    QVERIFY(sim.put("screendumps/a.bmp", test::bitmap(700, 700)));
    QVERIFY(sim.put("reports/2026/r.txt", "r"));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    TZoFtpForm form({});
    form.show();
    test::pointAt(form, sim.ftpPort());
    form.ReportList->addLine(QStringLiteral("from before"));

    bool pressed = false;
    QObject::connect(form.WebCopy, &WebCopy::OnCopyProgress, &form,
                     [&](int, quint64 size, quint64) {
                         if (size > 0 && !pressed) {
                             pressed = true;
                             QTest::mouseClick(form.ListReports, Qt::LeftButton);
                             QTest::mouseClick(form.RefreshList, Qt::LeftButton);
                         }
                     });
    QTest::mouseClick(form.GetAllScreenDumps, Qt::LeftButton);
    QVERIFY(pressed);
    QVERIFY(form.ErrorLog->count() >= 1);
    QVERIFY(form.ErrorLog->lines().first().startsWith(
        QStringLiteral("Another transfer is still running")));
    QCOMPARE(form.ReportList->lines(), QStringList{"from before"});
    // the running batch finished undisturbed
    const QString local =
        test::documentsPath() + QStringLiteral("/CorvaneZoFtp/127.0.0.1/ScreenDumps/");
    QCOMPARE(test::readFile(local + QStringLiteral("a.bmp")), test::bitmap(700, 700));
    QCOMPARE(form.ScreenDumpList->lines(), QStringList{"a.bmp"});
}

void TestTransfers::busyCommandsWaitForAPlainBatch()
{
    test::ZoSim sim({QStringLiteral("--list-delay"), QStringLiteral("1")});
    QVERIFY(sim.put("reports/2026/r.txt", "r"));
    QVERIFY(sim.put("screendumps/a.bmp", test::bitmap(4, 4)));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    TZoFtpForm form({});
    form.show();
    test::pointAt(form, sim.ftpPort());

    // "Get All" pressed while "List Reports" waits for its listing cannot start
    QTimer::singleShot(300, &form,
                       [&form] { QTest::mouseClick(form.GetAllScreenDumps, Qt::LeftButton); });
    QTest::mouseClick(form.ListReports, Qt::LeftButton);
    QCOMPARE(form.ReportList->lines(), QStringList{"2026"});
    QVERIFY(form.ErrorLog->lines().value(0).startsWith(
        QStringLiteral("Another transfer is still running")));
    QVERIFY(!form.Busy);
    QCOMPARE(form.GetAllScreenDumps->text(), QStringLiteral("Get All"));
    QVERIFY(form.RefreshList->isEnabled());
    QCOMPARE(sim.countCommands(QStringLiteral("RETR")), 0);
}

void TestTransfers::closingStopsTheTransfers()
{
    test::ZoSim sim({QStringLiteral("--rate"), QStringLiteral("200000")});
    QVERIFY(sim.put("screendumps/a.bmp", test::bitmap(1000, 1000)));
    QVERIFY(sim.put("screendumps/b.bmp", test::bitmap(1000, 1000, 2)));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    TZoFtpForm form({});
    form.show();
    test::pointAt(form, sim.ftpPort());
    bool closed = false;
    QObject::connect(form.WebCopy, &WebCopy::OnCopyProgress, &form,
                     [&](int, quint64 size, quint64) {
                         if (size > 0 && !closed) {
                             closed = true;
                             form.close();
                         }
                     });
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(form.GetAllScreenDumps, Qt::LeftButton);
    QVERIFY(closed);
    // two 3 MB files at 200 kB/s would take half a minute
    QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!form.Busy);
    QCOMPARE(sim.countCommands(QStringLiteral("RETR")), 1);
    const QString local =
        test::documentsPath() + QStringLiteral("/CorvaneZoFtp/127.0.0.1/ScreenDumps");
    QCOMPARE(QDir(local).entryList(QDir::Files | QDir::Hidden), QStringList{});
}

void TestTransfers::zeroSizeSetsMaxToZero()
{
    test::ZoSim sim;
    QVERIFY(sim.put("screendumps/empty.bmp", QByteArray()));
    QVERIFY2(sim.start(), qPrintable(sim.error()));
    TZoFtpForm form({});
    test::pointAt(form, sim.ftpPort());
    form.TransferFiles(test::testHome() + QStringLiteral("/zero/"), QStringLiteral("screendumps\\"),
                       {"empty.bmp"}, false);
    QCOMPARE(form.StatusBar->progressMax(), quint64(0));
    QCOMPARE(form.StatusBar->shownPercent(), 0);
    QVERIFY(QFileInfo::exists(test::testHome() + QStringLiteral("/zero/empty.bmp")));
}

void TestTransfers::errorLogClear()
{
    TZoFtpForm form({});
    form.ClearLog->trigger();
    QCOMPARE(form.ErrorLog->count(), 0);
    form.ErrorLog->addLines({"one", "two"});
    form.ClearLog->trigger();
    QCOMPARE(form.ErrorLog->count(), 0);
    form.WebCopyErrorInfo(12, QStringLiteral("three"));
    QCOMPARE(form.ErrorLog->lines(), QStringList{"three"});
}

void TestTransfers::connectErrorBox()
{
    TZoFtpForm form({});
    test::DialogRecorder dialogs;
    Q_EMIT form.WebCopy->OnConnectError();
    QCOMPARE(dialogs.texts(), QStringList{"Could not connect to Zo"});
    QCOMPARE(dialogs.requests.first().icon, MessageIcon::Error);
    QCOMPARE(dialogs.requests.first().buttons, QList<MessageButton>{MessageButton::Ok});
}

ZO_GUI_TEST_MAIN(TestTransfers)
#include "TestTransfers.moc"
