#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace zo::test {

// The simulated instrument (tools/zo-sim) on free loopback ports, with a root folder and a web
// root of its own. start() fails, never skips, when the simulator cannot run.
class ZoSim
{
public:
    explicit ZoSim(QStringList options = {}, QString host = QStringLiteral("127.0.0.1"));
    ~ZoSim();
    ZoSim(const ZoSim&) = delete;
    ZoSim& operator=(const ZoSim&) = delete;

    // Starts and waits for the READY line; on failure, error() says why.
    bool start();
    void stop();
    QString error() const { return m_error; }

    QString host() const { return m_host; }
    int ftpPort() const { return m_ftpPort; }
    int httpPort() const { return m_httpPort; }
    QString root() const;
    QString webRoot() const;
    QString manifestUrl() const;
    QString httpUrl(const QString& path) const;

    // Files of the instrument, by path below the FTP root.
    QString pathOf(const QString& relative) const { return root() + QLatin1Char('/') + relative; }
    bool put(const QString& relative, const QByteArray& content) const;
    QByteArray get(const QString& relative) const;
    bool has(const QString& relative) const;
    QStringList filesIn(const QString& folder) const;
    bool putWeb(const QString& relative, const QByteArray& content) const;

    // What the simulator logged: "FTP <id> <COMMAND> <argument>", "HTTP GET <path> UA=<agent>".
    QStringList log() const;
    int countCommands(const QString& command) const;
    // The arguments of one FTP command, in the order the instrument received them.
    QStringList commandArguments(const QString& command) const;
    // Whether anything connected to the FTP server.
    bool wasContacted() const { return countCommands(QStringLiteral("CONNECT")) > 0; }
    void clearLog() const;

private:
    QStringList m_options;
    QString m_host;
    QTemporaryDir m_folder;
    QProcess m_process;
    int m_ftpPort = 0;
    int m_httpPort = 0;
    QString m_error;
};

// A loopback port on which nothing listens.
int closedPort();

} // namespace zo::test
