#include "ui/main/MainWindow.h"

#include "app/ConfigFile.h"
#include "app/Conversion.h"
#include "app/Document.h"
#include "app/Globals.h"
#include "app/Surroundings.h"
#include "platform/MessageBox.h"
#include "platform/RichTextBox.h"
#include "platform/WindowEffects.h"
#include "ui/commands/MenuCommands.h"
#include "ui/search/Search.h"
#include "ui/search/SearchEngine.h"
#include "ui/search/SearchState.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>
#include <QUrl>

#include <limits>

using Globals::doc;
using Globals::search;
using Globals::settings;

namespace {
constexpr int InitialClientWidthTwips = 7995;
constexpr int InitialClientHeightTwips = 5025;
// Enough of a window to catch it with the mouse.
constexpr int MinVisibleWidth = 160;
constexpr int MinVisibleHeight = 80;

qint64 squaredDistance(const QRect &area, const QPoint &point)
{
    const qint64 dx = qMax(0, qMax(area.left() - point.x(), point.x() - area.right()));
    const qint64 dy = qMax(0, qMax(area.top() - point.y(), point.y() - area.bottom()));
    return dx * dx + dy * dy;
}

// A rectangle stored on a larger or a missing screen comes onto the nearest
// one, shrunk only where it cannot fit; a visible one stays as it was. The
// window manager's frame is not known before the window is shown: the room
// of a title bar is kept below the rectangle moved.
QRect placedOnScreen(const QRect &stored, int titleBar)
{
    QRect nearest;
    qint64 nearestDistance = std::numeric_limits<qint64>::max();
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        const QRect seen = area.intersected(stored);
        if (seen.width() >= qMin(stored.width(), MinVisibleWidth)
            && seen.height() >= qMin(stored.height(), MinVisibleHeight))
            return stored;
        const qint64 distance = squaredDistance(area, stored.center());
        if (distance < nearestDistance) {
            nearestDistance = distance;
            nearest = area;
        }
    }
    if (nearest.isNull())
        return stored;
    const QSize size = stored.size().boundedTo(nearest.size() - QSize(0, titleBar));
    const int bottom = nearest.bottom() + 1 - titleBar - size.height();
    return QRect(QPoint(qBound(nearest.left(), stored.left(), nearest.right() + 1 - size.width()),
                        qBound(nearest.top(), stored.top(), bottom)),
                 size);
}
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
    tmrDragNDrop = new QTimer(this);
    tmrDragNDrop->setObjectName(QStringLiteral("tmrDragNDrop"));
    m_document = new Document(*txt, env, this);
    m_commands = std::make_unique<MenuCommands>(*this, *txt, env);
    createMenuTree();

    connect(txt, &RichTextBox::KeyDown, this, &MainWindow::txt_KeyDown);
    connect(txt, &RichTextBox::KeyPress, this, &MainWindow::txt_KeyPress);
    connect(txt, &RichTextBox::Change, this, &MainWindow::txt_Change);
    connect(txt, &RichTextBox::SelChange, this, &MainWindow::txt_SelChange);
    connect(txt, &RichTextBox::OLEDragDrop, this, &MainWindow::txt_OLEDragDrop);
    connect(tmrDragNDrop, &QTimer::timeout, this, &MainWindow::tmrDragNDrop_Timer);
    connect(m_document, &Document::captionChanged, this, &QWidget::setWindowTitle);
    connect(m_document, &Document::undoAvailableChanged, MenuEdition_Annuler, &QAction::setEnabled);
    connect(m_document, &Document::settingsToApply, this, &MainWindow::ApplyEditorSettings);

    const int width = Conversion::TwipsToPixels(InitialClientWidthTwips, logicalDpiX());
    const int height = Conversion::TwipsToPixels(InitialClientHeightTwips, logicalDpiY());
    resize(width, height + (menuWidget() ? menuWidget()->sizeHint().height() : 0));
}

MainWindow::~MainWindow() = default;

void MainWindow::Form_Load()
{
    if (settings.WindowWidth > 0) {
        const QRect placed = placedOnScreen(
                QRect(Conversion::TwipsToPixels(settings.WindowLeft, logicalDpiX()),
                      Conversion::TwipsToPixels(settings.WindowTop, logicalDpiY()),
                      Conversion::TwipsToPixels(settings.WindowWidth, logicalDpiX()),
                      Conversion::TwipsToPixels(settings.WindowHeight, logicalDpiY())),
                style()->pixelMetric(QStyle::PM_TitleBarHeight));
        move(placed.topLeft());
        resize(placed.size());
        // The rectangle is the normal one; the state is laid over it, so
        // restoring a maximized window gives that rectangle back.
        if (settings.WindowState == 1)
            setWindowState(Qt::WindowMinimized);
        else if (settings.WindowState == 2)
            setWindowState(Qt::WindowMaximized);
    }
    ApplySettings();

    if (!m_env.commandLine.isEmpty())
        m_document->OpenDocument(StripQuotes(m_env.commandLine));
}

void MainWindow::ApplySettings()
{
    ApplyEditorSettings();
    txt->setBackColor(Conversion::ColorFromValue(settings.TextBackColor));
    if (!settings.TransparencyOn) {
        RemoveTransparency(*this);
    } else if (!ApplyTransparency(*this, settings.TransparencyLevel, m_env.translucencySupported)) {
        m_env.messageBox->warn(QStringLiteral("Impossible d'appliquer la transparence à la fenêtre.\n"
                                              "Cette fonction est réservée à Windows 2000/XP."),
                               Globals::ProductTitle);
        settings.TransparencyOn = false;
    }
    SetMainWindowTopmost(*this, settings.AlwaysOnTop);
}

void MainWindow::Form_Activate()
{
    m_document->SetCaption(doc.DocTitle);
}

void MainWindow::Form_Unload(bool &cancel)
{
    if (!m_document->NewDocument()) {
        cancel = true;
        return;
    }
    if (settings.SaveOnExit)
        WriteConfigFile(m_env, livePlacement());
    m_commands->HideSearchDialog();
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
        m_document->QuickSaveAndExit();
}

void MainWindow::txt_Change()
{
    doc.DocSaved = false;
    MenuEdition_Annuler->setEnabled(true);
}

void MainWindow::txt_SelChange()
{
    if (search.SearchSelecting)
        return;
    const bool selected = txt->SelLength() > 0;
    for (QAction *action :
         {MenuEdition_Couper, MenuEdition_Copier, MenuEdition_Isoler, MenuEdition_Supprimer})
        action->setEnabled(selected);

    if (Search *dialog = m_commands->existingSearchDialog())
        dialog->optSelection->setEnabled(selected);
    if (search.Scope == SearchScope::Down)
        search.SearchPos = txt->SelStart();
    // A selection that is merely a hit of the search text keeps the range.
    if (selected && !SearchEngine(*txt).selectionIs(search.SearchText, false)) {
        search.SearchRangeStart = txt->SelStart();
        search.SearchRangeLength = txt->SelLength();
        search.SearchPos = txt->SelStart();
    }
}

void MainWindow::txt_OLEDragDrop(const QMimeData *data, Qt::DropAction &effect)
{
    const QList<QUrl> urls = data ? data->urls() : QList<QUrl>();
    if (urls.isEmpty() || !urls.first().isLocalFile()) {
        effect = Qt::IgnoreAction;
        m_env.messageBox->warn(QStringLiteral("Operation de drag & drop impossible avec cet objet !"),
                               Globals::ProductTitle);
        return;
    }
    DroppedPath = QDir::toNativeSeparators(urls.first().toLocalFile());
    tmrDragNDrop->start(100);
}

void MainWindow::tmrDragNDrop_Timer()
{
    // Stopped first: the save question must not let a second tick in.
    tmrDragNDrop->stop();
    m_document->OpenDocument(DroppedPath);
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

void MainWindow::showEvent(QShowEvent *event)
{
    // A window started minimized is not activated, and its caption must not
    // wait for that.
    if (!event->spontaneous())
        Form_Activate();
    QMainWindow::showEvent(event);
}

std::unique_ptr<MainWindow> Main(Surroundings &env)
{
    SetDefaultSettings();
    ReadConfigFile(env);
    auto window = std::make_unique<MainWindow>(env);
    window->Form_Load();
    window->show();
    return window;
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
