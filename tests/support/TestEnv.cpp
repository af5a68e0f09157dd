#include "support/TestEnv.h"

#include "app/Globals.h"
#include "platform/RichTextBox.h"
#include "ui/main/MainWindow.h"
#include "ui/search/SearchState.h"

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QTest>
#include <QTimer>

TestEnv::TestEnv()
{
    env.programDir = dir.path();
    env.messageBox = &messageBox;
    env.comDlg = &comDlg;
    env.exitProgram = [this](int) { ++exitCalls; };
    env.now = [this] { return clock; };
    env.runModal = [](QDialog &dialog) {
        QTest::qFail(qPrintable(QStringLiteral("unscripted modal dialog: ") + dialog.windowTitle()),
                     __FILE__, __LINE__);
        return int(QDialog::Rejected);
    };
    env.newCommonDialog = [] { return std::make_unique<FakeCommonDialog>(); };
    env.translucencySupported = [] { return true; };
    SetDefaultSettings();
    ResetWindowBounds();
    Globals::search = SearchState();
}

TestEnv::~TestEnv()
{
    if (!QTest::currentTestFailed() && !(messageBox.allAnswersUsed() && comDlg.allAnswersUsed()))
        QTest::qFail("a scripted answer was never asked for", __FILE__, __LINE__);
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

#include <csignal>
#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

int runInChild(const std::function<void()> &prepare, const std::function<int()> &body)
{
    const pid_t child = fork();
    if (child == 0) {
        prepare();
        _exit(body());
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

} // namespace

int runWithFileSizeLimit(qint64 fileSizeLimit, const std::function<int()> &body)
{
    return runInChild(
            [fileSizeLimit] {
                signal(SIGXFSZ, SIG_IGN);
                rlimit limit{rlim_t(fileSizeLimit), rlim_t(fileSizeLimit)};
                setrlimit(RLIMIT_FSIZE, &limit);
            },
            body);
}

uint nobodyUid()
{
    const passwd *const nobody = getpwnam("nobody");
    return nobody ? nobody->pw_uid : 65534;
}

uint nobodyGid()
{
    const passwd *const nobody = getpwnam("nobody");
    return nobody ? nobody->pw_gid : 65534;
}

int runAsNobody(const std::function<int()> &body)
{
    return runInChild(
            [] {
                if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(nobodyGid()) != 0
                                       || setuid(nobodyUid()) != 0))
                    _exit(125);
            },
            body);
}

#include <QTest>

void typeText(QWidget *widget, const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() < 128 && c.unicode() >= 32)
            QTest::keyClick(widget, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

RichTextBox *editorOf(const MainWindow &window)
{
    return window.findChild<RichTextBox *>(QStringLiteral("txt"));
}

QAction *actionOf(const MainWindow &window, const QString &name)
{
    return window.findChild<QAction *>(name, Qt::FindDirectChildrenOnly);
}

QTimer *dropTimerOf(const MainWindow &window)
{
    return window.findChild<QTimer *>(QStringLiteral("tmrDragNDrop"));
}
