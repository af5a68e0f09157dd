#include "app/Globals.h"

#include "app/Conversion.h"

#include <QDir>

namespace Globals {
Settings settings;
DocumentState doc;
} // namespace Globals

void SetDefaultSettings()
{
    using Globals::doc;
    using Globals::settings;
    settings.FileFilter = QStringLiteral("*.txt;*.bat;*.ini;*.log");
    settings.FontName = QStringLiteral("Lucida Console");
    settings.SaveOnExit = true;
    doc.DocSaved = true;
    settings.FontSize = 10;
    settings.AlwaysOnTop = false;
    settings.FontBold = false;
    settings.FontItalic = false;
    doc.DocNamed = false;
    settings.TransparencyOn = false;
    settings.DefaultDir = QDir::toNativeSeparators(QDir::currentPath());
    settings.WindowState = 0;
    settings.TransparencyLevel = 200;
    settings.TextBackColor = Globals::SystemColorWindow;
    settings.TextColor = Globals::SystemColorWindowText;
    doc.DocPath = Globals::UntitledName;
    doc.DocTitle = ExtractDisplayName(doc.DocPath);
}

void ResetWindowBounds()
{
    Globals::settings.WindowLeft = 0;
    Globals::settings.WindowTop = 0;
    Globals::settings.WindowWidth = 0;
    Globals::settings.WindowHeight = 0;
}
