#include "platform/FtpListing.h"
#include "platform/Wildcard.h"

#include <QByteArrayView>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// Reads every field so that a broken entry shows up here rather than in the window.
void touch(const zo::ListingEntry& entry, QStringView mask)
{
    // What the window relies on: a usable name, a known attribute value, no negative size.
    const bool selfOrParent = entry.name == u"." || entry.name == u"..";
    const bool knownAttributes =
        entry.attributes == 0 || entry.attributes == zo::kDirectoryAttribute;
    if (entry.name.isEmpty() || selfOrParent || !knownAttributes || entry.size < -1)
        std::abort();
    // Unsigned, so that summing a huge size cannot overflow in the harness itself.
    volatile quint64 sink = quint64(entry.name.size()) + quint64(entry.size) + entry.attributes;
    if (entry.modified.isValid())
        sink = sink + quint64(entry.modified.toMSecsSinceEpoch());
    sink = sink + quint64(zo::matchesMask(entry.name, mask));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char*>(data), qsizetype(size));

    // Up to the first NUL is a name, the rest a mask; the whole input is also a listing reply.
    const qsizetype split = input.indexOf('\0');
    const QString name = QString::fromUtf8(split < 0 ? input : input.first(split));
    const QString mask = QString::fromUtf8(split < 0 ? QByteArrayView() : input.sliced(split + 1));
    volatile bool matched = zo::matchesMask(name, mask);
    matched = zo::matchesMask(mask, name) || zo::hasWildcard(mask);
    (void)matched;

    for (const zo::ListingFormat format : {zo::ListingFormat::List, zo::ListingFormat::Mlsd}) {
        for (const zo::ListingEntry& entry : zo::parseListing(input, format))
            touch(entry, mask);
    }
    return 0;
}
