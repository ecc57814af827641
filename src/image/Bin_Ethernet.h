#pragma once
// Device images of the gateways whose field side is Ethernet: PROFINET slave
// (12, 1012), EtherNet/IP (13), SNMP (15), with the KNX table and the general
// block, and the Ethernet / KNX interface (14, 1014), whose image is the
// general block alone.
#include "image/ImageBuild.h"

#include <QByteArray>
#include <QString>

// The station name as the gateway stores it: one byte per character, the low
// byte of its code unit.
QByteArray Station_Name_Bytes(const QString& name);

void Load_Par_Gen_PROFINET(TImageBuild& build);
void Load_Par_Gen_EtherNetIP(TImageBuild& build);
void Load_Par_Gen_KNXIP(TImageBuild& build);
void Load_Par_Gen_SNMP(TImageBuild& build);

// KNX table at 0, general block at 20480: 22528 bytes.
void Build_Bin_PROFINET(TImageBuild& build);
void Build_Bin_EtherNetIP(TImageBuild& build);
void Build_Bin_SNMP(TImageBuild& build);
// The general block alone: 2048 bytes.
void Build_Bin_KNXIP(TImageBuild& build);
