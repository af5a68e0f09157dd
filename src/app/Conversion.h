#pragma once

#include "platform/ColorValue.h"

#include <QString>
#include <QtGlobal>

// Small stateless helpers shared by the whole editor: check-box values,
// the clipboard clean-up before a paste, and path and command-line text.
namespace Conversion {

// 1 for true, 0 for false.
quint8 BoolToCheckValue(bool value);
// True only for 1 (ticked); 0 (unticked) and 2 (greyed) are false.
bool CheckValueToBool(quint8 value);

// Leaves only plain text on the clipboard; anything that has no text
// (a picture, a file list) is discarded.
void MakeClipboardPlainText();

// True for a character that separates folders on this platform.
bool IsPathSeparator(QChar c);

// The path up to and including its last separator; empty when it has none.
QString ExtractDirectory(const QString &path);
// The text between a leading double quote and the next one; the text itself
// when it does not start with a quote; empty when the quote never closes.
QString StripQuotes(const QString &text);
// The file name after the last separator, cut to 64 characters plus "...".
// A character outside the BMP counts once and is never cut in half.
QString ExtractDisplayName(const QString &path);

// Twips (1/1440 inch) and pixels at a logical resolution in dots per inch.
int TwipsToPixels(int twips, int dpi);
int PixelsToTwips(int pixels, int dpi);

} // namespace Conversion

using Conversion::BoolToCheckValue;
using Conversion::CheckValueToBool;
using Conversion::ExtractDirectory;
using Conversion::ExtractDisplayName;
using Conversion::MakeClipboardPlainText;
using Conversion::StripQuotes;
