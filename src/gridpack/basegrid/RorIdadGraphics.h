#pragma once
// The RorIdad painters of the graphic cell kinds: the two-colour progress
// bar, the progress pie, the signed range bar, the multi-level progress bar,
// the geometric cell shapes (also the stars of rating cells), the red wavy
// underline under a character range, and bitmaps drawn with their key colour
// replaced by a background. Each draws on a canvas the caller owns and
// prepares (font, clipping) and leaves pen, brush and font as its last step
// set them.
#include "platform/graphics/Graphics.h"

#include <QString>

class TWinControl;

enum TCellShape {
    csRectangle,
    csCircle,
    csTriangleLeft,
    csTriangleRight,
    csTriangleUp,
    csTriangleDown,
    csDiamond,
    csLineVert,
    csLineHorz,
    csRoundRect,
    csEllips,
    csSquare,
    csRoundSquare,
    csStar,
    csArrowUp,
    csArrowDown,
    csArrowLeft,
    csArrowRight,
    csHalfStar
};

struct LevelProgressSettings {
    TColor Level0Color = clLime, Level0ColorTo = clLime;
    TColor Level1Color = clYellow, Level1ColorTo = clYellow;
    TColor Level2Color = 0x0080FF, Level2ColorTo = 0x0080FF;
    TColor Level3Color = clRed, Level3ColorTo = clRed;
    int Level1Perc = 70;
    int Level2Perc = 90;
    TColor BorderColor = clBlack;
    bool ShowBorder = false;
    bool Stacked = false;
    bool ShowPercentage = false;
    TFont Font;
    TColor FontColor = clBlack;
    bool CompletionSmooth = false;
    bool ShowGradient = false;
    int Steps = 16;
    TColor BackgroundColor = clWhite;
    bool Vertical = false;
};

// The text the bar shows and the percentage it fills. An empty Format shows
// the rounded position with "%". Otherwise Format must hold exactly one
// conversion: d, u and x take the rounded position, e, f, g, n and m the
// position itself; any other format shows the empty-format text. The fill is
// (Position - Min) / (Max - Min), 0 when Max = Min, clamped to 0..100.
void ProgressBarText(double Position, int Min, int Max, const QString& Format, QString& Text, int& Percent);
void PaintProgressBar(TCanvas* Canvas, const TRect& Rect, TColor DoneColor, TColor DoneTextColor, TColor RestColor,
                      TColor RestTextColor, double Position, int MarginX, int MarginY, int Min, int Max,
                      const QString& Format, TColor BorderColor, bool Printing);
// A pie of Position percent growing clockwise from twelve o'clock.
void PaintProgressPie(TCanvas* Canvas, const TRect& Rect, TColor Color, int Position, bool Printing);
// From the centre: left for negative values, right for positive ones; Value
// is clamped to -Range..Range. Range <= 0 draws nothing. With ShowValue the
// clamped value is written centred over the bar on a transparent background.
void PaintRangeBar(TCanvas* Canvas, const TRect& Rect, int Value, int Range, bool ShowValue, TColor NegativeColor,
                   TColor PositiveColor);
void PaintLevelProgress(TCanvas* Canvas, const TRect& Rect, int Position, const LevelProgressSettings& Settings);
// A shape code past csHalfStar draws nothing (brush and pen already set).
void PaintCellShape(TCanvas* Canvas, int X, int Y, int Width, int Height, int Shape, TColor BrushColor,
                    TColor PenColor);
// Character positions are the text widths of the prefixes in Parent's font
// (a single line starting at Rect's top-left). Count <= 0 or an empty text
// draws nothing.
void PaintWavyUnderline(TWinControl* Parent, TCanvas* Canvas, const QString& Text, const TRect& Rect, int YOffset,
                        int From, int Count);
// The bitmap at Rect's top-left with the colour of its top-left pixel
// replaced by BackColor; Rect's right and bottom are ignored.
void DrawBitmapTransparent(TCanvas* Canvas, TBitmap* Bitmap, TColor BackColor, const TRect& Rect);
// The bitmap of the program's built-in resources (":/" + ResourceName)
// drawn as DrawBitmapTransparent does; nothing when there is none.
void DrawResourceBitmap(TCanvas* Canvas, TColor BackColor, const TRect& Rect, const QString& ResourceName);
