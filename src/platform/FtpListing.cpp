#include "platform/FtpListing.h"

#include <QDate>
#include <QStringDecoder>
#include <QTime>
#include <array>
#include <limits>

namespace zo {

namespace {

struct Token
{
    qsizetype begin = 0;
    qsizetype end = 0;
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

char toLowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(QByteArrayView text, QByteArrayView lowerCase)
{
    if (text.size() != lowerCase.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (toLowerAscii(text[i]) != lowerCase[i])
            return false;
    }
    return true;
}

QByteArrayView withoutLineEnd(QByteArrayView line)
{
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

// Column-separated words; stops after maxTokens so that the name is never split needlessly.
template <std::size_t N>
qsizetype tokenize(QByteArrayView line, std::array<Token, N>& tokens)
{
    qsizetype count = 0;
    qsizetype pos = 0;
    while (count < qsizetype(N)) {
        while (pos < line.size() && isBlank(line[pos]))
            ++pos;
        if (pos == line.size())
            break;
        const qsizetype begin = pos;
        while (pos < line.size() && !isBlank(line[pos]))
            ++pos;
        tokens[std::size_t(count++)] = {begin, pos};
    }
    return count;
}

QByteArrayView tokenText(QByteArrayView line, Token token)
{
    return line.sliced(token.begin, token.end - token.begin);
}

bool isAllDigits(QByteArrayView text)
{
    if (text.isEmpty())
        return false;
    for (char c : text) {
        if (!isDigit(c))
            return false;
    }
    return true;
}

// Only called on all-digit text of small, checked length.
int smallNumber(QByteArrayView digits)
{
    int value = 0;
    for (char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

// Digits only; -1 when the value does not fit in 64 bits.
qint64 sizeFromDigits(QByteArrayView digits)
{
    constexpr qint64 maximum = std::numeric_limits<qint64>::max();
    qint64 value = 0;
    for (char c : digits) {
        const int digit = c - '0';
        if (value > (maximum - digit) / 10)
            return -1;
        value = value * 10 + digit;
    }
    return value;
}

QString decodeName(QByteArrayView bytes)
{
    if (!bytes.isValidUtf8())
        return QString::fromLatin1(bytes);
    // A leading byte order mark is part of the name here, so the decoder must not eat it.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                       QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

bool isSelfOrParent(QByteArrayView name)
{
    return name == QByteArrayView(".") || name == QByteArrayView("..");
}

// "Jan" .. "Dec" in any letter case; 0 when not a month.
int monthFromName(QByteArrayView text)
{
    static constexpr std::array<const char*, 12> names = {"jan", "feb", "mar", "apr", "may", "jun",
                                                          "jul", "aug", "sep", "oct", "nov", "dec"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (equalsIgnoringCase(text, QByteArrayView(names[i])))
            return int(i) + 1;
    }
    return 0;
}

// "H:MM" or "HH:MM" on a 24-hour clock.
std::optional<QTime> clockTime(QByteArrayView text)
{
    if (text.size() != 4 && text.size() != 5)
        return std::nullopt;
    const qsizetype colon = text.size() - 3;
    const QByteArrayView hours = text.first(colon);
    const QByteArrayView minutes = text.sliced(colon + 1);
    if (text[colon] != ':' || !isAllDigits(hours) || !isAllDigits(minutes))
        return std::nullopt;
    const int hour = smallNumber(hours);
    const int minute = smallNumber(minutes);
    if (hour > 23 || minute > 59)
        return std::nullopt;
    return QTime(hour, minute);
}

// ls shows a time instead of a year for recent files: pick the latest year that is not
// in the future, with a day of slack for clock and time zone differences.
QDate recentDate(int month, int day)
{
    const QDate latest = QDate::currentDate().addDays(1);
    for (int year = latest.year(); year >= latest.year() - 8; --year) {
        const QDate date(year, month, day);
        if (date.isValid() && date <= latest)
            return date;
    }
    return {};
}

std::optional<ListingEntry> parseUnixLine(QByteArrayView line)
{
    // perms links owner group size month day time|year, with links or group sometimes missing.
    std::array<Token, 8> tokens;
    const qsizetype count = tokenize(line, tokens);
    if (count < 6 || tokens[0].begin != 0)
        return std::nullopt;

    const QByteArrayView perms = tokenText(line, tokens[0]);
    const bool extraFlag =
        perms.size() == 11 && (perms[10] == '+' || perms[10] == '.' || perms[10] == '@');
    if (perms.size() != 10 && !extraFlag)
        return std::nullopt;
    for (qsizetype i = 1; i < 10; ++i) {
        if (!QByteArrayView("rwxsStTlL-").contains(perms[i]))
            return std::nullopt;
    }
    const char type = perms[0];
    if (type != '-' && type != 'd' && type != 'l')
        return std::nullopt;

    for (qsizetype monthIndex = 3; monthIndex <= 5; ++monthIndex) {
        if (monthIndex + 2 >= count)
            break;
        const QByteArrayView sizeText = tokenText(line, tokens[std::size_t(monthIndex - 1)]);
        const int monthNumber = monthFromName(tokenText(line, tokens[std::size_t(monthIndex)]));
        const QByteArrayView dayText = tokenText(line, tokens[std::size_t(monthIndex + 1)]);
        const Token last = tokens[std::size_t(monthIndex + 2)];
        const QByteArrayView lastText = tokenText(line, last);
        if (!isAllDigits(sizeText) || monthNumber == 0 || !isAllDigits(dayText) ||
            dayText.size() > 2)
            continue;
        const int day = smallNumber(dayText);
        if (day < 1 || day > 31)
            continue;

        QDateTime modified;
        if (const std::optional<QTime> time = clockTime(lastText)) {
            const QDate date = recentDate(monthNumber, day);
            if (date.isValid())
                modified = QDateTime(date, *time);
        } else if (lastText.size() == 4 && isAllDigits(lastText)) {
            const QDate date(smallNumber(lastText), monthNumber, day);
            if (date.isValid())
                modified = QDateTime(date, QTime(0, 0));
        } else {
            continue;
        }

        // Exactly one separator follows the date; everything after it is the name.
        const qsizetype nameBegin = last.end + 1;
        if (nameBegin >= line.size())
            return std::nullopt;
        QByteArrayView name = line.sliced(nameBegin);
        if (type == 'l') {
            const qsizetype arrow = name.indexOf(QByteArrayView(" -> "));
            if (arrow >= 0)
                name = name.first(arrow);
        }
        if (name.isEmpty() || isSelfOrParent(name))
            return std::nullopt;

        ListingEntry entry;
        entry.name = decodeName(name);
        entry.attributes = type == 'd' ? kDirectoryAttribute : 0;
        entry.size = sizeFromDigits(sizeText);
        entry.modified = modified;
        return entry;
    }
    return std::nullopt;
}

// "MM-DD-YY" or "MM-DD-YYYY"; two-digit years 70-99 are 19xx, 00-69 are 20xx. The date may
// still be invalid (February 30th), which leaves the time unknown but the line readable.
std::optional<QDate> dosDate(QByteArrayView text)
{
    if ((text.size() != 8 && text.size() != 10) || text[2] != '-' || text[5] != '-')
        return std::nullopt;
    const QByteArrayView monthText = text.first(2);
    const QByteArrayView dayText = text.sliced(3, 2);
    const QByteArrayView yearText = text.sliced(6);
    if (!isAllDigits(monthText) || !isAllDigits(dayText) || !isAllDigits(yearText))
        return std::nullopt;
    const int month = smallNumber(monthText);
    const int day = smallNumber(dayText);
    int year = smallNumber(yearText);
    if (month < 1 || month > 12 || day < 1 || day > 31)
        return std::nullopt;
    if (yearText.size() == 2)
        year += year >= 70 ? 1900 : 2000;
    return QDate(year, month, day);
}

// "HH:MM" on a 24-hour clock or "HH:MMAM"/"HH:MMPM" on a 12-hour clock.
std::optional<QTime> dosTime(QByteArrayView text, QByteArrayView suffix)
{
    if (suffix.isEmpty() && text.size() > 2) {
        const QByteArrayView tail = text.last(2);
        if (equalsIgnoringCase(tail, "am") || equalsIgnoringCase(tail, "pm")) {
            suffix = tail;
            text.chop(2);
        }
    }
    const std::optional<QTime> time = clockTime(text);
    if (!time || suffix.isEmpty())
        return time;
    int hour = time->hour();
    if (hour < 1 || hour > 12)
        return std::nullopt;
    const bool afternoon = equalsIgnoringCase(suffix, "pm");
    hour = hour % 12 + (afternoon ? 12 : 0);
    return QTime(hour, time->minute());
}

std::optional<ListingEntry> parseDosLine(QByteArrayView line)
{
    // date time [AM|PM] size|<DIR> name
    std::array<Token, 4> tokens;
    const qsizetype count = tokenize(line, tokens);
    if (count < 4 || tokens[0].begin != 0)
        return std::nullopt;

    const std::optional<QDate> date = dosDate(tokenText(line, tokens[0]));
    if (!date)
        return std::nullopt;

    std::size_t next = 2;
    QByteArrayView suffix;
    const QByteArrayView maybeSuffix = tokenText(line, tokens[2]);
    if (equalsIgnoringCase(maybeSuffix, "am") || equalsIgnoringCase(maybeSuffix, "pm")) {
        suffix = maybeSuffix;
        next = 3;
    }
    const std::optional<QTime> time = dosTime(tokenText(line, tokens[1]), suffix);
    if (!time)
        return std::nullopt;

    const QByteArrayView sizeText = tokenText(line, tokens[next]);
    ListingEntry entry;
    if (sizeText == QByteArrayView("<DIR>"))
        entry.attributes = kDirectoryAttribute;
    else if (isAllDigits(sizeText))
        entry.size = sizeFromDigits(sizeText);
    else
        return std::nullopt;

    qsizetype nameBegin = tokens[next].end;
    while (nameBegin < line.size() && isBlank(line[nameBegin]))
        ++nameBegin;
    const QByteArrayView name = line.sliced(nameBegin);
    if (name.isEmpty() || isSelfOrParent(name))
        return std::nullopt;

    entry.name = decodeName(name);
    if (date->isValid())
        entry.modified = QDateTime(*date, *time);
    return entry;
}

// "YYYYMMDDHHMMSS" with optional fractional seconds, in UTC.
QDateTime mlsdTime(QByteArrayView text)
{
    QByteArrayView fraction;
    if (const qsizetype dot = text.indexOf('.'); dot >= 0) {
        fraction = text.sliced(dot + 1);
        text = text.first(dot);
        if (!isAllDigits(fraction))
            return {};
    }
    if (text.size() != 14 || !isAllDigits(text))
        return {};
    const QDate date(smallNumber(text.first(4)), smallNumber(text.sliced(4, 2)),
                     smallNumber(text.sliced(6, 2)));
    int milliseconds = 0;
    for (qsizetype i = 0; i < 3; ++i)
        milliseconds = milliseconds * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);
    const QTime time(smallNumber(text.sliced(8, 2)), smallNumber(text.sliced(10, 2)),
                     smallNumber(text.sliced(12, 2)), milliseconds);
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, Qt::UTC);
}

} // namespace

std::optional<ListingEntry> parseListLine(QByteArrayView line)
{
    line = withoutLineEnd(line);
    if (line.isEmpty())
        return std::nullopt;
    if (isDigit(line[0]))
        return parseDosLine(line);
    return parseUnixLine(line);
}

std::optional<ListingEntry> parseMlsdLine(QByteArrayView line)
{
    line = withoutLineEnd(line);
    // The facts end at the first "; "; fact values never hold ";", so a name may.
    QByteArrayView facts;
    QByteArrayView name;
    if (line.startsWith(' ')) {
        name = line.sliced(1);
    } else {
        const qsizetype end = line.indexOf(QByteArrayView("; "));
        if (end < 0)
            return std::nullopt;
        facts = line.first(end);
        name = line.sliced(end + 2);
    }
    if (name.isEmpty() || isSelfOrParent(name))
        return std::nullopt;

    ListingEntry entry;
    qint64 directorySize = -1;
    bool haveSize = false;
    qsizetype pos = 0;
    while (pos < facts.size()) {
        qsizetype end = facts.indexOf(';', pos);
        if (end < 0)
            end = facts.size();
        const QByteArrayView fact = facts.sliced(pos, end - pos);
        pos = end + 1;
        const qsizetype equals = fact.indexOf('=');
        if (equals < 0)
            continue;
        const QByteArrayView key = fact.first(equals);
        const QByteArrayView value = fact.sliced(equals + 1);
        if (equalsIgnoringCase(key, "type")) {
            if (equalsIgnoringCase(value, "cdir") || equalsIgnoringCase(value, "pdir"))
                return std::nullopt;
            entry.attributes = equalsIgnoringCase(value, "dir") ? kDirectoryAttribute : 0;
        } else if (equalsIgnoringCase(key, "size")) {
            haveSize = true;
            entry.size = isAllDigits(value) ? sizeFromDigits(value) : -1;
        } else if (equalsIgnoringCase(key, "sizd")) {
            directorySize = isAllDigits(value) ? sizeFromDigits(value) : -1;
        } else if (equalsIgnoringCase(key, "modify")) {
            entry.modified = mlsdTime(value);
        }
    }
    if (!haveSize)
        entry.size = directorySize;
    entry.name = decodeName(name);
    return entry;
}

QList<ListingEntry> parseListing(QByteArrayView reply, ListingFormat format)
{
    QList<ListingEntry> entries;
    qsizetype pos = 0;
    while (pos < reply.size()) {
        qsizetype end = reply.indexOf('\n', pos);
        end = end < 0 ? reply.size() : end + 1;
        const QByteArrayView line = reply.sliced(pos, end - pos);
        pos = end;
        std::optional<ListingEntry> entry =
            format == ListingFormat::Mlsd ? parseMlsdLine(line) : parseListLine(line);
        if (entry)
            entries.append(std::move(*entry));
    }
    return entries;
}

} // namespace zo
