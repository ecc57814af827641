#include "gridpack/basegrid/ExStyleIF.h"

#include "gridpack/basegrid/ExXPVS.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Messages.h"

TThemeNotifier* ThemeNotifierInstance = nullptr;

namespace {
void* FromHandle(std::intptr_t v) { return reinterpret_cast<void*>(v); }
std::intptr_t ToHandle(void* p) { return reinterpret_cast<std::intptr_t>(p); }

const QString Office14Key = QStringLiteral("Software\\Microsoft\\Office\\14.0\\Common");
const QString Office12Key = QStringLiteral("Software\\Microsoft\\Office\\12.0\\Common");
constexpr std::intptr_t HKEY_CURRENT_USER = std::intptr_t(0x80000001);

// The platform keeps no registry: no key exists.
bool RegistryKeyExists(const QString& /*key*/) { return false; }
} // namespace

// --- THandleList -------------------------------------------------------------

int THandleList::Add(std::intptr_t Value) { return TList::Add(FromHandle(Value)); }
void THandleList::Insert(int Index, std::intptr_t Value) { TList::Insert(Index, FromHandle(Value)); }
void THandleList::Delete(int Index) { TList::Delete(Index); }
void THandleList::DeleteValue(std::intptr_t Value)
{
    int i = IndexOf(FromHandle(Value));
    if (i >= 0)
        Delete(i);
}
bool THandleList::HasValue(std::intptr_t Value) const { return IndexOf(FromHandle(Value)) >= 0; }
std::intptr_t THandleList::GetInteger(int Index) const { return ToHandle(Items(Index)); }
void THandleList::SetInteger(int Index, std::intptr_t Value) { SetItems(Index, FromHandle(Value)); }

// --- TRegMonitorThread ----------------------------------------------------------

void TRegMonitorThread::RegisterWindow(HWND h)
{
    std::lock_guard<std::mutex> g(FListLock);
    if (!WinList.HasValue(h))
        WinList.Add(h);
}

void TRegMonitorThread::UnRegisterWindow(HWND h)
{
    std::lock_guard<std::mutex> g(FListLock);
    WinList.DeleteValue(h);
}

bool TRegMonitorThread::IsRegistered(HWND h)
{
    std::lock_guard<std::mutex> g(FListLock);
    return WinList.HasValue(h);
}

void TRegMonitorThread::Stop()
{
    Terminate();
    std::lock_guard<std::mutex> g(FWaitLock);
    FSignalled = true;
    FChange.notify_all();
}

void TRegMonitorThread::Execute()
{
    if (!RegistryKeyExists(Key))
        throw Exception(QStringLiteral("Unable to open registry key ") + Key);
    while (!Terminated()) {
        {
            std::unique_lock<std::mutex> g(FWaitLock);
            FChange.wait(g, [this] { return FSignalled; });
            FSignalled = false;
        }
        if (Terminated())
            break;
        std::vector<HWND> targets;
        if (Wnd)
            targets.push_back(Wnd);
        {
            std::lock_guard<std::mutex> g(FListLock);
            for (int i = 0; i < WinList.Count(); ++i)
                targets.push_back(WinList.GetInteger(i));
        }
        const QString key = Key;
        const std::intptr_t root = RootKey;
        Synchronize([&] {
            for (HWND h : targets)
                if (TWinControl* w = FindControl(h))
                    w->Perform(OfficeThemeChangeMessage, WPARAM(root), LPARAM(&key));
        });
    }
}

// --- TThemeNotifierWindow --------------------------------------------------------

TThemeNotifierWindow::TThemeNotifierWindow(TComponent* AOwner) : TWinControl(AOwner) { SetVisible(false); }

void TThemeNotifierWindow::WndProc(TMessage& Message)
{
    if (Message.Msg == OfficeThemeChangeMessage && OnOfficeThemeChange)
        OnOfficeThemeChange(this);
    TWinControl::WndProc(Message);
}

// --- TThemeNotifier ------------------------------------------------------------

TThemeNotifier::TThemeNotifier(TComponent* AOwner) : TComponent(AOwner)
{
    const int g = DetectOfficeVersion();
    if (g != 1 && g != 2)
        return;
    FNotifier = new TThemeNotifierWindow(this);
    if (auto* parent = dynamic_cast<TWinControl*>(AOwner))
        FNotifier->SetParent(parent);
    FNotifier->OnOfficeThemeChange = [this](TObject*) {
        if (OnOfficeThemeChange)
            OnOfficeThemeChange(this);
    };
    FRegMonitorThread = new TRegMonitorThread();
    FRegMonitorThread->FreeOnTerminate = true;
    FRegMonitorThread->Wnd = FNotifier->Handle();
    FRegMonitorThread->SetFilter(4);
    FRegMonitorThread->Key = g == 2 ? Office14Key : Office12Key;
    FRegMonitorThread->RootKey = HKEY_CURRENT_USER;
    FRegMonitorThread->WatchSub = true;
    FRegMonitorThread->Start();
}

TThemeNotifier::~TThemeNotifier()
{
    if (FRegMonitorThread) {
        FRegMonitorThread->Stop();
        FRegMonitorThread = nullptr; // it frees itself when its body ends
    }
    if (ThemeNotifierInstance == this)
        ThemeNotifierInstance = nullptr;
}

void TThemeNotifier::RegisterWindow(HWND Handle)
{
    if (FRegMonitorThread)
        FRegMonitorThread->RegisterWindow(Handle);
}

void TThemeNotifier::UnRegisterWindow(HWND Handle)
{
    if (FRegMonitorThread)
        FRegMonitorThread->UnRegisterWindow(Handle);
}

TThemeNotifier* AcquireThemeNotifier(TComponent* Owner)
{
    if (!ThemeNotifierInstance) {
        TComponent* owner = Owner;
        if (TApplication* app = Application()) {
            if (auto* main = app->MainForm(); main && main->HandleAllocated())
                owner = main;
        }
        ThemeNotifierInstance = new TThemeNotifier(owner);
    }
    return ThemeNotifierInstance;
}

// --- what is in force --------------------------------------------------------------

// The platform answers as Windows 6.1 with common controls 6.10.
bool IsVistaOrLater() { return true; }
bool IsWinXPOrLater() { return true; }
bool HasComCtl6() { return true; }
bool IsThemedComCtl6() { return HasComCtl6() && XPVSThemeActive(); }

QString DefaultUIFontName() { return IsVistaOrLater() ? QStringLiteral("Segoe UI") : QStringLiteral("Tahoma"); }

int DetectXPColorScheme()
{
    if (!IsWinXPOrLater())
        return 0;
    // The scheme is read from the visual-style library, which reports no
    // active theme here.
    if (!XPVSThemeActive() || !HasComCtl6())
        return 0;
    return 0;
}

int CurrentXPScheme()
{
    static const int scheme = DetectXPColorScheme();
    return scheme;
}

int DetectOfficeVersion()
{
    if (RegistryKeyExists(QStringLiteral("Software\\Microsoft\\Office\\14.0\\Common\\General")))
        return 2;
    if (RegistryKeyExists(QStringLiteral("Software\\Microsoft\\Office\\12.0\\Common\\General")))
        return 1;
    return 0;
}

int ReadOfficeThemeValue(const QString& Key)
{
    if (!RegistryKeyExists(Key))
        return -1;
    return -1;
}

TOfficeTheme DetectOfficeTheme()
{
    int v = ReadOfficeThemeValue(Office14Key);
    switch (v) {
    case 1: return ot2010Blue;
    case 2: return ot2010Silver;
    case 3: return ot2010Black;
    default: break;
    }
    if (v == -1) {
        v = ReadOfficeThemeValue(Office12Key);
        switch (v) {
        case 1: return ot2007Blue;
        case 2: return ot2007Silver;
        case 3: return ot2007Black;
        default: break;
        }
    }
    if (v == -1) {
        switch (DetectXPColorScheme()) {
        case 0: return ot2003Classic;
        case 2: return ot2003Olive;
        case 3: return ot2003Silver;
        default: break;
        }
    }
    return ot2003Blue;
}
