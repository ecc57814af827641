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
#include "gridpack/grid10/ExchangeText.h"
#include "gridpack/grid4/ExGrid.h"
#include "platform/core/BinComponentStream.h"
#include "platform/core/Files.h"
#include "platform/core/IntConv.h"
#include "platform/core/Streams.h"
#include "platform/graphics/Graphics.h"

#include <memory>
#include <optional>
#include <vector>

using namespace GridExchange;

namespace {

// --- enumeration names as the records spell them
const QStringList& AlignNames()
{
    static const QStringList n = {"taLeftJustify", "taRightJustify", "taCenter"};
    return n;
}
const QStringList& BrushStyleNames()
{
    static const QStringList n = {"bsSolid", "bsClear",     "bsHorizontal", "bsVertical",
                                  "bsFDiagonal", "bsBDiagonal", "bsCross", "bsDiagCross"};
    return n;
}
const QStringList& EditorNames()
{
    static const QStringList n = {
        "edNormal", "edSpinEdit", "edComboEdit", "edComboList", "edEditBtn", "edCheckBox", "edDateEdit",
        "edDateEditUpDown", "edTimeEdit", "edButton", "edDataCheckBox", "edNumeric", "edPositiveNumeric", "edFloat",
        "edCapital", "edMixedCase", "edPassword", "edUnitEditBtn", "edLowerCase", "edUpperCase", "edFloatSpinEdit",
        "edTimeSpinEdit", "edDateSpinEdit", "edNumericEditBtn", "edFloatEditBtn", "edCustom", "edRichEdit",
        "edNone", "edDateTimeEdit", "edValidChars", "edTrackbarDropDown", "edMemoDropDown",
        "edCalculatorDropDown", "edTimePickerDropDown", "edDetailDropDown", "edGridDropDown",
        "edColorPickerDropDown", "edImagePickerDropDown", "edExGridDropDown", "edPositiveFloat",
        "edNumericUnitEditBtn", "edFloatUnitEditBtn", "edMaskEditBtn"};
    return n;
}
const QStringList& GradientNames()
{
    static const QStringList n = {"GradientVertical", "GradientHorizontal"};
    return n;
}
const QStringList& VAlignNames()
{
    static const QStringList n = {"vtaTop", "vtaCenter", "vtaBottom"};
    return n;
}
const QStringList& FontStyleNames()
{
    static const QStringList n = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
    return n;
}
const QStringList& CellTypeNames()
{
    static const QStringList n = {
        "ctBitmap", "ctIcon", "ctNone", "ctImageList", "ctCheckBox", "ctDataCheckBox", "ctRotated", "ctDataImage",
        "ctNode", "ctRadio", "ctEmpty", "ctImages", "ctPicture", "ctFilePicture", "ctValue", "ctProgress",
        "ctComment", "ctButton", "ctBitButton", "ctVirtCheckBox", "ctRowCheckBox", "ctProgressPie", "ctSummary",
        "ctRangeIndicator", "ctXPProgress", "ctInterface", "ctScrollbar", "ctRadioButton", "ctBalloon", "ctShape",
        "ctRating", "ctTriStateCheckBox", "ctExpand"};
    return n;
}
const QStringList& CellVAlignNames()
{
    static const QStringList n = {"vaTop", "vaBottom", "vaCenter", "vaUnderText", "vaAboveText", "vaFull"};
    return n;
}
const QStringList& CellHAlignNames()
{
    static const QStringList n = {"haLeft", "haRight", "haCenter", "haBeforeText", "haAfterText", "haFull"};
    return n;
}

[[noreturn]] void Bad(const QString& what)
{
    throw EReadError(QStringLiteral("Invalid grid cell stream: ") + what);
}

// --- writing helpers

void WriteColour(TBinRecordWriter& w, const QString& name, TColor c)
{
    const QString s = ColorToString(c);
    if (s.startsWith(QLatin1String("cl")))
        w.Ident(name, s);
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

int IndexOfName(const QStringList& names, const TBinValue& v, const QString& prop)
{
    const int i = v.Type == TBinValue::vtIdent ? int(names.indexOf(v.Text)) : -1;
    if (i < 0)
        Bad(QStringLiteral("value of ") + prop);
    return i;
}

int64_t IntOf(const TBinValue& v, const QString& prop)
{
    if (v.Type != TBinValue::vtInt)
        Bad(QStringLiteral("value of ") + prop);
    return v.Int;
}

bool BoolOf(const TBinValue& v, const QString& prop)
{
    if (v.Type != TBinValue::vtBool)
        Bad(QStringLiteral("value of ") + prop);
    return v.Bool;
}

QString TextOf(const TBinValue& v, const QString& prop)
{
    if (v.Type != TBinValue::vtString)
        Bad(QStringLiteral("value of ") + prop);
    return v.Text;
}

TColor ColourOf(const TBinValue& v, const QString& prop)
{
    if (v.Type == TBinValue::vtInt)
        return TColor(uint32_t(v.Int));
    if (v.Type == TBinValue::vtIdent) {
        try {
            return StringToColor(v.Text);
        } catch (const EConvertError&) {
        }
    }
    Bad(QStringLiteral("value of ") + prop);
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

// One cell as read and decoded, before anything is placed.
struct TCellIn {
    QString Text;
    std::optional<TBinRecord> Props;
    std::optional<TBinRecord> Graphic;
    TCellType Type = ctNone;
    bool HasObject = false;
    std::unique_ptr<TBitmap> Bitmap;
    std::unique_ptr<TIcon> Icon;
    std::unique_ptr<TPicture> Picture;
    QStringList Strings;
    QString FileName;
};

TBinRecord Expect(TStream* s, const char* cls)
{
    TBinRecord r = ReadBinRecord(s);
    if (r.ClassName != QLatin1String(cls))
        Bad(QStringLiteral("record ") + r.ClassName);
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

std::vector<int> StrictList(const TBinValue* v, const QString& prop, int count)
{
    if (!v)
        Bad(QStringLiteral("missing ") + prop);
    const QString text = TextOf(*v, prop);
    std::vector<int> out;
    if (!text.isEmpty())
        for (const QString& s : text.split(QLatin1Char(','))) {
            int n = 0;
            if (!TryStrToInt(s, n) || n < 0)
                Bad(prop);
            out.push_back(n);
        }
    if (int(out.size()) != count)
        Bad(prop);
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
        TBinRecordWriter w(QStringLiteral("TGridPropIO"));
        w.Int(QStringLiteral("ColCount"), cols);
        w.Int(QStringLiteral("RowCount"), rows);
        QStringList widths, heights;
        for (int c = Rect.Left; c <= Rect.Right; ++c)
            widths.append(QString::number(ColWidths(c)));
        for (int r = Rect.Top; r <= Rect.Bottom; ++r)
            heights.append(QString::number(RowHeights(r)));
        w.String(QStringLiteral("ColWidths"), widths.join(QLatin1Char(',')));
        w.String(QStringLiteral("RowHeights"), heights.join(QLatin1Char(',')));
        const bool full = SaveFixedCells ? RowCount() == rows && ColCount() == cols
                                         : RowCount() - FixedRows() == rows && ColCount() - FixedCols() == cols;
        w.Bool(QStringLiteral("FullGrid"), full);
        w.Int(QStringLiteral("ID"), HandleAllocated() ? int32_t(Handle()) : 0);
        out += w.Finish();
    }
    TProgress progress(this, OnFileProgress);
    ExportNotification(0, Rect.Top);
    for (int r = Rect.Top; r <= Rect.Bottom; ++r) {
        ExportNotification(5, r);
        for (int c = Rect.Left; c <= Rect.Right; ++c) {
            const int real = RemapColToReal(c);
            const bool hasProp = HasCellProperties(real, r);
            TBinRecordWriter cell(QStringLiteral("TGridCellIO"));
            cell.Int(QStringLiteral("Col"), c & 0xFFFF);
            cell.Int(QStringLiteral("Row"), r & 0xFFFF);
            const QString text = GetCellEx(real, r);
            if (!text.isEmpty())
                cell.String(QStringLiteral("Cell"), text);
            cell.Bool(QStringLiteral("HasProp"), hasProp);
            out += cell.Finish();
            if (!hasProp)
                continue;

            const TCellProperties* p = GetCellProperties(real, r);
            TCellGraphic* g = GetCellGraphic(real, r);
            bool hasGraphic = g != nullptr;
            if (g && ObjectRecordOf(g->CellType))
                hasGraphic = g->CellCreated;
            TBinRecordWriter pw(QStringLiteral("TGridCellPropIO"));
            const QString cp = QStringLiteral("CellProperties.");
            pw.Bool(cp + "IsBaseCell", p->IsBaseCell);
            pw.Int(cp + "CellSpanX", p->CellSpanX);
            pw.Int(cp + "CellSpanY", p->CellSpanY);
            pw.Ident(cp + "Alignment", AlignNames().value(p->Alignment));
            WriteColour(pw, cp + "BorderColor", p->BorderColor);
            pw.Int(cp + "BorderWidth", p->BorderWidth);
            WriteColour(pw, cp + "BrushColor", p->BrushColor());
            WriteColour(pw, cp + "BrushColorTo", p->BrushColorTo());
            pw.Ident(cp + "BrushStyle", BrushStyleNames().value(p->BrushStyle));
            pw.Int(cp + "CellObject", int32_t(p->CellObject));
            WriteColour(pw, cp + "FontColor", p->FontColor);
            if (!p->FontName.isEmpty())
                pw.String(cp + "FontName", p->FontName);
            pw.Int(cp + "FontSize", p->FontSize);
            QStringList styles;
            for (int i = 0; i < 4; ++i)
                if (p->FontStyle & (1u << i))
                    styles.append(FontStyleNames()[i]);
            pw.Set(cp + "FontStyle", styles);
            pw.Ident(cp + "Editor", EditorNames().value(p->Editor));
            pw.Ident(cp + "GradientDirection", GradientNames().value(p->GradientDirection));
            pw.Bool(cp + "ReadOnly", p->ReadOnly);
            pw.Ident(cp + "VAlignment", VAlignNames().value(p->VAlignment()));
            pw.Bool(cp + "WordWrap", p->WordWrap());
            pw.Int(cp + "NodeLevel", p->NodeLevel);
            pw.Bool(QStringLiteral("HasGraphic"), hasGraphic);
            out += pw.Finish();
            if (!hasGraphic)
                continue;

            TBinRecordWriter gw(QStringLiteral("TGridGraphicIO"));
            const QString cg = QStringLiteral("CellGraphic.");
            gw.Ident(cg + "CellType", CellTypeNames().value(g->CellType));
            gw.Ident(cg + "CellVAlign", CellVAlignNames().value(g->CellVAlign));
            gw.Ident(cg + "CellHAlign", CellHAlignNames().value(g->CellHAlign));
            gw.Int(cg + "CellIndex", g->CellIndex);
            gw.Bool(cg + "CellTransparent", g->CellTransparent);
            gw.Bool(cg + "CellCreated", g->CellCreated);
            gw.Bool(cg + "CellBoolean", g->CellBoolean);
            gw.Ident(cg + "CellCheckBoxState", QStringLiteral("cbUnchecked"));
            gw.Int(cg + "CellAngle", g->CellAngle);
            if (g->CellValue != 0)
                gw.Extended(cg + "CellValue", g->CellValue);
            gw.Int(cg + "CellErrFrom", g->CellErrFrom);
            gw.Int(cg + "CellErrLen", g->CellErrLen);
            if (!g->CellText.isEmpty())
                gw.String(cg + "CellText", g->CellText);
            out += gw.Finish();

            const char* objCls = ObjectRecordOf(g->CellType);
            if (!objCls)
                continue;
            TBinRecordWriter ow{QLatin1String(objCls)};
            switch (g->CellType) {
            case ctBitmap:
            case ctBitButton:
                ow.Binary(QStringLiteral("Bitmap"), g->Bitmap() ? BitmapData(g->Bitmap()) : QByteArray(4, 0));
                break;
            case ctIcon:
                ow.Binary(QStringLiteral("Icon"), g->CellIcon() && !g->CellIcon()->Empty()
                                                      ? g->CellIcon()->SaveToBytes()
                                                      : QByteArray());
                break;
            case ctRadio: {
                QStringList items;
                if (const TStrings* s = g->Strings())
                    for (int i = 0; i < s->Count(); ++i)
                        items.append(s->Strings(i));
                ow.StringList(QStringLiteral("Strings"), items);
                break;
            }
            case ctImages: {
                const QString v = g->IntList() ? g->IntList()->StrValue() : QString();
                ow.StringList(QStringLiteral("Strings"), v.isEmpty() ? QStringList() : v.split(QLatin1Char(',')));
                break;
            }
            case ctPicture:
                ow.Binary(QStringLiteral("Picture"), PictureData(g->Picture()));
                break;
            case ctFilePicture:
                if (g->FilePicture() && !g->FilePicture()->Filename().isEmpty())
                    ow.String(QStringLiteral("Picture.Filename"), g->FilePicture()->Filename());
                break;
            default:
                break;
            }
            out += ow.Finish();
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

void ApplyProps(TCellProperties* p, const TBinRecord& rec)
{
    for (const TBinProperty& prop : rec.Properties) {
        if (!prop.Name.startsWith(QLatin1String("CellProperties.")))
            continue;
        const QString n = prop.Name.mid(15);
        const TBinValue& v = prop.Value;
        if (n == "IsBaseCell") p->IsBaseCell = BoolOf(v, n);
        else if (n == "CellSpanX") p->CellSpanX = int(IntOf(v, n));
        else if (n == "CellSpanY") p->CellSpanY = int(IntOf(v, n));
        else if (n == "Alignment") p->Alignment = TAlignment(IndexOfName(AlignNames(), v, n));
        else if (n == "BorderColor") p->BorderColor = ColourOf(v, n);
        else if (n == "BorderWidth") p->BorderWidth = int(IntOf(v, n));
        else if (n == "BrushColor") p->SetBrushColor(ColourOf(v, n));
        else if (n == "BrushColorTo") p->SetBrushColorTo(ColourOf(v, n));
        else if (n == "BrushStyle") p->BrushStyle = TBrushStyle(IndexOfName(BrushStyleNames(), v, n));
        else if (n == "CellObject") p->CellObject = std::uintptr_t(uint32_t(IntOf(v, n)));
        else if (n == "FontColor") p->FontColor = ColourOf(v, n);
        else if (n == "FontName") p->FontName = TextOf(v, n);
        else if (n == "FontSize") p->FontSize = int(IntOf(v, n));
        else if (n == "FontStyle") {
            if (v.Type != TBinValue::vtSet)
                Bad(n);
            TFontStyles st = 0;
            for (const QString& s : v.Items) {
                const int i = int(FontStyleNames().indexOf(s));
                if (i < 0)
                    Bad(n);
                st |= 1u << i;
            }
            p->FontStyle = st;
        } else if (n == "Editor") p->Editor = TEditorType(IndexOfName(EditorNames(), v, n));
        else if (n == "GradientDirection")
            p->GradientDirection = TCellGradientDirection(IndexOfName(GradientNames(), v, n));
        else if (n == "ReadOnly") p->ReadOnly = BoolOf(v, n);
        else if (n == "VAlignment") p->SetVAlignment(TVAlignment(IndexOfName(VAlignNames(), v, n)));
        else if (n == "WordWrap") p->SetWordWrap(BoolOf(v, n));
        else if (n == "NodeLevel") p->NodeLevel = int(IntOf(v, n));
    }
}

void ApplyGraphicFields(TCellGraphic* g, const TBinRecord& rec)
{
    for (const TBinProperty& prop : rec.Properties) {
        if (!prop.Name.startsWith(QLatin1String("CellGraphic.")))
            continue;
        const QString n = prop.Name.mid(12);
        const TBinValue& v = prop.Value;
        if (n == "CellType") g->CellType = TCellType(IndexOfName(CellTypeNames(), v, n));
        else if (n == "CellVAlign") g->CellVAlign = TCellVAlign(IndexOfName(CellVAlignNames(), v, n));
        else if (n == "CellHAlign") g->CellHAlign = TCellHAlign(IndexOfName(CellHAlignNames(), v, n));
        else if (n == "CellIndex") g->CellIndex = int(IntOf(v, n));
        else if (n == "CellTransparent") g->CellTransparent = BoolOf(v, n);
        else if (n == "CellCreated") g->CellCreated = BoolOf(v, n);
        else if (n == "CellBoolean") g->CellBoolean = BoolOf(v, n);
        else if (n == "CellAngle") g->CellAngle = int(IntOf(v, n));
        else if (n == "CellValue") {
            if (v.Type == TBinValue::vtExtended) g->CellValue = v.Extended;
            else g->CellValue = double(IntOf(v, n));
        } else if (n == "CellErrFrom") g->CellErrFrom = int(IntOf(v, n));
        else if (n == "CellErrLen") g->CellErrLen = int(IntOf(v, n));
        else if (n == "CellText") g->CellText = TextOf(v, n);
    }
}

TCellType TypeOf(const TBinRecord& rec)
{
    const TBinValue* v = rec.Find(QStringLiteral("CellGraphic.CellType"));
    return v ? TCellType(IndexOfName(CellTypeNames(), *v, QStringLiteral("CellType"))) : ctNone;
}

// The graphic's object record, decoded.
void DecodeObject(TCellIn& in, const TBinRecord& o)
{
    in.HasObject = true;
    switch (in.Type) {
    case ctBitmap:
    case ctBitButton: {
        const TBinValue* v = o.Find(QStringLiteral("Bitmap"));
        in.Bitmap = v && v->Type == TBinValue::vtBinary ? BitmapOf(v->Binary) : std::make_unique<TBitmap>();
        break;
    }
    case ctIcon: {
        in.Icon = std::make_unique<TIcon>();
        const TBinValue* v = o.Find(QStringLiteral("Icon"));
        if (v && v->Type == TBinValue::vtBinary && !v->Binary.isEmpty())
            in.Icon->LoadFromBytes(v->Binary);
        break;
    }
    case ctRadio:
    case ctImages:
        if (const TBinValue* v = o.Find(QStringLiteral("Strings"))) {
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
        const TBinValue* v = o.Find(QStringLiteral("Picture"));
        in.Picture = v && v->Type == TBinValue::vtBinary ? PictureOf(v->Binary) : std::make_unique<TPicture>();
        break;
    }
    case ctFilePicture:
        if (const TBinValue* v = o.Find(QStringLiteral("Picture.Filename")))
            in.FileName = TextOf(*v, QStringLiteral("Picture.Filename"));
        break;
    default:
        break;
    }
}

} // namespace

void TExStringGrid::LoadAtPointFromBinStream(const TPoint& Point, TStream* Stream)
{
    // 1. the rectangle's record, checked whole
    const TBinRecord head = Expect(Stream, "TGridPropIO");
    const TBinValue* vc = head.Find(QStringLiteral("ColCount"));
    const TBinValue* vr = head.Find(QStringLiteral("RowCount"));
    const int64_t cols = vc ? IntOf(*vc, QStringLiteral("ColCount")) : 0;
    const int64_t rows = vr ? IntOf(*vr, QStringLiteral("RowCount")) : 0;
    if (cols < 0 || rows < 0 || cols > MaxRealCols || rows > INT32_MAX / 2)
        Bad(QStringLiteral("size"));
    const TBinValue* vf = head.Find(QStringLiteral("FullGrid"));
    const bool full = vf && BoolOf(*vf, QStringLiteral("FullGrid"));
    std::vector<int> widths, heights;
    if (full) {
        if (cols < 1 || rows < 1)
            Bad(QStringLiteral("size"));
        widths = StrictList(head.Find(QStringLiteral("ColWidths")), QStringLiteral("ColWidths"), int(cols));
        heights = StrictList(head.Find(QStringLiteral("RowHeights")), QStringLiteral("RowHeights"), int(rows));
    }

    // 2. every cell with its records, before anything is placed
    std::vector<TCellIn> cells;
    std::optional<TPoint> firstPos;
    while (Stream->Size() - Stream->Position() >= 2) {
        if (int64_t(cells.size()) >= cols * rows)
            Bad(QStringLiteral("more cells than the rectangle holds"));
        const TBinRecord cell = Expect(Stream, "TGridCellIO");
        TCellIn in;
        if (const TBinValue* t = cell.Find(QStringLiteral("Cell")))
            in.Text = TextOf(*t, QStringLiteral("Cell"));
        if (!firstPos) {
            const TBinValue* c = cell.Find(QStringLiteral("Col"));
            const TBinValue* r = cell.Find(QStringLiteral("Row"));
            firstPos = TPoint{c ? int(IntOf(*c, "Col") & 0xFFFF) : 0, r ? int(IntOf(*r, "Row") & 0xFFFF) : 0};
        }
        const TBinValue* hp = cell.Find(QStringLiteral("HasProp"));
        if (hp && BoolOf(*hp, QStringLiteral("HasProp"))) {
            in.Props = Expect(Stream, "TGridCellPropIO");
            const TBinValue* hg = in.Props->Find(QStringLiteral("HasGraphic"));
            if (hg && BoolOf(*hg, QStringLiteral("HasGraphic"))) {
                in.Graphic = Expect(Stream, "TGridGraphicIO");
                in.Type = TypeOf(*in.Graphic);
                if (const char* objCls = ObjectRecordOf(in.Type))
                    DecodeObject(in, Expect(Stream, objCls));
            }
            // Values of the wrong kind are found now, not while placing.
            TCellProperties scratch(this, 0, 0);
            ApplyProps(&scratch, *in.Props);
            if (in.Graphic) {
                TCellGraphic sg;
                ApplyGraphicFields(&sg, *in.Graphic);
            }
        }
        cells.push_back(std::move(in));
    }

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
        if (!in.Props)
            continue;
        TCellProperties* p = GetCellProperties(real, tr);
        ApplyProps(p, *in.Props);
        p->OwnerCol = real;
        p->OwnerRow = tr;
        if (!in.Graphic)
            continue;
        TCellGraphic* g = NewCellGraphic(real, tr);
        if (in.Type == ctImages)
            g->SetMultiImage(real, tr, 0, haLeft, vaTop,
                             [this](TObject*, int c, int r) { RepaintRealCell(c, r); });
        ApplyGraphicFields(g, *in.Graphic);
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
