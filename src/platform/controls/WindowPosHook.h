#pragma once
// The thread's window-position hook: one process-wide notice, raised after
// any control or form changed its position or size (the platform's
// WM_WINDOWPOSCHANGED seen by a WH_CALLWNDPROC hook). AddWindowPosHook
// answers an id for removing the hook; a hook is never called again once
// removed, and a hook that moves windows is not called again from inside.
#include <functional>

class TControl;

using TWindowPosHook = std::function<void(TControl* Changed)>;
int AddWindowPosHook(TWindowPosHook Hook);
void RemoveWindowPosHook(int Id);
int WindowPosHookCount();
