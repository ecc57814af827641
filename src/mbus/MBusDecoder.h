#pragma once
// The data record decoder: walks the variable data structure of an M-Bus
// answer (a run of records, each a DIF, up to ten DIFEs, a VIF, up to ten
// VIFEs and the data) and turns every record into a TVariable_MBus with its
// storage number, tariff, subunit, function, data size, scaled value, the
// texts of its VIF and VIFEs and the two codes the network file keeps (the
// kind of data and the VIF extension).
//
// The walk is a plain function over bytes. Its buffers belong to the one
// call, so the scan thread and the radio listener may decode at the same time.
//
// The walk never reads past the bytes it is given nor past its slots. A
// record that runs past the end (a header cut off, data or text longer than
// what is left), that has more than ten DIFEs or VIFEs, or a plain-text unit
// longer than 192 characters ends the walk: that record is not kept, the
// ones before it are, and the result names the record's offset. Every step
// moves forward, so a walk always ends.
#include "mbus/MBusRecords.h"
#include "mbus/MBusVifTables.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <cstdint>

// How an idle filler (DIF 2Fh) is kept: a wireless walk keeps a placeholder
// record for each, a wired walk nothing.
enum TMBusType { mtWired, mtWireless };

// The data and VIFE bytes of the record being decoded.
struct TMBusRecordBytes {
    uint8_t App_Data_Val[256] = {};
    uint8_t App_Vife_Val[10] = {};
};

struct TMBusWalkResult {
    // False when a DIF 1Fh announced more records in a next answer.
    bool Complete = true;
    // The walk stopped at a record it could not take; Stop_Offset is the
    // offset of that record's DIF and Stop_Reason says why ("Errore tipo di
    // dati non analizzabili", "Non analizabile", or what was malformed).
    bool Stopped = false;
    int Stop_Offset = -1;
    QString Stop_Reason;
    // Records appended to the list by this walk.
    int Kept = 0;
};

// Walks all of `bytes`, appending one record per decoded data record to
// `list` (which owns them from then on).
TMBusWalkResult Decode_Data_Records(QByteArrayView bytes, TMBusType mode, QList<TVariable_MBus*>& list);

// The scan engine's form: walks source[0] .. source[last] (last = record bytes
// minus 1; a `last` beyond the source is cut to it). True, or false when a DIF
// 1Fh announced more records.
bool Parse_Data_Records(QList<TVariable_MBus*>& list, int last, QByteArrayView source, TMBusType mode);

// Fills type_data, Type_Data_Vife, Desc_Type_Data and ValueStr of a record
// from its data and VIFE bytes. `lvar` is the length byte of a
// variable-length record, `dataField` the DIF's data field code.
void Decode_Record_Value(uint8_t vif, uint8_t firstVife, TVariable_MBus& record, int nbyte, uint8_t lvar,
                         uint8_t dataField, const TMBusRecordBytes& bytes);

// ---------------------------------------------------------------------------
// Single steps of the value, for those who need one answer.

// The exponent the VIF (and for FDh/FBh its first VIFE) gives the value.
int Value_Exponent(uint8_t vif, uint8_t firstVife);
// The value of a record's data as the decoder reads it (before the exponent).
// `data` holds at least the bytes the data field and lvar name.
long double Raw_Record_Value(uint8_t dataField, uint8_t lvar, const uint8_t* data);
// value x 10^exponent, in extended precision.
long double Scale_Value(long double value, int exponent);
