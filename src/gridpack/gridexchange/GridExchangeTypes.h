#pragma once
// Event types of the string grid's file and stream exchange.
#include <QString>

#include <cstdint>
#include <functional>

class TObject;

// Progress of a file read or write in percent.
using TGridProgressEvent = std::function<void(TObject* Sender, int16_t Progress)>;
// A cell text on its way out of (save) or into (load) the grid; the handler
// may change it.
using TCellSaveLoadEvent = std::function<void(TObject* Sender, int ACol, int ARow, QString& Value)>;
