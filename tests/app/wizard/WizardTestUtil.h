#pragma once
// Shared pieces of the wizard tests: an echo service that follows a script on
// a clock the test owns, a guard that lets nothing but loopback reach the real
// echo service, and a flat view of an XML tree.
#include "app/UBootTCP.h"
#include "app/UComon.h"
#include "app/ULanguage.h"
#include "platform/core/Threads.h"
#include "platform/sys/IcmpEcho.h"
#include "platform/sys/Processes.h"
#include "platform/xml/XmlDoc.h"
#include "support/QtPrinters.h"
#include "support/ToolkitApp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include <arpa/inet.h>

#include <functional>
#include <memory>

namespace wiztest {

// The windows need the toolkit's application object, headless.
inline void Ensure_Gui()
{
    KalTest::EnsureToolkitApp();
}

inline bool Is_Loopback(const QString& address)
{
    uint32_t be = 0;
    return Sys::ParseIPv4(address, be) && (ntohl(be) >> 24) == 127;
}

// The test's own millisecond clock, answered through GetTickCount.
struct TFakeClock {
    uint32_t Now = 5000;
};

// One try of a scripted run: answered or not, and how long the request took.
struct TTry {
    bool Answer;
    int Ms;
};

class TScriptedEcho : public Sys::IIcmpEcho {
public:
    explicit TScriptedEcho(TFakeClock& clock) : FClock(clock) {}
    // The answer of try n (from 0).
    std::function<TTry(int)> Script = [](int) { return TTry{true, 1}; };
    QStringList Addresses;
    QList<int> Sizes, Timeouts;

    Sys::EchoResult Echo(const QString& address, int payloadSize, int timeoutMs) override
    {
        // Like the real service: a numeric IPv4 address or nothing is sent.
        uint32_t be = 0;
        if (!Sys::ParseIPv4(address, be))
            throw ESysError(QStringLiteral("\"%1\" is not a numeric IPv4 address").arg(address));
        Addresses.append(address);
        Sizes.append(payloadSize);
        Timeouts.append(timeoutMs);
        const TTry t = Script(int(Addresses.size()) - 1);
        FClock.Now += uint32_t(t.Ms);
        Sys::EchoResult r;
        r.Status = t.Answer ? Sys::EchoStatus::Reply : Sys::EchoStatus::TimedOut;
        r.Bytes = t.Answer ? payloadSize : 0;
        r.TimeMs = t.Ms;
        return r;
    }

private:
    TFakeClock& FClock;
};

// The real echo service, refusing (as a test failure) anything but loopback.
class TLoopbackOnlyEcho : public Sys::IIcmpEcho {
public:
    Sys::EchoResult Echo(const QString& address, int payloadSize, int timeoutMs) override
    {
        uint32_t be = 0;
        if (Sys::ParseIPv4(address, be) && !Is_Loopback(address)) {
            ADD_FAILURE() << "a test tried to ping " << address.toStdString();
            throw ESysError(QStringLiteral("refused by the test"));
        }
        return FReal.Echo(address, payloadSize, timeoutMs);
    }

private:
    Sys::RealIcmpEcho FReal;
};

// Every test starts with English texts, model 9, a program folder of its own
// and services that send nothing anywhere; the globals are put back after.
class WizardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Tmp.isValid());
        Load_Default_Texts();
        Saved_Model = Model_Code;
        Saved_IP = Last_IP_Address;
        Saved_Program = Dir_Program;
        Saved_Project = Dir_Project;
        Model_Code = 9;
        Set_Program_Folders(Tmp.path());
        Dir_Project = Tmp.path() + "/PROJECTS/T1";
        Last_IP_Address = QStringLiteral("192.168.2.205");
        auto echo = std::make_unique<TScriptedEcho>(Clock);
        Echo = echo.get();
        Sys::SetIcmpEcho(std::move(echo));
        auto processes = std::make_unique<Sys::FakeProcesses>();
        Processes = processes.get();
        Sys::SetProcesses(std::move(processes));
        SetTickCountHook([this] { return Clock.Now; });
    }
    void TearDown() override
    {
        SetTickCountHook({});
        Sys::SetIcmpEcho(nullptr);
        Sys::SetProcesses(nullptr);
        Model_Code = Saved_Model;
        Last_IP_Address = Saved_IP;
        Set_Program_Folders(Saved_Program);
        Dir_Project = Saved_Project;
    }
    // A wizard whose pauses advance the test's clock by 10 ms.
    void Use_Fake_Clock(TBootTCP& w)
    {
        w.Wait_Step = [this] { Clock.Now += 10; };
    }

    QTemporaryDir Tmp;
    TFakeClock Clock;
    TScriptedEcho* Echo = nullptr;
    Sys::FakeProcesses* Processes = nullptr;

private:
    int Saved_Model = 0;
    QString Saved_IP, Saved_Program, Saved_Project;
};

// Elements in document order as "depth name=text" lines (text only for
// elements without element children).
inline void Flatten(const XmlNode& n, int depth, QStringList& out)
{
    const QList<XmlNode> kids = n.ChildElements();
    out.append(QString(depth * 2, QLatin1Char(' ')) + n.NodeName() + (kids.isEmpty() ? "=" + n.Text() : QString()));
    for (const XmlNode& k : kids)
        Flatten(k, depth + 1, out);
}

inline QStringList Flatten(const XmlDocument& doc)
{
    QStringList out;
    Flatten(doc.DocumentElement(), 0, out);
    return out;
}

} // namespace wiztest
