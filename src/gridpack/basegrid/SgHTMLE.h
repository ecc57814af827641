#pragma once
// The small mark-up language of cell texts, hints and captions: the renderer
// RenderHTML that draws, measures and hit-tests a mark-up text in a
// rectangle of a canvas, and the operations that read and change mark-up
// texts without drawing them (stripping, highlighting and error marking,
// entities, the values of embedded CONTROL tags).
//
// Positions in these texts are 1-based and count UTF-16 code units. Tag
// names and attribute names are matched on an upper-cased copy that keeps
// every character's place, so a position found in the copy holds in the text.
#include "platform/graphics/Graphics.h"
#include "platform/graphics/GraphicsTypes.h"

#include <QString>

class TImageList;
class THTMLPictureCache;
class TPictureContainer;

// ---------------------------------------------------------------------------
// Colours of the mark-up
// ---------------------------------------------------------------------------

// The colour of a name such as "clRed" or "clBtnFace", compared after the
// name is lower-cased; black for a name the table does not hold.
TColor ColorFromName(const QString& name);
// "#RRGGBB": red, green and blue as two-digit hexadecimal numbers (digits
// 0-9 and A-F); a missing pair counts 0.
TColor ColorFromHex(const QString& value);
// Two hexadecimal digits at the 0-based index; characters that are not
// digits 0-9 or A-F count 0, and so does a pair past the end.
int HexPairValue(const QString& s, int index);

// The shared highlight colours of the "hi" tag (background, then text);
// clHighlight and clHighlightText until set.
void SetHighlightColors(TColor background, TColor text);
TColor HighlightBackgroundColor();
TColor HighlightTextColor();

// ---------------------------------------------------------------------------
// Mark-up text operations
// ---------------------------------------------------------------------------

// Plain text: "<BR>" and "<HR>" (any case) become CR LF, other tags go; a "<"
// without a ">" after it stays with everything after it.
QString StripMarkup(const QString& s);
// The characters outside tags.
QString VisibleText(const QString& s);
// The 1-based position in the mark-up of the n-th visible character, before
// the tags in front of it; the length plus one just past the last visible
// character; 0 beyond.
int MarkupPosition(const QString& s, int n);
// The 1-based position of search in text after the first `skip` characters;
// 0 when absent. Without matchCase both are upper-cased first.
int FindFrom(const QString& search, const QString& text, int skip, bool matchCase);
// Wraps every occurrence of search in the visible text in <tag> and </tag>.
QString TagMatches(const QString& markup, const QString& search, const QString& tag, bool matchCase);
// Removes every <tag> and </tag> (any case), then turns "&lt;" and "&gt;"
// back into brackets.
QString UntagAll(const QString& markup, const QString& tag);
// Entities back to characters in one pass from left to right, so an entity
// that a decoded ampersand would form stays as text: "&amp;lt;" is "&lt;".
// With useTable the accented letters and signs of the character table too.
QString DecodeEntities(const QString& s, bool useTable);
// "&", the double quote, "<" and ">" to entities (with useTable also the
// table's characters); DecodeEntities gives the text back.
QString EncodeEntities(const QString& s, bool useTable);
QString SpacesToNbsp(const QString& s);

// The attributes of a CONTROL tag, read from the tag's text after
// "<CONTROL": each the first double-quoted text after NAME=, found in an
// upper-cased copy. TYPE is upper-cased; VALUE and PROP are decoded.
struct TControlTag {
    QString Type, ID, Value, Width, Height, Prop, MaxLen;
};
TControlTag ParseControlTag(const QString& tagText);

bool HasControlTag(const QString& s);
// The ID of the first control after the one with `id` (or of all, for an
// empty id) that is not a button, check box or radio button; empty when none.
QString NextEditableControlID(const QString& s, const QString& id);
bool GetControlValue(const QString& s, const QString& id, QString& value);
QString GetControlProp(const QString& s, const QString& id);
int GetControlMaxLen(const QString& s, const QString& id);
// Rewrites the first control with that id with the new value; false and the
// text unchanged when there is none.
bool SetControlValue(QString& s, const QString& id, const QString& value);
// Every radio control's VALUE becomes "FALSE".
QString ClearRadioControls(const QString& s);

// ---------------------------------------------------------------------------
// The renderer
// ---------------------------------------------------------------------------

// Everything RenderHTML reads and writes, in one record so that callers name
// each value instead of counting positions.
struct THTMLRenderParams {
    // In.
    TCanvas* Canvas = nullptr;
    QString Text;
    TRect Rect;
    TImageList* Images = nullptr;       // for "IDX:" image sources
    int X = -1, Y = -1;                 // the point to test, canvas coordinates
    int FocusAnchor = -1;               // anchor number minus one that shows a focus rectangle
    int HoverAnchor = 0;                // anchor number under the pointer; 0 for none
    int ShadowOffset = 1;
    bool HitTest = false;               // the second pass measures; a control can be found by ID
    bool MeasureOnly = false;           // no second pass; every line laid out
    bool Printing = false;
    bool KeepColors = false;            // the mark-up's font colours and backgrounds are not applied
    bool BlinkVisible = true;
    bool HoverUnderlineOnly = false;
    bool WordWrap = true;               // off: a line is cut with an end ellipsis
    bool MouseDown = false;
    double PrintResolution = 1.0;
    TColor LinkColor = clBlue;
    TColor HoverColor = clNone;         // background of hot anchors
    TColor HoverFontColor = clNone;
    TColor ShadowColor = clGray;
    THTMLPictureCache* PictureCache = nullptr;
    TPictureContainer* Container = nullptr;
    void* WindowHandle = nullptr;       // the window whose visual style would draw controls
    int BiDiMode = 0;

    // Out.
    QString Anchor;                     // written only on a hit; "ctrl" for a control
    QString StrippedText;               // the runs' text, a CR for each line break
    QString FocusLink;
    QString Title;
    int Width = 0;                      // widest line
    int Height = 0;                     // sum of line heights; the height of "gh" when 0
    int AnchorCount = 0;
    int AnchorNumber = -1;              // anchor under the test point
    TRect AnchorRect;                   // written only on a hit
    TRect ControlRect;                  // the control hit; all 0 otherwise
    QString ControlID;                  // in (hit test): the ID to find; out: the control hit
    QString ControlValue;
    QString ControlType;
};

// Draws, measures or hit-tests p.Text in p.Rect of p.Canvas. True when the
// test point lies on an anchor's text, a control or a linked image; false in
// measure-only calls. The canvas's pen, brush and font come back as they were.
bool RenderHTML(THTMLRenderParams& p);

// Text-drawing flags for a bidirectional mode: right-to-left reading is never
// in force here, so the flags come back unchanged.
unsigned BiDiDrawFlags(unsigned flags, int mode);
// Windows 5.1 or later, remembered once.
bool DetectXPOrLater();
