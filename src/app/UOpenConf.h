#pragma once
// The open-project dialog: the folders of PROJECTS listed, the open project
// preselected, and the chosen name handed to the main window.
#include <QString>
#include <QStringList>

// The names of the project folders of `dirProjects` ("." and ".." and files
// left out), ordered by name ignoring letter case as the user finds them.
// Empty when the folder cannot be listed.
QStringList Load_Existing_Configuration(const QString& dirProjects);
// The position of `name` in `SL` ignoring the case of a to z; -1 when absent.
int Search_Open_Conf(const QStringList& SL, const QString& name);
// The open project's name as its folder names it; empty when none is open.
QString Open_Conf_Name();
// The entry to preselect when the list shows: the open project, else the
// first entry; -1 for an empty list. `Name_Conf` takes the entry's text, and
// keeps its value when nothing is selected.
int Preselect_Conf(const QStringList& SL, QString& Name_Conf);
