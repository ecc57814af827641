// Setters with behaviour, drag scrolling, scroll types, notifiers and the
// selection listener; the grid unit; measuring and the displayed text.
#include "gridpack/stringgrid/core/ExGridFixture.h"
#include "gridpack/basegrid/ExGridWindows.h"
#include "gridpack/basegrid/ExStyleIF.h"
#include "platform/controls/Timers.h"
#include "platform/controls/WindowPosHook.h"
#include "platform/core/FormatSettings.h"
#include "gridpack/basegrid/RorIdad.h"

namespace {
class NotifyTest : public ExGridTest {};

class TCountingNotifier : public TGridChangeNotifier {
public:
    explicit TCountingNotifier(std::vector<QString>* log) : TGridChangeNotifier(nullptr), Log(log) {}
    void CellsChanged(const TRect&) override { Log->push_back("notifier"); }
    std::vector<QString>* Log;
};

class TListener : public ITExStringGridSelect {
public:
    void SelectCell(int ACol, int ARow) override { Calls.push_back({ACol, ARow}); }
    std::vector<std::pair<int, int>> Calls;
};
} // namespace

TEST_F(NotifyTest, SettersHoldTheirRangesAndSpreadSheetSwitchesEverythingOn)
{
    NewGrid();
    Grid->SetSelectionColorMixerFactor(150);
    EXPECT_EQ(Grid->SelectionColorMixerFactor(), 100);
    Grid->SetSelectionColorMixerFactor(-5);
    EXPECT_EQ(Grid->SelectionColorMixerFactor(), 0);

    Grid->SetOptions(Grid->Options() & ~(goEditing | goRangeSelect));
    Grid->SetSpreadSheet(false);
    EXPECT_FALSE(Grid->SpreadSheet());
    EXPECT_TRUE(Grid->SelectionRectangle());
    EXPECT_TRUE(Grid->SelectionResizer());
    EXPECT_TRUE(Grid->Navigation()->AllowSmartClipboard);
    EXPECT_TRUE(Grid->Options() & goEditing);
    EXPECT_TRUE(Grid->Options() & goRangeSelect);
    EXPECT_TRUE(Grid->MouseActions()->RangeSelectAndEdit);

    // Following the theme brings up the process-wide theme notifier for
    // the grid's window.
    Grid->SetAutoThemeAdapt(true);
    EXPECT_TRUE(Grid->SearchFooter()->AutoThemeAdapt());
    EXPECT_NE(ThemeNotifierInstance, nullptr);
    Grid->SetAutoThemeAdapt(false);
    EXPECT_FALSE(Grid->SearchFooter()->AutoThemeAdapt());
}

TEST_F(NotifyTest, HiddenSelectionComesBackOrFallsBackAfterRowsWent)
{
    NewGrid();
    Grid->SetSelection(TGridRect{2, 6, 3, 7});
    Grid->HideSelection();
    Grid->UnHideSelection();
    EXPECT_EQ(Grid->Selection(), (TGridRect{2, 6, 3, 7}));
    Grid->HideSelection();
    Grid->RemoveRows(3, 5); // rows from the remembered top on are gone
    Grid->UnHideSelection();
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 1, 1, 1}));
}

TEST_F(NotifyTest, DragScrollingNearTheTopMargin)
{
    NewGrid();
    Grid->SetRowCount(50);
    Grid->SetTopRow(3);
    TDragScrollOptions* o = Grid->DragScrollOptions();
    o->Active = true;
    o->Margins()->TopMargin = 10;
    bool accept = false;
    Grid->DragOver(nullptr, 100, 5, dsDragMove, accept);
    ASSERT_NE(Grid->DragTimer(), nullptr);
    EXPECT_EQ(Grid->DragTimer()->Interval(), 1000u);
    EXPECT_EQ(Grid->DragScrollDirection(), unsigned(dsdUp));
    Grid->DragTimer()->Timer();
    EXPECT_EQ(Grid->TopRow(), 2);
    EXPECT_EQ(Grid->DragTimer()->Interval(), 250u);
    Grid->DragTimer()->Timer();
    EXPECT_EQ(Grid->TopRow(), 1);
    Grid->DragTimer()->Timer();
    EXPECT_EQ(Grid->TopRow(), 1); // never above the fixed rows

    // The handler may stop a step.
    Grid->SetTopRow(5);
    Grid->OnDragScroll = [](TObject*, int, int, unsigned&, bool& can) { can = false; };
    Grid->DragTimer()->Timer();
    EXPECT_EQ(Grid->TopRow(), 5);
    // Back inside the margins, leaving, or switching off stops the timer.
    Grid->DragOver(nullptr, 100, 100, dsDragMove, accept);
    EXPECT_EQ(Grid->DragTimer(), nullptr);
    Grid->DragOver(nullptr, 100, 5, dsDragMove, accept);
    Grid->DragOver(nullptr, 100, 5, dsDragLeave, accept);
    EXPECT_EQ(Grid->DragTimer(), nullptr);
}

TEST_F(NotifyTest, MetroScrollTypeSwapsTheBarsForThinControls)
{
    NewGrid();
    ASSERT_TRUE(Grid->HandleAllocated());
    Grid->SetScrollType(ssMetro);
    ASSERT_NE(Grid->VertScrollControl(), nullptr);
    ASSERT_NE(Grid->HorzScrollControl(), nullptr);
    EXPECT_EQ(Grid->VertScrollControl()->Width(), 6);
    EXPECT_EQ(Grid->VertScrollControl()->Left(), Grid->ClientWidth() - 6);
    EXPECT_EQ(Grid->HorzScrollControl()->Height(), 6);
    EXPECT_EQ(Grid->HorzScrollControl()->Top(), Grid->ClientHeight() - 6);
    EXPECT_EQ(Grid->ScrollBars(), ssNone);
    Grid->SetScrollType(ssNormal);
    EXPECT_EQ(Grid->VertScrollControl(), nullptr);
    EXPECT_EQ(Grid->HorzScrollControl(), nullptr);
    EXPECT_EQ(Grid->ScrollBars(), ssBoth);
    Grid->SetScrollType(ssFlat);
    EXPECT_TRUE(Grid->FIsFlat);
    Grid->SetScrollType(ssNormal);
    EXPECT_FALSE(Grid->FIsFlat);
}

TEST_F(NotifyTest, NotifiersAreCalledOnceAfterTheEventAndForgottenWhenFreed)
{
    NewGrid();
    std::vector<QString> log;
    Grid->OnCellsChanged = [&](TObject*, const TRect&) { log.push_back("event"); };
    auto* n = new TCountingNotifier(&log);
    Grid->RegisterNotifier(n);
    Grid->RegisterNotifier(n);
    Grid->ClearRows(1, 1);
    EXPECT_EQ(log, (std::vector<QString>{"event", "notifier"}));
    delete n;
    log.clear();
    Grid->ClearRows(1, 1);
    EXPECT_EQ(log, (std::vector<QString>{"event"}));
}

TEST_F(NotifyTest, TheSelectionListenerHearsTheNewRow)
{
    NewGrid();
    auto l = std::make_shared<TListener>();
    Grid->RegisterSelListener(l);
    Grid->SetRow(4);
    ASSERT_FALSE(l->Calls.empty());
    EXPECT_EQ(l->Calls.back().second, 4);
    Grid->UnRegisterSelListener(nullptr);
    const std::size_t n = l->Calls.size();
    Grid->SetRow(5);
    EXPECT_EQ(l->Calls.size(), n);
}

TEST_F(NotifyTest, TheGridUnit)
{
    const int hooks = WindowPosHookCount();
    GridUnitStartup();
    const int registered = GridUnitRegistrations();
    GridUnitStartup();
    EXPECT_TRUE(GridUnitHookInstalled());
    EXPECT_EQ(WindowPosHookCount(), hooks + 1);
    EXPECT_EQ(GridUnitRegistrations(), registered);
    for (const char* name : {"TExStringGrid", "TDropList", "TGridCombo", "TGridSpin", "TGridDatePicker", "TGridCheckBox",
                             "TExRichEdit", "TScrollBar", "TFooterPanel", "TSearchPanel"})
        EXPECT_EQ(FindClass(name).Name, name);
    EXPECT_EQ(GetModuleFileVersion("kernel32.dll"), -1);
    EXPECT_EQ(GetModuleFileVersion("COMCTL32.DLL"), 6 * 65536 + 10);

    // The locale getters read the settings in force at each call.
    const TFormatSettings before = FormatSettings;
    FormatSettings.DecimalSeparator = QLatin1Char(',');
    FormatSettings.ShortTimeFormat = "hh:nn";
    FormatSettings.LongTimeFormat = "hh:nn:ss.zzz";
    FormatSettings.ShortDateFormat = "yyyy-mm-dd";
    EXPECT_EQ(LocaleDecimalSeparator(), QLatin1Char(','));
    EXPECT_EQ(LocaleShortTimeFormat(), "hh:nn");
    EXPECT_EQ(LocaleLongTimeFormat(), "hh:nn:ss.zzz");
    EXPECT_EQ(LocaleShortDateFormat(), "yyyy-mm-dd");
    FormatSettings = before;

    // Moving the form moves the focus window of the tracking grid.
    NewGrid();
    ASSERT_NE(Grid->FFocusWindow, nullptr);
    Grid->MoveColRow(2, 2, true, false);
    FocusTrackingGrid = Grid;
    Form->SetBounds(30, 40, 500, 400);
    const TRect r = Grid->TBaseGrid::CellRect(2, 2);
    const TPoint at = Grid->ClientToScreen(Point(r.Left, r.Top));
    EXPECT_EQ(Grid->FFocusWindow->Left(), at.X - 4);
    EXPECT_EQ(Grid->FFocusWindow->Top(), at.Y - 4);
    EXPECT_EQ(Grid->FFocusWindow->Width(), r.Width() + 9);
    EXPECT_EQ(Grid->FFocusWindow->Height(), r.Height() + 9);
    FocusTrackingGrid = nullptr;
    // Nobody tracking: a move only passes.
    const int left = Grid->FFocusWindow->Left();
    Form->SetBounds(60, 40, 500, 400);
    EXPECT_EQ(Grid->FFocusWindow->Left(), left);

    GridUnitCleanup();
    EXPECT_TRUE(GridUnitHookInstalled());
    GridUnitCleanup();
    EXPECT_FALSE(GridUnitHookInstalled());
    EXPECT_EQ(WindowPosHookCount(), hooks);
}

TEST_F(NotifyTest, MeasuringRotatedTextAndGraphics)
{
    NewGrid();
    Grid->SetCellEx(1, 1, "measure me");
    const TSize plain = Grid->GetCellTextSize(1, 1, false, false);
    Grid->AddRotated(1, 2, 90, "measure me");
    const TSize turned = Grid->GetCellTextSize(1, 2, false, false);
    EXPECT_EQ(turned.cx, plain.cy + 12);
    EXPECT_EQ(turned.cy, plain.cx + 12);

    Grid->AddRating(2, 2, 5, clYellow, clSilver);
    EXPECT_EQ(Grid->CalcCellGraphicSize(2, 2, 0), (TPoint{90, 16}));
    EXPECT_EQ(Grid->CalcCellGraphicFit(2, 2, 50, 50, 1.0), (TPoint{0, 0}));
}

TEST_F(NotifyTest, DisplayedTextLinksAndGroupCounts)
{
    NewGrid();
    Grid->URLShowInText = true;
    QString v = "see WWW.a.com or HTTP://b.com";
    Grid->GetDisplayText(1, 1, v);
    EXPECT_TRUE(v.contains("<a href=\"HTTP://b.com\">")) << v.toStdString();
    EXPECT_FALSE(v.contains("href=\"WWW.a.com")) << v.toStdString();

    Grid->URLShowInText = false;
    Grid->AddNode(2, 4);
    Grid->Grouping()->ShowGroupCount = true;
    v = "group";
    Grid->GetDisplayText(1, 2, v);
    EXPECT_EQ(v, "group (3)");
    Grid->Grouping()->GroupCountFormat = "[%d]";
    v = "group";
    Grid->GetDisplayText(1, 2, v);
    EXPECT_EQ(v, "group[3]");
    v = "plain";
    Grid->GetDisplayText(1, 3, v);
    EXPECT_EQ(v, "plain");
}
