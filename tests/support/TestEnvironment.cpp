#include "TestEnvironment.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <memory>

namespace zo::test {
namespace {

std::unique_ptr<QTemporaryDir>& home()
{
    static std::unique_ptr<QTemporaryDir> folder;
    return folder;
}

} // namespace

void prepareEnvironment(bool gui)
{
    home() =
        std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/zoftp-test-XXXXXX"));
    const QString root = home()->path();
    const auto folder = [&root](const char* name) {
        const QString path = root + QLatin1Char('/') + QLatin1String(name);
        QDir().mkpath(path);
        return path.toLocal8Bit();
    };
    qputenv("HOME", root.toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", folder(".config"));
    qputenv("XDG_DATA_HOME", folder(".local/share"));
    qputenv("XDG_CACHE_HOME", folder(".cache"));
    QFile::setPermissions(QString::fromLocal8Bit(folder("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", folder("runtime"));
    qputenv("TMPDIR", folder("tmp"));
    folder("Documents");
    // the maker's server is never contacted from a test
    qputenv("ZOFTP_MANIFEST_URL", "http://127.0.0.1:9/Software/zo/setup3.ini");
    qunsetenv("ZOFTP_PORT");
    qunsetenv("http_proxy");
    qunsetenv("HTTP_PROXY");
    qunsetenv("ftp_proxy");
    qunsetenv("all_proxy");
    if (gui)
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

QString testHome()
{
    return home() ? home()->path() : QString();
}

QString documentsPath()
{
    return testHome() + QStringLiteral("/Documents");
}

QString dataDir()
{
    return documentsPath() + QStringLiteral("/CorvaneZoFtp/");
}

QString deviceDirOf(const QString& address)
{
    return dataDir() + address + QLatin1Char('/');
}

QString dumpsOf(const QString& address)
{
    return deviceDirOf(address) + QStringLiteral("ScreenDumps/");
}

QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

void forgetEarlierTests()
{
    QDir(dataDir()).removeRecursively();
    QSettings settings(QStringLiteral("Corvane"), QStringLiteral("FTPClient"));
    settings.clear();
    settings.sync();
    qunsetenv("ZOFTP_PORT");
}

bool waitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

bool writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace zo::test
