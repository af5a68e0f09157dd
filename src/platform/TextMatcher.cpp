#include "platform/TextMatcher.h"

#include <algorithm>

namespace {

bool isWordChar(char32_t c)
{
    return c == U'_' || QChar::isLetterOrNumber(c) || QChar::isMark(c);
}

// Folding a text of megabytes at once would double its memory for each
// step: a step folds it piece by piece.
constexpr qsizetype Piece = 1 << 20;

} // namespace

TextMatcher::TextMatcher(const QString &searched, bool matchCase, bool wholeWord)
    : m_matchCase(matchCase), m_wholeWord(wholeWord)
{
    QString needle = searched;
    needle.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    needle.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    m_needle = folded(needle);
}

QString TextMatcher::folded(QStringView text) const
{
    QString out(text.size(), Qt::Uninitialized);
    QChar *to = out.data();
    const QChar *from = text.data();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char16_t c = from[i].unicode();
        if (c < 0x80) {
            if (!m_matchCase && c >= 'A' && c <= 'Z')
                c += 'a' - 'A';
            to[i] = QChar(c);
        } else if (c == QChar::Nbsp) {
            to[i] = QLatin1Char(' ');
        } else if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            to[i] = QLatin1Char('\n');
        } else if (m_matchCase) {
            to[i] = QChar(c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && from[i + 1].isLowSurrogate()) {
            const char32_t f = QChar::toCaseFolded(QChar::surrogateToUcs4(c, from[i + 1].unicode()));
            const bool wide = QChar::requiresSurrogates(f);
            to[i] = wide ? QChar(QChar::highSurrogate(f)) : QChar(c);
            to[i + 1] = wide ? QChar(QChar::lowSurrogate(f)) : from[i + 1];
            ++i;
        } else {
            to[i] = QChar(char16_t(QChar::toCaseFolded(char32_t(c))));
        }
    }
    return out;
}

bool TextMatcher::atWordBounds(QStringView text, qsizetype at) const
{
    auto codePointBefore = [&](qsizetype i) -> char32_t {
        if (i >= 2 && text[i - 1].isLowSurrogate() && text[i - 2].isHighSurrogate())
            return QChar::surrogateToUcs4(text[i - 2], text[i - 1]);
        return text[i - 1].unicode();
    };
    auto codePointAt = [&](qsizetype i) -> char32_t {
        if (i + 1 < text.size() && text[i].isHighSurrogate() && text[i + 1].isLowSurrogate())
            return QChar::surrogateToUcs4(text[i], text[i + 1]);
        return text[i].unicode();
    };
    const qsizetype end = at + m_needle.size();
    return (at == 0 || !isWordChar(codePointBefore(at)))
           && (end == text.size() || !isWordChar(codePointAt(end)));
}

qsizetype TextMatcher::indexIn(QStringView text, qsizetype from, qsizetype end) const
{
    const qsizetype n = m_needle.size();
    if (end < 0 || end > text.size())
        end = text.size();
    if (n == 0 || from < 0)
        return -1;
    // Pieces overlap by the needle's length, so no hit falls between two.
    for (qsizetype start = from; start + n <= end; start += Piece) {
        const qsizetype stop = std::min(end, start + Piece + n - 1);
        const QString piece = folded(text.mid(start, stop - start));
        for (qsizetype at = piece.indexOf(m_needle); at >= 0; at = piece.indexOf(m_needle, at + 1)) {
            if (!m_wholeWord || atWordBounds(text, start + at))
                return start + at;
        }
    }
    return -1;
}

QList<QPair<int, int>> TextMatcher::allIn(QStringView text, qsizetype from, qsizetype end) const
{
    QList<QPair<int, int>> hits;
    const qsizetype n = m_needle.size();
    if (end < 0 || end > text.size())
        end = text.size();
    if (n == 0 || from < 0 || from + n > end)
        return hits;
    const QString span = folded(text.mid(from, end - from));
    for (qsizetype at = span.indexOf(m_needle); at >= 0;) {
        if (!m_wholeWord || atWordBounds(text, from + at)) {
            hits.append({int(from + at), int(n)});
            at = span.indexOf(m_needle, at + n);
        } else {
            at = span.indexOf(m_needle, at + 1);
        }
    }
    return hits;
}

bool TextMatcher::matches(QStringView candidate) const
{
    return !m_needle.isEmpty() && candidate.size() == m_needle.size() && folded(candidate) == m_needle;
}
