#include "app/Document.h"

#include "app/Conversion.h"
#include "app/Globals.h"
#include "app/Surroundings.h"
#include "platform/CommonDialog.h"
#include "platform/MessageBox.h"
#include "platform/RichTextBox.h"
#include "platform/WaitCursor.h"
#include "ui/main/MainWindow.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>

namespace {

using Globals::doc;
using Globals::settings;

// Shows the open or save dialog; the chosen path goes into path and its
// folder becomes the default folder.
bool askForPath(MainWindow &window, QString &path, bool save)
{
    CommonDialog &dialog = *window.env().comDlg;
    dialog.Filter = Document::DialogFilter();
    dialog.InitDir = settings.DefaultDir;
    dialog.FileName = save ? doc.DocPath : QString();
    dialog.Flags = 4;
    if (!(save ? dialog.ShowSave() : dialog.ShowOpen()))
        return false;
    path = dialog.FileName;
    settings.DefaultDir = ExtractDirectory(path);
    return true;
}

void becomeFile(MainWindow &window, const QString &path)
{
    doc.DocNamed = true;
    doc.DocSaved = true;
    window.MenuEdition_Annuler->setEnabled(false);
    doc.DocPath = path;
    doc.DocTitle = ExtractDisplayName(doc.DocPath);
    Document::SetCaption(window, doc.DocTitle);
}

} // namespace

namespace Document {

QString DialogFilter()
{
    return QStringLiteral("Fichiers texte (") + settings.FileFilter + QStringLiteral(")|")
           + settings.FileFilter + QStringLiteral("|Tous (*.*)|*.*");
}

QString QuickSavePath(const QString &programDir)
{
    return programDir + QDir::separator() + QStringLiteral("Quick.txt");
}

bool NewDocument(MainWindow &window)
{
    if (!doc.DocSaved) {
        const MessageBox::Answer answer = window.env().messageBox->show(
                QStringLiteral("Le texte du fichier ") + doc.DocTitle
                        + QStringLiteral(" a été modifié.\n\nVoulez-vous enregistrer les modifications ?"),
                MessageBox::Buttons::YesNoCancel, MessageBox::Icon::Exclamation,
                Globals::ProductTitle, MessageBox::Answer::Yes);
        if (answer == MessageBox::Answer::Yes) {
            if (!SaveDocument(window, doc.DocPath))
                return false;
        } else if (answer != MessageBox::Answer::No) {
            return false;
        }
    }
    window.txt->clear();
    window.txt->resetFileFormat();
    // Only now: clearing the text raised the change event.
    doc.DocNamed = false;
    doc.DocSaved = true;
    window.MenuEdition_Annuler->setEnabled(false);
    doc.DocPath = Globals::UntitledName;
    doc.DocTitle = ExtractDisplayName(doc.DocPath);
    SetCaption(window, doc.DocTitle);
    return true;
}

bool OpenDocument(MainWindow &window, QString &path)
{
    if (path.isEmpty() && !askForPath(window, path, false))
        return false;
    if (!NewDocument(window))
        return false;

    bool loaded = false;
    {
        WaitCursor wait;
        window.txt->setUpdatesEnabled(false);
        loaded = window.txt->LoadFile(path);
        if (loaded) {
            becomeFile(window, path);
            window.ApplyEditorSettings();
        }
        window.txt->setUpdatesEnabled(true);
    }
    if (!loaded) {
        window.env().messageBox->warn(QStringLiteral("Impossible de charger le fichier demandé !"),
                                      Globals::ProductTitle);
    }
    return loaded;
}

bool SaveDocument(MainWindow &window, QString &path)
{
    if (path.isEmpty() || !doc.DocNamed) {
        if (!askForPath(window, path, true))
            return false;
        // Any existing file is asked about, hidden ones included.
        if (QFileInfo(path).isFile()) {
            const MessageBox::Answer answer = window.env().messageBox->show(
                    path + QStringLiteral(" existe déjà.\nVoulez-vous le remplacer ?"),
                    MessageBox::Buttons::YesNo, MessageBox::Icon::Exclamation,
                    QStringLiteral("Enregistrer sous"), MessageBox::Answer::No);
            if (answer != MessageBox::Answer::Yes)
                return false;
        }
    }

    bool saved = false;
    {
        WaitCursor wait;
        saved = window.txt->SaveFile(path);
        if (saved)
            becomeFile(window, path);
    }
    if (!saved) {
        window.env().messageBox->warn(QStringLiteral("Impossible de sauvegarder ce fichier !"),
                                      Globals::ProductTitle);
    }
    return saved;
}

void SetCaption(MainWindow &window, const QString &title)
{
    window.setWindowTitle(title + QStringLiteral(" - ") + Globals::ProductTitle);
}

void QuickSaveAndExit(MainWindow &window)
{
    if (window.txt->TextLength() > 0) {
        const bool wasNamed = doc.DocNamed;
        doc.DocNamed = true;
        QString path = QuickSavePath(window.env().programDir);
        // Ending now would lose the text that could not be written.
        if (!SaveDocument(window, path)) {
            doc.DocNamed = wasNamed;
            return;
        }
    }
    window.env().exitProgram(0);
}

} // namespace Document
