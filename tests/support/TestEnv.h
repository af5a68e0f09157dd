#pragma once

#include "app/Surroundings.h"
#include "support/FakeCommonDialog.h"
#include "support/FakeMessageBox.h"

#include <QTemporaryDir>

#include <memory>

// Surroundings for one test case: a fresh program directory, scripted
// boxes, an exit that only records its call, and a fixed clock. Settings
// and document state are back at their defaults with no placement.
struct TestEnv
{
    TestEnv();
    // Fails the test when a scripted answer was never asked for: the
    // program skipped a question the test expected.
    ~TestEnv();

    QString file(const QString &name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    FakeMessageBox messageBox;
    FakeCommonDialog comDlg;
    Surroundings env;
    int exitCalls = 0;
    QDateTime clock = QDateTime(QDate(2026, 12, 7), QTime(11, 40, 5));
};

QByteArray readBytes(const QString &path);
bool writeBytes(const QString &path, const QByteArray &bytes);

#include <functional>

// Runs body in a forked child whose files may not grow past fileSizeLimit
// bytes (SIGXFSZ ignored, so a write fails with an error from the system,
// even as root). Returns the child's exit code, or -1 if it did not exit.
int runWithFileSizeLimit(qint64 fileSizeLimit, const std::function<int()> &body);
// Runs body in a forked child that, when it was root, has become the user
// nobody, so that the permissions of files and folders apply to it.
int runAsNobody(const std::function<int()> &body);
// The user and group ids of nobody.
uint nobodyUid();
uint nobodyGid();

class QWidget;
// Types text into widget key by key; unlike QTest::keyClicks it takes any
// character ("é", "€").
void typeText(QWidget *widget, const QString &text);

class MainWindow;
class QAction;
class QTimer;
class RichTextBox;
// The main window's parts, found by their control names as a user's tools would.
RichTextBox *editorOf(const MainWindow &window);
QAction *actionOf(const MainWindow &window, const QString &name);
QTimer *dropTimerOf(const MainWindow &window);
