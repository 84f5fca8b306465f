#include "platform/ShellServices.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <windows.h>
#elif defined(Q_OS_LINUX)
#include <sys/syscall.h>
#include <unistd.h>
#else
#include <pthread.h>
#endif

namespace zo {

QChar localSeparator()
{
    return QDir::separator();
}

QString withTrailingSeparator(const QString& folder)
{
    if (folder.endsWith(localSeparator()) || folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + localSeparator();
}

QString documentsFolder()
{
    const QString location = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (location.isEmpty() || !QFileInfo(location).isDir())
        return {};
    return QDir::toNativeSeparators(QDir::cleanPath(location));
}

QString temporaryFolder()
{
    return QDir::toNativeSeparators(QDir::cleanPath(QDir::tempPath()));
}

quint64 currentThreadNumber()
{
#ifdef Q_OS_WIN
    return GetCurrentThreadId();
#elif defined(Q_OS_LINUX)
    return static_cast<quint64>(syscall(SYS_gettid));
#else
    return reinterpret_cast<quintptr>(pthread_self());
#endif
}

bool isSafeLocalName(const QString& name)
{
    if (name.isEmpty() || name == QStringLiteral(".") || name == QStringLiteral(".."))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':') ||
            c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

bool createFolderPath(const QString& folder)
{
    return !folder.isEmpty() && QDir().mkpath(folder);
}

} // namespace zo
