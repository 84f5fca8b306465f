#include "cli/CliCommands.h"

#include "app/StartUp.h"
#include "pages/PageOperations.h"
#include "pages/PageTexts.h"
#include "platform/Console.h"
#include "platform/ShellServices.h"
#include "platform/WebCopy.h"
#include "platform/ZipBuilder.h"
#include "releases/Manifest.h"
#include "releases/ReleaseOperations.h"
#include "releases/ReleaseTexts.h"
#include "transfer/DeviceBatches.h"
#include "transfer/ProgressTexts.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <map>

namespace zo::cli {
namespace {

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

void say(const QString& line)
{
    err() << line << Qt::endl;
}

// The command line as the host of batch operations: the address from --host, failures always
// reported, the error log on stderr.
class CliHost : public BatchHost
{
public:
    explicit CliHost(QString host) : m_host(std::move(host)) {}
    QString addressText() const override { return m_host; }
    bool isBusy() const override { return true; }
    void appendErrorLog(const QString& line) override { say(line); }
    void showErrorLog() override {}

private:
    QString m_host;
};

// Everything one command needs: the transfer component, the zip component and the batches,
// with progress on stderr when a person watches it and Ctrl+C turned into a cancel.
class Session
{
public:
    explicit Session(const QString& host) : m_host(host), m_batches(m_webCopy, m_host)
    {
        QObject::connect(&m_webCopy, &WebCopy::OnErrorInfo, [this](int code, const QString& text) {
            say(text);
            if (DeviceBatches::cancelsBatch(code))
                m_webCopy.CancelCopy();
        });
        QObject::connect(&m_webCopy, &WebCopy::OnRemovedFileFailed, [this](int idx) {
            const TWebCopyItem& item = m_webCopy.Items[idx];
            say(QStringLiteral("Not deleted: %1%2").arg(item.TargetDir, item.URL));
        });
        m_zip.setErrorReporter(say);
        if (stderrIsTerminal())
            showProgress();
        installInterruptHandler();
        QObject::connect(&m_interruptPoll, &QTimer::timeout, [this] {
            if (!interruptRequested() || m_cancelled)
                return;
            m_cancelled = true;
            m_webCopy.CancelCopy();
            m_zip.Cancel();
            say(QStringLiteral("ABORTED!"));
        });
        m_interruptPoll.start(100);
    }

    DeviceBatches& batches() { return m_batches; }
    ZipBuilder& zip() { return m_zip; }
    bool cancelled() const { return m_cancelled; }

private:
    void showProgress()
    {
        QObject::connect(&m_webCopy, &WebCopy::OnFileStart, [this](int idx) {
            const FileStartTexts texts =
                fileStartTexts(m_webCopy.Items[idx], idx, m_webCopy.Items.Count());
            m_line = texts.operation + texts.file;
            err() << '\r' << m_line << "\x1b[K" << Qt::flush;
        });
        QObject::connect(&m_webCopy, &WebCopy::OnCopyProgress,
                         [this](int, quint64 size, quint64 total) {
                             const QString percent =
                                 total ? QStringLiteral(" %1%").arg(size * 100 / total) : QString();
                             err() << '\r' << m_line << percent << "\x1b[K" << Qt::flush;
                         });
        QObject::connect(&m_webCopy, &WebCopy::OnFileDone,
                         [] { err() << '\r' << "\x1b[K" << Qt::flush; });
        QObject::connect(&m_zip, &ZipBuilder::OnTotalProgress, [](qint64, int percent) {
            err() << '\r' << texts::kExtractingZip << ' ' << std::min(percent, 100) << '%'
                  << "\x1b[K" << Qt::flush;
        });
    }

    WebCopy m_webCopy;
    ZipBuilder m_zip;
    CliHost m_host;
    DeviceBatches m_batches;
    QTimer m_interruptPoll;
    QString m_line;
    bool m_cancelled = false;
};

int statusOf(const BatchResult& result)
{
    if (result.unreachable)
        return kExitUnreachable;
    return result.succeeded() && !result.cancelled ? kExitOk : kExitFailed;
}

int usageError(const QString& problem)
{
    say(QStringLiteral("zoftp-cli: ") + problem);
    say(QStringLiteral("Try 'zoftp-cli --help'."));
    return kExitUsage;
}

// A remote prefix as the window writes it: backslashes, ending with one. "/" is taken too,
// since a backslash is awkward to type in a shell.
QString remotePrefixOf(QString prefix)
{
    prefix.replace(QLatin1Char('/'), QLatin1Char('\\'));
    if (!prefix.isEmpty() && !prefix.endsWith(QLatin1Char('\\')))
        prefix += QLatin1Char('\\');
    return prefix;
}

QStringList remoteNamesOf(QStringList names)
{
    for (QString& name : names)
        name.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return names;
}

QString dataDir()
{
    return dataDirFor(documentsFolder());
}

void printSorted(QStringList names)
{
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    for (const QString& name : names)
        out() << name << Qt::endl;
}

struct Command
{
    int minimumArguments;
    int maximumArguments; // -1 for any number
    bool needsHost;
    std::function<int(const Options&, const QStringList&)> run;
};

int needDataDir(QString& folder)
{
    folder = dataDir();
    if (!folder.isEmpty())
        return kExitOk;
    say(QStringLiteral("There is no Documents folder to keep the instrument's files in."));
    return kExitFailed;
}

int checkAddress(const Options& options)
{
    const QString problem = addressFolderProblem(options.host);
    if (problem.isEmpty())
        return kExitOk;
    return usageError(texts::kAddressNotAFolder.arg(options.host, problem));
}

// The data folder and the folder kept for the instrument's address below it.
int needDeviceFolders(const Options& options, QString& dataFolder, QString& deviceDir)
{
    if (const int status = needDataDir(dataFolder))
        return status;
    if (const int status = checkAddress(options))
        return status;
    deviceDir = deviceFolder(dataFolder, options.host);
    return kExitOk;
}

int listCommand(const Options& options, const QStringList& args)
{
    Session session(options.host);
    QStringList names;
    const BatchResult result = session.batches().ListRemoteFiles(args[0], names, options.dirs);
    for (const QString& name : names)
        out() << name << Qt::endl;
    return statusOf(result);
}

int getCommand(const Options& options, const QStringList& args)
{
    Session session(options.host);
    const QString localDir = withTrailingSeparator(QDir::toNativeSeparators(options.to));
    return statusOf(session.batches().TransferFiles(localDir, remotePrefixOf(args[0]),
                                                    remoteNamesOf(args.mid(1)), false));
}

int putCommand(const Options& options, const QStringList& args)
{
    Session session(options.host);
    const QString localDir = withTrailingSeparator(QDir::toNativeSeparators(options.from));
    return statusOf(session.batches().TransferFiles(localDir, remotePrefixOf(args[0]),
                                                    remoteNamesOf(args.mid(1)), true));
}

int deleteCommand(const Options& options, const QStringList& args)
{
    Session session(options.host);
    return statusOf(
        session.batches().DeleteRemoteFiles(remotePrefixOf(args[0]), remoteNamesOf(args.mid(1))));
}

int releasesCommand(const Options&, const QStringList&)
{
    QString folder;
    if (const int status = needDataDir(folder))
        return status;
    printSorted(releaseNames(softwareFolderFor(folder)));
    return kExitOk;
}

int releaseFetchCommand(const Options&, const QStringList&)
{
    QString folder;
    if (const int status = needDataDir(folder))
        return status;
    const QString software = softwareFolderFor(folder);
    createFolderPath(software);
    Session session{QString()};
    const ManifestRead manifest = fetchManifest(session.batches(), MakeTempDir());
    if (!manifest.opened) {
        say(texts::kCannotOpenFile.arg(manifest.path, manifest.openError));
        return kExitFailed;
    }
    if (manifest.value.isEmpty()) {
        say(texts::kNoNewVersion);
        return kExitFailed;
    }
    BatchResult result;
    const QString name = fetchReleaseArchive(session.batches(), manifest.value, software, &result);
    if (!result.succeeded())
        return kExitFailed;
    say(texts::kDownloadCompleted);
    out() << name << Qt::endl;
    return kExitOk;
}

int releaseInstallCommand(const Options& options, const QStringList& args)
{
    QString folder;
    if (const int status = needDataDir(folder))
        return status;
    const QString software = softwareFolderFor(folder);
    const QStringList releases = releaseNames(software);
    const auto found = std::find_if(releases.begin(), releases.end(), [&](const QString& name) {
        return name.compare(args[0], Qt::CaseInsensitive) == 0;
    });
    if (found == releases.end())
        return usageError(QStringLiteral("no release named %1 in %2 (see 'zoftp-cli releases')")
                              .arg(args[0], software));
    Session session(options.host);
    InstallSteps steps;
    steps.stillBusy = [&session] {
        return !session.cancelled();
    };
    steps.beforeExtract = [] {
        say(texts::kExtractingZip);
    };
    steps.afterExtract = [] {
    };
    steps.afterUpload = [] {
        say(texts::kUploadCompleted);
    };
    const BatchResult result =
        installRelease(session.batches(), session.zip(), software + *found, steps);
    return session.cancelled() ? kExitFailed : statusOf(result);
}

int screenDumpsGetCommand(const Options& options, const QStringList&)
{
    QString folder;
    QString deviceDir;
    if (const int status = needDeviceFolders(options, folder, deviceDir))
        return status;
    Session session(options.host);
    const QString target = screenDumpFolder(folder, options.host);
    const BatchResult result = fetchAllScreenDumps(
        session.batches(), [&] { return target; }, [&session] { return !session.cancelled(); });
    out() << target << Qt::endl;
    return statusOf(result);
}

int screenDumpsDeleteCommand(const Options& options, const QStringList& args)
{
    Session session(options.host);
    return statusOf(session.batches().DeleteRemoteFiles(kScreenDumpPrefix, args));
}

int screenDumpsDeleteAllCommand(const Options& options, const QStringList&)
{
    Session session(options.host);
    return statusOf(deleteAllScreenDumps(session.batches()));
}

int reportsCommand(const Options& options, const QStringList&)
{
    Session session(options.host);
    BatchResult result;
    printSorted(listReports(session.batches(), &result));
    return statusOf(result);
}

int patternsCommand(const Options& options, const QStringList& args)
{
    const std::optional<PatternFolder> entry = patternFolderNamed(args[0]);
    if (!entry) {
        QStringList known;
        for (const PatternFolder& folder : patternFolders())
            known << folder.folder;
        return usageError(QStringLiteral("unknown video standard folder %1 (one of: %2)")
                              .arg(args[0], known.join(QStringLiteral(", "))));
    }
    Session session(options.host);
    BatchResult result;
    for (const QString& name : listPatterns(session.batches(), entry->folder, &result))
        out() << name << Qt::endl;
    return statusOf(result);
}

int configGetCommand(const Options& options, const QStringList&)
{
    QString folder;
    QString deviceDir;
    if (const int status = needDeviceFolders(options, folder, deviceDir))
        return status;
    Session session(options.host);
    const BatchResult result = getConfigFile(session.batches(), deviceDir);
    if (result.succeeded())
        out() << deviceDir + kConfigFileName << Qt::endl;
    return statusOf(result);
}

int configPutCommand(const Options& options, const QStringList&)
{
    QString folder;
    QString deviceDir;
    if (const int status = needDeviceFolders(options, folder, deviceDir))
        return status;
    if (!QFileInfo(deviceDir + kConfigFileName).isFile()) {
        say(texts::kNoConfigFile);
        return kExitFailed;
    }
    Session session(options.host);
    return statusOf(putConfigFile(session.batches(), deviceDir));
}

int recoveryDeleteCommand(const Options& options, const QStringList&)
{
    Session session(options.host);
    return statusOf(deleteRecoveryFiles(session.batches()));
}

const std::map<QString, Command>& commands()
{
    static const std::map<QString, Command> table = {
        {QStringLiteral("list"), {1, 1, true, listCommand}},
        {QStringLiteral("get"), {2, -1, true, getCommand}},
        {QStringLiteral("put"), {2, -1, true, putCommand}},
        {QStringLiteral("delete"), {2, -1, true, deleteCommand}},
        {QStringLiteral("releases"), {0, 0, false, releasesCommand}},
        {QStringLiteral("release fetch"), {0, 0, false, releaseFetchCommand}},
        {QStringLiteral("release install"), {1, 1, true, releaseInstallCommand}},
        {QStringLiteral("screendumps get"), {0, 0, true, screenDumpsGetCommand}},
        {QStringLiteral("screendumps delete"), {1, -1, true, screenDumpsDeleteCommand}},
        {QStringLiteral("screendumps delete-all"), {0, 0, true, screenDumpsDeleteAllCommand}},
        {QStringLiteral("reports"), {0, 0, true, reportsCommand}},
        {QStringLiteral("patterns"), {1, 1, true, patternsCommand}},
        {QStringLiteral("config get"), {0, 0, true, configGetCommand}},
        {QStringLiteral("config put"), {0, 0, true, configPutCommand}},
        {QStringLiteral("recovery delete"), {0, 0, true, recoveryDeleteCommand}},
    };
    return table;
}

} // namespace

QString usageText()
{
    return QStringLiteral(
        "Usage: zoftp-cli [--host ADDRESS] COMMAND [ARGUMENTS]\n"
        "\n"
        "Manages the files of a Zo instrument over FTP, as the Zo FTP Client window does.\n"
        "\n"
        "Generic commands (PREFIX is a remote folder such as screendumps/ or / for the root;\n"
        "NAME may carry folders below it):\n"
        "  list PATTERN [--dirs]        list the entries PATTERN matches (e.g. \"reports/*\"):\n"
        "                               files, or folders only with --dirs; one name a line\n"
        "  get PREFIX NAME... [--to DIR]     download files into DIR (default: here)\n"
        "  put PREFIX NAME... [--from DIR]   upload files from DIR (default: here)\n"
        "  delete PREFIX NAME...        delete files on the instrument\n"
        "\n"
        "Software releases (kept in Documents/CorvaneZoFtp/Software):\n"
        "  releases                     list the release archives kept locally\n"
        "  release fetch                download the latest release from the maker's server\n"
        "  release install NAME         install a kept release on the instrument\n"
        "\n"
        "Instrument pages (files kept in Documents/CorvaneZoFtp/ADDRESS):\n"
        "  screendumps get              fetch every screen dump into ADDRESS/ScreenDumps\n"
        "  screendumps delete NAME...   delete screen dumps on the instrument\n"
        "  screendumps delete-all       delete every screen dump on the instrument\n"
        "  reports                      list the instrument's report folders\n"
        "  patterns FOLDER              list the user test patterns of a video standard folder\n"
        "                               (PALyuv, NTSCyuv, 720yuv, 720rgb, 1035yuv, 1080yuv, "
        "1080rgb)\n"
        "  config get                   fetch system.cfg into ADDRESS/\n"
        "  config put                   send ADDRESS/system.cfg back to the instrument\n"
        "  recovery delete              delete the factory application's recovery files\n"
        "\n"
        "Options:\n"
        "  --host ADDRESS               the instrument's IP address or host name\n"
        "  --help                       show this text\n"
        "  --version                    show the program's version\n"
        "\n"
        "Environment: ZOFTP_PORT (the instrument's FTP port, 21 when unset),\n"
        "ZOFTP_MANIFEST_URL (the release manifest's address).\n"
        "\n"
        "Exit status: 0 when every item succeeded, 1 when any failed, 2 for a usage error,\n"
        "3 when the instrument could not be reached.\n");
}

bool parseArguments(const QStringList& arguments, Options& options, QString& problem,
                    bool& helpWanted, bool& versionWanted)
{
    bool optionsEnded = false;
    for (qsizetype at = 0; at < arguments.size(); ++at) {
        const QString& argument = arguments[at];
        if (optionsEnded || !argument.startsWith(QStringLiteral("--"))) {
            options.words << argument;
            continue;
        }
        if (argument == QStringLiteral("--")) {
            optionsEnded = true;
        } else if (argument == QStringLiteral("--help")) {
            helpWanted = true;
        } else if (argument == QStringLiteral("--version")) {
            versionWanted = true;
        } else if (argument == QStringLiteral("--dirs")) {
            options.dirs = true;
        } else if (argument == QStringLiteral("--host") || argument == QStringLiteral("--to") ||
                   argument == QStringLiteral("--from")) {
            if (at + 1 >= arguments.size()) {
                problem = argument + QStringLiteral(" needs a value");
                return false;
            }
            const QString value = arguments[++at];
            if (argument == QStringLiteral("--host")) {
                options.host = value;
                options.hostGiven = true;
            } else if (argument == QStringLiteral("--to")) {
                options.to = value;
            } else {
                options.from = value;
            }
        } else {
            problem = QStringLiteral("unknown option ") + argument;
            return false;
        }
    }
    return true;
}

int runCommand(const Options& options)
{
    if (options.words.isEmpty())
        return usageError(QStringLiteral("no command given"));
    // two-word commands first ("release fetch"), then one-word ones
    QString name = options.words.value(0) + QLatin1Char(' ') + options.words.value(1);
    qsizetype used = 2;
    auto found = commands().find(name);
    if (found == commands().end()) {
        name = options.words[0];
        used = 1;
        found = commands().find(name);
    }
    if (found == commands().end())
        return usageError(QStringLiteral("unknown command ") +
                          options.words.join(QLatin1Char(' ')));
    const Command& command = found->second;
    const QStringList args = options.words.mid(used);
    if (args.size() < command.minimumArguments ||
        (command.maximumArguments >= 0 && args.size() > command.maximumArguments))
        return usageError(QStringLiteral("wrong number of arguments for ") + name);
    if (command.needsHost && (!options.hostGiven || options.host.isEmpty()))
        return usageError(name + QStringLiteral(" needs --host ADDRESS"));
    return command.run(options, args);
}

} // namespace zo::cli
