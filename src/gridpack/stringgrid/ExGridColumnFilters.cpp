// The column grid's whole-column features beyond drawing and editing: the
// fixed filter list of each column, the column popup menus, and the column
// collection written to and read from a stream.
//
// Column stream: records of the binary component layout
// (BinComponentStream.h). The first record, class "VAreDudaraZuveVE",
// holds "Version" (1) and "Count"; then one "TGridColumnItem" record per
// item with every setting under its name and type. A property missing from
// an item record keeps the item's default; a property of the wrong type, a
// record of another class, a version other than 1 or a stream that ends
// early raises EReadError.
#include "gridpack/stringgrid/ExCGrid.h"

#include "platform/core/BinComponentStream.h"
#include "platform/core/Streams.h"

namespace {

// The component that carries a column collection through a stream; its
// collection belongs to no grid, so reading into it touches no grid.
class VAreDudaraZuveVE : public TComponent {
    KAL_CLASS(VAreDudaraZuveVE, TComponent)
public:
    explicit VAreDudaraZuveVE(TComponent* AOwner) : TComponent(AOwner), FItems(new TGridColumnCollection(nullptr))
    {
        FItems->NoRecursiveUpdate = true;
    }
    ~VAreDudaraZuveVE() override { delete FItems; }
    TGridColumnCollection* Items() const { return FItems; }

private:
    TGridColumnCollection* FItems;
};

constexpr int kStreamVersion = 1;

QStringList Lines(const TStrings* s)
{
    QStringList out;
    for (int i = 0; i < s->Count(); ++i)
        out << s->Strings(i);
    return out;
}

// Colours travel as signed 32-bit values (system colours are negative).
int64_t ColourValue(TColor c) { return int32_t(uint32_t(c)); }

void WriteFont(TBinRecordWriter& w, const QByteArray& prefix, const TFont& f)
{
    w.String(prefix + ".Name", f.Name());
    w.Int(prefix + ".Height", f.Height());
    w.Int(prefix + ".Color", ColourValue(f.Color()));
    w.Int(prefix + ".Style", f.Style());
    w.Int(prefix + ".Charset", f.Charset());
    w.Int(prefix + ".Orientation", f.Orientation());
    w.Int(prefix + ".Pitch", f.Pitch());
    w.Int(prefix + ".Quality", f.Quality());
}

void WritePen(TBinRecordWriter& w, const QByteArray& prefix, const TPen& p)
{
    w.Int(prefix + ".Color", ColourValue(p.Color()));
    w.Int(prefix + ".Width", p.Width());
    w.Int(prefix + ".Style", p.Style());
    w.Int(prefix + ".Mode", p.Mode());
}

[[noreturn]] void Bad(const QString& what) { throw EReadError(QStringLiteral("Invalid column stream: %1").arg(what)); }

// Typed reads of one record: a missing property leaves the value alone.
struct TItemReader {
    const TBinRecord& R;
    const TBinValue* Get(const QByteArray& name, TBinValue::TType t) const
    {
        const TBinValue* v = R.Find(name);
        if (v && v->Type != t)
            Bad(QString::fromLatin1(name));
        return v;
    }
    template <class T>
    void Int(const QByteArray& name, T& out, int64_t lo, int64_t hi) const
    {
        if (const TBinValue* v = Get(name, TBinValue::vtInt)) {
            if (v->Int < lo || v->Int > hi)
                Bad(QString::fromLatin1(name));
            out = T(v->Int);
        }
    }
    void Colour(const QByteArray& name, TColor& out) const
    {
        if (const TBinValue* v = Get(name, TBinValue::vtInt)) {
            if (v->Int < INT32_MIN || v->Int > INT32_MAX)
                Bad(QString::fromLatin1(name));
            out = TColor(uint32_t(int32_t(v->Int)));
        }
    }
    void Str(const QByteArray& name, QString& out) const
    {
        if (const TBinValue* v = Get(name, TBinValue::vtString))
            out = v->Text;
    }
    void Bool(const QByteArray& name, bool& out) const
    {
        if (const TBinValue* v = Get(name, TBinValue::vtBool))
            out = v->Bool;
    }
    void List(const QByteArray& name, TStrings* out) const
    {
        if (const TBinValue* v = Get(name, TBinValue::vtList)) {
            out->Clear();
            for (const QString& s : v->Items)
                out->Add(s);
        }
    }
    void Font(const QByteArray& p, TFont& f) const
    {
        QString name = f.Name();
        int height = f.Height(), style = int(f.Style()), charset = f.Charset(), orient = f.Orientation();
        int pitch = f.Pitch(), quality = f.Quality();
        TColor color = f.Color();
        Str(p + ".Name", name);
        Int(p + ".Height", height, -4096, 4096);
        Colour(p + ".Color", color);
        Int(p + ".Style", style, 0, 15);
        Int(p + ".Charset", charset, 0, 255);
        Int(p + ".Orientation", orient, -3600, 3600);
        Int(p + ".Pitch", pitch, fpDefault, fpFixed);
        Int(p + ".Quality", quality, fqDefault, fqClearType);
        f.SetName(name);
        f.SetHeight(height);
        f.SetColor(color);
        f.SetStyle(TFontStyles(style));
        f.SetCharset(charset);
        f.SetOrientation(orient);
        f.SetPitch(TFontPitch(pitch));
        f.SetQuality(TFontQuality(quality));
    }
    void Pen(const QByteArray& p, TPen& pen) const
    {
        TColor color = pen.Color();
        int width = pen.Width(), style = pen.Style(), mode = pen.Mode();
        Colour(p + ".Color", color);
        Int(p + ".Width", width, 0, 1000);
        Int(p + ".Style", style, psSolid, psAlternate);
        Int(p + ".Mode", mode, 0, 15);
        pen.SetColor(color);
        pen.SetWidth(width);
        pen.SetStyle(TPenStyle(style));
        pen.SetMode(TPenMode(mode));
    }
};

void WriteItem(QByteArray& out, TGridColumnItem* c)
{
    TBinRecordWriter w(out, "TGridColumnItem");
    w.Int("AutoMinSize", c->AutoMinSize);
    w.Int("AutoMaxSize", c->AutoMaxSize);
    w.Int("Alignment", c->Alignment());
    w.Int("Borders", c->Borders());
    WritePen(w, "BorderPen", *c->BorderPen());
    w.String("CheckFalse", c->CheckFalse);
    w.String("CheckTrue", c->CheckTrue);
    w.Int("Color", ColourValue(c->Color()));
    w.Int("ColumnPopupType", c->ColumnPopupType);
    w.StringList("ComboItems", Lines(c->ComboItems()));
    w.Int("DropDownCount", c->DropDownCount);
    w.Int("EditLength", c->EditLength);
    w.String("EditMask", c->EditMask);
    w.Int("Editor", c->Editor());
    w.StringList("Filter", Lines(c->Filter()));
    w.Bool("FilterCaseSensitive", c->FilterCaseSensitive);
    w.Bool("Fixed", c->Fixed());
    w.String("FloatFormat", c->FloatFormat());
    WriteFont(w, "Font", *c->Font());
    w.String("Header", c->Header());
    w.Int("HeaderAlignment", c->HeaderAlignment());
    WriteFont(w, "HeaderFont", *c->HeaderFont());
    w.Int("MinSize", c->MinSize);
    w.Int("MaxSize", c->MaxSize);
    w.String("Name", c->Name);
    w.Bool("Password", c->Password());
    w.Bool("PrintBorderCustom", c->PrintBorderCustom);
    w.Int("PrintBorders", c->PrintBorders);
    WritePen(w, "PrintBorderPen", *c->PrintBorderPen());
    w.Int("PrintColor", ColourValue(c->PrintColor));
    w.Bool("PrintFontCustom", c->PrintFontCustom);
    WriteFont(w, "PrintFont", *c->PrintFont());
    w.Bool("ReadOnly", c->ReadOnly);
    w.Bool("ShowBands", c->ShowBands());
    w.Int("SortStyle", c->SortStyle);
    w.String("SortPrefix", c->SortPrefix);
    w.String("SortSuffix", c->SortSuffix);
    w.Int("SpinMax", c->SpinMax);
    w.Int("SpinMin", c->SpinMin);
    w.Int("SpinStep", c->SpinStep);
    w.Int("Tag", c->Tag);
    w.Int("Width", c->StoredWidth());
    w.Finish();
}

void ReadItem(const TBinRecord& rec, TGridColumnItem* c)
{
    if (rec.ClassName != QByteArrayView("TGridColumnItem"))
        Bad(QStringLiteral("item record expected"));
    const TItemReader r{rec};
    constexpr int64_t kMin = INT32_MIN, kMax = INT32_MAX;
    r.Int("AutoMinSize", c->AutoMinSize, kMin, kMax);
    r.Int("AutoMaxSize", c->AutoMaxSize, kMin, kMax);
    int al = c->Alignment(), hal = c->HeaderAlignment(), ed = c->Editor(), popup = c->ColumnPopupType;
    int sort = c->SortStyle, width = c->StoredWidth();
    unsigned borders = c->Borders();
    r.Int("Alignment", al, taLeftJustify, taCenter);
    r.Int("HeaderAlignment", hal, taLeftJustify, taCenter);
    r.Int("Editor", ed, edNormal, edMaskEditBtn);
    r.Int("ColumnPopupType", popup, cpFixedCellsRClick, cpAllCellsLClick);
    r.Int("SortStyle", sort, ssAutomatic, ssAlphaNumericNoCase);
    r.Int("Borders", borders, 0, 15);
    r.Int("PrintBorders", c->PrintBorders, 0, 15);
    r.Int("Width", width, kMin, kMax);
    c->SetAlignment(TAlignment(al));
    c->SetHeaderAlignment(TAlignment(hal));
    c->SetEditor(TEditorType(ed));
    c->ColumnPopupType = TColumnPopupType(popup);
    c->SortStyle = TSortStyle(sort);
    c->SetBorders(borders);
    c->SetStoredWidth(width);
    r.Pen("BorderPen", *c->BorderPen());
    r.Str("CheckFalse", c->CheckFalse);
    r.Str("CheckTrue", c->CheckTrue);
    TColor color = c->Color();
    r.Colour("Color", color);
    c->SetColor(color);
    r.List("ComboItems", c->ComboItems());
    r.Int("DropDownCount", c->DropDownCount, kMin, kMax);
    r.Int("EditLength", c->EditLength, kMin, kMax);
    r.Str("EditMask", c->EditMask);
    r.List("Filter", c->Filter());
    r.Bool("FilterCaseSensitive", c->FilterCaseSensitive);
    bool fixed = c->Fixed(), password = c->Password(), bands = c->ShowBands();
    r.Bool("Fixed", fixed);
    r.Bool("Password", password);
    r.Bool("ShowBands", bands);
    c->SetFixed(fixed);
    c->SetPassword(password);
    c->SetShowBands(bands);
    QString ff = c->FloatFormat(), header = c->Header();
    r.Str("FloatFormat", ff);
    r.Str("Header", header);
    c->SetFloatFormat(ff);
    c->SetHeader(header);
    r.Font("Font", *c->Font());
    r.Font("HeaderFont", *c->HeaderFont());
    r.Font("PrintFont", *c->PrintFont());
    r.Int("MinSize", c->MinSize, kMin, kMax);
    r.Int("MaxSize", c->MaxSize, kMin, kMax);
    r.Str("Name", c->Name);
    r.Bool("PrintBorderCustom", c->PrintBorderCustom);
    r.Pen("PrintBorderPen", *c->PrintBorderPen());
    r.Colour("PrintColor", c->PrintColor);
    r.Bool("PrintFontCustom", c->PrintFontCustom);
    r.Bool("ReadOnly", c->ReadOnly);
    r.Str("SortPrefix", c->SortPrefix);
    r.Str("SortSuffix", c->SortSuffix);
    r.Int("SpinMax", c->SpinMax, kMin, kMax);
    r.Int("SpinMin", c->SpinMin, kMin, kMax);
    r.Int("SpinStep", c->SpinStep, kMin, kMax);
    r.Int("Tag", c->Tag, kMin, kMax);
}

} // namespace

// ---------------------------------------------------------------------------
// Filter lists
// ---------------------------------------------------------------------------

bool TExColumnGrid::GetColumnFilter(int Column)
{
    FilterList()->SetSorted(false);
    TExStringGrid::GetColumnFilter(Column);
    if (Column < 0 || Column >= FColumnCollection->Count())
        return false;
    const TStringList* f = FColumnCollection->Items(Column)->Filter();
    if (f->Count() == 0)
        return false;
    FilterList()->Clear();
    for (int i = 0; i < f->Count(); ++i) {
        const QString e = f->Strings(i);
        const int eq = e.indexOf(QLatin1Char('='));
        FilterList()->Add(eq < 0 ? e : e.left(eq));
    }
    return true;
}

void TExColumnGrid::FilterSelect(int ItemIndex)
{
    const int col = FFilterColumn;
    // 1.
    if (col >= 0 && col < FColumnCollection->Count() && ItemIndex >= 0 &&
        ItemIndex < FColumnCollection->Items(col)->Filter()->Count()) {
        TGridColumnItem* item = FColumnCollection->Items(col);
        const QString entry = item->Filter()->Strings(ItemIndex);
        const int eq = entry.indexOf(QLatin1Char('='));
        const QString name = eq < 0 ? entry : entry.left(eq);
        // 2.
        if (AutoFilterDisplay)
            item->SetHeader(name);
        // 3.
        if (AutoFilterUpdate)
            SetFilterActive(false);
        // 4.
        QString cond = eq < 0 ? entry : entry.mid(eq + 1);
        // 5.
        if (OnFilterSelect)
            OnFilterSelect(this, col, ItemIndex, name, cond);
        // 6.
        TFilterData* fd = Filter()->GetColFilter(col);
        fd->Condition = cond;
        fd->CaseSensitive = item->FilterCaseSensitive;
        // 7.
        if (AutoFilterUpdate) {
            SetFilterActive(true);
            if (!(RowCount() == FixedRows() || (RowCount() == 1 && FixedRowAlways)))
                SetRow(FixedRows());
            FilterDone();
        }
    }
    // 8.
    FFilterColumn = -1;
}

// ---------------------------------------------------------------------------
// Column popup menus
// ---------------------------------------------------------------------------

void TExColumnGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TExStringGrid::MouseDown(Button, Shift, X, Y);
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    if (ACol < 0 || ARow < 0)
        return;
    const int real = RealColIndex(ACol);
    if (real < 0 || real >= FColumnCollection->Count())
        return;
    TGridColumnItem* item = FColumnCollection->Items(real);
    TPopupMenu* menu = item->ColumnPopup();
    if (!menu)
        return;
    const TColumnPopupType t = item->ColumnPopupType;
    const bool fixedRow = ARow < FixedRows();
    bool fire = false, show = false;
    if (Button == mbLeft) {
        fire = t == cpFixedCellsLClick || t == cpNormalCellsLClick || t == cpAllCellsLClick;
        show = fixedRow ? (t == cpFixedCellsLClick || t == cpAllCellsLClick)
                        : (t == cpNormalCellsLClick || t == cpAllCellsLClick);
    } else if (Button == mbRight) {
        fire = t == cpFixedCellsRClick || t == cpNormalCellsRClick || t == cpAllCellsRClick;
        show = fixedRow ? (t == cpFixedCellsRClick || t == cpAllCellsRClick)
                        : (t == cpNormalCellsRClick || t == cpAllCellsRClick);
    } else {
        return;
    }
    const TRect R = CellRect(ACol, ARow);
    const TPoint at = ClientToScreen(TPoint{R.Left, R.Bottom});
    if (fire && OnColumnPopup)
        OnColumnPopup(this, ACol, ARow, menu);
    if (show)
        menu->Popup(at.X, at.Y);
}

// ---------------------------------------------------------------------------
// Column streams
// ---------------------------------------------------------------------------

void TExColumnGrid::SaveColumnsToStream(TStream* Stream)
{
    VAreDudaraZuveVE carrier(nullptr);
    carrier.Items()->Assign(FColumnCollection);
    QByteArray out;
    {
        TBinRecordWriter w(out, "VAreDudaraZuveVE");
        w.Int("Version", kStreamVersion);
        w.Int("Count", carrier.Items()->Count());
        w.Finish();
    }
    for (int i = 0; i < carrier.Items()->Count(); ++i) {
        TGridColumnItem* c = carrier.Items()->Items(i);
        // Assign leaves these three out; the stream keeps them.
        c->ColumnPopupType = FColumnCollection->Items(i)->ColumnPopupType;
        c->PrintBorderCustom = FColumnCollection->Items(i)->PrintBorderCustom;
        c->PrintFontCustom = FColumnCollection->Items(i)->PrintFontCustom;
        WriteItem(out, c);
    }
    Stream->WriteBuffer(out.constData(), out.size());
}

void TExColumnGrid::LoadColumnsFromStream(TStream* Stream)
{
    VAreDudaraZuveVE carrier(nullptr);
    // Everything is read and checked before Columns changes.
    const TBinRecord head = ReadBinRecord(Stream);
    if (head.ClassName != QByteArrayView("VAreDudaraZuveVE"))
        Bad(QStringLiteral("header record expected"));
    const TBinValue* version = head.Find("Version");
    const TBinValue* count = head.Find("Count");
    if (!version || version->Type != TBinValue::vtInt || version->Int != kStreamVersion)
        Bad(QStringLiteral("unknown version"));
    if (!count || count->Type != TBinValue::vtInt || count->Int < 0 ||
        count->Int > Stream->Size() - Stream->Position())
        Bad(QStringLiteral("item count"));
    struct TExtra {
        TColumnPopupType Popup;
        bool BorderCustom, FontCustom;
        int Width;
    };
    std::vector<TExtra> extras;
    for (int64_t i = 0; i < count->Int; ++i) {
        const TBinRecord rec = ReadBinRecord(Stream);
        TGridColumnItem* c = carrier.Items()->Add();
        ReadItem(rec, c);
        extras.push_back({c->ColumnPopupType, c->PrintBorderCustom, c->PrintFontCustom, c->StoredWidth()});
    }
    // The collection takes the items without resizing the grid; the flag
    // is cleared again however the copy ends.
    struct TQuiet {
        bool& Flag;
        explicit TQuiet(bool& f) : Flag(f) { Flag = true; }
        ~TQuiet() { Flag = false; }
    } quiet(FColumnCollection->NoRecursiveUpdate);
    FColumnCollection->Assign(carrier.Items());
    for (int i = 0; i < FColumnCollection->Count() && i < int(extras.size()); ++i) {
        TGridColumnItem* c = FColumnCollection->Items(i);
        // The copy takes the width an item has in its grid; the carrier's
        // items have none, so the stored widths are put back here.
        c->SetWidth(extras[std::size_t(i)].Width);
        c->ColumnPopupType = extras[std::size_t(i)].Popup;
        c->PrintBorderCustom = extras[std::size_t(i)].BorderCustom;
        c->PrintFontCustom = extras[std::size_t(i)].FontCustom;
    }
    Invalidate();
}
