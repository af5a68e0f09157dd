#pragma once

class MainWindow;
class QString;
class RichTextBox;

// Single find steps over the main window's text. Each step reads the search
// text, the options and the scope from the search dialog and starts at
// Globals::search.SearchPos; there is no wrap-around within a step, and
// after a miss the next step starts again at 0.
namespace SearchEngine {

// Selects the next hit, or reports the miss and leaves the selection alone.
void FindNext(MainWindow &window);
// Replaces every hit in the scope (the selection first when it is one) as
// one edit, the caret after the last; returns how many there were.
int ReplaceAll(MainWindow &window);
// Hides the dialog, keeping its texts and options, and gives the keyboard
// back to the main window.
void CloseSearchDialog(MainWindow &window);

// "Impossible de trouver" and the search text in double quotes.
QString MissMessage(const QString &text);

// Whether a selection of the editor is a hit of text: equal to it, or equal once
// both are in upper case unless matchCase. A non-breaking space matches a
// space, as it does for Find. An empty text is never a hit, so an empty
// search box neither finds nor replaces anything.
bool SelectionIs(const RichTextBox &txt, const QString &text, bool matchCase);

// Writes replacement over the selection, which ends as a caret after it. The "Sélection" range (and, when followSearchPos, the start of
// the next step) keeps pointing at the same text: a replacement of another
// length neither lets the search run past the range, drops hits, nor makes
// the next step find the replacement itself.
void ReplaceSelection(RichTextBox &txt, const QString &replacement, bool followSearchPos);

} // namespace SearchEngine
