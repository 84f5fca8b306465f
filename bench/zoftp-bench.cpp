// Measures what a person notices of the engine: how long the window's event loop waits while a
// large download runs, how soon a cancel ends that download, and how long an extraction takes.
// bench/run starts the simulated instrument and calls this program once per figure.
//
//   zoftp-bench window-latency --port P --to DIR [--remote-dir big] [--file big.bin]
//   zoftp-bench cancel-delay   --port P --to DIR [--remote-dir big] [--file big.bin]
//                              [--at-percent 25]
//   zoftp-bench extract        --zip ARCHIVE --to DIR
//
// Each mode prints one line of name=value figures on stdout and exits 0 when the operation
// did what it should (1 otherwise, with the reason on stderr).

#include "app/ZoApplication.h"
#include "app/ZoFtpForm.h"
#include "platform/WebCopy.h"
#include "platform/ZipBuilder.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMap>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

// --name value pairs after the mode
QMap<QString, QString> optionsOf(int argc, char* argv[])
{
    QMap<QString, QString> options;
    for (int index = 2; index + 1 < argc; index += 2) {
        QString name = QString::fromLocal8Bit(argv[index]);
        if (name.startsWith(QStringLiteral("--")))
            options.insert(name.mid(2), QString::fromLocal8Bit(argv[index + 1]));
    }
    return options;
}

void fail(const QString& reason)
{
    std::fprintf(stderr, "zoftp-bench: %s\n", qPrintable(reason));
}

double milliseconds(qint64 nanoseconds)
{
    return static_cast<double>(nanoseconds) / 1e6;
}

struct DownloadSetup
{
    QString folder;
    QString remotePrefix;
    QString file;
};

std::optional<DownloadSetup> downloadSetup(const QMap<QString, QString>& options)
{
    if (!options.contains(QStringLiteral("port")) || !options.contains(QStringLiteral("to"))) {
        fail(QStringLiteral("--port and --to are needed"));
        return std::nullopt;
    }
    qputenv("ZOFTP_PORT", options.value(QStringLiteral("port")).toLocal8Bit());
    DownloadSetup setup;
    setup.folder = QDir(options.value(QStringLiteral("to"))).absolutePath();
    setup.remotePrefix =
        options.value(QStringLiteral("remote-dir"), QStringLiteral("big")) + QLatin1Char('\\');
    setup.file = options.value(QStringLiteral("file"), QStringLiteral("big.bin"));
    return setup;
}

// Files a cancelled download must not leave behind: the file itself or its temporary copy.
QStringList leftOvers(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

// The download in the window as its handlers run it, with a timer on the window's thread that
// should fire every millisecond: how late it fires is how long the event loop was held up.
int windowLatency(const QMap<QString, QString>& options)
{
    const auto setup = downloadSetup(options);
    if (!setup)
        return 1;
    zo::TZoFtpForm form({});
    form.show();
    form.ZoIPAddress->setEditText(QStringLiteral("127.0.0.1"));
    QCoreApplication::processEvents();

    constexpr int kIntervalMs = 1;
    QElapsedTimer sinceTick;
    qint64 worstLateNs = 0;
    qint64 ticks = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(kIntervalMs);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 late = sinceTick.nsecsElapsed() - qint64(kIntervalMs) * 1000000;
        worstLateNs = std::max(worstLateNs, late);
        ++ticks;
        sinceTick.restart();
    });

    QElapsedTimer whole;
    whole.start();
    sinceTick.start();
    tick.start();
    form.Busy = true;
    form.TransferFiles(setup->folder, setup->remotePrefix, {setup->file}, false);
    tick.stop();
    const qint64 wholeNs = whole.nsecsElapsed();
    form.Busy = false;

    const QFileInfo result(setup->folder + QLatin1Char('/') + setup->file);
    std::printf("max_wait_ms=%.1f ticks=%lld seconds=%.3f bytes=%lld\n", milliseconds(worstLateNs),
                static_cast<long long>(ticks), milliseconds(wholeNs) / 1000.0,
                static_cast<long long>(result.exists() ? result.size() : -1));
    if (!result.exists()) {
        fail(QStringLiteral("the download did not arrive"));
        return 1;
    }
    return 0;
}

// The download in the window, and the busy button's second press (ToggleBusy, which cancels)
// once a share of the file has arrived: the time from that press until TransferFiles returns.
int cancelDelay(const QMap<QString, QString>& options)
{
    const auto setup = downloadSetup(options);
    if (!setup)
        return 1;
    const quint64 atPercent =
        options.value(QStringLiteral("at-percent"), QStringLiteral("25")).toULongLong();
    zo::TZoFtpForm form({});
    form.show();
    form.ZoIPAddress->setEditText(QStringLiteral("127.0.0.1"));
    QCoreApplication::processEvents();

    QElapsedTimer sincePress;
    bool pressed = false;
    quint64 pressedAt = 0;
    QObject::connect(form.WebCopy, &zo::WebCopy::OnCopyProgress,
                     [&](int, quint64 size, quint64 total) {
                         if (pressed || total == 0 || size * 100 < total * atPercent)
                             return;
                         pressed = true;
                         pressedAt = size;
                         sincePress.start();
                         form.ToggleBusy(); // Busy was set: this press cancels
                     });

    form.Busy = true;
    form.TransferFiles(setup->folder, setup->remotePrefix, {setup->file}, false);
    const qint64 delayNs = pressed ? sincePress.nsecsElapsed() : -1;
    form.Busy = false;

    std::printf("cancel_ms=%.1f pressed_at_bytes=%llu\n", milliseconds(delayNs),
                static_cast<unsigned long long>(pressedAt));
    if (!pressed) {
        fail(QStringLiteral("the download ended before the cancel could be pressed"));
        return 1;
    }
    const QStringList left = leftOvers(setup->folder);
    if (!left.isEmpty()) {
        fail(QStringLiteral("the cancelled download left files behind: ") +
             left.join(QStringLiteral(", ")));
        return 1;
    }
    return 0;
}

int extract(const QMap<QString, QString>& options)
{
    if (!options.contains(QStringLiteral("zip")) || !options.contains(QStringLiteral("to"))) {
        fail(QStringLiteral("--zip and --to are needed"));
        return 1;
    }
    zo::ZipBuilder zip;
    bool failed = false;
    zip.setErrorReporter([&failed](const QString& text) {
        failed = true;
        fail(text);
    });
    zip.FileName = options.value(QStringLiteral("zip"));
    zip.ExtrBaseDir = options.value(QStringLiteral("to"));
    QElapsedTimer whole;
    whole.start();
    const int written = zip.Extract();
    const qint64 wholeNs = whole.nsecsElapsed();
    std::printf("seconds=%.3f files=%d\n", milliseconds(wholeNs) / 1000.0, written);
    return failed ? 1 : 0;
}

int usage()
{
    fail(QStringLiteral("usage: zoftp-bench window-latency|cancel-delay|extract --name value..."));
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 2)
        return usage();
    const QString mode = QString::fromLocal8Bit(argv[1]);
    const QMap<QString, QString> options = optionsOf(argc, argv);
    if (mode == QStringLiteral("extract")) {
        QCoreApplication application(argc, argv);
        return extract(options);
    }
    if (mode == QStringLiteral("window-latency") || mode == QStringLiteral("cancel-delay")) {
        zo::ZoApplication application(argc, argv);
        return mode == QStringLiteral("window-latency") ? windowLatency(options)
                                                        : cancelDelay(options);
    }
    return usage();
}
