#pragma once
// The settings file Kalmetor.xml beside the program: the last project, the
// last gateway address, the language and the two internet switches, kept from
// one run to the next.
//
//   <Conf_Settings>
//     <lastproj><projectname>..</projectname></lastproj>
//     <lastipadd><ipaddress>..</ipaddress></lastipadd>
//     <lastlang><language>..</language></lastlang>
//     <lastinternet><enable_internet>1|0</enable_internet>
//                   <enable_update>1|0</enable_update></lastinternet>
//   </Conf_Settings>
#include <QByteArray>
#include <QString>

inline const QString Settings_File_Name = QStringLiteral("Kalmetor.xml");
inline const QString Default_IP_Address = QStringLiteral("192.168.2.205");
inline const QString Default_Language = QStringLiteral("English");

// Dir_Program/Kalmetor.xml.
QString Settings_File();

// Reads the settings into Name_Project, Last_IP_Address, Language,
// Enable_Internet and Enable_Update. Every value falls back to its default on
// its own: a missing file, a file that is not well-formed XML, a missing group
// or value. A project name that is not a plain folder name counts as none.
// A flag is set only by the exact text "1". Dir_Project is emptied.
void Read_Settings(const QString& path);
// The same from the file's bytes.
void Read_Settings_Bytes(const QByteArray& bytes);

// The file's content for the five values: the root first, no declaration,
// no indentation, UTF-8.
QByteArray Settings_Bytes();
// Rewrites the whole file from the five values; a file that cannot be written
// raises (EFCreateError / EWriteError) and the old file stays as it was.
void Save_Setting(const QString& path);
