#pragma once
// Colours, fonts, pens, brushes, regions, the canvas and bitmaps.
//
// The canvas keeps the platform's pixel rules on top of QPainter: filled
// rectangles leave out their right and bottom edge, a line leaves out its end
// point, an outline of a 1-pixel pen lies inside the rectangle, text is placed
// by the top of its cell. Antialiasing is always off, so every primitive
// lands on whole pixels and painting code can rely on exact positions.
#include "platform/graphics/GraphicsTypes.h"
#include "platform/core/Exceptions.h"

#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QRegion>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QPainter;
class QFontMetrics;
class QTransform;
class QBrush;
class QPen;
class QPaintDevice;
class QIODevice;
class TCanvas;
class TBitmap;
class TGraphic;
class TTextWidths;

KAL_DECLARE_EXCEPTION(EInvalidGraphic, Exception)
KAL_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception)

// ---------------------------------------------------------------------------
// Colours
// ---------------------------------------------------------------------------

// 0x00BBGGRR; a system colour is 0xFF000000 + index and is resolved through
// one fixed table, so drawing never depends on the desktop's theme.
using TColor = int32_t;

constexpr TColor RGB(int r, int g, int b) {
    return TColor((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(TColor c) { return c & 0xFF; }
constexpr int GetGValue(TColor c) { return (c >> 8) & 0xFF; }
constexpr int GetBValue(TColor c) { return (c >> 16) & 0xFF; }

constexpr TColor SystemColor(int index) { return TColor(0xFF000000u | uint32_t(index)); }

enum : int {
    COLOR_SCROLLBAR = 0, COLOR_BACKGROUND = 1, COLOR_ACTIVECAPTION = 2, COLOR_INACTIVECAPTION = 3,
    COLOR_MENU = 4, COLOR_WINDOW = 5, COLOR_WINDOWFRAME = 6, COLOR_MENUTEXT = 7, COLOR_WINDOWTEXT = 8,
    COLOR_CAPTIONTEXT = 9, COLOR_ACTIVEBORDER = 10, COLOR_INACTIVEBORDER = 11, COLOR_APPWORKSPACE = 12,
    COLOR_HIGHLIGHT = 13, COLOR_HIGHLIGHTTEXT = 14, COLOR_BTNFACE = 15, COLOR_BTNSHADOW = 16,
    COLOR_GRAYTEXT = 17, COLOR_BTNTEXT = 18, COLOR_INACTIVECAPTIONTEXT = 19, COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21, COLOR_3DLIGHT = 22, COLOR_INFOTEXT = 23, COLOR_INFOBK = 24,
    COLOR_HOTLIGHT = 26, COLOR_GRADIENTACTIVECAPTION = 27, COLOR_GRADIENTINACTIVECAPTION = 28,
    COLOR_MENUHILIGHT = 29, COLOR_MENUBAR = 30,
    COLOR_3DFACE = COLOR_BTNFACE, COLOR_3DSHADOW = COLOR_BTNSHADOW, COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT,
    COLOR_BTNHILIGHT = COLOR_BTNHIGHLIGHT, COLOR_3DHILIGHT = COLOR_BTNHIGHLIGHT,
};

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF,
                 clLtGray = 0xC0C0C0, clDkGray = 0x808080, clMoneyGreen = 0xC0DCC0,
                 clSkyBlue = 0xF0CAA6, clCream = 0xF0FBFF, clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor clScrollBar = SystemColor(COLOR_SCROLLBAR), clBackground = SystemColor(COLOR_BACKGROUND),
                 clActiveCaption = SystemColor(COLOR_ACTIVECAPTION),
                 clInactiveCaption = SystemColor(COLOR_INACTIVECAPTION), clMenu = SystemColor(COLOR_MENU),
                 clWindow = SystemColor(COLOR_WINDOW), clWindowFrame = SystemColor(COLOR_WINDOWFRAME),
                 clMenuText = SystemColor(COLOR_MENUTEXT), clWindowText = SystemColor(COLOR_WINDOWTEXT),
                 clCaptionText = SystemColor(COLOR_CAPTIONTEXT),
                 clActiveBorder = SystemColor(COLOR_ACTIVEBORDER),
                 clInactiveBorder = SystemColor(COLOR_INACTIVEBORDER),
                 clAppWorkSpace = SystemColor(COLOR_APPWORKSPACE), clHighlight = SystemColor(COLOR_HIGHLIGHT),
                 clHighlightText = SystemColor(COLOR_HIGHLIGHTTEXT), clBtnFace = SystemColor(COLOR_BTNFACE),
                 clBtnShadow = SystemColor(COLOR_BTNSHADOW), clGrayText = SystemColor(COLOR_GRAYTEXT),
                 clBtnText = SystemColor(COLOR_BTNTEXT),
                 clInactiveCaptionText = SystemColor(COLOR_INACTIVECAPTIONTEXT),
                 clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT), cl3DDkShadow = SystemColor(COLOR_3DDKSHADOW),
                 cl3DLight = SystemColor(COLOR_3DLIGHT), clInfoText = SystemColor(COLOR_INFOTEXT),
                 clInfoBk = SystemColor(COLOR_INFOBK), clHotLight = SystemColor(COLOR_HOTLIGHT),
                 clGradientActiveCaption = SystemColor(COLOR_GRADIENTACTIVECAPTION),
                 clGradientInactiveCaption = SystemColor(COLOR_GRADIENTINACTIVECAPTION),
                 clMenuHighlight = SystemColor(COLOR_MENUHILIGHT), clMenuBar = SystemColor(COLOR_MENUBAR);

// The fixed value of system colour `index` as 0x00BBGGRR (black for an index
// the table does not hold).
TColor GetSysColor(int index);
// A system colour through the table, clNone and clDefault as black (callers
// test for those first), any other colour with its top byte cleared.
TColor ColorToRGB(TColor c);
QColor ColorToQColor(TColor c);
TColor QColorToColor(const QColor& c);
// The colour whose text is "clRed", "clBtnFace", "$00FF00" or a number;
// false when the text names none.
bool IdentToColor(const QString& ident, TColor& c);
TColor StringToColor(const QString& s); // raises EConvertError
QString ColorToString(TColor c);

// ---------------------------------------------------------------------------
// Font, pen, brush
// ---------------------------------------------------------------------------

class TGraphicsObject;
using TGraphicsChange = std::function<void(TGraphicsObject* Sender)>;

// Base of the font, pen and brush: one change notification per setter that
// changes something.
class TGraphicsObject {
public:
    virtual ~TGraphicsObject() = default;
    TGraphicsChange OnChange;
    // Bumped on every change: the canvas uses it to re-apply an object only
    // when it changed.
    uint64_t Version() const { return FVersion; }

protected:
    void Changed();

private:
    uint64_t FVersion = 1;
};

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned; // a set of TFontStyle bits
enum TFontPitch { fpDefault, fpVariable, fpFixed };
enum TFontQuality { fqDefault, fqDraft, fqProof, fqNonAntialiased, fqAntialiased, fqClearType };

constexpr int DEFAULT_CHARSET = 1;

class TFont : public TGraphicsObject {
public:
    TFont();
    TFont(const TFont& other);
    TFont& operator=(const TFont& other);

    QString Name() const { return FName; }
    void SetName(const QString& v);
    // Points at 96 pixels per inch: Size = -Height * 72 / 96 (rounded as
    // MulDiv). A positive Height is the cell height, a negative one the
    // character height.
    int Size() const;
    void SetSize(int points);
    int Height() const { return FHeight; }
    void SetHeight(int pixels);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles v);
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    // Tenths of a degree, counter-clockwise.
    int Orientation() const { return FOrientation; }
    void SetOrientation(int v);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch v);
    int Charset() const { return FCharset; }
    void SetCharset(int v);
    TFontQuality Quality() const { return FQuality; }
    void SetQuality(TFontQuality v);
    int PixelsPerInch() const { return 96; }

    // Copies every attribute and notifies once.
    void Assign(const TFont& src);
    bool SameAs(const TFont& other) const;
    // The toolkit font that draws this one (size, family fallback, style).
    QFont ToQFont() const;

private:
    QString FName = QStringLiteral("Tahoma");
    int FHeight = -11; // 8 points at 96 dpi
    TFontStyles FStyle = 0;
    TColor FColor = clWindowText;
    int FOrientation = 0;
    TFontPitch FPitch = fpDefault;
    int FCharset = DEFAULT_CHARSET;
    TFontQuality FQuality = fqDefault;
    mutable QFont FQFont;
    mutable uint64_t FQFontVersion = 0;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame, psUserStyle, psAlternate };
// pmXor: destination XOR pen colour; pmNot: the destination inverted; the
// rest as their names say.
enum TPenMode {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen,
    pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};

class TPen : public TGraphicsObject {
public:
    TPen() = default;
    TPen(const TPen& other);
    TPen& operator=(const TPen& other);
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    int Width() const { return FWidth; }
    void SetWidth(int v); // below 1 reads as 1 when drawing, as the platform does
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle v);
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode v);
    void Assign(const TPen& src);

private:
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    TPenMode FMode = pmCopy;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBrush : public TGraphicsObject {
public:
    TBrush();
    ~TBrush() override;
    TBrush(const TBrush& other);
    TBrush& operator=(const TBrush& other);
    TColor Color() const { return FColor; }
    void SetColor(TColor v); // a solid colour; a clear brush becomes solid
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle v);
    // An 8x8 pattern bitmap (its top-left 8x8 pixels are repeated); the brush
    // keeps its own copy. nullptr returns to the colour.
    TBitmap* Bitmap() const { return FBitmap.get(); }
    void SetBitmap(const TBitmap* bmp);
    void Assign(const TBrush& src);

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    std::unique_ptr<TBitmap> FBitmap;
};

// ---------------------------------------------------------------------------
// Regions
// ---------------------------------------------------------------------------

enum : int { ERROR_REGION = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3 };
enum : int { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };
enum : int { ALTERNATE = 1, WINDING = 2 };

// A set of whole pixels; a rectangle region leaves out its right and bottom
// edge, a polygon region holds the pixels whose centre lies inside.
class TRegion {
public:
    TRegion() = default;
    explicit TRegion(const QRegion& r) : FRegion(r) {}
    const QRegion& ToQRegion() const { return FRegion; }
    bool IsEmpty() const { return FRegion.isEmpty(); }
    bool Contains(int x, int y) const;
    TRect BoundingBox() const;
    void Offset(int dx, int dy);
    int Kind() const; // NULLREGION, SIMPLEREGION or COMPLEXREGION
    friend bool operator==(const TRegion& a, const TRegion& b) { return a.FRegion == b.FRegion; }

private:
    QRegion FRegion;
};

TRegion CreateRectRgn(int l, int t, int r, int b);
TRegion CreateRectRgnIndirect(const TRect& r);
TRegion CreateEllipticRgn(int l, int t, int r, int b);
TRegion CreateRoundRectRgn(int l, int t, int r, int b, int w, int h);
TRegion CreatePolygonRgn(const TPoint* pts, int count, int fillMode);
TRegion CreatePolygonRgn(const std::vector<TPoint>& pts, int fillMode);
// Dest := A op B; answers the kind of the result.
int CombineRgn(TRegion& dest, const TRegion& a, const TRegion& b, int mode);
bool PtInRegion(const TRegion& r, int x, int y);
int GetRgnBox(const TRegion& r, TRect& box);
int OffsetRgn(TRegion& r, int dx, int dy);
bool EqualRgn(const TRegion& a, const TRegion& b);

// ---------------------------------------------------------------------------
// Text and frame constants
// ---------------------------------------------------------------------------

enum : unsigned {
    DT_TOP = 0x0, DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4, DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40, DT_TABSTOP = 0x80, DT_NOCLIP = 0x100,
    DT_EXTERNALLEADING = 0x200, DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800, DT_INTERNAL = 0x1000,
    DT_EDITCONTROL = 0x2000, DT_PATH_ELLIPSIS = 0x4000, DT_END_ELLIPSIS = 0x8000, DT_MODIFYSTRING = 0x10000,
    DT_RTLREADING = 0x20000, DT_WORD_ELLIPSIS = 0x40000, DT_NOFULLWIDTHCHARBREAK = 0x80000,
    DT_HIDEPREFIX = 0x100000, DT_PREFIXONLY = 0x200000,
};

enum : unsigned {
    BDR_RAISEDOUTER = 0x1, BDR_SUNKENOUTER = 0x2, BDR_RAISEDINNER = 0x4, BDR_SUNKENINNER = 0x8,
    BDR_OUTER = 0x3, BDR_INNER = 0xC, BDR_RAISED = 0x5, BDR_SUNKEN = 0xA,
    EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER, EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
    EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER, EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER,
};
enum : unsigned {
    BF_LEFT = 0x1, BF_TOP = 0x2, BF_RIGHT = 0x4, BF_BOTTOM = 0x8, BF_TOPLEFT = 0x3, BF_TOPRIGHT = 0x6,
    BF_BOTTOMLEFT = 0x9, BF_BOTTOMRIGHT = 0xC, BF_RECT = 0xF, BF_DIAGONAL = 0x10, BF_MIDDLE = 0x800,
    BF_SOFT = 0x1000, BF_ADJUST = 0x2000, BF_FLAT = 0x4000, BF_MONO = 0x8000,
};
enum : unsigned { DFC_CAPTION = 1, DFC_MENU = 2, DFC_SCROLL = 3, DFC_BUTTON = 4, DFC_POPUPMENU = 5 };
enum : unsigned {
    DFCS_BUTTONCHECK = 0x0, DFCS_BUTTONRADIOIMAGE = 0x1, DFCS_BUTTONRADIOMASK = 0x2, DFCS_BUTTONRADIO = 0x4,
    DFCS_BUTTON3STATE = 0x8, DFCS_BUTTONPUSH = 0x10,
    DFCS_SCROLLUP = 0x0, DFCS_SCROLLDOWN = 0x1, DFCS_SCROLLLEFT = 0x2, DFCS_SCROLLRIGHT = 0x3,
    DFCS_SCROLLCOMBOBOX = 0x5, DFCS_SCROLLSIZEGRIP = 0x8,
    DFCS_INACTIVE = 0x100, DFCS_PUSHED = 0x200, DFCS_CHECKED = 0x400, DFCS_TRANSPARENT = 0x800,
    DFCS_HOT = 0x1000, DFCS_ADJUSTRECT = 0x2000, DFCS_FLAT = 0x4000, DFCS_MONO = 0x8000,
};

enum : int { TRANSPARENT = 1, OPAQUE = 2 };

// Raster operations for CopyRect / BitBlt.
enum : uint32_t {
    SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6, SRCINVERT = 0x00660046,
    SRCERASE = 0x00440328, NOTSRCCOPY = 0x00330008, NOTSRCERASE = 0x001100A6, MERGECOPY = 0x00C000CA,
    MERGEPAINT = 0x00BB0226, PATCOPY = 0x00F00021, PATPAINT = 0x00FB0A09, PATINVERT = 0x005A0049,
    DSTINVERT = 0x00550009, BLACKNESS = 0x00000042, WHITENESS = 0x00FF0062,
};
using TCopyMode = uint32_t;
constexpr TCopyMode cmSrcCopy = SRCCOPY, cmSrcPaint = SRCPAINT, cmSrcAnd = SRCAND, cmSrcInvert = SRCINVERT,
                    cmSrcErase = SRCERASE, cmNotSrcCopy = NOTSRCCOPY, cmNotSrcErase = NOTSRCERASE,
                    cmMergeCopy = MERGECOPY, cmMergePaint = MERGEPAINT, cmPatCopy = PATCOPY,
                    cmPatPaint = PATPAINT, cmPatInvert = PATINVERT, cmDstInvert = DSTINVERT,
                    cmBlackness = BLACKNESS, cmWhiteness = WHITENESS;

enum TFillStyle { fsSurface, fsBorder };
enum TGradientDirection { gdHorizontal, gdVertical };

// Alpha blending: SourceConstantAlpha applies to the whole source; with
// AC_SRC_ALPHA the source's own alpha (premultiplied, as the platform wants)
// applies per pixel as well.
enum : uint8_t { AC_SRC_OVER = 0, AC_SRC_ALPHA = 1 };
struct BLENDFUNCTION {
    uint8_t BlendOp = AC_SRC_OVER;
    uint8_t BlendFlags = 0;
    uint8_t SourceConstantAlpha = 255;
    uint8_t AlphaFormat = 0;
};

// ---------------------------------------------------------------------------
// Canvas
// ---------------------------------------------------------------------------

// Mapping modes of a canvas: device pixels, or 0.1 mm with y growing
// upwards (text and pictures are never mirrored; font heights are in the
// same units, a negative height being the character height).
constexpr int MM_TEXT = 1;
constexpr int MM_LOMETRIC = 2;

class TCanvas {
public:
    TCanvas();
    // A canvas that paints on `device` (a widget or an image) from now on.
    explicit TCanvas(QPaintDevice* device);
    virtual ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // Begins painting on a device; the canvas owns that painter until Detach.
    void Attach(QPaintDevice* device);
    // Paints through a painter someone else began (e.g. in a paint event);
    // the canvas sets it up for its rules and restores it on Detach.
    void Attach(QPainter* painter);
    // Paints on a window's part of a larger surface (a form's back buffer):
    // device (0, 0) lies at `origin` of the surface, the device is `size`
    // large and nothing outside `clip` (device coordinates) is touched.
    // ClipRect then answers the damaged part the window is asked to paint.
    void AttachWindow(QImage* surface, TPoint origin, TSize size, const QRegion& clip);
    void Detach();
    bool HandleAllocated() const { return FPainter != nullptr; }
    QPainter* Painter() const { return FPainter; }
    QPaintDevice* Device() const;

    TFont& Font() { return FFont; }
    TPen& Pen() { return FPen; }
    TBrush& Brush() { return FBrush; }
    void SetFont(const TFont& f) { FFont.Assign(f); }
    void SetPen(const TPen& p) { FPen.Assign(p); }
    void SetBrush(const TBrush& b) { FBrush.Assign(b); }
    TPoint PenPos() const { return FPenPos; }
    void SetPenPos(TPoint p) { FPenPos = p; }
    TCopyMode CopyMode() const { return FCopyMode; }
    void SetCopyMode(TCopyMode m) { FCopyMode = m; }
    // Called before and after each drawing operation.
    TGraphicsChange OnChanging;
    TGraphicsChange OnChange;

    // Shapes. Rectangles exclude Right and Bottom.
    void FillRect(const TRect& r);
    void FrameRect(const TRect& r); // a 1-pixel frame in the brush
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
    void RoundRect(const TRect& r, int cx, int cy) { RoundRect(r.Left, r.Top, r.Right, r.Bottom, cx, cy); }
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    // Arc and Pie run counter-clockwise from the radial (x3,y3) to (x4,y4).
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Polygon(const TPoint* pts, int count);
    void Polygon(const std::vector<TPoint>& pts) { Polygon(pts.data(), int(pts.size())); }
    void Polyline(const TPoint* pts, int count);
    void Polyline(const std::vector<TPoint>& pts) { Polyline(pts.data(), int(pts.size())); }
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    TColor Pixels(int x, int y) const; // -1 (CLR_INVALID) outside the device or when unreadable
    void SetPixels(int x, int y, TColor c);
    // fsBorder: fills outward from (x,y) up to pixels of colour c;
    // fsSurface: fills the area of colour c that holds (x,y).
    void FloodFill(int x, int y, TColor c, TFillStyle style = fsBorder);
    void DrawFocusRect(const TRect& r); // dotted, inverting: twice restores
    // Each step a solid band, from `from` to `to`; steps <= 0 means one
    // band per pixel.
    void GradientFillRect(const TRect& r, TColor from, TColor to, TGradientDirection dir, int steps = 0);

    // Text. Font.Color is the text colour; the background is the brush's
    // colour when the brush is solid, left alone when it is clear (or as
    // SetBkMode chose after the last brush change).
    void TextOut(int x, int y, const QString& text);
    void TextRect(const TRect& r, int x, int y, const QString& text);
    TSize TextExtent(const QString& text);
    int TextWidth(const QString& text) { return TextExtent(text).cx; }
    int TextHeight(const QString& text) { return TextExtent(text).cy; }
    // The platform's DrawText: answers the height of the text; with
    // DT_CALCRECT only measures and widens/narrows r.Right and sets r.Bottom.
    // Layout takes time in proportion to the text's length. A call that
    // paints clipped to r lays out only the lines that can show in r (its
    // answer counts those) and draws only the part of a long line that can
    // show, so a huge text paints as fast as the part of it that shows.
    int DrawText(const QString& text, TRect& r, unsigned flags);
    int DrawText(const QString& text, const TRect& r, unsigned flags) {
        TRect c = r;
        return DrawText(text, c, flags);
    }
    int SetBkMode(int mode); // answers the previous mode
    int BkMode() const { return FBkMode; }
    TColor SetBkColor(TColor c);
    TColor BkColor() const { return FBkColor; }

    // Pictures.
    void Draw(int x, int y, TGraphic* g);
    void Draw(int x, int y, TGraphic* g, uint8_t opacity);
    void StretchDraw(const TRect& r, TGraphic* g);
    void CopyRect(const TRect& dest, TCanvas* src, const TRect& source);
    // Copies the source with `key` replaced by the brush.
    void BrushCopy(const TRect& dest, TBitmap* src, const TRect& source, TColor key);

    // Frames of the classic look.
    bool DrawEdge(TRect& r, unsigned edge, unsigned flags);
    bool DrawFrameControl(TRect& r, unsigned kind, unsigned state);

    // Clipping, in device coordinates like the platform's regions.
    TRect ClipRect() const; // in logical coordinates
    TPoint LPtoDP(TPoint logical) const;
    TPoint DPtoLP(TPoint device) const;
    // MM_TEXT or MM_LOMETRIC; answers the previous mode (0 for another).
    int SetMapMode(int mode);
    int MapMode() const { return FMapMode; }
    // On a mapped canvas: what is drawn until EndUprightSpace goes through a
    // space of its own whose y axis points down, its (x, y) landing at the
    // mapped point (Origin.X + x * Scale, Origin.Y - y * Scale). Code that
    // paints in device pixels draws upright and scaled through it: shapes,
    // text, pictures and clipping alike. Does nothing on an unmapped canvas;
    // the spaces do not nest (a second Begin replaces the first).
    void BeginUprightSpace(TPoint Origin, double Scale);
    void EndUprightSpace();
    bool InUprightSpace() const { return FUpright; }
    void SelectClipRgn(const TRegion* rgn); // nullptr removes the clip
    int GetClipRgn(TRegion& rgn) const;      // 0 when there is no clip
    int IntersectClipRect(int l, int t, int r, int b); // logical coordinates
    int ExcludeClipRect(int l, int t, int r, int b);   // logical coordinates
    bool HasClip() const { return FHasClip; }
    int SetPolyFillMode(int mode); // ALTERNATE or WINDING; answers the previous

    // State: pen, brush, font, clip, origins, background and copy mode.
    int SaveState();
    bool RestoreState(int saved = -1); // -1: the last saved state
    // Logical (x, y) is drawn at device (0, 0).
    TPoint SetWindowOrg(int x, int y);
    TPoint WindowOrg() const { return FWindowOrg; }
    TPoint SetBrushOrigin(int x, int y);
    TPoint BrushOrigin() const { return FBrushOrigin; }

    // The image behind a bitmap canvas, nullptr on a widget.
    QImage* Image() const;

protected:
    void Changing();
    void Changed();

private:
    // A shape drawn by the toolkit with the canvas's pen and brush inside the
    // normalised rectangle (right and bottom edge excluded).
    void DrawPenBrushShape(int x1, int y1, int x2, int y2, const std::function<void(QPainter&, const QRect&)>& draw);

    struct SavedState;
    friend void AlphaBlend(TCanvas*, int, int, int, int, TCanvas*, int, int, int, int, BLENDFUNCTION);
    friend bool BitBlt(TCanvas*, int, int, int, int, TCanvas*, int, int, uint32_t);
    friend bool StretchBlt(TCanvas*, int, int, int, int, TCanvas*, int, int, int, int, uint32_t);
    friend bool MaskBlt(TCanvas*, int, int, int, int, TCanvas*, int, int, TBitmap*, int, int, uint32_t);
    void SetUpPainter();
    void ApplyTransform();
    void ApplyClip();
    void SyncBkFromBrush();
    bool SetRop2();                       // false when the pen mode draws nothing
    QColor RopColor(TColor c) const;      // the colour the pen mode paints with
    QBrush ShapeBrush() const;            // the brush under the pen mode
    QBrush PatternBrush() const;          // the brush as FillRect uses it
    void FillWithBrush(const QRect& r, const QBrush& b);
    void StrokeLine(int x1, int y1, int x2, int y2);
    void StrokePoints(const std::vector<QPoint>& pts, bool closed);
    QPen ShapePen() const;
    bool PenVisible() const;
    bool BrushVisible() const;
    const QFontMetrics& Metrics();
    TTextWidths& Widths(); // advances in the current font, for long texts
    void UseFont();
public:
    // One line of DrawText's layout; Underline is the index of the prefixed
    // character inside Text, or -1; Width is measured when first needed.
    struct TextLineOut {
        QString Text;
        int Underline = -1;
        int Width = -1;
    };
private:
    class TRunMeasure;
    void WrapParagraph(const QString& text, const std::vector<bool>& marked, qsizetype from, qsizetype to, int width,
                       unsigned flags, size_t maxLines, std::vector<TextLineOut>& lines);
    void EndEllipsis(TextLineOut& l, int width, bool tabs);
    void CutToShown(TextLineOut& l, int& x, bool right, int clipLeft, int clipRight, bool tabs);
    int LineWidth(const QString& s, bool expandTabs);
    void PaintTextLine(int x, int y, const QString& s, int underlineAt, bool expandTabs, bool opaque);
    QImage SourceImage(TCanvas* src, const QRect& logical, bool& ok) const;
    void BlitImage(const QRect& dest, const QImage& src, uint32_t rop);
    QRect DeviceBounds() const;

    // Text and pictures of a mapped canvas are drawn in a space whose y axis
    // points down (logical y negated), so that they stay upright.
    struct TTextSpace {
        explicit TTextSpace(TCanvas* c) : C(c) {
            C->FInTextSpace = true;
            C->ApplyTransform();
        }
        ~TTextSpace() {
            C->FInTextSpace = false;
            C->ApplyTransform();
        }
        TTextSpace(const TTextSpace&) = delete;
        TTextSpace& operator=(const TTextSpace&) = delete;
        TCanvas* C;
    };
    QRect LogicalToDevice(int l, int t, int r, int b) const;
    TRect Upright(const TRect& r) const { return TRect(r.Left, -r.Top, r.Right, -r.Bottom); }
    bool Mapped() const { return FMapMode == MM_LOMETRIC && !FInTextSpace && !FUpright; }
    // Logical to device coordinates (no outside painter's transform).
    QTransform LogicalTransform() const;

    int FMapMode = MM_TEXT;
    double FMapScale = 1.0;
    bool FInTextSpace = false;
    bool FUpright = false;
    TPoint FUpOrigin;
    double FUpScale = 1.0;
    QPainter* FPainter = nullptr;
    bool FOwnsPainter = false;
    QImage* FImage = nullptr; // set when painting on an image
    TFont FFont;
    TPen FPen;
    TBrush FBrush;
    TPoint FPenPos;
    TCopyMode FCopyMode = cmSrcCopy;
    int FBkMode = OPAQUE;
    TColor FBkColor = clWhite;
    uint64_t FBkBrushVersion = 0;
    int FPolyFillMode = ALTERNATE;
    TPoint FWindowOrg;
    TPoint FBrushOrigin;
    bool FHasClip = false;
    QRegion FClip; // device coordinates
    bool FHasBaseClip = false;
    QRegion FBaseClip; // the clip an outside painter came with, device coordinates
    QTransform* FBaseTransform = nullptr;
    // A window canvas: where its device starts on the image, and its size
    // (invalid: the whole device).
    QPoint FDevOrg;
    QSize FDevSize;
    std::vector<std::unique_ptr<SavedState>> FSaved;
    std::unique_ptr<QFontMetrics> FMetrics;
    uint64_t FMetricsVersion = 0;
    std::unique_ptr<TTextWidths> FWidths;
    uint64_t FWidthsVersion = 0;
    uint64_t FPainterFontVersion = 0;
};

// Whole-canvas transfers, the platform's free functions.
bool BitBlt(TCanvas* dest, int x, int y, int w, int h, TCanvas* src, int sx, int sy, uint32_t rop);
bool StretchBlt(TCanvas* dest, int x, int y, int w, int h, TCanvas* src, int sx, int sy, int sw, int sh,
                uint32_t rop);
// Two raster operations chosen per pixel by a mask: where the mask's pixel is
// not black the foreground operation (rop's low three bytes) applies, else the
// background one (rop's top byte), as MAKEROP4(fore, back) packs them. Without
// a mask the foreground operation applies everywhere. The destination must be
// a bitmap canvas; false when it or the source cannot be read.
bool MaskBlt(TCanvas* dest, int x, int y, int w, int h, TCanvas* src, int sx, int sy, TBitmap* mask, int mx, int my,
             uint32_t rop);
constexpr uint32_t MAKEROP4(uint32_t fore, uint32_t back) { return ((back << 8) & 0xFF000000u) | fore; }
// One byte of a ternary raster operation: `code` is the operation's index
// byte (0xCC copy, 0xAA keep, 0xF0 pattern ...), p, s and d the pattern,
// source and destination bytes.
uint8_t Rop3(uint8_t code, uint8_t p, uint8_t s, uint8_t d);
void AlphaBlend(TCanvas* dest, int x, int y, int w, int h, TCanvas* src, int sx, int sy, int sw, int sh,
                BLENDFUNCTION blend);
// One channel blended as the platform does: (src * a + dst * (255 - a)) / 255.
constexpr int BlendChannel(int src, int dst, int alpha) { return (src * alpha + dst * (255 - alpha)) / 255; }

// ---------------------------------------------------------------------------
// Graphics: bitmap, icon, picture
// ---------------------------------------------------------------------------

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };

// One pixel of a row, in the platform's byte order (blue first).
struct TRGBQuad {
    uint8_t rgbBlue;
    uint8_t rgbGreen;
    uint8_t rgbRed;
    uint8_t rgbReserved; // alpha in 32-bit bitmaps, 255 in 24-bit ones
};

class TGraphic {
public:
    virtual ~TGraphic() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual bool Empty() const = 0;
    virtual void SetSize(int w, int h) = 0;
    bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool v);
    // The graphic as a 32-bit image (straight alpha) ready for drawing.
    virtual QImage ToImage() const = 0;
    // Draws into r, stretched when the sizes differ.
    virtual void Draw(TCanvas* canvas, const TRect& r);
    virtual void LoadFromFile(const QString& path);
    virtual void LoadFromStream(QIODevice& stream);
    virtual void LoadFromBytes(const QByteArray& bytes) = 0;
    virtual void SaveToFile(const QString& path) const;
    virtual QByteArray SaveToBytes() const = 0;
    TGraphicsChange OnChange;

protected:
    void Changed();
    bool FTransparent = false;
};

class TBitmap : public TGraphic {
public:
    TBitmap();
    TBitmap(int w, int h, TPixelFormat pf = pf24bit);
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const override;
    int Height() const override;
    bool Empty() const override;
    void SetWidth(int w);
    void SetHeight(int h);
    void SetSize(int w, int h) override; // new pixels are white in 24-bit, transparent black in 32-bit
    TPixelFormat PixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat pf); // 24 or 32 bit; others are kept as 24-bit
    // The row's pixels (Width of them); raises when y is outside.
    TRGBQuad* ScanLine(int y);
    const TRGBQuad* ScanLine(int y) const;
    TCanvas* Canvas();
    // Transparent drawing leaves out TransparentColor; in tmAuto that is the
    // bottom-left pixel's colour.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor c); // switches to tmFixed
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode m);
    void Assign(const TGraphic* src);
    void Assign(const QImage& img);
    void FreeImage() { SetSize(0, 0); }
    void Dormant() {}
    QImage ToImage() const override;
    QImage& Image() { return FImage; }
    const QImage& Image() const { return FImage; }
    void Draw(TCanvas* canvas, const TRect& r) override;
    void LoadFromBytes(const QByteArray& bytes) override;
    QByteArray SaveToBytes() const override; // a 24- or 32-bit BMP file

private:
    void DetachCanvas();
    void ReattachCanvas();
    QImage FImage;
    TPixelFormat FPixelFormat = pf24bit;
    std::unique_ptr<TCanvas> FCanvas;
    TTransparentMode FTransparentMode = tmAuto;
    TColor FTransparentColor = clDefault;
};

// An icon: a 32-bit image with alpha; ICO files hold several, the largest
// of the best depth is kept.
class TIcon : public TGraphic {
public:
    int Width() const override { return FImage.width(); }
    int Height() const override { return FImage.height(); }
    bool Empty() const override { return FImage.isNull(); }
    void SetSize(int w, int h) override;
    QImage ToImage() const override { return FImage; }
    void Assign(const QImage& img);
    void LoadFromBytes(const QByteArray& bytes) override;
    QByteArray SaveToBytes() const override; // an ICO file with one 32-bit image
    const QImage& Image() const { return FImage; }

private:
    QImage FImage;
};

// Holds one graphic of the kind its content shows: BMP, PNG, JPEG, GIF (as
// bitmaps) or ICO (as an icon).
class TPicture {
public:
    TPicture();
    ~TPicture();
    TGraphic* Graphic() const { return FGraphic.get(); }
    void SetGraphic(std::unique_ptr<TGraphic> g);
    // The graphic as a bitmap; a non-bitmap graphic is replaced by its bitmap.
    TBitmap* Bitmap();
    TIcon* Icon() const;
    int Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int Height() const { return FGraphic ? FGraphic->Height() : 0; }
    void LoadFromFile(const QString& path);
    void LoadFromStream(QIODevice& stream);
    void LoadFromBytes(const QByteArray& bytes);
    void SaveToFile(const QString& path) const;
    void Assign(const TPicture* src);
    void Clear() { FGraphic.reset(); }
    TGraphicsChange OnChange;

private:
    std::unique_ptr<TGraphic> FGraphic;
};

// Decodes BMP, PNG, JPEG, GIF or ICO by their content; raises EInvalidGraphic
// with a clear message on anything else or on broken data.
QImage DecodePicture(const QByteArray& bytes);

// The screen's resolution: the layer draws at 96 pixels per inch.
constexpr int ScreenPixelsPerInch = 96;
