#include "platform/RichTextBox.h"
#include "ui/search/SearchEngine.h"

#include <QTest>

namespace {

// Columns of both tables: the text, the request and the captured range.
void requestColumns()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("searched");
    QTest::addColumn<int>("flags"); // 1 match case, 2 whole word, 4 "Sélection" from 3 to 11
}

SearchRequest requestFor(const QString &searched, int flags)
{
    return {searched, bool(flags & 1), bool(flags & 2),
            flags & 4 ? SearchScope::Selection : SearchScope::Everywhere};
}

SearchState stateFor(int flags)
{
    SearchState state;
    if (flags & 4) {
        state.SearchRangeStart = state.SearchPos = 3;
        state.SearchRangeLength = 8;
    }
    return state;
}

} // namespace

// The engine on a bare control, without a window or a dialog.
class TestSearchEngine : public QObject
{
    Q_OBJECT

private slots:
    void find_data();
    void find();
    void replaceAll_data();
    void replaceAll();
};

void TestSearchEngine::find_data()
{
    requestColumns();
    QTest::addColumn<QList<int>>("hits");
    QTest::newRow("empty text") << "" << "a" << 0 << QList<int>{-1};
    QTest::newRow("empty search text") << "abc" << "" << 0 << QList<int>{-1, -1};
    QTest::newRow("overlapping occurrences") << "aaaaa" << "aa" << 0 << QList<int>{0, 2, -1, 0};
    QTest::newRow("sharp s, case ignored") << "STRA\u1E9EE stra\u00DFe" << "\u00DF" << 0 << QList<int>{4, 11, -1};
    QTest::newRow("sharp s, case kept") << "STRA\u1E9EE stra\u00DFe" << "\u00DF" << 1 << QList<int>{11, -1};
    QTest::newRow("Kelvin sign") << "\u212A k K" << "k" << 0 << QList<int>{0, 2, 4, -1};
    QTest::newRow("accents keep apart") << "ete \u00E9t\u00E9 \u00C9T\u00C9" << "\u00E9t\u00E9" << 0
                                        << QList<int>{4, 8, -1};
    QTest::newRow("whole word, accents are letters")
            << "\u00E9t\u00E9s \u00E9t\u00E9 x\u00E9t\u00E9" << "\u00E9t\u00E9" << 2 << QList<int>{5, -1};
    QTest::newRow("non-breaking space both ways")
            << "a\u00A0b a b" << "a b" << 0 << QList<int>{0, 4, -1};
    QTest::newRow("non-breaking space searched") << "a\u00A0b a b" << "a\u00A0b" << 1 << QList<int>{0, 4, -1};
    QTest::newRow("line break, CR LF searched") << "ab\ncd" << "b\r\nc" << 0 << QList<int>{1, -1};
    QTest::newRow("surrogate pairs fold") << "\U00010400 \U00010428" << "\U00010428" << 0
                                          << QList<int>{0, 3, -1};
    // A step reads the text piece by piece from where it starts.
    QTest::newRow("whole word across pieces") << QString(65535, 'x') + "ab ab" << "ab" << 2
                                              << QList<int>{65538, -1};
    QTest::newRow("Sélection ends the step") << "ab ab ab ab ab" << "ab" << 4 << QList<int>{3, 6, 9, -1};
}

void TestSearchEngine::find()
{
    QFETCH(QString, text);
    QFETCH(QString, searched);
    QFETCH(int, flags);
    QFETCH(QList<int>, hits);
    RichTextBox txt;
    txt.setText(text);
    txt.setSelStart(0);
    SearchEngine engine(txt);
    SearchState state = stateFor(flags);
    for (int expected : hits) {
        const SearchHit hit = engine.find(requestFor(searched, flags), state);
        QCOMPARE(hit.start, expected);
        if (hit.found()) {
            QCOMPARE(txt.SelStart(), expected);
            // The selected hit is a hit by the same comparison.
            QVERIFY(engine.selectionIs(searched, flags & 1));
        }
    }
}

void TestSearchEngine::replaceAll_data()
{
    requestColumns();
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("count");
    QTest::newRow("empty text") << "" << "a" << 0 << "b" << "" << 0;
    QTest::newRow("replacement holding the text") << "ab ab" << "ab" << 0 << "abab" << "abab abab" << 2;
    QTest::newRow("sharp s") << "STRA\u1E9EE" << "\u00DF" << 0 << "ss" << "STRAssE" << 1;
    QTest::newRow("line breaks") << "a\nb\na" << "\n" << 0 << " " << "a b a" << 2;
    QTest::newRow("Sélection only, range as captured") << "ab ab ab ab ab" << "ab" << 4 << "-" << "ab - - - ab" << 3;
    QTest::newRow("whole word") << "chat chats chat" << "chat" << 2 << "x" << "x chats x" << 2;
}

void TestSearchEngine::replaceAll()
{
    QFETCH(QString, text);
    QFETCH(QString, searched);
    QFETCH(int, flags);
    QFETCH(QString, replacement);
    QFETCH(QString, result);
    QFETCH(int, count);
    RichTextBox txt;
    txt.setText(text);
    txt.setSelStart(0);
    SearchEngine engine(txt);
    SearchState state = stateFor(flags);
    QCOMPARE(engine.replaceAll(requestFor(searched, flags), replacement, state), count);
    QCOMPARE(txt.Text(), result);
    QCOMPARE(state.SearchPos, 0);
    QVERIFY(!state.SearchSelecting);
    txt.undo();
    QCOMPARE(txt.Text(), text);
}

QTEST_MAIN(TestSearchEngine)
#include "tst_searchengine.moc"
