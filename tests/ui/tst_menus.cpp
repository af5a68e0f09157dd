#include "app/ConfigFile.h"
#include "app/Document.h"
#include "app/Globals.h"
#include "controls/button/Qorvikcmd.h"
#include "platform/RichTextBox.h"
#include "platform/WindowEffects.h"
#include "support/TestEnv.h"
#include "ui/commands/AboutDialog.h"
#include "ui/commands/MenuCommands.h"
#include "ui/main/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPrinter>
#include <QSet>
#include <QStringEncoder>
#include <QTest>
#include <QVector3D>
#include <QWindow>

using Globals::doc;
using Globals::settings;
using Answer = MessageBox::Answer;
using Kind = FakeCommonDialog::Kind;

namespace {

// A loaded main window, shown and active so that its shortcuts work.
struct Fixture
{
    Fixture()
    {
        window = std::make_unique<MainWindow>(t.env);
        window->Form_Load();
        window->show();
        QApplication::setActiveWindow(window.get());
        editorOf(*window)->setFocus();
    }

    RichTextBox *txt() const { return editorOf(*window); }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(editorOf(*window), Qt::Key(key), modifiers);
    }

    TestEnv t;
    std::unique_ptr<MainWindow> window;
};

void describe(QStringList &rows, QMenu *menu, const QString &indent)
{
    for (QAction *action : menu->actions()) {
        QString row = indent + action->objectName();
        if (action->isSeparator()) {
            rows << row + QStringLiteral(" -");
            continue;
        }
        row += QStringLiteral(" \"") + action->text() + QLatin1Char('"');
        if (!action->shortcut().isEmpty())
            row += QLatin1Char(' ') + action->shortcut().toString();
        if (!action->icon().isNull())
            row += QStringLiteral(" [picture]");
        if (action->isChecked())
            row += QStringLiteral(" [checked]");
        if (!action->isEnabled())
            row += QStringLiteral(" [disabled]");
        rows << row;
        if (action->menu())
            describe(rows, action->menu(), indent + QStringLiteral("  "));
    }
}

} // namespace

class TestMenus : public QObject
{
    Q_OBJECT

private slots:
    void init() { QGuiApplication::clipboard()->clear(); }
    void menuTree();
    void picturesAreKeyedOut();
    void picturesHoldNoBlendOfTheirKey();
    void isolateByCtrlY();
    void ctrlYDoesNothingWithoutSelection();
    void ctrlWSelectsCopiesMinimizes();
    void f5InsertsOverSelection();
    void fileShortcutsReachTheirCommands_data();
    void fileShortcutsReachTheirCommands();
    void ctrlZIsTheEditorsUndo();
    void timeDateText_data();
    void timeDateText();
    void timeDateTextWithoutZone_data();
    void timeDateTextWithoutZone();
    void f5IsItsOwnUndoStep();
    void pasteFormattedText();
    void pastePictureOnly();
    void deleteAndUndo();
    void fontDialog_data();
    void fontDialog();
    void fontDialogCancel();
    void saveConfiguration_data();
    void saveConfiguration();
    void quitAsksTheSaveQuestion();
    void languageItems_data();
    void languageItems();
    void printCancelled();
    void printCarriesTheDocumentsName();
    void aboutDialog();
    void translucency();
    void translucencyUnavailable();
    void stayOnTopKeepsGeometry();
    void stayOnTopIsAskedForEveryTime();
};

void TestMenus::menuTree()
{
    Fixture f;
    QStringList rows;
    for (QAction *action : f.window->menuBar()->actions()) {
        rows << action->objectName() + QStringLiteral(" \"") + action->text() + QLatin1Char('"');
        describe(rows, action->menu(), QStringLiteral("  "));
    }
    const QStringList expected = {
        "MenuFichier \"&Fichier\"",
        "  MenuFichier_Nouveau \"Nouveau\" Ctrl+N [picture]",
        "  MenuFichier_Ouvrir \"Ouvrir...\" Ctrl+O [picture]",
        "  MenuFichier_Enregistrer \"Enregistrer\" Ctrl+S [picture]",
        "  MenuFichier_EnregistrerSous \"Enregistrer sous...\"",
        "  MenuFichier_Intersection1 -",
        "  MenuFichier_Imprimer \"Imprimer...\" Ctrl+P [picture]",
        "  MenuFichier_Intersection2 -",
        "  MenuFichier_Quitter \"Quitter\"",
        "MenuEdition \"&Edition\"",
        "  MenuEdition_Annuler \"Annuler\tCtrl+Z\" [picture] [disabled]",
        "  MenuEdition_Intersection1 -",
        "  MenuEdition_Couper \"Couper\tCtrl+X\" [picture] [disabled]",
        "  MenuEdition_Copier \"Copier\tCtrl+C\" [picture] [disabled]",
        "  MenuEdition_Coller \"Coller\tCtrl+V\" [picture]",
        "  MenuEdition_Isoler \"Isoler\" Ctrl+Y [disabled]",
        "  MenuEdition_Supprimer \"Supprimer\tDel\" [disabled]",
        "  MenuEdition_Intersection3 -",
        "  MenuEdition_SelectionnerTout \"Sélectionner tout\" Ctrl+A",
        "  MenuEdition_SelectionnerToutCopierEtReduire \"Sélectionner tout, copier et réduire\" Ctrl+W",
        "  MenuEdition_Intersection4 -",
        "  MenuEdition_HeureDate \"Heure/Date\" F5",
        "MenuEdition_Intersection2 \"&Recherche\"",
        "  MenuEdition_Rechercher \"Rechercher...\" Ctrl+F [picture]",
        "  MenuEdition_RechercherLeSuivant \"Rechercher le suivant\" F3",
        "  MenuEdition_Remplacer \"Remplacer...\" Ctrl+H",
        "formaat \"&Format\"",
        "  MenuFormat_Police \"Police...\" [picture]",
        "MenuFormat \"&Option\"",
        "  MenuFormat_Preferences \"Préférences\" [picture]",
        "  lng \"&Langue\"",
        "    ar \"&Arabe\"",
        "    fr \"&Français (Défaut)\" [checked]",
        "    en \"&Anglais\"",
        "  MenuFormat_Intersection1 -",
        "  MenuFormat_EnregistrerConfiguration \"Enregistrer la configuration\"",
        "MenuAide \"&?\"",
        "  MenuAide_APropos \"À propos de Qorvik Note Pad\" [picture]",
    };
    QCOMPARE(rows, expected);
    QCOMPARE(f.window->menuBar()->font().pointSizeF(), 8.25);
}

void TestMenus::picturesAreKeyedOut()
{
    Fixture f;
    const QImage save = actionOf(*f.window, "MenuFichier_Enregistrer")->icon().pixmap(17, 16).toImage();
    QCOMPARE(save.size(), QSize(17, 16));
    QCOMPARE(qAlpha(save.pixel(16, 15)), 0); // the magenta corner is transparent
    QVERIFY(qAlpha(save.pixel(8, 8)) > 0);
}

void TestMenus::picturesHoldNoBlendOfTheirKey()
{
    // An edge drawn part over the key colour shows as a fringe of it: no
    // opaque colour may lie between the key and another colour drawn.
    Fixture f;
    const auto rgb = [](QRgb c) { return QVector3D(qRed(c), qGreen(c), qBlue(c)); };
    for (const auto &[item, key] : QList<QPair<QString, QRgb>>{{"MenuFormat_Police", qRgb(255, 0, 255)},
                                                               {"MenuEdition_Couper", qRgb(255, 0, 255)},
                                                               {"MenuAide_APropos", qRgb(255, 0, 208)}}) {
        const QImage image = actionOf(*f.window, item)->icon().pixmap(17, 16).toImage();
        QSet<QRgb> drawn;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) == 255)
                    drawn << image.pixel(x, y);
        QVERIFY2(!drawn.isEmpty(), qPrintable(item));
        for (QRgb c : drawn)
            for (QRgb other : drawn) {
                const QVector3D d = rgb(key) - rgb(other), e = rgb(c) - rgb(other);
                const float t = QVector3D::dotProduct(d, e) / d.lengthSquared();
                QVERIFY2(c == other || t < 0.05f || (e - t * d).length() > 4,
                         qPrintable(item + QStringLiteral(" %1").arg(c, 0, 16)));
            }
    }
}

void TestMenus::isolateByCtrlY()
{
    Fixture f;
    f.txt()->setText(QStringLiteral("0123456789"));
    f.txt()->setSelStart(2);
    f.txt()->setSelLength(5);
    f.key(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(f.txt()->Text(), QStringLiteral("23456"));
    QVERIFY(!doc.DocSaved);
    QVERIFY(actionOf(*f.window, "MenuEdition_Annuler")->isEnabled());
}

void TestMenus::ctrlYDoesNothingWithoutSelection()
{
    Fixture f;
    f.txt()->setText(QStringLiteral("abc"));
    f.txt()->setText(QStringLiteral("abcd"));
    f.txt()->undo(); // something to redo, which Ctrl+Y must not do
    f.key(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(f.txt()->Text(), QStringLiteral("abc"));
}

void TestMenus::ctrlWSelectsCopiesMinimizes()
{
    Fixture f;
    f.txt()->setText(QStringLiteral("tout le texte"));
    f.txt()->setSelStart(4);
    f.key(Qt::Key_W, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("tout le texte"));
    QCOMPARE(f.txt()->SelStart(), 0);
    QCOMPARE(f.txt()->SelLength(), 0);
    QVERIFY(f.window->windowState() & Qt::WindowMinimized);
}

void TestMenus::f5InsertsOverSelection()
{
    Fixture f;
    f.txt()->setText(QStringLiteral("le XX fin"));
    f.txt()->setSelStart(3);
    f.txt()->setSelLength(2);
    f.key(Qt::Key_F5);
    QCOMPARE(f.txt()->Text(),
             QStringLiteral("le ") + MenuCommands::TimeDateText(f.t.clock, QLocale()) + QStringLiteral(" fin"));
}

void TestMenus::fileShortcutsReachTheirCommands_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Kind>("dialog");
    QTest::newRow("Ctrl+O opens") << int(Qt::Key_O) << Kind::Open;
    QTest::newRow("Ctrl+S saves an unnamed text") << int(Qt::Key_S) << Kind::Save;
    QTest::newRow("Ctrl+P prints") << int(Qt::Key_P) << Kind::Printer;
}

void TestMenus::fileShortcutsReachTheirCommands()
{
    QFETCH(int, key);
    QFETCH(Kind, dialog);
    Fixture f;
    f.t.comDlg.scriptCancel();
    f.key(key, Qt::ControlModifier);
    QCOMPARE(f.t.comDlg.shown.size(), 1);
    QCOMPARE(f.t.comDlg.shown[0].kind, dialog);
    if (dialog == Kind::Printer)
        QCOMPARE(f.t.comDlg.shown[0].flags, 0x80104L);
}

void TestMenus::ctrlZIsTheEditorsUndo()
{
    Fixture f;
    for (QAction *action : f.window->findChildren<QAction *>())
        QVERIFY2(action->shortcut() != QKeySequence(Qt::CTRL | Qt::Key_Z), qPrintable(action->objectName()));
    typeText(f.txt(), QStringLiteral("abc"));
    f.key(Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(f.txt()->Text().size() < 3);

    // Ctrl+N reaches the new-document command and its question.
    f.t.messageBox.script(Answer::Cancel);
    f.key(Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(f.t.messageBox.shown.size(), 1);
}

void TestMenus::timeDateText_data()
{
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QString>("french");
    QTest::addColumn<QString>("english");
    QTest::newRow("afternoon") << QDateTime(QDate(2026, 12, 7), QTime(15, 4, 5)) << "07/12/2026 15:04:05"
                               << "12/7/26 3:04:05 PM";
    QTest::newRow("midnight is the date alone") << QDateTime(QDate(2026, 1, 2), QTime(0, 0))
                                                << "02/01/2026" << "1/2/26";
}

void TestMenus::timeDateText()
{
    QFETCH(QDateTime, moment);
    QTEST(MenuCommands::TimeDateText(moment, QLocale(QLocale::French, QLocale::France)), "french");
    QTEST(MenuCommands::TimeDateText(moment, QLocale(QLocale::English, QLocale::UnitedStates)), "english");
}

void TestMenus::timeDateTextWithoutZone_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QString>("text");
    const QDateTime afternoon(QDate(2026, 12, 7), QTime(13, 5, 9));
    QTest::newRow("zone in parentheses") << "ca_ES" << afternoon << "7/12/26 13:05:09";
    QTest::newRow("zone in brackets") << "zh_HK" << afternoon << "7/12/2026 下午1:05:09";
    QTest::newRow("zone after a comma") << "be_BY" << afternoon << "7.12.26 13:05:09";
    QTest::newRow("midnight and a half second")
            << "fr_FR" << QDateTime(QDate(2026, 1, 2), QTime(0, 0, 0, 500)) << "02/01/2026";
}

void TestMenus::timeDateTextWithoutZone()
{
    QFETCH(QString, locale);
    QFETCH(QDateTime, moment);
    QTEST(MenuCommands::TimeDateText(moment, QLocale(locale)), "text");
}

void TestMenus::f5IsItsOwnUndoStep()
{
    Fixture f;
    typeText(f.txt(), QStringLiteral("ab"));
    f.key(Qt::Key_F5);
    typeText(f.txt(), QStringLiteral("cd"));
    const QString date = MenuCommands::TimeDateText(f.t.clock, QLocale());
    f.window->MenuEdition_Annuler_Click();
    QCOMPARE(f.txt()->Text(), QStringLiteral("ab") + date);
    f.window->MenuEdition_Annuler_Click();
    QCOMPARE(f.txt()->Text(), QStringLiteral("ab"));
}

void TestMenus::pasteFormattedText()
{
    Fixture f;
    auto *data = new QMimeData;
    data->setHtml(QStringLiteral("<b>gras</b> et <i>penché</i>"));
    data->setText(QStringLiteral("gras et penché"));
    QGuiApplication::clipboard()->setMimeData(data);
    f.window->MenuEdition_Coller_Click();
    QCOMPARE(f.txt()->Text(), QStringLiteral("gras et penché"));
    const QMimeData *now = QGuiApplication::clipboard()->mimeData();
    QCOMPARE(now->text(), QStringLiteral("gras et penché"));
    QVERIFY(!now->hasHtml());
}

void TestMenus::pastePictureOnly()
{
    Fixture f;
    f.txt()->setText(QStringLiteral("avant"));
    QImage picture(3, 3, QImage::Format_RGB32);
    picture.fill(Qt::green);
    QGuiApplication::clipboard()->setImage(picture);
    f.window->MenuEdition_Coller_Click();
    QCOMPARE(f.txt()->Text(), QStringLiteral("avant"));
    const QMimeData *now = QGuiApplication::clipboard()->mimeData();
    QVERIFY(!now || now->formats().isEmpty());
}

void TestMenus::deleteAndUndo()
{
    Fixture f;
    f.txt()->setText(QStringLiteral("abcdef"));
    f.txt()->setSelStart(2);
    f.window->MenuEdition_Supprimer_Click();
    QCOMPARE(f.txt()->Text(), QStringLiteral("abcdef"));
    f.txt()->setSelLength(2);
    f.window->MenuEdition_Supprimer_Click();
    QCOMPARE(f.txt()->Text(), QStringLiteral("abef"));
    f.window->MenuEdition_Annuler_Click();
    QCOMPARE(f.txt()->Text(), QStringLiteral("abcdef"));
}

void TestMenus::fontDialog_data()
{
    QTest::addColumn<double>("chosen");
    QTest::addColumn<int>("stored");
    QTest::newRow("10.5 gives 10") << 10.5 << 10;
    QTest::newRow("11.5 gives 12") << 11.5 << 12;
    QTest::newRow("12.4 gives 12") << 12.4 << 12;
}

void TestMenus::fontDialog()
{
    QFETCH(double, chosen);
    Fixture f;
    f.txt()->setText(QStringLiteral("texte"));
    doc.DocSaved = true; // as if just saved
    f.t.comDlg.script([chosen](CommonDialog &dialog) {
        dialog.FontName = QStringLiteral("DejaVu Serif");
        dialog.FontSize = chosen;
        dialog.FontItalic = true;
        return true;
    });
    f.window->MenuFormat_Police_Click();
    const FakeCommonDialog::Shown &shown = f.t.comDlg.shown.first();
    QCOMPARE(shown.kind, Kind::Font);
    QCOMPARE(shown.flags, 1L);
    QTEST(int(settings.FontSize), "stored");
    QCOMPARE(settings.FontName, QStringLiteral("DejaVu Serif"));
    QVERIFY(settings.FontItalic);
    QCOMPARE(f.txt()->font().pointSize(), int(settings.FontSize));
    QVERIFY(f.txt()->font().italic());
    QVERIFY(doc.DocSaved); // applying the font is no edit
    QVERIFY(!actionOf(*f.window, "MenuEdition_Annuler")->isEnabled());
}

void TestMenus::fontDialogCancel()
{
    Fixture f;
    f.txt()->setText(QStringLiteral("texte"));
    f.txt()->setSelStart(3);
    f.t.comDlg.scriptCancel();
    f.window->MenuFormat_Police_Click();
    QCOMPARE(f.txt()->SelStart(), 3);
    QCOMPARE(settings.FontSize, qint16(10));
    QCOMPARE(settings.FontName, QStringLiteral("Lucida Console"));
}

void TestMenus::saveConfiguration_data()
{
    QTest::addColumn<bool>("writable");
    QTest::newRow("written: confirmation") << true;
    QTest::newRow("failed: only the failure") << false;
}

void TestMenus::saveConfiguration()
{
    QFETCH(bool, writable);
    Fixture f;
    if (!writable)
        f.t.env.programDir = f.t.file(QStringLiteral("absent"));
    f.window->MenuFormat_EnregistrerConfiguration_Click();
    QCOMPARE(f.t.messageBox.shown.size(), 1);
    const FakeMessageBox::Shown &box = f.t.messageBox.shown.first();
    if (writable) {
        QCOMPARE(box.text, QStringLiteral("La configuration a été correctement enregistrée.\n"
                                          "Remarque : le répertoire par défaut a également été sauvegardé."));
        QCOMPARE(box.icon, MessageBox::Icon::Information);
        QCOMPARE(box.title, QStringLiteral("Qorvik Note Pad"));
        QVERIFY(QFile::exists(ConfigFile::Path(f.t.env.programDir)));
    } else {
        QCOMPARE(box.text, QStringLiteral("Impossible de sauvegarder le fichier INI !"));
    }
}

void TestMenus::quitAsksTheSaveQuestion()
{
    Fixture f;
    typeText(f.txt(), QStringLiteral("modifié"));
    f.t.messageBox.script(Answer::Cancel);
    f.window->MenuFichier_Quitter_Click();
    QCOMPARE(f.t.messageBox.shown.size(), 1);
    QVERIFY(f.t.messageBox.shown[0].text.startsWith(QStringLiteral("Le texte du fichier Sans titre.txt")));
    QVERIFY(f.window->isVisible());
    QCOMPARE(f.t.exitCalls, 0);
}

void TestMenus::languageItems_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    const QString later = QStringLiteral("Cet option sera disponible dans la prochaine mise à jour");
    const QString unavailable = QStringLiteral("Option non disponible dans cette version");
    QTest::newRow("ar") << "ar" << later << unavailable;
    QTest::newRow("en") << "en" << later << unavailable;
    QTest::newRow("fr") << "fr" << "La langue française est déjà selectionner" << "Qorvik Corporation";
}

void TestMenus::languageItems()
{
    QFETCH(QString, item);
    Fixture f;
    actionOf(*f.window, item)->trigger();
    QCOMPARE(f.t.messageBox.shown.size(), 1);
    QTEST(f.t.messageBox.shown[0].text, "text");
    QTEST(f.t.messageBox.shown[0].title, "title");
    QCOMPARE(f.t.messageBox.shown[0].icon, MessageBox::Icon::Information);
    QVERIFY(actionOf(*f.window, QStringLiteral("fr"))->isChecked());
    QVERIFY(!actionOf(*f.window, QStringLiteral("ar"))->isChecked());
    QCOMPARE(actionOf(*f.window, item)->text(), actionOf(*f.window, item)->text());
}

void TestMenus::printCancelled()
{
    Fixture f;
    f.t.comDlg.scriptCancel();
    f.window->MenuFichier_Imprimer_Click();
    QVERIFY(f.t.messageBox.shown.isEmpty());
}

void TestMenus::printCarriesTheDocumentsName()
{
    Fixture f;
    QString path = f.t.file(QStringLiteral("Lettre à Anne.txt"));
    QVERIFY(writeBytes(path, "Chère Anne,\n"));
    QVERIFY(f.window->document().OpenDocument(path));
    const QString pdf = f.t.file(QStringLiteral("sortie.pdf"));
    QString proposed;
    f.t.comDlg.script([&](CommonDialog &dialog) {
        proposed = dialog.printer()->outputFileName();
        dialog.printer()->setOutputFileName(pdf); // the user prints to a file
        return true;
    });
    f.window->MenuFichier_Imprimer_Click();
    QCOMPARE(QDir::toNativeSeparators(proposed), f.t.file(QStringLiteral("Lettre à Anne.pdf")));
    QCOMPARE(f.t.comDlg.printer()->docName(), QStringLiteral("Lettre à Anne.txt"));
    // The document information holds the title in UTF-16 with its mark.
    QStringEncoder utf16(QStringConverter::Utf16BE);
    QVERIFY(readBytes(pdf).contains("\xfe\xff" + QByteArray(utf16(QStringLiteral("Lettre à Anne.txt")))));
}

void TestMenus::aboutDialog()
{
    Fixture f;
    settings.AlwaysOnTop = true;
    SetMainWindowTopmost(*f.window, true);
    bool topmostWhileShown = true;
    QString caption;
    QStringList texts;
    f.t.env.runModal = [&](QDialog &dialog) {
        topmostWhileShown = WindowEffects::IsTopmost(*f.window);
        caption = dialog.windowTitle();
        for (QLabel *label : dialog.findChildren<QLabel *>())
            texts << label->objectName() + QLatin1Char('=') + label->text();
        auto *ok = dialog.findChild<Qorvikcmd *>(QStringLiteral("cmdOk"));
        if (!ok || ok->Caption() != QStringLiteral("&OK"))
            return -1;
        dialog.show();
        emit ok->Click();
        return dialog.result();
    };
    f.window->MenuAide_APropos_Click();
    QCOMPARE(caption, QStringLiteral(" A propos de Qorvik Note Pad 1.2"));
    QVERIFY(texts.contains(QStringLiteral("lblVersion=Version : 1.2")));
    QVERIFY(!topmostWhileShown);
    QVERIFY(WindowEffects::IsTopmost(*f.window));

    AboutDialog about;
    QCOMPARE(about.size(), QSize(312, 236)); // 4680 x 3540 twips at 96 dpi
    QCOMPARE(about.cmdOk->geometry(), QRect(232, 208, 73, 25));
    QCOMPARE(about.lblCommentary->geometry(), QRect(8, 112, 298, 73));
    QVERIFY(about.lblAuthor->text().contains(QStringLiteral("Qorvik Corporation")));
    QVERIFY(!about.lblAuthor->text().contains(QStringLiteral("http")));
}

void TestMenus::translucency()
{
    Fixture f;
    ApplyTransparency(*f.window, 0);
    QCOMPARE(f.window->windowOpacity(), 0.0);
    ApplyTransparency(*f.window, 255);
    QCOMPARE(f.window->windowOpacity(), 1.0);
    QVERIFY(WindowEffects::IsLayered(*f.window));
    ApplyTransparency(*f.window, 100);
    QCOMPARE(qRound(f.window->windowOpacity() * 255), 100);
    RemoveTransparency(*f.window);
    QVERIFY(!WindowEffects::IsLayered(*f.window));
    QCOMPARE(f.window->windowOpacity(), 1.0);
    QVERIFY(f.t.messageBox.shown.isEmpty());
}

void TestMenus::translucencyUnavailable()
{
    TestEnv t;
    t.env.translucencySupported = [] { return false; };
    settings.TransparencyOn = true;
    MainWindow window(t.env);
    window.Form_Load();
    QCOMPARE(t.messageBox.shown.size(), 1);
    QCOMPARE(t.messageBox.shown[0].text,
             QStringLiteral("Impossible d'appliquer la transparence à la fenêtre.\n"
                            "Cette fonction est réservée à Windows 2000/XP."));
    QCOMPARE(t.messageBox.shown[0].icon, MessageBox::Icon::Exclamation);
    QVERIFY(!settings.TransparencyOn);
    QCOMPARE(window.windowOpacity(), 1.0);
}

void TestMenus::stayOnTopKeepsGeometry()
{
    Fixture f;
    QWindow *native = f.window->windowHandle();
    const QRect before = f.window->geometry();
    SetMainWindowTopmost(*f.window, true);
    QVERIFY(native->flags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(f.window->windowHandle(), native); // not re-created
    SetMainWindowTopmost(*f.window, false);
    QVERIFY(!(native->flags() & Qt::WindowStaysOnTopHint));
    QCOMPARE(f.window->geometry(), before);
    QVERIFY(f.window->isVisible());
}

void TestMenus::stayOnTopIsAskedForEveryTime()
{
    // The band can change behind Qt's back (another program, the window
    // manager's own menu): each call asks the window for it again.
    Fixture f;
    QWindow *native = f.window->windowHandle();
    for (bool on : {true, false}) {
        SetMainWindowTopmost(*f.window, on);
        native->setFlag(Qt::WindowStaysOnTopHint, !on);
        SetMainWindowTopmost(*f.window, on);
        QCOMPARE(native->flags().testFlag(Qt::WindowStaysOnTopHint), on);
    }
}

QTEST_MAIN(TestMenus)
#include "tst_menus.moc"
