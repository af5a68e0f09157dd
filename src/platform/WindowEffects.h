#pragma once

#include <QtGlobal>

class QWidget;
struct Surroundings;

// Whole-window translucency and the stay-on-top state of a top-level window.
// A window made translucent stays "layered" (the property below) until the
// translucency is removed, even at full opacity.
namespace WindowEffects {

inline constexpr const char *LayeredProperty = "qorvikLayered";

// Makes the window layered, then sets its opacity (0 transparent, 255 opaque).
void ApplyTransparency(const Surroundings &env, QWidget &window, quint8 level);
// Where the window system cannot make a window translucent, warns the user
// and turns TransparencyOn off.
void SetWindowAlpha(const Surroundings &env, QWidget &window, quint8 level);
// Drawn opaque again.
void RemoveTransparency(QWidget &window);
bool IsLayered(const QWidget &window);

// Puts the window in the stay-on-top band or takes it out, without
// re-creating, moving, resizing or activating it.
void SetMainWindowTopmost(QWidget &window, bool on);
bool IsTopmost(const QWidget &window);

// The real answer: false on window systems that cannot make a top-level
// window translucent (Wayland).
bool PlatformSupportsTranslucency();

} // namespace WindowEffects

using WindowEffects::ApplyTransparency;
using WindowEffects::RemoveTransparency;
using WindowEffects::SetMainWindowTopmost;
using WindowEffects::SetWindowAlpha;
