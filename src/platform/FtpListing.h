#pragma once

#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QtGlobal>
#include <optional>

namespace zo {

// Attribute bit that marks a directory, as the window's listing code tests it.
inline constexpr quint32 kDirectoryAttribute = 0x10;

struct ListingEntry
{
    // Bare name as the server sent it, not checked for safety as a local file name.
    QString name;
    // kDirectoryAttribute for folders, 0 for everything else.
    quint32 attributes = 0;
    // -1 when unknown.
    qint64 size = -1;
    // Invalid when unknown; UTC for MLSD, the server's wall clock (local time) for LIST.
    QDateTime modified;
};

enum class ListingFormat
{
    List,
    Mlsd
};

// Parses a whole reply; lines end in CRLF or LF, the last one possibly without a line end.
// Unreadable lines are skipped, and so are ".", ".." and the MLSD cdir/pdir entries.
QList<ListingEntry> parseListing(QByteArrayView reply, ListingFormat format);

// One LIST line in Unix or MS-DOS style, without its line end; nullopt when unreadable or "."/"..".
std::optional<ListingEntry> parseListLine(QByteArrayView line);

// One MLSD line, without its line end; nullopt when unreadable, "."/"..", cdir or pdir.
std::optional<ListingEntry> parseMlsdLine(QByteArrayView line);

} // namespace zo
