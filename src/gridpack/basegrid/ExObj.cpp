#include "gridpack/basegrid/ExObj.h"

#include "platform/controls/Controls.h"
#include "platform/core/IntConv.h"

#include <memory>

namespace {
void* FromInt(int v) { return reinterpret_cast<void*>(std::intptr_t(v)); }
int ToInt(void* p) { return int(reinterpret_cast<std::intptr_t>(p)); }
constexpr uint32_t DescendingBit = 0x80000000u;
} // namespace

// --- TIntList ---------------------------------------------------------------

TIntList::TIntList(int Col, int Row) : FCol(Col), FRow(Row) {}

void TIntList::Changed()
{
    if (OnChange)
        OnChange(this, FCol, FRow);
}

int TIntList::Add(int Value)
{
    int i = TList::Add(FromInt(Value));
    Changed();
    return i;
}

void TIntList::Delete(int Index)
{
    TList::Delete(Index);
    Changed();
}

void TIntList::Insert(int Index, int Value) { TList::Insert(Index, FromInt(Value)); }

void TIntList::DeleteValue(int Value)
{
    int i = IndexOf(FromInt(Value));
    if (i >= 0)
        Delete(i);
}

bool TIntList::HasValue(int Value) const { return IndexOf(FromInt(Value)) >= 0; }

int TIntList::GetInteger(int Index) const { return ToInt(Items(Index)); }

void TIntList::SetInteger(int Index, int Value)
{
    SetItems(Index, FromInt(Value));
    Changed();
}

QString TIntList::StrValue() const
{
    QString s;
    for (int i = 0; i < Count(); ++i) {
        if (i > 0)
            s += QLatin1Char(',');
        s += QString::number(GetInteger(i));
    }
    return s;
}

void TIntList::SetStrValue(const QString& Value)
{
    Clear();
    TStringList pieces;
    pieces.SetCommaText(Value);
    for (int i = 0; i < pieces.Count(); ++i)
        Add(StrToInt(pieces[i]));
}

// --- TSortIndexList -----------------------------------------------------------

void TSortIndexList::AddIndex(int ColumnIndex, bool Ascending)
{
    uint32_t v = uint32_t(ColumnIndex);
    if (!Ascending)
        v |= DescendingBit;
    Add(int(v));
}

int TSortIndexList::FindIndex(int ColumnIndex) const
{
    for (int i = 0; i < Count(); ++i)
        if ((uint32_t(GetInteger(i)) & ~DescendingBit) == uint32_t(ColumnIndex))
            return i;
    return -1;
}

void TSortIndexList::ToggleIndex(int ColumnIndex)
{
    int i = FindIndex(ColumnIndex);
    if (i >= 0)
        SetInteger(i, int(uint32_t(GetInteger(i)) ^ DescendingBit));
}

int TSortIndexList::GetSortColumns(int i) const { return int(uint32_t(GetInteger(i)) & ~DescendingBit); }

void TSortIndexList::SetSortColumns(int i, int Value)
{
    uint32_t dir = uint32_t(GetInteger(i)) & DescendingBit;
    SetInteger(i, int((uint32_t(Value) & ~DescendingBit) | dir));
}

bool TSortIndexList::GetSortDirections(int i) const { return (uint32_t(GetInteger(i)) & DescendingBit) == 0; }

void TSortIndexList::SetSortDirections(int i, bool Value)
{
    uint32_t v = uint32_t(GetInteger(i));
    SetInteger(i, int(Value ? v & ~DescendingBit : v | DescendingBit));
}

QString TSortIndexList::SaveToString() const
{
    QString s;
    for (int i = 0; i < Count(); ++i) {
        if (i > 0)
            s += QLatin1Char(';');
        uint32_t v = uint32_t(GetInteger(i));
        s += (v & DescendingBit) ? QLatin1Char('d') : QLatin1Char('u');
        s += QString::number(v & 0xFFFFu);
    }
    return s;
}

void TSortIndexList::LoadFromString(const QString& s)
{
    Clear();
    QString rest = s;
    while (!rest.isEmpty()) {
        int sep = rest.indexOf(QLatin1Char(';'));
        QString piece = sep < 0 ? rest : rest.left(sep);
        rest = sep < 0 ? QString() : rest.mid(sep + 1);
        if (piece.size() < 2)
            continue;
        // The column is read as a decimal number up to the first character
        // that does not belong to one; a piece with no digits there names
        // column 0.
        QStringView digits = QStringView(piece).mid(1);
        int n = 0;
        int col = 0;
        bool negative = false;
        if (n < digits.size() && (digits[n] == QLatin1Char('-') || digits[n] == QLatin1Char('+'))) {
            negative = digits[n] == QLatin1Char('-');
            ++n;
        }
        for (; n < digits.size() && digits[n] >= QLatin1Char('0') && digits[n] <= QLatin1Char('9'); ++n)
            col = int(uint32_t(col) * 10u + uint32_t(digits[n].unicode() - '0'));
        if (negative)
            col = int(0u - uint32_t(col));
        AddIndex(col, piece[0] == QLatin1Char('u'));
    }
}

// --- TControlList ---------------------------------------------------------------

TControlList::~TControlList()
{
    while (Count() > 0)
        RemoveControl(Count() - 1);
}

void TControlList::AddControl(int X, int Y, TControl* AObject) { Add(new TControlItem(X, Y, AObject)); }

int TControlList::ControlIndex(int X, int Y) const
{
    for (int i = 0; i < Count(); ++i) {
        auto* item = GetControl(i);
        if (item->X == X && item->Y == Y)
            return i;
    }
    return -1;
}

TControlItem* TControlList::GetControl(int i) const { return static_cast<TControlItem*>(Items(i)); }

void TControlList::RemoveControl(int i)
{
    TControlItem* item = GetControl(i);
    Delete(i);
    delete item;
}

bool TControlList::HasHandle(std::intptr_t Handle) const
{
    for (int i = 0; i < Count(); ++i) {
        auto* win = dynamic_cast<TWinControl*>(GetControl(i)->Control);
        if (win && win->Handle() == Handle)
            return true;
    }
    return false;
}

// --- TFilePicture -------------------------------------------------------------

void TFilePicture::SetFilename(const QString& Value)
{
    FFilename = Value;
    auto pic = std::make_unique<TPicture>();
    pic->LoadFromFile(Value);
    FWidth = pic->Width();
    FHeight = pic->Height();
}

void TFilePicture::DrawPicture(TCanvas* Canvas, const TRect& r) const
{
    if (FFilename.isEmpty())
        return;
    auto pic = std::make_unique<TPicture>();
    pic->LoadFromFile(FFilename);
    if (pic->Graphic())
        Canvas->StretchDraw(r, pic->Graphic());
}

void TFilePicture::Assign(const TPersistent* Source)
{
    if (auto* src = dynamic_cast<const TFilePicture*>(Source)) {
        FFilename = src->FFilename;
        FWidth = src->FWidth;
        FHeight = src->FHeight;
        return;
    }
    TPersistent::Assign(Source);
}

// --- TFileStringList ------------------------------------------------------------

void TFileStringList::Reset()
{
    fp = 0;
    cache.clear();
}

bool TFileStringList::Eof() const { return fp >= Count(); }

void TFileStringList::ReadLn(QString& s)
{
    s = Get(fp);
    ++fp;
}

void TFileStringList::Write(const QString& s) { cache += s; }

void TFileStringList::WriteLn(const QString& s)
{
    Add(cache + s);
    cache.clear();
}
