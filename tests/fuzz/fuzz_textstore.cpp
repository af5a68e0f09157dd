// The text store against a plain model, under any sequence of edits, undos
// and redos the input spells (see TextStoreScript.h).
#include "support/TextStoreScript.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TextStoreScript::run(data, size, [](bool holds, const char *property) {
        if (!holds) {
            std::fprintf(stderr, "property broken: %s\n", property);
            std::abort();
        }
    });
    return 0;
}
