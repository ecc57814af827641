#include "image/UProfinetXML.h"

#include "project/Models.h"
#include "project/OpenProject.h"
#include "project/ParGen.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "platform/core/IntConv.h"
#include "platform/core/StrUtils.h"
#include "platform/xml/XmlDoc.h"

#include <QFileInfo>

const QString GSDML_Vendor_ID = QStringLiteral("0x0000");
const QString GSDML_Device_ID = QStringLiteral("0x0000");

TGSDMLDialogs GSDML_Dialogs;
int32_t PROFINET_Size_In = 0;
int32_t PROFINET_Size_Out = 0;

namespace {

constexpr int Partner_PROFINET_Model = 1012;

bool Is_PROFINET_Model(int modelCode)
{
    return modelCode == 12 || modelCode == Partner_PROFINET_Model;
}

// ---------------------------------------------------------------------------
// Template

class TLines {
public:
    QStringList Lines;
    // One line indented by `depth` tabs; %1.. in `text` take `args`.
    template <typename... A>
    void operator()(int depth, const char* text, const A&... args)
    {
        QString s = QString::fromLatin1(text);
        if constexpr (sizeof...(A) > 0)
            s = s.arg(args...);
        Lines.append(QString(depth, QLatin1Char('\t')) + s);
    }
};

void Profile_Header(TLines& L)
{
    L(1, "<ProfileHeader>");
    L(2, "<ProfileIdentification>PROFINET Device Profile</ProfileIdentification>");
    L(2, "<ProfileRevision>1.00</ProfileRevision>");
    L(2, "<ProfileName>Device Profile for PROFINET Devices</ProfileName>");
    L(2, "<ProfileSource>PROFIBUS Nutzerorganisation e. V. (PNO)</ProfileSource>");
    L(2, "<ProfileClassID>Device</ProfileClassID>");
    L(2, "<ISO15745Reference>");
    L(3, "<ISO15745Part>4</ISO15745Part>");
    L(3, "<ISO15745Edition>1</ISO15745Edition>");
    L(3, "<ProfileTechnology>GSDML</ProfileTechnology>");
    L(2, "</ISO15745Reference>");
    L(1, "</ProfileHeader>");
}

void Device_Identity(TLines& L, const QString& vendor)
{
    L(2, R"(<DeviceIdentity VendorID="%1" DeviceID="%2">)", GSDML_Vendor_ID, GSDML_Device_ID);
    L(3, R"(<InfoText TextId="IDT_INFO_Device"/>)");
    L(3, R"(<VendorName Value="%1"/>)", vendor);
    L(2, "</DeviceIdentity>");
    L(2, "<DeviceFunction>");
    L(3, R"(<Family MainFamily="Gateway" ProductFamily="GW31A12"/>)");
    L(2, "</DeviceFunction>");
}

void Device_Access_Point_List(TLines& L, const QString& vendor)
{
    L(3, "<DeviceAccessPointList>");
    L(4, R"(<DeviceAccessPointItem PNIO_Version="V2.3" RequiredSchemaVersion="V2.25" ID="IDD_1" )"
         R"(PhysicalSlots="0..4" ModuleIdentNumber="0x00000001" MinDeviceInterval="64" )"
         R"(ImplementationType="SERIAL" DNS_CompatibleName="SERIAL" FixedInSlots="0" )"
         R"(ObjectUUID_LocalIndex="1" MultipleWriteSupported="true" MaxSupportedRecordSize="8192" )"
         R"(ParameterizationSpeedupSupported="true" PowerOnToCommReady="350" DeviceAccessSupported="true" )"
         R"(SharedDeviceSupported="true" CheckDeviceID_Allowed="false" NameOfStationNotTransferable="true">)");
    L(5, "<ModuleInfo>");
    L(6, R"(<Name TextId="IDT_NAME_DAP1"/>)");
    L(6, R"(<InfoText TextId="IDT_INFO_DAP1"/>)");
    L(6, R"(<VendorName Value="%1"/>)", vendor);
    L(6, R"(<OrderNumber Value="GW31A12-A1"/>)");
    L(5, "</ModuleInfo>");
    L(5, "<SubslotList>");
    L(6, R"(<SubslotItem SubslotNumber="0" TextId="IDT_SUBSLOT_1"/>)");
    L(6, R"(<SubslotItem SubslotNumber="32768" TextId="IDT_SUBSLOT_Interface"/>)");
    L(6, R"(<SubslotItem SubslotNumber="32769" TextId="IDT_SUBSLOT_Port1"/>)");
    L(6, R"(<SubslotItem SubslotNumber="32770" TextId="IDT_SUBSLOT_Port2"/>)");
    L(5, "</SubslotList>");
    L(5, R"(<IOConfigData MaxInputLength="1440" MaxOutputLength="1440" MaxDataLength="2880"/>)");
    L(5, "<UseableModules>");
    L(6, R"(<ModuleItemRef ModuleItemTarget="IDM_1" FixedInSlots="1"/>)");
    L(5, "</UseableModules>");
    L(5, "<VirtualSubmoduleList>");
    L(6, R"(<VirtualSubmoduleItem ID="IDS_V1" SubmoduleIdentNumber="0x00000000">)");
    L(7, R"(<IOData IOPS_Length="1" IOCS_Length="1"/>)");
    L(7, "<ModuleInfo>");
    L(8, R"(<Name TextId="IDT_NAME_VS1"/>)");
    L(8, R"(<InfoText TextId="IDT_INFO_VS1"/>)");
    L(7, "</ModuleInfo>");
    L(6, "</VirtualSubmoduleItem>");
    L(5, "</VirtualSubmoduleList>");
    L(5, "<SystemDefinedSubmoduleList>");
    L(6, R"(<InterfaceSubmoduleItem ID="IDS_I" SubmoduleIdentNumber="0x00000001" SubslotNumber="32768" )"
         R"(TextId="IDT_NAME_IS" SupportedRT_Classes="RT_CLASS_1" SupportedProtocols="SNMP;LLDP" )"
         R"(SupportedMibs="MIB2">)");
    L(7, "<ApplicationRelations>");
    L(8, R"(<TimingProperties SendClock="32" ReductionRatio="1 2 4 8 16 32 64 128 256 512"/>)");
    L(7, "</ApplicationRelations>");
    L(6, "</InterfaceSubmoduleItem>");
    L(6, R"(<PortSubmoduleItem ID="IDS_P1" SubmoduleIdentNumber="0x00000002" SubslotNumber="32769" )"
         R"(TextId="IDT_NAME_PS1" MaxPortRxDelay="350" MaxPortTxDelay="160"/>)");
    L(6, R"(<PortSubmoduleItem ID="IDS_P2" SubmoduleIdentNumber="0x00000002" SubslotNumber="32770" )"
         R"(TextId="IDT_NAME_PS2" MaxPortRxDelay="350" MaxPortTxDelay="160"/>)");
    L(5, "</SystemDefinedSubmoduleList>");
    L(5, "<!-- This element tells the engineering tool that the DAP supports fieldbus integration (slot clusters). -->");
    L(5, R"(<!--<FieldbusIntegrationSlots MaxSupported="127" Range="100..9999"/>-->)");
    L(4, "</DeviceAccessPointItem>");
    L(3, "</DeviceAccessPointList>");
}

// The module's input carries what the gateway sends (its output bytes) and
// its output what the gateway receives (its input bytes).
void Module_List(TLines& L, int32_t sizeIn, int32_t sizeOut)
{
    L(3, "<ModuleList>");
    L(4, R"(<!-- The "normal" module carrying the FAP. -->)");
    L(4, R"(<ModuleItem ID="IDM_1" ModuleIdentNumber="0x00000001">)");
    L(5, "<ModuleInfo>");
    L(6, R"(<Name TextId="IDT_NAME_M1"/>)");
    L(6, R"(<InfoText TextId="IDT_INFO_M1"/>)");
    L(6, R"(<OrderNumber Value="12345-0040-M"/>)");
    L(5, "</ModuleInfo>");
    L(5, "<VirtualSubmoduleList>");
    L(6, R"(<VirtualSubmoduleItem ID="IDM_1" SubmoduleIdentNumber="0x00000001">)");
    L(7, R"(<IOData IOPS_Length="1" IOCS_Length="1">)");
    L(8, "<Input>");
    L(9, R"(<DataItem DataType="OctetString" Length="%1" TextId="IDT_Input_1"/>)", QString::number(sizeOut));
    L(8, "</Input>");
    L(8, "<Output>");
    L(9, R"(<DataItem DataType="OctetString" Length="%1" TextId="IDT_Output_1"/>)", QString::number(sizeIn));
    L(8, "</Output>");
    L(7, "</IOData>");
    L(7, "<RecordDataList>");
    L(8, R"(<ParameterRecordDataItem Index="128" Length="2">)");
    L(9, R"(<Name TextId="IDT_NAME_M1_IDT_REF_channel"/>)");
    L(9, R"(<Const ByteOffset="0" Data="0x00,0x00"/>)");
    L(9, R"(<Ref TextId="IDT_REF_reaction_to_cpu_stop" ID="IDT_REF_reaction_to_cpu_stop" Visible="true" )"
         R"(DataType="BitArea" ByteOffset="0" BitOffset="0" BitLength="2" DefaultValue="2" )"
         R"(AllowedValues="0..2" ValueItemTarget="IDV_reaction_to_cpu_stop"/>)");
    L(9, "<MenuList>");
    L(10, R"(<MenuItem ID="IDT_NAME_M1_IDT_REF_channel">)");
    L(11, R"(<Name TextId="IDT_NAME_M1_IDT_REF_channel"/>)");
    L(11, R"(<MenuRef MenuTarget="IDT_NAME_M1_Base_Parameters"/>)");
    L(10, "</MenuItem>");
    L(10, R"(<MenuItem ID="IDT_NAME_M1_Base_Parameters">)");
    L(11, R"(<Name TextId="IDT_NAME_M1_Base_Parameters"/>)");
    L(11, R"(<ParameterRef ParameterTarget="IDT_REF_reaction_to_cpu_stop"/>)");
    L(10, "</MenuItem>");
    L(9, "</MenuList>");
    L(8, "</ParameterRecordDataItem>");
    L(7, "</RecordDataList>");
    L(7, "<ModuleInfo>");
    L(8, R"(<Name TextId="IDT_NAME_M1"/>)");
    L(8, R"(<InfoText TextId="IDT_INFO_M1"/>)");
    L(7, "</ModuleInfo>");
    L(6, "</VirtualSubmoduleItem>");
    L(5, "</VirtualSubmoduleList>");
    L(4, "</ModuleItem>");
    L(3, "</ModuleList>");
}

void Value_And_Category_Lists(TLines& L)
{
    L(3, "<ValueList>");
    L(4, R"(<ValueItem ID="IDV_reaction_to_cpu_stop">)");
    L(5, "<Assignments>");
    L(6, R"(<Assign TextId="IDT_ASSIGN_do_set_substitude_values" Content="0"/>)");
    L(6, R"(<Assign TextId="IDT_ASSIGN_do_values_will_hold" Content="1"/>)");
    L(6, R"(<Assign TextId="IDT_ASSIGN_do_continue_counting" Content="2"/>)");
    L(5, "</Assignments>");
    L(4, "</ValueItem>");
    L(3, "</ValueList>");
    L(3, "<CategoryList>");
    L(4, R"(<CategoryItem ID="IDC_DI" TextId="IDT_CATEGORY_DI">)");
    L(5, R"(<InfoText TextId="IDT_INFO_DI"/>)");
    L(4, "</CategoryItem>");
    L(4, R"(<CategoryItem ID="IDC_DO" TextId="IDT_CATEGORY_DO">)");
    L(5, R"(<InfoText TextId="IDT_INFO_DO"/>)");
    L(4, "</CategoryItem>");
    L(3, "</CategoryList>");
}

// The external texts; the first entry's value depends on the brand.
struct TExternalText {
    const char* TextId;
    const char* Value;
};
const TExternalText External_Texts[] = {
    {"IDT_INFO_Device", nullptr},
    {"IDT_NAME_DAP1", "KNXSlave"},
    {"IDT_INFO_DAP1", "KNX Adapter"},
    {"IDT_SUBSLOT_1", "Subslot 1"},
    {"IDT_SUBSLOT_Interface", "Interface"},
    {"IDT_SUBSLOT_Port1", "Port 1"},
    {"IDT_SUBSLOT_Port2", "Port 2"},
    {"IDT_RECORD_NAME_Head", "Parameters of head module"},
    {"IDT_REF_Power", "Percent power"},
    {"IDT_NAME_VS1", "Submodule V1"},
    {"IDT_INFO_VS1", "Description of submodule V1"},
    {"IDT_NAME_IS", "I"},
    {"IDT_NAME_PS1", "P1"},
    {"IDT_NAME_PS2", "P2"},
    {"IDT_NAME_M1", "Module"},
    {"IDT_INFO_M1", "device KNXSlave"},
    {"IDT_NAME_FAP", "FAP for KNXSlave"},
    {"IDT_INFO_FAP", "Description of FAP for KNXSlave"},
    {"IDT_RECORD_NAME_SlotCluster", "Parameters of the FAP"},
    {"IDT_REF_SlotClusterBegin", "Beginning of slot cluster"},
    {"IDT_NAME_M_PB1", "KNXSlave "},
    {"IDT_INFO_M_PB1", "Description of KNXSlave"},
    {"IDT_NAME_S_PB1", "Module of a KNXSlave"},
    {"IDT_INFO_S_PB1", "Description of module of a KNXSlave"},
    {"IDT_PB_Input", "Digital input KNXSlave"},
    {"IDT_PB_InputBit0", "Digital input bit KNXSlave"},
    {"IDT_NAME_S1", "Submodule 1"},
    {"IDT_INFO_S1", "Description of submodule 1"},
    {"IDT_Input_1", "Input byte"},
    {"IDT_Output_1", "Output word"},
    {"IDT_CATEGORY_DI", "Digital Input"},
    {"IDT_INFO_DI", "Description of digital input"},
    {"IDT_CATEGORY_DO", "Digital output"},
    {"IDT_INFO_DO", "Description of digital output"},
    {"IDT_NAME_M1_IDT_REF_channel", "Canale x"},
    {"IDT_REF_reaction_to_cpu_stop", "Reaction to CPU STOP"},
    {"IDT_NAME_M1_Base_Parameters", "Base Parameters"},
    {"IDT_ASSIGN_do_set_substitude_values", "Output substitute value"},
    {"IDT_ASSIGN_do_values_will_hold", "Keep last value"},
    {"IDT_ASSIGN_do_continue_counting", "Continue operation"},
};
// The last entries are written value first.
constexpr int Value_First_Count = 3;

void External_Text_List(TLines& L, const QString& brand)
{
    const int count = int(std::size(External_Texts));
    L(3, "<ExternalTextList>");
    L(4, "<PrimaryLanguage>");
    for (int i = 0; i < count; ++i) {
        const TExternalText& t = External_Texts[i];
        const QString id = QString::fromLatin1(t.TextId);
        const QString value = t.Value ? QString::fromLatin1(t.Value) : brand + QStringLiteral(" Gateways");
        if (i >= count - Value_First_Count)
            L(5, R"(<Text Value="%1" TextId="%2"/>)", value, id);
        else
            L(5, R"(<Text TextId="%1" Value="%2"/>)", id, value);
    }
    L(4, "</PrimaryLanguage>");
    L(3, "</ExternalTextList>");
}

QByteArray Lines_To_Bytes(const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += line.toLatin1();
        bytes += "\r\n";
    }
    return bytes;
}

} // namespace

// ---------------------------------------------------------------------------
// File name

QString GSDML_Fix_Part_1(int modelCode)
{
    return modelCode == Partner_PROFINET_Model ? QStringLiteral("GSDML-V2.31-Brimel-GW31A12")
                                               : QStringLiteral("GSDML-V2.31-Tavlon-GW31A12");
}

QString GSDML_Fix_Part_2(TDateTime date)
{
    int y = 0, m = 0, d = 0;
    DecodeDate(date, y, m, d);
    return QStringLiteral("-%1%2%3.xml")
        .arg(y, 4, 10, QLatin1Char('0'))
        .arg(m, 2, 10, QLatin1Char('0'))
        .arg(d, 2, 10, QLatin1Char('0'));
}

QString Compose_GSDML_File_Name(const QString& fix1, const QString& userPart, const QString& fix2)
{
    if (Trim(userPart).isEmpty())
        return fix1 + fix2;
    if (userPart.startsWith(QLatin1Char('_')))
        return fix1 + userPart + fix2;
    return fix1 + QLatin1Char('_') + userPart + fix2;
}

TProfinetFileNameParts TProfinetFileNameParts::Create(int modelCode, TDateTime today)
{
    TProfinetFileNameParts p;
    p.Fix_Part_1 = GSDML_Fix_Part_1(modelCode);
    p.Fix_Part_2 = GSDML_Fix_Part_2(today);
    return p;
}

TProfinetFileNameParts TProfinetFileNameParts::Create()
{
    return Create(Model_Code, Date());
}

const QString& TProfinetFileNameParts::Compose()
{
    Name_File_XML = Compose_GSDML_File_Name(Fix_Part_1, User_Part, Fix_Part_2);
    return Name_File_XML;
}

// ---------------------------------------------------------------------------
// Saving

void Read_PROFINET_Sizes()
{
    // The keys' defaults (1438) stand for a missing file, key or number.
    const auto read = [](const XmlNode& root, const char* name) {
        const TParKey* key = Find_ParGen_Key(QString::fromLatin1(name));
        const int def = ParGen_Default_Int(QString::fromLatin1(name));
        return (root.IsNull() || !key) ? def : StrToIntDef(ParGen_Read_Value(root, *key), def);
    };
    XmlDocument doc;
    if (FileExists(File_ParGen))
        doc.LoadFromFile(File_ParGen);
    const XmlNode root = doc.DocumentElement();
    PROFINET_Size_In = read(root, "PROFINET_NB_IN");
    PROFINET_Size_Out = read(root, "PROFINET_NB_OUT");
}

QStringList GSDML_Lines(int modelCode, int32_t sizeIn, int32_t sizeOut)
{
    const bool partner = modelCode == Partner_PROFINET_Model;
    const QString vendor = partner ? Partner_Company_Label : Company_Label;
    // The external device text names the brand, not the web domain.
    const QString brand = partner ? Partner_Company_Label : QStringLiteral("Tavlon");

    TLines L;
    L(0, R"(<?xml version="1.0" encoding="iso-8859-1"?>)");
    L(0, "<!-- A fieldbus integration example. -->");
    L(0, R"(<ISO15745Profile xmlns="http://www.profibus.com/GSDML/2003/11/DeviceProfile" )"
         R"(xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" )"
         R"(xsi:schemaLocation="http://www.profibus.com/GSDML/2003/11/DeviceProfile ..\xsd\GSDML-DeviceProfile-v2.31.xsd">)");
    Profile_Header(L);
    L(1, "<ProfileBody>");
    Device_Identity(L, vendor);
    L(2, "<ApplicationProcess>");
    Device_Access_Point_List(L, vendor);
    Module_List(L, sizeIn, sizeOut);
    Value_And_Category_Lists(L);
    External_Text_List(L, brand);
    L(2, "</ApplicationProcess>");
    L(1, "</ProfileBody>");
    L(0, "</ISO15745Profile>");
    return L.Lines;
}

void Write_GSDML_File(const QString& path)
{
    Read_PROFINET_Sizes();
    // Plain ASCII with no byte-order mark: a mark in front of the
    // "iso-8859-1" declaration would make the file ill-formed.
    WriteFileWhole(path, Lines_To_Bytes(GSDML_Lines(Model_Code, PROFINET_Size_In, PROFINET_Size_Out)));
}

void Save_GSDML_File(const QString& name, const QString& overwriteQuestion)
{
    if (!GSDML_Dialogs.ChooseFile)
        throw EInvalidOperation(QStringLiteral("No save dialog is connected for the PROFINET XML file."));
    QString chosen = name;
    if (!GSDML_Dialogs.ChooseFile(Dir_Project, QStringLiteral("PROFINET XML (*.xml)|") + name, name, chosen))
        return;
    // Only the folder of the chosen file counts; the file keeps its composed name.
    const QString path = PathJoin(QFileInfo(chosen).path(), name);
    // A user part with a path separator would place the file outside the
    // chosen folder.
    if (!Is_Plain_File_Name(name))
        throw EFCreateError(QStringLiteral("Cannot create file \"%1\". The name is not a valid file name.").arg(path));
    if (FileExists(path)) {
        // Without anyone to answer, the existing file is kept.
        if (!GSDML_Dialogs.AskYesNo || !GSDML_Dialogs.AskYesNo(overwriteQuestion))
            return;
    }
    if (Is_PROFINET_Model(Model_Code))
        Write_GSDML_File(path);
}
