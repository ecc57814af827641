#pragma once
// The scan engine: a thread that talks to the maker's Ethernet M-Bus gateway
// over UDP (or to a serial M-Bus master through the serial component), finds
// the wired meters by polling every primary address or by a wildcard search
// of secondary addresses, reads their answer frames, decodes them into
// TSlave_MBus devices in List_Slaves_MBus and reports its progress through a
// callback.
//
// Threads. The engine's own thread runs one step of the current scan, then
// sleeps 40 ms, or 10 ms when idle, and after each pass waits for Event_Run
// (the named manual-reset event "EVENT_SCAN_DECODE_MBUS", made before the
// thread starts, so a window that signals it early is never lost). The UDP
// listener thread stores each datagram from the gateway under a lock; the
// step takes it from there. The flags the window polls or sets (InScan,
// Result, StopScan, AbortScan) are atomic.
//
// Time. The tick count, the 500 ms waits before a request and the loop's
// sleeps all go through an IMBusClock: the program uses the monotonic clock;
// tests hand in one they advance themselves and call Scan_Decode step by
// step, so a whole scan runs in no time.
//
// Safety. Only a single unicast IPv4 address is ever a destination (Start_Scan
// refuses anything else before binding or sending); only datagrams from that
// address count as answers; a datagram longer than the answer buffer is cut
// to it. A send that fails ends the scan as a gateway failure. At exit the
// thread is told to end, released from its wait and joined.
#include "mbus/Comm.h"
#include "mbus/MBusDecoder.h"
#include "mbus/MBusRecords.h"
#include "mbus/MBusScanSave.h"
#include "mbus/UMBusUdpServer.h"
#include "platform/core/SyncObjs.h"
#include "platform/core/Threads.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

// The engine's time: a millisecond tick count and a sleep.
class IMBusClock {
public:
    virtual ~IMBusClock() = default;
    virtual uint32_t Tick() = 0;
    virtual void Sleep(uint32_t ms) = 0;
};

// The steady clock of the machine: never set back, never moved by tests of
// other parts that fix the platform's tick count.
class TMBusMonotonicClock : public IMBusClock {
public:
    uint32_t Tick() override;
    void Sleep(uint32_t ms) override;
};

enum TScanType { saPrimaryAddress, saSecondaryAddress };
enum TSelectHard { shEthernet, shSerial };
enum TRadioModule { rmTelit, rmRadioCrafts };

// Wired progress: Kind 1 scan started, 2 one address done, 3 scan ended;
// Address the primary address or the identification number found (its BCD
// digits as hexadecimal digits, so 0x12345678 for meter 12345678; numbers
// from 80000000 on read negative); Found 1 or 0; ScanType 1 primary, 2
// secondary.
using TUpdateSlaveList = std::function<void(int32_t Kind, int32_t Address, int32_t Found, int32_t ScanType)>;

// A wireless device as the window's grid shows it: a copy taken under the
// list's lock, so the window never reads the list while the listener changes
// it.
struct TWirelessSlaveRow {
    uint8_t Message_Type = 0;
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
    int8_t RSSI = 0;
    double DateTime = 0;
    bool Cripted = false;
    bool Enable = true;
    bool Enable_Key = false;
    QList<TVariable_MBus> Records; // copies; their tree nodes are not the window's
};

// Wireless progress: the index of the device a telegram went to and its row;
// for a caller that keeps no grid (From_DLL) the row is null.
using TUpdateListWirelessSlave = std::function<void(int32_t Index, const TWirelessSlaveRow* Device)>;

// ---------------------------------------------------------------------------
// Frames and time-outs

namespace MBusFrame {
// 8-bit sum of the bytes.
uint8_t Checksum(const QByteArray& bytes, qsizetype from, qsizetype to);
// 10h 40h A CS 16h
QByteArray SND_NKE(uint8_t address);
// 10h C A CS 16h, C = 7Bh for an even frame count, 5Bh for an odd one.
QByteArray REQ_UD2(uint8_t address, int framesRead);
// 68h 03h 03h 68h 73h A 50h CS 16h
QByteArray App_Reset(uint8_t address);
// Selection of an identification number by its eight digits, most
// significant first; -1 is the wildcard Fh. Manufacturer, version and medium
// are wildcards.
QByteArray Sec_Select(const std::array<int32_t, 8>& digits);
// The single byte E5h.
bool Is_Ack(const QByteArray& answer);
// 68h L L 68h ... CS 16h with a correct sum and at least 22 bytes.
bool Is_Valid_Long_Frame(const QByteArray& answer);
// LF CR text LF CR, compared whole.
bool Is_Framed_Text(const QByteArray& answer, const char* text);
// "NO_SLAVE" LF CR
bool Is_No_Slave(const QByteArray& answer);
} // namespace MBusFrame

// One unicast IPv4 address (four decimal octets, not 0.0.0.0, not broadcast,
// not multicast or above), in network byte order: the only kind of gateway
// address a scan sends to.
bool MBus_Unicast_IPv4(const QString& text, uint32_t& addressBE);

// Time-outs in ms (integer division).
constexpr int MBus_Command_Timeout = 1000;
int MBus_Short_Timeout(int baudrate);
int MBus_Long_Timeout(int baudrate);

// ---------------------------------------------------------------------------

class TMBusScanDecode : public TThread {
    KAL_CLASS(TMBusScanDecode, TThread)
public:
    // The program makes it running (NewObject); tests that step a scan by hand
    // make it suspended and never start it. A null clock is the monotonic one.
    explicit TMBusScanDecode(bool createSuspended, std::shared_ptr<IMBusClock> clock = nullptr);
    ~TMBusScanDecode() override;
    void BeforeDestruction() override;

    // -- the window's side --
    // False, with the reason in Last_Error, while a scan runs, for an address
    // that is not one unicast IPv4 address (Ethernet), or when the socket or
    // the port cannot be opened; nothing is then sent or left bound.
    bool Start_Scan(TScanType ScanT, TSelectHard SelHard, const QString& IP_COM, int Baud, int Par, bool AppReset,
                    bool SNDNKE, int CutAfter, TUpdateSlaveList Proc_Slave_List);
    void Stop_Scan() { FStopScan = true; }
    void Abort_Scan() { FAbortScan = true; }

    bool Exit() const { return FExit; }
    bool InScan() const { return FInScan; }
    void SetInScan(bool v) { FInScan = v; }
    int32_t Result() const { return FResult; }
    bool StopScan() const { return FStopScan; }
    bool AbortScan() const { return FAbortScan; }
    void SetAbortScan(bool v) { FAbortScan = v; }
    QString Last_Error() const;

    // -- the link --
    // Sends text (8-bit characters, no terminator) or Req_Array to the
    // gateway's port (serial: writes it to the port); clears Answer_Arrived
    // and records Start_Send. Raises ESysError / ECommError when it fails.
    void Send_Command(const QByteArray& cmd, quint16 Port);
    void Send_Command(quint16 Port);
    // The receive handler (listener thread): a datagram from the gateway's
    // address is kept, cut to the answer buffer, and marks an answer.
    void UDP_Data_Received(const Sys::UdpDatagram& datagram);
    bool Answer_Timed_Out();
    // Calls Update_Slave_List, swallowing whatever it raises.
    void Report_Scan_Event(int32_t Kind, int32_t Address, int32_t Found, int32_t ScanType);
    // A valid long frame into a new device (index -1, appended to
    // List_Slaves_MBus) or into the device at index; its records are decoded
    // into the device's list. Returns the walk's result (false when more
    // records follow) and sets index to the device's.
    bool Store_Wired_Answer(int& index, const QByteArray& frame);

    // -- the wireless scan (mbus/UMBusScanWireless.cpp) --
    // Mode: 1 S, 5 T, 15 N1, 17 N2, 11 C; channel: index 0..8. Port is the
    // gateway's port and the local one. False, with the reason in
    // Last_Error, while a scan runs or for an address that is not one
    // unicast IPv4 address or a port that cannot be bound.
    bool Start_Scan_Wireless(TSelectHard SelHard, const QString& IP_COM, quint16 Port, int wMBus_Mode,
                             int wMBus_Radio_Channel, TUpdateListWirelessSlave Proc_Wireless, bool FromDLL);
    // Installs the key of device Index in the module. True only while
    // receiving and for a device of the list (the second kind also needs a
    // free slot of its 64, given only then); the device then has Enable_Key
    // and the key, and the scan leaves receiving to install it.
    bool Insert_Wireless_Key(int Index, const std::array<uint8_t, 16>& Key);
    // A telegram (the datagram as the module passed it on) into the list.
    // False when it is ignored: a length that does not match its L field or
    // a header its CI needs that is cut off.
    bool Process_Wireless_Frame(const QByteArray& telegram);
    // The index in List_Slaves_wMBus of the device with this application
    // identity, or -1. The caller holds the list's lock.
    static int Find_Wireless_Slave(const QList<TSlave_wMBus*>& list, uint16_t manufacturer, int32_t address,
                                   uint8_t version, uint8_t deviceType);
    // One step of the wireless scan.
    void Scan_Decode_Wireless();

    // -- saving what the scan found (mbus/MBusScanSave) --
    bool Save_XML_Conf_Wired(const TSaveConfXML& DataIn) { return ::Save_XML_Conf_Wired(DataIn, List_Slaves_MBus); }
    bool Save_XML_Conf_Wireless(const TSaveConfXML& DataIn)
    {
        return ::Save_XML_Conf_Wireless(DataIn, List_Slaves_wMBus);
    }
    // The scan reports to SaveXMLFile.
    void Save_XML_File_DLL() { Save_Wired_Scan_Report(SaveXMLFile, List_Slaves_MBus); }
    void Save_Wireless_XML_File_DLL() { Save_Wireless_Scan_Report(SaveXMLFile, List_Slaves_wMBus); }

    // -- the state machine --
    // One step of the wired scan.
    void Scan_Decode();
    // One step of the current scan (the loop's body while InScan).
    void Step();

    // -- settings the program leaves at their defaults and tests set --
    QString Local_Bind_Address;      // empty: every address
    quint16 Local_Port = 10000;      // 0: any free port
    quint16 Gateway_Port = 10000;

    // -- fields --
    TRadioModule RadioModule = rmTelit;
    TScanType ScanType = saPrimaryAddress;
    TSelectHard Select_Hardware = shEthernet;
    QString IP_Address;
    QString ComPort;
    int32_t Baudrate = 2400;
    int32_t Parity = 1;
    bool App_Reset = false;
    bool SND_NKE = false;
    int32_t Cut_After = 0;
    int32_t Step_Scan = 0;
    QByteArray Req_Array;
    int32_t TimeOut_Calc = 0;
    uint32_t Start_Send = 0;
    int32_t ID_Dev_Primary = 0;
    bool ID_Dev_Found = false;
    int32_t Num_Frame_Read = 0;
    std::array<int32_t, 8> Index{-1, -1, -1, -1, -1, -1, -1, -1}; // Index_A .. Index_H
    int32_t Index_Device = 0;
    int32_t Sec_Add_Next_Step = 0;
    int32_t Phase_Scan_Sec_Add = 0;
    int32_t Count_Disable_Analyzer = 0;
    bool Enable_Send_In_Last_Step = false;
    uint32_t Type_To_Send_In_Last_Step = 0;
    TMBusType MBusType = mtWired;
    bool From_DLL = false;
    int32_t wMBusMode = 5;
    int32_t wMBusRadioChannel = 0;
    quint16 Port_Wireless = 10000;
    std::atomic<bool> Wireless_Receive_Message{false};
    std::atomic<bool> New_Frame_Wireless{false};
    std::array<uint8_t, 16> Wireless_Key{};
    int32_t Wireless_Key_Index = 0;
    int32_t Index_Key_Send = 0;
    int32_t Index_RadioCrafts_Erase_Position = 0;
    int32_t Index_RadioCrafts_Position_Used = 1;
    TUpdateListWirelessSlave UpdateListWirelessSlave;
    static constexpr int RadioCrafts_Key_Slots = 64;
    QString SaveXMLFile;
    TUpdateSlaveList Update_Slave_List;

    static constexpr int Answer_Buffer_Size = 2051;
    static constexpr int Max_Frames_Per_Meter = 250;

    // A copy of the last datagram kept and whether it arrived since the last
    // send.
    QByteArray Answer() const;
    bool Answer_Arrived() const;

    TEvent* Event_Run() const { return FEventRun.get(); }
    TMBusUdpServer* UDP_Server() const { return FUDPServer.get(); }
    TComm* Comm() const { return FComm.get(); }
    IMBusClock& Clock() const { return *FClock; }
    // Steps taken since the engine was made.
    uint64_t Steps_Taken() const { return FStepsTaken; }

protected:
    void Execute() override;

private:
    // The answer taken out under the lock, if one arrived since the last send.
    bool Take_Answer(QByteArray& answer);
    // Next-digit and wait states of digit level k (1..8).
    static int Next_Digit_State(int k) { return 108 + 2 * (k - 1); }
    static int Wait_State(int k) { return 109 + 2 * (k - 1); }
    void Next_Digit(int k);
    void Wait_Selection(int k);
    void Read_Primary_Answer();
    void Read_Secondary_Answer();
    void Close_Link();
    // Writes the scan report when one was asked for; a report that cannot be
    // written leaves its reason in Last_Error and does not keep the scan going.
    void Save_Scan_Report(void (TMBusScanDecode::*save)());
    // Wireless steps: send and wait for one answer; a wrong answer or a
    // time-out fails the scan.
    void Wireless_Send(const QByteArray& data, int timeout = 1000);
    void Wireless_Expect(const std::function<bool(const QByteArray&)>& ok, int next);
    void Wireless_Any(int next);
    void Wireless_Fail();
    QByteArray Wireless_Identity(bool telit, int part) const;
    void Shutdown();

    std::atomic<bool> FExit{false};
    std::atomic<bool> FInScan{false};
    std::atomic<int32_t> FResult{-1};
    std::atomic<bool> FStopScan{false};
    std::atomic<bool> FAbortScan{false};
    std::atomic<uint64_t> FStepsTaken{0};

    mutable std::mutex FAnswerLock;
    std::array<uint8_t, Answer_Buffer_Size> FAns_Array{};
    int32_t FAns_Len = 0;
    bool FAnswer_Arrived = false;
    uint32_t FGatewayBE = 0; // the only sender whose datagrams are answers

    mutable std::mutex FErrorLock;
    QString FLastError;

    std::shared_ptr<IMBusClock> FClock;
    std::unique_ptr<TEvent> FEventRun;
    std::unique_ptr<TMBusUdpServer> FUDPServer;
    std::unique_ptr<TComm> FComm;
    bool FShutDown = false;
    // Held through each wireless step and by Insert_Wireless_Key, which
    // moves the state from the window's thread.
    std::recursive_mutex FWirelessLock;
};
