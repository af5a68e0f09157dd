#include "ui/commands/MenuCommands.h"

#include "app/Surroundings.h"
#include "ui/main/MainWindow.h"
#include "ui/prefs/Preferences.h"

namespace MenuCommands {

void FormatPreferences(MainWindow &window)
{
    WithTopmostLifted(window, [&] {
        Preferences dialog(window);
        window.env().runModal(dialog);
    });
}

} // namespace MenuCommands
