#pragma once

#include <QtGlobal>

// Where the next search starts and which range "Sélection" covers.
struct SearchState
{
    int SearchPos = 0;
    int SearchRangeStart = 0;
    int SearchRangeLength = 0;
    int SearchFindOptions = 0;
    // Set while the search moves the selection itself, so that the
    // selection-change handler leaves the state alone.
    bool SearchSelecting = false;
};

namespace Globals {
extern SearchState search;
}
