#include "ui/commands/MenuCommands.h"

// The search commands open the search dialog, which is not built yet.
namespace MenuCommands {

void EditFind(MainWindow &) {}
void EditFindNext(MainWindow &) {}
void EditReplace(MainWindow &) {}

} // namespace MenuCommands
