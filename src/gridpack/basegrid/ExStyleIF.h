#pragma once
// The style vocabulary the grid and the drop-down controls share (component
// styles, Office colour themes, colour tones and the two style interfaces),
// the answers to which Windows and Office look is in force, and the notifier
// that tells registered windows when the Office theme changes.
//
// This platform answers as Windows 6.1 with common controls 6.10 and visual
// styles not active, and has no registry: no Office version is found, the
// theme is ot2003Classic, and the notifier never makes a window or a thread.
#include "platform/controls/Controls.h"
#include "platform/core/Components.h"
#include "platform/core/Lists.h"
#include "platform/core/Threads.h"
#include "platform/graphics/Graphics.h"

#include <QString>

#include <cstdint>
#include <functional>

enum TQORStyle {
    tsOffice2003Blue, tsOffice2003Silver, tsOffice2003Olive, tsOffice2003Classic, tsOffice2007Luna,
    tsOffice2007Obsidian, tsWindowsXP, tsWhidbey, tsCustom, tsOffice2007Silver, tsWindowsVista, tsWindows7,
    tsTerminal, tsOffice2010Blue, tsOffice2010Silver, tsOffice2010Black
};

enum TOfficeTheme {
    ot2003Blue, ot2003Silver, ot2003Olive, ot2003Classic, ot2007Blue, ot2007Silver, ot2007Black, ot2010Blue,
    ot2010Silver, ot2010Black, otUnknown
};

struct TColorTone {
    TColor BrushColor = clNone;
    TColor BorderColor = clNone;
    TColor TextColor = clNone;
};

struct TColorTones {
    TColorTone Background;
    TColorTone Foreground;
    TColorTone Selected;
    TColorTone Hover;
    TColorTone Disabled;
};

class IQORStyle {
public:
    virtual ~IQORStyle() = default;
    virtual void SetComponentStyle(TQORStyle AStyle) = 0;
};

class IQORTones {
public:
    virtual ~IQORTones() = default;
    virtual void SetColorTones(const TColorTones& ATones) = 0;
};

// The message a watched window receives when the Office theme changes:
// WParam the watched root key, LParam the watched key's path text.
constexpr unsigned OfficeThemeChangeMessage = 2993; // WM_USER + 1969

// A list of window handles.
class THandleList : public TList {
    KAL_CLASS(THandleList, TList)
public:
    int Add(std::intptr_t Value);
    void Insert(int Index, std::intptr_t Value);
    void Delete(int Index);
    void DeleteValue(std::intptr_t Value);
    bool HasValue(std::intptr_t Value) const;
    std::intptr_t GetInteger(int Index) const;
    void SetInteger(int Index, std::intptr_t Value);
};

// Watches the Office theme key and sends OfficeThemeChangeMessage to Wnd and
// to every window of WinList when a value under it changes. WinList is
// guarded by its own lock: the user-interface thread changes it while the
// watch thread walks it.
class TRegMonitorThread : public TThread {
    KAL_CLASS(TRegMonitorThread, TThread)
public:
    TRegMonitorThread() : TThread(true) {}
    QString Key;
    std::intptr_t RootKey = 0;
    bool WatchSub = true;
    // Reading 0 gives 15, every kind of change.
    unsigned Filter() const { return FFilter == 0 ? 15u : FFilter; }
    void SetFilter(unsigned v) { FFilter = v; }
    HWND Wnd = 0;
    void RegisterWindow(HWND h);
    void UnRegisterWindow(HWND h);
    bool IsRegistered(HWND h);
    // Sets the terminate flag and wakes the wait.
    void Stop();

protected:
    void Execute() override;

private:
    unsigned FFilter = 0;
    std::mutex FListLock;
    THandleList WinList;
    std::mutex FWaitLock;
    std::condition_variable FChange;
    bool FSignalled = false;
};

// A never visible window that turns the theme-change message into an event.
class TThemeNotifierWindow : public TWinControl {
    KAL_CLASS(TThemeNotifierWindow, TWinControl)
public:
    explicit TThemeNotifierWindow(TComponent* AOwner);
    TNotifyEvent OnOfficeThemeChange;

protected:
    void WndProc(TMessage& Message) override;
};

class TThemeNotifier : public TComponent {
    KAL_CLASS(TThemeNotifier, TComponent)
public:
    explicit TThemeNotifier(TComponent* AOwner);
    ~TThemeNotifier() override;
    // Nothing without a watch thread; a window already registered is not
    // added again.
    void RegisterWindow(HWND Handle);
    void UnRegisterWindow(HWND Handle);
    TRegMonitorThread* RegMonitorThread() const { return FRegMonitorThread; }
    TThemeNotifierWindow* Notifier() const { return FNotifier; }
    TNotifyEvent OnOfficeThemeChange;

private:
    TRegMonitorThread* FRegMonitorThread = nullptr;
    TThemeNotifierWindow* FNotifier = nullptr;
};

// The process-wide notifier, none until AcquireThemeNotifier makes it.
extern TThemeNotifier* ThemeNotifierInstance;
// The process-wide notifier, made on first use (owned by the main form when
// it has a window, else by Owner).
TThemeNotifier* AcquireThemeNotifier(TComponent* Owner);

bool IsVistaOrLater();
bool IsWinXPOrLater();
bool HasComCtl6();
// Common controls 6 with visual styles in use.
bool IsThemedComCtl6();
// "Segoe UI" from Vista on, else "Tahoma".
QString DefaultUIFontName();
// 1 Luna blue ("NormalColor"), 2 olive ("HomeStead"), 3 silver ("Metallic"),
// 0 otherwise or with visual styles off.
int DetectXPColorScheme();
// The scheme found at start-up.
int CurrentXPScheme();
// 2 Office 2010, 1 Office 2007, 0 neither.
int DetectOfficeVersion();
// The integer value "Theme" under the key, -1 when key or value is missing.
int ReadOfficeThemeValue(const QString& Key);
TOfficeTheme DetectOfficeTheme();
