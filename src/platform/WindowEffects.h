#pragma once

#include <QtGlobal>

#include <functional>

class QWidget;

// Whole-window translucency and the stay-on-top state of a top-level window.
// A window made translucent stays "layered" (the property below) until the
// translucency is removed, even at full opacity.
namespace WindowEffects {

inline constexpr const char *LayeredProperty = "qorvikLayered";

// Whether the window system can make a top-level window translucent.
using TranslucencyQuery = std::function<bool()>;
bool PlatformSupportsTranslucency();

// Makes the window layered, then sets its opacity (0 transparent, 255
// opaque). False, and nothing changed, where supported says it cannot be.
bool ApplyTransparency(QWidget &window, quint8 level,
                       const TranslucencyQuery &supported = PlatformSupportsTranslucency);
bool SetWindowAlpha(QWidget &window, quint8 level,
                    const TranslucencyQuery &supported = PlatformSupportsTranslucency);
// Drawn opaque again.
void RemoveTransparency(QWidget &window);
bool IsLayered(const QWidget &window);

// Puts the window in the stay-on-top band or takes it out, without
// re-creating, moving, resizing or activating it.
void SetMainWindowTopmost(QWidget &window, bool on);
bool IsTopmost(const QWidget &window);

} // namespace WindowEffects

using WindowEffects::ApplyTransparency;
using WindowEffects::RemoveTransparency;
using WindowEffects::SetMainWindowTopmost;
using WindowEffects::SetWindowAlpha;
