#pragma once
// The program's own named bitmaps and numbered cursors. Painting code asks
// for them by the names it knows ("SGCHK01", "LT_CHECK_LIGHT", cursor 8011);
// the pictures are drawn here, in code, so no resource file is needed.
#include "platform/graphics/Graphics.h"

#include <QCursor>
#include <QImage>
#include <QString>
#include <QStringList>

// The named bitmap (24-bit, bottom-left pixel the transparent colour where the
// picture is drawn transparently); a null image for an unknown name.
QImage ResourceImage(const QString& name);
bool HasResourceImage(const QString& name);
// Loads the named bitmap into `bmp`; false for an unknown name.
bool LoadResourceBitmap(TBitmap* bmp, const QString& name);
// As above, with the strip's grey shades mapped to the system colours as the
// platform's mapped loading does (black, grey, silver, white to BtnText,
// BtnShadow, BtnFace, BtnHighlight).
bool LoadMappedResourceBitmap(TBitmap* bmp, const QString& name);
QStringList ResourceImageNames();
// Adds or replaces a named bitmap (an application may bring its own).
void RegisterResourceImage(const QString& name, const QImage& image);

// Named raw resource data that the program's own code registers (pictures,
// cursors, texts), read back by name; names match across case. Pictures
// named "RES://NAME" come from here.
void RegisterResourceData(const QString& name, const QByteArray& data);
bool HasResourceData(const QString& name);
// The data (empty for an unknown name).
QByteArray ResourceData(const QString& name);
// Loads a picture named "RES://NAME" from the registry; raises
// EInvalidGraphic for an unknown name or data that is no picture.
void LoadResourcePicture(TPicture* picture, const QString& resName);

// Cursor numbers: the platform's standard ones are negative.
using TCursor = int;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSize = -22,
                  crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10,
                  crHourGlass = -11, crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15,
                  crMultiDrag = -16, crSQLWait = -17, crNo = -18, crAppStart = -19, crHelp = -20,
                  crHandPoint = -21, crSizeAll = -22;

// The cursor for a number: standard ones, the program's own 8000..8012 and
// 8014 (wheel panning, row/column sizing), or the tree's named ones through
// CursorByName. An unknown number gives the arrow.
QCursor CursorFor(TCursor id);
bool HasCursor(TCursor id);
QCursor CursorByName(const QString& name); // "LT_HEADERSPLIT", "LT_VERTSPLIT", "LT_MOVEALL" ...
void RegisterCursor(TCursor id, const QCursor& c);
// Gives number `id` the named cursor; the cursor itself is made when first
// asked for (so a program without a screen may register it).
void RegisterNamedCursor(TCursor id, const QString& name);
