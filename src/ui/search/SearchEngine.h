#pragma once

class Search;
class QString;
class QTextCursor;

// Single find steps over the main window's text. Each step reads the search
// text, the options and the scope from the search dialog and starts at
// Globals::search.SearchPos; there is no wrap-around within a step, and
// after a miss the next step starts again at 0.
namespace SearchEngine {

// Selects the next hit, or reports the miss and leaves the selection alone.
void FindNext(Search &dialog);
// One step of the replace-all loop: true when a hit is found, which then
// becomes selection. The next step starts after the replacement the caller
// writes over it. The loop works on its own selection, shown in the editor
// when it ends, so that the view does not scroll to every hit.
bool FindNextForReplaceAll(Search &dialog, QTextCursor &selection);
// Hides the dialog, keeping its texts and options, and gives the keyboard
// back to the main window.
void CloseSearchDialog(Search &dialog);

// "Impossible de trouver" and the search text in double quotes.
QString MissMessage(const QString &text);

// Whether a selection of the editor is a hit of text: equal to it, or equal once
// both are in upper case unless matchCase. A non-breaking space matches a
// space, as it does for Find. An empty text is never a hit, so an empty
// search box neither finds nor replaces anything.
bool SelectionIs(const QTextCursor &selection, const QString &text, bool matchCase);

// Writes replacement over the selection, which ends as a caret after it. The "Sélection" range (and, when followSearchPos, the start of
// the next step) keeps pointing at the same text: a replacement of another
// length neither lets the search run past the range, drops hits, nor makes
// the next step find the replacement itself.
void ReplaceSelection(QTextCursor &selection, const QString &replacement, bool followSearchPos);

} // namespace SearchEngine
