#pragma once

#include <QString>

struct Surroundings;

// Where the settings and quick-save files live: beside the program for a
// portable copy, in the user's own folder for an installed one (a program
// folder that cannot be written, one of the system's, or any "bin").
QString SettingsDirectory(const QString &programDir, const QString &userDir);

// The real surroundings of the running program.
Surroundings RealSurroundings();
