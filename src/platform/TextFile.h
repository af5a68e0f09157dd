#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// How a plain-text file's bytes spell its text, so that it can be written
// back exactly as it was read.
struct TextFormat
{
    enum class Encoding { Utf8, Utf16LE, Utf16BE, Windows1252 };
    enum class LineEnd : quint8 { CrLf, Lf, Cr };

    Encoding encoding = Encoding::Utf8;
    bool byteOrderMark = false;
#ifdef Q_OS_WIN
    LineEnd lineEnd = LineEnd::CrLf;
#else
    LineEnd lineEnd = LineEnd::Lf;
#endif
};

struct DecodedText
{
    QString text;          // line breaks as '\n' only
    TextFormat format;     // what the bytes were, to be written back the same way
    // The end of each line in turn when the lines do not all end the same
    // way (format.lineEnd is the first one's); empty when they do.
    QList<TextFormat::LineEnd> lineEnds;
};

// Load and save of the user's plain-text files. A byte-order mark selects
// UTF-8 or UTF-16; otherwise valid UTF-8 is UTF-8 and anything else is
// Windows-1252, in which every byte value has a character, and each line
// keeps its own line end, so any file comes back byte for byte.
namespace TextFile {

using LineEnds = QList<TextFormat::LineEnd>;

// Files above this size are refused: the editor would need several times
// as much memory to show them.
constexpr qint64 MaxFileSize = qint64(512) << 20;

TextFormat NewDocumentFormat();
DecodedText Decode(const QByteArray &bytes);
// The bytes for text in format; when the format's 8-bit encoding cannot
// represent a character of text, or its bytes would be read back in another
// encoding, UTF-8 (no mark) is used instead and *used (if given) says so.
// Line breaks take their own ends from lineEnds while it lasts.
QByteArray Encode(const QString &text, const TextFormat &format, TextFormat *used = nullptr,
                  const LineEnds &lineEnds = {});

enum class LoadError { None, NotARegularFile, CannotRead, TooLarge };
// Refuses anything that is not a regular file (directory, FIFO, device)
// without blocking on it; reads the whole file.
std::optional<DecodedText> Load(const QString &path, LoadError *error = nullptr);
// A failed save leaves the old file whole. On success *format becomes the
// format actually written.
bool Save(const QString &path, const QString &text, TextFormat *format,
          const LineEnds &lineEnds = {});

} // namespace TextFile
