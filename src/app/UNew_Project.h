#pragma once
// The new-project dialog: a name typed by the user becomes a folder under
// PROJECTS with its "bin" folder, and that folder the open project.
#include <QString>

// Creates the project `name` (taken as typed) and makes it the open one:
// Name_Project, Dir_Project and the 17 file paths are set. Answers 0 on
// success, else the number of the text to show: 32 for an empty name, 30 for
// a name that cannot be a folder of its own inside PROJECTS (only blanks, a
// "/" or "\", a control character, "." or "..") or a folder that cannot be
// created, 31 when the folder already exists. Nothing is created on a refusal,
// and no project file is written.
int Create_Project_Folder(const QString& name);
