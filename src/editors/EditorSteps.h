#pragma once
// Connects the mapping editors the main block created to the main window:
// the steps that show them and the language change that re-texts them.
void Register_Editor_Steps();
