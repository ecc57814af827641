#pragma once
// The banded gradient and the two colour mixers that the grid (background,
// search panel) and the drop-down controls (popup, header, footer, buttons)
// paint with. System colours are resolved to their RGB value before any
// channel arithmetic; every rounding is half to even.
#include "platform/graphics/Graphics.h"

// Steps bands from FromColor to ToColor over R, left to right (Horizontal) or
// top to bottom. Steps of 0 or less is one band. R loses one pixel at its
// right (Horizontal) or bottom edge; each band is a canvas rectangle one
// pixel wider (higher) than its share, outlined by a pen of its own colour,
// so neighbours overlap by one pixel.
void FillGradientBands(TCanvas* Canvas, TColor FromColor, TColor ToColor, int Steps, const TRect& R, bool Horizontal);

// Percent of Color1 mixed with the rest of Color2, per channel. 100 or more
// answers Color1 unchanged and 0 or less Color2 unchanged (system colours
// and clNone included).
TColor BlendColor(TColor Color1, TColor Color2, int Percent);

// Each non-zero channel is scaled to min(100, Delta + 100) percent (negative
// deltas darken, positive ones change nothing); a zero channel becomes
// max(0, Delta).
TColor ShadeColor(TColor Color, int DeltaR, int DeltaG, int DeltaB);
