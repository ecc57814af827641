// The wireless scan of TMBusScanDecode: the gateway in configuration mode,
// its radio module set up for the chosen mode and channel, then every radio
// telegram the module passes on matched to a device of List_Slaves_wMBus,
// decoded when its data can be read, and reported to the window.
#include "mbus/UMBusScanDecode.h"

#include "platform/core/DateTime.h"

#include <algorithm>

namespace {

const QByteArray Cmd_Enable_Config("Tavlon_Enable_Configuration_Mode");
const QByteArray Cmd_Disable_Config("Tavlon_Disable_Configuration_Mode");
const QByteArray Cmd_Radio_Module("Tavlon_Type_Radio_Module");
constexpr int Max_Disable_Attempts = 3;
constexpr int Telit_Receiving = 134;
constexpr int RadioCrafts_Receiving = 320;
constexpr int Closing = 500;

constexpr uint8_t CI_Short = 0x7A;
constexpr uint8_t CI_Long = 0x72;
constexpr uint8_t CI_Ell = 0x8D;
constexpr uint8_t Idle_Filler = 0x2F;

bool isOk(const QByteArray& a)
{
    return a == QByteArray("OK\r");
}

bool isPrompt(const QByteArray& a)
{
    return a.size() == 1 && a[0] == '>';
}

bool startsWithPrompt(const QByteArray& a)
{
    return !a.isEmpty() && a[0] == '>';
}

QByteArray atCommand(const QByteArray& text)
{
    return text + '\r';
}

QByteArray bytes(std::initializer_list<uint8_t> list)
{
    QByteArray b;
    for (uint8_t v : list)
        b.append(char(v));
    return b;
}

bool nMode(int mode)
{
    return mode == 15 || mode == 17;
}

uint8_t byteAt(const QByteArray& t, int i)
{
    return uint8_t(t[i]);
}

uint16_t le16(const QByteArray& t, int i)
{
    return uint16_t(byteAt(t, i) | byteAt(t, i + 1) << 8);
}

int32_t le32s(const QByteArray& t, int i)
{
    return int32_t(uint32_t(byteAt(t, i)) | uint32_t(byteAt(t, i + 1)) << 8 | uint32_t(byteAt(t, i + 2)) << 16 |
                   uint32_t(byteAt(t, i + 3)) << 24);
}

// The last header byte a telegram of this CI must hold.
int lastHeaderByte(uint8_t ci)
{
    switch (ci) {
    case CI_Short:
        return 16;
    case CI_Ell:
        return 20;
    case CI_Long:
        return 24;
    default:
        return 18; // the application identity of the long header
    }
}

TWirelessSlaveRow rowOf(const TSlave_wMBus& d)
{
    TWirelessSlaveRow r;
    r.Message_Type = d.Message_Type;
    r.LLA_Manufacturer = d.LLA_Manufacturer;
    r.LLA_Manu_str = d.LLA_Manu_str;
    r.LLA_Address = d.LLA_Address;
    r.LLA_Version = d.LLA_Version;
    r.LLA_DeviceType = d.LLA_DeviceType;
    r.ALA_Manufacturer = d.ALA_Manufacturer;
    r.ALA_Manu_str = d.ALA_Manu_str;
    r.ALA_Address = d.ALA_Address;
    r.ALA_Version = d.ALA_Version;
    r.ALA_DeviceType = d.ALA_DeviceType;
    r.RSSI = d.RSSI;
    r.DateTime = d.DateTime;
    r.Cripted = d.Cripted;
    r.Enable = d.Enable;
    r.Enable_Key = d.Enable_Key;
    r.Records.reserve(d.List_Var.size());
    for (const TVariable_MBus* v : d.List_Var) {
        r.Records.append(*v);
        r.Records.last().Node = nullptr;
    }
    return r;
}

} // namespace

// ---------------------------------------------------------------------------
// The window's side

bool TMBusScanDecode::Start_Scan_Wireless(TSelectHard SelHard, const QString& IP_COM, quint16 Port, int wMBus_Mode,
                                          int wMBus_Radio_Channel, TUpdateListWirelessSlave Proc_Wireless,
                                          bool FromDLL)
{
    auto refuse = [this](const QString& why) {
        std::lock_guard g(FErrorLock);
        FLastError = why;
        return false;
    };
    if (FInScan)
        return refuse(QStringLiteral("A scan is already running"));
    uint32_t gateway = 0;
    if (SelHard == shEthernet && !MBus_Unicast_IPv4(IP_COM, gateway))
        return refuse(QStringLiteral("\"%1\" is not the IPv4 address of one gateway").arg(IP_COM));

    std::lock_guard step(FWirelessLock);
    UpdateListWirelessSlave = std::move(Proc_Wireless);
    MBusType = mtWireless;
    Select_Hardware = SelHard;
    if (SelHard == shEthernet)
        IP_Address = IP_COM;
    else
        ComPort = IP_COM;
    wMBusMode = wMBus_Mode;
    wMBusRadioChannel = wMBus_Radio_Channel;
    Port_Wireless = Port;
    Wireless_Receive_Message = false;
    From_DLL = FromDLL;
    {
        std::lock_guard g(FAnswerLock);
        FGatewayBE = gateway;
        FAns_Len = 0;
        FAnswer_Arrived = false;
    }
    try {
        if (SelHard == shSerial) {
            FComm->SetDeviceName(IP_COM);
            FComm->Open();
        } else {
            // The module's telegrams come to the port the gateway listens on.
            if (FUDPServer->Active() && FUDPServer->LocalPort() != Port)
                FUDPServer->Deactivate();
            if (!FUDPServer->Active())
                FUDPServer->Activate(Local_Bind_Address, Port);
        }
    } catch (const Exception& e) {
        Close_Link();
        return refuse(e.Message());
    }
    {
        std::lock_guard g(FErrorLock);
        FLastError.clear();
    }
    New_Frame_Wireless = false;
    Step_Scan = 0;
    FStopScan = false;
    FAbortScan = false;
    FInScan = true;
    return true;
}

bool TMBusScanDecode::Insert_Wireless_Key(int Index, const std::array<uint8_t, 16>& Key)
{
    std::lock_guard step(FWirelessLock);
    auto list = List_Slaves_wMBus.Lock();
    if (Index < 0 || Index >= list->size())
        return false;
    TSlave_wMBus* device = (*list)[Index];
    const bool receiving = FInScan && (Step_Scan == Telit_Receiving || Step_Scan == RadioCrafts_Receiving);
    if (!receiving)
        return false;
    const bool radioCrafts = Step_Scan == RadioCrafts_Receiving;
    if (radioCrafts && device->RadioCrafts_Ind_Tab_Decript <= 0) {
        if (Index_RadioCrafts_Position_Used > RadioCrafts_Key_Slots)
            return false; // every slot of the module is given
        device->RadioCrafts_Ind_Tab_Decript = Index_RadioCrafts_Position_Used++;
    }
    Wireless_Key = Key;
    Wireless_Key_Index = Index;
    device->Enable_Key = true;
    device->Key = Key;
    Step_Scan = radioCrafts ? 400 : 200;
    return true;
}

// ---------------------------------------------------------------------------
// Telegrams

int TMBusScanDecode::Find_Wireless_Slave(const QList<TSlave_wMBus*>& list, uint16_t manufacturer, int32_t address,
                                         uint8_t version, uint8_t deviceType)
{
    for (int i = 0; i < list.size(); ++i) {
        const TSlave_wMBus* d = list[i];
        if (d->ALA_Manufacturer == manufacturer && d->ALA_Address == address && d->ALA_Version == version &&
            d->ALA_DeviceType == deviceType)
            return i;
    }
    return -1;
}

bool TMBusScanDecode::Process_Wireless_Frame(const QByteArray& t)
{
    const int n = int(t.size());
    if (n < 1)
        return false;
    const bool telit = RadioModule == rmTelit;
    const int l = byteAt(t, 0);
    if (n != (telit ? l + 3 : l + 1))
        return false;
    // The link header and CI, then what the CI needs, then the RSSI byte.
    if (n < 12)
        return false;
    const uint8_t ci = byteAt(t, 10);
    if (n < lastHeaderByte(ci) + 2)
        return false;

    New_Frame_Wireless = true;
    const TDateTime now = Now();

    const uint8_t c = byteAt(t, 1);
    const uint16_t llaMan = le16(t, 2);
    const int32_t llaAddr = le32s(t, 4);
    const uint8_t llaVer = byteAt(t, 8);
    const uint8_t llaType = byteAt(t, 9);
    uint16_t alaMan = llaMan;
    int32_t alaAddr = llaAddr;
    uint8_t alaVer = llaVer;
    uint8_t alaType = llaType;
    if (ci != CI_Short && ci != CI_Ell) {
        alaAddr = le32s(t, 11);
        alaMan = le16(t, 15);
        alaVer = byteAt(t, 17);
        alaType = byteAt(t, 18);
    }
    // Worked out in full width, then held to what the field can take.
    const uint8_t b = byteAt(t, n - 1);
    const int rssi = telit ? -int(b) - 2 : int(int8_t(b)) / 2 + 1;
    const int8_t rssi8 = int8_t(std::clamp(rssi, -128, 127));

    int index = -1;
    TWirelessSlaveRow row;
    {
        auto list = List_Slaves_wMBus.Lock();
        index = Find_Wireless_Slave(*list, alaMan, alaAddr, alaVer, alaType);
        TSlave_wMBus* device = nullptr;
        bool decode = true;
        if (index < 0) {
            device = new TSlave_wMBus;
            device->Message_Type = c;
            device->LLA_Manufacturer = llaMan;
            device->LLA_Manu_str = Manufacturer_Text(llaMan);
            device->LLA_Address = llaAddr;
            device->LLA_Version = llaVer;
            device->LLA_DeviceType = llaType;
            device->ALA_Manufacturer = alaMan;
            device->ALA_Manu_str = Manufacturer_Text(alaMan);
            device->ALA_Address = alaAddr;
            device->ALA_Version = alaVer;
            device->ALA_DeviceType = alaType;
            device->RSSI = rssi8;
            device->RadioCrafts_Ind_Tab_Decript = -1;
            list->append(device);
            index = int(list->size() - 1);
        } else {
            device = (*list)[index];
            decode = !(ci == CI_Ell && byteAt(t, 19) != 0x78);
        }
        if (decode) {
            device->Cancel_Var();
            device->DateTime = now;
            const uint8_t mode = ci == CI_Short ? byteAt(t, 14) & 0x0F : 0;
            bool readable = false;
            int from = -1;
            switch (ci) {
            case CI_Short:
                readable = mode == 0 || (mode == 5 && byteAt(t, 15) == Idle_Filler && byteAt(t, 16) == Idle_Filler);
                from = 15;
                break;
            case CI_Long:
                readable = byteAt(t, 23) == Idle_Filler && byteAt(t, 24) == Idle_Filler;
                from = 23;
                break;
            case CI_Ell:
                readable = (byteAt(t, 16) & 0x20) == 0;
                from = byteAt(t, 19) == 0x78 ? 20 : -1;
                break;
            default:
                break;
            }
            // The decrypted link layer is read whatever its session says.
            if (!readable && ci == CI_Ell && from > 0)
                readable = true;
            device->Cripted = !readable;
            const int last = n - 3;
            if (readable && from > 0 && last >= from)
                Decode_Data_Records(QByteArrayView(t).sliced(from, last - from + 1), mtWireless, device->List_Var);
        }
        if (!From_DLL)
            row = rowOf(*device);
    }
    if (UpdateListWirelessSlave) {
        try {
            UpdateListWirelessSlave(index, From_DLL ? nullptr : &row);
        } catch (...) {
            // The window's trouble must not stop the intake.
        }
    }
    return true;
}

// ---------------------------------------------------------------------------
// The wireless state machine

void TMBusScanDecode::Wireless_Send(const QByteArray& data, int timeout)
{
    if (Select_Hardware != shEthernet)
        return; // the serial path sends nothing and stays
    TimeOut_Calc = timeout;
    Send_Command(data, Port_Wireless);
    Step_Scan = Step_Scan + 1;
}

void TMBusScanDecode::Wireless_Fail()
{
    FResult = 2;
    Step_Scan = Closing;
}

void TMBusScanDecode::Wireless_Expect(const std::function<bool(const QByteArray&)>& ok, int next)
{
    QByteArray answer;
    if (Take_Answer(answer))
        ok(answer) ? void(Step_Scan = next) : Wireless_Fail();
    else if (Answer_Timed_Out())
        Wireless_Fail();
}

void TMBusScanDecode::Wireless_Any(int next)
{
    QByteArray answer;
    if (Take_Answer(answer) || Answer_Timed_Out())
        Step_Scan = next;
}

// Part of the application identity of the device whose key is installed:
// for the first kind register 461 + part, for the second kind the 8-byte
// block.
QByteArray TMBusScanDecode::Wireless_Identity(bool telit, int part) const
{
    auto list = List_Slaves_wMBus.Lock();
    if (Wireless_Key_Index < 0 || Wireless_Key_Index >= list->size())
        return {};
    const TSlave_wMBus& d = *(*list)[Wireless_Key_Index];
    const auto a = uint32_t(d.ALA_Address);
    const uint8_t id[8] = {uint8_t(d.ALA_Manufacturer), uint8_t(d.ALA_Manufacturer >> 8), uint8_t(a), uint8_t(a >> 8),
                           uint8_t(a >> 16),             uint8_t(a >> 24),                  d.ALA_Version,
                           d.ALA_DeviceType};
    if (telit)
        return QByteArray::number(id[part]);
    return bytes({id[2], id[3], id[4], id[5], id[0], id[1], id[6], id[7]});
}

void TMBusScanDecode::Scan_Decode_Wireless()
{
    ++FStepsTaken;
    std::lock_guard step(FWirelessLock);
    if (FAbortScan || FStopScan) {
        if (Step_Scan < Closing)
            Step_Scan = Closing;
    }
    const int state = Step_Scan;
    const bool n = nMode(wMBusMode);
    try {
        QByteArray answer;
        switch (state) {
        case 0:
            Wireless_Receive_Message = false;
            FResult = 1;
            Wireless_Send(Cmd_Enable_Config);
            break;
        case 1:
            Wireless_Expect([](const QByteArray& a) { return MBusFrame::Is_Framed_Text(a, "Configuration_Mode Enabled!"); },
                            2);
            break;
        case 2:
            FResult = 1;
            Wireless_Send(Cmd_Radio_Module);
            break;
        case 3:
            if (Take_Answer(answer)) {
                if (MBusFrame::Is_Framed_Text(answer, "TELIT")) {
                    RadioModule = rmTelit;
                    Step_Scan = 100;
                } else if (MBusFrame::Is_Framed_Text(answer, "RADIOCRAFTS")) {
                    RadioModule = rmRadioCrafts;
                    Step_Scan = 300;
                } else {
                    Wireless_Fail();
                }
            } else if (Answer_Timed_Out()) {
                Wireless_Fail();
            }
            break;

        // -- the first kind: configuration --
        case 100: Wireless_Send("+++"); break;
        case 102: Wireless_Send(atCommand("ATR")); break;
        case 104: Wireless_Send(atCommand("ATS400=" + QByteArray::number(wMBusMode))); break;
        case 106: Wireless_Send(atCommand("ATS401=0")); break;
        case 108: Wireless_Send(atCommand("ATS402=191")); break;
        case 110: Wireless_Send(atCommand("ATS420=" + QByteArray::number(wMBusRadioChannel))); break;
        case 112: Wireless_Send(atCommand("ATS421=0")); break;
        case 114: Wireless_Send(atCommand("ATS422=3")); break;
        case 116: Wireless_Send(atCommand("ATS430=5")); break;
        case 118: Wireless_Send(atCommand("ATS431=5")); break;
        case 120: Wireless_Send(atCommand("ATS440=0")); break;
        case 122: Wireless_Send(atCommand("ATS441=0")); break;
        case 124: Wireless_Send(atCommand("ATS442=0")); break;
        case 126: Wireless_Send(atCommand("ATS452=0")); break;
        case 128: Wireless_Send(atCommand("ATS453=0")); break;
        case 130: Wireless_Send(atCommand("ATS454=0")); break;
        case 132: Wireless_Send(atCommand("ATO")); break;
        case 111: Wireless_Expect(isOk, n ? 114 : 112); break;
        case 123: Wireless_Expect(isOk, n ? 126 : 124); break;
        case 129: Wireless_Expect(isOk, n ? 132 : 130); break;
        case 133:
            if (Take_Answer(answer)) {
                if (isOk(answer)) {
                    Wireless_Receive_Message = true;
                    Step_Scan = Telit_Receiving;
                } else {
                    Wireless_Fail();
                }
            } else if (Answer_Timed_Out()) {
                Wireless_Fail();
            }
            break;
        case Telit_Receiving:
            break;

        // -- the first kind: a key --
        case 200:
            Wireless_Receive_Message = false;
            Wireless_Send("+++");
            break;
        case 217:
            Wireless_Expect(isOk, 218);
            if (Step_Scan == 218)
                Index_Key_Send = 0;
            break;
        case 218:
            Wireless_Send(atCommand("ATS" + QByteArray::number(470 + Index_Key_Send) + "=" +
                                    QByteArray::number(Wireless_Key[size_t(std::clamp(Index_Key_Send, 0, 15))])));
            break;
        case 219:
            Wireless_Expect(isOk, 218);
            if (Step_Scan == 218 && ++Index_Key_Send >= 16)
                Step_Scan = 220;
            break;
        case 220: Wireless_Send(atCommand("ATS460=5")); break;
        case 221:
            Wireless_Expect(isOk, 132);
            if (Step_Scan == 132)
                Index_Key_Send = 0;
            break;

        // -- the second kind: configuration --
        case 300:
            Index_RadioCrafts_Position_Used = 1;
            Wireless_Send(bytes({0x00}));
            break;
        case 301: Wireless_Expect(isPrompt, 302); break;
        case 302: Wireless_Send(bytes({0x30})); break;
        case 303:
            Wireless_Expect([](const QByteArray& a) { return a.size() == 257 && a.back() == '>'; }, 304);
            break;
        case 304: Wireless_Send(bytes({0x4D})); break;
        case 305: Wireless_Expect(isPrompt, 306); break;
        case 306: {
            uint8_t m = 3;
            switch (wMBusMode) {
            case 5: m = 1; break;
            case 11: m = 10; break;
            case 15: m = 17; break;
            case 17: m = 16; break;
            default: break;
            }
            Wireless_Send(bytes({0x03, m, 0x04, 0x00, 0x05, 0x01, 0x12, 0x01, 0x16, 0x17, 0x3A, 0x01, 0x3D, 0x02,
                                 0x37, 0x01}),
                          500);
            break;
        }
        case 307: Wireless_Any(308); break;
        case 308: Wireless_Send(bytes({0xFF})); break;
        case 309: Wireless_Expect(isPrompt, 310); break;
        case 310: Wireless_Send(bytes({0x42})); break;
        case 311: Wireless_Expect(isPrompt, 312); break;
        case 312:
            Index_RadioCrafts_Erase_Position = 0;
            Step_Scan = 313;
            break;
        case 313:
            if (Index_RadioCrafts_Erase_Position > RadioCrafts_Key_Slots - 1) {
                Step_Scan = 318;
            } else {
                ++Index_RadioCrafts_Erase_Position;
                Step_Scan = 314;
            }
            break;
        case 314: Wireless_Send(bytes({uint8_t(Index_RadioCrafts_Erase_Position)}), 100); break;
        case 315: Wireless_Any(316); break;
        case 316: Wireless_Send(QByteArray(8, '\0')); break;
        case 317: Wireless_Expect(startsWithPrompt, 313); break;
        case 318:
            if (Select_Hardware == shEthernet) {
                TimeOut_Calc = 1000;
                Send_Command(bytes({0x58}), Port_Wireless);
                Step_Scan = 319;
            }
            break;
        case 319:
            Wireless_Receive_Message = true;
            Step_Scan = RadioCrafts_Receiving;
            break;
        case RadioCrafts_Receiving:
            break;

        // -- the second kind: a key --
        case 400:
            Wireless_Receive_Message = false;
            Wireless_Send(bytes({0x00}));
            break;
        case 401: Wireless_Expect(isPrompt, 402); break;
        case 402: Wireless_Send(bytes({0x42})); break;
        case 403: Wireless_Expect(isPrompt, 404); break;
        case 404:
        case 410:
        case 416: {
            uint8_t slot = 0;
            {
                auto list = List_Slaves_wMBus.Lock();
                if (Wireless_Key_Index >= 0 && Wireless_Key_Index < list->size())
                    slot = uint8_t((*list)[Wireless_Key_Index]->RadioCrafts_Ind_Tab_Decript);
            }
            Wireless_Send(bytes({slot}), 100);
            break;
        }
        case 405: Wireless_Any(406); break;
        case 406: Wireless_Send(Wireless_Identity(false, 0)); break;
        case 407: Wireless_Expect(startsWithPrompt, 408); break;
        case 408: Wireless_Send(bytes({0x4B})); break;
        case 409: Wireless_Expect(isPrompt, 410); break;
        case 411: Wireless_Any(412); break;
        case 412:
            Wireless_Send(QByteArray(reinterpret_cast<const char*>(Wireless_Key.data()), int(Wireless_Key.size())));
            break;
        case 413: Wireless_Expect(startsWithPrompt, 414); break;
        case 414: Wireless_Send(bytes({0x41})); break;
        case 415: Wireless_Expect(isPrompt, 416); break;
        case 417: Wireless_Any(418); break;
        case 418: Wireless_Send(bytes({0x00, 0x40})); break;
        case 419: Wireless_Expect(isPrompt, 318); break;

        // -- leaving --
        case Closing:
            Wireless_Receive_Message = false;
            Count_Disable_Analyzer = 0;
            FAbortScan = false;
            FStopScan = false;
            Step_Scan = 501;
            break;
        case 501:
            if (Select_Hardware != shEthernet || Count_Disable_Analyzer >= Max_Disable_Attempts) {
                Step_Scan = 503;
            } else {
                ++Count_Disable_Analyzer;
                TimeOut_Calc = 1000;
                Step_Scan = 502;
                Send_Command(Cmd_Disable_Config, Port_Wireless);
            }
            break;
        case 502:
            if (Take_Answer(answer))
                Step_Scan = MBusFrame::Is_Framed_Text(answer, "Configuration_Mode Disabled!") ? 503 : 501;
            else if (Answer_Timed_Out())
                Step_Scan = 501;
            break;
        case 503:
            Close_Link();
            Save_Scan_Report(&TMBusScanDecode::Save_Wireless_XML_File_DLL);
            FInScan = false;
            break;

        default:
            // The first kind's odd wait states answer "OK" and go to the next
            // sending state; the key's identity registers 461..468 follow
            // one another.
            if (state >= 101 && state <= 131 && state % 2 == 1) {
                Wireless_Expect(isOk, state + 1);
            } else if (state == 201) {
                Wireless_Expect(isOk, 202);
            } else if (state >= 202 && state <= 216 && state % 2 == 0) {
                const int part = (state - 202) / 2;
                Wireless_Send(atCommand("ATS" + QByteArray::number(461 + part) + "=" + Wireless_Identity(true, part)));
            } else if (state >= 203 && state <= 215 && state % 2 == 1) {
                Wireless_Expect(isOk, state + 1);
            }
            break;
        }
    } catch (const std::exception& e) {
        {
            std::lock_guard g(FErrorLock);
            const auto* ours = dynamic_cast<const Exception*>(&e);
            FLastError = ours ? ours->Message() : QString::fromLocal8Bit(e.what());
        }
        if (state < Closing) {
            FResult = 2;
            Step_Scan = Closing;
        } else if (state < 503) {
            Step_Scan = 501;
        } else {
            FInScan = false;
        }
    }
}
