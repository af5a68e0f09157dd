#include "ui/main/MainWindow.h"

#include "app/ConfigFile.h"
#include "app/Conversion.h"
#include "app/Document.h"
#include "app/Globals.h"
#include "app/Surroundings.h"
#include "platform/MessageBox.h"
#include "platform/RichTextBox.h"
#include "platform/WindowEffects.h"
#include "ui/search/Search.h"
#include "ui/search/SearchEngine.h"
#include "ui/search/SearchState.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QLineEdit>
#include <QMimeData>
#include <QRadioButton>
#include <QUrl>

using Globals::doc;
using Globals::settings;

namespace {
constexpr int InitialClientWidthTwips = 7995;
constexpr int InitialClientHeightTwips = 5025;
} // namespace

MainWindow::MainWindow(Surroundings &env, QWidget *parent) : QMainWindow(parent), m_env(env)
{
    setWindowTitle(QStringLiteral("Mon application"));

    txt = new RichTextBox(this);
    txt->setObjectName(QStringLiteral("txt"));
    txt->setFontName(QStringLiteral("Lucida Console"));
    QFont initialFont = txt->font();
    initialFont.setPointSizeF(9.75);
    txt->setFont(initialFont);
    setCentralWidget(txt);
    createMenuTree();

    connect(txt, &RichTextBox::KeyDown, this, &MainWindow::txt_KeyDown);
    connect(txt, &RichTextBox::KeyPress, this, &MainWindow::txt_KeyPress);
    connect(txt, &RichTextBox::Change, this, &MainWindow::txt_Change);
    connect(txt, &RichTextBox::SelChange, this, &MainWindow::txt_SelChange);
    connect(txt, &RichTextBox::OLEDragDrop, this, &MainWindow::txt_OLEDragDrop);
    connect(&tmrDragNDrop, &QTimer::timeout, this, &MainWindow::tmrDragNDrop_Timer);

    const int width = Conversion::TwipsToPixels(InitialClientWidthTwips, logicalDpiX());
    const int height = Conversion::TwipsToPixels(InitialClientHeightTwips, logicalDpiY());
    resize(width, height + (menuWidget() ? menuWidget()->sizeHint().height() : 0));
}

MainWindow::~MainWindow() = default;

void MainWindow::Form_Load()
{
    if (settings.WindowWidth > 0) {
        move(Conversion::TwipsToPixels(settings.WindowLeft, logicalDpiX()),
             Conversion::TwipsToPixels(settings.WindowTop, logicalDpiY()));
        resize(Conversion::TwipsToPixels(settings.WindowWidth, logicalDpiX()),
               Conversion::TwipsToPixels(settings.WindowHeight, logicalDpiY()));
        // The rectangle is the normal one; the state is laid over it, so
        // restoring a maximized window gives that rectangle back.
        if (settings.WindowState == 1)
            setWindowState(Qt::WindowMinimized);
        else if (settings.WindowState == 2)
            setWindowState(Qt::WindowMaximized);
    }
    ApplyEditorSettings();
    txt->setBackColor(Conversion::ColorFromValue(settings.TextBackColor));
    if (settings.TransparencyOn)
        ApplyTransparency(m_env, *this, settings.TransparencyLevel);
    SetMainWindowTopmost(*this, settings.AlwaysOnTop);

    if (!m_env.commandLine.isEmpty()) {
        QString path = StripQuotes(m_env.commandLine);
        Document::OpenDocument(*this, path);
    }
}

void MainWindow::Form_Activate()
{
    Document::SetCaption(*this, doc.DocTitle);
}

void MainWindow::Form_Unload(bool &cancel)
{
    if (!Document::NewDocument(*this)) {
        cancel = true;
        return;
    }
    if (settings.SaveOnExit)
        WriteConfigFile(m_env, livePlacement());
    if (m_search)
        m_search->hide();
    m_env.exitProgram(0);
}

void MainWindow::txt_KeyDown(int keyCode, int shift)
{
    // Only a paste needs the clipboard reduced to plain text; doing it for
    // every Shift or Ctrl key would wipe what other programs put there.
    const bool paste = (keyCode == Qt::Key_V && shift == 2)
                       || (keyCode == Qt::Key_Insert && shift == 1);
    if (paste)
        MakeClipboardPlainText();
}

void MainWindow::txt_KeyPress(int keyAscii)
{
    if (keyAscii == 27)
        Document::QuickSaveAndExit(*this);
}

void MainWindow::txt_Change()
{
    doc.DocSaved = false;
    MenuEdition_Annuler->setEnabled(true);
}

void MainWindow::txt_SelChange()
{
    if (Globals::search.SearchSelecting)
        return;
    const bool selected = txt->SelLength() > 0;
    for (QAction *action :
         {MenuEdition_Couper, MenuEdition_Copier, MenuEdition_Isoler, MenuEdition_Supprimer})
        action->setEnabled(selected);

    Search &dialog = SearchDialog();
    dialog.optSelection->setEnabled(selected);
    if (dialog.optDown->isChecked())
        Globals::search.SearchPos = txt->SelStart();
    // A selection that is merely a hit of the search text keeps the range.
    if (selected && !SearchEngine::SelectionIs(*txt, dialog.txtSearch->text(), false)) {
        Globals::search.SearchRangeStart = txt->SelStart();
        Globals::search.SearchRangeLength = txt->SelLength();
        Globals::search.SearchPos = txt->SelStart();
    }
}

Search &MainWindow::SearchDialog()
{
    if (!m_search)
        m_search = new Search(*this);
    return *m_search;
}

void MainWindow::txt_OLEDragDrop(const QMimeData *data)
{
    const QList<QUrl> urls = data ? data->urls() : QList<QUrl>();
    if (urls.isEmpty() || !urls.first().isLocalFile()) {
        m_env.messageBox->warn(QStringLiteral("Operation de drag & drop impossible avec cet objet !"),
                               Globals::ProductTitle);
        return;
    }
    DroppedPath = QDir::toNativeSeparators(urls.first().toLocalFile());
    tmrDragNDrop.start(100);
}

void MainWindow::tmrDragNDrop_Timer()
{
    // Stopped first: the save question must not let a second tick in.
    tmrDragNDrop.stop();
    Document::OpenDocument(*this, DroppedPath);
}

void MainWindow::ApplyEditorSettings()
{
    const bool saved = doc.DocSaved;
    txt->setUpdatesEnabled(false);
    txt->setSelStart(0);
    txt->setSelLength(txt->TextLength());
    txt->setFontName(settings.FontName);
    txt->setSelFontSize(settings.FontSize);
    txt->setSelBold(settings.FontBold);
    txt->setSelItalic(settings.FontItalic);
    txt->setSelColor(Conversion::ColorFromValue(settings.TextColor));
    txt->setSelStart(0);
    txt->setUpdatesEnabled(true);
    doc.DocSaved = saved;
    MenuEdition_Annuler->setEnabled(!doc.DocSaved);
}

WindowPlacement MainWindow::livePlacement() const
{
    WindowPlacement live;
    live.state = isMinimized() ? 1 : isMaximized() ? 2 : 0;
    live.left = Conversion::PixelsToTwips(pos().x(), logicalDpiX());
    live.top = Conversion::PixelsToTwips(pos().y(), logicalDpiY());
    live.width = Conversion::PixelsToTwips(width(), logicalDpiX());
    live.height = Conversion::PixelsToTwips(height(), logicalDpiY());
    return live;
}

void MainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
    QMainWindow::changeEvent(event);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    bool cancel = false;
    Form_Unload(cancel);
    if (cancel)
        event->ignore();
    else
        event->accept();
}
