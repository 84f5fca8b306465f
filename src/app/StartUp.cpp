#include "app/StartUp.h"

#include "platform/ShellServices.h"

namespace zo {

QString titleWithVersion(const QString& caption, const QString& version)
{
    return caption + QStringLiteral(" - ") + version;
}

bool isManufacturingMode(const QStringList& arguments)
{
    return !arguments.isEmpty() && arguments.first() == QStringLiteral("-M");
}

QString dataDirFor(const QString& documents)
{
    if (documents.isEmpty())
        return {};
    return withTrailingSeparator(documents) + kDataFolderName + localSeparator();
}

QString softwareFolderFor(const QString& dataDir)
{
    return dataDir + kSoftwareFolderName + localSeparator();
}

int screenDumpImageHeight(int width)
{
    return width * 9 / 16;
}

} // namespace zo
