#pragma once
// The DeviceNet offsets editor (model 7): for every input and output byte of
// every slave of DNETM_Net.xml its position in the KNX byte array ("None":
// not passed on) and a mnemonic, in DNETM_DefOff.xml. The n-th "Nodo_DNET"
// of the file belongs to the n-th slave of the network file: offsets follow
// the slave's place in the list, never its ID.
//
// The slave list only chooses the slave whose bytes the two byte grids show;
// the grids are the working copy of that slave's record and go back into it
// when another slave is chosen and at OK. No two output bytes may share a
// position; input bytes may.
#include "editors/UMapEditor.h"

#include <QList>
#include <QStringList>

#include <cstdint>
#include <memory>

class TPageControl;
class TSplitter;
class TTabSheet;

// One slave of the network and its bytes.
class TSlave_DN {
public:
    TSlave_DN() = default;
    uint8_t ID = 0;
    uint16_t ByteIN = 0;
    uint16_t ByteOUT = 0;
    QStringList SL_ByteIN, SL_ByteIN_M;   // position and mnemonic of each input byte
    QStringList SL_ByteOUT, SL_ByteOUT_M; // and of each output byte
};

// Columns of the slave list, and of both byte grids.
enum TDNSlaveCol { DS_ID, DS_NB_IN, DS_NB_OUT, DS_Mnemonic, DS_Count };
enum TDNByteCol { DB_Byte, DB_Offset, DB_Mnemonic, DB_Count };
extern const TMapColumn DN_Slave_Columns[DS_Count];
extern const TMapEditorInfo Def_Offset_Info;

class TFDefOffset : public TFMapEditor {
    KAL_CLASS(TFDefOffset, TFMapEditor)
public:
    explicit TFDefOffset(TComponent* AOwner);
    ~TFDefOffset() override;
    void AfterConstruction() override;

    TPanel* Panel1 = nullptr;
    TPanel* Panel3 = nullptr;
    TSplitter* Splitter1 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TLabel* Label3 = nullptr;
    TPageControl* PageControl1 = nullptr;
    TTabSheet* TabSheet1 = nullptr;
    TTabSheet* TabSheet2 = nullptr;
    TExColumnGrid* ACG_DN_Slaves = nullptr;
    TExColumnGrid* ACG_ByteIN = nullptr;
    TExColumnGrid* ACG_ByteOUT = nullptr;

    std::vector<std::unique_ptr<TSlave_DN>> List_Slaves_DN;
    int Slave_Before_Select = -1;
    int32_t MAX_BYTE_IN = 1439;
    int32_t MAX_BYTE_OUT = 1439;
    // Who took each output position first: (slave ID, byte), (-1, -1) free.
    struct TByteUser {
        int ID = -1;
        int Byte = -1;
    };
    TByteUser Check_Byte_Offset[1439];

    void Set_Lang() override;
    void Load_Slave_DN();
    void Load_Offset_Slave_DN();
    void Select_First();
    void ACG_DN_SlavesClick(TObject* Sender);
    void Update_Slave_DN();
    bool Save_Data_ByteIN_ByteOUT();
    void Reset_Array_Check();
    bool Check_Data();
    void Save_Offset_Slave_DN();
    bool Controllo_Dati() override { return Save_Data_ByteIN_ByteOUT() && Check_Data(); }
    void bitbtn1Click(TObject* Sender) { Btn_OKClick(Sender); }

    // The showing's first steps: the records freed, the limits and the
    // position lists set, no slave shown.
    void Reset_Rows() override;
    // Both files read, the first slave shown.
    void Load_File() override;
    void Write_File() override { Save_Offset_Slave_DN(); }
    bool Writes_Version() const override;

private:
    void Fill_Byte_Grid(TExColumnGrid* grid, const QStringList& offsets, const QStringList& mnemonics);
    static void Store_Byte_Grid(TExColumnGrid* grid, QStringList& offsets, QStringList& mnemonics);
};

extern TFDefOffset* FDefOffset;
