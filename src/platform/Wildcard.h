#pragma once

#include <QStringView>

namespace zo {

// Matches a bare name against a mask as the instruments' platform does: "*" any run of characters
// (also none), "?" exactly one character, letter case ignored, every other character literal.
// "*.*" matches every name, also one without a dot.
bool matchesMask(QStringView name, QStringView mask);

// True when the mask holds "*" or "?".
bool hasWildcard(QStringView mask);

} // namespace zo
