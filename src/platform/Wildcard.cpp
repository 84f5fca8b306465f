#include "platform/Wildcard.h"

#include <QChar>
#include <vector>

namespace zo {

namespace {

// Code points, case-folded, so that "?" takes a whole surrogate pair and case is ignored.
// A lone surrogate stays as it is, which keeps two different broken names apart.
std::vector<char32_t> foldedCodePoints(QStringView text)
{
    std::vector<char32_t> result;
    result.reserve(std::size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t code = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        result.push_back(QChar::toCaseFolded(code));
    }
    return result;
}

} // namespace

bool matchesMask(QStringView name, QStringView mask)
{
    if (mask == u"*.*")
        return true;
    const std::vector<char32_t> text = foldedCodePoints(name);
    const std::vector<char32_t> pattern = foldedCodePoints(mask);

    // Greedy scan; on a mismatch the last "*" takes one more character and the scan resumes
    // there, which never needs to revisit an earlier "*".
    std::size_t t = 0;
    std::size_t p = 0;
    std::size_t starPattern = pattern.size();
    std::size_t starText = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == U'*') {
            starPattern = p++;
            starText = t;
        } else if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == text[t])) {
            ++p;
            ++t;
        } else if (starPattern < pattern.size()) {
            p = starPattern + 1;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*')
        ++p;
    return p == pattern.size();
}

bool hasWildcard(QStringView mask)
{
    return mask.contains(u'*') || mask.contains(u'?');
}

} // namespace zo
