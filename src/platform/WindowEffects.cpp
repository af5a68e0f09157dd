#include "platform/WindowEffects.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace WindowEffects {

bool PlatformSupportsTranslucency()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool ApplyTransparency(QWidget &window, quint8 level, const TranslucencyQuery &supported)
{
    window.setProperty(LayeredProperty, true);
    return SetWindowAlpha(window, level, supported);
}

bool SetWindowAlpha(QWidget &window, quint8 level, const TranslucencyQuery &supported)
{
    if (supported && !supported())
        return false;
    window.setWindowOpacity(level / 255.0);
    return true;
}

void RemoveTransparency(QWidget &window)
{
    window.setProperty(LayeredProperty, false);
    window.setWindowOpacity(1.0);
}

bool IsLayered(const QWidget &window)
{
    return window.property(LayeredProperty).toBool();
}

void SetMainWindowTopmost(QWidget &window, bool on)
{
    Qt::WindowFlags flags = window.windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, on);
    // setWindowFlags() would destroy and re-create the native window, which
    // blinks and takes the focus; this only tells the window manager.
    window.overrideWindowFlags(flags);
    QWindow *handle = window.windowHandle();
    if (!handle)
        return;
    // The band can be changed from outside the program, so the flags Qt
    // remembers prove nothing; and Qt drops a request for the flags it
    // believes the window has, so it first hears the other band.
    if (handle->flags() == flags)
        handle->setFlags(flags ^ Qt::WindowStaysOnTopHint);
    handle->setFlags(flags);
}

bool IsTopmost(const QWidget &window)
{
    return window.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

} // namespace WindowEffects
