#include "releases/Manifest.h"

#include <QList>

namespace zo {
namespace {

const QString kMakersManifestUrl = QStringLiteral("http://www.corvane.com/Software/zo/setup3.ini");

QList<QByteArray> manifestLines(const QByteArray& manifest)
{
    QByteArray text = manifest;
    const qsizetype nul = text.indexOf('\0');
    if (nul >= 0)
        text.truncate(nul);
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (text[at] != '\r' && text[at] != '\n')
            continue;
        lines << text.mid(start, at - start);
        if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n')
            ++at;
        start = at + 1;
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

// Folder part (with its last "/") and last segment of an address.
std::pair<QString, QString> splitLastSegment(const QString& url)
{
    const qsizetype slash = url.lastIndexOf(QLatin1Char('/'));
    return {url.left(slash + 1), url.mid(slash + 1)};
}

QString withoutExtension(const QString& text)
{
    return text.left(text.size() - textExtension(text).size());
}

} // namespace

QString manifestUrl()
{
    const QString configured = qEnvironmentVariable("ZOFTP_MANIFEST_URL");
    return configured.isEmpty() ? kMakersManifestUrl : configured;
}

QString manifestValue(const QByteArray& manifest, const QString& key)
{
    for (const QByteArray& line : manifestLines(manifest)) {
        const qsizetype equals = line.indexOf('=');
        if (equals < 0)
            continue;
        // the manifest is plain 8-bit text
        const QString name = QString::fromLatin1(line.left(equals));
        if (name.compare(key, Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(line.mid(equals + 1));
    }
    return {};
}

QString textExtension(const QString& text)
{
    for (qsizetype at = text.size() - 1; at >= 0; --at) {
        const QChar c = text[at];
        if (c == QLatin1Char('.'))
            return text.mid(at);
        if (c == QLatin1Char('\\') || c == QLatin1Char(':'))
            return {};
    }
    return {};
}

QString archiveUrlFromValue(const QString& value)
{
    const auto [folder, segment] = splitLastSegment(value);
    return folder + withoutExtension(withoutExtension(segment)) + QStringLiteral(".zip");
}

QString archiveNameOf(const QString& url)
{
    return splitLastSegment(url).second;
}

} // namespace zo
