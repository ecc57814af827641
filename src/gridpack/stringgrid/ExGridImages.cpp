// Pictures, images and the other objects a cell can show beside its text.
// Every Add operation replaces the cell's graphic by a fresh record (objects
// handed in stay the caller's); every Remove takes the graphic away only
// when it is of the operation's kind.
#include "gridpack/stringgrid/ExGrid.h"

#include "platform/core/MathUtils.h"
#include "platform/core/StrUtils.h"
#include "platform/graphics/ImageList.h"

// ---------------------------------------------------------------------------
// Bitmaps, pictures, icons
// ---------------------------------------------------------------------------

void TExStringGrid::AddBitmap(int ACol, int ARow, TBitmap* ABmp, bool Transparent, TCellHAlign hal,
                              TCellVAlign val)
{
    NewCellGraphic(ACol, ARow)->SetBitmap(ABmp, Transparent, hal, val);
}

TBitmap* TExStringGrid::CreateBitmap(int ACol, int ARow, bool transparent, TCellHAlign hal, TCellVAlign val)
{
    TCellGraphic* g = NewCellGraphic(ACol, ARow);
    auto* bmp = new TBitmap();
    g->SetBitmap(bmp, transparent, hal, val);
    g->CellCreated = true;
    return bmp;
}

TBitmap* TExStringGrid::GetBitmap(int ACol, int ARow)
{
    const TCellGraphic* g = GetCellGraphic(ACol, ARow);
    return g && g->CellType == ctBitmap ? g->Bitmap() : nullptr;
}

void TExStringGrid::AddPicture(int ACol, int ARow, TPicture* APicture, bool transparent, TStretchMode stretchmode,
                               int padding, TCellHAlign hal, TCellVAlign val)
{
    NewCellGraphic(ACol, ARow)->SetPicture(APicture, transparent, stretchmode, padding, hal, val);
}

TPicture* TExStringGrid::CreatePicture(int ACol, int ARow, bool transparent, TStretchMode stretchmode,
                                       int padding, TCellHAlign hal, TCellVAlign val)
{
    TCellGraphic* g = NewCellGraphic(ACol, ARow);
    auto* pic = new TPicture();
    g->SetPicture(pic, transparent, stretchmode, padding, hal, val);
    g->CellCreated = true;
    return pic;
}

TPicture* TExStringGrid::GetPicture(int ACol, int ARow)
{
    const TCellGraphic* g = GetCellGraphic(ACol, ARow);
    return g && g->CellType == ctPicture ? g->Picture() : nullptr;
}

void TExStringGrid::AddFilePicture(int ACol, int ARow, TFilePicture* AFilePicture, bool Transparent,
                                   TStretchMode stretchmode, int padding, TCellHAlign hal, TCellVAlign val)
{
    NewCellGraphic(ACol, ARow)->SetFilePicture(AFilePicture, Transparent, stretchmode, padding, hal, val);
}

TFilePicture* TExStringGrid::CreateFilePicture(int ACol, int ARow, bool Transparent, TStretchMode StretchMode,
                                               int padding, TCellHAlign hal, TCellVAlign val)
{
    TCellGraphic* g = NewCellGraphic(ACol, ARow);
    auto* pic = NewObject<TFilePicture>();
    g->SetFilePicture(pic, Transparent, StretchMode, padding, hal, val);
    g->CellCreated = true;
    return pic;
}

TFilePicture* TExStringGrid::GetFilePicture(int ACol, int ARow)
{
    const TCellGraphic* g = GetCellGraphic(ACol, ARow);
    return g && g->CellType == ctFilePicture ? g->FilePicture() : nullptr;
}

void TExStringGrid::AddIcon(int ACol, int ARow, TIcon* AIcon, TCellHAlign hal, TCellVAlign val)
{
    NewCellGraphic(ACol, ARow)->SetIcon(AIcon, hal, val);
}

TIcon* TExStringGrid::CreateIcon(int ACol, int ARow, TCellHAlign hal, TCellVAlign val)
{
    TCellGraphic* g = NewCellGraphic(ACol, ARow);
    auto* icon = new TIcon();
    g->SetIcon(icon, hal, val);
    g->CellCreated = true;
    return icon;
}

// ---------------------------------------------------------------------------
// Images of the grid's image list
// ---------------------------------------------------------------------------

void TExStringGrid::AddImageIdx(int ACol, int ARow, int Aidx, TCellHAlign hal, TCellVAlign val)
{
    if (!GridImages)
        return;
    NewCellGraphic(ACol, ARow)->SetImageIdx(Aidx, hal, val);
}

bool TExStringGrid::GetImageIdx(int ACol, int ARow, int& idx)
{
    if (!GridImages || GetCellType(ACol, ARow) != ctImageList)
        return false;
    idx = GetCellGraphic(ACol, ARow)->CellIndex;
    return true;
}

void TExStringGrid::SetImageIdx(int ACol, int ARow, int Idx)
{
    // The new image shows at the cell's next paint.
    if (!GridImages || GetCellType(ACol, ARow) != ctImageList)
        return;
    GetCellGraphic(ACol, ARow)->CellIndex = Idx;
}

void TExStringGrid::AddDataImage(int ACol, int ARow, int Aidx, TCellHAlign hal, TCellVAlign val)
{
    if (!GridImages)
        return;
    NewCellGraphic(ACol, ARow)->SetDataImage(Aidx, hal, val);
    if (Cells(ACol, ARow).isEmpty())
        SetInts(ACol, ARow, Aidx);
}

void TExStringGrid::RemoveDataImage(int ACol, int ARow)
{
    if (RemoveCellGraphicOfKind(ACol, ARow, ctDataImage))
        SetCellEx(ACol, ARow, QString());
}

void TExStringGrid::AddMultiImage(int ACol, int ARow, int Dir, TCellHAlign hal, TCellVAlign val)
{
    if (!GridImages)
        return;
    NewCellGraphic(ACol, ARow)->SetMultiImage(ACol, ARow, Dir, hal, val, [this](TObject* Sender, int c, int r) {
        CellImagesChanged(Sender, c, r);
    });
}

void TExStringGrid::CellImagesChanged(TObject*, int ACol, int ARow) { RepaintRealCell(ACol, ARow); }

// ---------------------------------------------------------------------------
// Progress bars, pies, range indicators
// ---------------------------------------------------------------------------

void TExStringGrid::AddProgressFormatted(int ACol, int ARow, TColor FGColor, TColor FGTextColor, TColor BKColor,
                                         TColor BKTextColor, const QString& Fmt, int Min, int Max)
{
    TCellGraphic* g = NewCellGraphic(ACol, ARow);
    g->CellType = ctProgress;
    g->CellHAlign = haLeft;
    g->CellVAlign = vaTop;
    g->BitmapColor = FGColor;
    g->IconColor = BKColor;
    g->CellIndex = int(FGTextColor);
    g->CellAngle = int(BKTextColor);
    g->CellErrFrom = Min;
    g->CellErrLen = Max;
    g->CellText = Fmt;
    if (AutoNumAlign)
        SetAlignments(ACol, ARow, taRightJustify);
}

void TExStringGrid::AddProgress(int ACol, int ARow, TColor FGColor, TColor BKColor)
{
    AddProgressFormatted(ACol, ARow, FGColor, 0, BKColor, 0, QString(), 0, 100);
    GetCellGraphic(ACol, ARow)->CellBoolean = false;
}

void TExStringGrid::AddProgressEx(int ACol, int ARow, TColor FGColor, TColor FGTextColor, TColor BKColor,
                                  TColor BKTextColor)
{
    AddProgressFormatted(ACol, ARow, FGColor, FGTextColor, BKColor, BKTextColor, QString(), 0, 100);
    GetCellGraphic(ACol, ARow)->CellBoolean = true;
}

void TExStringGrid::AddExProgress(int ACol, int ARow, int Min, int Max)
{
    TCellGraphic* g = NewCellGraphic(ACol, ARow);
    g->CellType = ctXPProgress;
    g->CellHAlign = haLeft;
    g->CellVAlign = vaTop;
    g->CellErrFrom = Min;
    g->CellErrLen = Max;
    g->CellBoolean = false;
    g->CellText.clear();
}

void TExStringGrid::AddProgressPie(int ACol, int ARow, TColor Color, int Value)
{
    TCellGraphic* g = NewCellGraphic(ACol, ARow);
    g->CellType = ctProgressPie;
    g->CellHAlign = haBeforeText;
    g->CellVAlign = vaTop;
    g->BitmapColor = Color;
    g->CellAngle = Value;
}

void TExStringGrid::SetProgressPie(int ACol, int ARow, int Value)
{
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g || g->CellType != ctProgressPie)
        return;
    g->CellAngle = Value;
    RepaintRealCell(ACol, ARow);
}

void TExStringGrid::AddRangeIndicator(int ACol, int ARow, int Range, TColor NegColor, TColor PosColor,
                                      bool ShowValue)
{
    TCellGraphic* g = NewCellGraphic(ACol, ARow);
    g->CellType = ctRangeIndicator;
    g->CellHAlign = haLeft;
    g->CellVAlign = vaTop;
    g->CellIndex = Range;
    g->BitmapColor = NegColor;
    g->IconColor = PosColor;
    g->CellBoolean = ShowValue;
}

// ---------------------------------------------------------------------------
// Comments
// ---------------------------------------------------------------------------

void TExStringGrid::AddComment(int ACol, int ARow, const QString& Comment)
{
    AddColorComment(ACol, ARow, Comment, FControlLook->CommentColor());
}

void TExStringGrid::AddColorComment(int ACol, int ARow, const QString& Comment, TColor Color)
{
    TCellGraphic* g = NewCellGraphic(ACol, ARow);
    g->CellType = ctComment;
    g->CellHAlign = haLeft;
    g->CellVAlign = vaTop;
    g->CellText = Comment;
    g->CellIndex = int(Color);
}

bool TExStringGrid::IsComment(int ACol, int ARow, QString& comment)
{
    const TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g || g->CellType != ctComment)
        return false;
    comment = g->CellText;
    return true;
}

QString TExStringGrid::GetComment(int ACol, int ARow)
{
    QString s;
    IsComment(ACol, ARow, s);
    return s;
}

void TExStringGrid::SetComment(int ACol, int ARow, const QString& value)
{
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g)
        AddComment(ACol, ARow, value);
    else if (g->CellType == ctComment)
        g->CellText = value;
}

void TExStringGrid::RemoveAllComments()
{
    for (int c = 0; c < ColCount(); ++c)
        for (int r = 0; r < RowCount(); ++r)
            RemoveComment(c, r);
}

// ---------------------------------------------------------------------------
// Shapes, ratings
// ---------------------------------------------------------------------------

void TExStringGrid::AddShape(int ACol, int ARow, TCellShape Shape, TColor FillColor, TColor LineColor,
                             TCellHAlign hal, TCellVAlign val)
{
    TCellGraphic* g = NewCellGraphic(ACol, ARow);
    g->CellType = ctShape;
    g->CellAngle = int(Shape);
    g->CellIndex = int(FillColor);
    g->BitmapColor = LineColor;
    g->CellHAlign = hal;
    g->CellVAlign = val;
}

void TExStringGrid::SetShapeColor(int ACol, int ARow, TColor FillColor)
{
    if (GetCellType(ACol, ARow) == ctShape)
        GetCellGraphic(ACol, ARow)->CellIndex = int(FillColor);
}

TColor TExStringGrid::GetShapeColor(int ACol, int ARow)
{
    const TCellGraphic* g = GetCellGraphic(ACol, ARow);
    return g && g->CellType == ctShape ? TColor(g->CellIndex) : clNone;
}

void TExStringGrid::AddRating(int ACol, int ARow, int Scale, TColor FillColor, TColor EmptyColor)
{
    TCellGraphic* g = NewCellGraphic(ACol, ARow);
    g->CellType = ctRating;
    g->CellAngle = Scale;
    g->CellIndex = int(FillColor);
    g->BitmapColor = EmptyColor;
    g->CellHAlign = haFull;
}

bool TExStringGrid::RatingChange(int ACol, int ARow, double& NewRate)
{
    bool allow = true;
    if (OnRatingChange)
        OnRatingChange(this, ACol, ARow, NewRate, allow);
    return allow;
}

// ---------------------------------------------------------------------------
// Cell scroll bars
// ---------------------------------------------------------------------------

void TExStringGrid::AddScrollBar(int ACol, int ARow, bool AutoRange)
{
    TCellGraphic* g = NewCellGraphic(ACol, ARow);
    g->CellType = ctScrollbar;
    g->CellIndex = 0;
    g->CellAngle = 0;
    g->CellErrFrom = 100;
    g->CellBoolean = AutoRange;
    // The text-changed hook sets page size and range from the cell's text.
    if (AutoRange)
        CellTextChanged(ACol, ARow);
}

TCellGraphic* TExStringGrid::BaseScrollBar(int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0)
        return nullptr;
    const TPoint b = BaseCell(ACol, ARow);
    TCellGraphic* g = GetCellGraphic(b.X, b.Y);
    return g && g->CellType == ctScrollbar ? g : nullptr;
}

bool TExStringGrid::HasAutoRangeScrollBar(int ACol, int ARow)
{
    const TCellGraphic* g = BaseScrollBar(ACol, ARow);
    return g && g->CellBoolean;
}

void TExStringGrid::SetScrollPosition(int ACol, int ARow, int Pos)
{
    if (TCellGraphic* g = BaseScrollBar(ACol, ARow)) {
        g->CellIndex = Pos;
        RepaintRealCell(ACol, ARow);
    }
}

int TExStringGrid::GetScrollPosition(int ACol, int ARow)
{
    const TCellGraphic* g = BaseScrollBar(ACol, ARow);
    return g ? g->CellIndex : -1;
}

void TExStringGrid::SetScrollProp(int ACol, int ARow, TScrollProp Prop)
{
    if (TCellGraphic* g = BaseScrollBar(ACol, ARow)) {
        g->CellAngle = Prop.PageSize;
        g->CellErrFrom = Prop.Range;
    }
}

TScrollProp TExStringGrid::GetScrollProp(int ACol, int ARow)
{
    const TCellGraphic* g = BaseScrollBar(ACol, ARow);
    return g ? TScrollProp{g->CellAngle, g->CellErrFrom} : TScrollProp{-1, -1};
}

// ---------------------------------------------------------------------------
// Error markers: kept on whatever graphic the cell has
// ---------------------------------------------------------------------------

void TExStringGrid::AddMarker(int ACol, int ARow, int ErrPos, int ErrLen)
{
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g) {
        g = NewCellGraphic(ACol, ARow);
        g->CellType = ctEmpty;
    }
    g->CellErrFrom = ErrPos;
    g->CellErrLen = ErrLen;
    RepaintRealCell(ACol, ARow);
}

void TExStringGrid::GetMarker(int ACol, int ARow, int& ErrPos, int& ErrLen)
{
    const TCellGraphic* g = GetCellGraphic(ACol, ARow);
    ErrPos = g ? g->CellErrFrom : 0;
    ErrLen = g ? g->CellErrLen : 0;
}

void TExStringGrid::RemoveMarker(int ACol, int ARow)
{
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g)
        return;
    if (g->CellType == ctEmpty) {
        RemoveCellGraphic(ACol, ARow);
        return;
    }
    g->CellErrFrom = 0;
    g->CellErrLen = 0;
}

void TExStringGrid::RemoveAllMarkers()
{
    for (int c = 0; c < ColCount(); ++c)
        for (int r = 0; r < RowCount(); ++r)
            RemoveMarker(c, r);
}

// ---------------------------------------------------------------------------
// Buttons
// ---------------------------------------------------------------------------

void TExStringGrid::AddButton(int ACol, int ARow, int bw, int bh, const QString& Caption, TCellHAlign hal,
                              TCellVAlign val)
{
    NewCellGraphic(ACol, ARow)->SetButton(bw, bh, Caption, hal, val);
}

void TExStringGrid::AddBitButton(int ACol, int ARow, int bw, int bh, const QString& Caption, TBitmap* Glyph,
                                 TCellHAlign hal, TCellVAlign val)
{
    NewCellGraphic(ACol, ARow)->SetBitButton(bw, bh, Caption, Glyph, hal, val);
}

TBitmap* TExStringGrid::CreateBitButton(int ACol, int ARow, int bw, int bh, const QString& Caption,
                                        TCellHAlign hal, TCellVAlign val)
{
    TCellGraphic* g = NewCellGraphic(ACol, ARow);
    auto* glyph = new TBitmap();
    g->SetBitButton(bw, bh, Caption, glyph, hal, val);
    g->CellCreated = true;
    return glyph;
}

void TExStringGrid::SetButtonText(int ACol, int ARow, const QString& Caption)
{
    if (TCellGraphic* g = GetCellGraphic(RemapColToReal(ACol), ARow)) {
        g->CellText = Caption;
        RepaintCell(ACol, ARow);
    }
}

QString TExStringGrid::GetButtonText(int ACol, int ARow)
{
    const TCellGraphic* g = GetCellGraphic(RemapColToReal(ACol), ARow);
    return g ? g->CellText : QString();
}

void TExStringGrid::PushButton(int ACol, int ARow, bool push)
{
    TCellGraphic* g = GetCellGraphic(RemapColToReal(ACol), ARow);
    if (!g || g->CellType == ctNode)
        return;
    g->CellBoolean = push;
    RepaintCell(ACol, ARow);
}

TRect TExStringGrid::GetCellButtonRect(int ACol, int ARow)
{
    const TCellGraphic* g = GetCellGraphic(RemapColToReal(ACol), ARow);
    if (!g)
        return TRect{0, 0, 0, 0};
    const TRect R = CellRect(ACol, ARow);
    // Painting keeps the button's offset in the cell: x low, y high 16 bits.
    const uint32_t v = uint32_t(Round(g->CellValue));
    const uint32_t size = uint32_t(g->CellIndex);
    TRect b;
    b.Left = R.Left + int(v & 0xFFFF);
    b.Top = R.Top + int(v >> 16);
    b.Right = b.Left + int(size & 0xFFFF);
    b.Bottom = b.Top + int(size >> 16);
    if (g->CellVAlign == vaFull) {
        b.Top = R.Top;
        b.Bottom = R.Bottom;
    }
    if (g->CellHAlign == haFull) {
        b.Left = R.Left;
        b.Right = R.Right;
    }
    return b;
}

void TExStringGrid::RemoveButton(int ACol, int ARow)
{
    if (!RemoveCellGraphicOfKind(ACol, ARow, ctButton))
        RemoveCellGraphicOfKind(ACol, ARow, ctBitButton);
}

void TExStringGrid::RemoveAllButtons()
{
    for (int c = 0; c < ColCount(); ++c)
        for (int r = 0; r < RowCount(); ++r)
            if (HasButton(c, r))
                RemoveButton(c, r);
}

// ---------------------------------------------------------------------------
// Balloons: a cell of their own, or hung on a check box or radio button
// ---------------------------------------------------------------------------

namespace {
TStringList* NewBalloonList(const QString& Title, const QString& Text)
{
    auto* sl = NewObject<TStringList>();
    sl->Add(Title);
    sl->Add(Text);
    return sl;
}
} // namespace

void TExStringGrid::AddBalloon(int ACol, int ARow, const QString& Title, const QString& Text, TBalloonIcon Icon)
{
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (g) {
        if (g->CellType != ctCheckBox && g->CellType != ctDataCheckBox && g->CellType != ctRadioButton)
            return;
        // A balloon already hung on the box is replaced, not leaked.
        if (g->CellAngle == 1 && g->HasObject())
            delete g->Strings();
        g->CellAngle = 1;
        g->CellIndex = int(Icon);
        g->SetObject(static_cast<TStrings*>(NewBalloonList(Title, Text)));
        return;
    }
    g = NewCellGraphic(ACol, ARow);
    g->CellType = ctBalloon;
    g->CellAngle = 0;
    g->CellIndex = int(Icon);
    g->SetObject(static_cast<TStrings*>(NewBalloonList(Title, Text)));
}

void TExStringGrid::RemoveBalloon(int ACol, int ARow)
{
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g)
        return;
    const bool box = g->CellType == ctCheckBox || g->CellType == ctDataCheckBox || g->CellType == ctRadioButton;
    if (box) {
        if (g->CellAngle == 1 && g->HasObject()) {
            delete g->Strings();
            g->ClearObject();
            g->CellAngle = 0;
        }
        return;
    }
    RemoveCellGraphicOfKind(ACol, ARow, ctBalloon);
}

bool TExStringGrid::IsBalloon(int ACol, int ARow, QString& Title, QString& Text, TBalloonIcon& Icon)
{
    const TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g)
        return false;
    const bool box = (g->CellType == ctCheckBox || g->CellType == ctDataCheckBox || g->CellType == ctRadioButton) &&
                     g->CellAngle == 1;
    if (g->CellType != ctBalloon && !box)
        return false;
    const TStrings* sl = g->Strings();
    if (!sl || sl->Count() < 2)
        return false;
    Title = sl->Strings(0);
    Text = sl->Strings(1);
    Icon = TBalloonIcon(g->CellIndex);
    return true;
}

// ---------------------------------------------------------------------------
// Rotated text
// ---------------------------------------------------------------------------

void TExStringGrid::AddRotated(int ACol, int ARow, int16_t AAngle, const QString& s)
{
    NewCellGraphic(ACol, ARow)->SetAngle(AAngle);
    SetCellEx(ACol, ARow, s);
}

void TExStringGrid::SetRotated(int ACol, int ARow, int16_t AAngle)
{
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g)
        g = NewCellGraphic(ACol, ARow);
    g->SetAngle(AAngle);
}

bool TExStringGrid::IsRotated(int ACol, int ARow, int& aAngle)
{
    if (GetCellType(ACol, ARow) != ctRotated)
        return false;
    aAngle = GetCellGraphic(ACol, ARow)->CellAngle;
    return true;
}

// ---------------------------------------------------------------------------
// Picker editors' select handlers
// ---------------------------------------------------------------------------

void TExStringGrid::ColorSelect(TColor Color, const QString& Value)
{
    if (OnColorSelect)
        OnColorSelect(this, Col(), Row(), Color, Value);
}

void TExStringGrid::ImageSelect(int Index)
{
    if (OnImageSelect)
        OnImageSelect(this, Col(), Row(), Index);
}
