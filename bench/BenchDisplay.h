#pragma once
// Benchmarks run on machines without a screen (a build server, an ssh
// session): with no display and no platform asked for, the off-screen
// platform is taken before the toolkit starts. A caller that sets
// QT_QPA_PLATFORM, or a desktop session, keeps its own.
#include <QtGlobal>

inline void Use_Offscreen_Without_Display()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}
