#pragma once

#include <QString>

// Which part of the text a search covers.
enum class SearchScope { Everywhere, Down, Selection };

// Where the next search starts and which range "Sélection" covers, with
// what the editor's selection handler needs of the dialog's choices, so
// that it never has to build the dialog to read them.
struct SearchState
{
    int SearchPos = 0;
    int SearchRangeStart = 0;
    int SearchRangeLength = 0;
    int SearchFindOptions = 0;
    // Set while the search moves the selection itself, so that the
    // selection-change handler leaves the state alone.
    bool SearchSelecting = false;
    QString SearchText;
    SearchScope Scope = SearchScope::Everywhere;
};

namespace Globals {
extern SearchState search;
}
