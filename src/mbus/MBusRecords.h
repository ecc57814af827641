#pragma once
// What a scan of an M-Bus network finds: one device record per meter (wired
// or wireless) with the data records decoded from its answers, the two
// process-wide lists that hold them, and the small conversions that turn raw
// header fields into texts (medium, manufacturer, BCD numbers, two digits).
//
// The records are plain data. A device owns its data records and frees them
// with itself. The lists own nothing: whoever removes a device frees it.
#include <QList>
#include <QString>

#include <array>
#include <cstdint>
#include <mutex>

// The place a record or device takes in a scan window's tree. The scan window
// hands one out when it shows the record; the writers of the network file ask
// it whether the user ticked the record. A record not shown has none.
class TMBusTreeNode {
public:
    virtual ~TMBusTreeNode() = default;
    virtual bool Checked() const = 0;
};

// One data record of a meter's answer.
class TVariable_MBus {
public:
    int32_t dato_A = 0;          // data bytes 0..3, little-endian
    int32_t dato_B = 0;          // data bytes 4..7, little-endian
    uint8_t dimension = 0;       // data field code of the DIF (DIF and 0Fh)
    uint16_t function_fild = 0;  // 0 instantaneous, 1 maximum, 2 minimum, 3 value during error state
    int64_t storage_number = 0;
    uint16_t tarif = 0;
    uint16_t device = 0;         // subunit
    uint16_t type_data = 0;      // the network file's Type code; 65535 when the VIF has no kind
    uint16_t scale = 0;          // not filled by the decoder
    bool errata = false;         // decoding the record failed; the reason is in sterror
    QString sterror;
    int32_t nbyte = 0;           // data length in bytes
    QString descdim;             // text of the data size
    int32_t numdife = 0;
    int32_t numvife = 0;         // not counted by the decoder
    int32_t vifvalue = -1;       // the primary VIF, or for the extension tables the first VIFE
    int32_t PrinVIFE = 0;        // the first VIFE byte
    uint8_t casovif = 0;         // 0 plain VIF, 1 table FDh, 2 table FBh, 100 manufacturer VIF, 101 plain-text VIF
    int32_t numdato = 0;         // not filled
    uint8_t VIF = 0;             // the VIF byte as received
    QString VIFE;                // "$hh " per VIFE
    QString DIF;                 // "$hh"
    QString DIFE;                // "$hh " per DIFE
    QString totdati;             // the data bytes as hex pairs, in received order
    QString VIF_ASCII;           // unit text of a plain-text VIF
    QString Description;         // not filled by the scanner
    QString datagiorno;          // date of decoding (short date format)
    QString tempo;               // time of decoding (long time format)
    QString icon;                // not filled
    int32_t Type_Data_Vife = 0;  // the network file's VIFE code (up to 151); 0 when none
    QString Desc_Type_Data;      // text of the VIF and its extensions
    QString ValueStr;
    QString FunctionFieldStr;
    QString DataFieldStr;
    bool Enable = true;          // selected for the network file
    bool Real_Wireless_Var = false; // false for the placeholder of a wireless idle filler
    TMBusTreeNode* Node = nullptr;
};

// One wired meter.
class TSlave_MBus {
public:
    TSlave_MBus() = default;
    // Frees the data records, the last first.
    ~TSlave_MBus();
    TSlave_MBus(const TSlave_MBus&) = delete;
    TSlave_MBus& operator=(const TSlave_MBus&) = delete;

    uint16_t Primary_Addresss = 0;
    QString Secondary_Addresss;  // the identification number in hexadecimal (its BCD digits read as decimal)
    int32_t Manufacture = 0;
    int32_t Version = 0;
    int32_t Medium = 0;
    int32_t Status = 0;
    QString descManufacture;
    QString descmedium;
    QString description;         // not filled
    QList<TVariable_MBus*> List_Var; // owned, in decoding order
    TMBusTreeNode* Node = nullptr;

    // Frees the records, the last first, then the device itself.
    void Destry();
};

// One wireless meter.
class TSlave_wMBus {
public:
    TSlave_wMBus() = default;
    ~TSlave_wMBus();
    TSlave_wMBus(const TSlave_wMBus&) = delete;
    TSlave_wMBus& operator=(const TSlave_wMBus&) = delete;

    uint8_t Message_Type = 0;    // C field of the first telegram heard
    uint16_t LLA_Manufacturer = 0;
    QString LLA_Manu_str;
    int32_t LLA_Address = 0;
    uint8_t LLA_Version = 0;
    uint8_t LLA_DeviceType = 0;
    uint16_t ALA_Manufacturer = 0;
    QString ALA_Manu_str;
    int32_t ALA_Address = 0;
    uint8_t ALA_Version = 0;
    uint8_t ALA_DeviceType = 0;
    int8_t RSSI = 0;             // dBm of the first telegram
    double DateTime = 0;         // arrival of the last decoded telegram
    bool Cripted = false;        // the last telegram's data could not be read
    bool Enable = true;
    bool Enable_Key = false;
    std::array<uint8_t, 16> Key{};
    int32_t RadioCrafts_Ind_Tab_Decript = 0;
    QList<TVariable_MBus*> List_Var; // the records of the last decoded telegram; owned
    TMBusTreeNode* Node = nullptr;

    // Frees every record, the last first, and empties the list.
    void Cancel_Var();
    // Cancel_Var, then frees the device itself.
    void Destry();
};

// A list of devices shared by the scan thread, the radio listener and the
// window: every use holds its lock, so no thread reads it while another
// changes it. The lock may be taken again by the thread that holds it.
template <class T>
class TMBusSlaveList {
public:
    class TLocked {
    public:
        explicit TLocked(TMBusSlaveList& owner) : FGuard(owner.FLock), FList(owner.FItems) {}
        QList<T*>& operator*() const { return FList; }
        QList<T*>* operator->() const { return &FList; }

    private:
        std::unique_lock<std::recursive_mutex> FGuard;
        QList<T*>& FList;
    };

    TLocked Lock() { return TLocked(*this); }
    int Count()
    {
        std::lock_guard<std::recursive_mutex> g(FLock);
        return int(FItems.size());
    }
    void Add(T* device)
    {
        std::lock_guard<std::recursive_mutex> g(FLock);
        FItems.append(device);
    }
    // Frees every device (with its records) and empties the list.
    void Free_All()
    {
        std::lock_guard<std::recursive_mutex> g(FLock);
        for (qsizetype i = FItems.size() - 1; i >= 0; --i)
            FItems[i]->Destry();
        FItems.clear();
    }

private:
    std::recursive_mutex FLock;
    QList<T*> FItems;
};

// The wired and wireless devices of the current scan, in the order found.
// An index into List_Slaves_wMBus is a wireless device's identity in the
// scan window (grid row = index + 1).
extern TMBusSlaveList<TSlave_MBus> List_Slaves_MBus;
extern TMBusSlaveList<TSlave_wMBus> List_Slaves_wMBus;

// ---------------------------------------------------------------------------
// Header texts and number conversions

// The medium (device type) byte as text; "Other" for codes without a name.
QString Medium_Text(int code);
// "A".."Z" for character codes 65..90, else "?".
QString Manufacturer_Letter(int code);
// The three letters packed five bits each in the 15 low bits (first letter in
// bits 14..10), each 64 + its value.
QString Manufacturer_Text(uint16_t field);
// 10 to the power n (n >= 0); wraps silently beyond 10^19, as 64-bit unsigned
// arithmetic does.
int64_t Power_Of_Ten(int n);
// The BCD number in the first n bytes of data (byte 0 the two lowest digits).
// A high nibble Fh in the last byte is a minus sign; nibbles Ah..Eh count with
// their value.
int64_t Bcd_Value(const uint8_t* data, int n);
// The decimal text, "0" in front when it is one character long.
QString Two_Digits(int value);
