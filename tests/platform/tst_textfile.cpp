#include "platform/TextFile.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using Encoding = TextFormat::Encoding;
using LineEnd = TextFormat::LineEnd;

Q_DECLARE_METATYPE(TextFormat::Encoding)
Q_DECLARE_METATYPE(TextFormat::LineEnd)
Q_DECLARE_METATYPE(TextFile::LoadError)

namespace {

const LineEnd Native = TextFile::NewDocumentFormat().lineEnd;

QByteArray bytesOf(const char *data, qsizetype size)
{
    return QByteArray(data, size);
}

QString readLink(const QString &link)
{
    char target[4096];
    const ssize_t size = ::readlink(QFile::encodeName(link).constData(), target, sizeof target);
    return size < 0 ? QString() : QFile::decodeName(QByteArray(target, size));
}

} // namespace

class TestTextFile : public QObject
{
    Q_OBJECT

private slots:
    void readAndWriteBack_data();
    void readAndWriteBack();
    void windows1252GainsCharacter_data();
    void windows1252GainsCharacter();
    void failedSaveKeepsOriginal();
    void saveThroughSymbolicLink_data();
    void saveThroughSymbolicLink();
    void saveKeepsPermissions();
    void loadRefuses_data();
    void loadRefuses();

private:
    QTemporaryDir m_dir;
};

void TestTextFile::readAndWriteBack_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Encoding>("encoding");
    QTest::addColumn<bool>("mark");
    QTest::addColumn<LineEnd>("lineEnd");

    const auto row = [](const char *name, const QByteArray &bytes, const QString &text,
                        Encoding encoding, bool mark, LineEnd lineEnd) {
        QTest::newRow(name) << bytes << text << encoding << mark << lineEnd;
    };
    const Encoding Utf8 = Encoding::Utf8, Cp1252 = Encoding::Windows1252;
    row("UTF-8, CR LF", "\xC3\x89t\xC3\xA9\r\n\xC5\x93uvre\r\n", QStringLiteral("Été\nœuvre\n"),
        Utf8, false, LineEnd::CrLf);
    row("UTF-8, CR", "un\rdeux\r", QStringLiteral("un\ndeux\n"), Utf8, false, LineEnd::Cr);
    row("no final line end", "un\r\ndeux", QStringLiteral("un\ndeux"), Utf8, false, LineEnd::CrLf);
    row("empty", "", QString(), Utf8, false, Native);
    row("UTF-8 mark is not text", "\xEF\xBB\xBF" "a\nb", QStringLiteral("a\nb"), Utf8, true,
        LineEnd::Lf);
    row("UTF-8 mark twice", "\xEF\xBB\xBF\xEF\xBB\xBF" "a", QStringLiteral("\uFEFFa"), Utf8, true,
        Native);
    row("largest code point", "\xF4\x8F\xBF\xBF", QStringLiteral("\U0010FFFF"), Utf8, false, Native);
    row("NUL bytes", bytesOf("a\0b\n", 4), QString::fromUtf16(u"a\0b\n", 4), Utf8, false, LineEnd::Lf);
    row("10 MB single line", QByteArray(10 << 20, 'x'), QString(10 << 20, u'x'), Utf8, false, Native);
    row("UTF-16 LE, CR LF", bytesOf("\xFF\xFE" "a\0\r\0\n\0\x3D\xD8\x00\xDE", 12),
        QStringLiteral("a\n\U0001F600"), Encoding::Utf16LE, true, LineEnd::CrLf);
    row("UTF-16 BE, CR", bytesOf("\xFE\xFF\0a\0\r\xD8\x3D\xDE\x00", 10),
        QStringLiteral("a\n\U0001F600"), Encoding::Utf16BE, true, LineEnd::Cr);
    row("UTF-16 lone surrogates", bytesOf("\xFF\xFE\x00\xDC" "a\0\x3D\xD8", 8),
        QStringLiteral("\xDC00" "a\xD83D"), Encoding::Utf16LE, true, Native);
    row("UTF-16 mark on odd length", bytesOf("\xFE\xFF\0a\0", 5), QString::fromUtf16(u"þÿ\0a\0", 5),
        Cp1252, false, Native);
    row("Windows-1252, French", "\x80 \x8C\x9C \x92 \x85 \xAB\xA0" "caf\xE9\xA0\xBB",
        QStringLiteral("€ Œœ ’ … «\u00A0café\u00A0»"), Cp1252, false, Native);
    row("Windows-1252, undefined bytes", "\x81\x8D\x8F\x90\x9D",
        QStringLiteral("\u0081\u008D\u008F\u0090\u009D"), Cp1252, false, Native);
    row("truncated final sequence", "caf\xC3", QStringLiteral("cafÃ"), Cp1252, false, Native);
    row("UTF-8 mark, then invalid", "\xEF\xBB\xBF" "caf\xE9", QStringLiteral("ï»¿café"), Cp1252,
        false, Native);
    row("encoded surrogate", "\xED\xA0\x80", QStringLiteral("í\u00A0€"), Cp1252, false, Native);
    row("overlong form", "\xC0\xAF", QStringLiteral("À¯"), Cp1252, false, Native);
    row("above U+10FFFF", "\xF4\x90\x80\x80", QStringLiteral("ô\u0090€€"), Cp1252, false, Native);
    row("mixed, CR LF first", "a\r\nb\nc\rd", QStringLiteral("a\nb\nc\nd"), Utf8, false,
        LineEnd::CrLf);
    row("mixed, CR CR LF", "a\r\r\nb", QStringLiteral("a\n\nb"), Utf8, false, LineEnd::Cr);
    row("mixed, UTF-16 LF first", bytesOf("\xFF\xFE" "a\0\n\0b\0\r\0\n\0", 12),
        QStringLiteral("a\nb\n"), Encoding::Utf16LE, true, LineEnd::Lf);
    row("mixed, Windows-1252", "caf\xE9\r\n\x80\n\r", QStringLiteral("café\n€\n\n"), Cp1252, false,
        LineEnd::CrLf);
    // Every byte value; the Windows-1252 text of it is checked by the rows above.
    QByteArray all;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n')
            all.append(char(b));
    }
    all += "\r\n" + all;
    row("Windows-1252, every byte", all, TextFile::Decode(all).text, Cp1252, false, LineEnd::CrLf);
}

// Through memory and through real files: the text and format read, and the
// bytes written back.
void TestTextFile::readAndWriteBack()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(Encoding, encoding);
    QFETCH(bool, mark);
    QFETCH(LineEnd, lineEnd);

    const DecodedText decoded = TextFile::Decode(bytes);
    QCOMPARE(decoded.text, text);
    QCOMPARE(decoded.format.encoding, encoding);
    QCOMPARE(decoded.format.byteOrderMark, mark);
    QCOMPARE(decoded.format.lineEnd, lineEnd);

    const QString original = m_dir.filePath(QStringLiteral("original.txt"));
    const QString copy = m_dir.filePath(QStringLiteral("copie.txt"));
    QVERIFY(writeBytes(original, bytes));
    TextFile::LoadError error = TextFile::LoadError::TooLarge;
    const std::optional<DecodedText> loaded = TextFile::Load(original, &error);
    QCOMPARE(error, TextFile::LoadError::None);
    QVERIFY(loaded && loaded->text == text);
    TextFormat format = loaded->format;
    QVERIFY(TextFile::Save(copy, loaded->text, &format, loaded->lineEnds));
    QVERIFY(readBytes(copy) == bytes);
    QCOMPARE(format.encoding, encoding);
}

void TestTextFile::windows1252GainsCharacter_data()
{
    QTest::addColumn<QByteArray>("original");
    QTest::addColumn<QString>("text"); // the edited text, saved over the original
    QTest::addColumn<Encoding>("encoding");

    const QByteArray cafe = "caf\xE9\r\n";
    QTest::newRow("Esperanto letter") << cafe << QStringLiteral("café\nĉ\n") << Encoding::Utf8;
    QTest::newRow("emoji") << cafe << QStringLiteral("café\n\U0001F600\n") << Encoding::Utf8;
    QTest::newRow("C1 control without byte") << cafe << QStringLiteral("café\n\u0085\n") << Encoding::Utf8;
    QTest::newRow("euro sign") << cafe << QStringLiteral("café\n€\n") << Encoding::Windows1252;
    // Bytes that another encoding would claim on the next load.
    QTest::newRow("letters spelling UTF-8") << cafe << QStringLiteral("Ã©\n") << Encoding::Utf8;
    QTest::newRow("UTF-16 mark, even length")
            << QByteArray("\xFF\xFE" "a\r\n") << QStringLiteral("ÿþab\n") << Encoding::Utf8;
}

void TestTextFile::windows1252GainsCharacter()
{
    QFETCH(QByteArray, original);
    QFETCH(QString, text);
    QFETCH(Encoding, encoding);

    const QString path = m_dir.filePath(QStringLiteral("ancien.txt"));
    QVERIFY(writeBytes(path, original));
    const std::optional<DecodedText> loaded = TextFile::Load(path);
    QVERIFY(loaded && loaded->format.encoding == Encoding::Windows1252);

    TextFormat format = loaded->format;
    QVERIFY(TextFile::Save(path, text, &format));
    QCOMPARE(format.encoding, encoding);
    QVERIFY(!format.byteOrderMark && format.lineEnd == LineEnd::CrLf);
    const std::optional<DecodedText> reloaded = TextFile::Load(path);
    QVERIFY(reloaded && reloaded->format.encoding == encoding);
    QCOMPARE(reloaded->text, text);
}

void TestTextFile::failedSaveKeepsOriginal()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("texte.txt"));
    const QByteArray original = "contenu d'origine\r\n";
    QVERIFY(writeBytes(path, original));

    const int failedAsItShould = runWithFileSizeLimit(100, [&path] {
        TextFormat format;
        format.encoding = Encoding::Windows1252;
        const bool saved = TextFile::Save(path, QString(1000, u'ĉ'), &format);
        return !saved && format.encoding == Encoding::Windows1252 ? 0 : 1;
    });
    QCOMPARE(failedAsItShould, 0);
    QCOMPARE(readBytes(path), original);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("texte.txt")});
}

void TestTextFile::saveThroughSymbolicLink_data()
{
    QTest::addColumn<QStringList>("links"); // each names the one before it; the first the file

    QTest::newRow("relative, other directory") << QStringList{QStringLiteral("cible/texte.txt")};
    QTest::newRow("link to a link")
            << QStringList{QStringLiteral("cible/texte.txt"), QStringLiteral("lien0")};
}

void TestTextFile::saveThroughSymbolicLink()
{
    QFETCH(QStringList, links);

    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("cible")));
    const QString target = m_dir.filePath(QStringLiteral("cible/texte.txt"));
    QVERIFY(writeBytes(target, "ancien\n"));
    QString link;
    for (int i = 0; i < links.size(); ++i) {
        link = m_dir.filePath(QStringLiteral("lien%1").arg(i));
        QFile::remove(link);
        QVERIFY(::symlink(QFile::encodeName(links[i]).constData(), QFile::encodeName(link).constData()) == 0);
    }

    TextFormat format;
    QVERIFY(TextFile::Save(link, QStringLiteral("nouveau\n"), &format));
    QCOMPARE(readBytes(target), QByteArray("nouveau\n"));
    for (int i = 0; i < links.size(); ++i)
        QCOMPARE(readLink(m_dir.filePath(QStringLiteral("lien%1").arg(i))), links[i]);
}

void TestTextFile::saveKeepsPermissions()
{
    const QString path = m_dir.filePath(QStringLiteral("droits.txt"));
    QVERIFY(writeBytes(path, "a\n"));
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0640), 0);

    TextFormat format;
    QVERIFY(TextFile::Save(path, QStringLiteral("b\n"), &format));
    struct stat status = {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &status), 0);
    QCOMPARE(status.st_mode & 07777, mode_t(0640));
}

void TestTextFile::loadRefuses_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<TextFile::LoadError>("error");

    const QString fifo = m_dir.filePath(QStringLiteral("tube"));
    QFile::remove(fifo);
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString huge = m_dir.filePath(QStringLiteral("enorme.txt"));
    QFile sparse(huge);
    QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(TextFile::MaxFileSize + 1));

    QTest::newRow("directory") << m_dir.path() << TextFile::LoadError::NotARegularFile;
    QTest::newRow("FIFO without writer") << fifo << TextFile::LoadError::NotARegularFile;
    QTest::newRow("endless device") << QStringLiteral("/dev/zero") << TextFile::LoadError::NotARegularFile;
    QTest::newRow("missing file") << m_dir.filePath(QStringLiteral("absent.txt")) << TextFile::LoadError::CannotRead;
    QTest::newRow("too large") << huge << TextFile::LoadError::TooLarge;
}

void TestTextFile::loadRefuses()
{
    QFETCH(QString, path);
    QFETCH(TextFile::LoadError, error);

    TextFile::LoadError reported = TextFile::LoadError::None;
    QVERIFY(!TextFile::Load(path, &reported));
    QCOMPARE(reported, error);
}

QTEST_GUILESS_MAIN(TestTextFile)
#include "tst_textfile.moc"
