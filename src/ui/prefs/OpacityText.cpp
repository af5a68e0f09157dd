#include "ui/prefs/OpacityText.h"

#include <algorithm>
#include <cmath>

namespace OpacityText {

namespace {

bool isDigit(const QString &text, int i)
{
    return i < text.size() && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9');
}

int skipDigits(const QString &text, int i)
{
    while (isDigit(text, i))
        ++i;
    return i;
}

} // namespace

double LeadingNumber(const QString &text)
{
    int i = 0;
    while (i < text.size() && (text.at(i) == QLatin1Char(' ') || text.at(i) == QLatin1Char('\t')))
        ++i;
    const int start = i;
    if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        ++i;
    const int mantissa = i;
    i = skipDigits(text, i);
    bool digits = i > mantissa;
    if (i < text.size() && text.at(i) == QLatin1Char('.')) {
        const int fraction = i + 1;
        const int end = skipDigits(text, fraction);
        if (digits || end > fraction) {
            digits = true;
            i = end;
        }
    }
    if (!digits)
        return 0;
    // An exponent counts only when digits follow it ("1e" is 1).
    if (i < text.size() && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
        int j = i + 1;
        if (j < text.size() && (text.at(j) == QLatin1Char('+') || text.at(j) == QLatin1Char('-')))
            ++j;
        if (isDigit(text, j))
            i = skipDigits(text, j);
    }
    // Never the user's locale: "." is the one decimal point. Too large a
    // number reads as an infinity, too small a one as 0.
    return QStringView(text).mid(start, i - start).toDouble();
}

QString Clamped(const QString &text)
{
    const double value = LeadingNumber(text);
    if (value < 0)
        return QStringLiteral("0");
    if (value > 255)
        return QStringLiteral("255");
    return text;
}

quint8 Level(const QString &text)
{
    const double value = std::clamp(LeadingNumber(text), 0.0, 255.0);
    return quint8(std::nearbyint(value));
}

} // namespace OpacityText
