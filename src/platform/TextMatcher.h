#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringView>

// How a searched text matches the editor's text. A space and a non-breaking
// space match each other; a line break in the searched text (LF, CR LF, CR)
// matches a line break; without matchCase, characters compare by Unicode
// case folding, one code point for one ("ß" and "ẞ", "k" and the Kelvin
// sign), so a hit is always as long as the searched text once its line
// breaks are made single. An empty searched text never matches.
class TextMatcher
{
public:
    TextMatcher(const QString &searched, bool matchCase, bool wholeWord);

    // Length of every hit.
    int length() const { return int(m_needle.size()); }
    // The first hit at or after from that ends by end (-1: the end of the
    // text), or -1.
    qsizetype indexIn(QStringView text, qsizetype from, qsizetype end = -1) const;
    // Every hit from from to end, left to right, none overlapping another.
    QList<QPair<int, int>> allIn(QStringView text, qsizetype from, qsizetype end = -1) const;
    // Whether candidate, as a whole, is the searched text; word bounds are
    // not considered.
    bool matches(QStringView candidate) const;

private:
    // Same length as text, so that positions carry over.
    QString folded(QStringView text) const;
    bool atWordBounds(QStringView text, qsizetype at) const;

    QString m_needle;
    bool m_matchCase;
    bool m_wholeWord;
};
