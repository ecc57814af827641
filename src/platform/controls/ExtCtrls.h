#pragma once
// More of the class library's controls: panel, bevel, shape, image, link
// label, splitter and scroll box.
#include "platform/controls/StdCtrls.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>

enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };
enum TVerticalAlignment { taAlignTop, taAlignBottom, taVerticalCenter };
enum TBevelStyle { bsLowered, bsRaised };
enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };
enum TSysLinkType { sltURL, sltID };

using TSysLinkEvent = std::function<void(TObject* Sender, const QString& Link, TSysLinkType LinkType)>;
using TCanResizeEvent = std::function<void(TObject* Sender, int& NewSize, bool& Accept)>;

// The class library's three-dimensional frame: `width` rings, the top and
// left sides in one colour, the bottom and right in the other; the rectangle
// shrinks by the frame.
void Frame3D(TCanvas* canvas, TRect& r, TColor topColor, TColor bottomColor, int width);

// ---------------------------------------------------------------------------
// TPanel
// ---------------------------------------------------------------------------

class TCustomPanel : public TCustomControl {
    KAL_CLASS(TCustomPanel, TCustomControl)
public:
    explicit TCustomPanel(TComponent* AOwner);
    TPanelBevel BevelInner() const { return FBevelInner; }
    void SetBevelInner(TPanelBevel v) { FBevelInner = v; Invalidate(); }
    TPanelBevel BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TPanelBevel v) { FBevelOuter = v; Invalidate(); }
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int v) { FBevelWidth = v < 1 ? 1 : v; Invalidate(); }
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int v) { FBorderWidth = v < 0 ? 0 : v; Invalidate(); }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v) { FBorderStyle = v; Invalidate(); }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v) { FAlignment = v; Invalidate(); }
    TVerticalAlignment VerticalAlignment() const { return FVerticalAlignment; }
    void SetVerticalAlignment(TVerticalAlignment v) { FVerticalAlignment = v; Invalidate(); }
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool v) { FShowCaption = v; Invalidate(); }
    // The frame's total thickness: what the bevels and borders take.
    int FrameWidth() const;

protected:
    void Paint() override;

private:
    TPanelBevel FBevelInner = bvNone, FBevelOuter = bvRaised;
    int FBevelWidth = 1, FBorderWidth = 0;
    TBorderStyle FBorderStyle = bsNone;
    TAlignment FAlignment = taCenter;
    TVerticalAlignment FVerticalAlignment = taVerticalCenter;
    bool FShowCaption = true;
};

class TPanel : public TCustomPanel {
    KAL_CLASS(TPanel, TCustomPanel)
public:
    explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

// ---------------------------------------------------------------------------
// TBevel, TShape
// ---------------------------------------------------------------------------

class TBevel : public TGraphicControl {
    KAL_CLASS(TBevel, TGraphicControl)
public:
    explicit TBevel(TComponent* AOwner);
    TBevelShape Shape() const { return FShape; }
    void SetShape(TBevelShape v) { FShape = v; Invalidate(); }
    TBevelStyle Style() const { return FStyle; }
    void SetStyle(TBevelStyle v) { FStyle = v; Invalidate(); }

protected:
    void Paint() override;

private:
    TBevelShape FShape = bsBox;
    TBevelStyle FStyle = bsLowered;
};

class TShape : public TGraphicControl {
    KAL_CLASS(TShape, TGraphicControl)
public:
    explicit TShape(TComponent* AOwner);
    TShapeType Shape() const { return FShape; }
    void SetShape(TShapeType v) { FShape = v; Invalidate(); }
    // Changing either repaints the shape.
    TPen* Pen() { return &FPen; }
    TBrush* Brush() { return &FBrush; }

protected:
    void Paint() override;

private:
    TShapeType FShape = stRectangle;
    TPen FPen;
    TBrush FBrush;
};

// ---------------------------------------------------------------------------
// TImage
// ---------------------------------------------------------------------------

class TImage : public TGraphicControl {
    KAL_CLASS(TImage, TGraphicControl)
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;
    // Changes of the picture repaint the image (and resize it with AutoSize).
    TPicture* Picture() { return FPicture.get(); }
    void SetPicture(const TPicture* p) { FPicture->Assign(p); PictureChanged(); }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool v) { FStretch = v; Invalidate(); }
    bool Center() const { return FCenter; }
    void SetCenter(bool v) { FCenter = v; Invalidate(); }
    bool Proportional() const { return FProportional; }
    void SetProportional(bool v) { FProportional = v; Invalidate(); }
    // Transparent pictures leave out their transparent colour.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);
    // Where the picture is drawn inside the control.
    TRect DestRect() const;
    // Tells the image its picture changed (after drawing on the bitmap).
    void PictureChanged();

protected:
    void Paint() override;

private:
    std::unique_ptr<TPicture> FPicture;
    bool FStretch = false, FCenter = false, FProportional = false, FTransparent = false, FAutoSize = false;
};

// ---------------------------------------------------------------------------
// TLinkLabel
// ---------------------------------------------------------------------------

// A label whose caption may hold links as <a href="target">text</a>. The text
// shows without the tags, the links underlined in the link colour; a click
// on a link (or Enter/Space while focused) hands its target to OnLinkClick.
// The label itself opens nothing.
class TCustomLinkLabel : public TCustomControl {
    KAL_CLASS(TCustomLinkLabel, TCustomControl)
public:
    explicit TCustomLinkLabel(TComponent* AOwner);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v) { FAlignment = v; Invalidate(); }

    struct Part {
        QString Text;
        bool IsLink = false;
        QString Target;  // the href, or the id
        TSysLinkType Type = sltURL;
    };
    // The caption cut into text and links.
    static QList<Part> Parse(const QString& caption);
    QString PlainText() const;
    int LinkCount() const;
    // Where link `index` lies (client coordinates); empty when none.
    TRect LinkRect(int index);
    int LinkAt(TPoint p);

    TSysLinkEvent OnLinkClick;

protected:
    virtual void DoOnLinkClick(const QString& Link, TSysLinkType LinkType);
    void Paint() override;
    void CMTextChanged(TMessage& M) override;
    void CMFontChanged(TMessage& M) override;
    void WMLButtonDown(TMessage& M) override;
    void WMLButtonUp(TMessage& M) override;
    void WMKeyDown(TMessage& M) override;
    void CMWantSpecialKey(TMessage& M) override;

private:
    struct Laid {
        Part P;
        TRect R;
    };
    void Layout();
    void AdjustSize();
    QList<Laid> FLaid;
    bool FAutoSize = true;
    TAlignment FAlignment = taLeftJustify;
    int FPressedLink = -1;
};

class TLinkLabel : public TCustomLinkLabel {
    KAL_CLASS(TLinkLabel, TCustomLinkLabel)
public:
    explicit TLinkLabel(TComponent* AOwner) : TCustomLinkLabel(AOwner) {}
};

// ---------------------------------------------------------------------------
// TSplitter
// ---------------------------------------------------------------------------

// A bar aligned beside another aligned control; dragging it resizes that
// control.
class TSplitter : public TGraphicControl {
    KAL_CLASS(TSplitter, TGraphicControl)
public:
    explicit TSplitter(TComponent* AOwner);
    int MinSize() const { return FMinSize; }
    void SetMinSize(int v) { FMinSize = v < 1 ? 1 : v; }
    // The control the splitter resizes (found when a drag starts).
    TControl* ResizeControl();
    TCanResizeEvent OnCanResize;
    TNotifyEvent OnMoved;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    TControl* FControl = nullptr;
    TPoint FDownPos;
    int FStartSize = 0;
    int FMinSize = 30;
    bool FDragging = false;
};

// ---------------------------------------------------------------------------
// TScrollBox
// ---------------------------------------------------------------------------

// A container whose children may extend past its client area; it scrolls
// them by moving them, as the class library does.
class TScrollBox : public TCustomControl {
    KAL_CLASS(TScrollBox, TCustomControl)
public:
    explicit TScrollBox(TComponent* AOwner);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v) {
        FBorderStyle = v;
        RecalcNCArea();
    }
    // How far the content is scrolled.
    int HorzPosition() const { return FScroll.X; }
    int VertPosition() const { return FScroll.Y; }
    void SetHorzPosition(int v);
    void SetVertPosition(int v);
    // The content's extent (the children's far edges while unscrolled).
    int HorzRange();
    int VertRange();
    void ScrollBy(int dx, int dy);
    void ScrollInView(TControl* c);
    // The bars show where the content does not fit, their range the
    // content's extent and their page the client area.
    void UpdateScrollBars(bool redraw = true);

protected:
    void Paint() override;
    void WMMouseWheel(TMessage& M) override;
    void WMNCCalcSize(TMessage& M) override;
    void WMNCPaint(TMessage& M) override;
    void WMSize(TMessage& M) override;
    void WndProc(TMessage& M) override;

private:
    TBorderStyle FBorderStyle = bsSingle;
    TPoint FScroll;
};
