#include "app/DropRouting.h"

#include "platform/ShellServices.h"

namespace zo {

QString dropExtension(const QString& path)
{
    const qsizetype nameStart =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(localSeparator())) + 1;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < nameStart)
        return {};
    return path.mid(dot).toLower();
}

DropAction routeDrop(DropPage page, const QString& path)
{
    const QString extension = dropExtension(path);
    if (extension.isEmpty())
        return DropAction::Skip;
    switch (page) {
    case DropPage::SoftwareUpdate:
        return extension == QStringLiteral(".zip") ? DropAction::CopyRelease : DropAction::Skip;
    case DropPage::TestPatterns:
        return DropAction::TakeTestPattern;
    case DropPage::Other:
        break;
    }
    return DropAction::Skip;
}

} // namespace zo
