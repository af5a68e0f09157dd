#include "app/Document.h"

#include "app/Conversion.h"
#include "app/Globals.h"
#include "app/Surroundings.h"
#include "platform/CommonDialog.h"
#include "platform/MessageBox.h"
#include "platform/RichTextBox.h"
#include "platform/WaitCursor.h"

#include <QDir>
#include <QFileInfo>

using Globals::doc;
using Globals::settings;

Document::Document(RichTextBox &txt, Surroundings &env, QObject *parent)
    : QObject(parent), m_txt(txt), m_env(env)
{
}

QString Document::DialogFilter()
{
    return QStringLiteral("Fichiers texte (") + settings.FileFilter + QStringLiteral(")|")
           + settings.FileFilter + QStringLiteral("|Tous (*.*)|*.*");
}

QString Document::QuickSavePath(const QString &programDir)
{
    return programDir + QDir::separator() + QStringLiteral("Quick.txt");
}

std::optional<QString> Document::askForPath(bool save)
{
    CommonDialog &dialog = *m_env.comDlg;
    dialog.Filter = DialogFilter();
    dialog.InitDir = settings.DefaultDir;
    dialog.FileName = save ? doc.DocPath : QString();
    dialog.Flags = 4;
    if (!(save ? dialog.ShowSave() : dialog.ShowOpen()))
        return std::nullopt;
    settings.DefaultDir = ExtractDirectory(dialog.FileName);
    return dialog.FileName;
}

void Document::setUndoAvailable(bool available)
{
    emit undoAvailableChanged(available);
}

void Document::becomeFile(const QString &path)
{
    doc.DocNamed = true;
    doc.DocSaved = true;
    setUndoAvailable(false);
    doc.DocPath = path;
    doc.DocTitle = ExtractDisplayName(doc.DocPath);
    SetCaption(doc.DocTitle);
}

bool Document::NewDocument()
{
    if (!doc.DocSaved) {
        const MessageBox::Answer answer = m_env.messageBox->show(
                QStringLiteral("Le texte du fichier ") + doc.DocTitle
                        + QStringLiteral(" a été modifié.\n\nVoulez-vous enregistrer les modifications ?"),
                MessageBox::Buttons::YesNoCancel, MessageBox::Icon::Exclamation,
                Globals::ProductTitle, MessageBox::Answer::Yes);
        if (answer == MessageBox::Answer::Yes) {
            if (!SaveDocument(doc.DocPath))
                return false;
        } else if (answer != MessageBox::Answer::No) {
            return false;
        }
    }
    m_txt.clear();
    m_txt.resetFileFormat();
    // Only now: clearing the text raised the change event.
    doc.DocNamed = false;
    doc.DocSaved = true;
    setUndoAvailable(false);
    doc.DocPath = Globals::UntitledName;
    doc.DocTitle = ExtractDisplayName(doc.DocPath);
    SetCaption(doc.DocTitle);
    return true;
}

bool Document::OpenDocument(const QString &path)
{
    QString chosen = path;
    if (chosen.isEmpty()) {
        const std::optional<QString> asked = askForPath(false);
        if (!asked)
            return false;
        chosen = *asked;
    }
    if (!NewDocument())
        return false;

    bool loaded = false;
    {
        WaitCursor wait;
        m_txt.setUpdatesEnabled(false);
        loaded = m_txt.LoadFile(chosen);
        if (loaded) {
            becomeFile(chosen);
            emit settingsToApply();
        }
        m_txt.setUpdatesEnabled(true);
    }
    if (!loaded) {
        m_env.messageBox->warn(QStringLiteral("Impossible de charger le fichier demandé !"),
                               Globals::ProductTitle);
    }
    return loaded;
}

bool Document::SaveDocument(const QString &path)
{
    if (!path.isEmpty() && doc.DocNamed)
        return saveTo(path);

    const std::optional<QString> chosen = askForPath(true);
    if (!chosen)
        return false;
    // Any existing file is asked about, hidden ones included.
    if (QFileInfo(*chosen).isFile()) {
        const MessageBox::Answer answer = m_env.messageBox->show(
                *chosen + QStringLiteral(" existe déjà.\nVoulez-vous le remplacer ?"),
                MessageBox::Buttons::YesNo, MessageBox::Icon::Exclamation,
                QStringLiteral("Enregistrer sous"), MessageBox::Answer::No);
        if (answer != MessageBox::Answer::Yes)
            return false;
    }
    return saveTo(*chosen);
}

bool Document::saveTo(const QString &path)
{
    bool saved = false;
    {
        WaitCursor wait;
        saved = m_txt.SaveFile(path);
        if (saved)
            becomeFile(path);
    }
    if (!saved) {
        m_env.messageBox->warn(QStringLiteral("Impossible de sauvegarder ce fichier !"),
                               Globals::ProductTitle);
    }
    return saved;
}

void Document::SetCaption(const QString &title)
{
    emit captionChanged(title + QStringLiteral(" - ") + Globals::ProductTitle);
}

void Document::QuickSaveAndExit()
{
    // Ending without the text that could not be written would lose it.
    if (m_txt.TextLength() > 0 && !saveTo(QuickSavePath(m_env.programDir)))
        return;
    m_env.exitProgram(0);
}
