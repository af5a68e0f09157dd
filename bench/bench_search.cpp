// Search and replace through the real window and dialog, on big documents:
// "Remplacer tout" in one long line (60 KB, 10 MB); of a three-letter word at growing sizes (cost should grow
// linearly), compared with sed on the same file; then "Suivant" stepping
// through a 50 MB document to its last hit, each step repainted.
#include "app/Globals.h"
#include "app/Surroundings.h"
#include "platform/MessageBox.h"
#include "platform/RichTextBox.h"
#include "platform/TextMatcher.h"
#include "ui/commands/MenuCommands.h"
#include "ui/main/MainWindow.h"
#include "ui/search/Search.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <algorithm>
#include <memory>

namespace {

class RecordingBox final : public MessageBox
{
public:
    Answer show(const QString &text, Buttons, Icon, const QString &, Answer) override
    {
        last = text;
        ++count;
        return Answer::Ok;
    }
    QString last;
    int count = 0;
};

// About chars characters of French lines of some 80 characters, with
// exactly hits occurrences of "mot" spread evenly; the last one ends the text.
QString document(qint64 chars, int hits)
{
    const QString words[] = {"été",   "déjà", "château", "forêt", "élève", "hôpital", "garçon", "Noël",
                             "cœur",  "naïf", "les",     "une",   "avec",  "pour",    "dans"};
    QString out;
    out.reserve(chars + 200);
    const qint64 every = chars / hits;
    qint64 sinceHit = 0;
    int placed = 0;
    unsigned seed = 12345;
    QString line;
    while (placed < hits - 1 || out.size() < chars - 100) {
        seed = seed * 1103515245u + 12345u;
        line += words[(seed >> 16) % 15] + QLatin1Char(' ');
        sinceHit += words[(seed >> 16) % 15].size() + 1;
        if (placed < hits - 1 && sinceHit >= every) {
            line += QStringLiteral("mot ");
            ++placed;
            sinceHit = 0;
        }
        if (line.size() >= 78) {
            out += line + QLatin1Char('\n');
            line.clear();
        }
    }
    return out + line + QStringLiteral("mot");
}

void drain()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

struct Bench
{
    Bench()
    {
        env.messageBox = &box;
        env.exitProgram = [](int) {};
        SetDefaultSettings();
        window = std::make_unique<MainWindow>(env);
        window->Form_Load();
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qWarning("the window was not exposed");
    }
    void load(const QString &text)
    {
        editorOf(*window)->setText(text);
        editorOf(*window)->setSelStart(0);
        editorOf(*window)->grab();
        drain();
    }
    Search &dlg() { return window->commands().SearchDialog(); }

    RecordingBox box;
    Surroundings env;
    std::unique_ptr<MainWindow> window;
};

double sedMs(const QString &path)
{
    QElapsedTimer timer;
    timer.start();
    QProcess::execute(QStringLiteral("sh"),
                      {QStringLiteral("-c"),
                       QStringLiteral("sed 's/mot/vocable/gI' '%1' > '%1.out'").arg(path)});
    return timer.nsecsElapsed() / 1e6;
}

struct ReplaceTimes
{
    double replaceMs;
    double paintMs;
};

// "Remplacer tout" clicked, then the window painted.
ReplaceTimes timeReplaceAll(Bench &b)
{
    QElapsedTimer timer;
    timer.start();
    b.dlg().cmdReplaceAll_Click();
    const double replaceMs = timer.nsecsElapsed() / 1e6;
    timer.restart();
    editorOf(*b.window)->grab();
    drain();
    return {replaceMs, timer.nsecsElapsed() / 1e6};
}

void writeFile(const QString &path, const QString &text)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(text.toUtf8());
}

void replaceAll(QTextStream &out, QTemporaryDir &dir, qint64 megabytes)
{
    const int hits = int(10000 * megabytes);
    const QString text = document(megabytes << 20, hits);
    Bench b;
    b.load(text);
    b.dlg().txtSearch->setText(QStringLiteral("mot"));
    b.dlg().txtReplace->setText(QStringLiteral("vocable"));

    const ReplaceTimes times = timeReplaceAll(b);
    QElapsedTimer timer;
    timer.start();
    b.window->commands().EditUndo();
    const double undoMs = timer.nsecsElapsed() / 1e6;
    const bool undone = editorOf(*b.window)->Text() == text;

    const QString path = dir.filePath(QStringLiteral("replace.txt"));
    writeFile(path, text);
    const double sed = sedMs(path);

    out << megabytes << " MB, " << hits << " hits: replace all " << times.replaceMs << " ms ("
        << b.box.last << "), repaint after " << times.paintMs << " ms, undo " << undoMs << " ms"
        << (undone ? "" : " (UNDO DID NOT RESTORE)") << "; sed " << sed << " ms, ratio "
        << times.replaceMs / sed << "\n";
    out.flush();
}

// A minified file: one line opened as a file, so that it is laid out as
// such lines are. Laying out the line again is measured apart, as the floor
// that the editing control sets to any edit of it.
void replaceInLine(QTextStream &out, QTemporaryDir &dir, qint64 chars, int hits)
{
    const QString text =
            (QStringLiteral("ab ") + QString(std::max<qint64>(chars / hits - 3, 0), QLatin1Char('x')))
                    .repeated(hits);
    const QString path = dir.filePath(QStringLiteral("line.txt"));
    writeFile(path, text);
    Bench b;
    editorOf(*b.window)->LoadFile(path);
    editorOf(*b.window)->grab();
    drain();
    b.dlg().txtSearch->setText(QStringLiteral("ab"));
    b.dlg().txtReplace->setText(QStringLiteral("abc"));

    QElapsedTimer timer;
    timer.start();
    const qsizetype found =
            TextMatcher(QStringLiteral("ab"), false, false).allIn(editorOf(*b.window)->Text(), 0).size();
    const double findMs = timer.nsecsElapsed() / 1e6;
    const ReplaceTimes times = timeReplaceAll(b);
    const QString result = editorOf(*b.window)->Text();
    timer.restart();
    editorOf(*b.window)->setText(result);
    const double relayoutMs = timer.nsecsElapsed() / 1e6;
    out << "one line of " << text.size() / 1024 << " KB, " << hits << " hits: " << found
        << " found in " << findMs << " ms (text read and matched); replace all " << times.replaceMs
        << " ms (" << b.box.last << "), repaint after " << times.paintMs
        << " ms; the control takes " << relayoutMs << " ms to take the same line anew\n";
    out.flush();
}

void stepping(QTextStream &out, int hits)
{
    const QString text = document(50 << 20, hits);
    Bench b;
    b.load(text);
    b.dlg().txtSearch->setText(QStringLiteral("mot"));

    QElapsedTimer total;
    total.start();
    double longest = 0;
    int steps = 0;
    while (b.box.count == 0) {
        QElapsedTimer one;
        one.start();
        b.dlg().cmdNext_Click();
        editorOf(*b.window)->viewport()->repaint();
        longest = std::max(longest, one.nsecsElapsed() / 1e6);
        ++steps;
    }
    const double totalMs = total.nsecsElapsed() / 1e6;
    out << "50 MB, " << hits << " hits: " << steps - 1 << " hits stepped through, then the miss, in "
        << totalMs << " ms; " << totalMs / steps << " ms a click, longest " << longest << " ms\n";
    out.flush();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QTextStream out(stdout);
    replaceInLine(out, dir, 60 * 1024, 20000);
    replaceInLine(out, dir, 10 << 20, 100000);
    for (qint64 megabytes : {1, 2, 5, 10})
        replaceAll(out, dir, megabytes);
    stepping(out, 1000);
    stepping(out, 1);
    return 0;
}
