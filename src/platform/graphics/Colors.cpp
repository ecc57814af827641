// Colour resolution through the fixed system-colour table, and colour names.
#include "platform/graphics/Graphics.h"
#include "platform/core/IntConv.h"

#include <QColor>
#include <array>

namespace {

struct SysColorEntry {
    int index;
    int r, g, b;
};

// The system colours the program sees, whatever the desktop's theme.
constexpr SysColorEntry kSysColors[] = {
    {0, 200, 200, 200},  {1, 0, 0, 0},        {2, 153, 180, 209},  {3, 191, 205, 219},
    {4, 240, 240, 240},  {5, 255, 255, 255},  {6, 100, 100, 100},  {7, 0, 0, 0},
    {8, 0, 0, 0},        {9, 0, 0, 0},        {10, 180, 180, 180}, {11, 244, 247, 252},
    {12, 171, 171, 171}, {13, 51, 153, 255},  {14, 255, 255, 255}, {15, 240, 240, 240},
    {16, 160, 160, 160}, {17, 109, 109, 109}, {18, 0, 0, 0},       {19, 67, 78, 84},
    {20, 255, 255, 255}, {21, 105, 105, 105}, {22, 227, 227, 227}, {23, 0, 0, 0},
    {24, 255, 255, 225}, {26, 0, 102, 204},   {27, 185, 209, 234}, {28, 215, 228, 242},
    {29, 51, 153, 255},  {30, 240, 240, 240},
};

struct ColorName {
    TColor color;
    const char* name;
};

constexpr ColorName kColorNames[] = {
    {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
    {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
    {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
    {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"}, {clSkyBlue, "clSkyBlue"}, {clCream, "clCream"},
    {clMedGray, "clMedGray"}, {clScrollBar, "clScrollBar"}, {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"}, {clInactiveCaption, "clInactiveCaption"}, {clMenu, "clMenu"},
    {clWindow, "clWindow"}, {clWindowFrame, "clWindowFrame"}, {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"}, {clCaptionText, "clCaptionText"}, {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"}, {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"}, {clHighlightText, "clHighlightText"}, {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"}, {clGrayText, "clGrayText"}, {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"}, {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"}, {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"}, {clHotLight, "clHotLight"}, {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"}, {clMenuHighlight, "clMenuHighlight"},
    {clMenuBar, "clMenuBar"}, {clNone, "clNone"}, {clDefault, "clDefault"},
};

} // namespace

TColor GetSysColor(int index) {
    for (const auto& e : kSysColors)
        if (e.index == index) return RGB(e.r, e.g, e.b);
    return clBlack;
}

TColor ColorToRGB(TColor c) {
    if (c == clNone || c == clDefault) return clBlack;
    if ((uint32_t(c) & 0xFF000000u) == 0xFF000000u) return GetSysColor(c & 0xFF);
    return c & 0x00FFFFFF;
}

QColor ColorToQColor(TColor c) {
    const TColor rgb = ColorToRGB(c);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor QColorToColor(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }

bool IdentToColor(const QString& ident, TColor& c) {
    for (const auto& e : kColorNames)
        if (ident.compare(QLatin1String(e.name), Qt::CaseInsensitive) == 0) {
            c = e.color;
            return true;
        }
    int v = 0;
    if (!TryStrToInt(ident, v)) return false;
    c = v;
    return true;
}

TColor StringToColor(const QString& s) {
    TColor c = clBlack;
    if (!IdentToColor(s, c)) throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(s));
    return c;
}

QString ColorToString(TColor c) {
    for (const auto& e : kColorNames)
        if (e.color == c) return QLatin1String(e.name);
    return QStringLiteral("$") + IntToHex(uint32_t(c), 8);
}
