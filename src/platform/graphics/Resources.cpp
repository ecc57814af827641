// The program's own named bitmaps and cursors, drawn in code on first use.
#include "platform/graphics/Resources.h"

#include <QHash>
#include <QMutex>
#include <QPainter>
#include <QPixmap>
#include <functional>

namespace {

// The colour that marks transparent pixels in every picture drawn here (and
// sits in each picture's bottom-left and top-left corner).
constexpr TColor kKey = clFuchsia;

TBitmap* NewPicture(TBitmap& b, int w, int h) {
    b.SetSize(w, h);
    TCanvas* c = b.Canvas();
    c->Brush().SetColor(kKey);
    c->FillRect(Rect(0, 0, w, h));
    return &b;
}

// A frame-control picture centred in a w x h picture with a key-coloured
// margin around it.
QImage FramePicture(int w, int h, int margin, unsigned kind, unsigned state) {
    TBitmap b;
    NewPicture(b, w, h);
    TRect r(margin, margin, w - margin, h - margin);
    b.Canvas()->DrawFrameControl(r, kind, state);
    return b.Image().copy();
}

// Check boxes and radio buttons: checked/unchecked, active/inactive.
QImage CheckPicture(int size, int margin, bool radio, bool checked, bool active, bool flat) {
    unsigned state = radio ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK;
    if (checked) state |= DFCS_CHECKED;
    if (!active) state |= DFCS_INACTIVE;
    if (flat) state |= DFCS_FLAT;
    return FramePicture(size, size, margin, DFC_BUTTON, state);
}

// A 25-image strip of 16 x 16 check images in the tree's order: 0 empty;
// radio unchecked (1-4) and checked (5-8); check box unchecked (9-12),
// checked (13-16), mixed (17-20); push button (21-24); each group normal,
// hot, pressed, disabled.
QImage CheckStrip(bool flat, bool dark) {
    TBitmap b;
    NewPicture(b, 25 * 16, 16);
    TCanvas* c = b.Canvas();
    const unsigned stateBits[4] = {0, DFCS_HOT, DFCS_PUSHED, DFCS_INACTIVE};
    for (int i = 1; i <= 24; ++i) {
        const int group = (i - 1) / 4, variant = (i - 1) % 4;
        unsigned kind = DFC_BUTTON, state = stateBits[variant] | (flat ? unsigned(DFCS_FLAT) : 0u);
        switch (group) {
        case 0: state |= DFCS_BUTTONRADIO; break;
        case 1: state |= DFCS_BUTTONRADIO | DFCS_CHECKED; break;
        case 2: state |= DFCS_BUTTONCHECK; break;
        case 3: state |= DFCS_BUTTONCHECK | DFCS_CHECKED; break;
        case 4: state |= DFCS_BUTTON3STATE | DFCS_CHECKED; break;
        default: state |= DFCS_BUTTONPUSH; break;
        }
        // The dark strips show the inside of boxes and circles in the face colour.
        if (dark && group < 5) state |= DFCS_PUSHED;
        TRect r = Bounds(i * 16 + 1, 1, 13, 13);
        c->DrawFrameControl(r, kind, state);
    }
    return b.Image().copy();
}

QImage ArrowPicture(int w, int h, unsigned dir) {
    TBitmap b;
    NewPicture(b, w, h);
    TCanvas* c = b.Canvas();
    c->Brush().SetColor(clBtnText);
    const int rows = (w - 1) / 2;
    for (int i = 0; i < rows; ++i) {
        const int len = w - 2 - 2 * i;
        const int y = dir == DFCS_SCROLLUP ? h - 2 - i : 1 + i;
        if (len > 0) c->FillRect(Bounds(1 + i, y, len, 1));
    }
    return b.Image().copy();
}

// The tree's expand buttons: a framed square with a minus, and a plus.
QImage NodeButton(bool plus, int size) {
    TBitmap b;
    NewPicture(b, size, size);
    TCanvas* c = b.Canvas();
    c->Brush().SetColor(clWindow);
    c->Pen().SetColor(clBtnShadow);
    c->Rectangle(0, 0, size, size);
    c->Brush().SetColor(clWindowText);
    const int mid = size / 2;
    c->FillRect(Rect(2, mid, size - 2, mid + 1));
    if (plus) c->FillRect(Rect(mid, 2, mid + 1, size - 2));
    // Keep the corners transparent so the picture's key shows in them.
    c->SetPixels(0, size - 1, kKey);
    c->SetPixels(0, 0, kKey);
    return b.Image().copy();
}

// A leaf node: a page, folded (closed) or with a line of text (open).
QImage LeafPicture(bool open) {
    TBitmap b;
    NewPicture(b, 16, 16);
    TCanvas* c = b.Canvas();
    c->Pen().SetColor(clBtnShadow);
    c->Brush().SetColor(open ? clWindow : clBtnFace);
    c->Rectangle(3, 1, 13, 15);
    c->Brush().SetColor(clWindowText);
    for (int y = 4; y < 13; y += 3) c->FillRect(Rect(5, y, open ? 11 : 9, y + 1));
    return b.Image().copy();
}

QImage FilterPicture() {
    TBitmap b;
    NewPicture(b, 16, 16);
    TCanvas* c = b.Canvas();
    c->Brush().SetColor(clBtnText);
    // A funnel: a wide top narrowing to a stem.
    for (int i = 0; i < 6; ++i) c->FillRect(Rect(2 + i, 3 + i, 14 - i, 4 + i));
    c->FillRect(Rect(7, 9, 9, 14));
    return b.Image().copy();
}

QImage PanPicture(bool horizontal, bool vertical) {
    TBitmap b;
    NewPicture(b, 32, 32);
    TCanvas* c = b.Canvas();
    c->Pen().SetColor(clBlack);
    c->Brush().SetColor(clWhite);
    c->Ellipse(4, 4, 28, 28);
    c->Brush().SetColor(clBlack);
    c->Ellipse(14, 14, 18, 18);
    auto tri = [&](std::vector<TPoint> pts) { c->Polygon(pts); };
    if (vertical) {
        tri({{16, 6}, {12, 11}, {20, 11}});
        tri({{16, 25}, {12, 20}, {20, 20}});
    }
    if (horizontal) {
        tri({{6, 16}, {11, 12}, {11, 20}});
        tri({{25, 16}, {20, 12}, {20, 20}});
    }
    return b.Image().copy();
}

QImage MetroPicture(bool radio, bool on) {
    TBitmap b;
    NewPicture(b, 16, 16);
    TCanvas* c = b.Canvas();
    c->Pen().SetColor(RGB(0x33, 0x33, 0x33));
    c->Brush().SetColor(clWhite);
    if (radio) c->Ellipse(1, 1, 15, 15);
    else c->Rectangle(1, 1, 15, 15);
    if (on) {
        c->Brush().SetColor(RGB(0x33, 0x33, 0x33));
        c->Pen().SetColor(RGB(0x33, 0x33, 0x33));
        if (radio) c->Ellipse(5, 5, 11, 11);
        else c->FillRect(Rect(4, 4, 12, 12));
    }
    return b.Image().copy();
}

// The colour spectrum: 128 x 128, 24 bits; the hue goes once round the
// colour circle from red at the left edge back to red at the right edge, the
// lightness falls from white at the top through the full colours in the
// middle row to black at the bottom.
QImage SpectrumPicture() {
    constexpr int n = 128;
    QImage img(n, n, QImage::Format_RGB888);
    for (int y = 0; y < n; ++y) {
        const double light = 1.0 - double(y) / (n - 1);
        for (int x = 0; x < n; ++x) {
            const double hue = double(x) / (n - 1);
            img.setPixelColor(x, y, QColor::fromHslF(float(hue >= 1.0 ? 0.0 : hue), 1.0f, float(light)));
        }
    }
    return img;
}

using Maker = std::function<QImage()>;

const QHash<QString, Maker>& Makers() {
    static const QHash<QString, Maker> makers = [] {
        QHash<QString, Maker> m;
        // Grid check boxes and radio buttons: 1 checked, 2 unchecked, 3 and
        // 4 the same inactive; 01-04 the 20 x 20 look, 05-08 the 16 x 16 one.
        for (int i = 0; i < 8; ++i) {
            const bool checked = i % 2 == 0, active = (i % 4) < 2, big = i < 4;
            const QString n = QStringLiteral("%1").arg(i + 1, 2, 10, QLatin1Char('0'));
            m.insert(QStringLiteral("SGCHK") + n,
                     [=] { return CheckPicture(big ? 20 : 16, big ? 3 : 1, false, checked, active, big); });
            m.insert(QStringLiteral("SGRAD") + n,
                     [=] { return CheckPicture(16, 1, true, checked, active, big); });
        }
        m.insert(QStringLiteral("SGLEAFOPEN"), [] { return LeafPicture(true); });
        m.insert(QStringLiteral("SGLEAFCLOSE"), [] { return LeafPicture(false); });
        m.insert(QStringLiteral("XPNODEO"), [] { return NodeButton(false, 9); });
        m.insert(QStringLiteral("XPNODEC"), [] { return NodeButton(true, 9); });
        m.insert(QStringLiteral("LT_XPBUTTONMINUS"), [] { return NodeButton(false, 9); });
        m.insert(QStringLiteral("LT_XPBUTTONPLUS"), [] { return NodeButton(true, 9); });
        m.insert(QStringLiteral("SGFILT"), [] { return FilterPicture(); });
        m.insert(QStringLiteral("SgSpinUp"), [] { return ArrowPicture(9, 6, DFCS_SCROLLUP); });
        m.insert(QStringLiteral("SgSpinDown"), [] { return ArrowPicture(9, 6, DFCS_SCROLLDOWN); });
        m.insert(QStringLiteral("LBARROW"), [] { return ArrowPicture(9, 6, DFCS_SCROLLDOWN); });
        m.insert(QStringLiteral("METROCHECKON"), [] { return MetroPicture(false, true); });
        m.insert(QStringLiteral("METROCHECKOFF"), [] { return MetroPicture(false, false); });
        m.insert(QStringLiteral("METRORADIOON"), [] { return MetroPicture(true, true); });
        m.insert(QStringLiteral("METRORADIOOFF"), [] { return MetroPicture(true, false); });
        m.insert(QStringLiteral("LT_CHECK_LIGHT"), [] { return CheckStrip(false, false); });
        m.insert(QStringLiteral("LT_CHECK_DARK"), [] { return CheckStrip(false, true); });
        m.insert(QStringLiteral("LT_TICK_LIGHT"), [] { return CheckStrip(false, false); });
        m.insert(QStringLiteral("LT_TICK_DARK"), [] { return CheckStrip(false, true); });
        m.insert(QStringLiteral("LT_FLAT"), [] { return CheckStrip(true, false); });
        m.insert(QStringLiteral("LT_XP"), [] { return CheckStrip(true, false); });
        m.insert(QStringLiteral("LT_UTILITIES"), [] { return CheckStrip(true, false); });
        m.insert(QStringLiteral("LT_MOVEALL"), [] { return PanPicture(true, true); });
        m.insert(QStringLiteral("LT_MOVEEW"), [] { return PanPicture(true, false); });
        m.insert(QStringLiteral("LT_MOVENS"), [] { return PanPicture(false, true); });
        m.insert(QStringLiteral("QOR_SPECTRUM"), [] { return SpectrumPicture(); });
        return m;
    }();
    return makers;
}

struct Registry {
    QMutex Lock;
    QHash<QString, QImage> Images;
    QHash<TCursor, QCursor> Cursors;
    // Numbers given a named cursor, made when asked for.
    QHash<TCursor, QString> NamedCursors;
};

Registry& Reg() {
    static Registry r;
    return r;
}

// The platform's mapped loading: the four greys of a classic picture become
// the system colours.
QRgb MapColour(QRgb c) {
    switch (c & 0xFFFFFF) {
    case 0x000000: return ColorToQColor(clBtnText).rgb();
    case 0x808080: return ColorToQColor(clBtnShadow).rgb();
    case 0xC0C0C0: return ColorToQColor(clBtnFace).rgb();
    case 0xFFFFFF: return ColorToQColor(clBtnHighlight).rgb();
    default: return c;
    }
}

Qt::CursorShape StandardShape(TCursor id) {
    switch (id) {
    case crNone: return Qt::BlankCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass:
    case crSQLWait: return Qt::WaitCursor;
    case crDrag:
    case crMultiDrag: return Qt::DragCopyCursor;
    case crNoDrop:
    case crNo: return Qt::ForbiddenCursor;
    case crHSplit: return Qt::SplitHCursor;
    case crVSplit: return Qt::SplitVCursor;
    case crAppStart: return Qt::BusyCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
    }
}

struct OwnCursor {
    TCursor Id;
    Qt::CursorShape Shape;
};

// The program's own cursors: wheel panning (8000 idle, then by direction),
// row and column sizing, cell selection.
constexpr OwnCursor kOwnCursors[] = {
    {8000, Qt::SizeAllCursor},   {8001, Qt::SizeVerCursor},   {8002, Qt::SizeHorCursor},
    {8003, Qt::SizeHorCursor},   {8004, Qt::SizeVerCursor},   {8005, Qt::SizeBDiagCursor},
    {8006, Qt::SizeFDiagCursor}, {8007, Qt::SizeFDiagCursor}, {8008, Qt::SizeBDiagCursor},
    {8009, Qt::SizeAllCursor},   {8010, Qt::SplitVCursor},    {8011, Qt::SplitHCursor},
    {8012, Qt::CrossCursor},     {8014, Qt::PointingHandCursor},
};

struct NamedCursor {
    const char* Name;
    Qt::CursorShape Shape;
};

constexpr NamedCursor kNamedCursors[] = {
    {"LT_HEADERSPLIT", Qt::SplitHCursor}, {"LT_VERTSPLIT", Qt::SplitVCursor}, {"LT_MOVEALL", Qt::SizeAllCursor},
    {"LT_MOVEEW", Qt::SizeHorCursor},     {"LT_MOVENS", Qt::SizeVerCursor},   {"LT_MOVEN", Qt::UpArrowCursor},
    {"LT_MOVES", Qt::SizeVerCursor},      {"LT_MOVEE", Qt::SizeHorCursor},    {"LT_MOVEW", Qt::SizeHorCursor},
    {"LT_MOVENE", Qt::SizeBDiagCursor},   {"LT_MOVENW", Qt::SizeFDiagCursor}, {"LT_MOVESE", Qt::SizeFDiagCursor},
    {"LT_MOVESW", Qt::SizeBDiagCursor},
    // The colour spectrum's pointer.
    {"QOR_POINTER", Qt::CrossCursor},
};

} // namespace

QImage ResourceImage(const QString& name) {
    Registry& r = Reg();
    {
        QMutexLocker lock(&r.Lock);
        auto it = r.Images.constFind(name);
        if (it != r.Images.constEnd()) return *it;
    }
    auto mk = Makers().constFind(name);
    if (mk == Makers().constEnd()) return QImage();
    QImage img = (*mk)();
    QMutexLocker lock(&r.Lock);
    r.Images.insert(name, img);
    return img;
}

bool HasResourceImage(const QString& name) {
    Registry& r = Reg();
    {
        QMutexLocker lock(&r.Lock);
        if (r.Images.contains(name)) return true;
    }
    return Makers().contains(name);
}

bool LoadResourceBitmap(TBitmap* bmp, const QString& name) {
    const QImage img = ResourceImage(name);
    if (!bmp || img.isNull()) return false;
    bmp->Assign(img);
    return true;
}

bool LoadMappedResourceBitmap(TBitmap* bmp, const QString& name) {
    QImage img = ResourceImage(name);
    if (!bmp || img.isNull()) return false;
    img = img.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) row[x] = MapColour(row[x]);
    }
    bmp->Assign(img);
    return true;
}

QStringList ResourceImageNames() {
    QStringList names = Makers().keys();
    Registry& r = Reg();
    QMutexLocker lock(&r.Lock);
    for (auto it = r.Images.constBegin(); it != r.Images.constEnd(); ++it)
        if (!names.contains(it.key())) names << it.key();
    names.sort();
    return names;
}

void RegisterResourceImage(const QString& name, const QImage& image) {
    Registry& r = Reg();
    QMutexLocker lock(&r.Lock);
    r.Images.insert(name, image);
}

bool HasCursor(TCursor id) {
    if (id <= 0 && id >= crHandPoint - 1) return true;
    for (const auto& c : kOwnCursors)
        if (c.Id == id) return true;
    Registry& r = Reg();
    QMutexLocker lock(&r.Lock);
    return r.Cursors.contains(id) || r.NamedCursors.contains(id);
}

QCursor CursorFor(TCursor id) {
    QString named;
    {
        Registry& r = Reg();
        QMutexLocker lock(&r.Lock);
        auto it = r.Cursors.constFind(id);
        if (it != r.Cursors.constEnd()) return *it;
        named = r.NamedCursors.value(id);
    }
    if (!named.isEmpty()) return CursorByName(named);
    for (const auto& c : kOwnCursors)
        if (c.Id == id) return QCursor(c.Shape);
    return QCursor(StandardShape(id));
}

QCursor CursorByName(const QString& name) {
    for (const auto& c : kNamedCursors)
        if (name == QLatin1String(c.Name)) return QCursor(c.Shape);
    return QCursor(Qt::ArrowCursor);
}

void RegisterCursor(TCursor id, const QCursor& c) {
    Registry& r = Reg();
    QMutexLocker lock(&r.Lock);
    r.NamedCursors.remove(id);
    r.Cursors.insert(id, c);
}

void RegisterNamedCursor(TCursor id, const QString& name) {
    Registry& r = Reg();
    QMutexLocker lock(&r.Lock);
    r.Cursors.remove(id);
    r.NamedCursors.insert(id, name);
}

// ---- named raw data

namespace {
QHash<QString, QByteArray>& RawData() {
    static QHash<QString, QByteArray> d;
    return d;
}
QString RawKey(const QString& name) { return name.toUpper(); }
}  // namespace

void RegisterResourceData(const QString& name, const QByteArray& data) { RawData().insert(RawKey(name), data); }
bool HasResourceData(const QString& name) { return RawData().contains(RawKey(name)); }
QByteArray ResourceData(const QString& name) { return RawData().value(RawKey(name)); }

void LoadResourcePicture(TPicture* picture, const QString& resName) {
    if (!picture) return;
    static const QString kPrefix = QStringLiteral("RES://");
    const QString name = resName.startsWith(kPrefix, Qt::CaseInsensitive) ? resName.mid(kPrefix.size()) : resName;
    if (!HasResourceData(name))
        throw EInvalidGraphic(QStringLiteral("Resource %1 not found").arg(name));
    picture->LoadFromBytes(ResourceData(name));
}
