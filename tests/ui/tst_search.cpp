#include "app/Conversion.h"
#include "app/Globals.h"
#include "controls/button/Qorvikcmd.h"
#include "platform/MessageBox.h"
#include "platform/RichTextBox.h"
#include "platform/WindowEffects.h"
#include "support/TestEnv.h"
#include "ui/commands/MenuCommands.h"
#include "ui/main/MainWindow.h"
#include "ui/search/Search.h"
#include "ui/search/SearchState.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using Globals::search;

namespace {

// A loaded main window, its text, and the search dialog created hidden.
struct Fixture
{
    explicit Fixture(const QString &text = QString())
    {
        window = std::make_unique<MainWindow>(t.env);
        window->Form_Load();
        editorOf(*window)->setText(text);
        editorOf(*window)->setSelStart(0);
    }

    Search &dlg() { return window->commands().SearchDialog(); }
    RichTextBox &txt() { return *editorOf(*window); }
    void select(int start, int length)
    {
        txt().setSelStart(start);
        txt().setSelLength(length);
    }
    QRadioButton *option(const QString &caption)
    {
        for (QRadioButton *o : {dlg().optEverywhere, dlg().optDown, dlg().optSelection})
            if (o->text() == caption || (caption.isEmpty() && o->isChecked()))
                return o;
        return nullptr;
    }
    void setScope(const QString &caption) { option(caption)->setChecked(true); }
    QString scope() { return option(QString())->text(); }
    // Where the step left the selection, or -1 for a reported miss.
    int step(const std::function<void()> &click)
    {
        const qsizetype before = t.messageBox.shown.size();
        click();
        return t.messageBox.shown.size() > before ? -1 : txt().SelStart();
    }
    QString lastMessage() const
    {
        return t.messageBox.shown.isEmpty() ? QString() : t.messageBox.shown.last().text;
    }

    TestEnv t;
    std::unique_ptr<MainWindow> window;
};

QString outcome(int count, const QString &searched)
{
    const QString done = QStringLiteral("La zone de recherche spécifiée a été parcourue. ");
    if (count == 0)
        return QStringLiteral("Impossible de trouver \"%1\"").arg(searched);
    if (count == 1)
        return done + QStringLiteral("1 seul remplacement effectué.");
    return done + QStringLiteral("%1 remplacements effectués.").arg(count);
}

} // namespace

class TestSearch : public QObject
{
    Q_OBJECT

private slots:
    void findSteps_data();
    void findSteps();
    void selectionScopeStaysInRange();
    void downFollowsCaret();
    void firstShowing();
    void scopeOnActivation_data();
    void scopeOnActivation();
    void layout_data();
    void layout();
    void replaceSteps_data();
    void replaceSteps();
    void replaceAll_data();
    void replaceAll();
    void replaceAllIsOneUndoStep();
    void findNextCommand_data();
    void findNextCommand();
    void keyboard();
    void matchingRules_data();
    void matchingRules();
    void replaceAllSkipsItsOwnText();
    void framesHoldTheirControls();
    void tabReachesTheSelectedScope();
    void enterSearches();
    void messagesKeepTheDialogActive();
};

void TestSearch::findSteps_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("searched");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<QList<int>>("steps");
    QTest::newRow("two letters in four") << "aaaa" << "aa" << false << false << QList<int>{0, 2, -1, 0};
    QTest::newRow("case ignored") << "Abc aBC" << "abc" << false << false << QList<int>{0, 4, -1};
    QTest::newRow("case respected") << "Abc abc" << "abc" << true << false << QList<int>{4, -1};
    QTest::newRow("whole word") << "chats chat achat chat" << "chat" << false << true << QList<int>{6, 17, -1};
    QTest::newRow("empty search text") << "abc" << "" << false << false << QList<int>{-1, -1};
    QTest::newRow("space finds a non-breaking one")
            << QStringLiteral("Oui\u00A0! Non\u00A0!") << " !" << false << false << QList<int>{3, 9, -1};
}

void TestSearch::findSteps()
{
    QFETCH(QString, text);
    QFETCH(QString, searched);
    QFETCH(bool, matchCase);
    QFETCH(bool, wholeWord);
    QFETCH(QList<int>, steps);
    Fixture f(text);
    f.dlg().txtSearch->setText(searched);
    f.dlg().chkCase->setChecked(matchCase);
    f.dlg().chkWholeWord->setChecked(wholeWord);

    f.select(1, 1);
    for (int expected : steps) {
        const int start = f.txt().SelStart(), length = f.txt().SelLength();
        // "&Suivant" must go on from a hit whose spaces are non-breaking.
        QCOMPARE(f.step([&] { f.dlg().cmdNext_Click(); }), expected);
        if (expected >= 0) {
            QCOMPARE(f.txt().SelLength(), searched.size());
        } else {
            QCOMPARE(f.txt().SelStart(), start);
            QCOMPARE(f.txt().SelLength(), length);
            QCOMPARE(search.SearchPos, 0);
        }
    }
    const FakeMessageBox::Shown &miss = f.t.messageBox.shown.last();
    QCOMPARE(miss.text, QStringLiteral("Impossible de trouver \"%1\"").arg(searched));
    QCOMPARE(miss.icon, MessageBox::Icon::Information);
    QCOMPARE(miss.title, QStringLiteral("Qorvik Note Pad"));
}

void TestSearch::selectionScopeStaysInRange()
{
    Fixture f(QStringLiteral("ab ab ab ab ab"));
    f.dlg().txtSearch->setText(QStringLiteral("ab"));
    f.select(3, 8);
    f.window->commands().EditFind();
    QCOMPARE(f.scope(), QStringLiteral("Sélection"));

    QList<int> seen;
    for (int i = 0; i < 9; ++i)
        seen << f.step([&] { f.dlg().cmdNext_Click(); });
    // After the miss the last hit is still selected: the next step goes on
    // from 0, before the range, but never past its end.
    QCOMPARE(seen, (QList<int>{3, 6, 9, -1, 0, 3, 6, 9, -1}));
}

void TestSearch::downFollowsCaret()
{
    Fixture f(QStringLiteral("ab ab ab ab"));
    f.setScope(QStringLiteral("Vers le bas"));
    f.dlg().txtSearch->setText(QStringLiteral("ab"));
    f.txt().setSelStart(4);
    QCOMPARE(f.step([&] { f.window->commands().EditFindNext(); }), 6);
    f.txt().setSelStart(1);
    QCOMPARE(f.step([&] { f.dlg().cmdNext_Click(); }), 3);
    QVERIFY(!f.dlg().isVisible());
}

void TestSearch::firstShowing()
{
    TestEnv t;
    Globals::settings.AlwaysOnTop = true;
    MainWindow window(t.env);
    window.Form_Load();
    window.commands().EditFind();
    Search &dlg = window.commands().SearchDialog();

    QVERIFY(dlg.isVisible());
    QVERIFY(WindowEffects::IsTopmost(window));
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Rechercher"));
    QCOMPARE(dlg.focusWidget(), dlg.txtSearch);
    QVERIFY(dlg.cmdNext->isEnabled());
    typeText(dlg.txtSearch, QStringLiteral("é"));
    QTest::keyClick(dlg.txtSearch, Qt::Key_Backspace);
    QVERIFY(!dlg.cmdNext->isEnabled());
    QVERIFY(dlg.cmdReplace->isEnabled());
    QVERIFY(dlg.cmdReplaceAll->isEnabled());
}

void TestSearch::scopeOnActivation_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<QString>("after");
    // The text is "Deux deux un", the search text "deux".
    QTest::newRow("a selection takes Partout to Sélection") << "Partout" << 7 << "Sélection";
    QTest::newRow("a selection takes Vers le bas to Sélection") << "Vers le bas" << 7 << "Sélection";
    QTest::newRow("no selection drops Sélection") << "Sélection" << 0 << "Partout";
    QTest::newRow("the last hit drops Sélection") << "Sélection" << 4 << "Partout";
    QTest::newRow("no selection keeps Vers le bas") << "Vers le bas" << 0 << "Vers le bas";
    QTest::newRow("the last hit keeps Partout") << "Partout" << 4 << "Partout";
}

void TestSearch::scopeOnActivation()
{
    QFETCH(QString, before);
    QFETCH(int, selLength);
    QFETCH(QString, after);
    Fixture f(QStringLiteral("Deux deux un"));
    f.dlg().txtSearch->setText(QStringLiteral("deux"));
    f.setScope(before);
    f.select(0, selLength);
    f.window->commands().EditReplace();
    QCOMPARE(f.scope(), after);
}

void TestSearch::layout_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<bool>("visible");
    struct Row { const char *control; QRect search; bool inSearch; QRect replace; };
    const Row rows[] = {
        {"lblSearch", {113, 240, 975, 255}, true, {113, 240, 1215, 255}},
        {"txtSearch", {1100, 200, 2895, 300}, true, {1335, 200, 2655, 300}},
        {"lblReplace", {113, 600, 1215, 255}, false, {113, 600, 1215, 255}},
        {"txtReplace", {1455, 600, 2535, 300}, false, {1455, 600, 2535, 300}},
        {"fraOptions", {113, 720, 2175, 855}, true, {113, 1080, 2175, 855}},
        {"fraSearchIn", {2400, 600, 1575, 1095}, true, {2400, 960, 1575, 1095}},
        {"optSelection", {2520, 1320, 1335, 255}, true, {2520, 1680, 1335, 255}},
        {"optDown", {2520, 1080, 1335, 255}, true, {2520, 1440, 1335, 255}},
        {"optEverywhere", {2520, 840, 1335, 255}, true, {2520, 1200, 1335, 255}},
        {"chkWholeWord", {240, 960, 1695, 255}, true, {240, 1320, 1695, 255}},
        {"chkCase", {240, 1215, 1935, 255}, true, {240, 1575, 1935, 255}},
        {"cmdNext", {4080, 120, 1455, 375}, true, {4080, 120, 1455, 375}},
        {"cmdReplace", {4080, 600, 1455, 375}, false, {4080, 600, 1455, 375}},
        {"cmdReplaceAll", {4080, 1080, 1455, 375}, false, {4080, 1080, 1455, 375}},
        {"cmdCancel", {4080, 600, 1455, 375}, true, {4080, 1560, 1455, 375}},
        {"Search", {0, 0, 5640, 1800}, true, {0, 0, 5640, 2145}},
    };
    for (const Row &row : rows) {
        QTest::addRow("search mode, %s", row.control) << "Search" << row.control << row.search << row.inSearch;
        QTest::addRow("replace mode, %s", row.control) << "Replace" << row.control << row.replace << true;
    }
}

void TestSearch::layout()
{
    QFETCH(QString, mode);
    QFETCH(QString, control);
    QFETCH(QRect, twips);
    QFETCH(bool, visible);
    Fixture f;
    // The other mode first: switching must lay the dialog out again at once.
    const bool replace = mode == QLatin1String("Replace");
    (f.window->commands().*(replace ? &MenuCommands::EditFind : &MenuCommands::EditReplace))();
    (f.window->commands().*(replace ? &MenuCommands::EditReplace : &MenuCommands::EditFind))();

    QWidget *widget = control == QLatin1String("Search") ? &f.dlg() : f.dlg().findChild<QWidget *>(control);
    QVERIFY(widget);
    const int dpi = f.dlg().logicalDpiX();
    auto px = [dpi](int t) { return Conversion::TwipsToPixels(t, dpi); };
    const QRect expected(px(twips.x()), px(twips.y()), px(twips.width()), px(twips.height()));
    if (widget == &f.dlg()) {
        QCOMPARE(widget->size(), expected.size());
        QCOMPARE(widget->windowTitle(), replace ? QStringLiteral("Remplacer") : QStringLiteral("Rechercher"));
    } else {
        QCOMPARE(widget->geometry(), expected);
    }
    QCOMPARE(widget->isVisible(), visible);
}

void TestSearch::replaceSteps_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<QString>("searched");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QList<int>>("steps");
    QTest::addColumn<QString>("result");
    // The first click only finds; each further one replaces the hit and goes
    // on right after the replacement.
    QTest::newRow("shorter replacement") << "aaXaa" << 0 << "aa" << "" << QList<int>{0, 1, -1} << "X";
    QTest::newRow("replacement holding the text")
            << "aa aa" << 0 << "aa" << "baab" << QList<int>{0, 5, -1} << "baab baab";
    QTest::newRow("empty search box replaces nothing") << "aa" << 0 << "" << "x" << QList<int>{-1, -1} << "aa";
    // Selected before the texts were typed, so it is also the range.
    QTest::newRow("case-different selection, then from the top")
            << "chat Chat" << 5 << "chat" << "chien" << QList<int>{0} << "chat chien";
}

void TestSearch::replaceSteps()
{
    QFETCH(QString, text);
    QFETCH(int, selStart);
    QFETCH(QString, searched);
    QFETCH(QString, replacement);
    QFETCH(QList<int>, steps);
    QFETCH(QString, result);
    Fixture f(text);
    if (selStart > 0)
        f.select(selStart, 4);
    f.dlg().txtSearch->setText(searched);
    f.dlg().txtReplace->setText(replacement);
    QList<int> seen;
    for (qsizetype i = 0; i < steps.size(); ++i)
        seen << f.step([&] { f.dlg().cmdReplace_Click(); });
    QCOMPARE(seen, steps);
    QCOMPARE(f.txt().Text(), result);
}

void TestSearch::replaceAll_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<QString>("scope");
    QTest::addColumn<QString>("searched");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("count");
    QTest::newRow("absent") << "un chat" << 0 << 0 << "Partout" << "chien" << "x" << "un chat" << 0;
    QTest::newRow("empty search box") << "un chat" << 0 << 0 << "Partout" << "" << "x" << "un chat" << 0;
    QTest::newRow("one") << "un Chat" << 0 << 0 << "Partout" << "chat" << "chien" << "un chien" << 1;
    QTest::newRow("twelve") << QString("ab ").repeated(12) << 0 << 0 << "Partout" << "ab" << "c"
                            << QString("c ").repeated(12) << 12;
    QTest::newRow("replacement holding the text, once each")
            << "ab ab ab" << 0 << 0 << "Partout" << "ab" << "abab" << "abab abab abab" << 3;
    QTest::newRow("the selected hit first, then the rest")
            << "ab xab ab" << 7 << 2 << "Partout" << "ab" << "-" << "- x- -" << 3;
    QTest::newRow("Vers le bas from the caret") << "ab ab ab" << 3 << 0 << "Vers le bas" << "ab" << "c"
                                                << "ab c c" << 2;
    QTest::newRow("Sélection, shorter replacement stays inside")
            << "aa aa aa aa" << 3 << 5 << "Sélection" << "aa" << "" << "aa   aa" << 2;
    QTest::newRow("Sélection, longer replacement reaches the end")
            << "aa aa aa aa" << 3 << 5 << "Sélection" << "aa" << "bbb" << "aa bbb bbb aa" << 2;
    QTest::newRow("non-breaking space, empty replacement")
            << QStringLiteral("Oui\u00A0! Non !") << 0 << 0 << "Partout" << " !" << "" << "Oui Non" << 2;
}

void TestSearch::replaceAll()
{
    QFETCH(QString, text);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(QString, scope);
    QFETCH(QString, searched);
    QFETCH(QString, replacement);
    QFETCH(QString, result);
    QFETCH(int, count);
    Fixture f(text);
    f.dlg().txtSearch->setText(searched);
    f.dlg().txtReplace->setText(replacement);
    f.setScope(scope);
    f.select(selStart, selLength);

    f.dlg().cmdReplaceAll_Click();

    QCOMPARE(f.txt().Text(), result);
    QCOMPARE(f.t.messageBox.shown.size(), 1);
    QCOMPARE(f.lastMessage(), outcome(count, searched));
    QCOMPARE(f.t.messageBox.shown.last().icon, MessageBox::Icon::Information);
    QCOMPARE(search.SearchPos, 0);
    QVERIFY(!search.SearchSelecting);
}

void TestSearch::replaceAllIsOneUndoStep()
{
    Fixture f;
    typeText(editorOf(*f.window), QStringLiteral("ab ab ab"));
    f.dlg().txtSearch->setText(QStringLiteral("ab"));
    f.dlg().txtReplace->setText(QStringLiteral("xyz"));
    f.dlg().cmdReplaceAll_Click();
    QCOMPARE(f.txt().Text(), QStringLiteral("xyz xyz xyz"));
    f.window->commands().EditUndo();
    QCOMPARE(f.txt().Text(), QStringLiteral("ab ab ab"));
}

void TestSearch::findNextCommand_data()
{
    QTest::addColumn<QString>("searched");
    QTest::addColumn<int>("hit");
    QTest::addColumn<bool>("shown");
    QTest::newRow("empty box opens the dialog") << "" << 0 << true;
    QTest::newRow("after Annuler, searches with the hidden dialog") << "DEUX" << 3 << false;
}

void TestSearch::findNextCommand()
{
    QFETCH(QString, searched);
    QFETCH(int, hit);
    QFETCH(bool, shown);
    Fixture f(QStringLiteral("un deux"));
    f.window->commands().EditReplace();
    f.dlg().txtSearch->setText(searched);
    f.dlg().cmdCancel_Click();
    QVERIFY(!f.dlg().isVisible());

    f.window->commands().EditFindNext();

    QCOMPARE(f.dlg().isVisible(), shown);
    QCOMPARE(f.txt().SelStart(), hit);
    if (shown)
        QCOMPARE(f.dlg().windowTitle(), QStringLiteral("Rechercher"));
    else
        QCOMPARE(f.txt().SelText(), QStringLiteral("deux"));
    QVERIFY(f.t.messageBox.shown.isEmpty());
}

void TestSearch::keyboard()
{
    Fixture f(QStringLiteral("ab ab"));
    f.window->show();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    QTest::keyClick(editorOf(*f.window), Qt::Key_H, Qt::ControlModifier);
    QTRY_VERIFY(f.dlg().isActiveWindow());
    QCOMPARE(QApplication::focusWidget(), f.dlg().txtSearch);
    QTest::keyClicks(f.dlg().txtSearch, QStringLiteral("ab"));
    QTest::keyClick(f.dlg().txtSearch, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), f.dlg().txtReplace);
    QTest::keyClicks(f.dlg().txtReplace, QStringLiteral("c"));
    QTest::keyClick(f.dlg().txtReplace, Qt::Key_T, Qt::AltModifier);
    QCOMPARE(f.txt().Text(), QStringLiteral("c c"));
    QCOMPARE(f.lastMessage(), outcome(2, QStringLiteral("ab")));
}

// Rules of the match that "Suivant" and "Remplacer" share.
void TestSearch::matchingRules_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("searched");
    QTest::addColumn<QList<int>>("steps");
    QTest::addColumn<QString>("replaced");
    QTest::newRow("non-breaking space in the search text")
            << QStringLiteral("x a\u00A0b y a b") << QStringLiteral("a\u00A0b") << QList<int>{2, 8, -1}
            << QStringLiteral("x - y -");
    QTest::newRow("sharp s and its capital") << QStringLiteral("STRA\u1E9EE") << QStringLiteral("\u00DF")
                                             << QList<int>{4, -1} << QStringLiteral("STRA-E");
    QTest::newRow("Kelvin sign") << QStringLiteral("5 \u212A, 5 k") << QStringLiteral("k")
                                 << QList<int>{2, 7, -1} << QStringLiteral("5 -, 5 -");
    QTest::newRow("line break") << QStringLiteral("ab\ncd b\nc") << QStringLiteral("b\nc")
                                << QList<int>{1, 6, -1} << QStringLiteral("a-d -");
}

void TestSearch::matchingRules()
{
    QFETCH(QString, text);
    QFETCH(QString, searched);
    QFETCH(QList<int>, steps);
    QFETCH(QString, replaced);
    Fixture f(text);
    f.dlg().txtSearch->setText(searched);
    f.dlg().txtReplace->setText(QStringLiteral("-"));
    QList<int> seen;
    for (qsizetype i = 0; i < steps.size(); ++i)
        seen << f.step([&] { f.dlg().cmdNext_Click(); });
    QCOMPARE(seen, steps);
    // "Remplacer" takes each hit the search selected.
    for (qsizetype i = 0; i < steps.size(); ++i)
        f.dlg().cmdReplace_Click();
    QCOMPARE(f.txt().Text(), replaced);
}

void TestSearch::replaceAllSkipsItsOwnText()
{
    Fixture f(QStringLiteral("ab ab"));
    f.dlg().txtSearch->setText(QStringLiteral("ab"));
    f.dlg().txtReplace->setText(QStringLiteral("abab"));
    QCOMPARE(f.step([&] { f.dlg().cmdNext_Click(); }), 0);
    f.dlg().cmdReplaceAll_Click();
    QCOMPARE(f.txt().Text(), QStringLiteral("abab abab"));
    QCOMPARE(f.lastMessage(), outcome(2, QStringLiteral("ab")));
}

void TestSearch::framesHoldTheirControls()
{
    Fixture f;
    for (auto show : {&MenuCommands::EditFind, &MenuCommands::EditReplace}) {
        (f.window->commands().*show)();
        const struct { QGroupBox *frame; QList<QWidget *> inside; } groups[] = {
            {f.dlg().fraOptions, {f.dlg().chkWholeWord, f.dlg().chkCase}},
            {f.dlg().fraSearchIn, {f.dlg().optEverywhere, f.dlg().optDown, f.dlg().optSelection}},
        };
        for (const auto &group : groups) {
            const QRect inner = group.frame->contentsRect().translated(group.frame->pos());
            for (QWidget *w : group.inside)
                QVERIFY2(inner.contains(w->geometry()), qPrintable(w->objectName()));
        }
    }
}

void TestSearch::tabReachesTheSelectedScope()
{
    Fixture f(QStringLiteral("ab"));
    f.window->show();
    f.window->commands().EditReplace();
    QTRY_VERIFY(f.dlg().isActiveWindow());
    f.dlg().txtReplace->setFocus();
    QTest::keyClick(f.dlg().txtReplace, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), f.dlg().optEverywhere);
}

void TestSearch::enterSearches()
{
    Fixture f(QStringLiteral("ab ab"));
    f.dlg().txtSearch->setText(QStringLiteral("ab"));
    QTest::keyClick(f.dlg().txtSearch, Qt::Key_Return);
    QCOMPARE(f.txt().SelStart(), 0);
    QTest::keyClick(f.dlg().txtReplace, Qt::Key_Enter);
    QCOMPARE(f.txt().SelStart(), 3);
    QCOMPARE(f.txt().SelLength(), 2);
    QVERIFY(f.t.messageBox.shown.isEmpty());
}

// Real boxes, owned as the program owns them, each closed as soon as it shows.
void TestSearch::messagesKeepTheDialogActive()
{
    Fixture f(QStringLiteral("ab ab ab"));
    QtMessageBox boxes(f.window.get());
    f.t.env.messageBox = &boxes;
    QTimer closer;
    int closed = 0;
    connect(&closer, &QTimer::timeout, [&] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            box->close();
            ++closed;
        }
    });
    closer.start(50);
    f.window->show();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    f.select(0, 5);
    f.window->commands().EditReplace();
    QTRY_VERIFY(f.dlg().isActiveWindow());
    QCOMPARE(f.scope(), QStringLiteral("Sélection"));
    QTest::keyClicks(f.dlg().txtSearch, QStringLiteral("ab"));
    f.dlg().txtReplace->setText(QStringLiteral("x"));
    f.dlg().txtSearch->setFocus();

    for (int i = 1; i <= 2; ++i) {
        f.dlg().cmdReplaceAll_Click();
        QCOMPARE(closed, i);
        QTRY_VERIFY(f.dlg().isActiveWindow());
        QCOMPARE(QApplication::focusWidget(), f.dlg().txtSearch);
        QCOMPARE(f.scope(), QStringLiteral("Sélection"));
        QCOMPARE(f.txt().Text(), QStringLiteral("x x ab"));
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!f.dlg().isVisible());
    QCOMPARE(f.t.exitCalls, 0);
}

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
