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
#include "ui/prefs/Preferences.h"
#include "ui/search/Search.h"

#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLocale>
#include <QPrinter>
#include <QRegularExpression>

#include <cmath>

using Globals::doc;
using Globals::settings;

MenuCommands::MenuCommands(MainWindow &window, RichTextBox &txt, Surroundings &env)
    : m_window(window), m_txt(txt), m_env(env)
{
}

MenuCommands::~MenuCommands() = default;

void MenuCommands::WithTopmostLifted(const std::function<void()> &show)
{
    if (settings.AlwaysOnTop)
        SetMainWindowTopmost(m_window, false);
    show();
    if (settings.AlwaysOnTop)
        SetMainWindowTopmost(m_window, true);
}

void MenuCommands::EditUndo()
{
    m_txt.undo();
}

void MenuCommands::EditCut()
{
    m_txt.cut();
}

void MenuCommands::EditCopy()
{
    m_txt.copy();
}

void MenuCommands::EditPaste()
{
    MakeClipboardPlainText();
    m_txt.paste();
}

void MenuCommands::EditIsolate()
{
    // The selected characters are the part of the text they cover; no need
    // to copy the whole text to cut them out of it.
    m_txt.setText(m_txt.SelText());
}

void MenuCommands::EditDelete()
{
    if (m_txt.SelLength() > 0)
        m_txt.setSelText(QString());
}

void MenuCommands::EditSelectAll()
{
    m_txt.setSelStart(0);
    m_txt.setSelLength(m_txt.TextLength());
}

void MenuCommands::EditSelectAllCopyMinimize()
{
    EditSelectAll();
    QGuiApplication::clipboard()->setText(m_txt.SelText());
    m_txt.setSelStart(0);
    m_window.setWindowState((m_window.windowState() & ~Qt::WindowActive) | Qt::WindowMinimized);
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

QString MenuCommands::TimeDateText(const QDateTime &moment, const QLocale &locale)
{
    const QString date = locale.toString(moment.date(), QLocale::ShortFormat);
    // Midnight to the second: the text shows no milliseconds.
    if (moment.time().msecsSinceStartOfDay() < 1000)
        return date;
    return date + QLatin1Char(' ')
           + locale.toString(moment.time(), WithoutTimeZone(locale.timeFormat(QLocale::LongFormat)));
}

void MenuCommands::EditInsertTimeDate()
{
    m_txt.setSelText(TimeDateText(m_env.now(), QLocale()));
}

void MenuCommands::FileNew()
{
    m_window.document().NewDocument();
}

void MenuCommands::FileOpen()
{
    m_window.document().OpenDocument();
}

void MenuCommands::FileSave()
{
    m_window.document().SaveDocument(doc.DocPath);
}

void MenuCommands::FileSaveAs()
{
    m_window.document().SaveDocument(QString());
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

void MenuCommands::FilePrint()
{
    CommonDialog &dialog = *m_env.comDlg;
    // Return a device context, no "selection" choice, no print-to-file box.
    dialog.Flags = 0x80104;
    NamePrintJob(*dialog.printer());
    if (!dialog.ShowPrinter())
        return;
    m_txt.SelPrint(dialog.printer());
}

void MenuCommands::FileQuit()
{
    m_window.close();
}

void MenuCommands::FormatFont()
{
    CommonDialog &dialog = *m_env.comDlg;
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
    m_window.ApplyEditorSettings();
}

void MenuCommands::FormatSaveConfiguration()
{
    if (WriteConfigFile(m_env, m_window.livePlacement())) {
        m_env.messageBox->inform(
                QStringLiteral("La configuration a été correctement enregistrée.\n"
                               "Remarque : le répertoire par défaut a également été sauvegardé."),
                Globals::ProductTitle);
    }
}

void MenuCommands::HelpAbout()
{
    WithTopmostLifted([&] {
        AboutDialog about(&m_window);
        m_env.runModal(about);
    });
}

void MenuCommands::FormatPreferences()
{
    WithTopmostLifted([&] {
        Preferences dialog(m_window, m_env);
        m_env.runModal(dialog);
    });
}

Search &MenuCommands::SearchDialog()
{
    if (!m_search)
        m_search = new Search(m_window, m_txt, m_env);
    return *m_search;
}

void MenuCommands::HideSearchDialog()
{
    if (m_search)
        m_search->hide();
}

void MenuCommands::showSearch(const QString &mode)
{
    WithTopmostLifted([&] {
        Search &dialog = SearchDialog();
        dialog.Tag = mode;
        dialog.showForTag();
    });
}

void MenuCommands::EditFind()
{
    showSearch(QStringLiteral("Search"));
}

void MenuCommands::EditFindNext()
{
    // Nothing to search for yet: ask for it instead.
    if (!m_search || m_search->txtSearch->text().isEmpty()) {
        showSearch(QStringLiteral("Search"));
        return;
    }
    m_search->FindNext();
}

void MenuCommands::EditReplace()
{
    showSearch(QStringLiteral("Replace"));
}
