#pragma once

#include <QMainWindow>
#include <QTimer>

class QAction;
class QMimeData;
class RichTextBox;
struct Surroundings;
struct WindowPlacement;

// The editor's one window: the editing control `txt` filling the client
// area, the drop timer, and the handlers of the window's and the editing
// control's events.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(Surroundings &env, QWidget *parent = nullptr);
    ~MainWindow() override;

    Surroundings &env() const { return m_env; }

    // Placement, editor settings, window effects, then the file named on the
    // command line. Called once by the start routine, before the window shows.
    void Form_Load();
    void Form_Activate();
    // Sets cancel to keep the window open.
    void Form_Unload(bool &cancel);

    void txt_KeyDown(int keyCode, int shift);
    void txt_KeyPress(int keyAscii);
    void txt_Change();
    void txt_SelChange();
    void txt_OLEDragDrop(const QMimeData *data);
    void tmrDragNDrop_Timer();

    // Gives the whole text the editor font, size, style and colours, keeping
    // whether the document has unsaved changes.
    void ApplyEditorSettings();

    // The window's live state and rectangle, in twips.
    WindowPlacement livePlacement() const;

    RichTextBox *txt = nullptr;
    QTimer tmrDragNDrop;
    QString DroppedPath;

    QAction *MenuEdition_Annuler = nullptr;
    QAction *MenuEdition_Couper = nullptr;
    QAction *MenuEdition_Copier = nullptr;
    QAction *MenuEdition_Isoler = nullptr;
    QAction *MenuEdition_Supprimer = nullptr;

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createEditActions();

    Surroundings &m_env;
};
