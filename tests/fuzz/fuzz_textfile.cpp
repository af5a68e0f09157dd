// The plain-text decoder, fed any bytes: what it decodes, each line's own
// end included, encodes back to the very same bytes. The decoded text, saved
// in any format as after an edit, reads back as the same text.
#include "platform/TextFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

using Encoding = TextFormat::Encoding;
using LineEnd = TextFormat::LineEnd;

void require(bool holds, const char *property)
{
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", property);
        std::abort();
    }
}

bool operator==(const TextFormat &a, const TextFormat &b)
{
    return a.encoding == b.encoding && a.byteOrderMark == b.byteOrderMark
           && a.lineEnd == b.lineEnd;
}

bool hasLoneSurrogate(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return true;
    }
    return false;
}

void checkRoundTrip(const QByteArray &bytes)
{
    const DecodedText decoded = TextFile::Decode(bytes);
    require(!decoded.text.contains(QLatin1Char('\r')), "line breaks are '\\n' only");

    require(decoded.lineEnds.isEmpty()
                    || decoded.lineEnds.size() == decoded.text.count(QLatin1Char('\n')),
            "one line end a line break, or none for a uniform file");
    TextFormat used;
    const QByteArray written =
            TextFile::Encode(decoded.text, decoded.format, &used, decoded.lineEnds);
    require(written == bytes, "the bytes come back");
    require(used == decoded.format, "decoded text needs no other encoding");
}

// Every format a document can be saved in. UTF-8 writes a lone surrogate as
// U+FFFD, and a leading U+FEFF without a mark reads back as a mark: both by
// design, so such texts are left out there.
void checkSavedText(const QString &text)
{
    const bool ascii = std::all_of(text.begin(), text.end(),
                                   [](QChar c) { return c.unicode() < 0x80; });
    const bool utf8Keeps = !hasLoneSurrogate(text) && !text.startsWith(QChar(0xFEFF));
    for (Encoding encoding :
         {Encoding::Utf8, Encoding::Utf16LE, Encoding::Utf16BE, Encoding::Windows1252}) {
        for (bool mark : {false, true}) {
            const bool utf16 = encoding == Encoding::Utf16LE || encoding == Encoding::Utf16BE;
            if (mark != utf16 && encoding != Encoding::Utf8)
                continue; // UTF-16 always has its mark, Windows-1252 never
            for (LineEnd lineEnd : {LineEnd::CrLf, LineEnd::Lf, LineEnd::Cr}) {
                const TextFormat format{encoding, mark, lineEnd};
                TextFormat used;
                const QByteArray bytes = TextFile::Encode(text, format, &used);
                if (used.encoding == Encoding::Utf8 && !utf8Keeps)
                    continue;
                const DecodedText read = TextFile::Decode(bytes);
                require(read.text == text, "a saved text reads back the same");
                require(read.lineEnds.isEmpty(), "a saved text has uniform line ends");
                require(ascii || read.format.encoding == used.encoding,
                        "a saved text reads back in the encoding written");
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    checkRoundTrip(bytes);
    checkSavedText(TextFile::Decode(bytes).text);
    return 0;
}
