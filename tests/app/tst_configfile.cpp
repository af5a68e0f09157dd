#include "app/ConfigFile.h"
#include "app/Globals.h"
#include "app/Main.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using Globals::settings;

namespace {

const WindowPlacement NormalWindow{0, 1500, 1200, 8115, 5520};

// What the defaults look like on disk, byte for byte.
QByteArray golden(const QByteArray &defaultDir)
{
    return "True\r\n"
           " 0 \r\n"
           " 1500 \r\n"
           " 1200 \r\n"
           " 8115 \r\n"
           " 5520 \r\n"
           "-2147483640 \r\n"
           "-2147483643 \r\n"
           "False\r\n"
           " 200 \r\n"
           "False\r\n"
           "Lucida Console\r\n"
           " 10 \r\n"
           "False\r\n"
           "False\r\n"
           "*.txt;*.bat;*.ini;*.log\r\n"
           + defaultDir + "\r\n";
}

const QString ReadWarning = QStringLiteral(
        "Erreur de lecture du fichier INI !\nLes paramètres par défaut ont été restaurés.");
const QString WriteWarning = QStringLiteral("Impossible de sauvegarder le fichier INI !");

} // namespace

class TestConfigFile : public QObject
{
    Q_OBJECT

private slots:
    void goldenWriteAndRead();
    void placementOfMinimizedOrMaximized_data();
    void placementOfMinimizedOrMaximized();
    void missingFileIsSilent();
    void failingReads_data();
    void failingReads();
    void acceptedValues_data();
    void acceptedValues();
    void stringsWithCommasRoundTrip_data();
    void stringsWithCommasRoundTrip();
    void failedWriteKeepsOldFile();
    void unwritableDirectoryWarns();
    void settingsDirectory_data();
    void settingsDirectory();

private:
    QTemporaryDir m_scratch;
};

void TestConfigFile::goldenWriteAndRead()
{
    TestEnv t;
    settings.DefaultDir = QStringLiteral("/home/anne/Docs");
    QVERIFY(WriteConfigFile(t.env, NormalWindow));
    QCOMPARE(readBytes(ConfigFile::Path(t.env.programDir)), golden("/home/anne/Docs"));
    QVERIFY(t.messageBox.shown.isEmpty());

    settings = Settings();
    QVERIFY(ReadConfigFile(t.env));
    QCOMPARE(settings.SaveOnExit, true);
    QCOMPARE(settings.WindowState, quint8(0));
    QCOMPARE(settings.WindowLeft, 1500);
    QCOMPARE(settings.WindowTop, 1200);
    QCOMPARE(settings.WindowWidth, 8115);
    QCOMPARE(settings.WindowHeight, 5520);
    QCOMPARE(settings.TextColor, 0x80000008u);
    QCOMPARE(settings.TextBackColor, 0x80000005u);
    QCOMPARE(settings.TransparencyOn, false);
    QCOMPARE(settings.TransparencyLevel, quint8(200));
    QCOMPARE(settings.AlwaysOnTop, false);
    QCOMPARE(settings.FontName, QStringLiteral("Lucida Console"));
    QCOMPARE(settings.FontSize, qint16(10));
    QCOMPARE(settings.FontBold, false);
    QCOMPARE(settings.FontItalic, false);
    QCOMPARE(settings.FileFilter, QStringLiteral("*.txt;*.bat;*.ini;*.log"));
    QCOMPARE(settings.DefaultDir, QStringLiteral("/home/anne/Docs"));
    QVERIFY(t.messageBox.shown.isEmpty());
}

void TestConfigFile::placementOfMinimizedOrMaximized_data()
{
    QTest::addColumn<int>("state");
    QTest::newRow("minimized") << 1;
    QTest::newRow("maximized") << 2;
}

void TestConfigFile::placementOfMinimizedOrMaximized()
{
    // The file keeps the normal rectangle read at start, not the live one.
    QFETCH(int, state);
    TestEnv t;
    settings.WindowLeft = 10;
    settings.WindowTop = -20;
    settings.WindowWidth = 30;
    settings.WindowHeight = 40;
    QVERIFY(WriteConfigFile(t.env, {state, 1, 2, 3, 4}));
    const QList<QByteArray> lines = readBytes(ConfigFile::Path(t.env.programDir)).split('\n');
    QCOMPARE(lines.mid(1, 5),
             (QList<QByteArray>{" " + QByteArray::number(state) + " \r", " 10 \r", "-20 \r",
                                " 30 \r", " 40 \r"}));
}

void TestConfigFile::missingFileIsSilent()
{
    TestEnv t;
    settings.FontName = QStringLiteral("Changed");
    QVERIFY(!ReadConfigFile(t.env));
    QCOMPARE(settings.FontName, QStringLiteral("Changed"));
    QVERIFY(t.messageBox.shown.isEmpty());
}

void TestConfigFile::failingReads_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("left");   // window bounds read before the failure stay
    QTest::addColumn<int>("height");

    QByteArray good = golden("/home");
    QList<QByteArray> lines = good.split('\n');
    auto with = [&](int line, const QByteArray &value) {
        QList<QByteArray> copy = lines;
        copy[line - 1] = value + '\r';
        return copy.join('\n');
    };
    QTest::newRow("16 values") << QByteArray(good.left(good.lastIndexOf("/home"))) << 1500 << 5520;
    QTest::newRow("level 256") << with(10, " 256 ") << 1500 << 5520;
    QTest::newRow("font size text") << with(13, "grand") << 1500 << 5520;
    QTest::newRow("font size too big") << with(13, " 32768 ") << 1500 << 5520;
    QTest::newRow("old font name with comma") << with(12, "Lucida, Console") << 1500 << 5520;
    QTest::newRow("state 256") << with(2, " 256 ") << 0 << 0;
    QTest::newRow("height text") << with(6, "haut") << 1500 << 0;
    QTest::newRow("boolean word") << with(1, "Vrai") << 0 << 0;
    QTest::newRow("empty file") << QByteArray() << 0 << 0;
    QTest::newRow("random bytes") << QByteArray("\x01\xff\xfe,,\"\n\x80", 8) << 0 << 0;
}

void TestConfigFile::failingReads()
{
    QFETCH(QByteArray, content);
    TestEnv t;
    const QString path = ConfigFile::Path(t.env.programDir);
    QVERIFY(writeBytes(path, content));
    settings.FontName = QStringLiteral("Changed");
    settings.TransparencyLevel = 7;

    QVERIFY(!ReadConfigFile(t.env));

    QCOMPARE(settings.FontName, QStringLiteral("Lucida Console"));
    QCOMPARE(settings.TransparencyLevel, quint8(200));
    QCOMPARE(settings.SaveOnExit, true);
    QTEST(int(settings.WindowLeft), "left");
    QTEST(int(settings.WindowHeight), "height");
    QCOMPARE(t.messageBox.shown.size(), 1);
    const FakeMessageBox::Shown &box = t.messageBox.shown.first();
    QCOMPARE(box.text, ReadWarning);
    QCOMPARE(box.title, QStringLiteral("Qorvik Note Pad"));
    QCOMPARE(box.icon, MessageBox::Icon::Exclamation);
    QCOMPARE(box.buttons, MessageBox::Buttons::Ok);
    QVERIFY(!QFile::exists(path));
}

void TestConfigFile::acceptedValues_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("true lower") << 9 << QByteArray("true") << "TransparencyOn" << QVariant(true);
    QTest::newRow("FALSE upper") << 1 << QByteArray("FALSE") << "SaveOnExit" << QVariant(false);
    QTest::newRow("zero") << 1 << QByteArray("0") << "SaveOnExit" << QVariant(false);
    QTest::newRow("minus one") << 11 << QByteArray("-1") << "AlwaysOnTop" << QVariant(true);
    QTest::newRow("fraction below a half") << 11 << QByteArray("0.4") << "AlwaysOnTop"
                                           << QVariant(true);
    QTest::newRow("small negative") << 9 << QByteArray("-0.3") << "TransparencyOn" << QVariant(true);
    QTest::newRow("empty boolean") << 1 << QByteArray("") << "SaveOnExit" << QVariant(false);
    QTest::newRow("half to even down") << 13 << QByteArray("12.5") << "FontSize" << QVariant(12);
    QTest::newRow("half to even up") << 13 << QByteArray("13.5") << "FontSize" << QVariant(14);
    QTest::newRow("empty number") << 10 << QByteArray("") << "TransparencyLevel" << QVariant(0);
    QTest::newRow("255") << 10 << QByteArray(" 255 ") << "TransparencyLevel" << QVariant(255);
    QTest::newRow("quoted name") << 12 << QByteArray("\"Deja, Vu\"") << "FontName"
                                 << QVariant(QStringLiteral("Deja, Vu"));
    QTest::newRow("blanks around") << 12 << QByteArray("  Arial  ") << "FontName"
                                   << QVariant(QStringLiteral("Arial"));
    QTest::newRow("filter cut at comma") << 16 << QByteArray("*.txt,/other") << "DefaultDir"
                                         << QVariant(QStringLiteral("/other"));
    QTest::newRow("dir cut at comma") << 17 << QByteArray("/Docs, 2026") << "DefaultDir"
                                      << QVariant(QStringLiteral("/Docs"));
    QTest::newRow("non-ASCII dir") << 17 << QByteArray("/Été/Œuvre €") << "DefaultDir"
                                   << QVariant(QStringLiteral("/Été/Œuvre €"));
    // Files of earlier versions: quotes only where a comma or a blank needed them.
    QTest::newRow("old quoted dir") << 17 << QByteArray("\" /Docs, 2026 \"") << "DefaultDir"
                                    << QVariant(QStringLiteral(" /Docs, 2026 "));
    QTest::newRow("old quote inside") << 17 << QByteArray("/a\"b\"") << "DefaultDir"
                                      << QVariant(QStringLiteral("/a\"b\""));
}

void TestConfigFile::acceptedValues()
{
    QFETCH(int, line);
    QFETCH(QByteArray, value);
    QFETCH(QString, field);
    QFETCH(QVariant, expected);
    TestEnv t;
    QList<QByteArray> lines = golden("/home").split('\n');
    lines[line - 1] = value + '\r';
    lines.insert(17, "extra line after the last value\r");
    QVERIFY(writeBytes(ConfigFile::Path(t.env.programDir), lines.join('\n')));

    QVERIFY(ReadConfigFile(t.env));
    QVERIFY(t.messageBox.shown.isEmpty());

    const QVariantMap read{
        {"SaveOnExit", settings.SaveOnExit},
        {"TransparencyOn", settings.TransparencyOn},
        {"AlwaysOnTop", settings.AlwaysOnTop},
        {"FontSize", int(settings.FontSize)},
        {"TransparencyLevel", int(settings.TransparencyLevel)},
        {"FontName", settings.FontName},
        {"DefaultDir", settings.DefaultDir},
    };
    QCOMPARE(read.value(field), expected);
}

void TestConfigFile::stringsWithCommasRoundTrip_data()
{
    QTest::addColumn<QString>("font");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("dir");
    QTest::newRow("commas") << "Deja, Vu" << "*.txt,*.md" << "/home/anne/Docs, 2026";
    QTest::newRow("blanks at the ends") << " Mono " << "*.txt " << " /lead";
    QTest::newRow("empty") << "" << "" << "";
    QTest::newRow("non-ASCII") << "Ébène" << "*.été" << "/Été/Œuvre €";
    QTest::newRow("\"*.txt") << "\"" << "\"*.txt" << "a,\"b\"";
    QTest::newRow("\" lead") << "\" lead" << "\"\"" << "/home/a/x,\"y\"";
}

void TestConfigFile::stringsWithCommasRoundTrip()
{
    QFETCH(QString, font);
    QFETCH(QString, filter);
    QFETCH(QString, dir);
    TestEnv t;
    settings.FontName = font;
    settings.FileFilter = filter;
    settings.DefaultDir = dir;
    settings.FontSize = 12;
    QVERIFY(WriteConfigFile(t.env, NormalWindow));
    SetDefaultSettings();

    QVERIFY(ReadConfigFile(t.env));
    QCOMPARE(settings.FontName, font);
    QCOMPARE(settings.FileFilter, filter);
    QCOMPARE(settings.DefaultDir, dir);
    QCOMPARE(settings.FontSize, qint16(12));
}

void TestConfigFile::failedWriteKeepsOldFile()
{
    TestEnv t;
    const QString path = ConfigFile::Path(t.env.programDir);
    const QByteArray old = golden("/old");
    QVERIFY(writeBytes(path, old));
    settings.DefaultDir = QString(400, QLatin1Char('x'));

    const int code = runWithFileSizeLimit(64, [&] {
        const bool written = WriteConfigFile(t.env, NormalWindow);
        const bool warned = t.messageBox.shown.size() == 1
                            && t.messageBox.shown[0].text == WriteWarning
                            && t.messageBox.shown[0].icon == MessageBox::Icon::Exclamation
                            && t.messageBox.shown[0].title == Globals::ProductTitle;
        return (written ? 1 : 0) | (warned ? 0 : 2);
    });
    QCOMPARE(code, 0);
    QCOMPARE(readBytes(path), old);
}

void TestConfigFile::unwritableDirectoryWarns()
{
    TestEnv t;
    t.env.programDir = t.file(QStringLiteral("missing/folder"));
    QVERIFY(!WriteConfigFile(t.env, NormalWindow));
    QCOMPARE(t.messageBox.shown.size(), 1);
    QCOMPARE(t.messageBox.shown[0].text, WriteWarning);
}

void TestConfigFile::settingsDirectory_data()
{
    QTest::addColumn<QString>("programDir");
    QTest::addColumn<bool>("beside");
    QTest::newRow("portable copy") << QDir::tempPath() << true;
    QTest::newRow("installed under /usr") << "/usr/bin" << false;
    QTest::newRow("folder that does not exist") << QDir::tempPath() + "/absent/qorvik" << false;
    QTest::newRow("installed for one user") << "$TMP/home/anne/.local/bin" << false;
    QTest::newRow("any prefix's bin") << "$TMP/opt/qorvik/bin" << false;
    QTest::newRow("folder named like bin") << "$TMP/cabin" << true;
}

void TestConfigFile::settingsDirectory()
{
    QFETCH(QString, programDir);
    // Writable folders, made for the case: only the name may tell.
    programDir.replace(QLatin1String("$TMP"), m_scratch.path());
    if (programDir.startsWith(m_scratch.path()))
        QVERIFY(QDir().mkpath(programDir));
    const QString user = QStringLiteral("/home/anne/.config/Qorvik Note Pad");
    QTEST(SettingsDirectory(programDir, user) == programDir, "beside");
}

QTEST_GUILESS_MAIN(TestConfigFile)
#include "tst_configfile.moc"
