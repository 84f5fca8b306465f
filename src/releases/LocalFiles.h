#pragma once

#include <QString>
#include <QStringList>

namespace zo {

// Splits a local pattern ("<folder><separator><mask>") at its last folder separator.
struct LocalPattern
{
    QString folder; // with its trailing separator; empty when the pattern names no folder
    QString mask;
};
LocalPattern splitLocalPattern(const QString& pattern);

// The bare names of the files (never folders) directly in the pattern's folder that match its
// mask, in the order the file system returns them. A missing folder gives none.
QStringList listLocalFiles(const QString& pattern);

// Appends the names listLocalFiles finds; entries already in names stay.
void ListLocalFiles(const QString& pattern, QStringList& names);

} // namespace zo
