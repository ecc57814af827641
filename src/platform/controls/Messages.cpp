#include "platform/controls/Messages.h"

#include "platform/core/Threads.h"

#include <QCursor>
#include <QGuiApplication>
#include <QHash>
#include <QScreen>
#include <QMutex>
#include <QMutexLocker>
#include <array>
#include <atomic>

LPARAM KeyDataFor(unsigned vk, bool extended, bool altDown, bool keyUp) {
    LPARAM data = 1;  // repeat count
    data |= static_cast<LPARAM>(vk & 0xFF) << 16;  // stands for the scan code
    if (extended) data |= KF_EXTENDED_BIT;
    if (altDown) data |= LPARAM(1) << 29;
    if (keyUp) data |= (LPARAM(1) << 30) | (LPARAM(1) << 31);
    return data;
}

namespace {
QMutex gRegMutex;
QHash<QString, unsigned>& Registered() {
    static QHash<QString, unsigned> names;
    return names;
}
}  // namespace

unsigned RegisterWindowMessage(const QString& name) {
    QMutexLocker lock(&gRegMutex);
    auto& names = Registered();
    // Names compare without regard to case, as the platform's atom table does.
    const QString key = name.toUpper();
    auto it = names.find(key);
    if (it != names.end()) return it.value();
    const unsigned number = 0xC000u + static_cast<unsigned>(names.size());
    names.insert(key, number);
    return number;
}

// ---- Keyboard state

namespace {
struct KeyboardState {
    std::array<bool, 256> down{};
    std::array<bool, 256> toggled{};
};
KeyboardState& Keys() {
    static KeyboardState k;
    return k;
}
bool InRange(int vk) { return vk >= 0 && vk < 256; }
}  // namespace

short GetKeyState(int vk) {
    if (!InRange(vk)) return 0;
    short v = Keys().down[vk] ? static_cast<short>(0x8000) : 0;
    if (Keys().toggled[vk]) v |= 1;
    return v;
}

short GetAsyncKeyState(int vk) {
    if (!InRange(vk)) return 0;
    return Keys().down[vk] ? static_cast<short>(0x8000) : 0;
}

void SetKeyDown(int vk, bool down) {
    if (!InRange(vk)) return;
    Keys().down[vk] = down;
    // The generic shift keys follow their left and right halves.
    auto follow = [](int generic, int left, int right) {
        Keys().down[generic] = Keys().down[left] || Keys().down[right];
    };
    switch (vk) {
    case VK_LSHIFT: case VK_RSHIFT: follow(VK_SHIFT, VK_LSHIFT, VK_RSHIFT); break;
    case VK_LCONTROL: case VK_RCONTROL: follow(VK_CONTROL, VK_LCONTROL, VK_RCONTROL); break;
    case VK_LMENU: case VK_RMENU: follow(VK_MENU, VK_LMENU, VK_RMENU); break;
    default: break;
    }
}

void SetKeyToggled(int vk, bool toggled) {
    if (InRange(vk)) Keys().toggled[vk] = toggled;
}

void ResetKeyboardState() { Keys() = KeyboardState{}; }

TShiftState KeyboardShiftState() {
    TShiftState s = 0;
    if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    if (GetKeyState(VK_LBUTTON) < 0) s |= ssLeft;
    if (GetKeyState(VK_RBUTTON) < 0) s |= ssRight;
    if (GetKeyState(VK_MBUTTON) < 0) s |= ssMiddle;
    return s;
}

// ---- Cursor, screen, metrics, clock

namespace {
struct ScreenState {
    TPoint cursor{0, 0};
    // What a test set; otherwise the toolkit's screen answers (and a headless
    // run, whose toolkit screen is made up, keeps these fixed values).
    bool sizeSet = false, workAreaSet = false;
    TSize size{1920, 1080};
    TRect workArea{0, 0, 1920, 1040};
    int wheelLines = 3;
    QHash<int, int> metrics{
        {SM_CXVSCROLL, 17}, {SM_CYHSCROLL, 17}, {SM_CYCAPTION, 23}, {SM_CXBORDER, 1},
        {SM_CYBORDER, 1}, {SM_CXDLGFRAME, 3}, {SM_CYDLGFRAME, 3}, {SM_CYVTHUMB, 17},
        {SM_CXHTHUMB, 17}, {SM_CXCURSOR, 32}, {SM_CYCURSOR, 32}, {SM_CXDOUBLECLK, 4},
        {SM_CYDOUBLECLK, 4}, {SM_CXEDGE, 2}, {SM_CYEDGE, 2}, {SM_CXMENUCHECK, 13},
        {SM_CYMENUCHECK, 13},
    };
};
ScreenState& TheScreen() {
    static ScreenState s;
    return s;
}
std::atomic<std::int64_t> gFixedTick{-1};
}  // namespace

namespace {
// The screen a person sees: the one under the mouse, else the primary one;
// nullptr headless (the offscreen platform's screen is made up).
QScreen* RealScreen() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return nullptr;
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) return nullptr;
    if (QScreen* s = QGuiApplication::screenAt(QCursor::pos())) return s;
    return QGuiApplication::primaryScreen();
}
TRect FromQRect(const QRect& r) { return Rect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height()); }
}  // namespace

TPoint GetCursorPos() {
    if (RealScreen()) {
        const QPoint p = QCursor::pos();
        return Point(p.x(), p.y());
    }
    return TheScreen().cursor;
}
void SetCursorPos(const TPoint& p) { TheScreen().cursor = p; }
// Asked each time, so a screen that changes (resolution, work area, another
// monitor) is followed.
TRect ScreenWorkArea() {
    if (!TheScreen().workAreaSet)
        if (QScreen* s = RealScreen()) return FromQRect(s->availableGeometry());
    return TheScreen().workArea;
}
void SetScreenWorkArea(const TRect& r) {
    TheScreen().workArea = r;
    TheScreen().workAreaSet = true;
}
TSize ScreenSize() {
    if (!TheScreen().sizeSet)
        if (QScreen* s = RealScreen()) return TSize(s->geometry().width(), s->geometry().height());
    return TheScreen().size;
}
void SetScreenSize(const TSize& s) {
    TheScreen().size = s;
    TheScreen().sizeSet = true;
}
int ToolkitPixelsPerInch() {
    if (QScreen* s = RealScreen()) return int(s->logicalDotsPerInch() + 0.5);
    return 96;
}

int GetSystemMetrics(int index) {
    if (index == SM_CXSCREEN) return ScreenSize().cx;
    if (index == SM_CYSCREEN) return ScreenSize().cy;
    return TheScreen().metrics.value(index, 0);
}
void SetSystemMetric(int index, int value) {
    if (index == SM_CXSCREEN) SetScreenSize(TSize(value, ScreenSize().cy));
    else if (index == SM_CYSCREEN) SetScreenSize(TSize(ScreenSize().cx, value));
    else TheScreen().metrics[index] = value;
}
int WheelScrollLines() { return TheScreen().wheelLines; }
void SetWheelScrollLines(int lines) { TheScreen().wheelLines = lines; }

// One clock for every layer: the core's tick count, which a test may fix.
std::uint32_t TickCount() { return GetTickCount(); }

void SetTickCountForTest(std::int64_t ms) {
    const bool wasFixed = gFixedTick.exchange(ms) >= 0;
    if (ms >= 0 && !wasFixed) SetTickCountHook([] { return static_cast<std::uint32_t>(gFixedTick.load()); });
    else if (ms < 0) SetTickCountHook(nullptr);
}
