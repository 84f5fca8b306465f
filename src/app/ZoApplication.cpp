#include "app/ZoApplication.h"

#include "platform/Dialogs.h"

#include <exception>

namespace zo {

ZoApplication::ZoApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setOrganizationName(QStringLiteral("Corvane"));
    setApplicationName(QStringLiteral("FTPClient"));
    setApplicationVersion(QStringLiteral(ZOFTP_FILE_VERSION));
}

bool ZoApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        showException(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        showException(QString());
    }
    return false;
}

void ZoApplication::showException(const QString& message)
{
    showErrorOk(activeWindow(), message);
}

} // namespace zo
