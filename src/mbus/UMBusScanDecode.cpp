#include "mbus/UMBusScanDecode.h"

#include "platform/core/IntConv.h"
#include "platform/sys/IcmpEcho.h"

#include <algorithm>
#include <chrono>
#include <thread>

// ---------------------------------------------------------------------------
// Clock

uint32_t TMBusMonotonicClock::Tick()
{
    static const auto start = std::chrono::steady_clock::now();
    return uint32_t(uint64_t(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count()));
}

void TMBusMonotonicClock::Sleep(uint32_t ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// ---------------------------------------------------------------------------
// Frames and time-outs

namespace MBusFrame {

namespace {
constexpr uint8_t Short_Start = 0x10;
constexpr uint8_t Long_Start = 0x68;
constexpr uint8_t Stop = 0x16;
constexpr uint8_t C_SND_NKE = 0x40;
constexpr uint8_t C_SND_UD = 0x73;
constexpr uint8_t C_REQ_UD2_FCB = 0x7B;
constexpr uint8_t C_REQ_UD2 = 0x5B;
constexpr uint8_t CI_App_Reset = 0x50;
constexpr uint8_t CI_Select = 0x52;
constexpr uint8_t Address_Selected = 0xFD;
constexpr int Min_Long_Frame = 22;

QByteArray Short_Frame(uint8_t c, uint8_t address)
{
    QByteArray f;
    f.append(char(Short_Start)).append(char(c)).append(char(address));
    f.append(char(Checksum(f, 1, 3)));
    f.append(char(Stop));
    return f;
}

// 68h L L 68h, then C A CI and the data, the sum and 16h.
QByteArray Long_Frame(uint8_t address, uint8_t ci, const QByteArray& data)
{
    const auto l = char(3 + data.size());
    QByteArray f;
    f.append(char(Long_Start)).append(l).append(l).append(char(Long_Start));
    f.append(char(C_SND_UD)).append(char(address)).append(char(ci)).append(data);
    f.append(char(Checksum(f, 4, f.size())));
    f.append(char(Stop));
    return f;
}
} // namespace

uint8_t Checksum(const QByteArray& bytes, qsizetype from, qsizetype to)
{
    uint8_t sum = 0;
    for (qsizetype i = from; i < to; ++i)
        sum = uint8_t(sum + uint8_t(bytes[i]));
    return sum;
}

QByteArray SND_NKE(uint8_t address)
{
    return Short_Frame(C_SND_NKE, address);
}

QByteArray REQ_UD2(uint8_t address, int framesRead)
{
    return Short_Frame(framesRead % 2 == 0 ? C_REQ_UD2_FCB : C_REQ_UD2, address);
}

QByteArray App_Reset(uint8_t address)
{
    return Long_Frame(address, CI_App_Reset, QByteArray());
}

QByteArray Sec_Select(const std::array<int32_t, 8>& digits)
{
    auto nibble = [&](int i) { return uint8_t(digits[size_t(i)] < 0 ? 0xF : digits[size_t(i)] & 0xF); };
    QByteArray data;
    // Least significant byte first: digits 7 and 8, 5 and 6, 3 and 4, 1 and 2.
    for (int pair = 3; pair >= 0; --pair)
        data.append(char(nibble(2 * pair) << 4 | nibble(2 * pair + 1)));
    data.append(4, char(0xFF)); // manufacturer, version, medium: any
    return Long_Frame(Address_Selected, CI_Select, data);
}

bool Is_Ack(const QByteArray& answer)
{
    return answer.size() == 1 && uint8_t(answer[0]) == 0xE5;
}

bool Is_Valid_Long_Frame(const QByteArray& a)
{
    const qsizetype n = a.size();
    return n >= Min_Long_Frame && uint8_t(a[0]) == Long_Start && uint8_t(a[3]) == Long_Start && a[1] == a[2] &&
           uint8_t(a[n - 1]) == Stop && uint8_t(a[n - 2]) == Checksum(a, 4, n - 2);
}

bool Is_Framed_Text(const QByteArray& answer, const char* text)
{
    return answer == QByteArray("\n\r") + text + "\n\r";
}

bool Is_No_Slave(const QByteArray& answer)
{
    return answer == QByteArray("NO_SLAVE\n\r");
}

} // namespace MBusFrame

namespace {
constexpr int Default_Baudrate = 2400;
int usableBaud(int baud)
{
    return baud > 0 ? baud : Default_Baudrate;
}

const QByteArray Cmd_Enable_Analyzer("Tavlon_Enable_Analyzer_Mode");
const QByteArray Cmd_Disable_Analyzer("Tavlon_Disable_Analyzer_Mode");
constexpr int Max_Disable_Attempts = 3;
constexpr int Last_Primary_Address = 250;
constexpr uint32_t Wait_Before_Request = 500;
constexpr uint32_t Loop_Sleep_Scanning = 40;
constexpr uint32_t Loop_Sleep_Idle = 10;
constexpr uint8_t Broadcast = 0xFF;
constexpr uint8_t Selected = 0xFD;

} // namespace

bool MBus_Unicast_IPv4(const QString& text, uint32_t& addressBE)
{
    if (!Sys::ParseIPv4(text, addressBE))
        return false;
    const uint32_t host = (uint32_t(uint8_t(addressBE)) << 24) | (uint32_t(uint8_t(addressBE >> 8)) << 16) |
                          (uint32_t(uint8_t(addressBE >> 16)) << 8) | uint32_t(uint8_t(addressBE >> 24));
    return host != 0 && host < 0xE0000000u;
}

namespace {

uint32_t le32(const QByteArray& b, int at)
{
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}
} // namespace

int MBus_Short_Timeout(int baudrate)
{
    return 330000 / usableBaud(baudrate) + 250;
}

int MBus_Long_Timeout(int baudrate)
{
    return 3245000 / usableBaud(baudrate) + 250;
}

// ---------------------------------------------------------------------------
// Life

TMBusScanDecode::TMBusScanDecode(bool createSuspended, std::shared_ptr<IMBusClock> clock)
    : TThread(createSuspended),
      FClock(clock ? std::move(clock) : std::make_shared<TMBusMonotonicClock>()),
      FEventRun(std::make_unique<TEvent>(nullptr, true, false, QStringLiteral("EVENT_SCAN_DECODE_MBUS"))),
      FUDPServer(std::make_unique<TMBusUdpServer>()),
      FComm(std::make_unique<TComm>(nullptr))
{
    FEventRun->ResetEvent();
    FUDPServer->OnUDPRead = [this](const Sys::UdpDatagram& d) { UDP_Data_Received(d); };
    FComm->SetBaudRate(br115200);
    FComm->SetDatabits(da8);
    FComm->SetFlowControl(fcNone);
    FComm->SetParity(paNone);
    FComm->SetStopbits(sb10);
    FComm->SetReadBufSize(4096);
    FComm->SetWriteBufSize(4096);
}

TMBusScanDecode::~TMBusScanDecode()
{
    Shutdown();
}

void TMBusScanDecode::BeforeDestruction()
{
    Shutdown();
    TThread::BeforeDestruction();
}

void TMBusScanDecode::Shutdown()
{
    if (FShutDown)
        return;
    FShutDown = true;
    FExit = true;
    FEventRun->SetEvent();
    if (!Suspended())
        WaitFor();
    Close_Link();
}

void TMBusScanDecode::Execute()
{
    while (!FExit) {
        if (FInScan) {
            Step();
            FClock->Sleep(Loop_Sleep_Scanning);
        } else {
            FClock->Sleep(Loop_Sleep_Idle);
        }
        FEventRun->WaitFor(INFINITE);
    }
    Close_Link();
}

void TMBusScanDecode::Step()
{
    try {
        if (MBusType == mtWireless)
            Scan_Decode_Wireless();
        else
            Scan_Decode();
    } catch (...) {
        // The thread serves the next scan whatever one step did.
    }
}

void TMBusScanDecode::Close_Link()
{
    FUDPServer->Deactivate();
    try {
        FComm->Close();
    } catch (...) {
    }
}

void TMBusScanDecode::Save_Scan_Report(void (TMBusScanDecode::*save)())
{
    if (SaveXMLFile.isEmpty())
        return;
    try {
        (this->*save)();
    } catch (const Exception& e) {
        std::lock_guard g(FErrorLock);
        FLastError = e.Message();
    }
}

QString TMBusScanDecode::Last_Error() const
{
    std::lock_guard g(FErrorLock);
    return FLastError;
}

// ---------------------------------------------------------------------------
// The window's side

bool TMBusScanDecode::Start_Scan(TScanType ScanT, TSelectHard SelHard, const QString& IP_COM, int Baud, int Par,
                                 bool AppReset, bool SNDNKE, int CutAfter, TUpdateSlaveList Proc_Slave_List)
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

    Update_Slave_List = std::move(Proc_Slave_List);
    MBusType = mtWired;
    Wireless_Receive_Message = false;
    ScanType = ScanT;
    Select_Hardware = SelHard;
    if (SelHard == shEthernet)
        IP_Address = IP_COM;
    else
        ComPort = IP_COM;
    Baudrate = usableBaud(Baud);
    Parity = Par;
    App_Reset = AppReset;
    SND_NKE = SNDNKE;
    // A meter that always announces more records is read this often at most.
    Cut_After = std::clamp(CutAfter, 1, Max_Frames_Per_Meter);
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
            FUDPServer->Activate(Local_Bind_Address, Local_Port);
        }
    } catch (const Exception& e) {
        Close_Link();
        return refuse(e.Message());
    }
    {
        std::lock_guard g(FErrorLock);
        FLastError.clear();
    }
    Step_Scan = 0;
    FStopScan = false;
    FAbortScan = false;
    FInScan = true;
    return true;
}

// ---------------------------------------------------------------------------
// The link

void TMBusScanDecode::Send_Command(const QByteArray& cmd, quint16 Port)
{
    {
        std::lock_guard g(FAnswerLock);
        FAnswer_Arrived = false;
    }
    if (Select_Hardware == shSerial) {
        if (FComm->Write(cmd.constData(), int(cmd.size())) < 0)
            throw ECommError(QStringLiteral("Error writing to the port"), -1);
    } else {
        FUDPServer->SendTo(cmd, IP_Address, Port);
    }
    Start_Send = FClock->Tick();
}

void TMBusScanDecode::Send_Command(quint16 Port)
{
    Send_Command(Req_Array, Port);
}

void TMBusScanDecode::UDP_Data_Received(const Sys::UdpDatagram& datagram)
{
    uint32_t from = 0;
    if (!Sys::ParseIPv4(datagram.Address, from))
        return;
    std::unique_lock g(FAnswerLock);
    if (from != FGatewayBE)
        return; // only the gateway answers
    if (MBusType == mtWireless && Wireless_Receive_Message) {
        // A receiving module passes on radio telegrams, not answers.
        g.unlock();
        Process_Wireless_Frame(datagram.Data);
        return;
    }
    FAns_Len = int32_t(std::min<qsizetype>(datagram.Data.size(), Answer_Buffer_Size));
    std::copy_n(datagram.Data.constData(), FAns_Len, reinterpret_cast<char*>(FAns_Array.data()));
    FAnswer_Arrived = true;
}

QByteArray TMBusScanDecode::Answer() const
{
    std::lock_guard g(FAnswerLock);
    return QByteArray(reinterpret_cast<const char*>(FAns_Array.data()), FAns_Len);
}

bool TMBusScanDecode::Answer_Arrived() const
{
    std::lock_guard g(FAnswerLock);
    return FAnswer_Arrived;
}

bool TMBusScanDecode::Take_Answer(QByteArray& answer)
{
    std::lock_guard g(FAnswerLock);
    if (!FAnswer_Arrived)
        return false;
    answer = QByteArray(reinterpret_cast<const char*>(FAns_Array.data()), FAns_Len);
    return true;
}

bool TMBusScanDecode::Answer_Timed_Out()
{
    return FClock->Tick() - Start_Send > uint32_t(TimeOut_Calc);
}

void TMBusScanDecode::Report_Scan_Event(int32_t Kind, int32_t Address, int32_t Found, int32_t ScanType_)
{
    if (!Update_Slave_List)
        return;
    try {
        Update_Slave_List(Kind, Address, Found, ScanType_);
    } catch (...) {
        // The window's trouble must not stop the scan.
    }
}

bool TMBusScanDecode::Store_Wired_Answer(int& index, const QByteArray& frame)
{
    auto list = List_Slaves_MBus.Lock();
    TSlave_MBus* device = index >= 0 && index < list->size() ? (*list)[index] : nullptr;
    if (!device) {
        device = new TSlave_MBus;
        device->Primary_Addresss = uint8_t(frame[5]);
        // The identification number's BCD digits, as the meter shows them:
        // no leading zeros, but at least two digits.
        device->Secondary_Addresss = IntToHex(le32(frame, 7), 2);
        device->Manufacture = uint8_t(frame[11]) | uint8_t(frame[12]) << 8;
        device->descManufacture = Manufacturer_Text(uint16_t(device->Manufacture));
        device->Version = uint8_t(frame[13]);
        device->Medium = uint8_t(frame[14]);
        device->descmedium = Medium_Text(device->Medium);
        device->Status = uint8_t(frame[16]);
        list->append(device);
        index = int(list->size() - 1);
    }
    // The records lie from byte 19 up to the byte before the checksum.
    const QByteArrayView records = QByteArrayView(frame).sliced(19, frame.size() - 21);
    return Parse_Data_Records(device->List_Var, int(records.size()) - 1, records, mtWired);
}

// ---------------------------------------------------------------------------
// The wired state machine

void TMBusScanDecode::Scan_Decode()
{
    ++FStepsTaken;
    if (FAbortScan)
        Step_Scan = 200;
    const int state = Step_Scan;
    try {
        QByteArray answer;
        const bool primary = ScanType == saPrimaryAddress;
        const bool ethernet = Select_Hardware == shEthernet;
        switch (state) {
        case 0:
            Enable_Send_In_Last_Step = false;
            FResult = 1;
            if (ethernet) {
                TimeOut_Calc = MBus_Command_Timeout;
                Send_Command(Cmd_Enable_Analyzer, Gateway_Port);
                Step_Scan = 1;
            } else {
                Step_Scan = primary ? 2 : 100;
            }
            break;
        case 1:
            if (Take_Answer(answer)) {
                if (MBusFrame::Is_Framed_Text(answer, "Analyzer_Mode Enabled!")) {
                    ID_Dev_Primary = -1;
                    Step_Scan = primary ? 2 : 100;
                } else {
                    FResult = 2;
                    Step_Scan = 200;
                }
            } else if (Answer_Timed_Out()) {
                FResult = 2;
                Step_Scan = 200;
            }
            break;

        // -- primary addresses --
        case 2:
            TimeOut_Calc = MBus_Short_Timeout(Baudrate);
            ID_Dev_Primary = -1;
            Report_Scan_Event(1, 0, 0, 1);
            Req_Array = MBusFrame::SND_NKE(Broadcast);
            Send_Command(Gateway_Port);
            Step_Scan = 3;
            break;
        case 3:
            if (Take_Answer(answer) || Answer_Timed_Out())
                Step_Scan = 4;
            break;
        case 4:
            TimeOut_Calc = MBus_Short_Timeout(Baudrate);
            Num_Frame_Read = 0;
            ++ID_Dev_Primary;
            if (ID_Dev_Primary > Last_Primary_Address || FStopScan) {
                Type_To_Send_In_Last_Step = 1;
                Enable_Send_In_Last_Step = true;
                FResult = 1;
                Step_Scan = 200;
            } else {
                Step_Scan = App_Reset ? 5 : SND_NKE ? 7 : 9;
            }
            break;
        case 5:
            FClock->Sleep(Wait_Before_Request);
            Req_Array = MBusFrame::App_Reset(uint8_t(ID_Dev_Primary));
            Send_Command(Gateway_Port);
            Step_Scan = 6;
            break;
        case 6:
            if ((Take_Answer(answer) && MBusFrame::Is_Ack(answer)) || Answer_Timed_Out())
                Step_Scan = SND_NKE ? 7 : 9;
            break;
        case 7:
            FClock->Sleep(Wait_Before_Request);
            Req_Array = MBusFrame::SND_NKE(uint8_t(ID_Dev_Primary));
            Send_Command(Gateway_Port);
            Step_Scan = 8;
            break;
        case 8:
            if ((Take_Answer(answer) && MBusFrame::Is_Ack(answer)) || Answer_Timed_Out())
                Step_Scan = 9;
            break;
        case 9:
            TimeOut_Calc = MBus_Long_Timeout(Baudrate);
            FClock->Sleep(Wait_Before_Request);
            Req_Array = MBusFrame::REQ_UD2(uint8_t(ID_Dev_Primary), Num_Frame_Read);
            Send_Command(Gateway_Port);
            Step_Scan = 10;
            break;
        case 10:
            Read_Primary_Answer();
            break;

        // -- secondary search --
        case 100:
            TimeOut_Calc = MBus_Short_Timeout(Baudrate);
            Phase_Scan_Sec_Add = 1;
            Report_Scan_Event(1, 0, 0, 2);
            Phase_Scan_Sec_Add = 2;
            Step_Scan = SND_NKE ? 101 : App_Reset ? 103 : 105;
            break;
        case 101:
            Req_Array = MBusFrame::SND_NKE(Selected);
            Send_Command(Gateway_Port);
            Step_Scan = 102;
            break;
        case 102:
            if ((Take_Answer(answer) && MBusFrame::Is_Ack(answer)) || Answer_Timed_Out())
                Step_Scan = App_Reset ? 103 : 105;
            break;
        case 103:
            Req_Array = MBusFrame::App_Reset(Broadcast);
            Send_Command(Gateway_Port);
            Step_Scan = 104;
            break;
        case 104:
            if ((Take_Answer(answer) && MBusFrame::Is_Ack(answer)) || Answer_Timed_Out())
                Step_Scan = 105;
            break;
        case 105:
            Req_Array = MBusFrame::SND_NKE(Broadcast);
            Send_Command(Gateway_Port);
            Step_Scan = 106;
            break;
        case 106:
            if ((Take_Answer(answer) && MBusFrame::Is_Ack(answer)) || Answer_Timed_Out())
                Step_Scan = 107;
            break;
        case 107:
            Index.fill(-1);
            Step_Scan = Next_Digit_State(1);
            break;
        case 124:
            TimeOut_Calc = MBus_Long_Timeout(Baudrate);
            Req_Array = MBusFrame::REQ_UD2(Selected, Num_Frame_Read);
            Send_Command(Gateway_Port);
            Step_Scan = 125;
            break;
        case 125:
            Read_Secondary_Answer();
            break;

        // -- leaving --
        case 200:
            Count_Disable_Analyzer = 0;
            FAbortScan = false;
            Step_Scan = 201;
            break;
        case 201:
            if (ethernet && Count_Disable_Analyzer < Max_Disable_Attempts) {
                ++Count_Disable_Analyzer;
                TimeOut_Calc = MBus_Command_Timeout;
                Step_Scan = 202;
                Send_Command(Cmd_Disable_Analyzer, Gateway_Port);
            } else {
                Step_Scan = 203;
            }
            break;
        case 202:
            if (Take_Answer(answer))
                Step_Scan = MBusFrame::Is_Framed_Text(answer, "Analyzer_Mode Disabled!") ? 203 : 201;
            else if (Answer_Timed_Out())
                Step_Scan = 201;
            break;
        case 203:
            Close_Link();
            // The report is on disk before the window can see the scan end;
            // a report that cannot be written does not keep the scan going.
            Save_Scan_Report(&TMBusScanDecode::Save_XML_File_DLL);
            // The end is reported before InScan drops: once it has dropped,
            // the window may start the next scan and replace the callback.
            if (Enable_Send_In_Last_Step)
                Report_Scan_Event(3, 0, 0, int32_t(Type_To_Send_In_Last_Step));
            FInScan = false;
            break;

        default:
            if (state >= Next_Digit_State(1) && state <= Wait_State(8)) {
                const int level = (state - Next_Digit_State(1)) / 2 + 1;
                if ((state - Next_Digit_State(1)) % 2 == 0)
                    Next_Digit(level);
                else
                    Wait_Selection(level);
            }
            break;
        }
    } catch (const std::exception& e) {
        {
            std::lock_guard g(FErrorLock);
            const auto* ours = dynamic_cast<const Exception*>(&e);
            FLastError = ours ? ours->Message() : QString::fromLocal8Bit(e.what());
        }
        if (state < 200) {
            // The gateway cannot be reached: the scan ends as when it does
            // not answer.
            FResult = 2;
            Step_Scan = 200;
        } else if (state < 203) {
            Step_Scan = 201; // counts as an attempt that got no answer
        } else {
            FInScan = false;
        }
    }
}

void TMBusScanDecode::Read_Primary_Answer()
{
    ID_Dev_Found = false;
    QByteArray answer;
    if (Take_Answer(answer)) {
        if (MBusFrame::Is_Valid_Long_Frame(answer)) {
            int index = Num_Frame_Read == 0 ? -1 : Index_Device;
            const bool complete = Store_Wired_Answer(index, answer);
            Index_Device = index;
            ++Num_Frame_Read;
            if (complete || Num_Frame_Read >= Cut_After) {
                ID_Dev_Found = true;
                Report_Scan_Event(2, ID_Dev_Primary, 1, 1);
                Step_Scan = 4;
            } else {
                Step_Scan = 9;
            }
        } else {
            Report_Scan_Event(2, ID_Dev_Primary, 0, 1);
            Step_Scan = 4;
        }
    } else if (Answer_Timed_Out()) {
        Report_Scan_Event(2, ID_Dev_Primary, 0, 1);
        Step_Scan = 4;
    }
}

void TMBusScanDecode::Read_Secondary_Answer()
{
    ID_Dev_Found = false;
    QByteArray answer;
    if (Take_Answer(answer)) {
        if (MBusFrame::Is_Valid_Long_Frame(answer)) {
            int index = Num_Frame_Read == 0 ? -1 : Index_Device;
            const bool complete = Store_Wired_Answer(index, answer);
            Index_Device = index;
            ++Num_Frame_Read;
            if (complete || Num_Frame_Read >= Cut_After) {
                TimeOut_Calc = MBus_Short_Timeout(Baudrate);
                ID_Dev_Found = true;
                uint32_t id = 0;
                {
                    auto list = List_Slaves_MBus.Lock();
                    if (index >= 0 && index < list->size())
                        id = (*list)[index]->Secondary_Addresss.toUInt(nullptr, 16);
                }
                Report_Scan_Event(2, int32_t(id), 1, 2);
                Step_Scan = Sec_Add_Next_Step;
            } else {
                Step_Scan = 124;
            }
        } else {
            TimeOut_Calc = MBus_Short_Timeout(Baudrate);
            Step_Scan = Sec_Add_Next_Step;
        }
    } else if (Answer_Timed_Out()) {
        TimeOut_Calc = MBus_Short_Timeout(Baudrate);
        Step_Scan = Sec_Add_Next_Step;
    }
}

void TMBusScanDecode::Next_Digit(int k)
{
    if (FStopScan) {
        Step_Scan = 200;
        return;
    }
    int32_t& digit = Index[size_t(k - 1)];
    ++digit;
    for (size_t deeper = size_t(k); deeper < Index.size(); ++deeper)
        Index[deeper] = -1;
    if (digit > 9) {
        if (k == 1) {
            Phase_Scan_Sec_Add = 3;
            Type_To_Send_In_Last_Step = 2;
            Enable_Send_In_Last_Step = true;
            Step_Scan = 200;
        } else {
            Step_Scan = Next_Digit_State(k - 1);
        }
        return;
    }
    Req_Array = MBusFrame::Sec_Select(Index);
    Step_Scan = Wait_State(k);
    Send_Command(Gateway_Port);
}

void TMBusScanDecode::Wait_Selection(int k)
{
    QByteArray answer;
    if (Take_Answer(answer)) {
        if (MBusFrame::Is_Ack(answer)) {
            // Exactly one meter took the selection.
            Num_Frame_Read = 0;
            Sec_Add_Next_Step = Next_Digit_State(k);
            Step_Scan = 124;
        } else if (MBusFrame::Is_No_Slave(answer)) {
            Step_Scan = Next_Digit_State(k);
        } else {
            // Several meters answered at once: look one digit deeper.
            Step_Scan = Next_Digit_State(std::min(k + 1, 8));
        }
    } else if (Answer_Timed_Out()) {
        Step_Scan = Next_Digit_State(k);
    }
}
