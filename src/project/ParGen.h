#pragma once
// ParGen.xml, the general parameters of a project: the table of every key
// (name, group, encoding, default, the dialog control that shows it, the
// drop-down items), the groups and so the keys each model writes, reading one
// key the way every reader of the file reads it, and the values of one model
// as the general-parameters dialog edits and writes them.
//
// The general-parameters dialog, its checks, the image builders, the GSDML
// writer and the editors that read ParGen.xml all name keys through this
// table; a name that is not in it is a programming error
// (Require_ParGen_Key raises), never a silent fall-back to a default.
#include <QList>
#include <QString>
#include <QStringList>

class XmlDocument;
class XmlNode;

// How a value is kept in the file.
enum class TParEncoding {
    Index, // item index of a drop-down list from 0; -1 for no selection
    Text,  // the edit's text as it stands
    Flag,  // "1" ticked, anything else unticked
    Fixed  // a fixed value: the file's text is never used
};

// The groups of keys; a model writes the KNX group and then its own groups,
// always in this order.
enum class TParGroup {
    KNX,           // every model
    KNX_Interface, // 14, 1014: tunnelling and management
    KNX_Delay,     // 12, 1012: delay between packets
    Modbus_Master,
    Modbus_Slave,
    Modbus_TCP_Master,
    Modbus_TCP_Slave, // model 4 only: port and diagnostic, before the Ethernet keys
    Ethernet,         // the gateway's own address, keys "Modbus_TCP_Slave_..."
    CAN,
    CANopen,
    DNet_Master,
    DNet_Slave,
    J1939,
    MBus,
    DMX,
    PROFINET,      // 12, 1012 and 15 (SNMP): address and station name
    PROFINET_Only, // 12, 1012: port and byte counts
    EtherNetIP,
};

struct TParKey {
    const char* Name;
    TParGroup Group;
    TParEncoding Encoding;
    const char* Default; // text; the item index as text for Index keys
    const char* Control; // the dialog control that shows the value
    QStringList Items;   // the list's items (Index keys)
};

// The 112 keys in write order.
const QList<TParKey>& ParGen_Keys();
// The row of a key; nullptr when no key has this name.
const TParKey* Find_ParGen_Key(const QString& name);
// The two M-Bus presence lists, which the dialog's layout and checks read.
inline const QString ParGen_Wire_Present = QStringLiteral("MBus_Options_Wire_Present");
inline const QString ParGen_Wireless_Present = QStringLiteral("MBus_Options_Wireless_Present");

// The row of a key that the caller names in its code: a name that is not a
// key raises EInvalidOperation, so a misspelt key fails at its first use
// instead of reading as its default.
const TParKey& Require_ParGen_Key(const QString& name);
// The default of a key as the file holds it ("1.1.200", "5", "0"); an empty
// text for a name that is not a key.
QString ParGen_Default(const QString& name);
// The default of a key as an integer (the item index of an Index key, 0/1 of
// a Flag, the converted text otherwise; -1 when not a number or not a key).
int ParGen_Default_Int(const QString& name);
// The groups a model writes, in order.
QList<TParGroup> ParGen_Groups(int modelCode);
// The base codes the group table has rows for, in its order.
QList<int> ParGen_Group_Codes();
// The keys a model writes, in write order (16 to 23 of them).
QStringList ParGen_Model_Keys(int modelCode);

// Reads one key from the root of a loaded ParGen.xml as the file's readers
// take it: the element's text converted by the key's encoding, the default
// when the element is missing or (Index keys) not an integer. An Index beyond
// the key's list reads as -1 (no selection).
QString ParGen_Read_Value(const XmlNode& root, const TParKey& key);

// The values of one model's keys, as the general-parameters dialog shows them.
// Every value is held as the file writes it: Index keys as the decimal item
// index ("-1" for no selection), Flag keys "1"/"0", Text keys as typed.
class TParGenValues {
public:
    // The model's keys with their defaults (the model of Model_Code).
    TParGenValues();
    explicit TParGenValues(int modelCode);

    int ModelCode() const { return FModel; }
    const QStringList& Keys() const { return FKeys; }
    bool Has(const QString& key) const { return FKeys.contains(key); }

    // Every key back to its default.
    void Load_Defaults();
    // Reads the file: a missing file gives the defaults; a file that is not
    // well-formed raises EXmlError naming the file, one that cannot be read
    // (a folder, a link to nothing) ETableFileError with the reason, and no
    // value changes.
    void Read_File(const QString& path);
    // Reads the keys from a loaded document (its document element is the root).
    void Read_Document(const XmlDocument& doc);
    // Builds the document: root "Par_Gen", one element per key in write
    // order, the version comment after the root.
    void Build_Document(XmlDocument& doc) const;
    // Writes the file whole; a failure raises and leaves the old file.
    void Write_File(const QString& path) const;

    // A value as held ("" for a key the model does not write).
    QString Value(const QString& key) const;
    // Sets a value; Fixed keys keep their fixed value, Flag keys hold "1" only
    // for "1", Index keys outside the list become "-1". Keys the model does not
    // write are ignored.
    void Set_Value(const QString& key, const QString& value);
    // The item index of an Index key (-1 for no selection).
    int Index(const QString& key) const;
    void Set_Index(const QString& key, int index);
    // The state of a Flag key.
    bool Flag(const QString& key) const;
    void Set_Flag(const QString& key, bool ticked);

private:
    int FModel;
    QStringList FKeys;
    QStringList FValues; // parallel to FKeys
};

