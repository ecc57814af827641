#pragma once
// The run-time binding of the platform's visual-style library. Every themed
// painter asks it first: when the library is not there the binding stays
// "not loaded", every entry point stays empty, and the painters take their
// classic look. Two like bindings exist with separate state: XPVS for the
// grid, its buttons and check boxes and the painting routines, ATXPVS for
// the drop-down editors' buttons. On this platform there is no visual-style
// library, so both stay unloaded.
#include <QString>

#include <cstdint>

class TCanvas;
struct TRect;

using HTHEME = std::intptr_t; // an open set of theme data; 0 is none

// An entry point of the library. The few that painters call have their own
// signature; the rest are bound by name only.
using TThemeProc = std::intptr_t (*)();

struct TThemeBinding {
    bool Loaded = false;
    std::intptr_t Module = 0;

    HTHEME (*OpenThemeData)(std::intptr_t Window, const QString& ClassList) = nullptr;
    int (*CloseThemeData)(HTHEME Theme) = nullptr;
    int (*DrawThemeBackground)(HTHEME Theme, TCanvas* Canvas, int PartId, int StateId, const TRect& Rect,
                               const TRect* Clip) = nullptr;
    TThemeProc DrawThemeText = nullptr;
    TThemeProc GetThemeBackgroundContentRect = nullptr;
    TThemeProc GetThemeBackgroundExtent = nullptr;
    TThemeProc GetThemeTextExtent = nullptr;
    TThemeProc GetThemeTextMetrics = nullptr;
    TThemeProc GetThemeBackgroundRegion = nullptr;
    TThemeProc HitTestThemeBackground = nullptr;
    TThemeProc DrawThemeEdge = nullptr;
    TThemeProc DrawThemeIcon = nullptr;
    TThemeProc IsThemePartDefined = nullptr;
    TThemeProc IsThemeBackgroundPartiallyTransparent = nullptr;
    TThemeProc GetThemeColor = nullptr;
    TThemeProc GetThemeMetric = nullptr;
    TThemeProc GetThemeString = nullptr;
    TThemeProc GetThemeBool = nullptr;
    TThemeProc GetThemeInt = nullptr;
    TThemeProc GetThemeEnumValue = nullptr;
    TThemeProc GetThemePosition = nullptr;
    TThemeProc GetThemeFont = nullptr;
    TThemeProc GetThemeRect = nullptr;
    TThemeProc GetThemeMargins = nullptr;
    TThemeProc GetThemeIntList = nullptr;
    TThemeProc SetWindowTheme = nullptr;
    TThemeProc GetThemeFilename = nullptr;
    TThemeProc GetThemeSysColor = nullptr;
    TThemeProc GetThemeSysColorBrush = nullptr;
    TThemeProc GetThemeSysBool = nullptr;
    TThemeProc GetThemeSysSize = nullptr;
    TThemeProc GetThemeSysFont = nullptr;
    TThemeProc GetThemeSysString = nullptr;
    TThemeProc GetThemeSysInt = nullptr;
    bool (*IsThemeActive)() = nullptr;
    bool (*IsAppThemed)() = nullptr;
    TThemeProc GetWindowTheme = nullptr;
    TThemeProc EnableThemeDialogTexture = nullptr;
    TThemeProc IsThemeDialogTextureEnabled = nullptr;
    TThemeProc GetThemeAppProperties = nullptr;
    TThemeProc SetThemeAppProperties = nullptr;
    TThemeProc GetCurrentThemeName = nullptr;
    TThemeProc GetThemeDocumentationProperty = nullptr;
    TThemeProc DrawThemeParentBackground = nullptr;
    TThemeProc EnableTheming = nullptr;
};

// The binding of the grid and its painters.
extern TThemeBinding XPVS;
// The binding of the drop-down editors' buttons.
extern TThemeBinding ATXPVS;

// Bind the library once (nothing when loaded); a library that cannot be
// opened leaves the binding unloaded with every entry point empty.
void InitXPVS();
void InitATXPVS();
// Free the library when loaded and clear the loaded flag.
void FreeXPVS();
void FreeATXPVS();
// True only while the binding is loaded and the library reports an active
// theme: the test every themed painter makes first.
bool XPVSThemeActive();
