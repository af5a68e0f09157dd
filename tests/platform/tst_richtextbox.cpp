#include "platform/RichTextBox.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestRichTextBox : public QObject
{
    Q_OBJECT

private slots:
    void find_data();
    void find();
    void findSelectsTheHit();
    void textKeepsNonBreakingSpacesAndLineBreaks();
    void positionsCountUtf16Units();
    void eventsAreSynchronous();
    void selectionClamps();
    void setTextIsOneUndoStep();
    void pasteInsertsPlainText();
    void loadStartsAFreshHistory();
    void mixedLineEndsFollowEdits_data();
    void mixedLineEndsFollowEdits();
    void replaceRangesIsOneEdit();
};

namespace {
enum class Edit { None, Enter, Type, Paste, Join, JoinUndo, EnterUndoRedo };
}
Q_DECLARE_METATYPE(Edit)

void TestRichTextBox::find_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("options");
    QTest::addColumn<int>("found");
    const int word = RichTextBox::WholeWord;
    const int match = RichTextBox::MatchCase;
    QTest::newRow("first") << "aaaa" << "aa" << 0 << -1 << 0 << 0;
    QTest::newRow("from 1") << "aaaa" << "aa" << 1 << -1 << 0 << 1;
    QTest::newRow("from 3 misses") << "aaaa" << "aa" << 3 << -1 << 0 << -1;
    QTest::newRow("case ignored") << "Été ÉTÉ" << "été" << 1 << -1 << 0 << 4;
    QTest::newRow("case matched") << "Été ÉTÉ été" << "été" << 0 << -1 << match << 8;
    QTest::newRow("whole word") << "chat chaton chat" << "chat" << 1 << -1 << word << 12;
    QTest::newRow("part of a word") << "chaton" << "chat" << 0 << -1 << 0 << 0;
    QTest::newRow("end bound excludes") << "ab ab" << "ab" << 1 << 4 << 0 << -1;
    QTest::newRow("end bound includes") << "ab ab" << "ab" << 1 << 5 << 0 << 3;
    QTest::newRow("empty never matches") << "abc" << "" << 0 << -1 << 0 << -1;
    QTest::newRow("start past the end") << "abc" << "c" << 4 << -1 << 0 << -1;
    QTest::newRow("across lines") << "un\ndeux" << "deux" << 0 << -1 << 0 << 3;
}

void TestRichTextBox::find()
{
    QFETCH(QString, text);
    QFETCH(QString, what);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(int, options);
    RichTextBox box;
    box.setText(text);
    box.setSelStart(0);
    QTEST(box.Find(what, start, end, options), "found");
}

void TestRichTextBox::findSelectsTheHit()
{
    RichTextBox box;
    box.setText(QStringLiteral("un deux trois"));
    box.setSelStart(1);
    box.setSelLength(1);
    QSignalSpy selChange(&box, &RichTextBox::SelChange);
    QCOMPARE(box.Find(QStringLiteral("DEUX"), 0), 3);
    QCOMPARE(selChange.count(), 1);
    QCOMPARE(box.SelStart(), 3);
    QCOMPARE(box.SelLength(), 4);
    QCOMPARE(box.Find(QStringLiteral("quatre"), 0), -1);
    QCOMPARE(box.SelStart(), 3); // a miss keeps the selection
}

void TestRichTextBox::textKeepsNonBreakingSpacesAndLineBreaks()
{
    RichTextBox box;
    const QString text = QStringLiteral("Bonjour\u00A0!\nSalut\u202F?\n");
    box.setText(text);
    QCOMPARE(box.Text(), text);
    QCOMPARE(box.TextLength(), text.size());
    box.setSelStart(0);
    box.setSelLength(11);
    QCOMPARE(box.SelText(), QStringLiteral("Bonjour\u00A0!\nS"));
}

void TestRichTextBox::positionsCountUtf16Units()
{
    RichTextBox box;
    box.setText(QStringLiteral("a\U0001F600b"));
    QCOMPARE(box.TextLength(), 4);
    QCOMPARE(box.Find(QStringLiteral("b"), 0), 3);
}

void TestRichTextBox::eventsAreSynchronous()
{
    RichTextBox box;
    QSignalSpy change(&box, &RichTextBox::Change);
    QSignalSpy selChange(&box, &RichTextBox::SelChange);
    box.setText(QStringLiteral("abc"));
    QCOMPARE(change.count(), 1);
    const int before = selChange.count();
    box.setSelStart(1);
    QCOMPARE(selChange.count(), before + 1);
    box.setSelLength(1);
    QCOMPARE(selChange.count(), before + 2);
    box.setSelText(QStringLiteral("X"));
    QCOMPARE(change.count(), 2);
    QCOMPARE(box.Text(), QStringLiteral("aXc"));
}

void TestRichTextBox::selectionClamps()
{
    RichTextBox box;
    box.setText(QStringLiteral("abcdef"));
    box.setSelStart(99);
    QCOMPARE(box.SelStart(), 6);
    box.setSelStart(2);
    box.setSelLength(99);
    QCOMPARE(box.SelLength(), 4);
    box.setSelLength(-3);
    QCOMPARE(box.SelLength(), 0);
}

void TestRichTextBox::setTextIsOneUndoStep()
{
    RichTextBox box;
    box.setText(QStringLiteral("abcdefghij"));
    box.setText(QStringLiteral("cdefg"));
    box.undo();
    QCOMPARE(box.Text(), QStringLiteral("abcdefghij"));
}

void TestRichTextBox::pasteInsertsPlainText()
{
    RichTextBox box;
    auto *data = new QMimeData;
    data->setHtml(QStringLiteral("<i>penché</i>"));
    data->setText(QStringLiteral("penché"));
    QGuiApplication::clipboard()->setMimeData(data);
    box.paste();
    QCOMPARE(box.Text(), QStringLiteral("penché"));
    QCOMPARE(box.font().italic(), false);

    QImage picture(2, 2, QImage::Format_RGB32);
    QGuiApplication::clipboard()->setImage(picture);
    box.paste();
    QCOMPARE(box.Text(), QStringLiteral("penché"));
}

void TestRichTextBox::loadStartsAFreshHistory()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("fichier\n") + QByteArray(100 * 1024, 'x'));
    file.close();

    RichTextBox box;
    box.setText(QStringLiteral("avant"));
    box.setSelStart(3);
    QVERIFY(box.LoadFile(path));
    QCOMPARE(box.SelStart(), 0);
    QVERIFY(!box.store().canUndo());
    box.undo();
    QVERIFY(box.Text().startsWith(QStringLiteral("fichier\nxxx")));
}

void TestRichTextBox::mixedLineEndsFollowEdits_data()
{
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<int>("position");
    QTest::addColumn<QByteArray>("saved");

    // Lines "un", "deux", "trois" and "fin" start at 0, 3, 8 and 14.
    QTest::newRow("unchanged") << Edit::None << 0 << QByteArray("un\r\ndeux\ntrois\rfin");
    QTest::newRow("Enter in the CR LF line") << Edit::Enter << 1 << QByteArray("u\r\nn\r\ndeux\ntrois\rfin");
    QTest::newRow("Enter in the LF line") << Edit::Enter << 5 << QByteArray("un\r\nde\nux\ntrois\rfin");
    QTest::newRow("Enter after the last line") << Edit::Enter << 17 << QByteArray("un\r\ndeux\ntrois\rfin\r\n");
    QTest::newRow("typing in the LF line") << Edit::Type << 5 << QByteArray("un\r\ndexux\ntrois\rfin");
    QTest::newRow("two lines pasted in the CR line") << Edit::Paste << 10 << QByteArray("un\r\ndeux\ntrA\rBois\rfin");
    QTest::newRow("lines joined: the break that stays") << Edit::Join << 3 << QByteArray("undeux\ntrois\rfin");
    QTest::newRow("lines joined, then undone") << Edit::JoinUndo << 8 << QByteArray("un\r\ndeux\ntrois\rfin");
    QTest::newRow("Enter, undone, redone") << Edit::EnterUndoRedo << 9 << QByteArray("un\r\ndeux\nt\rrois\rfin");
}

// A file whose lines end in different ways: untouched lines keep their own
// line end, a line split in two gives both parts its own, and lines joined
// keep the end of the line break that remains.
void TestRichTextBox::mixedLineEndsFollowEdits()
{
    QFETCH(Edit, edit);
    QFETCH(int, position);
    QFETCH(QByteArray, saved);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mixte.txt"));
    QVERIFY(writeBytes(path, "un\r\ndeux\ntrois\rfin"));

    RichTextBox box;
    QVERIFY(box.LoadFile(path));
    box.setSelStart(position);
    switch (edit) {
    case Edit::None:
        break;
    case Edit::Enter:
        QTest::keyClick(&box, Qt::Key_Return);
        break;
    case Edit::Type:
        QTest::keyClick(&box, Qt::Key_X);
        break;
    case Edit::Paste:
        QGuiApplication::clipboard()->setText(QStringLiteral("A\nB"));
        box.paste();
        break;
    case Edit::Join:
    case Edit::JoinUndo:
        QTest::keyClick(&box, Qt::Key_Backspace);
        if (edit == Edit::JoinUndo)
            box.undo();
        break;
    case Edit::EnterUndoRedo:
        QTest::keyClick(&box, Qt::Key_Return);
        box.undo();
        box.redo();
        break;
    }
    QVERIFY(box.SaveFile(path));
    QCOMPARE(readBytes(path), saved);
}

QTEST_MAIN(TestRichTextBox)
// Line breaks inside and between the ranges, and a selection beyond them.
void TestRichTextBox::replaceRangesIsOneEdit()
{
    RichTextBox box;
    const QString text = QStringLiteral("a\nbc\u00A0d\ne a");
    box.setText(text);
    box.setSelStart(10);
    QSignalSpy change(&box, &RichTextBox::Change);
    QSignalSpy selChange(&box, &RichTextBox::SelChange);
    box.ReplaceRanges({{1, 1}, {3, 2}, {6, 2}}, QStringLiteral("-\n"));
    QCOMPARE(box.Text(), QStringLiteral("a-\nb-\nd-\n a"));
    QCOMPARE(change.size(), 1);
    QCOMPARE(selChange.size(), 1);
    // The caret ends after the last replacement.
    QCOMPARE(box.SelStart(), 9);
    box.undo();
    QCOMPARE(box.Text(), text);
}

#include "tst_richtextbox.moc"
