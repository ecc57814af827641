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

unsigned ScanCodeFor(unsigned vk) {
    // Letters in keyboard order, row by row, each row from its first code.
    static const struct {
        const char* Keys;
        unsigned First;
    } kLetterRows[] = {{"QWERTYUIOP", 0x10}, {"ASDFGHJKL", 0x1E}, {"ZXCVBNM", 0x2C}};
    for (const auto& row : kLetterRows)
        for (unsigned i = 0; row.Keys[i]; ++i)
            if (unsigned(row.Keys[i]) == vk) return row.First + i;
    if (vk >= '1' && vk <= '9') return 0x02 + (vk - '1');
    if (vk == '0') return 0x0B;
    if (vk >= VK_F1 && vk <= VK_F1 + 9) return 0x3B + (vk - VK_F1);
    switch (vk) {
    case VK_ESCAPE: return 0x01;
    case VK_BACK: return 0x0E;
    case VK_TAB: return 0x0F;
    case VK_RETURN: return 0x1C;
    case VK_CONTROL: case VK_LCONTROL: case VK_RCONTROL: return 0x1D;
    case VK_SHIFT: case VK_LSHIFT: return 0x2A;
    case VK_RSHIFT: return 0x36;
    case VK_MENU: case VK_LMENU: case VK_RMENU: return 0x38;
    case VK_SPACE: return 0x39;
    case VK_CAPITAL: return 0x3A;
    case VK_NUMLOCK: return 0x45;
    case VK_SCROLL: return 0x46;
    // The keypad, and the navigation keys that share its codes.
    case VK_NUMPAD0 + 7: case VK_HOME: return 0x47;
    case VK_NUMPAD0 + 8: case VK_UP: return 0x48;
    case VK_NUMPAD0 + 9: case VK_PRIOR: return 0x49;
    case VK_SUBTRACT: return 0x4A;
    case VK_NUMPAD0 + 4: case VK_LEFT: return 0x4B;
    case VK_NUMPAD0 + 5: return 0x4C;
    case VK_NUMPAD0 + 6: case VK_RIGHT: return 0x4D;
    case VK_ADD: return 0x4E;
    case VK_NUMPAD0 + 1: case VK_END: return 0x4F;
    case VK_NUMPAD0 + 2: case VK_DOWN: return 0x50;
    case VK_NUMPAD0 + 3: case VK_NEXT: return 0x51;
    case VK_NUMPAD0: case VK_INSERT: return 0x52;
    case VK_DECIMAL: case VK_DELETE: return 0x53;
    case VK_MULTIPLY: return 0x37;
    case VK_DIVIDE: return 0x35;
    case VK_F1 + 10: return 0x57;
    case VK_F12: return 0x58;
    // Punctuation of the main block.
    case 0xBD: return 0x0C;  // -
    case 0xBB: return 0x0D;  // =
    case 0xDB: return 0x1A;  // [
    case 0xDD: return 0x1B;  // ]
    case 0xBA: return 0x27;  // ;
    case 0xDE: return 0x28;  // '
    case 0xC0: return 0x29;  // `
    case 0xDC: return 0x2B;  // backslash
    case 0xBC: return 0x33;  // ,
    case 0xBE: return 0x34;  // .
    case 0xBF: return 0x35;  // /
    default: return 0;
    }
}

LPARAM KeyDataFor(unsigned vk, bool extended, bool altDown, bool keyUp) {
    LPARAM data = 1;  // repeat count
    data |= static_cast<LPARAM>(ScanCodeFor(vk) & 0xFF) << 16;
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
