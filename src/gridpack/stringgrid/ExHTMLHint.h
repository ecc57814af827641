#pragma once
// The hint window of the string grid for mark-up and wide-text hints: the
// cell hints whose text is mark-up or wide-encoded, and the sizing hint.
// Mark-up is measured and drawn by the grid's renderer with the images and
// picture container of the grid that hands itself over as hint data.
#include "platform/controls/Forms.h"

#include <QString>

class TImageList;
class TPictureContainer;

// The font name of the grid that prepared the last cell hint; wide-text
// hints are drawn with it.
extern QString HintFontName;

class THTMLHintWindow : public THintWindow {
    KAL_CLASS(THTMLHintWindow, THintWindow)
public:
    explicit THTMLHintWindow(TComponent* AOwner);
    // The size of the text alone within MaxWidth: (0, 0, width, height).
    TRect CalcHintRect(int MaxWidth, const QString& AHint, void* AData) override;
    // Sizes the window to the text plus its margins (16 pixels wide for
    // mark-up, 8 for wide text; 4 high), keeps it 2 pixels inside the screen
    // and shows it without activation.
    void ActivateHint(TRect r, const QString& AHint) override;
    // AData, when a string grid, lends its images and picture container.
    void ActivateHintData(TRect r, const QString& AHint, void* AData) override;
    int TextWidth() const { return FTextWidth; }
    int TextHeight() const { return FTextHeight; }
    TImageList* Images() const { return FImages; }

protected:
    void Paint() override;

private:
    // Measures AHint within the width; true when it is wide-encoded.
    bool Measure(const QString& AHint, int MaxWidth, int& W, int& H);
    TImageList* FImages = nullptr;
    TPictureContainer* FPictureContainer = nullptr;
    int FTextWidth = 0;
    int FTextHeight = 0;
    QString FWideCaption;
};
