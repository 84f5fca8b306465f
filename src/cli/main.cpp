#include "cli/CliCommands.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("FTPClient"));

    zo::cli::Options options;
    QString problem;
    bool helpWanted = false;
    bool versionWanted = false;
    const bool parsed = zo::cli::parseArguments(QCoreApplication::arguments().mid(1), options,
                                                problem, helpWanted, versionWanted);
    QTextStream out(stdout);
    if (helpWanted) {
        out << zo::cli::usageText();
        return zo::cli::kExitOk;
    }
    if (versionWanted) {
        out << "zoftp-cli " << ZOFTP_FILE_VERSION << Qt::endl;
        return zo::cli::kExitOk;
    }
    if (!parsed) {
        QTextStream(stderr) << "zoftp-cli: " << problem << "\nTry 'zoftp-cli --help'.\n";
        return zo::cli::kExitUsage;
    }
    return zo::cli::runCommand(options);
}
