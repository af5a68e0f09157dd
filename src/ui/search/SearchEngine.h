#pragma once

#include "platform/TextMatcher.h"
#include "ui/search/SearchState.h"

class RichTextBox;

// What to look for, as the dialog's controls say it.
struct SearchRequest
{
    QString text;
    bool matchCase = false;
    bool wholeWord = false;
    SearchScope scope = SearchScope::Everywhere;

    TextMatcher matcher() const { return TextMatcher(text, matchCase, wholeWord); }
};

struct SearchHit
{
    int start = -1;
    int length = 0;
    bool found() const { return start >= 0; }
};

// Find and replace over the text of the editing control, through its
// text-level members only. A step starts at state.SearchPos and ends at the
// end of the text, or of the captured range for "Sélection"; there is no
// wrap-around, and after a miss the next step starts again at 0. The
// engine shows nothing: its callers word the outcome.
class SearchEngine
{
public:
    explicit SearchEngine(RichTextBox &txt) : m_txt(txt) {}

    // Selects the next hit and moves SearchPos past it; on a miss the
    // selection stays and SearchPos goes back to 0.
    SearchHit find(const SearchRequest &request, SearchState &state);
    // Replaces the selection when it is a hit of request.text (case
    // ignored), then every hit of the scope, each as it stood in the text
    // before: a replacement is never searched. One undo step; returns the
    // count. SearchPos ends at 0.
    int replaceAll(const SearchRequest &request, const QString &replacement, SearchState &state);
    // Writes replacement over the selection when it is a hit of request.text
    // (case ignored); the next step starts after it.
    bool replaceSelection(const SearchRequest &request, const QString &replacement,
                          SearchState &state);
    // Whether the selection, as a whole, is text; the same comparison as a hit's.
    bool selectionIs(const QString &text, bool matchCase) const;

private:
    qsizetype indexFrom(const TextMatcher &matcher, int from, int end) const;
    int scopeEnd(const SearchRequest &request, const SearchState &state) const;

    RichTextBox &m_txt;
};
