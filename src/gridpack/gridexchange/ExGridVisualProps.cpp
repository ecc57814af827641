// The visual-properties file: one "key=value" line per setting of the grid's
// looks, in a fixed order. Colours are the platform's colour text, Booleans
// "true"/"false", fonts four keys (.Color, .Style, .Size, .Name).
#include "gridpack/gridexchange/ExchangeText.h"
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/core/CodePages.h"
#include "platform/core/Files.h"
#include "platform/core/IntConv.h"

#include <QHash>

#include <functional>
#include <vector>

using namespace GridExchange;

namespace {

enum class TKind { Colour, Bool, Int, Font, ControlStyle, Look, BackDisplay, BackCells };

// One line of the file: its key, the form of its value and how the grid's
// setting is read and written (a font entry carries the font instead).
struct TVisualProp {
    const char* Key;
    TKind Kind;
    std::function<int(TExStringGrid*)> Get;
    std::function<void(TExStringGrid*, int)> Set;
    std::function<TFont*(TExStringGrid*)> FontOf;
};

#define KAL_PROP(key, kind, getter, setter) \
    TVisualProp{key, kind, [](TExStringGrid* g) { return int(getter); }, [](TExStringGrid* g, int v) { setter; }, nullptr}
#define KAL_FONT(key, font) TVisualProp{key, TKind::Font, nullptr, nullptr, [](TExStringGrid* g) { return font; }}

const std::vector<TVisualProp>& Props()
{
    static const std::vector<TVisualProp> props = [] {
        std::vector<TVisualProp> p = {
            KAL_PROP("Color", TKind::Colour, g->Color(), g->SetColor(TColor(v))),
            KAL_PROP("HintColor", TKind::Colour, g->HintColor, g->HintColor = TColor(v)),
            KAL_PROP("SelectionColor", TKind::Colour, g->SelectionColor(), g->SetSelectionColor(TColor(v))),
            KAL_PROP("SelectionColorTo", TKind::Colour, g->SelectionColorTo(), g->SetSelectionColorTo(TColor(v))),
            KAL_PROP("SelectionMirrorColor", TKind::Colour, g->SelectionMirrorColor(),
                     g->SetSelectionMirrorColor(TColor(v))),
            KAL_PROP("SelectionMirrorColorTo", TKind::Colour, g->SelectionMirrorColorTo(),
                     g->SetSelectionMirrorColorTo(TColor(v))),
            KAL_PROP("SelectionTextColor", TKind::Colour, g->SelectionTextColor(),
                     g->SetSelectionTextColor(TColor(v))),
            KAL_PROP("URLColor", TKind::Colour, g->URLColor, (g->URLColor = TColor(v), g->Invalidate())),
            KAL_PROP("URLShow", TKind::Bool, g->URLShow, (g->URLShow = v != 0, g->Invalidate())),
            KAL_PROP("URLShowInText", TKind::Bool, g->URLShowInText, (g->URLShowInText = v != 0, g->Invalidate())),
            KAL_PROP("ScrollColor", TKind::Colour, g->ScrollColor(), g->SetScrollColor(TColor(v))),
            KAL_PROP("ActiveRowColor", TKind::Colour, g->ActiveRowColor(), g->SetActiveRowColor(TColor(v))),
            KAL_PROP("ActiveRowShow", TKind::Bool, g->ActiveRowShow(), g->SetActiveRowShow(v != 0)),
            KAL_PROP("ActiveCellShow", TKind::Bool, g->ActiveCellShow(), g->SetActiveCellShow(v != 0)),
            KAL_FONT("Font", g->Font()),
            KAL_PROP("ActiveCellColor", TKind::Colour, g->ActiveCellColor(), g->SetActiveCellColor(TColor(v))),
            KAL_PROP("ActiveCellColorTo", TKind::Colour, g->ActiveCellColorTo(), g->SetActiveCellColorTo(TColor(v))),
            KAL_FONT("ActiveCellFont", g->ActiveCellFont()),
            KAL_FONT("FixedFont", g->FixedFont()),
            KAL_PROP("Balloon.BackgroundColor", TKind::Colour, g->Balloon()->BackgroundColor,
                     g->Balloon()->BackgroundColor = TColor(v)),
            KAL_PROP("Balloon.TextColor", TKind::Colour, g->Balloon()->TextColor, g->Balloon()->TextColor = TColor(v)),
            KAL_PROP("Balloon.Transparency", TKind::Int, g->Balloon()->Transparency,
                     g->Balloon()->Transparency = uint8_t(v)),
            KAL_PROP("Bands.PrimaryColor", TKind::Colour, g->Bands()->PrimaryColor(),
                     g->Bands()->SetPrimaryColor(TColor(v))),
            KAL_PROP("Bands.SecondaryColor", TKind::Colour, g->Bands()->SecondaryColor(),
                     g->Bands()->SetSecondaryColor(TColor(v))),
            KAL_PROP("Bands.Active", TKind::Bool, g->Bands()->Active(), g->Bands()->SetActive(v != 0)),
            KAL_PROP("SortSettings.IndexColor", TKind::Colour, g->SortSettings()->IndexColor,
                     g->SortSettings()->IndexColor = TColor(v)),
            KAL_PROP("FloatingFooter.Color", TKind::Colour, g->FloatingFooter()->Color,
                     (g->FloatingFooter()->Color = TColor(v), g->Invalidate())),
            KAL_PROP("ControlLook.CheckSize", TKind::Int, g->ControlLook()->CheckSize(),
                     g->ControlLook()->SetCheckSize(v)),
            KAL_PROP("ControlLook.Color", TKind::Colour, g->ControlLook()->Color(),
                     g->ControlLook()->SetColor(TColor(v))),
            KAL_PROP("ControlLook.CommentColor", TKind::Colour, g->ControlLook()->CommentColor(),
                     g->ControlLook()->SetCommentColor(TColor(v))),
            KAL_PROP("ControlLook.ControlStyle", TKind::ControlStyle, g->ControlLook()->ControlStyle(),
                     g->ControlLook()->SetControlStyle(TControlStyle(v))),
            KAL_PROP("ControlLook.FixedGradientFrom", TKind::Colour, g->ControlLook()->FixedGradientFrom(),
                     g->ControlLook()->SetFixedGradientFrom(TColor(v))),
            KAL_PROP("ControlLook.FixedGradientTo", TKind::Colour, g->ControlLook()->FixedGradientTo(),
                     g->ControlLook()->SetFixedGradientTo(TColor(v))),
            KAL_PROP("ControlLook.RadioSize", TKind::Int, g->ControlLook()->RadioSize(),
                     g->ControlLook()->SetRadioSize(v)),
            KAL_PROP("ControlLook.FlatButton", TKind::Bool, g->ControlLook()->FlatButton(),
                     g->ControlLook()->SetFlatButton(v != 0)),
            KAL_PROP("ControlLook.ProgressBorderColor", TKind::Colour, g->ControlLook()->ProgressBorderColor,
                     g->ControlLook()->ProgressBorderColor = TColor(v)),
            KAL_PROP("ControlLook.ProgressXP", TKind::Bool, g->ControlLook()->ProgressXP(),
                     g->ControlLook()->SetProgressXP(v != 0)),
            KAL_PROP("Look", TKind::Look, g->Look, (g->Look = TGridLook(v), g->Invalidate())),
            KAL_PROP("SearchFooter.Color", TKind::Colour, g->SearchFooter()->Color(),
                     g->SearchFooter()->SetColor(TColor(v))),
            KAL_PROP("SearchFooter.ColorTo", TKind::Colour, g->SearchFooter()->ColorTo(),
                     g->SearchFooter()->SetColorTo(TColor(v))),
            KAL_PROP("Grouping.HeaderColor", TKind::Colour, g->Grouping()->HeaderColor,
                     g->Grouping()->HeaderColor = TColor(v)),
            KAL_PROP("Grouping.HeaderColorTo", TKind::Colour, g->Grouping()->HeaderColorTo,
                     g->Grouping()->HeaderColorTo = TColor(v)),
            KAL_PROP("Grouping.HeaderTextColor", TKind::Colour, g->Grouping()->HeaderTextColor,
                     g->Grouping()->HeaderTextColor = TColor(v)),
            KAL_PROP("Grouping.HeaderUnderline", TKind::Bool, g->Grouping()->HeaderUnderline,
                     g->Grouping()->HeaderUnderline = v != 0),
            KAL_PROP("Grouping.HeaderLineColor", TKind::Colour, g->Grouping()->HeaderLineColor,
                     g->Grouping()->HeaderLineColor = TColor(v)),
            KAL_PROP("Grouping.HeaderLineWidth", TKind::Int, g->Grouping()->HeaderLineWidth,
                     g->Grouping()->HeaderLineWidth = v),
            KAL_PROP("Grouping.SummaryColor", TKind::Colour, g->Grouping()->SummaryColor,
                     g->Grouping()->SummaryColor = TColor(v)),
            KAL_PROP("Grouping.SummaryColorTo", TKind::Colour, g->Grouping()->SummaryColorTo,
                     g->Grouping()->SummaryColorTo = TColor(v)),
            KAL_PROP("Grouping.SummaryTextColor", TKind::Colour, g->Grouping()->SummaryTextColor,
                     g->Grouping()->SummaryTextColor = TColor(v)),
            KAL_PROP("Grouping.SummaryLine", TKind::Bool, g->Grouping()->SummaryLine,
                     g->Grouping()->SummaryLine = v != 0),
            KAL_PROP("Grouping.SummaryLineColor", TKind::Colour, g->Grouping()->SummaryLineColor,
                     g->Grouping()->SummaryLineColor = TColor(v)),
            KAL_PROP("Grouping.SummaryLineWidth", TKind::Int, g->Grouping()->SummaryLineWidth,
                     g->Grouping()->SummaryLineWidth = v),
            KAL_PROP("GridLineColor", TKind::Colour, g->GridLineColor(), g->SetGridLineColor(TColor(v))),
            KAL_PROP("GridFixedLineColor", TKind::Colour, g->GridFixedLineColor(),
                     g->SetGridFixedLineColor(TColor(v))),
            KAL_PROP("BackGround.Top", TKind::Int, g->BackGround()->Top, (g->BackGround()->Top = v, g->Invalidate())),
            KAL_PROP("BackGround.Left", TKind::Int, g->BackGround()->Left,
                     (g->BackGround()->Left = v, g->Invalidate())),
            KAL_PROP("BackGround.Display", TKind::BackDisplay, g->BackGround()->Display,
                     (g->BackGround()->Display = TBackGroundDisplay(v), g->Invalidate())),
            KAL_PROP("BackGround.Cells", TKind::BackCells, g->BackGround()->Cells,
                     (g->BackGround()->Cells = TBackGroundCells(v), g->Invalidate())),
            KAL_PROP("BackGround.Color", TKind::Colour, g->BackGround()->Color,
                     (g->BackGround()->Color = TColor(v), g->Invalidate())),
            KAL_PROP("BackGround.ColorTo", TKind::Colour, g->BackGround()->ColorTo,
                     (g->BackGround()->ColorTo = TColor(v), g->Invalidate())),
        };
        return p;
    }();
    return props;
}
#undef KAL_PROP
#undef KAL_FONT

// The names of enumerations as the file spells them; an empty name has no
// text (the look glCustom).
QStringList NamesOf(TKind k)
{
    switch (k) {
    case TKind::ControlStyle:
        return {"csClassic", "csFlat", "csWinXP", "csBorland", "csQOR", "csGlyph", "csTheme"};
    case TKind::Look:
        return {"glStandard", "glSoft", "glClassic", "glQOR", "glXP", "glListView", "glVista", "glWin7",
                "glOffice2007", ""};
    case TKind::BackDisplay:
        return {"bdTile", "bdFixed", "bdGradientHorz", "bdGradientVert"};
    case TKind::BackCells:
        return {"bcNormal", "bcFixed", "bcAll"};
    default:
        return {};
    }
}

const char* const kFontStyles[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};

QString BoolText(bool b) { return b ? QStringLiteral("true") : QStringLiteral("false"); }

// The lines of the file by key (the first line of each name, any case).
class TPropLines {
public:
    explicit TPropLines(const QStringList& lines)
    {
        for (const QString& l : lines) {
            const qsizetype eq = l.indexOf(QLatin1Char('='));
            if (eq < 0)
                continue;
            const QString key = l.left(eq).toUpper();
            if (!FValues.contains(key))
                FValues.insert(key, l.mid(eq + 1));
        }
    }
    // Null when the key is missing.
    QString Value(const QString& key) const { return FValues.value(key.toUpper()); }
    bool Has(const QString& key) const { return FValues.contains(key.toUpper()); }

private:
    QHash<QString, QString> FValues;
};

TColor ReadColour(const TPropLines& f, const QString& key)
{
    const QString v = f.Value(key).trimmed();
    return v.isEmpty() ? clNone : StringToColor(v);
}

bool ReadBool(const TPropLines& f, const QString& key) { return f.Value(key).trimmed().toUpper() == "TRUE"; }

// A missing or malformed number raises the conversion error.
int ReadInt(const TPropLines& f, const QString& key) { return StrToInt(f.Value(key).trimmed()); }

void ApplyProp(TExStringGrid* g, const TVisualProp& p, const TPropLines& f)
{
    // Keys are found without regard to case ("Balloon.BackGroundColor").
    const QString key = QLatin1String(p.Key);
    switch (p.Kind) {
    case TKind::Colour:
        p.Set(g, int(ReadColour(f, key)));
        break;
    case TKind::Bool:
        p.Set(g, ReadBool(f, key) ? 1 : 0);
        break;
    case TKind::Int:
        p.Set(g, ReadInt(f, key));
        break;
    case TKind::Font: {
        TFont* font = p.FontOf(g);
        TFont copy;
        copy.Assign(*font);
        copy.SetColor(ReadColour(f, key + ".Color"));
        const QString style = f.Value(key + ".Style");
        TFontStyles st = 0;
        for (int i = 0; i < 4; ++i)
            if (style.contains(QLatin1String(kFontStyles[i])))
                st |= 1u << i;
        copy.SetStyle(st);
        copy.SetSize(ReadInt(f, key + ".Size"));
        copy.SetName(f.Value(key + ".Name"));
        font->Assign(copy);
        g->Invalidate();
        break;
    }
    default: {
        const QString v = f.Value(key).trimmed();
        const QStringList names = NamesOf(p.Kind);
        for (int i = 0; i < names.size(); ++i)
            if (!names[i].isEmpty() && names[i].compare(v, Qt::CaseInsensitive) == 0) {
                p.Set(g, i);
                break;
            }
        break;
    }
    }
}

} // namespace

void TExStringGrid::SaveVisualProps(const QString& FileName)
{
    QStringList lines;
    for (const TVisualProp& p : Props()) {
        const QString key = QLatin1String(p.Key);
        switch (p.Kind) {
        case TKind::Colour:
            lines.append(key + QLatin1Char('=') + ColorToString(TColor(p.Get(this))));
            break;
        case TKind::Bool:
            lines.append(key + QLatin1Char('=') + BoolText(p.Get(this) != 0));
            break;
        case TKind::Int:
            lines.append(key + QLatin1Char('=') + QString::number(p.Get(this)));
            break;
        case TKind::Font: {
            const TFont* font = p.FontOf(this);
            QStringList styles;
            for (int i = 0; i < 4; ++i)
                if (font->Style() & (1u << i))
                    styles.append(QLatin1String(kFontStyles[i]));
            lines.append(key + QStringLiteral(".Color=") + ColorToString(font->Color()));
            lines.append(key + QStringLiteral(".Style=") + styles.join(QLatin1Char(',')));
            lines.append(key + QStringLiteral(".Size=") + QString::number(font->Size()));
            lines.append(key + QStringLiteral(".Name=") + font->Name());
            break;
        }
        default:
            lines.append(key + QLatin1Char('=') + NamesOf(p.Kind).value(p.Get(this)));
            break;
        }
    }
    try {
        WriteTextWhole(FileName, JoinLines(lines), teAnsi);
    } catch (const EFileStreamError&) {
        throw Exception(QStringLiteral("Cannot Create ") + FileName);
    } catch (const EWriteError&) {
        throw Exception(QStringLiteral("Cannot Create ") + FileName);
    }
}

void TExStringGrid::LoadVisualProps(const QString& FileName)
{
    QByteArray bytes;
    try {
        bytes = ReadFileWhole(FileName);
    } catch (const EFileStreamError&) {
        throw Exception(QStringLiteral("Cannot open file ") + FileName);
    }
    const TPropLines file(SplitLines(DecodeText(bytes)));
    // The grid line colours go before the grouping settings.
    std::vector<const TVisualProp*> order;
    std::vector<const TVisualProp*> lineColours;
    for (const TVisualProp& p : Props())
        if (QLatin1String(p.Key) == QLatin1String("GridLineColor") ||
            QLatin1String(p.Key) == QLatin1String("GridFixedLineColor"))
            lineColours.push_back(&p);
    for (const TVisualProp& p : Props()) {
        if (QLatin1String(p.Key).startsWith(QLatin1String("Grouping.")) && !lineColours.empty()) {
            order.insert(order.end(), lineColours.begin(), lineColours.end());
            lineColours.clear();
        }
        if (QLatin1String(p.Key) != QLatin1String("GridLineColor") &&
            QLatin1String(p.Key) != QLatin1String("GridFixedLineColor"))
            order.push_back(&p);
    }
    for (const TVisualProp* p : order)
        ApplyProp(this, *p, file);
}
