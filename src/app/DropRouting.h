#pragma once

#include <QString>

namespace zo {

// The extension of a dropped file's path, lower-cased, from the last dot of its file name with
// the dot; empty when the file name has no dot (a dot in a folder name does not count).
QString dropExtension(const QString& path);

enum class DropPage
{
    SoftwareUpdate,
    TestPatterns,
    Other
};
enum class DropAction
{
    Skip,
    CopyRelease,
    TakeTestPattern
};

// What a drop does with one file, by the page showing when it arrives.
DropAction routeDrop(DropPage page, const QString& path);

} // namespace zo
