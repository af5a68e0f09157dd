#pragma once

#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>

class CommonDialog;
class MessageBox;
class QDialog;

// What the program takes from its surroundings. The defaults are the real
// ones; tests give a temporary directory, scripted dialogs and a fake exit.
struct Surroundings
{
    // Holds the configuration file and the quick-save file.
    QString programDir;
    // The arguments after the program name, joined by single spaces.
    QString commandLine;
    MessageBox *messageBox = nullptr;
    // The main window's file, font and printer dialogs.
    CommonDialog *comDlg = nullptr;
    // Ends the process at once (Escape quick-save, end of the close sequence).
    std::function<void(int)> exitProgram;
    std::function<QDateTime()> now;
    // Runs a modal dialog and returns its result (QDialog::exec by default).
    std::function<int(QDialog &)> runModal;
    // A common dialog of a form's own (the preferences' colour dialog).
    std::function<std::unique_ptr<CommonDialog>()> newCommonDialog;
    // Whether the window system can make a top-level window translucent.
    std::function<bool()> translucencySupported;
};
