#include "ui/search/Search.h"

#include "app/Conversion.h"
#include "app/Globals.h"
#include "app/Surroundings.h"
#include "controls/button/PropertyBag.h"
#include "controls/button/Qorvikcmd.h"
#include "platform/MessageBox.h"
#include "platform/RichTextBox.h"
#include "platform/WaitCursor.h"
#include "ui/main/MainWindow.h"
#include "ui/search/SearchEngine.h"
#include "ui/search/SearchState.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

using Globals::search;

namespace {

constexpr int ClientWidth = 5640;
// The form heights below are outer ones; the design's title bar and borders
// take this much of them.
constexpr int NonClientHeight = 2625 - 2145;

// What changes between the two modes; the check boxes and option buttons
// follow their frames at fixed offsets.
struct ModeLayout
{
    const char *caption;
    bool replaceControls;
    int cmdCancelTop;
    int lblSearchWidth;
    int txtSearchLeft;
    int txtSearchWidth;
    int fraOptionsTop;
    int fraSearchInTop;
    int formHeight;
};

constexpr ModeLayout SearchMode{"Rechercher", false, 600, 975, 1100, 2895, 720, 600, 2280};
constexpr ModeLayout ReplaceMode{"Remplacer", true, 1560, 1215, 1335, 2655, 1080, 960, 2625};


} // namespace

Search::Search(MainWindow &window)
    : Form(&window, QStringLiteral("Search"), QStringLiteral("Rechercher / remplacer")), m_window(window)
{
    setModal(false);
    setFont(Qorvikcmd::DesignFont(QStringLiteral("Verdana"), 8.25));
    setClientSize(ClientWidth, 2145);
    createControls();
}

void Search::createControls()
{
    auto label = [this](const char *name, const QString &caption) {
        auto *l = new QLabel(caption, this);
        l->setObjectName(QLatin1String(name));
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return l;
    };
    auto textBox = [this](const char *name) {
        auto *box = new QLineEdit(this);
        box->setObjectName(QLatin1String(name));
        return box;
    };
    auto frame = [this](const char *name, const QString &caption) {
        auto *f = new QGroupBox(caption, this);
        f->setObjectName(QLatin1String(name));
        return f;
    };
    // Created after the frames, so that they lie over them.
    auto option = [this](const char *name, const QString &caption) {
        auto *o = new QRadioButton(caption, this);
        o->setObjectName(QLatin1String(name));
        return o;
    };
    auto check = [this](const char *name, const QString &caption) {
        auto *c = new QCheckBox(caption, this);
        c->setObjectName(QLatin1String(name));
        return c;
    };

    lblSearch = label("lblSearch", QStringLiteral("Rechercher :"));
    place(lblSearch, 113, 240, 1215, 255);
    txtSearch = textBox("txtSearch");
    place(txtSearch, 1455, 200, 2535, 300);
    lblReplace = label("lblReplace", QStringLiteral("Rempacer par :"));
    place(lblReplace, 113, 600, 1215, 255);
    txtReplace = textBox("txtReplace");
    place(txtReplace, 1455, 600, 2535, 300);
    fraOptions = frame("fraOptions", QStringLiteral("Options"));
    place(fraOptions, 113, 1080, 2175, 855);
    fraSearchIn = frame("fraSearchIn", QStringLiteral("Etendue"));
    place(fraSearchIn, 2400, 960, 1575, 1095);
    optSelection = option("optSelection", QStringLiteral("Sélection"));
    place(optSelection, 2520, 1680, 1335, 255);
    optDown = option("optDown", QStringLiteral("Vers le bas"));
    place(optDown, 2520, 1440, 1335, 255);
    optEverywhere = option("optEverywhere", QStringLiteral("Partout"));
    place(optEverywhere, 2520, 1200, 1335, 255);
    optEverywhere->setChecked(true);
    chkWholeWord = check("chkWholeWord", QStringLiteral("Mot entier"));
    place(chkWholeWord, 240, 1320, 1695, 255);
    chkCase = check("chkCase", QStringLiteral("Respecter la casse"));
    place(chkCase, 240, 1575, 1935, 255);

    const QFont buttonFont = Qorvikcmd::DesignFont(QStringLiteral("Verdana"), 8.25);
    auto button = [&](const char *name, const QString &caption, int top) {
        return loadButton(QLatin1String(name), caption, buttonFont, QRect(4080, top, 1455, 375));
    };
    cmdNext = button("cmdNext", QStringLiteral("&Suivant"), 120);
    cmdReplace = button("cmdReplace", QStringLiteral("&Remplacer"), 600);
    cmdReplaceAll = button("cmdReplaceAll", QStringLiteral("Remplacer &tout"), 1080);
    cmdCancel = button("cmdCancel", QStringLiteral("&Annuler"), 1560);

    const QList<QWidget *> tabOrder{txtSearch,     txtReplace,   optSelection, optDown,
                                    optEverywhere, chkWholeWord, chkCase,      cmdNext,
                                    cmdReplace,    cmdReplaceAll, cmdCancel};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    connect(txtSearch, &QLineEdit::textChanged, this, &Search::txtSearch_Change);
    connect(cmdNext, &Qorvikcmd::Click, this, &Search::cmdNext_Click);
    connect(cmdReplace, &Qorvikcmd::Click, this, &Search::cmdReplace_Click);
    connect(cmdReplaceAll, &Qorvikcmd::Click, this, &Search::cmdReplaceAll_Click);
    connect(cmdCancel, &Qorvikcmd::Click, this, &Search::cmdCancel_Click);
}

void Search::showForTag()
{
    show();
    raise();
    activateWindow();
    // Already active, or activated later by the window system: either way
    // the mode must show now.
    Form_Activate();
}

void Search::Form_Activate()
{
    if (Tag == QLatin1String("Search"))
        applyMode(false);
    else if (Tag == QLatin1String("Replace"))
        applyMode(true);

    txtSearch->setFocus();
    txtSearch->selectAll();

    const RichTextBox &txt = *m_window.txt;
    if (txt.SelLength() > 0 && !SearchEngine::SelectionIs(txt, txtSearch->text(), false))
        optSelection->setChecked(true);
    else if (optSelection->isChecked())
        optEverywhere->setChecked(true);
}

void Search::applyMode(bool replaceMode)
{
    const ModeLayout &mode = replaceMode ? ReplaceMode : SearchMode;
    setWindowTitle(QString::fromUtf8(mode.caption));
    for (QWidget *w : {static_cast<QWidget *>(lblReplace), static_cast<QWidget *>(txtReplace),
                       static_cast<QWidget *>(cmdReplace), static_cast<QWidget *>(cmdReplaceAll)})
        w->setVisible(mode.replaceControls);
    cmdCancel->move(px(4080), px(mode.cmdCancelTop));
    place(lblSearch, 113, 240, mode.lblSearchWidth, 255);
    place(txtSearch, mode.txtSearchLeft, 200, mode.txtSearchWidth, 300);
    place(fraOptions, 113, mode.fraOptionsTop, 2175, 855);
    place(chkWholeWord, 240, mode.fraOptionsTop + 240, 1695, 255);
    place(chkCase, 240, mode.fraOptionsTop + 495, 1935, 255);
    place(fraSearchIn, 2400, mode.fraSearchInTop, 1575, 1095);
    place(optEverywhere, 2520, mode.fraSearchInTop + 240, 1335, 255);
    place(optDown, 2520, mode.fraSearchInTop + 480, 1335, 255);
    place(optSelection, 2520, mode.fraSearchInTop + 720, 1335, 255);
    setClientSize(ClientWidth, mode.formHeight - NonClientHeight);
}

void Search::txtSearch_Change()
{
    cmdNext->setEnabled(!txtSearch->text().isEmpty());
}

void Search::restartScope()
{
    if (optEverywhere->isChecked())
        search.SearchPos = 0;
    else if (optSelection->isChecked())
        search.SearchPos = search.SearchRangeStart;
}

void Search::cmdNext_Click()
{
    if (!SearchEngine::SelectionIs(*m_window.txt, txtSearch->text(), Value(chkCase) == 1))
        restartScope();
    WaitCursor wait;
    SearchEngine::FindNext(m_window);
}

void Search::cmdReplace_Click()
{
    RichTextBox &txt = *m_window.txt;
    const QString text = txtSearch->text();
    if (!SearchEngine::SelectionIs(txt, text, true))
        restartScope();
    WaitCursor wait;
    if (SearchEngine::SelectionIs(txt, text, false)) {
        search.SearchSelecting = true;
        SearchEngine::ReplaceSelection(txt, txtReplace->text(), true);
        search.SearchSelecting = false;
    }
    SearchEngine::FindNext(m_window);
}

void Search::cmdReplaceAll_Click()
{
    const QString text = txtSearch->text();
    restartScope();
    int count = 0;
    {
        WaitCursor wait;
        search.SearchSelecting = true;
        count = SearchEngine::ReplaceAll(m_window);
        search.SearchSelecting = false;
    }

    QString outcome;
    if (count == 0)
        outcome = SearchEngine::MissMessage(text);
    else if (count == 1)
        outcome = QStringLiteral(
                "La zone de recherche spécifiée a été parcourue. 1 seul remplacement effectué.");
    else
        outcome = QStringLiteral(
                          "La zone de recherche spécifiée a été parcourue. %1 remplacements effectués.")
                          .arg(count);
    m_window.env().messageBox->inform(outcome, Globals::ProductTitle);
}

void Search::cmdCancel_Click()
{
    SearchEngine::CloseSearchDialog(m_window);
}

void Search::reject()
{
    cmdCancel_Click();
}

int Search::Value(const QCheckBox *box)
{
    switch (box->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

void Search::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
    QDialog::changeEvent(event);
}

void Search::place(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(twips(left, top, width, height));
}
