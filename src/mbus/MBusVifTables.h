#pragma once
// The VIF tables of the data record decoder (EN 13757-3 layout, this
// program's texts and numbering): the primary VIF, the extension tables
// introduced by FDh and FBh, and the combinable VIFEs, each answered for the
// byte's low seven bits.
#include <QString>

#include <cstdint>

// The kind of data of a VIF that has none.
inline constexpr uint16_t MBus_No_Type = 65535;

struct TVifEntry {
    // Primary table: the kind of data, the network file's Type (MBus_No_Type:
    // none). Extension tables: the network file's VIFE code (0: none).
    uint16_t Code = 0;
    int Exponent = 0; // power of ten applied to the value; 0 when the entry has none
    QString Text;
};

// Primary VIF (6Ch/6Dh give no text here: theirs follows the data field).
const TVifEntry& Primary_Vif(uint8_t vif);
// The tables introduced by FDh and FBh, by the first VIFE; bytes without an
// entry are "Reserved" with no code.
const TVifEntry& Vif_Table_FD(uint8_t vife);
const TVifEntry& Vif_Table_FB(uint8_t vife);

struct TVifeEntry {
    uint16_t Code = 0;  // 0: the record keeps the code it has
    bool Date = false;  // the value text becomes a type G or F date
    bool Phase = false; // 7Ch: the next VIFE names a phase
    QString Text;       // appended to the description
};

// A combinable VIFE; unknown ones append " - Reserved".
const TVifeEntry& Combinable_Vife(uint8_t vife);
// The phase text of the VIFE after 7Ch; empty for values without one.
const QString& Phase_Text(uint8_t vife);
