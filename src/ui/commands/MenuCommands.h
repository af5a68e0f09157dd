#pragma once

#include <functional>

class MainWindow;
class QDateTime;
class QLocale;
class QString;
class RichTextBox;
class Search;
struct Surroundings;

// The bodies behind the menu items. Each works on the main window's editing
// control, a document operation or a dialog, and reports its own failures.
// The window creates one set, handing it the control.
class MenuCommands
{
public:
    MenuCommands(MainWindow &window, RichTextBox &txt, Surroundings &env);
    ~MenuCommands();

    void EditUndo();
    void EditCut();
    void EditCopy();
    // Plain text only: the clipboard is reduced to its text first.
    void EditPaste();
    // The whole text becomes the selected text.
    void EditIsolate();
    void EditDelete();
    void EditSelectAll();
    void EditSelectAllCopyMinimize();
    // The locale's short date, a space and the time with seconds; the date
    // alone at midnight.
    void EditInsertTimeDate();
    void EditFind();
    void EditFindNext();
    void EditReplace();

    void FileNew();
    void FileOpen();
    void FileSave();
    void FileSaveAs();
    void FilePrint();
    void FileQuit();
    void FormatFont();
    void FormatPreferences();
    void FormatSaveConfiguration();
    void HelpAbout();

    // The search dialog: created hidden on first use, then only hidden.
    Search &SearchDialog();
    Search *existingSearchDialog() const { return m_search; }
    void HideSearchDialog();

    // Shows a dialog over the main window: stay-on-top is lifted first and
    // set again afterwards from the setting as it then stands.
    void WithTopmostLifted(const std::function<void()> &show);

    // The date and time text of EditInsertTimeDate.
    static QString TimeDateText(const QDateTime &moment, const QLocale &locale);

private:
    void showSearch(const QString &mode);

    MainWindow &m_window;
    RichTextBox &m_txt;
    Surroundings &m_env;
    Search *m_search = nullptr;
};
