// Our text store and view against QPlainTextEdit on the same files, each
// case in a process of its own so that memory figures do not mix. Figures:
// open (decode + build + first paint), memory added, a keystroke at the end
// (with its repaint), a caret move and a scroll step at the middle of the text.
#include "platform/TextFile.h"
#include "platform/TextView.h"

#include "FrenchText.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace {

double residentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/statm"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    return status.readAll().split(' ').value(1).toDouble() * 4096 / (1 << 20);
}

template<typename Step>
double perStep(QWidget *repainted, int count, Step step)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i) {
        step();
        repainted->repaint();
    }
    return timer.nsecsElapsed() / 1e6 / count;
}

int runCase(const QString &engine, const QString &path)
{
    QTextStream out(stdout);
    const double before = residentMegabytes();
    QElapsedTimer timer;
    timer.start();
    std::optional<DecodedText> decoded = TextFile::Load(path);
    if (!decoded)
        return 1;
    double openMs = 0;
    double keyMs = 0;
    double moveMs = 0;
    double scrollMs = 0;
    if (engine == QLatin1String("plain")) {
        QPlainTextEdit edit;
        edit.resize(1000, 800);
        edit.show();
        edit.document()->setPlainText(decoded->text);
        decoded.reset();
        edit.viewport()->repaint();
        openMs = timer.nsecsElapsed() / 1e6;
        const double memory = residentMegabytes() - before;
        edit.moveCursor(QTextCursor::End);
        keyMs = perStep(edit.viewport(), 20, [&] { QTest::keyClick(&edit, 'x'); });
        QTextCursor middle(edit.document());
        middle.setPosition(edit.document()->characterCount() / 2);
        edit.setTextCursor(middle);
        moveMs = perStep(edit.viewport(), 20, [&] { QTest::keyClick(&edit, Qt::Key_Right); });
        scrollMs = perStep(edit.viewport(), 20, [&] {
            edit.verticalScrollBar()->setValue(edit.verticalScrollBar()->value() + 1);
        });
        out << memory;
    } else {
        TextView view;
        view.resize(1000, 800);
        view.show();
        view.load(std::move(decoded->text), decoded->format.lineEnd);
        decoded.reset();
        view.viewport()->repaint();
        openMs = timer.nsecsElapsed() / 1e6;
        const double memory = residentMegabytes() - before;
        view.setSelection(view.store().length(), view.store().length());
        keyMs = perStep(view.viewport(), 20, [&] { QTest::keyClick(&view, 'x'); });
        view.setSelection(view.store().length() / 2, view.store().length() / 2);
        moveMs = perStep(view.viewport(), 20, [&] { QTest::keyClick(&view, Qt::Key_Right); });
        scrollMs = perStep(view.viewport(), 20, [&] {
            QWheelEvent wheel(QPointF(10, 10), view.mapToGlobal(QPointF(10, 10)), QPoint(),
                              QPoint(0, -40), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(view.viewport(), &wheel);
        });
        out << memory;
    }
    out << " MB, open " << openMs << " ms, keystroke at end " << keyMs << " ms, caret move "
        << moveMs << " ms, scroll step " << scrollMs << " ms\n";
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc == 3)
        return runCase(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    QTemporaryDir dir;
    QTextStream out(stdout);
    const struct
    {
        const char *name;
        qint64 bytes;
        bool singleLine;
    } files[] = {{"text_10M", 10 << 20, false}, {"text_50M", 50 << 20, false},
                 {"oneline_10M", 10 << 20, true}};
    for (const auto &f : files) {
        const QString path = dir.filePath(QString::fromLatin1(f.name));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(frenchText(f.bytes, f.singleLine ? Lines::Single : Lines::CrLf));
        file.close();
        for (const char *engine : {"plain", "view"}) {
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            child.start(QCoreApplication::applicationFilePath(),
                        {QString::fromLatin1(engine), path});
            child.waitForFinished(-1);
            out << f.name << ' '
                << (qstrcmp(engine, "plain") == 0 ? "QPlainTextEdit" : "TextView") << ": "
                << child.readAllStandardOutput();
            out.flush();
        }
    }
    return 0;
}
