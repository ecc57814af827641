#pragma once
// TLbButton: the push button of every dialog. It draws its whole face itself
// (face colour, one-pixel frame, an optional strip of glyph images and a
// word-wrapped caption), follows the mouse with a hot-track colour, turns a
// left click, Space, Enter or its accelerator into a click, can end its modal
// dialog with a modal result and can open an attached popup menu.
//
// The hot-track colour may fade out after the mouse leaves (SlowDecease): a
// 30 ms timer, idle unless a fade runs, takes the place of a worker thread,
// so every fade step runs on the user-interface thread.
#include "platform/controls/Buttons.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Timers.h"

#include <memory>

enum TLbButtonStyle { bsNormal, bsEncarta, bsModern, bsOld, bsShape, bsQuicken };
enum TLbButtonKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
// The glyph placements are the class library's own button layouts.
using TLbButtonLayout = TButtonLayout;
enum TLbColorStyle { lcsCustom, lcsGold, lcsChrome, lcsBlue, lcsRed, lcsUltraFlat1, lcsUltraFlat2, lcsUltraFlatXP,
                     lcsAqua, lcsDefault, lcsQuicken };

class TLbButton : public TCustomControl {
    KAL_CLASS(TLbButton, TCustomControl)
public:
    explicit TLbButton(TComponent* AOwner);
    ~TLbButton() override;

    void SetCaption(const QString& v);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    TColor ColorWhenDown() const { return FColorWhenDown; }
    void SetColorWhenDown(TColor v);
    TColor HotTrackColor() const { return FHotTrackColor; }
    void SetHotTrackColor(TColor v);
    TColor LightColor() const { return FLightColor; }
    void SetLightColor(TColor v);
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor v);
    // Applies a colour preset; always reads back lcsCustom.
    TLbColorStyle ColorStyle() const { return lcsCustom; }
    void SetColorStyle(TLbColorStyle v);
    TLbButtonStyle Style() const { return FStyle; }
    void SetStyle(TLbButtonStyle v);
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    // The glyph strip: NumGlyphs images side by side.
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(const TBitmap* v);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int v);
    TLbButtonLayout Layout() const { return FLayout; }
    void SetLayout(TLbButtonLayout v);
    TLbButtonKind Kind() const { return FKind; }
    void SetKind(TLbButtonKind v);
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int v);
    bool Default() const { return FDefault; }
    void SetDefault(bool v) { FDefault = v; }
    bool Cancel() const { return FCancel; }
    void SetCancel(bool v) { FCancel = v; }
    TFont* HotTrackFont() { return &FHotTrackFont; }
    void SetHotTrackFont(const TFont& f) { FHotTrackFont.Assign(f); }
    bool UseHotTrackFont() const { return FUseHotTrackFont; }
    void SetUseHotTrackFont(bool v);
    bool SlowDecease() const { return FSlowDecease; }
    void SetSlowDecease(bool v);
    // The menu opened below the button after a click (not a context menu).
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* m) override;

    TNotifyEvent OnMouseExit;

    void Click() override;

    // State as the face shows it.
    bool Down() const { return bDown; }
    bool CursorOnButton() const { return bCursorOnButton; }
    int HotTrackStep() const { return FHotTrackStep; }
    // The fade runs (the timer standing for the fade thread is not idle).
    bool FadeRunning() const;
    bool HasFadeTimer() const { return FThread != nullptr; }
    // One step of the fade, as the fade timer runs it every 30 ms.
    void FadeStep();

    // The face colour for a hot-track step: each channel
    // Round(c * (1 - s / 8) + h * s / 8).
    static TColor BlendHotTrack(TColor face, TColor hot, int step);

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void KeyUp(unsigned& Key, TShiftState Shift) override;
    void CMMouseEnter(TMessage& M) override;
    void CMMouseLeave(TMessage& M) override;
    void CMDialogKey(TMessage& M) override;
    void CMDialogChar(TMessage& M) override;
    void CMEnabledChanged(TMessage& M) override;
    void WndProc(TMessage& M) override;
    void WMSetFocus(TMessage& M) override;
    void WMKillFocus(TMessage& M) override;
    void ActionChange(TObject* Sender, bool CheckDefaults) override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    void ClickAction();
    void DrawButtonFace(TCanvas* canvas, int W, int H, TColor light);
    bool Hot() const;
    bool ParentShowing() const;
    void StopFade();
    void CreateFade();

    bool bDown = false;
    bool bCursorOnButton = false;
    int FHotTrackStep = 0;
    TTimer* FThread = nullptr;  // the fade, idle while "suspended"

    TAlignment FAlignment = taCenter;
    TColor FColorWhenDown = clNone;
    TColor FHotTrackColor = clNone;
    TColor FLightColor = clWhite;
    TColor FShadowColor = RGB(128, 128, 128);
    TLbButtonStyle FStyle = bsNormal;
    bool FFlat = false;
    bool FWordWrap = false;
    std::unique_ptr<TBitmap> FGlyph;
    int FNumGlyphs = 0;
    TLbButtonLayout FLayout = blGlyphLeft;
    TLbButtonKind FKind = bkCustom;
    int FModalResult = 0;
    bool FDefault = false;
    bool FCancel = false;
    TFont FHotTrackFont;
    bool FUseHotTrackFont = false;
    bool FSlowDecease = false;
    TPopupMenu* FPopupMenu = nullptr;
};
