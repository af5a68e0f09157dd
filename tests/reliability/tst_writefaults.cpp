#include "app/ConfigFile.h"
#include "app/Document.h"
#include "app/Globals.h"
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

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using Globals::doc;
using Globals::settings;

namespace {

const QString SaveFailure = QStringLiteral("Impossible de sauvegarder ce fichier !");
const QString ConfigFailure = QStringLiteral("Impossible de sauvegarder le fichier INI !");

// What the user does that writes a file.
enum class Action { Save, QuickSave, SaveConfiguration, Close };

// What stands around the file that Enregistrer writes.
enum class Situation { OtherOwner, HardLinks, ReadOnlyFolder, SymbolicLink, InPlaceWriteFails };

struct Fixture
{
    Fixture()
    {
        window = std::make_unique<MainWindow>(t.env);
        window->Form_Load();
        window->Form_Activate();
    }

    TestEnv t;
    std::unique_ptr<MainWindow> window;
};

bool warnedOnce(const FakeMessageBox &box, const QString &text)
{
    return box.shown.size() == 1 && box.shown[0].text == text
           && box.shown[0].icon == MessageBox::Icon::Exclamation
           && box.shown[0].buttons == MessageBox::Buttons::Ok
           && box.shown[0].title == Globals::ProductTitle;
}

// A text of many lines with accented letters, about size bytes in UTF-8.
QString largeText(int size, QChar mark)
{
    const QString line = QString(mark) + QStringLiteral(" Été, œuvre à 10 € — ligne\n");
    return line.repeated(size / int(line.toUtf8().size()));
}

} // namespace

Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(Situation)

class TestWriteFaults : public QObject
{
    Q_OBJECT

private slots:
    void fileSizeLimitKeepsPreviousFile_data();
    void fileSizeLimitKeepsPreviousFile();
    void killedSaveLeavesOldOrNew();
    void saveKeepsWhatSurroundsTheFile_data();
    void saveKeepsWhatSurroundsTheFile();
};

void TestWriteFaults::fileSizeLimitKeepsPreviousFile_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("warning");
    QTest::newRow("Enregistrer") << Action::Save << SaveFailure;
    QTest::newRow("Escape quick-save") << Action::QuickSave << SaveFailure;
    QTest::newRow("Enregistrer la configuration") << Action::SaveConfiguration << ConfigFailure;
    QTest::newRow("settings written at close") << Action::Close << ConfigFailure;
}

// The write really fails (the system refuses to grow the file past the
// limit): the previous file stays byte for byte, the exact warning is shown,
// and the text is still there.
void TestWriteFaults::fileSizeLimitKeepsPreviousFile()
{
    QFETCH(Action, action);
    QFETCH(QString, warning);
    Fixture f;
    const QString document = f.t.file(QStringLiteral("lettre.txt"));
    const QString quick = Document::QuickSavePath(f.t.env.programDir);
    const QString config = ConfigFile::Path(f.t.env.programDir);
    const QByteArray old = "contenu d'avant\r\n";
    for (const QString &path : {document, quick, config})
        QVERIFY(writeBytes(path, old));
    QString opened = document;
    QVERIFY(f.window->document().OpenDocument(opened));
    editorOf(*f.window)->setText(QStringLiteral("nouveau texte, plus long que la limite\n").repeated(5));
    settings.DefaultDir = QString(400, QLatin1Char('d'));
    const QString text = editorOf(*f.window)->Text();

    const int code = runWithFileSizeLimit(64, [&] {
        switch (action) {
        case Action::Save:
            f.window->MenuFichier_Enregistrer_Click();
            break;
        case Action::QuickSave:
            QTest::keyClick(editorOf(*f.window), Qt::Key_Escape);
            break;
        case Action::SaveConfiguration:
            f.window->MenuFormat_EnregistrerConfiguration_Click();
            break;
        case Action::Close:
            f.t.messageBox.script(MessageBox::Answer::No);
            f.window->MenuFichier_Quitter_Click();
            f.t.messageBox.shown.removeFirst(); // the save question
            break;
        }
        const bool warned = warnedOnce(f.t.messageBox, warning);
        const bool textKept = editorOf(*f.window)->Text() == text || action == Action::Close;
        const bool exited = f.t.exitCalls > 0;
        return (warned ? 0 : 1) | (textKept ? 0 : 2) | (exited != (action == Action::Close) ? 4 : 0)
               | (doc.DocSaved && action == Action::Save ? 8 : 0);
    });

    QCOMPARE(code, 0);
    for (const QString &path : {document, quick, config})
        QCOMPARE(readBytes(path), old);
}

// A child saving a large document over and over is killed at random moments:
// the file is always the old one or the new one, whole, never a mix or a
// truncation.
void TestWriteFaults::killedSaveLeavesOldOrNew()
{
    Fixture f;
    const QString path = f.t.file(QStringLiteral("grand document.txt"));
    const QByteArray old = largeText(3 << 20, u'A').toUtf8().replace("\n", "\r\n");
    QVERIFY(writeBytes(path, old));
    QString opened = path;
    QVERIFY(f.window->document().OpenDocument(opened));
    editorOf(*f.window)->setText(largeText(5 << 20, u'B'));
    const QByteArray fresh = editorOf(*f.window)->Text().toUtf8().replace("\n", "\r\n");

    // One save's duration, to spread the kills over a few saves.
    const QString probe = f.t.file(QStringLiteral("mesure.txt"));
    QElapsedTimer timer;
    timer.start();
    QVERIFY(editorOf(*f.window)->SaveFile(probe));
    const qint64 saveMs = std::max<qint64>(timer.elapsed(), 5);
    QCOMPARE(readBytes(probe), fresh);

    QRandomGenerator random(20261207);
    int oldSeen = 0;
    int freshSeen = 0;
    for (int round = 0; round < 20; ++round) {
        int ready[2];
        QCOMPARE(::pipe(ready), 0);
        const pid_t child = fork();
        if (child == 0) {
            ::close(ready[0]);
            const char go = 1;
            [[maybe_unused]] const ssize_t n = ::write(ready[1], &go, 1);
            for (;;)
                f.window->document().SaveDocument(doc.DocPath);
        }
        ::close(ready[1]);
        char go = 0;
        QCOMPARE(::read(ready[0], &go, 1), ssize_t(1));
        ::close(ready[0]);
        QTest::qSleep(int(random.bounded(saveMs * 3)));
        QCOMPARE(::kill(child, SIGKILL), 0);
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFSIGNALED(status));

        const QByteArray now = readBytes(path);
        QVERIFY2(now == old || now == fresh,
                 qPrintable(QStringLiteral("round %1: %2 bytes, neither old nor new")
                                    .arg(round).arg(now.size())));
        (now == old ? oldSeen : freshSeen)++;
        QVERIFY(writeBytes(path, old)); // the next round starts from the old file again
    }
    qInfo("kills that left the old file: %d, the new one: %d; temporary files left: %lld",
          oldSeen, freshSeen,
          qint64(QDir(f.t.dir.path()).entryList(QDir::Files | QDir::Hidden).size() - 2));
}

void TestWriteFaults::saveKeepsWhatSurroundsTheFile_data()
{
    QTest::addColumn<Situation>("situation");
    QTest::addColumn<bool>("saved");
    QTest::newRow("file of another user, saved by root") << Situation::OtherOwner << true;
    QTest::newRow("two hard links") << Situation::HardLinks << true;
    QTest::newRow("writable file in a read-only folder") << Situation::ReadOnlyFolder << true;
    QTest::newRow("symbolic link") << Situation::SymbolicLink << true;
    QTest::newRow("in-place write cut short") << Situation::InPlaceWriteFails << false;
}

// The file keeps its owner, group and every name; a save that fails leaves
// its old bytes and says so.
void TestWriteFaults::saveKeepsWhatSurroundsTheFile()
{
    QFETCH(Situation, situation);
    QFETCH(bool, saved);
    const bool root = ::geteuid() == 0;
    if (situation == Situation::OtherOwner && !root)
        QSKIP("only root can give a file to another user");
    Fixture f;
    const QString folder = f.t.file(QStringLiteral("dossier"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/texte.txt");
    const QByteArray old = "contenu d'avant\r\n";
    QVERIFY(writeBytes(path, old));
    const QByteArray encodedPath = QFile::encodeName(path);
    const QString otherName = folder + QStringLiteral("/autre nom.txt");
    QString opened = path;
    switch (situation) {
    case Situation::OtherOwner:
        QCOMPARE(::chown(encodedPath.constData(), nobodyUid(), nobodyGid()), 0);
        break;
    case Situation::HardLinks:
    case Situation::InPlaceWriteFails:
        QCOMPARE(::link(encodedPath.constData(), QFile::encodeName(otherName).constData()), 0);
        break;
    case Situation::ReadOnlyFolder:
        if (root)
            QCOMPARE(::chown(encodedPath.constData(), nobodyUid(), nobodyGid()), 0);
        QCOMPARE(::chmod(QFile::encodeName(f.t.dir.path()).constData(), 0755), 0);
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0555), 0);
        break;
    case Situation::SymbolicLink:
        opened = folder + QStringLiteral("/lien.txt");
        QCOMPARE(::symlink("texte.txt", QFile::encodeName(opened).constData()), 0);
        break;
    }
    struct stat before = {};
    QCOMPARE(::stat(encodedPath.constData(), &before), 0);
    QVERIFY(f.window->document().OpenDocument(opened));
    editorOf(*f.window)->setText(QStringLiteral("nouveau texte, plus long que la limite\n").repeated(5));
    const QByteArray fresh = editorOf(*f.window)->Text().toUtf8().replace("\n", "\r\n");

    const auto save = [&] {
        f.window->MenuFichier_Enregistrer_Click();
        return (saved ? f.t.messageBox.shown.isEmpty() : warnedOnce(f.t.messageBox, SaveFailure)) ? 0 : 1;
    };
    int code = 0;
    if (situation == Situation::ReadOnlyFolder)
        code = runAsNobody(save);
    else if (situation == Situation::InPlaceWriteFails)
        code = runWithFileSizeLimit(64, save);
    else
        code = save();
    ::chmod(QFile::encodeName(folder).constData(), 0755);

    QCOMPARE(code, 0);
    QCOMPARE(readBytes(path), saved ? fresh : old);
    struct stat after = {};
    QCOMPARE(::stat(encodedPath.constData(), &after), 0);
    QCOMPARE(after.st_uid, before.st_uid);
    QCOMPARE(after.st_gid, before.st_gid);
    QCOMPARE(after.st_nlink, before.st_nlink);
    if (before.st_nlink > 1)
        QCOMPARE(readBytes(otherName), readBytes(path));
    QCOMPARE(after.st_mode, before.st_mode);
    QCOMPARE(QFileInfo(opened).isSymLink(), situation == Situation::SymbolicLink);
}

QTEST_MAIN(TestWriteFaults)
#include "tst_writefaults.moc"
