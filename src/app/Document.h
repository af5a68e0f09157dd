#pragma once

#include <QString>

class MainWindow;

// The life of the one open document: new, open, save, the caption, and the
// Escape quick-save. Every failure is reported here, once.
namespace Document {

// False when the user cancelled the save question or the save failed;
// nothing changed then.
bool NewDocument(MainWindow &window);
// An empty path asks for one with the open dialog; the chosen path is
// stored into path as soon as the dialog closes.
bool OpenDocument(MainWindow &window, QString &path);
// An empty path, or an unnamed document, asks with the save dialog; the
// chosen path is stored into path as soon as the dialog closes.
bool SaveDocument(MainWindow &window, QString &path);
void SetCaption(MainWindow &window, const QString &title);
// Writes a non-empty text to the quick-save file, then ends the program.
// When that write fails the program stays open with its text.
void QuickSaveAndExit(MainWindow &window);

QString QuickSavePath(const QString &programDir);
// The filter of the file dialogs, built from the settings.
QString DialogFilter();

} // namespace Document
