#include "ui/commands/MenuCommands.h"

#include "ui/main/MainWindow.h"
#include "ui/search/Search.h"

#include <QLineEdit>

namespace MenuCommands {

namespace {

void showSearch(MainWindow &window, const QString &mode)
{
    WithTopmostLifted(window, [&] {
        Search &dialog = window.SearchDialog();
        dialog.Tag = mode;
        dialog.showForTag();
    });
}

} // namespace

void EditFind(MainWindow &window)
{
    showSearch(window, QStringLiteral("Search"));
}

void EditFindNext(MainWindow &window)
{
    // Nothing to search for yet: ask for it instead.
    Search *dialog = window.existingSearchDialog();
    if (!dialog || dialog->txtSearch->text().isEmpty()) {
        showSearch(window, QStringLiteral("Search"));
        return;
    }
    dialog->FindNext();
}

void EditReplace(MainWindow &window)
{
    showSearch(window, QStringLiteral("Replace"));
}

} // namespace MenuCommands
