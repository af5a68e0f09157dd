#pragma once

#include <QString>
#include <QtGlobal>

// The user's settings and the saved window placement, in the order the
// configuration file stores them. Colours are 0x00BBGGRR or a system colour
// reference 0x80000000 + index; window measures are in twips.
struct Settings
{
    bool SaveOnExit = false;
    quint8 WindowState = 0;
    qint32 WindowLeft = 0;
    qint32 WindowTop = 0;
    qint32 WindowWidth = 0;
    qint32 WindowHeight = 0;
    quint32 TextColor = 0;
    quint32 TextBackColor = 0;
    bool TransparencyOn = false;
    quint8 TransparencyLevel = 0;
    bool AlwaysOnTop = false;
    QString FontName;
    qint16 FontSize = 0;
    bool FontBold = false;
    bool FontItalic = false;
    QString FileFilter;
    QString DefaultDir;
};

// The one open document.
struct DocumentState
{
    QString DocPath;
    QString DocTitle;
    bool DocNamed = false;
    bool DocSaved = false;
};

namespace Globals {

inline constexpr quint32 SystemColorWindow = 0x80000005;
inline constexpr quint32 SystemColorWindowText = 0x80000008;

inline const QString ProductTitle = QStringLiteral("Qorvik Note Pad");
inline const QString UntitledName = QStringLiteral("Sans titre.txt");

// Process-wide, like the rest of the program's state; tests reset them with
// SetDefaultSettings (and ResetWindowBounds for the placement).
extern Settings settings;
extern DocumentState doc;

} // namespace Globals

// Every field that has a default; never the four window-bound fields.
void SetDefaultSettings();

// Back to the state before any configuration file was read.
void ResetWindowBounds();
