// Opening, saving and typing into big documents through the real window.
// Figures: open (load + decode + document build + first layout and paint),
// save, and the time per keystroke at the end of the text, handlers included.
#include "app/Document.h"
#include "app/Globals.h"
#include "app/Surroundings.h"
#include "platform/CommonDialog.h"
#include "platform/MessageBox.h"
#include "platform/RichTextBox.h"
#include "ui/main/MainWindow.h"
#include "support/TestEnv.h"

#include "FrenchText.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <sys/resource.h>

namespace {

class SilentBox final : public MessageBox
{
public:
    Answer show(const QString &, Buttons, Icon, const QString &, Answer) override
    {
        return Answer::No;
    }
};

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
           + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void drain()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

void measure(QTextStream &out, const QString &label, const QByteArray &bytes, QTemporaryDir &dir)
{
    const QString path = dir.filePath(label + QStringLiteral(".txt"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    file.close();

    SilentBox box;
    QtCommonDialog comDlg;
    Surroundings env;
    env.programDir = dir.path();
    env.messageBox = &box;
    env.comDlg = &comDlg;
    env.exitProgram = [](int) {};
    SetDefaultSettings();
    MainWindow window(env);
    window.Form_Load();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        out << "window not exposed\n";
    drain();

    QElapsedTimer timer;
    timer.start();
    QString p = path;
    window.document().OpenDocument(p);
    editorOf(window)->grab(); // first layout and paint
    drain();
    const double openMs = timer.nsecsElapsed() / 1e6;

    // A window that keeps working after the text is shown burns the CPU.
    const double cpuBefore = cpuSeconds();
    QTest::qWait(2000);
    const double idleCpuMs = (cpuSeconds() - cpuBefore) * 1000;

    editorOf(window)->setSelStart(editorOf(window)->TextLength());
    constexpr int Keys = 50;
    timer.restart();
    for (int i = 0; i < Keys; ++i) {
        QTest::keyClick(editorOf(window), 'x');
        editorOf(window)->viewport()->repaint();
    }
    const double keyMs = timer.nsecsElapsed() / 1e6 / Keys;

    timer.restart();
    window.document().SaveDocument(Globals::doc.DocPath);
    const double saveMs = timer.nsecsElapsed() / 1e6;

    out << label << ": open " << openMs << " ms, CPU in the next 2 s " << idleCpuMs
        << " ms, keystroke at end " << keyMs << " ms, save " << saveMs << " ms\n";
    out.flush();
    Globals::doc.DocSaved = true;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QTextStream out(stdout);
    measure(out, QStringLiteral("text_10M"), frenchText(10 << 20, Lines::CrLf), dir);
    measure(out, QStringLiteral("text_50M"), frenchText(50 << 20, Lines::CrLf), dir);
    // Half of the lines end in LF, at random: the worst case of mixed line ends.
    measure(out, QStringLiteral("mixed_50M"), frenchText(50 << 20, Lines::Mixed), dir);
    measure(out, QStringLiteral("oneline_10M"), frenchText(10 << 20, Lines::Single), dir);
    return 0;
}
