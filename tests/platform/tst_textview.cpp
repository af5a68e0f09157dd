#include "platform/TextView.h"

#include <QAccessible>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

class TestTextView : public QObject
{
    Q_OBJECT

private slots:
    void caretMoves_data();
    void caretMoves();
    void layoutsFollowNewLines();
    void longLinesEditInPieces();
    void dragMovesAsOneStep();
    void tabIsTypedAltLetterIsTheMenus();
    void screenReaderReadsTextAndCaret();
};

namespace {

// One word a row: "aaaa " fits, "aaaa b" does not.
void fitOneWordARow(TextView &view)
{
    QFont font(QStringLiteral("DejaVu Sans Mono"), 10);
    font.setStyleHint(QFont::TypeWriter);
    view.setFont(font);
    const QFontMetrics metrics(font);
    const int chrome = view.width() - view.viewport()->width();
    view.resize(chrome + 8 + metrics.horizontalAdvance(QStringLiteral("aaaa ")) + metrics.horizontalAdvance(u'a') / 2,
                200);
}

} // namespace

void TestTextView::caretMoves_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("position");
    const int none = Qt::NoModifier;
    const int shift = Qt::ShiftModifier;
    const int ctrl = Qt::ControlModifier;
    const QString wrapped = QStringLiteral("aaaa bbbb cccc");
    const QString pair = QStringLiteral("a\U0001F600b");
    const QString hebrew = QStringLiteral("\u05D0\u05D1\u05D2 \u05D3");
    QTest::newRow("right over a surrogate pair") << pair << 1 << int(Qt::Key_Right) << none << 3 << 3;
    QTest::newRow("left over a surrogate pair") << pair << 3 << int(Qt::Key_Left) << none << 1 << 1;
    QTest::newRow("shift extends") << pair << 0 << int(Qt::Key_Right) << shift << 0 << 1;
    QTest::newRow("word right") << wrapped << 0 << int(Qt::Key_Right) << ctrl << 5 << 5;
    QTest::newRow("end of a wrapped row") << wrapped << 1 << int(Qt::Key_End) << none << 4 << 4;
    QTest::newRow("home of a wrapped row") << wrapped << 8 << int(Qt::Key_Home) << none << 5 << 5;
    QTest::newRow("down keeps the column") << wrapped << 2 << int(Qt::Key_Down) << none << 7 << 7;
    QTest::newRow("up from the last row") << wrapped << 13 << int(Qt::Key_Up) << none << 8 << 8;
    QTest::newRow("up on the first row stays") << wrapped << 2 << int(Qt::Key_Up) << none << 2 << 2;
    QTest::newRow("shift+down selects") << wrapped << 0 << int(Qt::Key_Down) << shift << 0 << 5;
    QTest::newRow("end of text") << wrapped << 3 << int(Qt::Key_End) << ctrl << 14 << 14;
    QTest::newRow("select to start") << wrapped << 9 << int(Qt::Key_Home) << (ctrl | shift) << 9 << 0;
    QTest::newRow("right in right-to-left goes back") << hebrew << 2 << int(Qt::Key_Right) << none << 1 << 1;
    QTest::newRow("left in right-to-left goes on") << hebrew << 2 << int(Qt::Key_Left) << none << 3 << 3;
    QTest::newRow("across a line break") << QStringLiteral("ab\ncd") << 2 << int(Qt::Key_Right) << none << 3 << 3;
}

void TestTextView::caretMoves()
{
    QFETCH(QString, text);
    QFETCH(int, from);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    TextView view;
    view.show();
    fitOneWordARow(view);
    view.load(text, TextFormat::LineEnd::Lf);
    view.setSelection(from, from);
    QTest::keyClick(&view, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QTEST(int(view.anchor()), "anchor");
    QTEST(int(view.position()), "position");
}

void TestTextView::layoutsFollowNewLines()
{
    TextView view;
    view.resize(300, 200);
    view.show();
    view.load(QStringLiteral("aa\nbb\ncc\ndd"), TextFormat::LineEnd::Lf);
    view.grab(); // every line laid out and kept
    view.setSelection(2, 2);
    QTest::keyClick(&view, Qt::Key_Return);
    view.setSelection(0, 0);
    for (int line = 1; line < 5; ++line) {
        QTest::keyClick(&view, Qt::Key_Down);
        QCOMPARE(view.position(), view.store().lineStart(line));
    }
}

void TestTextView::longLinesEditInPieces()
{
    // Three segments and a bit; a surrogate pair straddles the first cut.
    QString line = QString(4095, u'x') + QStringLiteral("\U0001F600") + QString(9000, u'y');
    TextView view;
    view.resize(400, 300);
    view.show();
    view.load(line + QStringLiteral("\nfin"), TextFormat::LineEnd::Lf);
    QCOMPARE(view.verticalScrollBar()->maximum() + view.verticalScrollBar()->pageStep() >= 5, true);
    view.setSelection(4095, 4095);
    QTest::keyClick(&view, Qt::Key_Right);
    QCOMPARE(view.position(), 4097); // the pair is one character
    QTest::keyClicks(&view, QStringLiteral("ab"));
    QTest::keyClick(&view, Qt::Key_Backspace);
    line.insert(4097, u'a');
    QCOMPARE(view.store().text(), line + QStringLiteral("\nfin"));
    QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(view.position(), line.size() + 4);
    QVERIFY(!view.caretRect().isNull()); // scrolled to the end of the text
    view.undo();
    QCOMPARE(view.store().text().size(), line.size() + 3);
}

void TestTextView::dragMovesAsOneStep()
{
    struct Dropping : TextView
    {
        using TextView::dropSelection;
    } view;
    view.load(QStringLiteral("un deux trois"), TextFormat::LineEnd::Lf);
    view.setSelection(3, 8); // "deux "
    QSignalSpy changed(&view, &TextView::textChanged);
    QVERIFY(!view.dropSelection(5, true)); // onto itself
    QVERIFY(view.dropSelection(13, true));
    QCOMPARE(view.store().text(), QStringLiteral("un troisdeux "));
    QCOMPARE(view.selectedText(), QStringLiteral("deux "));
    QCOMPARE(changed.count(), 1);
    QVERIFY(view.dropSelection(0, false));
    QCOMPARE(view.store().text(), QStringLiteral("deux un troisdeux "));
    view.undo();
    view.undo();
    QCOMPARE(view.store().text(), QStringLiteral("un deux trois"));
    QVERIFY(!view.store().canUndo());
}

void TestTextView::tabIsTypedAltLetterIsTheMenus()
{
    QWidget window;
    auto *view = new TextView(&window);
    auto *next = new TextView(&window);
    next->move(0, 300);
    window.show();
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Tab);
    QCOMPARE(view->store().text(), QStringLiteral("\t"));
    QCOMPARE(window.focusWidget(), view);
    QKeyEvent altF(QEvent::ShortcutOverride, Qt::Key_F, Qt::AltModifier, QStringLiteral("f"));
    altF.ignore();
    QApplication::sendEvent(view, &altF);
    QVERIFY(!altF.isAccepted());
    QKeyEvent plainF(QEvent::ShortcutOverride, Qt::Key_F, Qt::NoModifier, QStringLiteral("f"));
    plainF.ignore();
    QApplication::sendEvent(view, &plainF);
    QVERIFY(plainF.isAccepted());
}

void TestTextView::screenReaderReadsTextAndCaret()
{
    TextView view;
    view.show();
    view.load(QStringLiteral("Bonjour\u00A0!\nSalut"), TextFormat::LineEnd::Lf);
    view.setSelection(2, 5);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&view);
    QVERIFY(accessible);
    QAccessibleTextInterface *text = accessible->textInterface();
    QVERIFY(text);
    QCOMPARE(text->characterCount(), 15);
    QCOMPARE(text->text(0, 15), view.store().text());
    QCOMPARE(text->cursorPosition(), 5);
    int start = 0;
    int end = 0;
    text->selection(0, &start, &end);
    QCOMPARE(start, 2);
    QCOMPARE(end, 5);
    text->setCursorPosition(9);
    QCOMPARE(view.position(), 9);
    QVERIFY(!view.hasSelection());
}

QTEST_MAIN(TestTextView)
#include "tst_textview.moc"
