#include "ui/commands/MenuCommands.h"

// The preferences dialog is not built yet.
namespace MenuCommands {

void FormatPreferences(MainWindow &) {}

} // namespace MenuCommands
