#include "gridpack/basegrid/ExXPVS.h"

TThemeBinding XPVS;
TThemeBinding ATXPVS;

namespace {
// The platform offers no visual-style library: opening it always fails, as
// on a system without one, and the painters keep their classic look.
std::intptr_t LoadThemeLibrary(const char* /*name*/) { return 0; }

void Bind(TThemeBinding& b)
{
    if (b.Loaded)
        return;
    std::intptr_t module = LoadThemeLibrary("UXTHEME.DLL");
    // A handle below 32 is the platform's failure code.
    if (module < 32) {
        b = TThemeBinding();
        return;
    }
    b.Module = module;
    b.Loaded = true;
}

void Unbind(TThemeBinding& b)
{
    if (!b.Loaded)
        return;
    b = TThemeBinding();
}
} // namespace

void InitXPVS() { Bind(XPVS); }
void InitATXPVS() { Bind(ATXPVS); }
void FreeXPVS() { Unbind(XPVS); }
void FreeATXPVS() { Unbind(ATXPVS); }

bool XPVSThemeActive() { return XPVS.Loaded && XPVS.IsThemeActive && XPVS.IsThemeActive(); }
