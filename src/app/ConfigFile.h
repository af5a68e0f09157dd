#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

struct Surroundings;

// The main window's live placement at the moment of writing, in twips.
struct WindowPlacement
{
    int state = 0; // 0 normal, 1 minimized, 2 maximized
    qint32 left = 0;
    qint32 top = 0;
    qint32 width = 0;
    qint32 height = 0;
};

// The settings file beside the program: 17 values, one a line, CR LF.
namespace ConfigFile {

QString Path(const QString &programDir);

// Stores each value into the settings as soon as it is read, as the file
// format has always done; false at the first value that does not convert
// or at the end of the data before the 17th value.
bool Parse(const QByteArray &bytes);

// The file's bytes for the current settings and the given live placement.
QByteArray Format(const WindowPlacement &live);

} // namespace ConfigFile

// False when there is no file (silently) or when it could not be read; then
// the defaults are back, the user was warned and the file is gone.
bool ReadConfigFile(const Surroundings &env);

// Writes through a temporary file: a failed write keeps the previous file.
bool WriteConfigFile(const Surroundings &env, const WindowPlacement &live);
