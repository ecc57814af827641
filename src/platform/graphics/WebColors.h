#pragma once
// Web colour names.
#include "platform/graphics/Graphics.h"

#include <QString>

// The web name of a colour (system colours resolved first): the standard
// web colour's name when one has the value, else its "#RRGGBB" notation.
QString ColorToWebName(TColor c);
