#include "app/Conversion.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QTest>

class TestConversion : public QObject
{
    Q_OBJECT

private slots:
    void checkValues();
    void extractDirectory_data();
    void extractDirectory();
    void stripQuotes_data();
    void stripQuotes();
    void extractDisplayName_data();
    void extractDisplayName();
    void colors();
    void clipboardFormattedText();
    void clipboardPictureOnly();
};

void TestConversion::checkValues()
{
    QCOMPARE(BoolToCheckValue(true), quint8(1));
    QCOMPARE(BoolToCheckValue(false), quint8(0));
    QCOMPARE(CheckValueToBool(1), true);
    QCOMPARE(CheckValueToBool(0), false);
    QCOMPARE(CheckValueToBool(2), false);
}

void TestConversion::extractDirectory_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("directory");
    QTest::newRow("file in folder") << "/home/Docs/notes.txt" << "/home/Docs/";
    QTest::newRow("root file") << "/notes.txt" << "/";
    QTest::newRow("bare name") << "notes.txt" << "";
    QTest::newRow("folder with separator") << "/home/Docs/" << "/home/Docs/";
    QTest::newRow("empty") << "" << "";
#ifndef Q_OS_WIN
    QTest::newRow("backslash is a character") << "C:\\Docs\\notes.txt" << "";
#else
    QTest::newRow("backslash") << "C:\\Docs\\notes.txt" << "C:\\Docs\\";
#endif
}

void TestConversion::extractDirectory()
{
    QFETCH(QString, path);
    QTEST(ExtractDirectory(path), "directory");
}

void TestConversion::stripQuotes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stripped");
    QTest::newRow("quoted path and more") << "\"/home/anne/a b.txt\" -x" << "/home/anne/a b.txt";
    QTest::newRow("unquoted keeps everything") << "/home/anne/a b.txt -x" << "/home/anne/a b.txt -x";
    QTest::newRow("never closed") << "\"/home/anne/a b.txt" << "";
    QTest::newRow("two quotes") << "\"\"" << "";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("quote later") << "a\"b\"" << "a\"b\"";
}

void TestConversion::stripQuotes()
{
    QFETCH(QString, text);
    QTEST(StripQuotes(text), "stripped");
}

void TestConversion::extractDisplayName_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    const QString name64(64, QLatin1Char('a'));
    const QString emoji = QStringLiteral("\U0001F600");
    QTest::newRow("file") << "/home/Docs/notes.txt" << "notes.txt";
    QTest::newRow("untitled") << "Sans titre.txt" << "Sans titre.txt";
    QTest::newRow("folder") << "/home/Docs/" << "";
    QTest::newRow("64 whole") << "/d/" + name64 << name64;
    QTest::newRow("65 cut") << "/d/" + name64 + "b" << name64 + "...";
    QTest::newRow("pair kept whole") << QString(63, QLatin1Char('a')) + emoji + emoji
                                     << QString(63, QLatin1Char('a')) + emoji + "...";
    QTest::newRow("64 with pairs whole") << QString(62, QLatin1Char('a')) + emoji + emoji
                                         << QString(62, QLatin1Char('a')) + emoji + emoji;
}

void TestConversion::extractDisplayName()
{
    QFETCH(QString, path);
    QTEST(ExtractDisplayName(path), "name");
}

void TestConversion::colors()
{
    QCOMPARE(Conversion::ColorFromValue(0x00336699), QColor(0x99, 0x66, 0x33));
    QCOMPARE(Conversion::ValueFromColor(QColor(0x99, 0x66, 0x33)), quint32(0x00336699));
    QCOMPARE(Conversion::ColorFromValue(0x80000005), QGuiApplication::palette().color(QPalette::Base));
    QCOMPARE(Conversion::ColorFromValue(0x80000008), QGuiApplication::palette().color(QPalette::Text));
}

void TestConversion::clipboardFormattedText()
{
    auto *data = new QMimeData;
    data->setHtml(QStringLiteral("<b>Été</b> gras"));
    data->setText(QStringLiteral("Été gras"));
    QGuiApplication::clipboard()->setMimeData(data);

    MakeClipboardPlainText();

    const QMimeData *now = QGuiApplication::clipboard()->mimeData();
    QVERIFY(now);
    QCOMPARE(now->text(), QStringLiteral("Été gras"));
    QVERIFY(!now->hasHtml());
}

void TestConversion::clipboardPictureOnly()
{
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QGuiApplication::clipboard()->setImage(picture);

    MakeClipboardPlainText();

    const QMimeData *now = QGuiApplication::clipboard()->mimeData();
    QVERIFY(!now || (!now->hasImage() && !now->hasText() && now->formats().isEmpty()));
}

QTEST_MAIN(TestConversion)
#include "tst_conversion.moc"
