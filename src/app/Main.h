#pragma once

#include <memory>

class MainWindow;
struct Surroundings;

// The real surroundings of the running program.
Surroundings RealSurroundings();

// Start-up: defaults, then the settings file over them, then the main
// window, shown.
std::unique_ptr<MainWindow> Main(Surroundings &env);
