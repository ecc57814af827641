#pragma once
// The look every dialog of the program shares: the background colour, Verdana
// type, the white title band with the software code, and the bottom band of
// push buttons.
#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"

#include <QString>

class TLabel;
class TPanel;
class TLbButton;

// Background red 248, green 247, blue 237.
inline constexpr TColor Dialog_Color = 15595512;
inline constexpr TColor Title_Grey = clGray;

// Fixed single border, the dialog colour, Verdana 11 pixels high, centred.
void Apply_Dialog_Look(TCustomForm* form);
TLabel* Make_Label(TCustomForm* form, TWinControl* parent, int left, int top, const QString& caption = QString());
// A push button of the dialogs' bottom band (style bsEncarta).
TLbButton* Make_Button(TCustomForm* form, TWinControl* parent, int left, int top, int width, int height);
// The software code in large grey type over a one-line description.
void Style_Code_Label(TLabel* code);
void Style_Grey_Bold(TLabel* label);
// The software code in 20-point bold grey Verdana, as the update wizard and
// the parameter dialog show it.
void Style_Bold_Code_Label(TLabel* code);
// A band across the dialog, docked at align, without bevel or caption, in a
// colour of its own.
TPanel* Make_Band(TCustomForm* form, TAlign align, int height, TColor color);
// The title band (69 pixels, top) with the code and description labels.
TPanel* Make_Title_Band(TCustomForm* form, TLabel*& L_SW_Code, TLabel*& L_SW_Desc);
// The bottom band of push buttons (40 pixels).
TPanel* Make_Button_Band(TCustomForm* form);
// Orders the tab stops of `parent` and of every container inside it as a
// person reads the dialog: row by row from the top (controls whose tops lie
// within a few pixels share a row), left to right along a row.
void Tab_Order_By_Place(TWinControl* parent);
// Moves a control left as far as needed to keep it inside the client width
// (a web address longer than its designed place would be cut at the edge).
void Keep_Inside(TControl* c, int clientWidth, int margin = 8);
