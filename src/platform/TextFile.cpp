#include "platform/TextFile.h"

#include "platform/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <functional>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace TextFile {

namespace {

using Encoding = TextFormat::Encoding;
using LineEnd = TextFormat::LineEnd;

// Windows-1252 for bytes 0x80-0x9F. The five bytes the code page leaves
// undefined keep their C1 control character, so that every byte value
// has a character and comes back as itself.
constexpr char16_t Windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The byte for u in Windows-1252, or -1.
inline int toWindows1252(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    const auto *const hit = std::find(std::begin(Windows1252High), std::end(Windows1252High), u);
    return hit == std::end(Windows1252High) ? -1 : int(0x80 + (hit - std::begin(Windows1252High)));
}

// The line-end styles met while decoding: the first one is the file's; each
// line's own is recorded only once a second style shows up, so that a file
// of one style pays for a counter alone.
struct LineEndsSeen
{
    qsizetype count = 0;
    LineEnd first = LineEnd::Lf;
    LineEnds each;

    void seen(LineEnd style)
    {
        if (count == 0)
            first = style;
        else if (style != first && each.isEmpty())
            each.fill(first, count);
        if (!each.isEmpty())
            each.append(style);
        ++count;
    }
};

// unit is '\r' or '\n', just read; the '\n' of a CR LF pair is consumed.
template<typename Unit>
inline void takeLineEnd(char16_t unit, const Unit *&p, const Unit *end, LineEndsSeen &ends)
{
    if (unit == '\n') {
        ends.seen(LineEnd::Lf);
    } else if (p != end && *p == '\n') {
        ++p;
        ends.seen(LineEnd::CrLf);
    } else {
        ends.seen(LineEnd::Cr);
    }
}

inline bool isNotLineEnd(uint unit)
{
    return unit > '\r' || (unit != '\r' && unit != '\n');
}

inline bool isContinuation(uint byte)
{
    return (byte & 0xC0) == 0x80;
}

// Strict UTF-8 (no overlong forms, encoded surrogates or values above
// U+10FFFF), since only that re-encodes to the same bytes. Stops with false
// at the first invalid or truncated sequence.
bool decodeUtf8(const uchar *p, const uchar *end, char16_t *&out, LineEndsSeen &ends)
{
    while (p != end) {
        const uint b = *p++;
        if (b < 0x80) {
            if (isNotLineEnd(b)) {
                *out++ = char16_t(b);
            } else {
                takeLineEnd(char16_t(b), p, end, ends);
                *out++ = u'\n';
            }
        } else if (b < 0xC2) {
            return false;
        } else if (b < 0xE0) {
            if (p == end || !isContinuation(p[0]))
                return false;
            *out++ = char16_t(((b & 0x1F) << 6) | (p[0] & 0x3F));
            p += 1;
        } else if (b < 0xF0) {
            if (end - p < 2)
                return false;
            const uint c1 = p[0];
            const uint low = b == 0xE0 ? 0xA0 : 0x80;
            const uint high = b == 0xED ? 0x9F : 0xBF;
            if (c1 < low || c1 > high || !isContinuation(p[1]))
                return false;
            *out++ = char16_t(((b & 0x0F) << 12) | ((c1 & 0x3F) << 6) | (p[1] & 0x3F));
            p += 2;
        } else if (b < 0xF5) {
            if (end - p < 3)
                return false;
            const uint c1 = p[0];
            const uint low = b == 0xF0 ? 0x90 : 0x80;
            const uint high = b == 0xF4 ? 0x8F : 0xBF;
            if (c1 < low || c1 > high || !isContinuation(p[1]) || !isContinuation(p[2]))
                return false;
            const char32_t code = ((b & 0x07) << 18) | ((c1 & 0x3F) << 12) | ((p[1] & 0x3F) << 6)
                    | (p[2] & 0x3F);
            *out++ = QChar::highSurrogate(code);
            *out++ = QChar::lowSurrogate(code);
            p += 3;
        } else {
            return false;
        }
    }
    return true;
}

void decodeWindows1252(const uchar *p, const uchar *end, char16_t *&out, LineEndsSeen &ends)
{
    while (p != end) {
        const uint b = *p++;
        if (b >= 0x80 && b < 0xA0) {
            *out++ = Windows1252High[b - 0x80];
        } else if (isNotLineEnd(b)) {
            *out++ = char16_t(b);
        } else {
            takeLineEnd(char16_t(b), p, end, ends);
            *out++ = u'\n';
        }
    }
}

// Code units as they are, lone surrogates included, so that any even
// number of bytes comes back unchanged.
void decodeUtf16(const uchar *p, const uchar *end, bool bigEndian, char16_t *&out,
                 LineEndsSeen &ends)
{
    char16_t *const begin = out;
    for (; p != end; p += 2)
        *out++ = bigEndian ? char16_t((p[0] << 8) | p[1]) : char16_t(p[0] | (p[1] << 8));
    // Line ends in place: the text only shrinks.
    const char16_t *in = begin;
    const char16_t *const last = out;
    out = begin;
    while (in != last) {
        const char16_t u = *in++;
        if (isNotLineEnd(u)) {
            *out++ = u;
        } else {
            takeLineEnd(u, in, last, ends);
            *out++ = u'\n';
        }
    }
}

struct Spelling
{
    char first;
    char second;
    qsizetype size;
};

constexpr Spelling spell(LineEnd style)
{
    switch (style) {
    case LineEnd::CrLf:
        return {'\r', '\n', 2};
    case LineEnd::Cr:
        return {'\r', 0, 1};
    case LineEnd::Lf:
        break;
    }
    return {'\n', 0, 1};
}

// What ends each line break of a text in turn: the line's own style where
// one is recorded, the file's style after that.
class LineBreaks
{
public:
    LineBreaks(LineEnd style, const LineEnds &each) : m_style(spell(style)), m_each(each) {}

    // Bytes beyond one a break, over the first breaks line breaks.
    qsizetype extra(qsizetype breaks) const
    {
        const qsizetype own = std::min(breaks, m_each.size());
        qsizetype extra = (breaks - own) * (m_style.size - 1);
        for (qsizetype i = 0; i < own; ++i)
            extra += spell(m_each[i]).size - 1;
        return extra;
    }

    Spelling next() { return m_next < m_each.size() ? spell(m_each[m_next++]) : m_style; }

    char *put(char *out)
    {
        const Spelling s = next();
        *out++ = s.first;
        if (s.size == 2)
            *out++ = s.second;
        return out;
    }

private:
    Spelling m_style;
    const LineEnds &m_each;
    qsizetype m_next = 0;
};

QByteArray encodeUtf8(const QString &text, bool mark, LineBreaks lineBreaks)
{
    const char16_t *const begin = reinterpret_cast<const char16_t *>(text.constData());
    const char16_t *const end = begin + text.size();
    // Exact size first: one allocation, no slack in a 50 MB result.
    qsizetype size = mark ? 3 : 0;
    qsizetype breaks = 0;
    for (const char16_t *p = begin; p != end; ++p) {
        const char16_t u = *p;
        if (u < 0x80) {
            ++size;
            breaks += u == '\n';
        } else if (u < 0x800) {
            size += 2;
        } else if (QChar::isHighSurrogate(u) && p + 1 != end && QChar::isLowSurrogate(p[1])) {
            size += 4;
            ++p;
        } else {
            size += 3; // a lone surrogate is written as U+FFFD
        }
    }
    size += lineBreaks.extra(breaks);
    QByteArray bytes(size, Qt::Uninitialized);
    char *out = bytes.data();
    if (mark) {
        *out++ = char(0xEF);
        *out++ = char(0xBB);
        *out++ = char(0xBF);
    }
    for (const char16_t *p = begin; p != end; ++p) {
        uint u = *p;
        if (u < 0x80) {
            if (u == '\n')
                out = lineBreaks.put(out);
            else
                *out++ = char(u);
        } else if (u < 0x800) {
            *out++ = char(0xC0 | (u >> 6));
            *out++ = char(0x80 | (u & 0x3F));
        } else if (QChar::isHighSurrogate(u) && p + 1 != end && QChar::isLowSurrogate(p[1])) {
            const char32_t code = QChar::surrogateToUcs4(char16_t(u), p[1]);
            ++p;
            *out++ = char(0xF0 | (code >> 18));
            *out++ = char(0x80 | ((code >> 12) & 0x3F));
            *out++ = char(0x80 | ((code >> 6) & 0x3F));
            *out++ = char(0x80 | (code & 0x3F));
        } else {
            if (QChar::isSurrogate(u))
                u = QChar::ReplacementCharacter;
            *out++ = char(0xE0 | (u >> 12));
            *out++ = char(0x80 | ((u >> 6) & 0x3F));
            *out++ = char(0x80 | (u & 0x3F));
        }
    }
    Q_ASSERT(out == bytes.data() + size);
    return bytes;
}

// Empty when a character of text has no byte in Windows-1252.
std::optional<QByteArray> encodeWindows1252(const QString &text, LineBreaks lineBreaks)
{
    const char16_t *const begin = reinterpret_cast<const char16_t *>(text.constData());
    const char16_t *const end = begin + text.size();
    qsizetype breaks = 0;
    for (const char16_t *p = begin; p != end; ++p) {
        if (*p == '\n')
            ++breaks;
        else if (*p >= 0x80 && toWindows1252(*p) < 0)
            return std::nullopt;
    }
    QByteArray bytes(text.size() + lineBreaks.extra(breaks), Qt::Uninitialized);
    char *out = bytes.data();
    for (const char16_t *p = begin; p != end; ++p) {
        if (*p == '\n')
            out = lineBreaks.put(out);
        else
            *out++ = char(toWindows1252(*p));
    }
    Q_ASSERT(out == bytes.data() + bytes.size());
    return bytes;
}

QByteArray encodeUtf16(const QString &text, bool bigEndian, bool mark, LineBreaks lineBreaks)
{
    const qsizetype units = (mark ? 1 : 0) + text.size() + lineBreaks.extra(text.count(u'\n'));
    QByteArray bytes(units * 2, Qt::Uninitialized);
    char *out = bytes.data();
    const auto put = [&out, bigEndian](char16_t u) {
        *out++ = char(bigEndian ? u >> 8 : u & 0xFF);
        *out++ = char(bigEndian ? u & 0xFF : u >> 8);
    };
    if (mark)
        put(0xFEFF);
    for (const QChar c : text) {
        if (c == u'\n') {
            const Spelling s = lineBreaks.next();
            put(char16_t(s.first));
            if (s.size == 2)
                put(char16_t(s.second));
        } else {
            put(c.unicode());
        }
    }
    Q_ASSERT(out == bytes.data() + bytes.size());
    return bytes;
}

// Reads until the end through read (bytes read, 0 at the end, -1 on error),
// starting with room for sizeHint bytes.
LoadError readAll(const std::function<qint64(char *, qint64)> &read, qint64 sizeHint,
                  QByteArray *bytes)
{
    // One spare byte, so that the read that finds the end needs no growth.
    bytes->resize(std::min(sizeHint, MaxFileSize) + 1);
    qint64 got = 0;
    for (;;) {
        const qint64 n = read(bytes->data() + got, bytes->size() - got);
        if (n < 0)
            return LoadError::CannotRead;
        if (n == 0)
            break;
        got += n;
        if (got > MaxFileSize)
            return LoadError::TooLarge;
        if (got == bytes->size())
            bytes->resize(std::min(std::max<qint64>(got * 2, 1 << 16), MaxFileSize + 1));
    }
    bytes->resize(got);
    return LoadError::None;
}

LoadError readRegularFile(const QString &path, QByteArray *bytes)
{
#ifdef Q_OS_UNIX
    // Opened before it is examined, so that nothing can swap the file in
    // between; non-blocking, so that a FIFO without writer cannot hang us.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return LoadError::CannotRead;
    struct stat status = {};
    LoadError result = LoadError::None;
    if (::fstat(fd, &status) != 0)
        result = LoadError::CannotRead;
    else if (!S_ISREG(status.st_mode))
        result = LoadError::NotARegularFile;
    else if (status.st_size > MaxFileSize)
        result = LoadError::TooLarge;
    else
        result = readAll(
                [fd](char *data, qint64 size) {
                    ssize_t n;
                    do
                        n = ::read(fd, data, size_t(size));
                    while (n < 0 && errno == EINTR);
                    return qint64(n);
                },
                status.st_size, bytes);
    ::close(fd);
    return result;
#else
    const QFileInfo info(path);
    if (!info.exists())
        return LoadError::CannotRead;
    if (!info.isFile())
        return LoadError::NotARegularFile;
    if (info.size() > MaxFileSize)
        return LoadError::TooLarge;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return LoadError::CannotRead;
    return readAll([&file](char *data, qint64 size) { return file.read(data, size); },
                   info.size(), bytes);
#endif
}

// Decode tries UTF-16 and UTF-8 first, so Windows-1252 bytes that start
// with a UTF-16 mark and have an even length (after an edit), or whose
// letters happen to spell valid UTF-8, would read back as other text.
bool readsBackAsWindows1252(const QByteArray &bytes)
{
    const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                   [](char b) { return uchar(b) < 0x80; });
    return ascii || Decode(bytes).format.encoding == Encoding::Windows1252;
}

} // namespace

TextFormat NewDocumentFormat()
{
    return TextFormat();
}

DecodedText Decode(const QByteArray &bytes)
{
    DecodedText result;
    const auto *const data = reinterpret_cast<const uchar *>(bytes.constData());
    const uchar *const end = data + bytes.size();
    const auto startsWith = [&bytes](const char *mark) { return bytes.startsWith(mark); };

    QString text(bytes.size(), Qt::Uninitialized); // never more units than bytes
    char16_t *const begin = reinterpret_cast<char16_t *>(text.data());
    char16_t *out = begin;
    LineEndsSeen ends;
    TextFormat &format = result.format;

    // A UTF-16 mark on an odd number of bytes cannot be UTF-16: such a file
    // is read as Windows-1252, which keeps every byte.
    const bool utf16LE = startsWith("\xFF\xFE") && bytes.size() % 2 == 0;
    const bool utf16BE = startsWith("\xFE\xFF") && bytes.size() % 2 == 0;
    if (utf16LE || utf16BE) {
        format.encoding = utf16BE ? Encoding::Utf16BE : Encoding::Utf16LE;
        format.byteOrderMark = true;
        decodeUtf16(data + 2, end, utf16BE, out, ends);
    } else {
        // A UTF-8 mark followed by invalid UTF-8 falls to Windows-1252 too,
        // mark and all, so that the bytes still come back.
        const bool mark = startsWith("\xEF\xBB\xBF");
        if (decodeUtf8(data + (mark ? 3 : 0), end, out, ends)) {
            format.encoding = Encoding::Utf8;
            format.byteOrderMark = mark;
        } else {
            out = begin;
            ends = LineEndsSeen();
            format.encoding = Encoding::Windows1252;
            format.byteOrderMark = false;
            decodeWindows1252(data, end, out, ends);
        }
    }

    text.resize(out - begin);
    if (text.capacity() - text.size() > text.size() / 4)
        text.squeeze(); // text in many-byte characters leaves much unused room
    result.text = std::move(text);
    if (ends.count > 0)
        format.lineEnd = ends.first;
    result.lineEnds = std::move(ends.each);
    return result;
}

QByteArray Encode(const QString &text, const TextFormat &format, TextFormat *used,
                  const LineEnds &lineEnds)
{
    TextFormat actual = format;
    const LineBreaks lineBreaks(format.lineEnd, lineEnds);
    QByteArray bytes;
    switch (format.encoding) {
    case Encoding::Windows1252:
        if (std::optional<QByteArray> encoded = encodeWindows1252(text, lineBreaks);
            encoded && readsBackAsWindows1252(*encoded)) {
            bytes = std::move(*encoded);
            break;
        }
        // UTF-8 keeps whatever Windows-1252 cannot hold, or could not hold
        // so that it reads back the same.
        actual.encoding = Encoding::Utf8;
        actual.byteOrderMark = false;
        bytes = encodeUtf8(text, false, lineBreaks);
        break;
    case Encoding::Utf8:
        bytes = encodeUtf8(text, format.byteOrderMark, lineBreaks);
        break;
    case Encoding::Utf16LE:
    case Encoding::Utf16BE:
        bytes = encodeUtf16(text, format.encoding == Encoding::Utf16BE, format.byteOrderMark,
                            lineBreaks);
        break;
    }
    if (used)
        *used = actual;
    return bytes;
}

std::optional<DecodedText> Load(const QString &path, LoadError *error)
{
    QByteArray bytes;
    const LoadError result = readRegularFile(path, &bytes);
    if (error)
        *error = result;
    if (result != LoadError::None)
        return std::nullopt;
    return Decode(bytes);
}

bool Save(const QString &path, const QString &text, TextFormat *format, const LineEnds &lineEnds)
{
    Q_ASSERT(format);
    TextFormat used;
    const QByteArray bytes = Encode(text, *format, &used, lineEnds);
    if (!WriteFileAtomically(path, bytes))
        return false;
    *format = used;
    return true;
}

} // namespace TextFile
