#include "ui/commands/MenuCommands.h"

#include "app/ConfigFile.h"
#include "app/Conversion.h"
#include "app/Document.h"
#include "app/Globals.h"
#include "app/Surroundings.h"
#include "platform/CommonDialog.h"
#include "platform/MessageBox.h"
#include "platform/RichTextBox.h"
#include "platform/WindowEffects.h"
#include "ui/commands/AboutDialog.h"
#include "ui/main/MainWindow.h"

#include <QClipboard>
#include <QDateTime>
#include <QGuiApplication>
#include <QLocale>
#include <QRegularExpression>

#include <cmath>

using Globals::doc;
using Globals::settings;

namespace MenuCommands {

void WithTopmostLifted(MainWindow &window, const std::function<void()> &show)
{
    if (settings.AlwaysOnTop)
        SetMainWindowTopmost(window, false);
    show();
    if (settings.AlwaysOnTop)
        SetMainWindowTopmost(window, true);
}

void EditUndo(MainWindow &window)
{
    window.txt->undo();
}

void EditCut(MainWindow &window)
{
    window.txt->cut();
}

void EditCopy(MainWindow &window)
{
    window.txt->copy();
}

void EditPaste(MainWindow &window)
{
    MakeClipboardPlainText();
    window.txt->paste();
}

void EditIsolate(MainWindow &window)
{
    // The selected characters are the part of the text they cover; no need
    // to copy the whole text to cut them out of it.
    window.txt->setText(window.txt->SelText());
}

void EditDelete(MainWindow &window)
{
    if (window.txt->SelLength() > 0)
        window.txt->setSelText(QString());
}

void EditSelectAll(MainWindow &window)
{
    window.txt->setSelStart(0);
    window.txt->setSelLength(window.txt->TextLength());
}

void EditSelectAllCopyMinimize(MainWindow &window)
{
    EditSelectAll(window);
    QGuiApplication::clipboard()->setText(window.txt->SelText());
    window.txt->setSelStart(0);
    window.setWindowState((window.windowState() & ~Qt::WindowActive) | Qt::WindowMinimized);
}

QString TimeDateText(const QDateTime &moment, const QLocale &locale)
{
    const QString date = locale.toString(moment.date(), QLocale::ShortFormat);
    if (moment.time() == QTime(0, 0))
        return date;
    // The long time format with its time zone taken out.
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QRegularExpression(QStringLiteral("\\s*\\bt+\\b\\s*")));
    return date + QLatin1Char(' ') + locale.toString(moment.time(), format.trimmed());
}

void EditInsertTimeDate(MainWindow &window)
{
    window.txt->setSelText(TimeDateText(window.env().now(), QLocale()));
}

void FileNew(MainWindow &window)
{
    Document::NewDocument(window);
}

void FileOpen(MainWindow &window)
{
    QString path;
    Document::OpenDocument(window, path);
}

void FileSave(MainWindow &window)
{
    Document::SaveDocument(window, doc.DocPath);
}

void FileSaveAs(MainWindow &window)
{
    QString path;
    Document::SaveDocument(window, path);
}

void FilePrint(MainWindow &window)
{
    CommonDialog &dialog = *window.env().comDlg;
    // Return a device context, no "selection" choice, no print-to-file box.
    dialog.Flags = 0x80104;
    if (!dialog.ShowPrinter())
        return;
    window.txt->SelPrint(dialog.printer());
}

void FileQuit(MainWindow &window)
{
    window.close();
}

void FormatFont(MainWindow &window)
{
    CommonDialog &dialog = *window.env().comDlg;
    dialog.Flags = 1;
    dialog.FontName = settings.FontName;
    dialog.FontSize = float(settings.FontSize);
    dialog.FontBold = settings.FontBold;
    dialog.FontItalic = settings.FontItalic;
    if (!dialog.ShowFont())
        return;
    settings.FontName = dialog.FontName;
    // Halves go to the even neighbour (10.5 gives 10, 11.5 gives 12).
    settings.FontSize = qint16(std::nearbyint(float(dialog.FontSize)));
    settings.FontBold = dialog.FontBold;
    settings.FontItalic = dialog.FontItalic;
    window.ApplyEditorSettings();
}

void FormatSaveConfiguration(MainWindow &window)
{
    if (WriteConfigFile(window.env(), window.livePlacement())) {
        window.env().messageBox->inform(
                QStringLiteral("La configuration a été correctement enregistrée.\n"
                               "Remarque : le répertoire par défaut a également été sauvegardé."),
                Globals::ProductTitle);
    }
}

void HelpAbout(MainWindow &window)
{
    WithTopmostLifted(window, [&] {
        AboutDialog about(&window);
        window.env().runModal(about);
    });
}

} // namespace MenuCommands
