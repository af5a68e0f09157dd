#pragma once

#include <QMainWindow>

#include <memory>

class Document;
class MenuCommands;
class QAction;
class QMimeData;
class QTimer;
class RichTextBox;
struct Surroundings;
struct WindowPlacement;

// The editor's one window: the editing control `txt` filling the client
// area, the menu bar, the drop timer, and the handlers of the window's and
// the editing control's events. Its parts stay inside; the commands reach
// the text through the MenuCommands the window gives it to.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(Surroundings &env, QWidget *parent = nullptr);
    ~MainWindow() override;

    Surroundings &env() const { return m_env; }
    Document &document() const { return *m_document; }
    MenuCommands &commands() const { return *m_commands; }

    // Placement, settings, then the file named on the command line. Called
    // once by the start routine, before the window shows.
    void Form_Load();
    void Form_Activate();
    // Sets cancel to keep the window open.
    void Form_Unload(bool &cancel);

    void txt_KeyDown(int keyCode, int shift);
    void txt_KeyPress(int keyAscii);
    void txt_Change();
    void txt_SelChange();
    void txt_OLEDragDrop(const QMimeData *data, Qt::DropAction &effect);
    void tmrDragNDrop_Timer();
    // The file the drop timer opens at its tick.
    QString droppedPath() const { return DroppedPath; }

    // Gives the whole text the editor font, size, style and colours, keeping
    // whether the document has unsaved changes.
    void ApplyEditorSettings();
    // Everything the settings say of the window: the editor settings, the
    // background, translucency (with its warning where the window system
    // cannot) and stay-on-top.
    void ApplySettings();

    // The window's live state and rectangle, in twips.
    WindowPlacement livePlacement() const;

    void MenuFichier_Nouveau_Click();
    void MenuFichier_Ouvrir_Click();
    void MenuFichier_Enregistrer_Click();
    void MenuFichier_EnregistrerSous_Click();
    void MenuFichier_Imprimer_Click();
    void MenuFichier_Quitter_Click();
    void MenuEdition_Annuler_Click();
    void MenuEdition_Couper_Click();
    void MenuEdition_Copier_Click();
    void MenuEdition_Coller_Click();
    void MenuEdition_Isoler_Click();
    void MenuEdition_Supprimer_Click();
    void MenuEdition_SelectionnerTout_Click();
    void MenuEdition_SelectionnerToutCopierEtReduire_Click();
    void MenuEdition_HeureDate_Click();
    void MenuEdition_Rechercher_Click();
    void MenuEdition_RechercherLeSuivant_Click();
    void MenuEdition_Remplacer_Click();
    void MenuFormat_Police_Click();
    void MenuFormat_Preferences_Click();
    void ar_Click();
    void fr_Click();
    void en_Click();
    void MenuFormat_EnregistrerConfiguration_Click();
    void MenuAide_APropos_Click();

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createMenuTree();
    QAction *item(const QString &name) const;

    Surroundings &m_env;
    RichTextBox *txt = nullptr;
    QTimer *tmrDragNDrop = nullptr;
    QString DroppedPath;
    QAction *MenuEdition_Annuler = nullptr;
    QAction *MenuEdition_Couper = nullptr;
    QAction *MenuEdition_Copier = nullptr;
    QAction *MenuEdition_Isoler = nullptr;
    QAction *MenuEdition_Supprimer = nullptr;
    Document *m_document = nullptr;
    std::unique_ptr<MenuCommands> m_commands;
};

// Start-up: defaults, then the settings file over them, then the main
// window, shown.
std::unique_ptr<MainWindow> Main(Surroundings &env);
