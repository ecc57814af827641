#pragma once
// The registry's stand-in: each registry key is an INI file under
// $XDG_CONFIG_HOME/<program>/registry/ ($HOME/.config when the variable is
// unset), the key's path parts ("Software\Firm\Grid") becoming folders and
// the last part the file name ("Software/Firm/Grid.ini"). The names below the
// key are the sections of that file. A key with an empty, "." or ".." part,
// or an absolute one (a leading separator or a drive), is refused.
#include "platform/core/Exceptions.h"
#include "platform/core/IniFiles.h"

// The INI file that holds the key; raises EIniFileException
// "Invalid registry key <key>" for a key that could leave the folder.
QString RegistryIniPath(const QString& Key);

class TRegistryIniFile : public TMemIniFile {
    KAL_CLASS(TRegistryIniFile, TMemIniFile)
public:
    // Reads the key's file when it exists. UpdateFile writes it whole,
    // making its folders first.
    explicit TRegistryIniFile(const QString& Key);
    void UpdateFile() override;
};
