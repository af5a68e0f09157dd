#include "ui/search/Search.h"

#include "app/Conversion.h"
#include "app/Globals.h"
#include "app/Surroundings.h"
#include "controls/button/PropertyBag.h"
#include "controls/button/Qorvikcmd.h"
#include "platform/MessageBox.h"
#include "platform/RichTextBox.h"
#include "platform/WaitCursor.h"
#include "ui/search/SearchEngine.h"
#include "ui/search/SearchState.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QScopedValueRollback>

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

QString missMessage(const QString &text)
{
    return QStringLiteral("Impossible de trouver \"") + text + QLatin1Char('"');
}

// A frame whose line runs through the middle of its caption, the controls
// placed over it lying below the caption, inside the line.
class Frame : public QGroupBox
{
public:
    Frame(const QString &caption, QWidget *parent) : QGroupBox(caption, parent) { setMargins(); }

protected:
    void changeEvent(QEvent *event) override
    {
        QGroupBox::changeEvent(event);
        setMargins();
    }
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const QFontMetrics metrics = fontMetrics();
        // Etched: a dark line with a light one beside it. The style's own
        // frame starts below the caption, whatever rectangle it is given.
        const QRect line = rect().adjusted(0, metrics.height() / 2, -2, -2);
        painter.setPen(palette().color(QPalette::Light));
        painter.drawRect(line.translated(1, 1));
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(line);
        const int indent = metrics.averageCharWidth();
        const QRect caption(indent, 0, metrics.horizontalAdvance(title()) + indent, metrics.height());
        painter.fillRect(caption, palette().window());
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(caption, Qt::AlignCenter, title());
    }

private:
    void setMargins()
    {
        setContentsMargins(2, fontMetrics().height(), 2, 2);
    }
};

} // namespace

Search::Search(QWidget &owner, RichTextBox &txt, Surroundings &env)
    : Form(&owner, QStringLiteral("Search"), QStringLiteral("Rechercher / remplacer")),
      m_owner(owner), m_txt(txt), m_env(env), m_engine(txt)
{
    setModal(false);
    setFont(Qorvikcmd::DesignFont(QStringLiteral("Verdana"), 8.25));
    setClientSize(ClientWidth, 2145);
    createControls();
    search.SearchText = txtSearch->text();
    search.Scope = scope();
    optSelection->setEnabled(txt.SelLength() > 0);
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
        auto *f = new Frame(caption, this);
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
    connect(txtSearch, &QLineEdit::textChanged, this, [](const QString &text) { search.SearchText = text; });
    for (QRadioButton *o : {optSelection, optDown, optEverywhere})
        connect(o, &QRadioButton::toggled, this, [this] { search.Scope = scope(); });
    // Enter in either box is "&Suivant"; a focused button keeps Enter inert.
    for (QLineEdit *box : {txtSearch, txtReplace}) {
        connect(box, &QLineEdit::returnPressed, this, [this] {
            if (cmdNext->isEnabled())
                cmdNext_Click();
        });
    }
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

    if (m_txt.SelLength() > 0 && !m_engine.selectionIs(txtSearch->text(), false))
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

SearchScope Search::scope() const
{
    if (optSelection->isChecked())
        return SearchScope::Selection;
    return optDown->isChecked() ? SearchScope::Down : SearchScope::Everywhere;
}

SearchRequest Search::request() const
{
    return {txtSearch->text(), CheckBoxValue(*chkCase) == 1, CheckBoxValue(*chkWholeWord) == 1, scope()};
}

void Search::FindNext()
{
    const SearchRequest asked = request();
    search.SearchFindOptions = (asked.wholeWord ? RichTextBox::WholeWord : 0)
                               + (asked.matchCase ? RichTextBox::MatchCase : 0);
    bool found = false;
    {
        WaitCursor wait;
        found = m_engine.find(asked, search).found();
    }
    if (!found)
        report(missMessage(txtSearch->text()));
}

void Search::cmdNext_Click()
{
    if (!m_engine.selectionIs(txtSearch->text(), CheckBoxValue(*chkCase) == 1))
        restartScope();
    FindNext();
}

void Search::cmdReplace_Click()
{
    if (!m_engine.selectionIs(txtSearch->text(), true))
        restartScope();
    {
        WaitCursor wait;
        m_engine.replaceSelection(request(), txtReplace->text(), search);
    }
    FindNext();
}

void Search::cmdReplaceAll_Click()
{
    restartScope();
    int count = 0;
    {
        WaitCursor wait;
        count = m_engine.replaceAll(request(), txtReplace->text(), search);
    }
    if (count == 0)
        report(missMessage(txtSearch->text()));
    else if (count == 1)
        report(QStringLiteral(
                "La zone de recherche spécifiée a été parcourue. 1 seul remplacement effectué."));
    else
        report(QStringLiteral(
                       "La zone de recherche spécifiée a été parcourue. %1 remplacements effectués.")
                       .arg(count));
}

void Search::report(const QString &text)
{
    // F3 from the main window reports there, with the dialog hidden.
    QWidget *owner = isVisible() ? static_cast<QWidget *>(this) : &m_owner;
    const MessageBox::OwnedBy owned(*m_env.messageBox, owner);
    const QScopedValueRollback<bool> reporting(m_reporting, true);
    m_env.messageBox->inform(text, Globals::ProductTitle);
    if (owner == this && !isActiveWindow())
        activateWindow();
}

void Search::cmdCancel_Click()
{
    hide();
    m_owner.activateWindow();
    m_txt.setFocus();
}

void Search::reject()
{
    cmdCancel_Click();
}

void Search::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange) {
        if (!isActiveWindow())
            m_leftForMessage = m_reporting;
        else if (m_leftForMessage)
            m_leftForMessage = false;
        else
            Form_Activate();
    }
    QDialog::changeEvent(event);
}

bool Search::focusNextPrevChild(bool next)
{
    if (!QDialog::focusNextPrevChild(next))
        return false;
    // Tab enters the scope group at its selected option, not at its first.
    const QWidget *reached = focusWidget();
    for (QRadioButton *option : {optSelection, optDown, optEverywhere}) {
        if (reached != option && option->isChecked() && option->isEnabled()
            && qobject_cast<const QRadioButton *>(reached))
            option->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    }
    return true;
}

void Search::place(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(twips(left, top, width, height));
}
