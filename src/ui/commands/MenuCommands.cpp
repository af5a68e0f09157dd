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
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QPrinter>
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

namespace {

// A long time format without its time zone: the zone goes with the brackets
// round it and the blank or comma before it. Quoted text is left alone.
QString WithoutTimeZone(const QString &format)
{
    static const QRegularExpression zone(QStringLiteral("[\\s,]*(?:\\(t+\\)|\\[t+\\]|t+)"));
    QStringList parts = format.split(QLatin1Char('\''));
    for (qsizetype i = 0; i < parts.size(); i += 2)
        parts[i].remove(zone);
    return parts.join(QLatin1Char('\'')).trimmed();
}

} // namespace

QString TimeDateText(const QDateTime &moment, const QLocale &locale)
{
    const QString date = locale.toString(moment.date(), QLocale::ShortFormat);
    // Midnight to the second: the text shows no milliseconds.
    if (moment.time().msecsSinceStartOfDay() < 1000)
        return date;
    return date + QLatin1Char(' ')
           + locale.toString(moment.time(), WithoutTimeZone(locale.timeFormat(QLocale::LongFormat)));
}

void EditInsertTimeDate(MainWindow &window)
{
    window.txt->setSelTextAsOneStep(TimeDateText(window.env().now(), QLocale()));
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

namespace {

// The job and its PDF are titled with the document's name; printing to a
// file proposes that name with ".pdf", in the document's folder.
void NamePrintJob(QPrinter &printer)
{
    const QFileInfo file(QDir::fromNativeSeparators(doc.DocPath));
    const QDir folder(doc.DocNamed ? file.absolutePath()
                                   : QDir::fromNativeSeparators(settings.DefaultDir));
    printer.setDocName(file.fileName());
    const QPrinter::OutputFormat format = printer.outputFormat();
    const QString printerName = printer.printerName();
    printer.setOutputFileName(folder.filePath(file.completeBaseName() + QStringLiteral(".pdf")));
    // A file name alone switches the printer to PDF; the dialog would then
    // offer the file before the printer the user had.
    if (format == QPrinter::NativeFormat) {
        printer.setOutputFormat(format);
        printer.setPrinterName(printerName);
    }
}

} // namespace

void FilePrint(MainWindow &window)
{
    CommonDialog &dialog = *window.env().comDlg;
    // Return a device context, no "selection" choice, no print-to-file box.
    dialog.Flags = 0x80104;
    NamePrintJob(*dialog.printer());
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
