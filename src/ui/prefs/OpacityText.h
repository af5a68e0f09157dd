#pragma once

#include <QString>
#include <QtGlobal>

// The opacity box's text read as a number: the leading decimal number of
// the text (blanks before it, an optional sign, digits, a fraction after
// ".", an exponent), 0 when the text does not start with one. Whatever
// follows the number is ignored.
namespace OpacityText {

double LeadingNumber(const QString &text);

// The text to leave in the box when the focus leaves it: "0" below 0,
// "255" above 255, otherwise the text as typed.
QString Clamped(const QString &text);

// The opacity the text stands for: its number held to 0..255 (a text that
// never went through Clamped is held the same way), then rounded with
// halves going to the even neighbour.
quint8 Level(const QString &text);

} // namespace OpacityText
