#pragma once

#include "ui/Form.h"
#include "ui/search/SearchEngine.h"

#include <QString>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class Qorvikcmd;
class RichTextBox;
struct Surroundings;

// The one search-and-replace dialog, modeless over the main window. `Tag`
// ("Search" or "Replace") names the mode it lays itself out for each time it
// becomes active. It is created once and only ever hidden, so its texts,
// options and scope outlive each showing; "Rechercher le suivant" uses them
// while it is hidden.
class Search : public Form
{
    Q_OBJECT

public:
    Search(QWidget &owner, RichTextBox &txt, Surroundings &env);

    // Shows it (or brings it to the front) and lays it out for Tag at once,
    // whenever the window system gets round to activating it.
    void showForTag();

    void Form_Activate();
    void txtSearch_Change();
    void cmdNext_Click();
    void cmdReplace_Click();
    void cmdReplaceAll_Click();
    void cmdCancel_Click();

    // What the controls ask for.
    SearchRequest request() const;
    // "Rechercher le suivant" with the dialog's text and options, shown or not.
    void FindNext();

    QString Tag;

    QLabel *lblSearch = nullptr;
    QLineEdit *txtSearch = nullptr;
    QLabel *lblReplace = nullptr;
    QLineEdit *txtReplace = nullptr;
    QGroupBox *fraOptions = nullptr;
    QGroupBox *fraSearchIn = nullptr;
    QRadioButton *optSelection = nullptr;
    QRadioButton *optDown = nullptr;
    QRadioButton *optEverywhere = nullptr;
    QCheckBox *chkWholeWord = nullptr;
    QCheckBox *chkCase = nullptr;
    Qorvikcmd *cmdNext = nullptr;
    Qorvikcmd *cmdReplace = nullptr;
    Qorvikcmd *cmdReplaceAll = nullptr;
    Qorvikcmd *cmdCancel = nullptr;

public slots:
    // Escape and the close box hide it as "&Annuler" does.
    void reject() override;

protected:
    void changeEvent(QEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void createControls();
    void applyMode(bool replaceMode);
    // Back to the start of the scope, for a step that does not go on from
    // the hit selected last.
    void restartScope();
    void place(QWidget *widget, int left, int top, int width, int height);
    // The dialog's messages are its own: closing one gives it the keyboard
    // back, as it was, without activating it anew.
    void report(const QString &text);
    SearchScope scope() const;

    QWidget &m_owner;
    RichTextBox &m_txt;
    Surroundings &m_env;
    SearchEngine m_engine;
    bool m_reporting = false;
    bool m_leftForMessage = false;
};
