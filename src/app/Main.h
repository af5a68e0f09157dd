#pragma once

#include <QString>

#include <memory>

class MainWindow;
struct Surroundings;

// Where the settings and quick-save files live: beside the program for a
// portable copy, in the user's own folder for an installed one (a program
// folder that cannot be written, one of the system's, or any "bin").
QString SettingsDirectory(const QString &programDir, const QString &userDir);

// The real surroundings of the running program.
Surroundings RealSurroundings();

// Start-up: defaults, then the settings file over them, then the main
// window, shown.
std::unique_ptr<MainWindow> Main(Surroundings &env);
