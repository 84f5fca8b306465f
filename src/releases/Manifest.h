#pragma once

#include <QByteArray>
#include <QString>

namespace zo {

inline const QString kManifestFileName = QStringLiteral("setup3.ini");
inline const QString kManifestKey = QStringLiteral("DownloadFile");

// The release manifest's address: ZOFTP_MANIFEST_URL when set, the maker's server otherwise.
QString manifestUrl();

// The value of a key in a manifest's text: the first line whose name (the text before its first
// "=") equals the key without regard to letter case; nothing is trimmed. Lines end at CR, LF or
// CR LF; a NUL ends the text. Empty when no line has the key.
QString manifestValue(const QByteArray& manifest, const QString& key);

// The extension of a text: from its last "." when no "\" or ":" follows that dot; empty otherwise.
QString textExtension(const QString& text);

// The archive's address from the manifest's value: the last path segment loses its extension,
// then the extension of what remains becomes ".zip" (or ".zip" is appended). Only the last
// segment is looked at, so a dotted server name is never cut.
QString archiveUrlFromValue(const QString& value);

// The archive's file name: the part after the last "/".
QString archiveNameOf(const QString& url);

} // namespace zo
