#pragma once
// Device image of the DMX / KNX gateway (11, 1011): KNX table, general block
// and the 512 channel values the DMX side starts with, read from
// DMX_Default_Values.xml.
#include "image/ImageBuild.h"

#include <array>
#include <cstdint>

class TBinBuffer;

struct TDMX_Channel_Defaults {
    static constexpr int Channels = 512;
    // Channel 1 first.
    std::array<uint8_t, Channels> Value{};
};

// Constants, then the KNX, DMX and Ethernet keys of ParGen.xml; the direction
// gives the channel count to DMX_In_Channels ("IN", 0) or DMX_Out_Channels.
void Load_Par_Gen_DMX(TImageBuild& build);
// Every channel from 0, then the Default_Value of the first 512 rows; a value
// that is missing or not a number gives 0. Nothing of an earlier build stays.
void Load_DMX_Default_Values(TImageBuild& build, TDMX_Channel_Defaults& defaults);
// Writes the 512 values at `position`; returns position + 512.
int Save_DMX_Default_Values(const TDMX_Channel_Defaults& defaults, int position, TBinBuffer& buffer);

// KNX table at 0, general block at 20480, channel values at 22528: 23040 bytes.
void Build_Bin_DMX(TImageBuild& build);
