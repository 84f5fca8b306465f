#pragma once

#include <QString>
#include <QStringList>

namespace zo {

inline const QString kDesignedCaption = QStringLiteral("Corvane Zo FTP Client");
inline const QString kDataFolderName = QStringLiteral("CorvaneZoFtp");
inline const QString kSoftwareFolderName = QStringLiteral("Software");
inline const QString kDesignedSoftwareFolder = QStringLiteral("C:\\");

// The designed caption, " - " and the file version.
QString titleWithVersion(const QString& caption, const QString& version);

// True only when the first argument (after the program name) is exactly "-M".
bool isManufacturingMode(const QStringList& arguments);

// The per-user data folder below the Documents folder, ending with a separator; empty when
// there is no Documents folder.
QString dataDirFor(const QString& documents);

// The software folder below the data folder, ending with a separator.
QString softwareFolderFor(const QString& dataDir);

// The screen dump image keeps a 16:9 shape: its height from its width.
int screenDumpImageHeight(int width);

} // namespace zo
