#pragma once

#include <functional>

class MainWindow;
class QDateTime;
class QLocale;
class QString;

// The bodies behind the menu items. Each works on the main window's editing
// control, a document operation or a dialog, and reports its own failures.
namespace MenuCommands {

void EditUndo(MainWindow &window);
void EditCut(MainWindow &window);
void EditCopy(MainWindow &window);
// Plain text only: the clipboard is reduced to its text first.
void EditPaste(MainWindow &window);
// The whole text becomes the selected text.
void EditIsolate(MainWindow &window);
void EditDelete(MainWindow &window);
void EditSelectAll(MainWindow &window);
void EditSelectAllCopyMinimize(MainWindow &window);
// The locale's short date, a space and the time with seconds; the date
// alone at midnight.
void EditInsertTimeDate(MainWindow &window);
void EditFind(MainWindow &window);
void EditFindNext(MainWindow &window);
void EditReplace(MainWindow &window);

void FileNew(MainWindow &window);
void FileOpen(MainWindow &window);
void FileSave(MainWindow &window);
void FileSaveAs(MainWindow &window);
void FilePrint(MainWindow &window);
void FileQuit(MainWindow &window);
void FormatFont(MainWindow &window);
void FormatPreferences(MainWindow &window);
void FormatSaveConfiguration(MainWindow &window);
void HelpAbout(MainWindow &window);

// Shows a dialog over the main window: stay-on-top is lifted first and set
// again afterwards from the setting as it then stands.
void WithTopmostLifted(MainWindow &window, const std::function<void()> &show);

// The date and time text of EditInsertTimeDate.
QString TimeDateText(const QDateTime &moment, const QLocale &locale);

} // namespace MenuCommands
