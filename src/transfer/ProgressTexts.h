#pragma once

#include <QString>

namespace zo {

struct TWebCopyItem;

// What the status bar shows when an item starts.
struct FileStartTexts
{
    QString operation; // panel 0
    QString file;      // panel 1
    bool showsProgress = true;
};
FileStartTexts fileStartTexts(const TWebCopyItem& item, int index, int count);

} // namespace zo
