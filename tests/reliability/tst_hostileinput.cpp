#include "app/ConfigFile.h"
#include "app/Document.h"
#include "app/Globals.h"
#include "app/Main.h"
#include "platform/RichTextBox.h"
#include "support/TestEnv.h"
#include "ui/main/MainWindow.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTest>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

using Globals::doc;
using Globals::settings;

namespace {

const QString LoadFailure = QStringLiteral("Impossible de charger le fichier demandé !");
const QString ReadWarning = QStringLiteral(
        "Erreur de lecture du fichier INI !\nLes paramètres par défaut ont été restaurés.");

// How the user names the file to open.
enum class Via { Dialog, CommandLine, VanishingAfterDialog };

QString caption(const QString &name)
{
    return name + QStringLiteral(" - Qorvik Note Pad");
}

// The one box shown was the program's warning with this text.
bool warnedOnce(const FakeMessageBox &box, const QString &text)
{
    return box.shown.size() == 1 && box.shown[0].text == text
           && box.shown[0].icon == MessageBox::Icon::Exclamation
           && box.shown[0].buttons == MessageBox::Buttons::Ok
           && box.shown[0].title == Globals::ProductTitle;
}

// A main window as the user meets it: started through Main, which reads the
// settings file, then opens the command line.
struct Started
{
    explicit Started(TestEnv &t) : window(Main(t.env)) { window->Form_Activate(); }
    std::unique_ptr<MainWindow> window;
};

// Opens path as the user would, through the real window and the fakes.
std::unique_ptr<MainWindow> openVia(TestEnv &t, Via via, const QString &path)
{
    if (via == Via::CommandLine) {
        t.env.commandLine = QLatin1Char('"') + path + QLatin1Char('"');
        return Started(t).window;
    }
    auto window = Started(t).window;
    t.comDlg.script([&t, via, path](CommonDialog &dialog) {
        dialog.FileName = path;
        if (via == Via::VanishingAfterDialog)
            QFile::remove(path);
        return true;
    });
    window->MenuFichier_Ouvrir_Click();
    return window;
}

// Random bytes, with CR LF as the only line end (mixed ones are made uniform
// on purpose).
QByteArray randomBytes(int size, quint32 seed)
{
    QRandomGenerator generator(seed);
    QByteArray bytes;
    while (bytes.size() < size) {
        const char b = char(generator.bounded(256));
        if (b == '\n')
            bytes += "\r\n";
        else if (b != '\r')
            bytes += b;
    }
    return bytes;
}

// Runs body in a forked child; its exit code, or -1 when it did not exit.
int runInChild(const std::function<int()> &body)
{
    const pid_t child = fork();
    if (child == 0) {
        try {
            _exit(body());
        } catch (...) {
            _exit(99); // an exception the program let through
        }
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

qint64 peakMemory()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_maxrss) * 1024;
}

qint64 addressSpaceInUse()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmSize:"))
            return line.mid(7).trimmed().split(' ').first().toLongLong() * 1024;
    }
    return 0;
}

QByteArray goodSettings()
{
    return "False\r\n 0 \r\n 1500 \r\n 1200 \r\n 8115 \r\n 5520 \r\n 255 \r\n 16777215 \r\n"
           "False\r\n 200 \r\nFalse\r\nArial\r\n 14 \r\nTrue\r\nFalse\r\n*.txt\r\n/docs\r\n";
}

} // namespace

Q_DECLARE_METATYPE(Via)

class TestHostileInput : public QObject
{
    Q_OBJECT

private slots:
    void refusedFiles_data();
    void refusedFiles();
    void awkwardContentComesBack_data();
    void awkwardContentComesBack();
    void nonAsciiPath_data();
    void nonAsciiPath();
    void hostileSettingsFile_data();
    void hostileSettingsFile();
    void memoryShortFailsWithMessage_data();
    void memoryShortFailsWithMessage();
    void file200MB();

private:
    QTemporaryDir m_dir; // outlives the rows' own program folders
};

void TestHostileInput::refusedFiles_data()
{
    QTest::addColumn<Via>("via");
    QTest::addColumn<QString>("path");

    const QString folder = m_dir.filePath(QStringLiteral("Été"));
    QVERIFY(QDir().mkpath(folder));
    const QString fifo = m_dir.filePath(QStringLiteral("tube"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString vanishing = m_dir.filePath(QStringLiteral("éphémère.txt"));
    // 10,000 characters once quoted: far past any name the system accepts.
    const QString longName = m_dir.filePath(QString(9998 - m_dir.path().size() - 1, u'é'));

    QTest::newRow("directory, dialog") << Via::Dialog << folder;
    QTest::newRow("directory, command line") << Via::CommandLine << folder;
    QTest::newRow("FIFO without writer, dialog") << Via::Dialog << fifo;
    QTest::newRow("FIFO without writer, command line") << Via::CommandLine << fifo;
    QTest::newRow("endless device, dialog") << Via::Dialog << QStringLiteral("/dev/zero");
    QTest::newRow("endless device, command line") << Via::CommandLine << QStringLiteral("/dev/zero");
    QTest::newRow("file gone after the dialog") << Via::VanishingAfterDialog << vanishing;
    QTest::newRow("10,000-character command line") << Via::CommandLine << longName;
}

void TestHostileInput::refusedFiles()
{
    QFETCH(Via, via);
    QFETCH(QString, path);
    if (via == Via::VanishingAfterDialog)
        QVERIFY(writeBytes(path, "bientôt parti"));
    TestEnv t;
    QElapsedTimer timer;
    timer.start();
    const qint64 peakBefore = peakMemory();

    const auto window = openVia(t, via, path);

    QVERIFY2(timer.elapsed() < 5000, "refusing a file must not wait on it");
    QVERIFY2(peakMemory() - peakBefore < (64 << 20), "refusing a file must not read it all");
    QVERIFY(warnedOnce(t.messageBox, LoadFailure));
    QCOMPARE(editorOf(*window)->Text(), QString());
    QVERIFY(!doc.DocNamed && doc.DocSaved);
    QCOMPARE(window->windowTitle(), caption(QStringLiteral("Sans titre.txt")));
    QVERIFY(editorOf(*window)->isVisible());
}

void TestHostileInput::awkwardContentComesBack_data()
{
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("NUL bytes") << QByteArray("un\0deux\0\0\r\ntrois\0", 17);
    QTest::newRow("control characters") << QByteArray("\x01\x02\x07\x08\t\x0B\x0C\x1B\x7F\r\n");
    QTest::newRow("line and paragraph separators")
            << QByteArray("avant\xE2\x80\xA8" "apr\xC3\xA8s\xE2\x80\xA9" "fin\n");
    QTest::newRow("object replacement and frame marks")
            << QByteArray("\xEF\xBF\xBC \xEF\xB7\x90 \xEF\xB7\x91 \xEF\xBF\xBF\n");
    QTest::newRow("UTF-16 lone surrogates")
            << QByteArray("\xFF\xFE\x00\xDC" "a\0\r\0\n\0\x3D\xD8", 10);
    QTest::newRow("random bytes") << randomBytes(64 * 1024, 7);
}

// Opened, then saved unchanged, a file comes back byte for byte.
void TestHostileInput::awkwardContentComesBack()
{
    QFETCH(QByteArray, bytes);
    TestEnv t;
    const QString path = t.file(QStringLiteral("étrange.txt"));
    QVERIFY(writeBytes(path, bytes));
    const auto window = openVia(t, Via::Dialog, path);
    QVERIFY(t.messageBox.shown.isEmpty());
    QVERIFY(doc.DocNamed);
    QVERIFY(QFile::remove(path));

    window->MenuFichier_Enregistrer_Click();

    QVERIFY(t.messageBox.shown.isEmpty());
    QCOMPARE(readBytes(path), bytes);
}

void TestHostileInput::nonAsciiPath_data()
{
    QTest::addColumn<Via>("via");
    QTest::newRow("dialog") << Via::Dialog;
    QTest::newRow("command line") << Via::CommandLine;
}

void TestHostileInput::nonAsciiPath()
{
    QFETCH(Via, via);
    TestEnv t;
    const QString folder = t.file(QStringLiteral("Été"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/Œuvre €.txt");
    QVERIFY(writeBytes(path, "d\xC3\xA9" "but\r\n"));

    const auto window = openVia(t, via, path);

    QVERIFY(t.messageBox.shown.isEmpty());
    QCOMPARE(editorOf(*window)->Text(), QStringLiteral("début\n"));
    QCOMPARE(window->windowTitle(), caption(QStringLiteral("Œuvre €.txt")));
    QCOMPARE(doc.DocPath, path);
    if (via == Via::Dialog)
        QCOMPARE(settings.DefaultDir, folder + QLatin1Char('/'));

    editorOf(*window)->setSelStart(editorOf(*window)->TextLength());
    typeText(editorOf(*window), QStringLiteral("fin €"));
    window->MenuFichier_Enregistrer_Click();
    QCOMPARE(readBytes(path), QByteArray("d\xC3\xA9" "but\r\nfin \xE2\x82\xAC"));

    const QString copy = folder + QStringLiteral("/Œuvre € (copie).txt");
    t.comDlg.scriptFile(copy);
    window->MenuFichier_EnregistrerSous_Click();
    QCOMPARE(readBytes(copy), readBytes(path));
    QCOMPARE(window->windowTitle(), caption(QStringLiteral("Œuvre € (copie).txt")));
    QVERIFY(t.messageBox.shown.isEmpty());
}

void TestHostileInput::hostileSettingsFile_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<qint64>("size"); // the rest up to this size: NUL bytes, or 'x' lines
    QTest::addColumn<bool>("sparse");
    QTest::addColumn<bool>("read");

    const qint64 MB100 = qint64(100) << 20;
    QTest::newRow("random bytes") << randomBytes(4096, 11) << qint64(4096) << false << false;
    QTest::newRow("100 MB of text") << QByteArray() << MB100 << false << false;
    QTest::newRow("100 MB of NUL bytes") << QByteArray() << MB100 << true << false;
    QTest::newRow("17 values, then 100 MB") << goodSettings() << MB100 << true << true;
}

// At start-up: a file that cannot be read gives the defaults and the one
// warning, quickly and without reading it all; what follows 17 good values
// is ignored.
void TestHostileInput::hostileSettingsFile()
{
    QFETCH(QByteArray, head);
    QFETCH(qint64, size);
    QFETCH(bool, sparse);
    QFETCH(bool, read);
    TestEnv t;
    const QString path = ConfigFile::Path(t.env.programDir);
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write(head) == head.size());
        if (sparse) {
            QVERIFY(file.resize(size));
        } else {
            const QByteArray line = QByteArray(1023, 'x') + '\n';
            while (file.size() + line.size() <= size)
                QVERIFY(file.write(line) == line.size());
            QVERIFY(file.resize(size));
        }
    }
    QElapsedTimer timer;
    timer.start();

    const Started started(t);

    QVERIFY2(timer.elapsed() < 5000, "a huge settings file is not read whole");
    if (read) {
        QVERIFY(t.messageBox.shown.isEmpty());
        QCOMPARE(settings.FontName, QStringLiteral("Arial"));
        QCOMPARE(settings.FontSize, qint16(14));
        QCOMPARE(settings.DefaultDir, QStringLiteral("/docs"));
        QVERIFY(QFile::exists(path));
    } else {
        QVERIFY(warnedOnce(t.messageBox, ReadWarning));
        QCOMPARE(settings.FontName, QStringLiteral("Lucida Console"));
        QCOMPARE(settings.TransparencyLevel, quint8(200));
        QVERIFY(!QFile::exists(path));
    }
    QCOMPARE(editorOf(*started.window)->font().pointSize(), int(settings.FontSize));
}

void TestHostileInput::memoryShortFailsWithMessage_data()
{
    QTest::addColumn<int>("lineLength");
    QTest::addColumn<int>("megabytes");
    QTest::newRow("64 MB of long lines") << 100 << 64;
    QTest::newRow("64 MB of empty lines") << 1 << 64;
}

// A file too big for the memory left is refused with the message, in a child
// whose address space is limited; never a crash.
void TestHostileInput::memoryShortFailsWithMessage()
{
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("AddressSanitizer reserves more address space than the limit leaves");
#endif
    QFETCH(int, lineLength);
    QFETCH(int, megabytes);
    TestEnv t;
    const QString path = t.file(QStringLiteral("gros.txt"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QByteArray line = QByteArray(lineLength - 1, 'x') + '\n';
        const QByteArray block = line.repeated((1 << 20) / line.size());
        for (qint64 size = 0; size < (qint64(megabytes) << 20); size += block.size())
            QVERIFY(file.write(block) == block.size());
    }
    const auto window = Started(t).window;

    const int outcome = runInChild([&] {
        rlimit limit{};
        getrlimit(RLIMIT_AS, &limit);
        limit.rlim_cur = rlim_t(addressSpaceInUse() + (256 << 20));
        setrlimit(RLIMIT_AS, &limit);
        QString opened = path;
        if (window->document().OpenDocument(opened))
            return 1;
        const bool clean = warnedOnce(t.messageBox, LoadFailure) && editorOf(*window)->Text().isEmpty()
                           && !doc.DocNamed && editorOf(*window)->isVisible();
        return clean ? 0 : 2;
    });
    QCOMPARE(outcome, 0);
}

// Opt-in (QORVIK_HEAVY_TESTS=1): a 200 MB file opens, or fails with the
// message when the memory is short; never a crash.
void TestHostileInput::file200MB()
{
    if (qEnvironmentVariableIntValue("QORVIK_HEAVY_TESTS") != 1)
        QSKIP("heavy: set QORVIK_HEAVY_TESTS=1");
    TestEnv t;
    const QString path = t.file(QStringLiteral("200 Mo.txt"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QByteArray block = (QByteArray(98, 'x') + "\r\n").repeated(10000);
        for (qint64 size = 0; size < (qint64(200) << 20); size += block.size())
            QVERIFY(file.write(block) == block.size());
    }
    QElapsedTimer timer;
    timer.start();
    const auto window = openVia(t, Via::Dialog, path);
    qInfo("200 MB open: %lld ms, %s", timer.elapsed(),
          doc.DocNamed ? "opened" : "refused for memory");
    if (doc.DocNamed)
        QCOMPARE(editorOf(*window)->TextLength(), int(QFileInfo(path).size() / 100 * 99));
    else
        QVERIFY(warnedOnce(t.messageBox, LoadFailure));
}

QTEST_MAIN(TestHostileInput)
#include "tst_hostileinput.moc"
