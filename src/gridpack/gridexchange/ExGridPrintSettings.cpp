// The print settings object, its INI form, the font mapping of printed
// pages and the grid's font scaling on a change of screen scale.
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/core/IniFiles.h"
#include "platform/core/MathUtils.h"

#include <cmath>

TPrintSettings::TPrintSettings() : FTitleLines(std::make_unique<TStringList>()) {}

void TPrintSettings::SetTitleLines(const TStrings* v)
{
    FTitleLines->Clear();
    if (v)
        FTitleLines->AddStrings(v);
}

void TPrintSettings::Assign(const TPersistent* Source)
{
    const auto* s = dynamic_cast<const TPrintSettings*>(Source);
    if (!s || s == this)
        return;
    FooterSize = s->FooterSize;
    HeaderSize = s->HeaderSize;
    Time = s->Time;
    Date = s->Date;
    DateFormat = s->DateFormat;
    PageNr = s->PageNr;
    Title = s->Title;
    TitleText = s->TitleText;
    SetTitleLines(s->TitleLines());
    Font.Assign(s->Font);
    FixedFont.Assign(s->FixedFont);
    HeaderFont.Assign(s->HeaderFont);
    FooterFont.Assign(s->FooterFont);
    Borders = s->Borders;
    BorderStyle = s->BorderStyle;
    BorderColor = s->BorderColor;
    Centered = s->Centered;
    RepeatFixedRows = s->RepeatFixedRows;
    RepeatFixedCols = s->RepeatFixedCols;
    LeftSize = s->LeftSize;
    RightSize = s->RightSize;
    ColumnSpacing = s->ColumnSpacing;
    RowSpacing = s->RowSpacing;
    TitleSpacing = s->TitleSpacing;
    Orientation = s->Orientation;
    PagePrefix = s->PagePrefix;
    PageSuffix = s->PageSuffix;
    PageNumberOffset = s->PageNumberOffset;
    MaxPagesOffset = s->MaxPagesOffset;
    FixedWidth = s->FixedWidth;
    FixedHeight = s->FixedHeight;
    UseFixedHeight = s->UseFixedHeight;
    UseFixedWidth = s->UseFixedWidth;
    FitToPage = s->FitToPage;
    JobName = s->JobName;
    PageNumSep = s->PageNumSep;
    NoAutoSize = s->NoAutoSize;
    NoAutoSizeRow = s->NoAutoSizeRow;
    PrintGraphics = s->PrintGraphics;
    UseDisplayFont = s->UseDisplayFont;
    UseDefaultOrientation = s->UseDefaultOrientation;
}

// ---------------------------------------------------------------------------
// INI form
// ---------------------------------------------------------------------------

namespace {

QString YN(bool v) { return v ? QStringLiteral("Y") : QStringLiteral("N"); }

void WriteFont(TMemIniFile& ini, const QString& sec, const QString& prefix, const TFont& f)
{
    ini.WriteString(sec, prefix + QStringLiteral("FontName"), f.Name());
    ini.WriteInteger(sec, prefix + QStringLiteral("FontSize"), f.Size());
    ini.WriteInteger(sec, prefix + QStringLiteral("FontStyle"), int(f.Style()));
    ini.WriteInteger(sec, prefix + QStringLiteral("FontColor"), int(f.Color()));
}

void ReadFont(TMemIniFile& ini, const QString& sec, const QString& prefix, TFont& f)
{
    f.SetName(ini.ReadString(sec, prefix + QStringLiteral("FontName"), QStringLiteral("Arial")));
    f.SetSize(ini.ReadInteger(sec, prefix + QStringLiteral("FontSize"), 10));
    // The stored style adds to the styles the font already has.
    f.SetStyle(f.Style() | (TFontStyles(ini.ReadInteger(sec, prefix + QStringLiteral("FontStyle"), 0)) & 0xF));
    f.SetColor(TColor(ini.ReadInteger(sec, prefix + QStringLiteral("FontColor"), 0)));
}

bool ReadYN(TMemIniFile& ini, const QString& sec, const QString& key, const QString& def)
{
    return ini.ReadString(sec, key, def) == QLatin1String("Y");
}

TPrintPosition ReadPosition(TMemIniFile& ini, const QString& sec, const QString& key)
{
    const int v = ini.ReadInteger(sec, key, 0);
    return v >= int(ppNone) && v <= int(ppBottomCenter) ? TPrintPosition(v) : ppNone;
}

// An ordinal within 0 .. Last, else the setting as it was.
template <typename E>
E ReadOrdinal(TMemIniFile& ini, const QString& sec, const QString& key, int Last, E Current)
{
    const int v = ini.ReadInteger(sec, key, 0);
    return v >= 0 && v <= Last ? E(v) : Current;
}

} // namespace

void TExStringGrid::SavePrintSettings(const QString& Key, const QString& Section)
{
    TPrintSettings* p = PrintSettings();
    TMemIniFile ini(Key);
    const QString& s = Section;
    ini.WriteInteger(s, QStringLiteral("ColumnSpacing"), p->ColumnSpacing);
    ini.WriteInteger(s, QStringLiteral("RowSpacing"), p->RowSpacing);
    ini.WriteInteger(s, QStringLiteral("TitleSpacing"), p->TitleSpacing);
    ini.WriteInteger(s, QStringLiteral("FixedHeight"), p->FixedHeight);
    ini.WriteInteger(s, QStringLiteral("FixedWidth"), p->FixedWidth);
    ini.WriteString(s, QStringLiteral("Centered"), YN(p->Centered));
    ini.WriteString(s, QStringLiteral("NoAutoSize"), YN(p->NoAutoSize));
    ini.WriteString(s, QStringLiteral("UseFixedHeight"), YN(p->UseFixedHeight));
    ini.WriteString(s, QStringLiteral("UseFixedWidth"), YN(p->UseFixedWidth));
    ini.WriteString(s, QStringLiteral("RepeatFixedRows"), YN(p->RepeatFixedRows));
    ini.WriteString(s, QStringLiteral("RepeatFixedCols"), YN(p->RepeatFixedCols));
    ini.WriteString(s, QStringLiteral("UseDisplFont"), YN(p->UseDisplayFont));
    ini.WriteString(s, QStringLiteral("UseDefOrientation"), YN(p->UseDefaultOrientation));
    ini.WriteInteger(s, QStringLiteral("Borders"), int(p->Borders));
    ini.WriteInteger(s, QStringLiteral("BorderColor"), int(p->BorderColor));
    ini.WriteInteger(s, QStringLiteral("BorderStyle"), int(p->BorderStyle));
    ini.WriteInteger(s, QStringLiteral("Date"), int(p->Date));
    ini.WriteInteger(s, QStringLiteral("PageNr"), int(p->PageNr));
    ini.WriteInteger(s, QStringLiteral("Title"), int(p->Title));
    ini.WriteInteger(s, QStringLiteral("Time"), int(p->Time));
    ini.WriteString(s, QStringLiteral("DateFormat"), p->DateFormat);
    ini.WriteString(s, QStringLiteral("TitleText"), p->TitleText);
    ini.WriteInteger(s, QStringLiteral("FooterSize"), p->FooterSize);
    ini.WriteInteger(s, QStringLiteral("HeaderSize"), p->HeaderSize);
    ini.WriteInteger(s, QStringLiteral("LeftSize"), p->LeftSize);
    ini.WriteInteger(s, QStringLiteral("RightSize"), p->RightSize);
    ini.WriteInteger(s, QStringLiteral("FitToPage"), int(p->FitToPage));
    WriteFont(ini, s, QString(), p->Font);
    WriteFont(ini, s, QStringLiteral("Header"), p->HeaderFont);
    WriteFont(ini, s, QStringLiteral("Footer"), p->FooterFont);
    ini.WriteString(s, QStringLiteral("PageNumSep"), p->PageNumSep);
    ini.WriteString(s, QStringLiteral("PageSuffix"), p->PageSuffix);
    ini.WriteString(s, QStringLiteral("PagePrefix"), p->PagePrefix);
    ini.WriteInteger(s, QStringLiteral("Orientation"), int(p->Orientation));
    QStringList lines;
    for (int i = 0; i < p->TitleLines()->Count(); ++i)
        lines << p->TitleLines()->Strings(i);
    ini.WriteString(s, QStringLiteral("TitleLines"), lines.join(QStringLiteral("\\n")));
    ini.WriteString(s, QStringLiteral("PrintGraphics"), YN(p->PrintGraphics));
    ini.UpdateFile();
}

void TExStringGrid::LoadPrintSettings(const QString& Key, const QString& Section)
{
    TPrintSettings* p = PrintSettings();
    TMemIniFile ini(Key);
    const QString& s = Section;
    p->ColumnSpacing = ini.ReadInteger(s, QStringLiteral("ColumnSpacing"), 20);
    p->RowSpacing = ini.ReadInteger(s, QStringLiteral("RowSpacing"), 20);
    p->TitleSpacing = ini.ReadInteger(s, QStringLiteral("TitleSpacing"), 20);
    p->FixedHeight = ini.ReadInteger(s, QStringLiteral("FixedHeight"), 0);
    p->FixedWidth = ini.ReadInteger(s, QStringLiteral("FixedWidth"), 0);
    p->Centered = ReadYN(ini, s, QStringLiteral("Centered"), QStringLiteral("Y"));
    p->NoAutoSize = ReadYN(ini, s, QStringLiteral("NoAutoSize"), QStringLiteral("N"));
    p->UseFixedHeight = ReadYN(ini, s, QStringLiteral("UseFixedHeight"), QStringLiteral("N"));
    p->UseFixedWidth = ReadYN(ini, s, QStringLiteral("UseFixedWidth"), QStringLiteral("N"));
    p->RepeatFixedRows = ReadYN(ini, s, QStringLiteral("RepeatFixedRows"), QStringLiteral("N"));
    p->RepeatFixedCols = ReadYN(ini, s, QStringLiteral("RepeatFixedCols"), QStringLiteral("N"));
    p->UseDisplayFont = ReadYN(ini, s, QStringLiteral("UseDisplFont"), QStringLiteral("N"));
    p->UseDefaultOrientation = ReadYN(ini, s, QStringLiteral("UseDefOrientation"), QStringLiteral("N"));
    p->Borders = ReadOrdinal(ini, s, QStringLiteral("Borders"), int(pbCustom), p->Borders);
    p->BorderColor = TColor(ini.ReadInteger(s, QStringLiteral("BorderColor"), 0));
    p->BorderStyle = ReadOrdinal(ini, s, QStringLiteral("BorderStyle"), int(psInsideFrame), p->BorderStyle);
    p->Date = ReadPosition(ini, s, QStringLiteral("Date"));
    p->PageNr = ReadPosition(ini, s, QStringLiteral("PageNr"));
    p->Title = ReadPosition(ini, s, QStringLiteral("Title"));
    p->Time = ReadPosition(ini, s, QStringLiteral("Time"));
    p->DateFormat = ini.ReadString(s, QStringLiteral("DateFormat"), QString());
    p->TitleText = ini.ReadString(s, QStringLiteral("TitleText"), QString());
    p->FooterSize = ini.ReadInteger(s, QStringLiteral("FooterSize"), 100);
    p->HeaderSize = ini.ReadInteger(s, QStringLiteral("HeaderSize"), 100);
    p->LeftSize = ini.ReadInteger(s, QStringLiteral("LeftSize"), 100);
    p->RightSize = ini.ReadInteger(s, QStringLiteral("RightSize"), 100);
    p->FitToPage = ReadOrdinal(ini, s, QStringLiteral("FitToPage"), int(fpCustom), p->FitToPage);
    ReadFont(ini, s, QString(), p->Font);
    ReadFont(ini, s, QStringLiteral("Header"), p->HeaderFont);
    ReadFont(ini, s, QStringLiteral("Footer"), p->FooterFont);
    p->PageNumSep = ini.ReadString(s, QStringLiteral("PageNumSep"), QString());
    p->PageSuffix = ini.ReadString(s, QStringLiteral("PageSuffix"), QString());
    p->PagePrefix = ini.ReadString(s, QStringLiteral("PagePrefix"), QString());
    p->Orientation = ReadOrdinal(ini, s, QStringLiteral("Orientation"), int(poLandscape), p->Orientation);
    const QString lines = ini.ReadString(s, QStringLiteral("TitleLines"), QString());
    p->TitleLines()->Clear();
    if (!lines.isEmpty())
        for (const QString& l : lines.split(QStringLiteral("\\n")))
            p->TitleLines()->Add(l);
    p->PrintGraphics = ReadYN(ini, s, QStringLiteral("PrintGraphics"), QStringLiteral("N"));
    // The settings read are written back; a file that cannot be written does
    // not undo the settings already taken.
    try {
        SavePrintSettings(Key, Section);
    } catch (const Exception&) {
    }
}

int TExStringGrid::MapFontHeight(int pointsize) const
{
    return -int(std::lround(pointsize * 254.0 / 72.0 * Fontscalefactor));
}

int TExStringGrid::MapFontSize(int Height) const { return int(std::lround(Height * 72.0 / 254.0)); }

void TExStringGrid::ChangeScale(int M, int D)
{
    TBaseGrid::ChangeScale(M, D);
    if ((ComponentState() & csDesigning) || M == D || D == 0)
        return;
    FixedFont()->SetSize(MulDiv(FixedFont()->Size(), M, D));
    ActiveCellFont()->SetSize(MulDiv(ActiveCellFont()->Size(), M, D));
}
