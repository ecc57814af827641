// The binary cell stream: a rectangle of cells with their texts, cell
// properties and cell graphics, as a sequence of component records (see
// platform/core/BinComponentStream.h). One grid-properties record, then per
// cell (rows top to bottom, columns left to right) a cell record, followed
// by a properties record when the cell has properties, a graphic record when
// it has a graphic, and an object record for the graphic's picture or list.
//
// The reader takes the whole stream in and checks it before the grid
// changes: a damaged stream raises and places nothing. Cells are placed by
// their order inside the rectangle, so the 16-bit column and row fields of
// the cell records do not limit where a rectangle can lie.
#include "gridpack/gridexchange/ExchangeText.h"
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/core/BinComponentStream.h"
#include "platform/core/Files.h"
#include "platform/core/IntConv.h"
#include "platform/core/Streams.h"
#include "platform/graphics/Graphics.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

using namespace GridExchange;

namespace {

// --- enumeration names as the records spell them
struct TNames {
    std::vector<const char*> N;
    const char* operator[](int i) const { return i >= 0 && size_t(i) < N.size() ? N[size_t(i)] : ""; }
    int IndexOf(QByteArrayView s) const
    {
        for (size_t i = 0; i < N.size(); ++i)
            if (s == QByteArrayView(N[i]))
                return int(i);
        return -1;
    }
};
const TNames& AlignNames()
{
    static const TNames n{{"taLeftJustify", "taRightJustify", "taCenter"}};
    return n;
}
const TNames& BrushStyleNames()
{
    static const TNames n{{"bsSolid", "bsClear",     "bsHorizontal", "bsVertical",
                                  "bsFDiagonal", "bsBDiagonal", "bsCross", "bsDiagCross"}};
    return n;
}
const TNames& EditorNames()
{
    static const TNames n{{
        "edNormal", "edSpinEdit", "edComboEdit", "edComboList", "edEditBtn", "edCheckBox", "edDateEdit",
        "edDateEditUpDown", "edTimeEdit", "edButton", "edDataCheckBox", "edNumeric", "edPositiveNumeric", "edFloat",
        "edCapital", "edMixedCase", "edPassword", "edUnitEditBtn", "edLowerCase", "edUpperCase", "edFloatSpinEdit",
        "edTimeSpinEdit", "edDateSpinEdit", "edNumericEditBtn", "edFloatEditBtn", "edCustom", "edRichEdit",
        "edNone", "edDateTimeEdit", "edValidChars", "edTrackbarDropDown", "edMemoDropDown",
        "edCalculatorDropDown", "edTimePickerDropDown", "edDetailDropDown", "edGridDropDown",
        "edColorPickerDropDown", "edImagePickerDropDown", "edExGridDropDown", "edPositiveFloat",
        "edNumericUnitEditBtn", "edFloatUnitEditBtn", "edMaskEditBtn"}};
    return n;
}
const TNames& GradientNames()
{
    static const TNames n{{"GradientVertical", "GradientHorizontal"}};
    return n;
}
const TNames& VAlignNames()
{
    static const TNames n{{"vtaTop", "vtaCenter", "vtaBottom"}};
    return n;
}
const TNames& FontStyleNames()
{
    static const TNames n{{"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};
    return n;
}
const TNames& CellTypeNames()
{
    static const TNames n{{
        "ctBitmap", "ctIcon", "ctNone", "ctImageList", "ctCheckBox", "ctDataCheckBox", "ctRotated", "ctDataImage",
        "ctNode", "ctRadio", "ctEmpty", "ctImages", "ctPicture", "ctFilePicture", "ctValue", "ctProgress",
        "ctComment", "ctButton", "ctBitButton", "ctVirtCheckBox", "ctRowCheckBox", "ctProgressPie", "ctSummary",
        "ctRangeIndicator", "ctXPProgress", "ctInterface", "ctScrollbar", "ctRadioButton", "ctBalloon", "ctShape",
        "ctRating", "ctTriStateCheckBox", "ctExpand"}};
    return n;
}
const TNames& CellVAlignNames()
{
    static const TNames n{{"vaTop", "vaBottom", "vaCenter", "vaUnderText", "vaAboveText", "vaFull"}};
    return n;
}
const TNames& CellHAlignNames()
{
    static const TNames n{{"haLeft", "haRight", "haCenter", "haBeforeText", "haAfterText", "haFull"}};
    return n;
}

[[noreturn]] void Bad(const QString& what)
{
    throw EReadError(QStringLiteral("Invalid grid cell stream: ") + what);
}

// --- writing helpers

void WriteColour(TBinRecordWriter& w, const char* name, TColor c)
{
    // clNone, the most frequent value, without a lookup
    if (c == clNone) {
        w.Ident(name, "clNone");
        return;
    }
    // The colour table is searched once per colour value.
    static thread_local std::unordered_map<uint32_t, QByteArray> idents;
    auto it = idents.find(uint32_t(c));
    if (it == idents.end()) {
        const QString s = ColorToString(c);
        it = idents.emplace(uint32_t(c), s.startsWith(QLatin1String("cl")) ? s.toLatin1() : QByteArray()).first;
    }
    if (!it->second.isEmpty())
        w.Ident(name, it->second);
    else
        w.Int(name, int32_t(c));
}

QByteArray BitmapData(const TBitmap* b)
{
    const QByteArray bmp = b->SaveToBytes();
    QByteArray out;
    const uint32_t n = uint32_t(bmp.size());
    for (int i = 0; i < 4; ++i)
        out.append(char((n >> (8 * i)) & 0xFF));
    return out + bmp;
}

QByteArray PictureData(const TPicture* p)
{
    const TGraphic* g = p ? p->Graphic() : nullptr;
    if (!g)
        return QByteArray(1, 0); // no class: an empty picture
    if (const auto* icon = dynamic_cast<const TIcon*>(g))
        return QByteArray(1, 5) + "TIcon" + icon->SaveToBytes();
    if (const auto* bmp = dynamic_cast<const TBitmap*>(g))
        return QByteArray(1, 7) + "TBitmap" + BitmapData(bmp);
    return QByteArray(1, 0);
}

// --- reading helpers

int IndexOfName(const TNames& names, const TBinValue& v, QByteArrayView prop)
{
    const int i = v.Type == TBinValue::vtIdent ? names.IndexOf(v.Ident) : -1;
    if (i < 0)
        Bad(QStringLiteral("value of ") + QString::fromLatin1(prop));
    return i;
}

int64_t IntOf(const TBinValue& v, QByteArrayView prop)
{
    if (v.Type != TBinValue::vtInt)
        Bad(QStringLiteral("value of ") + QString::fromLatin1(prop));
    return v.Int;
}

bool BoolOf(const TBinValue& v, QByteArrayView prop)
{
    if (v.Type != TBinValue::vtBool)
        Bad(QStringLiteral("value of ") + QString::fromLatin1(prop));
    return v.Bool;
}

QString TextOf(const TBinValue& v, QByteArrayView prop)
{
    if (v.Type != TBinValue::vtString)
        Bad(QStringLiteral("value of ") + QString::fromLatin1(prop));
    return v.Text;
}

TColor ColourOf(const TBinValue& v, QByteArrayView prop)
{
    if (v.Type == TBinValue::vtInt)
        return TColor(uint32_t(v.Int));
    if (v.Type == TBinValue::vtIdent) {
        // A stream names the same few colours over and over: each name is
        // looked up in the colour table once.
        static thread_local std::unordered_map<std::string, TColor> known;
        const std::string key(v.Ident.data(), size_t(v.Ident.size()));
        if (const auto it = known.find(key); it != known.end())
            return it->second;
        try {
            const TColor c = StringToColor(QString::fromLatin1(v.Ident));
            known.emplace(key, c);
            return c;
        } catch (const EConvertError&) {
        }
    }
    Bad(QStringLiteral("value of ") + QString::fromLatin1(prop));
}

std::unique_ptr<TBitmap> BitmapOf(const QByteArray& data)
{
    if (data.size() < 4)
        Bad(QStringLiteral("bitmap"));
    uint32_t n = 0;
    for (int i = 0; i < 4; ++i)
        n |= uint32_t(uint8_t(data[i])) << (8 * i);
    if (n != uint32_t(data.size() - 4))
        Bad(QStringLiteral("bitmap size"));
    auto b = std::make_unique<TBitmap>();
    if (n > 0)
        b->LoadFromBytes(data.mid(4));
    return b;
}

std::unique_ptr<TPicture> PictureOf(const QByteArray& data)
{
    auto p = std::make_unique<TPicture>();
    if (data.isEmpty())
        Bad(QStringLiteral("picture"));
    const int n = uint8_t(data[0]);
    if (data.size() < 1 + n)
        Bad(QStringLiteral("picture"));
    const QByteArray cls = data.mid(1, n);
    const QByteArray rest = data.mid(1 + n);
    if (cls == "TBitmap")
        p->SetGraphic(BitmapOf(rest));
    else if (cls == "TIcon") {
        auto icon = std::make_unique<TIcon>();
        icon->LoadFromBytes(rest);
        p->SetGraphic(std::move(icon));
    } else if (!cls.isEmpty())
        Bad(QStringLiteral("picture class ") + QString::fromLatin1(cls));
    return p;
}


TBinRecord Expect(const QByteArray& data, qsizetype& pos, const char* cls)
{
    TBinRecord r = ReadBinRecord(data, pos);
    if (r.ClassName != QByteArrayView(cls))
        Bad(QStringLiteral("record ") + QString::fromLatin1(r.ClassName));
    return r;
}

const char* ObjectRecordOf(TCellType t)
{
    switch (t) {
    case ctBitmap:
    case ctBitButton: return "TGridBMPIO";
    case ctIcon: return "TGridIconIO";
    case ctRadio:
    case ctImages: return "TGridSLIO";
    case ctPicture: return "TGridPicIO";
    case ctFilePicture: return "TGridFilePicIO";
    default: return nullptr;
    }
}

std::vector<int> StrictList(const TBinValue* v, QByteArrayView prop, int count)
{
    if (!v)
        Bad(QStringLiteral("missing ") + QString::fromLatin1(prop));
    const QString text = TextOf(*v, prop);
    std::vector<int> out;
    if (!text.isEmpty())
        for (const QString& s : text.split(QLatin1Char(','))) {
            int n = 0;
            if (!TryStrToInt(s, n) || n < 0)
                Bad(QString::fromLatin1(prop));
            out.push_back(n);
        }
    if (int(out.size()) != count)
        Bad(QString::fromLatin1(prop));
    return out;
}

} // namespace

// ---------------------------------------------------------------------------
// Writing
// ---------------------------------------------------------------------------

void TExStringGrid::SaveRectToBinStream(const TRect& Rect, TStream* Stream)
{
    const int cols = Rect.Right - Rect.Left + 1;
    const int rows = Rect.Bottom - Rect.Top + 1;
    QByteArray out;
    {
        TBinRecordWriter w(out, "TGridPropIO");
        w.Int("ColCount", cols);
        w.Int("RowCount", rows);
        QStringList widths, heights;
        for (int c = Rect.Left; c <= Rect.Right; ++c)
            widths.append(QString::number(ColWidths(c)));
        for (int r = Rect.Top; r <= Rect.Bottom; ++r)
            heights.append(QString::number(RowHeights(r)));
        w.String("ColWidths", widths.join(QLatin1Char(',')));
        w.String("RowHeights", heights.join(QLatin1Char(',')));
        const bool full = SaveFixedCells ? RowCount() == rows && ColCount() == cols
                                         : RowCount() - FixedRows() == rows && ColCount() - FixedCols() == cols;
        w.Bool("FullGrid", full);
        w.Int("ID", HandleAllocated() ? int32_t(Handle()) : 0);
        w.Finish();
    }
    TProgress progress(this, OnFileProgress);
    ExportNotification(0, Rect.Top);
    for (int r = Rect.Top; r <= Rect.Bottom; ++r) {
        ExportNotification(5, r);
        for (int c = Rect.Left; c <= Rect.Right; ++c) {
            const int real = RemapColToReal(c);
            const bool hasProp = HasCellProperties(real, r);
            {
                TBinRecordWriter cell(out, "TGridCellIO");
                cell.Int("Col", c & 0xFFFF);
                cell.Int("Row", r & 0xFFFF);
                const QString text = GetCellEx(real, r);
                if (!text.isEmpty())
                    cell.String("Cell", text);
                cell.Bool("HasProp", hasProp);
                cell.Finish();
            }
            if (!hasProp)
                continue;

            const TCellProperties* p = GetCellProperties(real, r);
            TCellGraphic* g = GetCellGraphic(real, r);
            bool hasGraphic = g != nullptr;
            if (g && ObjectRecordOf(g->CellType))
                hasGraphic = g->CellCreated;
            {
                TBinRecordWriter pw(out, "TGridCellPropIO");
                pw.Bool("CellProperties.IsBaseCell", p->IsBaseCell);
                pw.Int("CellProperties.CellSpanX", p->CellSpanX);
                pw.Int("CellProperties.CellSpanY", p->CellSpanY);
                pw.Ident("CellProperties.Alignment", AlignNames()[p->Alignment]);
                WriteColour(pw, "CellProperties.BorderColor", p->BorderColor);
                pw.Int("CellProperties.BorderWidth", p->BorderWidth);
                WriteColour(pw, "CellProperties.BrushColor", p->BrushColor());
                WriteColour(pw, "CellProperties.BrushColorTo", p->BrushColorTo());
                pw.Ident("CellProperties.BrushStyle", BrushStyleNames()[p->BrushStyle]);
                pw.Int("CellProperties.CellObject", int32_t(p->CellObject));
                WriteColour(pw, "CellProperties.FontColor", p->FontColor);
                if (!p->FontName.isEmpty())
                    pw.String("CellProperties.FontName", p->FontName);
                pw.Int("CellProperties.FontSize", p->FontSize);
                QStringList styles;
                for (int i = 0; i < 4; ++i)
                    if (p->FontStyle & (1u << i))
                        styles.append(QLatin1String(FontStyleNames()[i]));
                pw.Set("CellProperties.FontStyle", styles);
                pw.Ident("CellProperties.Editor", EditorNames()[p->Editor]);
                pw.Ident("CellProperties.GradientDirection", GradientNames()[p->GradientDirection]);
                pw.Bool("CellProperties.ReadOnly", p->ReadOnly);
                pw.Ident("CellProperties.VAlignment", VAlignNames()[p->VAlignment()]);
                pw.Bool("CellProperties.WordWrap", p->WordWrap());
                pw.Int("CellProperties.NodeLevel", p->NodeLevel);
                pw.Bool("HasGraphic", hasGraphic);
                pw.Finish();
            }
            if (!hasGraphic)
                continue;
            {
                TBinRecordWriter gw(out, "TGridGraphicIO");
                gw.Ident("CellGraphic.CellType", CellTypeNames()[g->CellType]);
                gw.Ident("CellGraphic.CellVAlign", CellVAlignNames()[g->CellVAlign]);
                gw.Ident("CellGraphic.CellHAlign", CellHAlignNames()[g->CellHAlign]);
                gw.Int("CellGraphic.CellIndex", g->CellIndex);
                gw.Bool("CellGraphic.CellTransparent", g->CellTransparent);
                gw.Bool("CellGraphic.CellCreated", g->CellCreated);
                gw.Bool("CellGraphic.CellBoolean", g->CellBoolean);
                gw.Ident("CellGraphic.CellCheckBoxState", "cbUnchecked");
                gw.Int("CellGraphic.CellAngle", g->CellAngle);
                if (g->CellValue != 0)
                    gw.Extended("CellGraphic.CellValue", g->CellValue);
                gw.Int("CellGraphic.CellErrFrom", g->CellErrFrom);
                gw.Int("CellGraphic.CellErrLen", g->CellErrLen);
                if (!g->CellText.isEmpty())
                    gw.String("CellGraphic.CellText", g->CellText);
                gw.Finish();
            }

            const char* objCls = ObjectRecordOf(g->CellType);
            if (!objCls)
                continue;
            TBinRecordWriter ow(out, objCls);
            switch (g->CellType) {
            case ctBitmap:
            case ctBitButton:
                ow.Binary("Bitmap", g->Bitmap() ? BitmapData(g->Bitmap()) : QByteArray(4, 0));
                break;
            case ctIcon:
                ow.Binary("Icon", g->CellIcon() && !g->CellIcon()->Empty() ? g->CellIcon()->SaveToBytes()
                                                                          : QByteArray());
                break;
            case ctRadio: {
                QStringList items;
                if (const TStrings* s = g->Strings())
                    for (int i = 0; i < s->Count(); ++i)
                        items.append(s->Strings(i));
                ow.StringList("Strings", items);
                break;
            }
            case ctImages: {
                const QString v = g->IntList() ? g->IntList()->StrValue() : QString();
                ow.StringList("Strings", v.isEmpty() ? QStringList() : v.split(QLatin1Char(',')));
                break;
            }
            case ctPicture:
                ow.Binary("Picture", PictureData(g->Picture()));
                break;
            case ctFilePicture:
                if (g->FilePicture() && !g->FilePicture()->Filename().isEmpty())
                    ow.String("Picture.Filename", g->FilePicture()->Filename());
                break;
            default:
                break;
            }
            ow.Finish();
        }
        if (progress.Active())
            progress.Report(Percent(r - Rect.Top, Rect.Bottom - Rect.Top));
    }
    ExportNotification(2, -1);
    Stream->WriteBuffer(out);
}

void TExStringGrid::SaveToBinStream(TStream* Stream)
{
    SaveRectToBinStream(TRect{SaveStartCol(), SaveStartRow(), SaveEndCol(), SaveEndRow()}, Stream);
}

void TExStringGrid::SaveToBinFile(const QString& FileName)
{
    TMemoryStream ms;
    SaveToBinStream(&ms);
    WriteFileWhole(FileName, ms.Bytes());
}

// ---------------------------------------------------------------------------
// Reading
// ---------------------------------------------------------------------------

namespace {

// The values a properties or graphic record carries, checked, with one bit
// per field that was present; applied to a cell only once the whole stream
// has been read.
enum TPropField {
    pfIsBaseCell, pfCellSpanX, pfCellSpanY, pfAlignment, pfBorderColor, pfBorderWidth, pfBrushColor,
    pfBrushColorTo, pfBrushStyle, pfCellObject, pfFontColor, pfFontName, pfFontSize, pfFontStyle, pfEditor,
    pfGradientDirection, pfReadOnly, pfVAlignment, pfWordWrap, pfNodeLevel
};
enum TGraphicField {
    gfCellType, gfCellVAlign, gfCellHAlign, gfCellIndex, gfCellTransparent, gfCellCreated, gfCellBoolean,
    gfCellAngle, gfCellValue, gfCellErrFrom, gfCellErrLen, gfCellText, gfCellCheckBoxState
};

int FieldId(QByteArrayView name, const char* const* names, int count, int& hint)
{
    // The writer puts the fields in table order: the one after the last
    // found is tried first.
    if (hint >= 0 && hint < count && name == QByteArrayView(names[hint]))
        return hint++;
    hint = -1;

    static thread_local std::unordered_map<const char* const*, std::unordered_map<std::string_view, int>> maps;
    auto& m = maps[names];
    if (m.empty())
        for (int i = 0; i < count; ++i)
            m.emplace(std::string_view(names[i]), i);
    const auto it = m.find(std::string_view(name.data(), size_t(name.size())));
    if (it == m.end())
        return -1;
    hint = it->second + 1;
    return it->second;
}

const char* const kPropNames[] = {
    "CellProperties.IsBaseCell", "CellProperties.CellSpanX", "CellProperties.CellSpanY",
    "CellProperties.Alignment", "CellProperties.BorderColor", "CellProperties.BorderWidth",
    "CellProperties.BrushColor", "CellProperties.BrushColorTo", "CellProperties.BrushStyle",
    "CellProperties.CellObject", "CellProperties.FontColor", "CellProperties.FontName", "CellProperties.FontSize",
    "CellProperties.FontStyle", "CellProperties.Editor", "CellProperties.GradientDirection",
    "CellProperties.ReadOnly", "CellProperties.VAlignment", "CellProperties.WordWrap", "CellProperties.NodeLevel"};
const char* const kGraphicNames[] = {
    "CellGraphic.CellType", "CellGraphic.CellVAlign", "CellGraphic.CellHAlign", "CellGraphic.CellIndex",
    "CellGraphic.CellTransparent", "CellGraphic.CellCreated", "CellGraphic.CellBoolean", "CellGraphic.CellAngle",
    "CellGraphic.CellValue", "CellGraphic.CellErrFrom", "CellGraphic.CellErrLen", "CellGraphic.CellText",
    "CellGraphic.CellCheckBoxState"};

struct TPropValues {
    uint32_t Has = 0;
    bool IsBaseCell = true, ReadOnly = false, WordWrap = true;
    int SpanX = -1, SpanY = -1, BorderWidth = 0, FontSize = 0, NodeLevel = 0;
    TAlignment Alignment = taLeftJustify;
    TColor BorderColor = 0, BrushColor = clNone, BrushColorTo = clNone, FontColor = clNone;
    TBrushStyle BrushStyle = bsSolid;
    std::uintptr_t CellObject = 0;
    QString FontName;
    TFontStyles FontStyle = 0;
    TEditorType Editor = edNormal;
    TCellGradientDirection Gradient = GradientVertical;
    TVAlignment VAlignment = vtaTop;
};

TPropValues ParseProps(const TBinRecord& rec)
{
    TPropValues p;
    int hint = 0;
    for (const TBinProperty& prop : rec.Properties) {
        const int id = FieldId(prop.Name, kPropNames, int(std::size(kPropNames)), hint);
        if (id < 0)
            continue; // HasGraphic and anything this reader does not keep
        const QByteArrayView n = prop.Name;
        const TBinValue& v = prop.Value;
        switch (TPropField(id)) {
        case pfIsBaseCell: p.IsBaseCell = BoolOf(v, n); break;
        case pfCellSpanX: p.SpanX = int(IntOf(v, n)); break;
        case pfCellSpanY: p.SpanY = int(IntOf(v, n)); break;
        case pfAlignment: p.Alignment = TAlignment(IndexOfName(AlignNames(), v, n)); break;
        case pfBorderColor: p.BorderColor = ColourOf(v, n); break;
        case pfBorderWidth: p.BorderWidth = int(IntOf(v, n)); break;
        case pfBrushColor: p.BrushColor = ColourOf(v, n); break;
        case pfBrushColorTo: p.BrushColorTo = ColourOf(v, n); break;
        case pfBrushStyle: p.BrushStyle = TBrushStyle(IndexOfName(BrushStyleNames(), v, n)); break;
        case pfCellObject: p.CellObject = std::uintptr_t(uint32_t(IntOf(v, n))); break;
        case pfFontColor: p.FontColor = ColourOf(v, n); break;
        case pfFontName: p.FontName = TextOf(v, n); break;
        case pfFontSize: p.FontSize = int(IntOf(v, n)); break;
        case pfFontStyle: {
            if (v.Type != TBinValue::vtSet)
                Bad(QStringLiteral("FontStyle"));
            TFontStyles st = 0;
            for (const QString& s : v.Items) {
                const int i = FontStyleNames().IndexOf(s.toLatin1());
                if (i < 0)
                    Bad(QStringLiteral("FontStyle"));
                st |= 1u << i;
            }
            p.FontStyle = st;
            break;
        }
        case pfEditor: p.Editor = TEditorType(IndexOfName(EditorNames(), v, n)); break;
        case pfGradientDirection:
            p.Gradient = TCellGradientDirection(IndexOfName(GradientNames(), v, n));
            break;
        case pfReadOnly: p.ReadOnly = BoolOf(v, n); break;
        case pfVAlignment: p.VAlignment = TVAlignment(IndexOfName(VAlignNames(), v, n)); break;
        case pfWordWrap: p.WordWrap = BoolOf(v, n); break;
        case pfNodeLevel: p.NodeLevel = int(IntOf(v, n)); break;
        }
        p.Has |= 1u << id;
    }
    return p;
}

// Only the fields the record carried change; the others keep the target's.
void ApplyProps(TCellProperties* t, const TPropValues& p)
{
    auto has = [&](TPropField f) { return (p.Has & (1u << f)) != 0; };
    if (has(pfIsBaseCell)) t->IsBaseCell = p.IsBaseCell;
    if (has(pfCellSpanX)) t->CellSpanX = p.SpanX;
    if (has(pfCellSpanY)) t->CellSpanY = p.SpanY;
    if (has(pfAlignment)) t->Alignment = p.Alignment;
    if (has(pfBorderColor)) t->BorderColor = p.BorderColor;
    if (has(pfBorderWidth)) t->BorderWidth = p.BorderWidth;
    if (has(pfBrushColor)) t->SetBrushColor(p.BrushColor);
    if (has(pfBrushColorTo)) t->SetBrushColorTo(p.BrushColorTo);
    if (has(pfBrushStyle)) t->BrushStyle = p.BrushStyle;
    if (has(pfCellObject)) t->CellObject = p.CellObject;
    if (has(pfFontColor)) t->FontColor = p.FontColor;
    if (has(pfFontName)) t->FontName = p.FontName;
    if (has(pfFontSize)) t->FontSize = p.FontSize;
    if (has(pfFontStyle)) t->FontStyle = p.FontStyle;
    if (has(pfEditor)) t->Editor = p.Editor;
    if (has(pfGradientDirection)) t->GradientDirection = p.Gradient;
    if (has(pfReadOnly)) t->ReadOnly = p.ReadOnly;
    if (has(pfVAlignment)) t->SetVAlignment(p.VAlignment);
    if (has(pfWordWrap)) t->SetWordWrap(p.WordWrap);
    if (has(pfNodeLevel)) t->NodeLevel = p.NodeLevel;
}

struct TGraphicValues {
    uint32_t Has = 0;
    TCellType CellType = ctNone;
    TCellVAlign VAlign = vaTop;
    TCellHAlign HAlign = haLeft;
    int Index = 0, Angle = 0, ErrFrom = 0, ErrLen = 0;
    bool Transparent = false, Created = false, Boolean = false;
    double Value = 0;
    QString Text;
};

TGraphicValues ParseGraphic(const TBinRecord& rec)
{
    TGraphicValues g;
    int hint = 0;
    for (const TBinProperty& prop : rec.Properties) {
        const int id = FieldId(prop.Name, kGraphicNames, int(std::size(kGraphicNames)), hint);
        if (id < 0)
            continue;
        const QByteArrayView n = prop.Name;
        const TBinValue& v = prop.Value;
        switch (TGraphicField(id)) {
        case gfCellType: g.CellType = TCellType(IndexOfName(CellTypeNames(), v, n)); break;
        case gfCellVAlign: g.VAlign = TCellVAlign(IndexOfName(CellVAlignNames(), v, n)); break;
        case gfCellHAlign: g.HAlign = TCellHAlign(IndexOfName(CellHAlignNames(), v, n)); break;
        case gfCellIndex: g.Index = int(IntOf(v, n)); break;
        case gfCellTransparent: g.Transparent = BoolOf(v, n); break;
        case gfCellCreated: g.Created = BoolOf(v, n); break;
        case gfCellBoolean: g.Boolean = BoolOf(v, n); break;
        case gfCellAngle: g.Angle = int(IntOf(v, n)); break;
        case gfCellValue: g.Value = v.Type == TBinValue::vtExtended ? v.Extended : double(IntOf(v, n)); break;
        case gfCellErrFrom: g.ErrFrom = int(IntOf(v, n)); break;
        case gfCellErrLen: g.ErrLen = int(IntOf(v, n)); break;
        case gfCellText: g.Text = TextOf(v, n); break;
        case gfCellCheckBoxState: break; // never taken over
        }
        g.Has |= 1u << id;
    }
    return g;
}

void ApplyGraphicFields(TCellGraphic* t, const TGraphicValues& g)
{
    auto has = [&](TGraphicField f) { return (g.Has & (1u << f)) != 0; };
    if (has(gfCellType)) t->CellType = g.CellType;
    if (has(gfCellVAlign)) t->CellVAlign = g.VAlign;
    if (has(gfCellHAlign)) t->CellHAlign = g.HAlign;
    if (has(gfCellIndex)) t->CellIndex = g.Index;
    if (has(gfCellTransparent)) t->CellTransparent = g.Transparent;
    if (has(gfCellCreated)) t->CellCreated = g.Created;
    if (has(gfCellBoolean)) t->CellBoolean = g.Boolean;
    if (has(gfCellAngle)) t->CellAngle = g.Angle;
    if (has(gfCellValue)) t->CellValue = g.Value;
    if (has(gfCellErrFrom)) t->CellErrFrom = g.ErrFrom;
    if (has(gfCellErrLen)) t->CellErrLen = g.ErrLen;
    if (has(gfCellText)) t->CellText = g.Text;
}

// One cell as read and decoded, before anything is placed.
struct TCellIn {
    QString Text;
    bool HasProps = false;
    TPropValues Props;
    bool HasGraphic = false;
    TGraphicValues Graphic;
    TCellType Type = ctNone;
    bool HasObject = false;
    std::unique_ptr<TBitmap> Bitmap;
    std::unique_ptr<TIcon> Icon;
    std::unique_ptr<TPicture> Picture;
    QStringList Strings;
    QString FileName;
};

// The graphic's object record, decoded.
void DecodeObject(TCellIn& in, const TBinRecord& o)
{
    in.HasObject = true;
    switch (in.Type) {
    case ctBitmap:
    case ctBitButton: {
        const TBinValue* v = o.Find("Bitmap");
        in.Bitmap = v && v->Type == TBinValue::vtBinary ? BitmapOf(v->Binary) : std::make_unique<TBitmap>();
        break;
    }
    case ctIcon: {
        in.Icon = std::make_unique<TIcon>();
        const TBinValue* v = o.Find("Icon");
        if (v && v->Type == TBinValue::vtBinary && !v->Binary.isEmpty())
            in.Icon->LoadFromBytes(v->Binary);
        break;
    }
    case ctRadio:
    case ctImages:
        if (const TBinValue* v = o.Find("Strings")) {
            if (v->Type != TBinValue::vtList)
                Bad(QStringLiteral("Strings"));
            in.Strings = v->Items;
        }
        if (in.Type == ctImages)
            for (const QString& t : in.Strings) {
                int n = 0;
                if (!TryStrToInt(t, n))
                    Bad(QStringLiteral("image index"));
            }
        break;
    case ctPicture: {
        const TBinValue* v = o.Find("Picture");
        in.Picture = v && v->Type == TBinValue::vtBinary ? PictureOf(v->Binary) : std::make_unique<TPicture>();
        break;
    }
    case ctFilePicture:
        if (const TBinValue* v = o.Find("Picture.Filename"))
            in.FileName = TextOf(*v, "Picture.Filename");
        break;
    default:
        break;
    }
}

} // namespace

void TExStringGrid::LoadAtPointFromBinStream(const TPoint& Point, TStream* Stream)
{
    // 1. the rectangle's record, checked whole; the stream is read in once
    const int64_t start = Stream->Position();
    QByteArray data(qsizetype(std::max<int64_t>(0, Stream->Size() - start)), Qt::Uninitialized);
    data.resize(qsizetype(Stream->Read(data.data(), data.size())));
    qsizetype pos = 0;
    const TBinRecord head = Expect(data, pos, "TGridPropIO");
    const TBinValue* vc = head.Find("ColCount");
    const TBinValue* vr = head.Find("RowCount");
    const int64_t cols = vc ? IntOf(*vc, "ColCount") : 0;
    const int64_t rows = vr ? IntOf(*vr, "RowCount") : 0;
    if (cols > MaxRealCols)
        throw DOriVireZuvez(QStringLiteral("Too many columns"));
    if (cols < 0 || rows < 0 || rows > MaxDeclaredRows)
        Bad(QStringLiteral("size"));
    const TBinValue* vf = head.Find("FullGrid");
    const bool full = vf && BoolOf(*vf, "FullGrid");
    std::vector<int> widths, heights;
    if (full) {
        if (cols < 1 || rows < 1)
            Bad(QStringLiteral("size"));
        widths = StrictList(head.Find("ColWidths"), "ColWidths", int(cols));
        heights = StrictList(head.Find("RowHeights"), "RowHeights", int(rows));
    }

    // 2. every cell with its records, before anything is placed
    std::vector<TCellIn> cells;
    std::optional<TPoint> firstPos;
    while (data.size() - pos >= 2) {
        if (int64_t(cells.size()) >= cols * rows)
            Bad(QStringLiteral("more cells than the rectangle holds"));
        const TBinRecord cell = Expect(data, pos, "TGridCellIO");
        TCellIn in;
        if (const TBinValue* t = cell.Find("Cell"))
            in.Text = TextOf(*t, "Cell");
        if (!firstPos) {
            const TBinValue* c = cell.Find("Col");
            const TBinValue* r = cell.Find("Row");
            firstPos = TPoint{c ? int(IntOf(*c, "Col") & 0xFFFF) : 0, r ? int(IntOf(*r, "Row") & 0xFFFF) : 0};
        }
        const TBinValue* hp = cell.Find("HasProp");
        if (hp && BoolOf(*hp, "HasProp")) {
            const TBinRecord props = Expect(data, pos, "TGridCellPropIO");
            in.HasProps = true;
            in.Props = ParseProps(props);
            const TBinValue* hg = props.Find("HasGraphic");
            if (hg && BoolOf(*hg, "HasGraphic")) {
                const TBinRecord graphic = Expect(data, pos, "TGridGraphicIO");
                in.HasGraphic = true;
                in.Graphic = ParseGraphic(graphic);
                in.Type = in.Graphic.Has & (1u << gfCellType) ? in.Graphic.CellType : ctNone;
                if (const char* objCls = ObjectRecordOf(in.Type))
                    DecodeObject(in, Expect(data, pos, objCls));
            }
        }
        cells.push_back(std::move(in));
    }

    Stream->SetPosition(start + pos);

    // 3. the grid changes only now
    BeginUpdate();
    struct TEnd {
        TExStringGrid* G;
        ~TEnd() { G->EndUpdate(); }
    } end{this};
    if (full) {
        for (int r = 0; r < RowCount(); ++r)
            for (int c = 0; c < AllColCount(); ++c)
                SetGridCell(c, r, QString());
        SetRowCount(int(rows));
        SetColCount(int(cols));
        for (int i = 0; i < int(cols); ++i)
            SetColWidths(i, widths[size_t(i)]);
        for (int i = 0; i < int(rows); ++i)
            SetRowHeights(i, heights[size_t(i)]);
    }
    // A full grid keeps the cells' own places; a part lands at Point.
    const TPoint base = full && firstPos ? *firstPos : TPoint{0, 0};
    TProgress progress(this, OnFileProgress);
    int lastRow = -1;
    for (size_t i = 0; i < cells.size(); ++i) {
        TCellIn& in = cells[i];
        const int tc = Point.X + base.X + int(int64_t(i) % cols);
        const int tr = Point.Y + base.Y + int(int64_t(i) / cols);
        if (tr != lastRow && progress.Active())
            progress.Report(Percent(tr, RowCount()));
        lastRow = tr;
        if (tc < 0 || tr < 0 || tc >= ColCount() || tr >= RowCount())
            continue;
        const int real = RemapColToReal(tc);
        SetCellEx(real, tr, in.Text);
        if (!in.HasProps)
            continue;
        TCellProperties* p = GetCellProperties(real, tr);
        ApplyProps(p, in.Props);
        p->OwnerCol = real;
        p->OwnerRow = tr;
        if (!in.HasGraphic)
            continue;
        TCellGraphic* g = NewCellGraphic(real, tr);
        if (in.Type == ctImages)
            g->SetMultiImage(real, tr, 0, haLeft, vaTop,
                             [this](TObject*, int c, int r) { RepaintRealCell(c, r); });
        ApplyGraphicFields(g, in.Graphic);
        if (!in.HasObject)
            continue;
        switch (in.Type) {
        case ctBitmap:
        case ctBitButton:
            g->SetObject(in.Bitmap.release());
            g->CellCreated = true;
            break;
        case ctIcon:
            g->SetCellIcon(in.Icon.release());
            g->CellCreated = true;
            break;
        case ctRadio: {
            auto* sl = NewObject<TStringList>();
            for (const QString& t : in.Strings)
                sl->Add(t);
            g->SetObject(static_cast<TStrings*>(sl));
            g->CellCreated = true;
            break;
        }
        case ctImages:
            for (const QString& t : in.Strings)
                g->IntList()->Add(t.toInt());
            break;
        case ctPicture:
            g->SetObject(in.Picture.release());
            g->CellCreated = true;
            break;
        case ctFilePicture: {
            auto* fp = NewObject<TFilePicture>();
            g->SetObject(fp);
            g->CellCreated = true;
            if (!in.FileName.isEmpty()) {
                try {
                    fp->SetFilename(in.FileName);
                } catch (const Exception&) {
                    // the name is kept; the picture is read when it can be
                }
            }
            break;
        }
        default:
            break;
        }
    }
    CellsChanged(TRect{0, 0, ColCount(), RowCount()});
}

void TExStringGrid::LoadFromBinStream(TStream* Stream)
{
    LoadAtPointFromBinStream(TPoint{0, 0}, Stream);
    // Node rows are recounted by the node code; column 0 shows them again.
    for (int r = FixedRows(); r < RowCount(); ++r)
        if (GetCellType(0, r) == ctNode) {
            RepaintCol(0);
            break;
        }
}

void TExStringGrid::LoadFromBinFile(const QString& FileName)
{
    TMemoryStream ms;
    ms.WriteBuffer(ReadFileWhole(FileName));
    ms.SetPosition(0);
    LoadFromBinStream(&ms);
}
