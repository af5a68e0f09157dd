#include "platform/WindowEffects.h"

#include "app/Globals.h"
#include "app/Surroundings.h"
#include "platform/MessageBox.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace WindowEffects {

void ApplyTransparency(const Surroundings &env, QWidget &window, quint8 level)
{
    window.setProperty(LayeredProperty, true);
    SetWindowAlpha(env, window, level);
}

void SetWindowAlpha(const Surroundings &env, QWidget &window, quint8 level)
{
    const bool supported = env.translucencySupported ? env.translucencySupported()
                                                     : PlatformSupportsTranslucency();
    if (!supported) {
        env.messageBox->warn(QStringLiteral("Impossible d'appliquer la transparence à la fenêtre.\n"
                                            "Cette fonction est réservée à Windows 2000/XP."),
                             Globals::ProductTitle);
        Globals::settings.TransparencyOn = false;
        return;
    }
    window.setWindowOpacity(level / 255.0);
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

bool PlatformSupportsTranslucency()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace WindowEffects
