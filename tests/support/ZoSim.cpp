#include "ZoSim.h"

#include "TestEnvironment.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTcpServer>

namespace zo::test {

ZoSim::ZoSim(QStringList options, QString host)
    : m_options(std::move(options)), m_host(std::move(host))
{}

ZoSim::~ZoSim()
{
    stop();
}

QString ZoSim::root() const
{
    return m_folder.path() + QStringLiteral("/root");
}

QString ZoSim::webRoot() const
{
    return m_folder.path() + QStringLiteral("/web");
}

QString ZoSim::httpUrl(const QString& path) const
{
    return QStringLiteral("http://%1:%2/%3").arg(m_host).arg(m_httpPort).arg(path);
}

QString ZoSim::manifestUrl() const
{
    return httpUrl(QStringLiteral("Software/zo/setup3.ini"));
}

bool ZoSim::start()
{
    if (!m_folder.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return false;
    }
    QStringList arguments = {QStringLiteral(ZOFTP_SOURCE_DIR "/tools/zo-sim/zo-sim"),
                             QStringLiteral("--root"),
                             root(),
                             QStringLiteral("--web-root"),
                             webRoot(),
                             QStringLiteral("--host"),
                             m_host,
                             QStringLiteral("--log"),
                             m_folder.path() + QStringLiteral("/log"),
                             QStringLiteral("--exit-on-stdin-eof")};
    arguments << m_options;
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start(QStringLiteral("/usr/bin/python3"), arguments);
    if (!m_process.waitForStarted(10000)) {
        m_error = QStringLiteral("zo-sim did not start: ") + m_process.errorString();
        return false;
    }
    QDeadlineTimer deadline(30000);
    QByteArray output;
    while (!output.contains('\n')) {
        if (deadline.hasExpired() || m_process.state() != QProcess::Running) {
            m_error = QStringLiteral("zo-sim did not get ready: ") +
                      QString::fromLocal8Bit(output + m_process.readAllStandardError());
            return false;
        }
        m_process.waitForReadyRead(200);
        output += m_process.readAllStandardOutput();
    }
    const QRegularExpression ready(QStringLiteral("READY ftp=(\\d+) http=(\\d+)"));
    const QRegularExpressionMatch match = ready.match(QString::fromLatin1(output));
    if (!match.hasMatch()) {
        m_error = QStringLiteral("unexpected zo-sim output: ") + QString::fromLatin1(output);
        return false;
    }
    m_ftpPort = match.captured(1).toInt();
    m_httpPort = match.captured(2).toInt();
    return true;
}

void ZoSim::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.closeWriteChannel();
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool ZoSim::put(const QString& relative, const QByteArray& content) const
{
    return writeFile(pathOf(relative), content);
}

QByteArray ZoSim::get(const QString& relative) const
{
    return readFile(pathOf(relative));
}

bool ZoSim::has(const QString& relative) const
{
    return QFile::exists(pathOf(relative));
}

QStringList ZoSim::filesIn(const QString& folder) const
{
    QStringList names = QDir(pathOf(folder)).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    return names;
}

bool ZoSim::putWeb(const QString& relative, const QByteArray& content) const
{
    return writeFile(webRoot() + QLatin1Char('/') + relative, content);
}

QStringList ZoSim::log() const
{
    const QString text = QString::fromUtf8(readFile(m_folder.path() + QStringLiteral("/log")));
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

int ZoSim::countCommands(const QString& command) const
{
    const QRegularExpression pattern(QStringLiteral("^FTP \\S+ ") +
                                     QRegularExpression::escape(command) +
                                     QStringLiteral("(\\s|$)"));
    int count = 0;
    for (const QString& line : log()) {
        if (pattern.match(line).hasMatch())
            ++count;
    }
    return count;
}

QStringList ZoSim::commandArguments(const QString& command) const
{
    const QRegularExpression pattern(QStringLiteral("^FTP \\S+ ") +
                                     QRegularExpression::escape(command) +
                                     QStringLiteral(" (.*)$"));
    QStringList arguments;
    for (const QString& line : log()) {
        const QRegularExpressionMatch match = pattern.match(line);
        if (match.hasMatch())
            arguments << match.captured(1);
    }
    return arguments;
}

void ZoSim::clearLog() const
{
    QFile::resize(m_folder.path() + QStringLiteral("/log"), 0);
}

int closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const int port = probe.serverPort();
    probe.close();
    return port;
}

} // namespace zo::test
