#pragma once
// What the CAN receive and transmit frame editors share: the row buttons
// with copy and paste, the header hints, the byte columns ("None" or a
// position 0 .. MAX_Byte - 1 of the KNX byte array) and the frame checks.
//
// A table ends at the first CobID that is empty after trimming; rows whose
// Enable, trimmed and upper-cased, is not "Y" are kept unchecked. The CobID
// is an 11-bit identifier (0..2047) unless the Type, trimmed, is exactly
// "2.0B (29 bits)" (0..536870911): the image builder reads the Type the same
// way, so a row is never checked in one range and built in the other. Only
// bytes 1 to the Dimension are checked; the others are written as they are.
#include "editors/UMapEditor.h"

#include <QStringList>

#include <cstdint>

// The texts and columns that tell the two editors apart.
struct TCANFramesInfo {
    const TMapEditorInfo* Base;
    int Copy_Caption, Paste_Caption;
    int Button_Hints[6];                  // OK, Cancel, Delete, Insert, Copy, Paste
    std::span<const int> Header_Hints;    // columns 1 .. last
    int First_Byte;                       // the Byte1 column
    // Messages: both CobID ranges, Dimension, Byte1, " or None", Byte2 (the
    // others follow Byte2).
    int CobID_11, CobID_29, Dimension, Byte1, Or_None, Byte2;
};

namespace CANRules {
// The failing CobID text, or 0.
int Check_CobID(const QString& cobId, const QString& type, int text11, int text29);
bool Dimension_Ok(const QString& dim);
// A byte cell passes when, trimmed, it is empty or exactly "None", or it
// names a position 0 .. maxByte - 1.
bool Byte_Ok(const QString& cell, int maxByte);
} // namespace CANRules

class TFCANFrames : public TFMapEditor {
    KAL_CLASS(TFCANFrames, TFMapEditor)
public:
    TFCANFrames(TComponent* AOwner, const TCANFramesInfo& info);

    TLbButton* Btn_CopyRow = nullptr;
    TLbButton* Btn_PasteRow = nullptr;
    // Positions a data byte may name; 1439 on every showing.
    int32_t MAX_Byte = 1439;
    // A row was copied in this showing.
    bool Do_Copy = false;

    const TCANFramesInfo& Frames_Info() const { return FFrames; }
    void Set_Lang() override;
    void Btn_CopyRowClick(TObject* Sender);
    void Btn_PasteRowClick(TObject* Sender);
    // The header row's hint of a column, no hint for any other cell.
    void GridHint(TObject* Sender, int ARow, int ACol, QString& hintstr);
    void DblClickCell(TObject*, int, int) {}
    void KeyPress(TObject*, QChar&) {}
    bool Key_Trimmed() const override { return true; }
    bool Writes_Version() const override { return Model_Is_CAN(); }
    void Reset_Rows() override;
    void Load_File() override;

protected:
    QStringList& Hints() { return FHints; }
    void Reset_Limits() override;
    // The frame rules around the member's own: CobID, Dimension, the
    // member's rule (`Check_Timing`), then the bytes.
    bool Check_Frames();
    virtual int Check_Timing(int row) const = 0;

private:
    static bool Model_Is_CAN();
    void Fill_Hints();

    const TCANFramesInfo& FFrames;
    QStringList FHints;
};
