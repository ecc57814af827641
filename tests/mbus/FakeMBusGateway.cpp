#include "FakeMBusGateway.h"

#include <chrono>

namespace {

const QByteArray Ack("\xE5", 1);

QByteArray framed(const char* text)
{
    return QByteArray("\n\r") + text + "\n\r";
}

uint8_t sum(const QByteArray& b, qsizetype from, qsizetype to)
{
    uint8_t s = 0;
    for (qsizetype i = from; i < to; ++i)
        s = uint8_t(s + uint8_t(b[i]));
    return s;
}

qint64 nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The eight digits of a selection (bytes 7..10 of the frame, least
// significant byte first); Fh in a nibble matches any digit.
bool matches(uint32_t pattern, uint32_t id)
{
    for (int shift = 0; shift < 32; shift += 4) {
        const uint32_t p = (pattern >> shift) & 0xF;
        if (p != 0xF && p != ((id >> shift) & 0xF))
            return false;
    }
    return true;
}

} // namespace

const QByteArray TFakeGatewayScript::No_Slave("NO_SLAVE\n\r");
// What a receiver makes of two meters answering at once.
const QByteArray TFakeGatewayScript::Garbled("\xE5\x7F\xF1\x03", 4);

std::optional<QByteArray> TFakeGatewayScript::Answer(const QByteArray& datagram)
{
    if (Silent)
        return std::nullopt;
    struct Command {
        const char* Text;
        bool Analyzer;
        const char* Reply;
    };
    static const Command commands[] = {
        {"Tavlon_Enable_Analyzer_Mode", true, "Analyzer_Mode Enabled!"},
        {"Tavlon_Disable_Analyzer_Mode", false, "Analyzer_Mode Disabled!"},
    };
    if (datagram == "Tavlon_Enable_Configuration_Mode" && Radio.Kind != TFakeRadio::None) {
        Radio.Config_Mode = true;
        return framed("Configuration_Mode Enabled!");
    }
    if (datagram == "Tavlon_Disable_Configuration_Mode" && Radio.Config_Mode) {
        Radio.Config_Mode = false;
        Radio.Receiving = false;
        return framed("Configuration_Mode Disabled!");
    }
    if (Radio.Config_Mode) {
        if (datagram == "Tavlon_Type_Radio_Module")
            return framed(Radio.Kind == TFakeRadio::Telit ? "TELIT" : "RADIOCRAFTS");
        return Radio.Answer(datagram);
    }
    for (const Command& c : commands) {
        if (datagram == c.Text) {
            Analyzer_Mode = c.Analyzer;
            if (Mode_Answer_Override)
                return *Mode_Answer_Override;
            return framed(c.Reply);
        }
    }
    if (!Analyzer_Mode)
        return std::nullopt;
    return Bus_Answer(datagram);
}

QList<int> TFakeGatewayScript::Addressed(uint8_t address) const
{
    if (address == 0xFD)
        return FSelected;
    QList<int> found;
    for (int i = 0; i < Meters.size(); ++i)
        if (address == 0xFF || Meters[i].Primary == address)
            found.append(i);
    return found;
}

std::optional<QByteArray> TFakeGatewayScript::Bus_Answer(const QByteArray& f)
{
    const qsizetype n = f.size();
    const bool shortFrame = n == 5 && uint8_t(f[0]) == 0x10 && uint8_t(f[4]) == 0x16 && uint8_t(f[3]) == sum(f, 1, 3);
    const bool longFrame = n >= 9 && uint8_t(f[0]) == 0x68 && uint8_t(f[3]) == 0x68 && f[1] == f[2] &&
                           uint8_t(f[1]) == n - 6 && uint8_t(f[n - 1]) == 0x16 && uint8_t(f[n - 2]) == sum(f, 4, n - 2);
    if (!shortFrame && !longFrame)
        return No_Slave;
    const uint8_t c = uint8_t(f[shortFrame ? 1 : 4]);
    const uint8_t a = uint8_t(f[shortFrame ? 2 : 5]);

    if (longFrame && uint8_t(f[6]) == 0x52 && n == 17) {
        const uint32_t pattern = uint32_t(uint8_t(f[7])) | uint32_t(uint8_t(f[8])) << 8 |
                                 uint32_t(uint8_t(f[9])) << 16 | uint32_t(uint8_t(f[10])) << 24;
        FSelected.clear();
        for (int i = 0; i < Meters.size(); ++i)
            if (matches(pattern, Meters[i].Id))
                FSelected.append(i);
        for (int i : FSelected)
            Meters[i].Next = 0;
        if (FSelected.isEmpty())
            return No_Slave;
        return FSelected.size() == 1 ? Ack : Garbled;
    }

    const QList<int> to = Addressed(a);
    if (to.isEmpty())
        return No_Slave;
    const bool reset = (shortFrame && c == 0x40) || (longFrame && uint8_t(f[6]) == 0x50);
    if (reset) {
        for (int i : to)
            Meters[i].Next = 0;
        if (shortFrame && a == 0xFD)
            FSelected.clear(); // SND_NKE deselects
        return Ack;
    }
    if (shortFrame && (c == 0x7B || c == 0x5B)) {
        if (to.size() > 1)
            return Garbled;
        TFakeMeter& m = Meters[to[0]];
        if (m.Frames.isEmpty())
            return No_Slave;
        const QByteArray answer = m.Frames[std::min<qsizetype>(m.Next, m.Frames.size() - 1)];
        ++m.Next;
        return answer;
    }
    return No_Slave;
}

QByteArray Fake_Meter_Frame(uint8_t primary, uint32_t id, uint16_t manufacturer, uint8_t version, uint8_t medium,
                            const QByteArray& records)
{
    QByteArray body;
    body.append(char(0x08)).append(char(primary)).append(char(0x72));
    for (int shift = 0; shift < 32; shift += 8)
        body.append(char(id >> shift));
    body.append(char(manufacturer)).append(char(manufacturer >> 8));
    body.append(char(version)).append(char(medium)).append(char(0x2A)).append(char(0)).append(2, char(0));
    body.append(records);
    QByteArray f;
    f.append(char(0x68)).append(char(body.size())).append(char(body.size())).append(char(0x68)).append(body);
    f.append(char(sum(f, 4, f.size()))).append(char(0x16));
    return f;
}

// ---------------------------------------------------------------------------

FakeMBusGateway::FakeMBusGateway()
{
    FEndpoint.Bind(QString::fromLatin1(Address), 0);
    FPort = FEndpoint.LocalPort();
    FThread = std::thread([this] { run(); });
}

FakeMBusGateway::~FakeMBusGateway()
{
    FStop = true;
    FThread.join();
}

void FakeMBusGateway::Script(const std::function<void(TFakeGatewayScript&)>& change)
{
    std::lock_guard g(FLock);
    change(FScript);
}

void FakeMBusGateway::Add_Meter(uint8_t primary, uint32_t id, const QList<QByteArray>& frames)
{
    Script([&](TFakeGatewayScript& s) { s.Meters.append(TFakeMeter{primary, id, frames, 0}); });
}

QList<FakeMBusGateway::Received> FakeMBusGateway::Datagrams() const
{
    std::lock_guard g(FLock);
    return FReceived;
}

QList<QByteArray> FakeMBusGateway::Data() const
{
    QList<QByteArray> data;
    for (const Received& r : Datagrams())
        data.append(r.Data);
    return data;
}

bool FakeMBusGateway::Wait_Until(const std::function<bool(const QList<Received>&)>& done, int timeoutMs) const
{
    std::unique_lock l(FLock);
    return FChanged.wait_for(l, std::chrono::milliseconds(timeoutMs), [&] { return done(FReceived); });
}

void FakeMBusGateway::Send_From(const QString& from, const QByteArray& data, const QString& to, quint16 port)
{
    Sys::RealUdpEndpoint e;
    e.Bind(from, 0);
    e.SendTo(data, to, port);
}

void FakeMBusGateway::run()
{
    while (!FStop) {
        std::optional<Sys::UdpDatagram> d;
        try {
            d = FEndpoint.Receive(20);
        } catch (const std::exception&) {
            continue;
        }
        if (!d)
            continue;
        std::optional<QByteArray> answer;
        {
            std::lock_guard g(FLock);
            FReceived.append({d->Data, nowMs(), d->Address, d->Port});
            answer = FScript.Answer(d->Data);
        }
        FChanged.notify_all();
        if (Before_Answer)
            Before_Answer(d->Data);
        if (answer) {
            try {
                FEndpoint.SendTo(*answer, d->Address, d->Port);
            } catch (const std::exception&) {
            }
        }
    }
}

std::optional<QByteArray> TFakeRadioModule::Answer(const QByteArray& d)
{
    Received.append(d);
    const QByteArray prompt(">");
    if (Kind == TFakeRadio::Telit) {
        if (d == "+++") {
            Receiving = false;
            return QByteArray("OK\r");
        }
        if (d.startsWith("AT") && d.endsWith('\r')) {
            if (d == "ATO\r")
                Receiving = true;
            return QByteArray("OK\r");
        }
        return std::nullopt;
    }
    if (d.size() == 1) {
        const auto b = uint8_t(d[0]);
        const bool slotFollows = FLastCommand == 0x42 || FLastCommand == 0x4B || FLastCommand == 0x41;
        if (slotFollows && b >= 1 && b <= 64)
            return std::nullopt; // a slot number: the block after it is answered
        FLastCommand = b;
        switch (b) {
        case 0x00:
            Receiving = false;
            return prompt;
        case 0x30:
            return QByteArray(256, 'R') + prompt;
        case 0x58:
            Receiving = true;
            return std::nullopt;
        default:
            return prompt;
        }
    }
    return prompt;
}
