#include "ui/search/SearchEngine.h"

#include "platform/RichTextBox.h"

#include <QScopedValueRollback>

#include <algorithm>

namespace {

// Where a position lands once the ranges (ascending) have become
// inserted characters each: inside one it moves past the new text.
int followEdits(int position, const QList<QPair<int, int>> &ranges, int inserted)
{
    int shift = 0;
    for (const auto &[start, removed] : ranges) {
        if (position <= start)
            break;
        if (position < start + removed)
            return start + shift + inserted;
        shift += inserted - removed;
    }
    return position + shift;
}

void followRange(SearchState &state, const QList<QPair<int, int>> &ranges, int inserted)
{
    const int end = followEdits(state.SearchRangeStart + state.SearchRangeLength, ranges, inserted);
    state.SearchRangeStart = followEdits(state.SearchRangeStart, ranges, inserted);
    state.SearchRangeLength = std::max(0, end - state.SearchRangeStart);
}

} // namespace

int SearchEngine::scopeEnd(const SearchRequest &request, const SearchState &state) const
{
    return request.scope == SearchScope::Selection ? state.SearchRangeStart + state.SearchRangeLength
                                                    : -1;
}

qsizetype SearchEngine::indexFrom(const TextMatcher &matcher, int from, int end) const
{
    // The text is read a piece at a time from the start of the step, each
    // piece twice the last: a hit near the caret costs little however long
    // the text. Two characters either side keep the word bounds right.
    const int length = m_txt.TextLength();
    if (end < 0 || end > length)
        end = length;
    const int n = matcher.length();
    if (n == 0 || from < 0)
        return -1;
    for (qsizetype piece = 64 * 1024, start = from; start + n <= end; start += piece, piece *= 2) {
        const qsizetype stop = std::min<qsizetype>(end, start + piece + n - 1);
        const qsizetype lead = std::min<qsizetype>(start, 2);
        const qsizetype tail = std::min<qsizetype>(length - stop, 2);
        const QString text = m_txt.TextSpan(int(start - lead), int(stop - start + lead + tail));
        const qsizetype at = matcher.indexIn(text, lead, lead + stop - start);
        if (at >= 0)
            return start - lead + at;
    }
    return -1;
}

SearchHit SearchEngine::find(const SearchRequest &request, SearchState &state)
{
    const TextMatcher matcher = request.matcher();
    const qsizetype p = indexFrom(matcher, state.SearchPos, scopeEnd(request, state));
    if (p < 0) {
        state.SearchPos = 0;
        return {};
    }
    // Selected as the user would: the handler enables what a selection
    // enables, and keeps the range since the selection is a hit.
    m_txt.setSelStart(int(p));
    m_txt.setSelLength(matcher.length());
    state.SearchPos = int(p) + matcher.length();
    return {int(p), matcher.length()};
}

bool SearchEngine::selectionIs(const QString &text, bool matchCase) const
{
    const TextMatcher matcher(text, matchCase, false);
    // A selection of another length is no hit: it is never copied.
    return matcher.length() > 0 && m_txt.SelLength() == matcher.length()
           && matcher.matches(m_txt.SelText());
}

bool SearchEngine::replaceSelection(const SearchRequest &request, const QString &replacement,
                                    SearchState &state)
{
    if (!selectionIs(request.text, false))
        return false;
    const QList<QPair<int, int>> edit{{m_txt.SelStart(), m_txt.SelLength()}};
    {
        const QScopedValueRollback<bool> selecting(state.SearchSelecting, true);
        m_txt.setSelText(replacement);
    }
    followRange(state, edit, int(replacement.size()));
    state.SearchPos = followEdits(state.SearchPos, edit, int(replacement.size()));
    return true;
}

int SearchEngine::replaceAll(const SearchRequest &request, const QString &replacement,
                             SearchState &state)
{
    const QString text = m_txt.Text();
    QList<QPair<int, int>> ranges =
            request.matcher().allIn(text, state.SearchPos, scopeEnd(request, state));
    if (selectionIs(request.text, false)) {
        // Counted once, wherever it lies; a hit it overlaps is its own.
        const QPair<int, int> selected{m_txt.SelStart(), m_txt.SelLength()};
        ranges.removeIf([&](const QPair<int, int> &hit) {
            return hit.first < selected.first + selected.second
                   && selected.first < hit.first + hit.second;
        });
        ranges.insert(std::lower_bound(ranges.begin(), ranges.end(), selected), selected);
    }
    state.SearchPos = 0;
    if (ranges.isEmpty())
        return 0;
    {
        const QScopedValueRollback<bool> selecting(state.SearchSelecting, true);
        m_txt.ReplaceRanges(ranges, replacement);
    }
    followRange(state, ranges, int(replacement.size()));
    return int(ranges.size());
}
