#include "ui/search/SearchState.h"

namespace Globals {
SearchState search;
}
