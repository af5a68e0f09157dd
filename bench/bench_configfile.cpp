// Reads and writes the settings file many times; the figure to watch is the
// time per round trip.
#include "app/ConfigFile.h"
#include "app/Globals.h"

#include <QElapsedTimer>
#include <QTextStream>

int main()
{
    SetDefaultSettings();
    const WindowPlacement placement{0, 1500, 1200, 8115, 5520};
    constexpr int Rounds = 100000;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < Rounds; ++i) {
        if (!ConfigFile::Parse(ConfigFile::Format(placement)))
            return 1;
    }
    QTextStream(stdout) << "settings format+parse: " << double(timer.nsecsElapsed()) / Rounds / 1000.0
                        << " us per round trip\n";
    return 0;
}
