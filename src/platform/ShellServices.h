#pragma once

#include <QString>

namespace zo {

// The local folder separator as the user sees it ("\" on Windows, "/" elsewhere). Local folder
// texts always end with it.
QChar localSeparator();

// Appends the separator unless the text already ends with one.
QString withTrailingSeparator(const QString& folder);

// The current user's Documents folder, in native form without a trailing separator; empty when
// the platform names none or it does not exist.
QString documentsFolder();

// The platform's folder for temporary files, in native form without a trailing separator.
QString temporaryFolder();

// The identifier of the calling thread as the operating system numbers it.
quint64 currentThreadNumber();

// True when a name that came from elsewhere (an instrument's listing, an archive, an address)
// can be used as a bare local file name: not empty, not "." or "..", and free of "/", "\", ":"
// and control characters.
bool isSafeLocalName(const QString& name);

// Creates the folder with all missing parents; true when it exists afterwards.
bool createFolderPath(const QString& folder);

} // namespace zo
