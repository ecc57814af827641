// The string grid's looks and colour schemes: the Look writer with its
// presets, the grid styles (SetStyle), the XP colour schemes (SetTheme), the
// component styles of the style interface with the Office theme mapping,
// colour tones, and the application-style colours. Each scheme is a row of a
// table; the code walks the row.
#include "gridpack/stringgrid/ExGrid.h"

#include "gridpack/basegrid/RorIdad.h"
#include "gridpack/stringgrid/ExGridSpin.h"
#include "gridpack/stringgrid/SgCombo.h"
#include "platform/graphics/Resources.h"

#include <array>

namespace {
// "Leave the setting as it is" in the tables below.
constexpr TColor kKeep = TColor(0x3FFFFFFF);

void SetIf(TColor v, const std::function<void(TColor)>& set)
{
    if (v != kKeep)
        set(v);
}

// ---------------------------------------------------------------------------
// Look presets of the looks that set their own colours
// ---------------------------------------------------------------------------

struct TLookPreset {
    TColor FixedColor;
    TColor FixedGradientFrom, FixedGradientTo;
    TColor GridFixedLineColor, GridLineColor;
    TColor ActiveCellColor, ActiveCellColorTo;
    TColor SelectionColor, SelectionColorTo, SelectionTextColor;
    // The search footer takes the grid's header gradient instead of these.
    bool FooterFromHeader;
    TColor FooterColor, FooterColorTo;
    // Hover and down gradients: from, to, mirror from, mirror to.
    std::array<TColor, 4> Hover, Down;
};

constexpr std::array<TColor, 4> kKeep4{kKeep, kKeep, kKeep, kKeep};
constexpr std::array<TColor, 4> kQORHover{TColor(0xCFD0D1), TColor(0xBEC6C8), TColor(0xBEC6C8), TColor(0xABBCBF)};
constexpr std::array<TColor, 4> kQORDown{TColor(0x868788), TColor(0x737C7E), TColor(0x737C7E), TColor(0x627376)};

// glStandard, glSoft and glClassic share the first row.
constexpr TLookPreset kPlainPreset{clBtnFace,      clBtnFace,  clNone,     clGray, clSilver, clGray,   clNone,
                                   clHighlight,    kKeep,      clHighlightText,   false,    clBtnFace, clBtnFace,
                                   kKeep4,         kKeep4};
constexpr TLookPreset kQORPreset{kKeep,          clWhite, clSilver, clGray, clSilver, TColor(0xEACAB6), clNone,
                                 TColor(0xEACAB6), clNone,  clBlack,  true,   clNone,   clNone,           kQORHover,
                                 kQORDown};
constexpr TLookPreset kXPPreset{kKeep,          clWhite, clBtnFace, clGray, clSilver, TColor(0xEACAB6), clNone,
                                TColor(0xEACAB6), clNone,  clBlack,   true,   clNone,   clNone,           kQORHover,
                                kQORDown};
constexpr TLookPreset kListViewPreset{kKeep,       clWhite, clBtnFace,       clGray, clSilver,  clGray,    clNone,
                                      clHighlight, kKeep,   clHighlightText, false,  clBtnFace, clBtnFace, kKeep4,
                                      kKeep4};

const TLookPreset* PresetOf(TGridLook v)
{
    switch (v) {
    case glStandard:
    case glSoft:
    case glClassic:
        return &kPlainPreset;
    case glQOR:
        return &kQORPreset;
    case glXP:
        return &kXPPreset;
    case glListView:
        return &kListViewPreset;
    default:
        return nullptr;
    }
}

// ---------------------------------------------------------------------------
// The grid styles
// ---------------------------------------------------------------------------

// How a style's header colours reach ControlLook's fixed gradient colours.
enum TFixedHandOff : uint8_t {
    hoAll,        // from, to and both mirror colours
    hoMirrorOnly, // from and to end as clNone, the mirrors as the header's
    hoNone        // all four clNone
};

struct TStyleRow {
    TExGridStyle Style;
    TGridLook Look;
    // Only the look is set (and the resets every style starts with).
    bool LookOnly;
    std::array<TColor, 4> Header; // from, to, mirror from, mirror to
    TFixedHandOff HandOff;
    std::array<TColor, 4> Hover;
    TColor HoverBorder;
    std::array<TColor, 4> Down;
    TColor DownBorder;
    TColor ActiveFrom, ActiveTo;
    TColor FooterColor, FooterColorTo;
    TColor GridLine, FixedLine;
    TColor Selection, SelectionTo, SelectionText;
    TGridSelectionStyle SelectionStyle;
    std::array<TColor, 4> SortHeader; // from, to, mirror from, mirror to
};

constexpr TColor N = clNone;
constexpr std::array<TColor, 4> kNone4{N, N, N, N};

constexpr std::array<TColor, 4> Four(TColor c) { return {c, c, c, c}; }

// The rows gsOffice2003Classic, gsOffice2007Obsidian, gsWhidbey,
// gsOffice2007Silver and gsWindows7 are ours, made after their neighbours:
// Classic and Whidbey as the 2003 rows with grey and steel headers, the two
// 2007 rows as Luna with graphite and silver headers and lines, Windows 7 as
// Vista with a warmer mirror and a blue-grey selection.
constexpr std::array<TStyleRow, 16> kStyleRows{{
    {gsOffice2003Blue, glXP, false, {TColor(0xFCE1CB), TColor(0xE0A57D), N, N}, hoAll, kKeep4, kKeep, kKeep4, kKeep,
     TColor(0x94E6FB), TColor(0x1595EE), TColor(0xFCE1CB), N, TColor(0xC0C0C0), TColor(0x808080),
     TColor(0x94E6FB), TColor(0x1595EE), clBlack, ssDefault, kKeep4},
    {gsOffice2003Silver, glXP, false, {TColor(0xECE2E1), TColor(0xB39698), N, N}, hoAll, kKeep4, kKeep, kKeep4,
     kKeep, TColor(0x94E6FB), TColor(0x1595EE), TColor(0xFCE1CB), N, TColor(0xC0C0C0), TColor(0x808080),
     TColor(0x94E6FB), TColor(0x1595EE), clBlack, ssDefault, kKeep4},
    {gsOffice2003Olive, glXP, false, {TColor(0xCFF0EA), TColor(0x8CC0B1), N, N}, hoAll, kKeep4, kKeep, kKeep4, kKeep,
     TColor(0x94E6FB), TColor(0x1595EE), TColor(0xFCE1CB), N, TColor(0xC0C0C0), TColor(0x808080),
     TColor(0x94E6FB), TColor(0x1595EE), clBlack, ssDefault, kKeep4},
    {gsOffice2003Classic, glXP, false, {TColor(0xF5F5F5), TColor(0xC8D0D4), N, N}, hoAll, kKeep4, kKeep, kKeep4,
     kKeep, TColor(0x94E6FB), TColor(0x1595EE), TColor(0xF5F5F5), N, TColor(0xC0C0C0), TColor(0x808080),
     TColor(0xB59285), N, clWhite, ssDefault, kKeep4},
    {gsOffice2007Luna, glOffice2007, false, {TColor(0xFBF9F6), TColor(0xE8DBD2), N, N}, hoAll,
     {TColor(0xE4E2DF), TColor(0xDBD3CD), TColor(0xDBD3CD), TColor(0xD2C5BC)}, TColor(0xB79F87),
     Four(TColor(0xE4C19D)), TColor(0xE4C19D), TColor(0x9DD8F9), TColor(0x5EC1F1), TColor(0xFBF9F6), N,
     TColor(0xF1EDEB), TColor(0xD1BBA4), TColor(0x5EC1F1), N, clBlack, ssOffice2007, kKeep4},
    {gsOffice2007Obsidian, glOffice2007, false, {TColor(0xF2F1F0), TColor(0xC9C2BD), N, N}, hoAll,
     {TColor(0xE4E2DF), TColor(0xD1CCC9), TColor(0xD1CCC9), TColor(0xBDB6B1)}, TColor(0x8C8581),
     Four(TColor(0xBDB6B1)), TColor(0x8C8581), TColor(0x9DD8F9), TColor(0x5EC1F1), TColor(0xF2F1F0), N,
     TColor(0xE3E3E3), TColor(0x999999), TColor(0x5EC1F1), N, clBlack, ssOffice2007, kKeep4},
    {gsWindowsXP, glXP, false, {clBtnFace, clBtnFace, N, N}, hoNone, kKeep4, kKeep, kKeep4, kKeep, clBtnFace,
     clBtnFace, clBtnFace, N, TColor(0xC0C0C0), TColor(0x808080), kKeep, kKeep, kKeep, ssDefault, kKeep4},
    {gsWhidbey, glXP, false, {TColor(0xF5F9FA), TColor(0xC9D3D6), N, N}, hoAll, kKeep4, kKeep, kKeep4, kKeep,
     TColor(0x94E6FB), TColor(0x1595EE), TColor(0xF5F9FA), N, TColor(0xC0C0C0), TColor(0x808080),
     TColor(0xE2B598), N, clBlack, ssDefault, kKeep4},
    {gsCustom, glXP, true, kNone4, hoNone, kKeep4, kKeep, kKeep4, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep,
     kKeep, kKeep, kKeep, ssDefault, kKeep4},
    {gsOffice2007Silver, glOffice2007, false, {TColor(0xF8F7F6), TColor(0xDEDAD7), N, N}, hoAll,
     {TColor(0xE4E2DF), TColor(0xDBD6D3), TColor(0xDBD6D3), TColor(0xD2CCC8)}, TColor(0xA9A19C),
     Four(TColor(0xE4C19D)), TColor(0xE4C19D), TColor(0x9DD8F9), TColor(0x5EC1F1), TColor(0xF8F7F6), N,
     TColor(0xEBE9E7), TColor(0xC4BCB7), TColor(0x5EC1F1), N, clBlack, ssOffice2007, kKeep4},
    {gsWindowsVista, glVista, false, {TColor(0xFFFFFF), TColor(0xFFFFFF), TColor(0xFAF8F7), TColor(0xF4F2F1)},
     hoMirrorOnly, {TColor(0xFFF7E3), TColor(0xFFF7E3), TColor(0xFFEDBD), TColor(0xFBE7B7)}, TColor(0xE3C993),
     {TColor(0xF9E4BC), TColor(0xF9E4BC), TColor(0xF7D68D), TColor(0xF5D18A)}, TColor(0xAE904F),
     TColor(0xFDF8F1), TColor(0xFCEFD5), TColor(0xFFFFFF), TColor(0xF4F2F1), TColor(0xECECF0), TColor(0xD4D2D1),
     TColor(0xEACAB6), N, clBlack, ssVista,
     {TColor(0xFCF9F2), TColor(0xFCF9F2), TColor(0xF9F1E1), TColor(0xF6ECD8)}},
    {gsWindows7, glWin7, false, {TColor(0xFFFFFF), TColor(0xFFFFFF), TColor(0xF7F3F1), TColor(0xF2EDEA)},
     hoMirrorOnly, {TColor(0xFFF9F1), TColor(0xFFF9F1), TColor(0xFEEFD8), TColor(0xFAE6C9)}, TColor(0xE5C9A8),
     {TColor(0xF7E5CC), TColor(0xF7E5CC), TColor(0xF4D8B2), TColor(0xF1D2A8)}, TColor(0xB89A6F),
     TColor(0xFDF8F1), TColor(0xFCEFD5), TColor(0xFFFFFF), TColor(0xF2EDEA), TColor(0xECECF0), TColor(0xD4D2D1),
     TColor(0xF6E6D1), N, clBlack, ssWin7,
     {TColor(0xFCF9F2), TColor(0xFCF9F2), TColor(0xF9F1E1), TColor(0xF6ECD8)}},
    {gsTerminal, glStandard, true, kNone4, hoNone, kKeep4, kKeep, kKeep4, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep,
     kKeep, kKeep, kKeep, kKeep, ssDefault, kKeep4},
    {gsOffice2010Blue, glOffice2007, false, Four(TColor(0xF5E7DA)), hoMirrorOnly,
     {TColor(0x6BDFFF), TColor(0xAFEFFF), TColor(0xAFEFFF), TColor(0xE6FCFF)}, TColor(0x3ABFE8),
     {TColor(0x5BD5FF), TColor(0x64E0FF), TColor(0x64E0FF), TColor(0x71EFFF)}, TColor(0x308AC2),
     TColor(0x5BD5FF), TColor(0x71EFFF), TColor(0xF5E7DA), TColor(0xF5E7DA), TColor(0xC0C0C0), TColor(0xC7B0A0),
     TColor(0xFFDBB7), N, clBlack, ssDefault, Four(TColor(0xD6CEC7))},
    {gsOffice2010Silver, glOffice2007, false, Four(TColor(0xE8E3DF)), hoMirrorOnly,
     {TColor(0x6BDFFF), TColor(0xAFEFFF), TColor(0xAFEFFF), TColor(0xE6FCFF)}, TColor(0x3ABFE8),
     {TColor(0x5BD5FF), TColor(0x64E0FF), TColor(0x64E0FF), TColor(0x71EFFF)}, TColor(0x308AC2),
     TColor(0x5BD5FF), TColor(0x71EFFF), TColor(0xF5E7DA), TColor(0xF5E7DA), TColor(0xC0C0C0), TColor(0xBAB5B1),
     TColor(0xFFDBB7), N, clBlack, ssDefault, Four(TColor(0xAAAAAA))},
    {gsOffice2010Black, glOffice2007, false, Four(TColor(0x6A6A6A)), hoMirrorOnly,
     {TColor(0x6BDFFF), TColor(0xAFEFFF), TColor(0xAFEFFF), TColor(0xE6FCFF)}, TColor(0x3ABFE8),
     {TColor(0x5BD5FF), TColor(0x64E0FF), TColor(0x64E0FF), TColor(0x71EFFF)}, TColor(0x308AC2),
     TColor(0x5BD5FF), TColor(0x71EFFF), TColor(0xF5E7DA), TColor(0xF5E7DA), TColor(0xC0C0C0), TColor(0x444444),
     TColor(0xFFDBB7), N, clBlack, ssDefault, Four(TColor(0xBABABA))},
}};

constexpr bool RowsInOrder()
{
    for (int i = 0; i < 16; ++i)
        if (int(kStyleRows[size_t(i)].Style) != i)
            return false;
    return true;
}
static_assert(RowsInOrder(), "one style row per TExGridStyle, in its order");

// ---------------------------------------------------------------------------
// The XP colour schemes
// ---------------------------------------------------------------------------

struct TSchemeRow {
    std::array<TColor, 4> Header;
    TColor FooterColor, FooterColorTo;
    TColor ActiveFrom, ActiveTo;
};

constexpr std::array<TSchemeRow, 5> kSchemes{{
    {{TColor(0xFFFFFF), clBtnFace, N, N}, TColor(0xFFFFFF), TColor(0xFFD9B3), TColor(0xFFFFFF), TColor(0xFFD9B3)},
    {{TColor(0xFCE1CB), TColor(0xE0A57D), N, N}, TColor(0xFCE1CB), TColor(0xE0A57D), TColor(0x94E6FB),
     TColor(0x1595EE)},
    {{TColor(0xCFF0EA), TColor(0x8CC0B1), N, N}, TColor(0xCFF0EA), TColor(0x8CC0B1), TColor(0x94E6FB),
     TColor(0x1595EE)},
    {{TColor(0xECE2E1), TColor(0xB39698), N, N}, TColor(0xECE2E1), TColor(0xB39698), TColor(0x94E6FB),
     TColor(0x1595EE)},
    {{TColor(0xFFFFFF), TColor(0xFFFFFF), TColor(0xFAF8F7), TColor(0xF4F2F1)}, TColor(0xECE2E1), TColor(0xB39698),
     TColor(0x94E6FB), TColor(0x1595EE)},
}};

// The Office themes in the order of TOfficeTheme (otUnknown has none).
constexpr std::array<TQORStyle, 10> kThemeStyles{tsOffice2003Blue,    tsOffice2003Silver,  tsOffice2003Olive,
                                                 tsOffice2003Classic, tsOffice2007Luna,    tsOffice2007Silver,
                                                 tsOffice2007Obsidian, tsOffice2010Blue,   tsOffice2010Silver,
                                                 tsOffice2010Black};

const char* const kLookNames[] = {"glStandard", "glSoft",     "glClassic",     "glQOR",     "glXP",
                                  "glListView", "glVista",    "glWin7",        "glOffice2007"};
const char* const kLookCaptions[] = {"Standard", "Soft",          "Classic",   "QOR",       "Windows XP",
                                     "ListView", "Windows Vista", "Windows 7", "Office2007"};
} // namespace

void GetLookName(TGridLook Look, QString& Name)
{
    if (Look >= glStandard && Look < glCustom)
        Name = QLatin1String(kLookNames[Look]);
}

void GetLookCaption(TGridLook Look, QString& Caption)
{
    if (Look >= glStandard && Look < glCustom)
        Caption = QLatin1String(kLookCaptions[Look]);
}

// ---------------------------------------------------------------------------
// Look
// ---------------------------------------------------------------------------

void TExStringGrid::SetLook(TGridLook V)
{
    if (V == Look)
        return;
    Look = V;
    const bool designing = (ComponentState() & csDesigning) != 0;

    // The previous look's header colours go; the grid's own fields are
    // stored directly, without their repaint.
    if (V != glCustom) {
        FControlLook->SetFixedGradientMirrorFrom(clNone);
        FControlLook->SetFixedGradientMirrorTo(clNone);
        FControlLook->SetFixedGradientFrom(clNone);
        FControlLook->SetFixedGradientTo(clNone);
        FQORGradientFrom = clNone;
        FQORGradientTo = clNone;
        FQORGradientMirrorFrom = clNone;
        FQORGradientMirrorTo = clNone;
        FSortSettings->HeaderColor = clNone;
    }

    switch (V) {
    case glVista:
        SetStyle(gsWindowsVista);
        FGridStyle = gsWindowsVista;
        SetSelectionStyle(ssVista);
        break;
    case glWin7:
        SetStyle(gsWindows7);
        FGridStyle = gsWindows7;
        SetSelectionStyle(ssWin7);
        break;
    case glOffice2007:
        SetStyle(gsOffice2007Luna);
        FGridStyle = gsOffice2007Luna;
        SetSelectionStyle(ssOffice2007);
        break;
    case glCustom:
        break;
    default: {
        if (!designing)
            ApplyStyleToEditors(tsWindowsXP);
        SetSelectionStyle(ssDefault);
        if (Loading())
            break;
        // The search footer of the QOR and XP looks takes the header
        // gradient as the reset above left it.
        const TColor headerFrom = FQORGradientFrom, headerTo = FQORGradientTo;
        const TLookPreset& p = *PresetOf(V);
        SetIf(p.FixedColor, [&](TColor c) { SetFixedColor(c); });
        FControlLook->SetFixedGradientFrom(p.FixedGradientFrom);
        FControlLook->SetFixedGradientTo(p.FixedGradientTo);
        SetGridFixedLineColor(p.GridFixedLineColor);
        FControlLook->SetFixedGradientMirrorFrom(clNone);
        FControlLook->SetFixedGradientMirrorTo(clNone);
        SetQORGradientMirrorFrom(clNone);
        SetQORGradientMirrorTo(clNone);
        SetGridLineColor(p.GridLineColor);
        SetActiveCellColor(p.ActiveCellColor);
        SetActiveCellColorTo(p.ActiveCellColorTo);
        SetSelectionColor(p.SelectionColor);
        SetIf(p.SelectionColorTo, [&](TColor c) { SetSelectionColorTo(c); });
        SetSelectionTextColor(p.SelectionTextColor);
        FSearchFooter->SetColor(p.FooterFromHeader ? headerFrom : p.FooterColor);
        FSearchFooter->SetColorTo(p.FooterFromHeader ? headerTo : p.FooterColorTo);
        SetIf(p.Hover[0], [&](TColor c) { FControlLook->SetFixedGradientHoverFrom(c); });
        SetIf(p.Hover[1], [&](TColor c) { FControlLook->SetFixedGradientHoverTo(c); });
        SetIf(p.Hover[2], [&](TColor c) { FControlLook->SetFixedGradientHoverMirrorFrom(c); });
        SetIf(p.Hover[3], [&](TColor c) { FControlLook->SetFixedGradientHoverMirrorTo(c); });
        SetIf(p.Down[0], [&](TColor c) { FControlLook->SetFixedGradientDownFrom(c); });
        SetIf(p.Down[1], [&](TColor c) { FControlLook->SetFixedGradientDownTo(c); });
        SetIf(p.Down[2], [&](TColor c) { FControlLook->SetFixedGradientDownMirrorFrom(c); });
        SetIf(p.Down[3], [&](TColor c) { FControlLook->SetFixedGradientDownMirrorTo(c); });
        break;
    }
    }

    SetScrollType(ssNormal);
    SetBorderStyle(bsSingle);
    SetBorderColor(TColor(0xB99D7F));
    Invalidate();
}

// ---------------------------------------------------------------------------
// Styles
// ---------------------------------------------------------------------------

void TExStringGrid::SetStyle(TExGridStyle AStyle)
{
    SetSelectionColor(clHighlight);
    SetSelectionColorTo(clNone);
    SetSelectionTextColor(clHighlightText);
    SetSelectionStyle(ssDefault);
    FSortSettings->HeaderColor = clNone;
    FSortSettings->HeaderColorTo = clNone;
    FSortSettings->HeaderMirrorColor = clNone;
    FSortSettings->HeaderMirrorColorTo = clNone;
    FControlLook->Init();

    const TStyleRow& s = kStyleRows[size_t(AStyle)];
    if (AStyle != gsCustom) {
        SetLook(s.Look);
        if (!s.LookOnly) {
            // ControlLook first: its setters hand colours on to the grid's
            // header fields, which the row then sets as it wants them.
            const std::array<TColor, 4> cl =
                s.HandOff == hoAll          ? s.Header
                : s.HandOff == hoMirrorOnly ? std::array<TColor, 4>{N, N, s.Header[2], s.Header[3]}
                                            : kNone4;
            FControlLook->SetFixedGradientFrom(cl[0]);
            FControlLook->SetFixedGradientTo(cl[1]);
            FControlLook->SetFixedGradientMirrorFrom(cl[2]);
            FControlLook->SetFixedGradientMirrorTo(cl[3]);
            SetQORGradientFrom(s.Header[0]);
            SetQORGradientTo(s.Header[1]);
            SetQORGradientMirrorFrom(s.Header[2]);
            SetQORGradientMirrorTo(s.Header[3]);
            SetIf(s.Hover[0], [&](TColor c) { FControlLook->SetFixedGradientHoverFrom(c); });
            SetIf(s.Hover[1], [&](TColor c) { FControlLook->SetFixedGradientHoverTo(c); });
            SetIf(s.Hover[2], [&](TColor c) { FControlLook->SetFixedGradientHoverMirrorFrom(c); });
            SetIf(s.Hover[3], [&](TColor c) { FControlLook->SetFixedGradientHoverMirrorTo(c); });
            SetIf(s.HoverBorder, [&](TColor c) { FControlLook->SetFixedGradientHoverBorder(c); });
            SetIf(s.Down[0], [&](TColor c) { FControlLook->SetFixedGradientDownFrom(c); });
            SetIf(s.Down[1], [&](TColor c) { FControlLook->SetFixedGradientDownTo(c); });
            SetIf(s.Down[2], [&](TColor c) { FControlLook->SetFixedGradientDownMirrorFrom(c); });
            SetIf(s.Down[3], [&](TColor c) { FControlLook->SetFixedGradientDownMirrorTo(c); });
            SetIf(s.DownBorder, [&](TColor c) { FControlLook->SetFixedGradientDownBorder(c); });
            SetIf(s.ActiveFrom, [&](TColor c) { SetActiveCellColor(c); });
            SetIf(s.ActiveTo, [&](TColor c) { SetActiveCellColorTo(c); });
            SetIf(s.FooterColor, [&](TColor c) { FSearchFooter->SetColor(c); });
            SetIf(s.FooterColorTo, [&](TColor c) { FSearchFooter->SetColorTo(c); });
            SetIf(s.GridLine, [&](TColor c) { SetGridLineColor(c); });
            SetIf(s.FixedLine, [&](TColor c) { SetGridFixedLineColor(c); });
            SetIf(s.Selection, [&](TColor c) { SetSelectionColor(c); });
            SetIf(s.SelectionTo, [&](TColor c) { SetSelectionColorTo(c); });
            SetIf(s.SelectionText, [&](TColor c) { SetSelectionTextColor(c); });
            SetSelectionStyle(s.SelectionStyle);
            SetIf(s.SortHeader[0], [&](TColor c) { FSortSettings->HeaderColor = c; });
            SetIf(s.SortHeader[1], [&](TColor c) { FSortSettings->HeaderColorTo = c; });
            SetIf(s.SortHeader[2], [&](TColor c) { FSortSettings->HeaderMirrorColor = c; });
            SetIf(s.SortHeader[3], [&](TColor c) { FSortSettings->HeaderMirrorColorTo = c; });
        }
    }
    Invalidate();
}

void TExStringGrid::SetTheme(TXPColorScheme Scheme)
{
    const TSchemeRow& s = kSchemes[size_t(Scheme)];
    // The colour schemes hand their header to ControlLook; xpNone clears it.
    const std::array<TColor, 4> cl = Scheme == xpNone ? kNone4 : s.Header;
    FControlLook->SetFixedGradientFrom(cl[0]);
    FControlLook->SetFixedGradientTo(cl[1]);
    FControlLook->SetFixedGradientMirrorFrom(cl[2]);
    FControlLook->SetFixedGradientMirrorTo(cl[3]);
    SetQORGradientFrom(s.Header[0]);
    SetQORGradientTo(s.Header[1]);
    SetQORGradientMirrorFrom(s.Header[2]);
    SetQORGradientMirrorTo(s.Header[3]);
    FSearchFooter->SetColor(s.FooterColor);
    FSearchFooter->SetColorTo(s.FooterColorTo);
    SetActiveCellColor(s.ActiveFrom);
    SetActiveCellColorTo(s.ActiveTo);
    Invalidate();
}

void TExStringGrid::SetComponentStyle(TQORStyle AStyle)
{
    FStyle = AStyle;
    SetStyle(TExGridStyle(AStyle));
    if (!(ComponentState() & csDesigning))
        ApplyStyleToEditors(AStyle);
    if (AStyle != tsCustom && FScrollType == ssMetro)
        SetScrollType(ssNormal);
}

void TExStringGrid::ApplyStyleToEditors(TQORStyle AStyle)
{
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* s = dynamic_cast<IQORStyle*>(Components(i)))
            s->SetComponentStyle(AStyle);
}

void TExStringGrid::ApplyTonesToEditors(const TColorTones& ATones)
{
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* t = dynamic_cast<IQORTones*>(Components(i)))
            t->SetColorTones(ATones);
}

void TExStringGrid::ApplyOfficeTheme()
{
    if (ComponentState() & csDesigning)
        return;
    const TOfficeTheme theme = DetectOfficeTheme();
    if (theme != FOldOfficeTheme && theme != otUnknown)
        SetComponentStyle(kThemeStyles[size_t(theme)]);
    FOldOfficeTheme = theme;
}

void TExStringGrid::SetColorTones(const TColorTones& ATones)
{
    // 1. a flat look
    FTones = ATones;
    SetLook(glClassic);
    SetFlat(true);
    SetScrollType(ssMetro);

    // 2. fixed and normal cells
    SetFixedColor(ATones.Foreground.BrushColor);
    FFixedFont.SetColor(ATones.Foreground.TextColor);
    FFixedFont.SetName(DefaultUIFontName());
    Font()->SetName(DefaultUIFontName());
    SetColor(ATones.Background.BrushColor);
    Font()->SetColor(ATones.Background.TextColor);

    // 3. selection
    SetSelectionColor(ATones.Selected.BrushColor);
    SetSelectionTextColor(ATones.Selected.TextColor);
    SetSelectionColorTo(clNone);

    // 4. lines and border
    SetGridLineColor(TColor(0xE6E6E6));
    SetGridFixedLineColor(ScaleColorPercent(ColorToRGB(ATones.Foreground.BrushColor), -20));
    SetBorderStyle(bsNone);

    // 5. the metro check and radio glyphs
    FControlLook->SetControlStyle(csGlyph);
    TBitmap glyph;
    glyph.Assign(ResourceImage(QStringLiteral("METROCHECKON")));
    FControlLook->SetCheckedGlyph(&glyph);
    glyph.Assign(ResourceImage(QStringLiteral("METROCHECKOFF")));
    FControlLook->SetUnCheckedGlyph(&glyph);
    glyph.Assign(ResourceImage(QStringLiteral("METRORADIOON")));
    FControlLook->SetRadioOnGlyph(&glyph);
    glyph.Assign(ResourceImage(QStringLiteral("METRORADIOOFF")));
    FControlLook->SetRadioOffGlyph(&glyph);

    // 6. the in-cell editors' buttons
    if (!(ComponentState() & csDesigning)) {
        if (EditCombo) {
            EditCombo->ButtonColor = ATones.Background.BrushColor;
            EditCombo->ButtonColorHot = ATones.Hover.BrushColor;
            EditCombo->ButtonColorDown = ATones.Selected.BrushColor;
            EditCombo->ButtonBorderColor = ATones.Background.BorderColor;
            EditCombo->SetBorderColor(Color());
            EditCombo->SetFlat(true);
        }
        if (FEditSpin && FEditSpin->Button()) {
            TSgSpinButton* b = FEditSpin->Button();
            b->ButtonColor = ATones.Background.BrushColor;
            b->ButtonColorHot = ATones.Hover.BrushColor;
            b->ButtonColorDown = ATones.Selected.BrushColor;
            b->ButtonBorderColor = ATones.Background.BorderColor;
        }
    }

    // 7. the drop-down editors
    ApplyTonesToEditors(ATones);

    // 8.
    FControlLook->SetFlatButton(true);
    FFloatingFooter->Color = ATones.Foreground.BrushColor;
    FSearchFooter->SetColor(ATones.Foreground.BrushColor);
    FSearchFooter->SetColorTo(ATones.Foreground.BrushColor);
    FCellNode->SetNodeType(cnFlat);
}

void TExStringGrid::ApplyStyleColors()
{
    // No application visual styles exist here: the flag stays cleared and
    // the grid's own colours apply.
    FUseVCLStyles = false;
}
