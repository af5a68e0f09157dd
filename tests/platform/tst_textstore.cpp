#include "platform/TextStore.h"

#include "support/TextStoreScript.h"

#include <QRandomGenerator>
#include <QTest>

class TestTextStore : public QObject
{
    Q_OBJECT

private slots:
    void agreesWithAPlainModel();
    void keepsEveryCodeUnit();
    void typingMergesCommandsDoNot();
};

void TestTextStore::agreesWithAPlainModel()
{
    QRandomGenerator random(20261207);
    for (int script = 0; script < 400; ++script) {
        std::vector<uint8_t> bytes(size_t(random.bounded(50, 600)));
        for (uint8_t &b : bytes)
            b = uint8_t(random.bounded(256));
        QString broken;
        TextStoreScript::run(bytes.data(), bytes.size(), [&broken](bool holds, const char *what) {
            if (!holds && broken.isEmpty())
                broken = QString::fromLatin1(what);
        });
        QVERIFY2(broken.isEmpty(), qPrintable(QStringLiteral("script %1: %2").arg(script).arg(broken)));
    }
}

void TestTextStore::keepsEveryCodeUnit()
{
    QString all(0x10000, Qt::Uninitialized);
    for (int u = 0; u < 0x10000; ++u)
        all[u] = QChar(char16_t(u));
    TextStore store;
    store.load(all);
    QCOMPARE(store.text(), all);
    QCOMPARE(store.lineCount(), 2); // only '\n' breaks a line: not U+2029, not '\r'
    store.replace(0x2029, 1, QStringLiteral("\n"));
    store.undo();
    QCOMPARE(store.text(), all);
    QCOMPARE(store.mid(0xFDCF, 3), QStringView(u"\uFDCF\uFDD0\uFDD1").toString());
}

void TestTextStore::typingMergesCommandsDoNot()
{
    TextStore store;
    store.load(QStringLiteral("x"));
    for (const char16_t c : u"abc")
        if (c)
            store.replace(store.length(), 0, QString(QChar(c)), TextStore::EditKind::Typing);
    store.replace(store.length() - 1, 1, QString(), TextStore::EditKind::Typing);
    store.replace(0, 0, QStringLiteral("1"));
    store.replace(0, 0, QStringLiteral("2"));
    QCOMPARE(store.text(), QStringLiteral("21xab"));
    QCOMPARE(store.undo(), 0);
    QCOMPARE(store.text(), QStringLiteral("1xab"));
    store.undo();
    QCOMPARE(store.text(), QStringLiteral("xab"));
    QVERIFY(store.isModified());
    QCOMPARE(store.undo(), 1);
    QCOMPARE(store.text(), QStringLiteral("x"));
    QVERIFY(!store.canUndo());
    QVERIFY(!store.isModified());
    QCOMPARE(store.redo(), 3);
    QCOMPARE(store.text(), QStringLiteral("xab"));
}

QTEST_GUILESS_MAIN(TestTextStore)
#include "tst_textstore.moc"
