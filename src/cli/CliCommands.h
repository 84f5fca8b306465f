#pragma once

#include <QString>
#include <QStringList>

namespace zo::cli {

enum ExitStatus
{
    kExitOk = 0,
    kExitFailed = 1,
    kExitUsage = 2,
    kExitUnreachable = 3,
};

struct Options
{
    QString host;
    bool hostGiven = false;
    QString to = QStringLiteral(".");
    QString from = QStringLiteral(".");
    bool dirs = false;
    QStringList words; // the command and its arguments
};

QString usageText();

// Parses the arguments after the program name; on a usage error, fills problem and returns false.
bool parseArguments(const QStringList& arguments, Options& options, QString& problem,
                    bool& helpWanted, bool& versionWanted);

// Runs the command; needs a QCoreApplication.
int runCommand(const Options& options);

} // namespace zo::cli
