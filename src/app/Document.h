#pragma once

#include <QObject>
#include <QString>

#include <optional>

class RichTextBox;
struct Surroundings;

// The life of the one open document: new, open, save, the caption, and the
// Escape quick-save, over the editing control that holds its text. Every
// failure is reported here, once. What the window shows of the document
// (caption, "Annuler", the editor settings) it learns from the signals.
class Document : public QObject
{
    Q_OBJECT

public:
    Document(RichTextBox &txt, Surroundings &env, QObject *parent = nullptr);

    // False when the user cancelled the save question or the save failed;
    // nothing changed then.
    bool NewDocument();
    // An empty path asks for one with the open dialog.
    bool OpenDocument(const QString &path = QString());
    // Saves under path; an empty path, or an unnamed document, asks for a
    // name first. The document takes the name only once the save succeeded.
    bool SaveDocument(const QString &path);
    void SetCaption(const QString &title);
    // Writes a non-empty text to the quick-save file, then ends the program.
    // When that write fails the program stays open with its text.
    void QuickSaveAndExit();

    static QString QuickSavePath(const QString &programDir);
    // The filter of the file dialogs, built from the settings.
    static QString DialogFilter();

signals:
    void captionChanged(const QString &caption);
    void undoAvailableChanged(bool available);
    // The editor font, size, style and colours are to be given to the text.
    void settingsToApply();

private:
    // The open or save dialog's choice; its folder becomes the default folder.
    std::optional<QString> askForPath(bool save);
    bool saveTo(const QString &path);
    void becomeFile(const QString &path);
    void setUndoAvailable(bool available);

    RichTextBox &m_txt;
    Surroundings &m_env;
};
