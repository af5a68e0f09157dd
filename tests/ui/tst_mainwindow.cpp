#include "app/ConfigFile.h"
#include "app/Document.h"
#include "app/Globals.h"
#include "platform/RichTextBox.h"
#include "support/TestEnv.h"
#include "ui/main/MainWindow.h"
#include "ui/search/SearchState.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QScreen>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QUrl>

using Globals::doc;
using Globals::settings;
using Answer = MessageBox::Answer;

namespace {

const QString SaveQuestion = QStringLiteral(
        "Le texte du fichier %1 a été modifié.\n\nVoulez-vous enregistrer les modifications ?");
const QString LoadFailure = QStringLiteral("Impossible de charger le fichier demandé !");
const QString SaveFailure = QStringLiteral("Impossible de sauvegarder ce fichier !");

QString caption(const QString &name)
{
    return name + QStringLiteral(" - Qorvik Note Pad");
}

// A main window in fresh surroundings, loaded as at start-up.
struct Fixture
{
    explicit Fixture(const QString &commandLine = QString())
    {
        t.env.commandLine = commandLine;
        window = std::make_unique<MainWindow>(t.env);
        window->Form_Load();
        window->Form_Activate();
    }

    void type(const QString &text) { typeText(editorOf(*window), text); }
    // What the source is told: whether the drop was taken, and as what.
    struct Told
    {
        bool accepted;
        Qt::DropAction action;
    };
    Told drop(QMimeData *data, Qt::DropActions offered = Qt::CopyAction)
    {
        // Qt delivers a drop only to the widget that accepted the drag's entry.
        QDragEnterEvent enter(QPoint(5, 5), offered, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(editorOf(*window)->viewport(), &enter);
        QDropEvent event(QPointF(5, 5), offered, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(editorOf(*window)->viewport(), &event);
        delete data;
        return {event.isAccepted(), event.dropAction()};
    }

    TestEnv t;
    std::unique_ptr<MainWindow> window;
};

QMimeData *filesData(const QStringList &paths)
{
    auto *data = new QMimeData;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls << QUrl::fromLocalFile(path);
    data->setUrls(urls);
    return data;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void firstStart();
    void placementFromSettings();
    void newDocumentQuestion_data();
    void newDocumentQuestion();
    void openShowsDialogBeforeQuestion();
    void failedOpenLeavesEmptyDocument();
    void saveAsOverwriteRefused();
    void saveOnNamedFileWritesAtOnce();
    void failedSaveChangesNothing();
    void longNameInCaptionAndQuestion();
    void escape_data();
    void escape();
    void escapeWithUnwritableFolderKeepsText();
    void applyEditorSettingsKeepsSavedState_data();
    void applyEditorSettingsKeepsSavedState();
    void selectionEnablesEditItems();
    void shiftKeepsClipboard();
    void closeSequence_data();
    void closeSequence();
    void commandLine_data();
    void commandLine();
    void drops_data();
    void drops();
    void dropOfTextIsRefused();
    void dropNeverMoves_data();
    void dropNeverMoves();
    void captionSetWhenFirstShown();
    void offScreenPlacementBroughtBack_data();
    void offScreenPlacementBroughtBack();
};

void TestMainWindow::firstStart()
{
    TestEnv t;
    MainWindow window(t.env);
    QCOMPARE(window.windowTitle(), QStringLiteral("Mon application"));
    const QSize initial = window.size();
    window.Form_Load();
    window.Form_Activate();
    QCOMPARE(window.windowTitle(), caption("Sans titre.txt"));
    QCOMPARE(window.size(), initial);
    QCOMPARE(editorOf(window)->font().pointSize(), 10);
    QFontMetrics metrics(editorOf(window)->font());
    QCOMPARE(metrics.horizontalAdvance(QLatin1Char('i')), metrics.horizontalAdvance(QLatin1Char('W')));
    QCOMPARE(editorOf(window)->palette().color(QPalette::Text),
             QGuiApplication::palette().color(QPalette::Text));
    QVERIFY(!actionOf(window, "MenuEdition_Annuler")->isEnabled());
}

void TestMainWindow::placementFromSettings()
{
    TestEnv t;
    settings.WindowState = 2;
    settings.WindowLeft = 1500;
    settings.WindowTop = 750;
    settings.WindowWidth = 9000;
    settings.WindowHeight = 6000;
    MainWindow window(t.env);
    window.Form_Load();
    QVERIFY(window.windowState() & Qt::WindowMaximized);
    window.setWindowState(Qt::WindowNoState);
    QCOMPARE(window.pos(), QPoint(100, 50));
    QCOMPARE(window.size(), QSize(600, 400));
    QCOMPARE(window.livePlacement().width, 9000);
}

void TestMainWindow::newDocumentQuestion_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("started");
    QTest::addColumn<bool>("written");
    QTest::newRow("yes saves, then starts") << Answer::Yes << true << true;
    QTest::newRow("no starts without saving") << Answer::No << true << false;
    QTest::newRow("cancel keeps the text") << Answer::Cancel << false << false;
}

void TestMainWindow::newDocumentQuestion()
{
    QFETCH(Answer, answer);
    QFETCH(bool, started);
    QFETCH(bool, written);
    Fixture f;
    f.type(QStringLiteral("abc"));
    QVERIFY(actionOf(*f.window, "MenuEdition_Annuler")->isEnabled());
    const QString target = f.t.file(QStringLiteral("saved.txt"));
    f.t.messageBox.script(answer);
    if (answer == Answer::Yes)
        f.t.comDlg.scriptFile(target);

    QCOMPARE(f.window->document().NewDocument(), started);

    const FakeMessageBox::Shown &box = f.t.messageBox.shown.first();
    QCOMPARE(box.text, SaveQuestion.arg("Sans titre.txt"));
    QCOMPARE(box.buttons, MessageBox::Buttons::YesNoCancel);
    QCOMPARE(box.icon, MessageBox::Icon::Exclamation);
    QCOMPARE(box.defaultButton, Answer::Yes);
    QCOMPARE(box.title, QStringLiteral("Qorvik Note Pad"));
    QCOMPARE(editorOf(*f.window)->Text(), started ? QString() : QStringLiteral("abc"));
    QCOMPARE(doc.DocSaved, started);
    QCOMPARE(actionOf(*f.window, "MenuEdition_Annuler")->isEnabled(), !started);
    QCOMPARE(QFile::exists(target), written);
    if (written)
        QCOMPARE(readBytes(target), QByteArray("abc"));
    QCOMPARE(f.window->windowTitle(), caption("Sans titre.txt"));
    QCOMPARE(doc.DocNamed, false);
}

void TestMainWindow::openShowsDialogBeforeQuestion()
{
    Fixture f;
    const QString path = f.t.file(QStringLiteral("lettre.txt"));
    QVERIFY(writeBytes(path, "Bonjour\r\n"));
    f.type(QStringLiteral("x"));
    bool askedFirst = false;
    f.t.comDlg.script([&](CommonDialog &dialog) {
        askedFirst = f.t.messageBox.shown.isEmpty();
        dialog.FileName = path;
        return true;
    });
    f.t.messageBox.script(Answer::No);
    QVERIFY(f.window->document().OpenDocument());

    QVERIFY(askedFirst);
    QCOMPARE(doc.DocPath, path);
    const FakeCommonDialog::Shown &shown = f.t.comDlg.shown.first();
    QCOMPARE(shown.kind, FakeCommonDialog::Kind::Open);
    QCOMPARE(shown.filter, QStringLiteral("Fichiers texte (*.txt;*.bat;*.ini;*.log)|"
                                          "*.txt;*.bat;*.ini;*.log|Tous (*.*)|*.*"));
    QCOMPARE(shown.flags, 4L);
    QCOMPARE(shown.fileName, QString());
    QCOMPARE(settings.DefaultDir, f.t.dir.path() + QLatin1Char('/'));
    QCOMPARE(editorOf(*f.window)->Text(), QStringLiteral("Bonjour\n"));
    QCOMPARE(f.window->windowTitle(), caption("lettre.txt"));
    QVERIFY(doc.DocNamed && doc.DocSaved);
    QVERIFY(!actionOf(*f.window, "MenuEdition_Annuler")->isEnabled());
    QCOMPARE(editorOf(*f.window)->SelStart(), 0);
}

void TestMainWindow::failedOpenLeavesEmptyDocument()
{
    Fixture f;
    f.type(QStringLiteral("old"));
    f.t.messageBox.script(Answer::No);
    QString path = f.t.file(QStringLiteral("absent.txt"));

    QVERIFY(!f.window->document().OpenDocument(path));

    QCOMPARE(f.t.messageBox.shown.size(), 2);
    QCOMPARE(f.t.messageBox.shown[1].text, LoadFailure);
    QCOMPARE(f.t.messageBox.shown[1].icon, MessageBox::Icon::Exclamation);
    QCOMPARE(editorOf(*f.window)->Text(), QString());
    QVERIFY(!doc.DocNamed && doc.DocSaved);
    QCOMPARE(f.window->windowTitle(), caption("Sans titre.txt"));
    QVERIFY(editorOf(*f.window)->isVisible() == f.window->isVisible());
}

void TestMainWindow::saveAsOverwriteRefused()
{
    Fixture f;
    const QString folder = f.t.file(QStringLiteral("autre"));
    QVERIFY(QDir().mkpath(folder));
    const QString existing = folder + QStringLiteral("/deja.txt");
    QVERIFY(writeBytes(existing, "ancien"));
    f.type(QStringLiteral("nouveau"));
    f.t.comDlg.scriptFile(existing);
    f.t.messageBox.script(Answer::No);

    QVERIFY(!f.window->document().SaveDocument(doc.DocPath));

    const FakeMessageBox::Shown &box = f.t.messageBox.shown.first();
    QCOMPARE(box.text, existing + QStringLiteral(" existe déjà.\nVoulez-vous le remplacer ?"));
    QCOMPARE(box.title, QStringLiteral("Enregistrer sous"));
    QCOMPARE(box.buttons, MessageBox::Buttons::YesNo);
    QCOMPARE(box.defaultButton, Answer::No);
    QCOMPARE(f.t.comDlg.shown.first().fileName, QStringLiteral("Sans titre.txt"));
    QCOMPARE(readBytes(existing), QByteArray("ancien"));
    QCOMPARE(f.window->windowTitle(), caption("Sans titre.txt"));
    QCOMPARE(settings.DefaultDir, folder + QLatin1Char('/'));
    QCOMPARE(doc.DocPath, QStringLiteral("Sans titre.txt")); // only a saved file names the document
    QCOMPARE(doc.DocTitle, QStringLiteral("Sans titre.txt"));
    QVERIFY(!doc.DocSaved);
}

void TestMainWindow::saveOnNamedFileWritesAtOnce()
{
    Fixture f;
    const QString path = f.t.file(QStringLiteral("a.txt"));
    QVERIFY(writeBytes(path, "un\r\ndeux"));
    QString opened = path;
    QVERIFY(f.window->document().OpenDocument(opened));
    editorOf(*f.window)->setSelStart(editorOf(*f.window)->TextLength());
    f.type(QStringLiteral("!"));

    QVERIFY(f.window->document().SaveDocument(doc.DocPath));

    QVERIFY(f.t.comDlg.shown.isEmpty());
    QVERIFY(f.t.messageBox.shown.isEmpty());
    QCOMPARE(readBytes(path), QByteArray("un\r\ndeux!"));
    QVERIFY(doc.DocSaved);
}

void TestMainWindow::failedSaveChangesNothing()
{
    Fixture f;
    const QString path = f.t.file(QStringLiteral("garde.txt"));
    QVERIFY(writeBytes(path, "original"));
    QString opened = path;
    QVERIFY(f.window->document().OpenDocument(opened));
    editorOf(*f.window)->setText(QString(5000, QLatin1Char('x')));

    const int code = runWithFileSizeLimit(100, [&] {
        const bool saved = f.window->document().SaveDocument(doc.DocPath);
        const bool warned = f.t.messageBox.shown.size() == 1
                            && f.t.messageBox.shown[0].text == SaveFailure;
        return (saved ? 1 : 0) | (warned ? 0 : 2) | (doc.DocSaved ? 4 : 0);
    });
    QCOMPARE(code, 0);
    QCOMPARE(readBytes(path), QByteArray("original"));
}

void TestMainWindow::longNameInCaptionAndQuestion()
{
    Fixture f;
    const QString name = QString(70, QLatin1Char('n'));
    QString path = f.t.file(name);
    QVERIFY(writeBytes(path, "x"));
    QVERIFY(f.window->document().OpenDocument(path));
    const QString shown = QString(64, QLatin1Char('n')) + QStringLiteral("...");
    QCOMPARE(f.window->windowTitle(), caption(shown));
    f.type(QStringLiteral("y"));
    f.t.messageBox.script(Answer::Cancel);
    QVERIFY(!f.window->document().NewDocument());
    QCOMPARE(f.t.messageBox.shown.first().text, SaveQuestion.arg(shown));
}

void TestMainWindow::escape_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("oldQuickFile");
    QTest::newRow("empty editor writes nothing") << QString() << false;
    QTest::newRow("text is quick-saved") << QStringLiteral("à garder") << false;
    QTest::newRow("old quick file replaced") << QStringLiteral("neuf") << true;
}

void TestMainWindow::escape()
{
    QFETCH(QString, text);
    QFETCH(bool, oldQuickFile);
    Fixture f;
    const QString quick = Document::QuickSavePath(f.t.env.programDir);
    if (oldQuickFile)
        QVERIFY(writeBytes(quick, "ancien contenu plus long"));
    editorOf(*f.window)->setText(text);

    QTest::keyClick(editorOf(*f.window), Qt::Key_Escape);

    QCOMPARE(f.t.exitCalls, 1);
    QVERIFY(f.t.messageBox.shown.isEmpty());
    if (text.isEmpty())
        QVERIFY(!QFile::exists(quick));
    else
        QCOMPARE(QString::fromUtf8(readBytes(quick)), text);
    QVERIFY(!QFile::exists(ConfigFile::Path(f.t.env.programDir)));
}

void TestMainWindow::escapeWithUnwritableFolderKeepsText()
{
    Fixture f;
    f.t.env.programDir = f.t.file(QStringLiteral("pas/de/dossier"));
    f.type(QStringLiteral("précieux"));

    QTest::keyClick(editorOf(*f.window), Qt::Key_Escape);

    QCOMPARE(f.t.exitCalls, 0);
    QCOMPARE(f.t.messageBox.shown.size(), 1);
    QCOMPARE(f.t.messageBox.shown[0].text, SaveFailure);
    QCOMPARE(editorOf(*f.window)->Text(), QStringLiteral("précieux"));
    QVERIFY(!doc.DocNamed);
}

void TestMainWindow::applyEditorSettingsKeepsSavedState_data()
{
    QTest::addColumn<bool>("modified");
    QTest::newRow("modified stays modified") << true;
    QTest::newRow("unmodified stays unmodified") << false;
}

void TestMainWindow::applyEditorSettingsKeepsSavedState()
{
    QFETCH(bool, modified);
    Fixture f;
    if (modified)
        f.type(QStringLiteral("abc"));
    settings.FontSize = 14;
    settings.FontBold = true;
    settings.TextColor = 0x000000FF;

    f.window->ApplyEditorSettings();

    QCOMPARE(doc.DocSaved, !modified);
    QCOMPARE(actionOf(*f.window, "MenuEdition_Annuler")->isEnabled(), modified);
    QCOMPARE(editorOf(*f.window)->font().pointSize(), 14);
    QVERIFY(editorOf(*f.window)->font().bold());
    QCOMPARE(editorOf(*f.window)->palette().color(QPalette::Text), QColor(Qt::red));
    QCOMPARE(editorOf(*f.window)->SelStart(), 0);
    QCOMPARE(editorOf(*f.window)->SelLength(), 0);
}

void TestMainWindow::selectionEnablesEditItems()
{
    Fixture f;
    editorOf(*f.window)->setText(QStringLiteral("abcdef"));
    const QList<QAction *> items{actionOf(*f.window, "MenuEdition_Couper"), actionOf(*f.window, "MenuEdition_Copier"),
                                 actionOf(*f.window, "MenuEdition_Isoler"), actionOf(*f.window, "MenuEdition_Supprimer")};
    editorOf(*f.window)->setSelStart(1);
    editorOf(*f.window)->setSelLength(2);
    for (QAction *item : items)
        QVERIFY2(item->isEnabled(), qPrintable(item->objectName()));
    editorOf(*f.window)->setSelStart(3);
    for (QAction *item : items)
        QVERIFY2(!item->isEnabled(), qPrintable(item->objectName()));

    Globals::search.SearchSelecting = true;
    editorOf(*f.window)->setSelLength(2);
    QVERIFY(!items.first()->isEnabled());
}

void TestMainWindow::shiftKeepsClipboard()
{
    Fixture f;
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    QGuiApplication::clipboard()->setImage(picture);

    QTest::keyClick(editorOf(*f.window), 'A', Qt::ShiftModifier);
    QVERIFY(QGuiApplication::clipboard()->mimeData()->hasImage());

    auto *rich = new QMimeData;
    rich->setHtml(QStringLiteral("<b>gras</b>"));
    rich->setText(QStringLiteral("gras"));
    QGuiApplication::clipboard()->setMimeData(rich);
    QTest::keyClick(editorOf(*f.window), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(editorOf(*f.window)->Text(), QStringLiteral("Agras"));
    QVERIFY(!QGuiApplication::clipboard()->mimeData()->hasHtml());
}

void TestMainWindow::closeSequence_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("saveOnExit");
    QTest::addColumn<bool>("closed");
    QTest::newRow("cancel keeps the window") << Answer::Cancel << true << false;
    QTest::newRow("no closes and writes settings") << Answer::No << true << true;
    QTest::newRow("no without SaveOnExit") << Answer::No << false << true;
}

void TestMainWindow::closeSequence()
{
    QFETCH(Answer, answer);
    QFETCH(bool, saveOnExit);
    QFETCH(bool, closed);
    Fixture f;
    settings.SaveOnExit = saveOnExit;
    f.window->show();
    f.type(QStringLiteral("texte"));
    f.t.messageBox.script(answer);

    QCOMPARE(f.window->close(), closed);

    QCOMPARE(f.t.exitCalls, closed ? 1 : 0);
    QCOMPARE(editorOf(*f.window)->Text(), closed ? QString() : QStringLiteral("texte"));
    QCOMPARE(QFile::exists(ConfigFile::Path(f.t.env.programDir)), closed && saveOnExit);
}

void TestMainWindow::commandLine_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<bool>("opened");
    QTest::newRow("quoted with blanks") << "\"%1\"" << true;
    QTest::newRow("unquoted with blanks") << "%1" << true;
    QTest::newRow("quote never closed") << "\"%1" << false;
}

void TestMainWindow::commandLine()
{
    QFETCH(QString, commandLine);
    QFETCH(bool, opened);
    TestEnv probe; // only for a folder that outlives the fixture's settings reset
    const QString path = probe.file(QStringLiteral("mon fichier.txt"));
    QVERIFY(writeBytes(path, "contenu"));
    TestEnv t;
    t.env.commandLine = commandLine.arg(path);
    if (!opened)
        t.comDlg.scriptCancel();
    MainWindow window(t.env);
    window.Form_Load();

    QCOMPARE(editorOf(window)->Text(), opened ? QStringLiteral("contenu") : QString());
    QCOMPARE(t.comDlg.shown.size(), opened ? 0 : 1);
    QCOMPARE(window.windowTitle(), opened ? caption("mon fichier.txt") : QStringLiteral("Mon application"));
}

void TestMainWindow::drops_data()
{
    QTest::addColumn<bool>("modified");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("opened");
    QTest::newRow("unmodified opens without question") << false << Answer::Ok << true;
    QTest::newRow("modified asks first, no") << true << Answer::No << true;
    QTest::newRow("modified, cancel opens nothing") << true << Answer::Cancel << false;
}

void TestMainWindow::drops()
{
    QFETCH(bool, modified);
    QFETCH(Answer, answer);
    QFETCH(bool, opened);
    Fixture f;
    QStringList paths;
    for (const char *name : {"un fichier.txt", "deux.txt", "trois.txt"}) {
        paths << f.t.file(QLatin1String(name));
        QVERIFY(writeBytes(paths.last(), QByteArray(name)));
    }
    if (modified) {
        f.type(QStringLiteral("modifié"));
        f.t.messageBox.script(answer);
    }

    f.drop(filesData(paths));
    QVERIFY(f.t.messageBox.shown.isEmpty()); // nothing asked inside the drop
    QCOMPARE(f.window->droppedPath(), paths.first());
    QTRY_VERIFY(!dropTimerOf(*f.window)->isActive());

    QCOMPARE(f.t.messageBox.shown.size(), modified ? 1 : 0);
    QCOMPARE(editorOf(*f.window)->Text(), opened ? QStringLiteral("un fichier.txt") : QStringLiteral("modifié"));
    QCOMPARE(f.window->windowTitle(), caption(opened ? "un fichier.txt" : "Sans titre.txt"));
    QVERIFY(f.t.comDlg.shown.isEmpty());
}

void TestMainWindow::dropOfTextIsRefused()
{
    Fixture f;
    editorOf(*f.window)->setText(QStringLiteral("avant"));
    auto *data = new QMimeData;
    data->setText(QStringLiteral("glissé"));
    f.drop(data);

    QCOMPARE(f.t.messageBox.shown.size(), 1);
    QCOMPARE(f.t.messageBox.shown[0].text,
             QStringLiteral("Operation de drag & drop impossible avec cet objet !"));
    QCOMPARE(f.t.messageBox.shown[0].icon, MessageBox::Icon::Exclamation);
    QVERIFY(!dropTimerOf(*f.window)->isActive());
    QCOMPARE(editorOf(*f.window)->Text(), QStringLiteral("avant"));
}

void TestMainWindow::dropNeverMoves_data()
{
    QTest::addColumn<bool>("file");
    QTest::addColumn<Qt::DropActions>("offered");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<Qt::DropAction>("action");
    const Qt::DropActions all = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    QTest::newRow("text refused") << false << all << false << Qt::IgnoreAction;
    QTest::newRow("file copied") << true << all << true << Qt::CopyAction;
    QTest::newRow("file linked") << true << (Qt::MoveAction | Qt::LinkAction) << true
                                 << Qt::LinkAction;
    QTest::newRow("file only movable") << true << Qt::DropActions(Qt::MoveAction) << false
                                       << Qt::IgnoreAction;
}

void TestMainWindow::dropNeverMoves()
{
    QFETCH(bool, file);
    QFETCH(Qt::DropActions, offered);
    QFETCH(bool, accepted);
    QFETCH(Qt::DropAction, action);
    Fixture f;
    const QString path = f.t.file(QStringLiteral("glissé.txt"));
    QVERIFY(writeBytes(path, "contenu"));
    auto *data = file ? filesData({path}) : new QMimeData;
    if (!file)
        data->setText(QStringLiteral("glissé"));

    const Fixture::Told told = f.drop(data, offered);
    QCOMPARE(told.accepted, accepted);
    if (accepted)
        QCOMPARE(told.action, action);
    QCOMPARE(f.t.messageBox.shown.size(), file ? 0 : 1);
}

void TestMainWindow::captionSetWhenFirstShown()
{
    TestEnv t;
    settings.WindowState = 1;
    settings.WindowWidth = 9000;
    settings.WindowHeight = 6000;
    MainWindow window(t.env);
    window.Form_Load();
    // Read before any activation comes: a minimized window may never get one.
    window.show();
    QCOMPARE(window.windowTitle(), caption("Sans titre.txt"));
}

void TestMainWindow::offScreenPlacementBroughtBack_data()
{
    QTest::addColumn<QRect>("stored"); // twips
    QTest::addColumn<bool>("kept");
    QTest::newRow("larger screen's corner") << QRect(60000, 45000, 9000, 6000) << false;
    QTest::newRow("left of the screen") << QRect(-30000, 1500, 9000, 6000) << false;
    QTest::newRow("larger than the screen") << QRect(60000, 0, 90000, 60000) << false;
    QTest::newRow("visible") << QRect(1500, 750, 9000, 6000) << true;
    QTest::newRow("partly out, visible") << QRect(-1500, -150, 9000, 6000) << true;
}

void TestMainWindow::offScreenPlacementBroughtBack()
{
    QFETCH(QRect, stored);
    QFETCH(bool, kept);
    TestEnv t;
    settings.WindowLeft = stored.x();
    settings.WindowTop = stored.y();
    settings.WindowWidth = stored.width();
    settings.WindowHeight = stored.height();
    MainWindow window(t.env);
    window.Form_Load();

    const QRect placed(window.pos(), window.size());
    const QRect screen = window.screen()->availableGeometry();
    const QRect file(stored.x() / 15, stored.y() / 15, stored.width() / 15, stored.height() / 15);
    if (kept) {
        QCOMPARE(placed, file);
    } else {
        QVERIFY2(screen.contains(placed), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                             .arg(placed.x()).arg(placed.y())
                                                             .arg(placed.width()).arg(placed.height())));
        // Shrunk only where the screen is too small, with room for a title bar.
        const int titleBar = window.style()->pixelMetric(QStyle::PM_TitleBarHeight);
        QVERIFY(placed.bottom() + titleBar <= screen.bottom());
        QCOMPARE(placed.width(), qMin(file.width(), screen.width()));
        QCOMPARE(placed.height(), qMin(file.height(), screen.height() - titleBar));
    }
    QCOMPARE(settings.WindowLeft, stored.x());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
