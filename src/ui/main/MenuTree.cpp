// The menu bar of the main window: every item under its control name, with
// its caption, key, picture and the click handler that calls its command.
#include "ui/main/MainWindow.h"

#include "app/Globals.h"
#include "app/Surroundings.h"
#include "platform/MessageBox.h"
#include "platform/RichTextBox.h"
#include "ui/commands/MenuCommands.h"
#include "ui/commands/MenuPictures.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

enum class Level { Menu, Submenu, EndSubmenu, Item, Separator };

struct Entry
{
    Level level;
    const char *name;
    const char *caption;
    QKeySequence key;
    void (MainWindow::*click)();
};

// Captions in UTF-8; "\t" puts a key text the menu does not bind.
const QList<Entry> &menuTree()
{
    using W = MainWindow;
    static const QList<Entry> tree = {
        {Level::Menu, "MenuFichier", "&Fichier", {}, nullptr},
        {Level::Item, "MenuFichier_Nouveau", "Nouveau", QKeySequence(Qt::CTRL | Qt::Key_N), &W::MenuFichier_Nouveau_Click},
        {Level::Item, "MenuFichier_Ouvrir", "Ouvrir...", QKeySequence(Qt::CTRL | Qt::Key_O), &W::MenuFichier_Ouvrir_Click},
        {Level::Item, "MenuFichier_Enregistrer", "Enregistrer", QKeySequence(Qt::CTRL | Qt::Key_S), &W::MenuFichier_Enregistrer_Click},
        {Level::Item, "MenuFichier_EnregistrerSous", "Enregistrer sous...", {}, &W::MenuFichier_EnregistrerSous_Click},
        {Level::Separator, "MenuFichier_Intersection1", "-", {}, nullptr},
        {Level::Item, "MenuFichier_Imprimer", "Imprimer...", QKeySequence(Qt::CTRL | Qt::Key_P), &W::MenuFichier_Imprimer_Click},
        {Level::Separator, "MenuFichier_Intersection2", "-", {}, nullptr},
        {Level::Item, "MenuFichier_Quitter", "Quitter", {}, &W::MenuFichier_Quitter_Click},
        {Level::Menu, "MenuEdition", "&Edition", {}, nullptr},
        {Level::Item, "MenuEdition_Annuler", "Annuler\tCtrl+Z", {}, &W::MenuEdition_Annuler_Click},
        {Level::Separator, "MenuEdition_Intersection1", "-", {}, nullptr},
        {Level::Item, "MenuEdition_Couper", "Couper\tCtrl+X", {}, &W::MenuEdition_Couper_Click},
        {Level::Item, "MenuEdition_Copier", "Copier\tCtrl+C", {}, &W::MenuEdition_Copier_Click},
        {Level::Item, "MenuEdition_Coller", "Coller\tCtrl+V", {}, &W::MenuEdition_Coller_Click},
        {Level::Item, "MenuEdition_Isoler", "Isoler", QKeySequence(Qt::CTRL | Qt::Key_Y), &W::MenuEdition_Isoler_Click},
        {Level::Item, "MenuEdition_Supprimer", "Supprimer\tDel", {}, &W::MenuEdition_Supprimer_Click},
        {Level::Separator, "MenuEdition_Intersection3", "-", {}, nullptr},
        {Level::Item, "MenuEdition_SelectionnerTout", "Sélectionner tout", QKeySequence(Qt::CTRL | Qt::Key_A), &W::MenuEdition_SelectionnerTout_Click},
        {Level::Item, "MenuEdition_SelectionnerToutCopierEtReduire", "Sélectionner tout, copier et réduire", QKeySequence(Qt::CTRL | Qt::Key_W), &W::MenuEdition_SelectionnerToutCopierEtReduire_Click},
        {Level::Separator, "MenuEdition_Intersection4", "-", {}, nullptr},
        {Level::Item, "MenuEdition_HeureDate", "Heure/Date", QKeySequence(Qt::Key_F5), &W::MenuEdition_HeureDate_Click},
        {Level::Menu, "MenuEdition_Intersection2", "&Recherche", {}, nullptr},
        {Level::Item, "MenuEdition_Rechercher", "Rechercher...", QKeySequence(Qt::CTRL | Qt::Key_F), &W::MenuEdition_Rechercher_Click},
        {Level::Item, "MenuEdition_RechercherLeSuivant", "Rechercher le suivant", QKeySequence(Qt::Key_F3), &W::MenuEdition_RechercherLeSuivant_Click},
        {Level::Item, "MenuEdition_Remplacer", "Remplacer...", QKeySequence(Qt::CTRL | Qt::Key_H), &W::MenuEdition_Remplacer_Click},
        {Level::Menu, "formaat", "&Format", {}, nullptr},
        {Level::Item, "MenuFormat_Police", "Police...", {}, &W::MenuFormat_Police_Click},
        {Level::Menu, "MenuFormat", "&Option", {}, nullptr},
        {Level::Item, "MenuFormat_Preferences", "Préférences", {}, &W::MenuFormat_Preferences_Click},
        {Level::Submenu, "lng", "&Langue", {}, nullptr},
        {Level::Item, "ar", "&Arabe", {}, &W::ar_Click},
        {Level::Item, "fr", "&Français (Défaut)", {}, &W::fr_Click},
        {Level::Item, "en", "&Anglais", {}, &W::en_Click},
        {Level::EndSubmenu, "", "", {}, nullptr},
        {Level::Separator, "MenuFormat_Intersection1", "-", {}, nullptr},
        {Level::Item, "MenuFormat_EnregistrerConfiguration", "Enregistrer la configuration", {}, &W::MenuFormat_EnregistrerConfiguration_Click},
        {Level::Menu, "MenuAide", "&?", {}, nullptr},
        {Level::Item, "MenuAide_APropos", "À propos de Qorvik Note Pad", {}, &W::MenuAide_APropos_Click},
    };
    return tree;
}

QFont menuFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    font.setWeight(QFont::Normal);
    return font;
}

} // namespace

void MainWindow::createMenuTree()
{
    QMenuBar *bar = menuBar();
    bar->setFont(menuFont());
    QMenu *menu = nullptr;
    QMenu *parentMenu = nullptr;
    QList<QKeySequence> keys;
    for (const Entry &entry : menuTree()) {
        const QString name = QLatin1String(entry.name);
        const QString caption = QString::fromUtf8(entry.caption);
        switch (entry.level) {
        case Level::Menu:
            menu = bar->addMenu(caption);
            menu->setObjectName(name);
            menu->setFont(menuFont());
            menu->menuAction()->setObjectName(name);
            break;
        case Level::Submenu:
            parentMenu = menu;
            menu = menu->addMenu(caption);
            menu->setObjectName(name);
            menu->setFont(menuFont());
            menu->menuAction()->setObjectName(name);
            break;
        case Level::EndSubmenu:
            menu = parentMenu;
            break;
        case Level::Separator:
            menu->addSeparator()->setObjectName(name);
            break;
        case Level::Item: {
            auto *action = new QAction(caption, this);
            action->setObjectName(name);
            action->setIcon(MenuPicture(name));
            action->setIconVisibleInMenu(!action->icon().isNull());
            if (!entry.key.isEmpty()) {
                action->setShortcut(entry.key);
                // Bound keys win over the editor's own use of them.
                action->setShortcutContext(Qt::WindowShortcut);
                keys << entry.key;
            }
            connect(action, &QAction::triggered, this, entry.click);
            menu->addAction(action);
            break;
        }
        }
    }
    item(QStringLiteral("fr"))->setCheckable(true);
    item(QStringLiteral("fr"))->setChecked(true);
    txt->reserveShortcuts(keys);

    // The items that follow the document and the selection; nothing to undo
    // and nothing selected yet.
    MenuEdition_Annuler = item(QStringLiteral("MenuEdition_Annuler"));
    MenuEdition_Couper = item(QStringLiteral("MenuEdition_Couper"));
    MenuEdition_Copier = item(QStringLiteral("MenuEdition_Copier"));
    MenuEdition_Isoler = item(QStringLiteral("MenuEdition_Isoler"));
    MenuEdition_Supprimer = item(QStringLiteral("MenuEdition_Supprimer"));
    for (QAction *action : {MenuEdition_Annuler, MenuEdition_Couper, MenuEdition_Copier,
                            MenuEdition_Isoler, MenuEdition_Supprimer})
        action->setEnabled(false);
}

QAction *MainWindow::item(const QString &name) const
{
    return findChild<QAction *>(name, Qt::FindDirectChildrenOnly);
}

void MainWindow::MenuFichier_Nouveau_Click() { m_commands->FileNew(); }
void MainWindow::MenuFichier_Ouvrir_Click() { m_commands->FileOpen(); }
void MainWindow::MenuFichier_Enregistrer_Click() { m_commands->FileSave(); }
void MainWindow::MenuFichier_EnregistrerSous_Click() { m_commands->FileSaveAs(); }
void MainWindow::MenuFichier_Imprimer_Click() { m_commands->FilePrint(); }
void MainWindow::MenuFichier_Quitter_Click() { m_commands->FileQuit(); }
void MainWindow::MenuEdition_Annuler_Click() { m_commands->EditUndo(); }
void MainWindow::MenuEdition_Couper_Click() { m_commands->EditCut(); }
void MainWindow::MenuEdition_Copier_Click() { m_commands->EditCopy(); }
void MainWindow::MenuEdition_Coller_Click() { m_commands->EditPaste(); }
void MainWindow::MenuEdition_Isoler_Click() { m_commands->EditIsolate(); }
void MainWindow::MenuEdition_Supprimer_Click() { m_commands->EditDelete(); }
void MainWindow::MenuEdition_SelectionnerTout_Click() { m_commands->EditSelectAll(); }
void MainWindow::MenuEdition_SelectionnerToutCopierEtReduire_Click() { m_commands->EditSelectAllCopyMinimize(); }
void MainWindow::MenuEdition_HeureDate_Click() { m_commands->EditInsertTimeDate(); }
void MainWindow::MenuEdition_Rechercher_Click() { m_commands->EditFind(); }
void MainWindow::MenuEdition_RechercherLeSuivant_Click() { m_commands->EditFindNext(); }
void MainWindow::MenuEdition_Remplacer_Click() { m_commands->EditReplace(); }
void MainWindow::MenuFormat_Police_Click() { m_commands->FormatFont(); }
void MainWindow::MenuFormat_Preferences_Click() { m_commands->FormatPreferences(); }
void MainWindow::MenuFormat_EnregistrerConfiguration_Click() { m_commands->FormatSaveConfiguration(); }
void MainWindow::MenuAide_APropos_Click() { m_commands->HelpAbout(); }

void MainWindow::ar_Click()
{
    m_env.messageBox->inform(QStringLiteral("Cet option sera disponible dans la prochaine mise à jour"),
                             QStringLiteral("Option non disponible dans cette version"));
}

void MainWindow::en_Click()
{
    ar_Click();
}

void MainWindow::fr_Click()
{
    // Triggering a checkable item would untick it; the tick stays.
    item(QStringLiteral("fr"))->setChecked(true);
    m_env.messageBox->inform(QStringLiteral("La langue française est déjà selectionner"),
                             QStringLiteral("Qorvik Corporation"));
}
