#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

class CommonDialog;
class MessageBox;

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
};
