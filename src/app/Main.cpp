#include "app/Main.h"

#include "app/ConfigFile.h"
#include "app/Globals.h"
#include "app/Surroundings.h"
#include "platform/CommonDialog.h"
#include "platform/WindowEffects.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString SettingsDirectory(const QString &programDir, const QString &userDir)
{
    // A "bin" folder is an installation, for everyone or for one user
    // (~/.local/bin), even when the user may write there.
    const bool installed = !QFileInfo(programDir).isWritable()
                           || programDir.startsWith(QLatin1String("/usr/"))
                           || QFileInfo(programDir).fileName() == QLatin1String("bin");
    return installed ? userDir : programDir;
}

Surroundings RealSurroundings()
{
    Surroundings env;
    env.programDir = SettingsDirectory(
            QCoreApplication::applicationDirPath(),
            QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    QDir().mkpath(env.programDir);
    env.commandLine = QCoreApplication::arguments().mid(1).join(QLatin1Char(' '));
    env.exitProgram = [](int code) { QCoreApplication::exit(code); };
    env.now = [] { return QDateTime::currentDateTime(); };
    env.runModal = [](QDialog &dialog) { return dialog.exec(); };
    env.newCommonDialog = [] { return std::make_unique<QtCommonDialog>(); };
    env.translucencySupported = WindowEffects::PlatformSupportsTranslucency;
    return env;
}
