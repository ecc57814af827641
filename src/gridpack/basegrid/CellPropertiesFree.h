#pragma once
// Freeing a cell's properties object the way the grid owns it: with the cell
// graphic the grid made for the cell (a "TCellGraphic" object); any other
// graphic belongs to whoever set it. Every place that frees properties
// objects (the grid's cells, hidden rows) goes through it.
class TCellProperties;

void FreeCellPropertiesWithGraphic(TCellProperties* p);
