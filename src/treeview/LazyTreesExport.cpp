// The string tree's exports (HTML, RTF, separated text, CSV, clipboard
// blocks, custom) and the export filter.
#include "treeview/LazyTreesExport.h"

#include "platform/core/FormatSettings.h"
#include "platform/core/StringList.h"
#include "treeview/LazyTrees.Classes.h"
#include "treeview/LazyTreesClipboard.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
bool gRTFMetric = true;

QString HTMLColor(TColor c) {
    TColor rgb = ColorToRGB(c);
    return QStringLiteral("#%1%2%3")
        .arg(GetRValue(rgb), 2, 16, QLatin1Char('0'))
        .arg(GetGValue(rgb), 2, 16, QLatin1Char('0'))
        .arg(GetBValue(rgb), 2, 16, QLatin1Char('0'))
        .toUpper();
}

TAlignment Mirrored(TAlignment a) {
    if (a == taLeftJustify) return taRightJustify;
    if (a == taRightJustify) return taLeftJustify;
    return a;
}
}  // namespace

bool RTFPaperMetric() { return gRTFMetric; }
void SetRTFPaperMetric(bool Metric) { gRTFMetric = Metric; }

int PixelsToTwips(int Pixels) {
    return int(std::nearbyint(double(Pixels) * 1440.0 / double(ScreenPixelsPerInch)));
}

bool TBaseLazyTree::PassesExportMode(PLazyNode Node) {
    switch (FOptions->ExportMode) {
    case emChecked: return Node->CheckState == csCheckedNormal;
    case emUnchecked: return Node->CheckState == csUncheckedNormal;
    case emVisibleDueToExpansion:
        return Node->Parent == FRoot || GetExpanded(Node->Parent);
    case emSelected: return GetSelected(Node);
    case emAll:
    default: return true;
    }
}

// ---------------------------------------------------------------------------
// The frame every export shares: the long operation, the text source and
// the font-change hook on the tree's canvas.

class TLTExporter {
public:
    TLTExporter(TCustomLazyStringTree* Tree, TVSTTextSourceType Source, TLTExportType Type, bool HookFont)
        : T(Tree), FSource(Source), FType(Type) {
        T->OpenOperation(okExport);
        if (HookFont) {
            FCanvas = T->Canvas();
            FHookMine = FCanvas && !T->FFontHooked;
            T->HookFontChange(FCanvas);
        }
    }
    ~TLTExporter() {
        if (FHookMine) {
            FCanvas->Font().OnChange = T->FOldFontChange;
            T->FFontHooked = false;
        }
        T->CloseOperation(okExport);
    }
    TLTExporter(const TLTExporter&) = delete;
    TLTExporter& operator=(const TLTExporter&) = delete;

    PLazyNode First() {
        switch (FSource) {
        case tstInitialized: return T->GetFirstInitialized();
        case tstSelected: return T->GetFirstSelected();
        case tstCutCopySet: return T->GetFirstCutCopy();
        case tstVisible: return T->GetFirstVisible(nullptr, true);
        case tstChecked: return T->GetFirstChecked(csCheckedNormal);
        case tstAll:
        default: return T->GetFirst();
        }
    }
    PLazyNode Next(PLazyNode N) {
        switch (FSource) {
        case tstInitialized: return T->GetNextInitialized(N);
        case tstSelected: return T->GetNextSelected(N);
        case tstCutCopySet: return T->GetNextCutCopy(N);
        case tstVisible: return T->GetNextVisible(N, true);
        case tstChecked: return T->GetNextChecked(N, csCheckedNormal);
        case tstAll:
        default: return T->GetNext(N);
        }
    }
    bool Canceled() const { return T->OperationCanceled(); }
    TVSTGetCellTextEventArgs CellText(PLazyNode N, TColumnIndex Column) {
        TVSTGetCellTextEventArgs E(N, Column, FType);
        T->FireGetCellText(E);
        return E;
    }
    bool UseColumns() const { return T->Header()->UseColumns(); }
    TColumnsArray VisibleColumns() const { return T->Header()->Columns()->GetVisibleColumns(); }
    bool ShowStatic() const { return T->StringOptions().Contains(toShowStaticText); }
    // Sets the canvas font to the tree's and lets the paint-text handler
    // change it; true when it did.
    bool PaintTextFont(PLazyNode N, TColumnIndex Column, TVSTTextType TextType, bool Reset = true) {
        if (!FCanvas) return false;
        if (Reset) {
            FCanvas->Font().Assign(*T->Font());
            T->FFontChanged = false;
        }
        T->FirePaintText(N, FCanvas, Column, TextType);
        return T->FFontChanged;
    }
    TFont* CanvasFont() { return FCanvas ? &FCanvas->Font() : T->Font(); }
    void Fire(const TLTTreeExportEvent& E) {
        if (E) E(T, FType);
    }
    void Fire(const TLTColumnExportEvent& E, TLazyTreeColumn* C) {
        if (E) E(T, FType, C);
    }
    bool Fire(const TLTNodeExportEvent& E, PLazyNode N) {
        return E ? E(T, FType, N) : true;
    }

    TCustomLazyStringTree* T;
    TVSTTextSourceType FSource;
    TLTExportType FType;
    TCanvas* FCanvas = nullptr;
    bool FHookMine = false;
};

// ---------------------------------------------------------------------------
// HTML

namespace {
void AppendCSSStyle(TBufferedString& B, const QString& Name, const TFont& Font) {
    if (!Name.isEmpty())
        B.Add(QStringLiteral(".") + Name + QStringLiteral("{"));
    else
        B.Add(QStringLiteral(" style=\"{"));
    B.Add(QStringLiteral("font-family: '%1'; ").arg(Font.Name()));
    if (Font.Size() < 0)
        B.Add(QStringLiteral("font-size: %1px; ").arg(Font.Height()));
    else
        B.Add(QStringLiteral("font-size: %1pt; ").arg(Font.Size()));
    const TFontStyles st = Font.Style();
    B.Add(QStringLiteral("font-style: %1; ").arg((st & fsItalic) ? QStringLiteral("italic") : QStringLiteral("normal")));
    B.Add(QStringLiteral("font-weight: %1; ").arg((st & fsBold) ? QStringLiteral("bold") : QStringLiteral("normal")));
    B.Add(QStringLiteral("text-decoration: %1; ")
              .arg((st & fsUnderline) ? QStringLiteral("underline") : QStringLiteral("none")));
    B.Add(QStringLiteral("color: ") + HTMLColor(Font.Color()) + QStringLiteral(";}"));
    if (Name.isEmpty()) B.Add(QStringLiteral("\""));
}

void AppendAlign(TBufferedString& B, TAlignment A) {
    if (A == taRightJustify)
        B.Add(QStringLiteral(" align=right"));
    else if (A == taCenter)
        B.Add(QStringLiteral(" align=center"));
    else
        B.Add(QStringLiteral(" align=left"));
}
}  // namespace

QString TCustomLazyStringTree::ContentToHTML(TVSTTextSourceType Source, const QString& Caption) {
    TLTExporter X(this, Source, etHTML, true);
    TBufferedString B;
    const QString padding = QStringLiteral("padding-left: %1px; padding-right: %1px;").arg(Margin());
    const QString indentWidth = QString::number(Indent());
    QString tableAttributes = QStringLiteral(" ");
    if (!Caption.isEmpty()) tableAttributes += QStringLiteral("caption=\"") + Caption + QStringLiteral("\"");
    if (BorderStyle() != bsNone)
        tableAttributes += QStringLiteral(" border=\"%1\" frame=box").arg(BorderWidth() + 1);
    const QString borderStyle = LineStyle() == lsSolid ? QStringLiteral("solid;") : QStringLiteral("dotted;");
    const TLTPaintOptions paint = FOptions->PaintOptions();

    // The style sheet.
    B.Add(QStringLiteral("<META http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"));
    B.Add(QStringLiteral("<style type=\"text/css\">"));
    B.AddNewLine();
    AppendCSSStyle(B, QStringLiteral("default"), *Font());
    B.AddNewLine();
    AppendCSSStyle(B, QStringLiteral("header"), *Header()->Font());
    B.AddNewLine();
    if (paint.Contains(toShowHorzGridLines)) {
        B.Add(QStringLiteral(".noborder{"));
        B.Add(QStringLiteral(" border-bottom:1px; border-left: 0px; border-right: 0px; border-top: 1px;"));
        B.Add(QStringLiteral("border-style:"));
        B.Add(borderStyle);
    } else {
        B.Add(QStringLiteral(".noborder{border-style: none;"));
    }
    B.Add(padding);
    B.Add(QStringLiteral("}"));
    B.AddNewLine();
    B.Add(QStringLiteral(".normalborder {vertical-align: top; "));
    B.Add(paint.Contains(toShowVertGridLines) ? QStringLiteral("border-right: 1px; border-left: 1px; ")
                                              : QStringLiteral("border-right: none; border-left:none; "));
    B.Add(paint.Contains(toShowHorzGridLines) ? QStringLiteral("border-top: 1px; border-bottom: 1px; ")
                                              : QStringLiteral("border-top:none; border-bottom: none;"));
    B.Add(QStringLiteral("border-width: thin; border-style: "));
    B.Add(borderStyle);
    B.Add(padding);
    B.Add(QStringLiteral("}"));
    B.Add(QStringLiteral("</style>"));
    B.AddNewLine();

    B.Add(QStringLiteral("<table class=\"default\" style=\"border-collapse: collapse;\" bgcolor="));
    B.Add(HTMLColor(Color()));
    B.Add(tableAttributes);
    B.Add(QStringLiteral(" cellspacing=\"0\">"));
    B.AddNewLine();

    const bool useColumns = X.UseColumns();
    const TColumnsArray columns = useColumns ? X.VisibleColumns() : TColumnsArray();
    const TColumnIndex mainColumn = Header()->MainColumn();

    int maxLevel = 0;
    for (PLazyNode n = X.First(); n && !X.Canceled(); n = X.Next(n))
        if (PassesExportMode(n)) maxLevel = std::max<int>(maxLevel, int(GetNodeLevel(n)));

    if (useColumns) {
        X.Fire(OnBeforeHeaderExport);
        B.Add(QStringLiteral("<tr class=\"header\" style=\"") + padding + QStringLiteral("\">"));
        B.AddNewLine();
        for (TLazyTreeColumn* c : columns) {
            X.Fire(OnBeforeColumnExport, c);
            B.Add(QStringLiteral("<th height=\"%1px\"").arg(Header()->Height()));
            TAlignment a = c->CaptionAlignment();
            if (c->BiDiMode() != bdLeftToRight) {
                a = Mirrored(a);
                B.Add(QStringLiteral(" dir=\"rtl\""));
            }
            AppendAlign(B, a);
            if (maxLevel > 0 && c->Index() == mainColumn)
                B.Add(QStringLiteral(" colspan=\"%1\"").arg(maxLevel + 1));
            B.Add(QStringLiteral(" bgcolor=") + HTMLColor(clBtnFace));
            B.Add(QStringLiteral(" width=\"%1px\">").arg(c->Width()));
            if (!c->Text().isEmpty()) B.Add(c->Text());
            B.Add(QStringLiteral("</th>"));
            X.Fire(OnAfterColumnExport, c);
        }
        B.Add(QStringLiteral("</tr>"));
        B.AddNewLine();
        X.Fire(OnAfterHeaderExport);
    }

    for (PLazyNode n = X.First(); n && !X.Canceled(); n = X.Next(n)) {
        if (!PassesExportMode(n) || !X.Fire(OnBeforeNodeExport, n)) continue;
        const int level = int(GetNodeLevel(n));
        B.Add(QStringLiteral(" <tr class=\"default\">"));
        B.AddNewLine();
        const int passes = useColumns ? int(columns.size()) : 1;
        for (int i = 0; i < passes; ++i) {
            TLazyTreeColumn* c = useColumns ? columns[i] : nullptr;
            if (c && !c->Options().Contains(coVisible)) continue;
            const TColumnIndex index = c ? c->Index() : NoColumn;
            const bool changed = X.PaintTextFont(n, index, ttNormal);
            const bool isMain = !c || index == mainColumn;
            const QString height = QString::number(n->NodeHeight);
            if (isMain) {
                for (int l = 0; l < level; ++l) {
                    if (!c || c->Options().Contains(coParentColor)) {
                        if (l == 0)
                            B.Add(QStringLiteral(" <td height=\"") + height +
                                  QStringLiteral("px\" class=\"normalborder\">&nbsp;</td>"));
                        else
                            B.Add(QStringLiteral(" <td>&nbsp;</td>"));
                    } else {
                        B.Add(QStringLiteral("<td class=\"noborder\" width=\"") + indentWidth +
                              QStringLiteral("\" height=\"") + height + QStringLiteral("px\"") +
                              QStringLiteral(" bgcolor=") + HTMLColor(c->Color()) + QStringLiteral(">&nbsp;</td>"));
                    }
                }
            }
            if (changed) {
                B.Add(QStringLiteral(" <td class=\"normalborder\" "));
                AppendCSSStyle(B, QString(), *X.CanvasFont());
                B.Add(QStringLiteral(" height=\""));
            } else {
                B.Add(QStringLiteral(" <td class=\"normalborder\"  height=\""));
            }
            B.Add(height + QStringLiteral("px\""));
            TAlignment a = c ? c->Alignment() : Alignment();
            const TBiDiMode bidi = c ? c->BiDiMode() : BiDiMode();
            if (bidi != bdLeftToRight) {
                a = Mirrored(a);
                B.Add(QStringLiteral(" dir=\"rtl\""));
            }
            AppendAlign(B, a);
            if (maxLevel > 0 && isMain && level < maxLevel)
                B.Add(QStringLiteral(" colspan=\"%1\"").arg(maxLevel - level + 1));
            if (c && !c->Options().Contains(coParentColor)) B.Add(QStringLiteral(" bgcolor=") + HTMLColor(c->Color()));
            B.Add(QStringLiteral(">"));
            const TVSTGetCellTextEventArgs E = X.CellText(n, index);
            B.Add(E.CellText);
            if (!E.StaticText.isEmpty() && X.ShowStatic()) B.Add(QStringLiteral(" ") + E.StaticText);
            B.Add(QStringLiteral("</td>"));
        }
        X.Fire(OnAfterNodeExport, n);
        B.Add(QStringLiteral(" </tr>"));
        B.AddNewLine();
    }
    B.Add(QStringLiteral("</table>"));
    return B.Take();
}

// ---------------------------------------------------------------------------
// RTF

namespace {
struct TRTFBuild {
    TBufferedRawByteString Body;
    QStringList Fonts;
    QList<TColor> Colours;
    int CurrentFont = -1;
    int CurrentColour = -1;
    int CurrentSize = -1;

    void Word(const char* W, int N) { Body.Add(QByteArray(W) + QByteArray::number(N)); }
    void SelectFont(const QString& Name) {
        int i = int(Fonts.indexOf(Name));
        if (i < 0) {
            Fonts.append(Name);
            i = int(Fonts.size()) - 1;
        } else if (i == CurrentFont) {
            return;
        }
        Word("\\f", i);
        CurrentFont = i;
    }
    void SelectColor(TColor C) {
        int i = int(Colours.indexOf(C));
        if (i < 0) {
            Colours.append(C);
            i = int(Colours.size()) - 1;
        } else if (i == CurrentColour) {
            return;
        }
        Word("\\cf", i + 1);
        CurrentColour = i;
    }
    void AppendText(const QString& Text, const TFont& Font) {
        if (Text.isEmpty()) return;
        const TFontStyles st = Font.Style();
        if (st & fsUnderline) Body.Add("\\ul");
        if (st & fsItalic) Body.Add("\\i");
        if (st & fsBold) Body.Add("\\b");
        SelectFont(Font.Name());
        SelectColor(Font.Color());
        if (Font.Size() != CurrentSize) {
            Word("\\fs", Font.Size() * 2);
            CurrentSize = Font.Size();
        }
        Body.Add(" ");
        QByteArray run;
        run.reserve(Text.size() * 9);
        for (QChar ch : Text) {
            const char16_t u = ch.unicode();
            if (u == 10)
                run += "{\\par}";
            else if (u != 13)
                run += "\\u" + QByteArray::number(int(int16_t(u))) + "\\'3f";
        }
        Body.Add(run);
        if (st & fsUnderline) Body.Add("\\ul0");
        if (st & fsItalic) Body.Add("\\i0");
        if (st & fsBold) Body.Add("\\b0");
    }
};

// A font name in the font table: braces and backslashes would end the table
// or start a control word, so they are escaped.
QByteArray RTFFontName(const QString& Name) {
    QByteArray ansi = TextToClipboardBytes(CF_TEXT, Name);
    if (ansi.endsWith('\0')) ansi.chop(1);
    QByteArray out;
    for (char c : ansi) {
        if (c == '\\' || c == '{' || c == '}') out += '\\';
        out += c;
    }
    return out;
}

const char* RTFAlign(TAlignment A, bool Left) {
    if (A == taRightJustify) return "\\qr";
    if (A == taCenter) return "\\qc";
    return Left ? "\\ql" : "";
}
}  // namespace

QByteArray TCustomLazyStringTree::ContentToRTF(TVSTTextSourceType Source) {
    TLTExporter X(this, Source, etRTF, true);
    TRTFBuild R;
    const bool useColumns = X.UseColumns();
    const TColumnsArray columns = useColumns ? X.VisibleColumns() : TColumnsArray();
    const TColumnIndex mainColumn = Header()->MainColumn();

    R.Body.Add("\\uc1\\trowd\\trgaph70");
    if (useColumns) {
        int sum = 0;
        for (TLazyTreeColumn* c : columns) {
            sum += c->Width();
            R.Word("\\cellx", PixelsToTwips(sum));
        }
    } else {
        R.Word("\\cellx", PixelsToTwips(ClientWidth()));
    }

    if (useColumns) {
        X.Fire(OnBeforeHeaderExport);
        R.Body.Add("\\pard\\intbl");
        for (TLazyTreeColumn* c : columns) {
            X.Fire(OnBeforeColumnExport, c);
            TAlignment a = c->CaptionAlignment();
            if (c->BiDiMode() != bdLeftToRight) a = Mirrored(a);
            R.Body.Add(RTFAlign(a, true));
            R.AppendText(c->Text(), *Header()->Font());
            R.Body.Add("\\cell");
            X.Fire(OnAfterColumnExport, c);
        }
        R.Body.Add("\\row");
        X.Fire(OnAfterHeaderExport);
    }

    int lastLevel = 0;
    QByteArray tabs;
    for (PLazyNode n = X.First(); n && !X.Canceled(); n = X.Next(n)) {
        if (!PassesExportMode(n) || !X.Fire(OnBeforeNodeExport, n)) continue;
        const int passes = useColumns ? int(columns.size()) : 1;
        for (int i = 0; i < passes; ++i) {
            TLazyTreeColumn* c = useColumns ? columns[i] : nullptr;
            const TColumnIndex index = c ? c->Index() : NoColumn;
            const TVSTGetCellTextEventArgs E = X.CellText(n, index);
            R.Body.Add("\\pard\\intbl");
            TAlignment a = c ? c->Alignment() : Alignment();
            if ((c ? c->BiDiMode() : BiDiMode()) != bdLeftToRight) a = Mirrored(a);
            R.Body.Add(RTFAlign(a, false));
            X.PaintTextFont(n, index, ttNormal);
            if (!c || index == mainColumn) {
                const int level = int(GetNodeLevel(n));
                if (level != lastLevel) {
                    tabs = QByteArray("\\tab").repeated(level);
                    lastLevel = level;
                }
                if (level >= 1) R.Body.Add(tabs + " ");
            }
            R.AppendText(E.CellText, *X.CanvasFont());
            if (!E.StaticText.isEmpty() && X.ShowStatic()) {
                X.PaintTextFont(n, index, ttStatic, false);
                R.AppendText(QStringLiteral(" ") + E.StaticText, *X.CanvasFont());
            }
            R.Body.Add("\\cell");
        }
        R.Body.Add("\\row");
        R.Body.AddNewLine();
        X.Fire(OnAfterNodeExport, n);
    }
    R.Body.Add("\\pard\\par");

    QByteArray head = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1043{\\fonttbl";
    for (int i = 0; i < R.Fonts.size(); ++i)
        head += "{\\f" + QByteArray::number(i) + " " + RTFFontName(R.Fonts[i]) + ";}";
    head += "}{\\colortbl;";
    for (TColor c : R.Colours) {
        const TColor rgb = ColorToRGB(c);
        head += "\\red" + QByteArray::number(GetRValue(rgb)) + "\\green" + QByteArray::number(GetGValue(rgb)) +
                "\\blue" + QByteArray::number(GetBValue(rgb)) + ";";
    }
    head += "}";
    head += RTFPaperMetric() ? "\\paperw16840\\paperh11907" : "\\paperw15840\\paperh12240";
    head += "\\margl720\\margr720\\margt720\\margb720";
    return head + R.Body.AsString() + "}";
}

// ---------------------------------------------------------------------------
// Separated text, CSV, clipboard blocks, custom export

namespace {
void AppendCSVField(TBufferedString& B, const QString& Text, const QString& Separator) {
    if (!Separator.isEmpty() && Text.contains(Separator)) {
        QString q = Text;
        q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        B.Add(QStringLiteral("\"") + q + QStringLiteral("\""));
    } else {
        B.Add(Text);
    }
}

QString CSVQuoted(QString S) {
    S.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QStringLiteral("\"") + S + QStringLiteral("\"");
}
}  // namespace

QString TCustomLazyStringTree::ContentToText(TVSTTextSourceType Source, const QString& Separator) {
    TLTExporter X(this, Source, etText, false);
    TBufferedString B;
    const bool useColumns = X.UseColumns();
    const TColumnsArray columns = useColumns ? X.VisibleColumns() : TColumnsArray();
    const TColumnIndex mainColumn = Header()->MainColumn();
    TLazyTreeColumn* lastColumn = columns.isEmpty() ? nullptr : columns.last();

    int maxLevel = 0;
    for (PLazyNode n = X.First(); n && !X.Canceled(); n = X.Next(n))
        maxLevel = std::max<int>(maxLevel, int(GetNodeLevel(n)));
    const QString levelDelimiter = Separator.repeated(maxLevel);
    // The level padding of every level, made once.
    std::vector<QString> prefixes, suffixes;
    for (int l = 0; l <= maxLevel; ++l) {
        prefixes.push_back(levelDelimiter.left(l * Separator.size()));
        suffixes.push_back(levelDelimiter.left((maxLevel - l) * Separator.size()));
    }
    const auto prefix = [&](int level) -> const QString& { return prefixes[size_t(std::clamp(level, 0, maxLevel))]; };
    const auto suffix = [&](int level) -> const QString& { return suffixes[size_t(std::clamp(level, 0, maxLevel))]; };

    if (useColumns) {
        for (TLazyTreeColumn* c : columns) {
            B.Add(c->Text());
            if (c != lastColumn) {
                if (c->Index() == mainColumn) B.Add(levelDelimiter);
                B.Add(Separator);
            }
        }
        B.AddNewLine();
    }
    for (PLazyNode n = X.First(); n && !X.Canceled(); n = X.Next(n)) {
        const int level = int(GetNodeLevel(n));
        if (useColumns) {
            for (TLazyTreeColumn* c : columns) {
                const TVSTGetCellTextEventArgs E = X.CellText(n, c->Index());
                const bool isMain = c->Index() == mainColumn;
                if (isMain) B.Add(prefix(level));
                if (!E.StaticText.isEmpty() && X.ShowStatic())
                    AppendCSVField(B, E.CellText + QStringLiteral(" ") + E.StaticText, Separator);
                else
                    AppendCSVField(B, E.CellText, Separator);
                if (isMain) B.Add(suffix(level));
                if (c != lastColumn) B.Add(Separator);
            }
        } else {
            const TVSTGetCellTextEventArgs E = X.CellText(n, NoColumn);
            B.Add(prefix(level));
            B.Add(E.CellText);
        }
        B.AddNewLine();
    }
    return B.Take();
}

QString TCustomLazyStringTree::ContentToText(TVSTTextSourceType Source, QChar Separator) {
    return ContentToText(Source, QString(Separator));
}

QString TCustomLazyStringTree::ContentToUnicode(TVSTTextSourceType Source, QChar Separator) {
    return ContentToText(Source, QString(Separator));
}

QStringList TCustomLazyStringTree::CSVLines(bool IncludeHeading) {
    QStringList lines;
    TLazyTreeColumns* cols = Header()->Columns();
    if (IncludeHeading) {
        QStringList fields;
        for (int i = 0; i < cols->Count(); ++i) fields.append(CSVQuoted(cols->Items(i)->Text()));
        lines.append(fields.join(QLatin1Char(',')));
    }
    for (PLazyNode n = GetFirst(); n; n = GetNextSibling(n)) {
        QStringList fields;
        for (int i = 0; i < cols->Count(); ++i) {
            QString s = GetText(n, i);
            if (s.isEmpty()) s = QStringLiteral(" ");
            fields.append(CSVQuoted(s));
        }
        lines.append(fields.join(QLatin1Char(',')));
    }
    return lines;
}

bool TCustomLazyStringTree::SaveToCSVFile(const QString& FileNameWithPath, bool IncludeHeading) {
    if (FileNameWithPath.isEmpty()) return false;
    TStringList list;
    for (const QString& line : CSVLines(IncludeHeading)) list.Add(line);
    list.SaveToFile(FileNameWithPath);
    return true;
}

void WrapCFHTML(QByteArray& Fragment) {
    const qsizetype n = Fragment.size();
    auto field = [](const char* name, qsizetype v) {
        return QByteArray(name) + QByteArray::number(qlonglong(v)).rightJustified(8, '0') + "\r\n";
    };
    QByteArray block = "Version:1.0\r\n";
    block += field("StartHTML:", 97);
    block += field("EndHTML:", n + 301);
    block += field("StartFragment:", 269);
    block += field("EndFragment:", n + 269);
    block += "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">";
    block += "<html><head><META http-equiv=Content-Type content=\"text/html; charset=utf-8\"></head><body>"
             "<!--StartFragment-->";
    block += Fragment;
    block += "<!--EndFragment--></body></html>";
    Fragment = block;
}

QByteArray TCustomLazyStringTree::ContentToClipboard(TClipFormat Format, TVSTTextSourceType Source) {
    const TTreeClipboardFormats& f = TreeClipboardFormats();
    if (Format == CF_TEXT) return TextToClipboardBytes(CF_TEXT, ContentToText(Source, QStringLiteral("\t")));
    if (Format == CF_UNICODETEXT)
        return TextToClipboardBytes(CF_UNICODETEXT, ContentToText(Source, QStringLiteral("\t")));
    if (Format == 0) return QByteArray();
    if (Format == f.CSV)
        return TextToClipboardBytes(CF_TEXT, ContentToText(Source, QString(FormatSettings.ListSeparator)));
    if (Format == f.RTF || Format == f.RTFNoObjs) return ContentToRTF(Source) + '\0';
    if (Format == f.HTML) {
        QByteArray html = ContentToHTML(Source).toUtf8();
        WrapCFHTML(html);
        return html + '\0';
    }
    return QByteArray();
}

void TCustomLazyStringTree::ContentToCustom(TVSTTextSourceType Source) {
    TLTExporter X(this, Source, etCustom, false);
    X.Fire(OnBeforeTreeExport);
    if (Header()->UseColumns() && Header()->Options().Contains(hoVisible)) {
        X.Fire(OnBeforeHeaderExport);
        for (TLazyTreeColumn* c : X.VisibleColumns()) {
            X.Fire(OnBeforeColumnExport, c);
            X.Fire(OnColumnExport, c);
            X.Fire(OnAfterColumnExport, c);
        }
        X.Fire(OnAfterHeaderExport);
    }
    for (PLazyNode n = X.First(); n && !X.Canceled(); n = X.Next(n)) {
        if (!PassesExportMode(n)) continue;
        X.Fire(OnBeforeNodeExport, n);
        X.Fire(OnNodeExport, n);
        X.Fire(OnAfterNodeExport, n);
    }
    X.Fire(OnAfterTreeExport);
}
