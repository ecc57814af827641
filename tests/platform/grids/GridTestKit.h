#pragma once
// A string grid that records what reaches its overridable steps, on a shown
// form, for the grid's tests.
//
// Geometry of a default grid placed at (0, 0), 400 x 300, border 2: client
// point (x, y) lies at form point (x + 2, y + 2); column c starts at 65 * c
// and row r at 25 * r (64 and 24 pixels plus a 1-pixel line) while the top-left
// scrollable cell is (1, 1).
#include "platform/controls/Dialogs.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Input.h"
#include "platform/grids/Grids.h"
#include "support/ToolkitTest.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <functional>

struct DrawnCell {
    int Col, Row;
    TRect Rect;
    TGridDrawState State;
};

class TProbeGrid : public TStringGrid {
public:
    explicit TProbeGrid(TComponent* owner) : TStringGrid(owner) {}

    std::vector<DrawnCell> Drawn;
    std::function<bool(int, int)> Veto;  // true: SelectCell refuses the cell
    QStringList Log;
    int ColWidthsChangedCount = 0;
    int RowHeightsChangedCount = 0;
    int EditLimit = 0;  // -1: the cells cannot be modified
    int GetEditLimit() override { return EditLimit; }

    const DrawnCell* FindDrawn(int c, int r) const {
        for (const DrawnCell& d : Drawn)
            if (d.Col == c && d.Row == r) return &d;
        return nullptr;
    }
    using TCustomGrid::CalcSizingState;

protected:
    void DrawCell(int c, int r, const TRect& rect, TGridDrawState s) override {
        Drawn.push_back({c, r, rect, s});
        TStringGrid::DrawCell(c, r, rect, s);
    }
    bool SelectCell(int c, int r) override {
        Log << QString("SelectCell(%1,%2)").arg(c).arg(r);
        if (Veto && Veto(c, r)) return false;
        return TStringGrid::SelectCell(c, r);
    }
    void ColWidthsChanged() override {
        ++ColWidthsChangedCount;
        TStringGrid::ColWidthsChanged();
    }
    void RowHeightsChanged() override {
        ++RowHeightsChangedCount;
        TStringGrid::RowHeightsChanged();
    }
};

class GridTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        SetTickCountForTest(100000);
    }
    void TearDown() override {
        ToolkitTest::TearDown();
        DrainPostedMessages();
        SetTickCountForTest(-1);
    }
    // A shown form holding a focused grid of 400 x 300 pixels.
    TProbeGrid* NewGrid(int w = 400, int h = 300) {
        Form = NewObject<TForm>(nullptr);
        Form->SetName("F");
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, w + 100, h + 100);
        Grid = NewObject<TProbeGrid>(Form);
        Grid->SetParent(Form);
        Grid->SetBounds(0, 0, w, h);
        Grid->OnClick = [this](TObject*) { Grid->Log << "Click"; };
        Form->Show();
        Grid->SetFocus();
        Grid->Log.clear();
        return Grid;
    }
    // A key stroke to whatever holds the focus, posted characters delivered.
    void Key(unsigned vk, TShiftState shift = 0) {
        Input::KeyStroke(vk, shift);
        DrainPostedMessages();
    }
    void Type(const QString& text) {
        for (QChar ch : text) {
            Input::Char(ch);
            DrainPostedMessages();
        }
    }
    // Renders the form and answers the pixel at client point (x, y) of the grid.
    QImage Render() { return Form->RenderClient(); }
    static TColor PixelAt(const QImage& img, int x, int y) {
        const QRgb p = img.pixel(x + 2, y + 2);
        return RGB(qRed(p), qGreen(p), qBlue(p));
    }
    // The message boxes the application showed (errors end up there).
    QStringList Shown() const {
        QStringList out;
        for (const auto& r : Script.Shown) out << r.Text;
        return out;
    }

    TProbeGrid* Grid = nullptr;
};
