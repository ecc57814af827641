#include "mbus/MBusRecords.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>
#include <thread>

TEST(MBusTexts, Manufacturer)
{
    EXPECT_EQ(Manufacturer_Text(0x0442), QStringLiteral("ABB"));
    EXPECT_EQ(Manufacturer_Text(0), QStringLiteral("???"));
    EXPECT_EQ(Manufacturer_Text(0x7FFF), QStringLiteral("???"));
    // Bit 15 is not part of the code.
    EXPECT_EQ(Manufacturer_Text(0x8442), QStringLiteral("ABB"));
    EXPECT_EQ(Manufacturer_Letter(65), QStringLiteral("A"));
    EXPECT_EQ(Manufacturer_Letter(90), QStringLiteral("Z"));
    EXPECT_EQ(Manufacturer_Letter(64), QStringLiteral("?"));
    EXPECT_EQ(Manufacturer_Letter(91), QStringLiteral("?"));
}

TEST(MBusTexts, Bcd)
{
    struct Case {
        std::vector<uint8_t> Bytes;
        int64_t Value;
    };
    const Case cases[] = {
        {{0x12, 0x34}, 3412},
        {{0x12, 0xF4}, -412},
        {{0x78, 0x56, 0x34, 0x12}, 12345678},
        {{0xF1}, -1},
        {{0x0A}, 10},        // a nibble above 9 counts with its value
        {{0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99}, 999999999999999999},
        {{}, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Bcd_Value(c.Bytes.data(), int(c.Bytes.size())), c.Value);
}

TEST(MBusTexts, DigitsAndPowers)
{
    EXPECT_EQ(Two_Digits(7), QStringLiteral("07"));
    EXPECT_EQ(Two_Digits(0), QStringLiteral("00"));
    EXPECT_EQ(Two_Digits(12), QStringLiteral("12"));
    EXPECT_EQ(Two_Digits(123), QStringLiteral("123"));
    EXPECT_EQ(Power_Of_Ten(0), 1);
    EXPECT_EQ(Power_Of_Ten(18), 1000000000000000000);
}

TEST(MBusTexts, Medium)
{
    EXPECT_EQ(Medium_Text(6), QStringLiteral("Hot Water"));
    EXPECT_EQ(Medium_Text(12), QStringLiteral("Heat (inlet) "));
    EXPECT_EQ(Medium_Text(16), QStringLiteral("Other"));
    EXPECT_EQ(Medium_Text(0), QStringLiteral("Other"));
    EXPECT_EQ(Medium_Text(21), QStringLiteral("Other"));
    EXPECT_EQ(Medium_Text(22), QStringLiteral("Cold Water"));
    EXPECT_EQ(Medium_Text(25), QStringLiteral("A/D Converter"));
    EXPECT_EQ(Medium_Text(26), QStringLiteral("Other"));
    EXPECT_EQ(Medium_Text(255), QStringLiteral("Other"));
}

TEST(MBusRecords, Defaults)
{
    const TVariable_MBus v;
    EXPECT_FALSE(v.errata);
    EXPECT_EQ(v.vifvalue, -1);
    EXPECT_TRUE(v.Enable);
    EXPECT_EQ(v.Node, nullptr);
    EXPECT_EQ(v.nbyte, 0);
    const TSlave_wMBus w;
    EXPECT_TRUE(w.Enable);
    EXPECT_FALSE(w.Enable_Key);
    EXPECT_TRUE(w.List_Var.isEmpty());
}

TEST(MBusRecords, DevicesFreeTheirRecords)
{
    // The sanitizer build reports a record left behind or freed twice.
    auto* w = new TSlave_wMBus;
    for (int i = 0; i < 3; ++i)
        w->List_Var.append(new TVariable_MBus);
    w->Cancel_Var();
    EXPECT_TRUE(w->List_Var.isEmpty());
    w->List_Var.append(new TVariable_MBus);
    w->Destry();

    auto* s = new TSlave_MBus;
    s->List_Var.append(new TVariable_MBus);
    s->List_Var.append(new TVariable_MBus);
    s->Destry();
}

// One thread appends while another reads: each use holds the lock, so a
// reader never sees the list half changed.
TEST(MBusRecords, SharedListsLockEveryUse)
{
    TMBusSlaveList<TSlave_MBus> list;
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; i < 2000; ++i) {
            auto* s = new TSlave_MBus;
            s->Primary_Addresss = uint16_t(i);
            list.Add(s);
        }
        done = true;
    });
    int lastSeen = 0;
    while (!done) {
        auto locked = list.Lock();
        const int n = int(locked->size());
        EXPECT_GE(n, lastSeen);
        if (n > 0) {
            EXPECT_EQ((*locked)[n - 1]->Primary_Addresss, n - 1);
        }
        lastSeen = n;
    }
    writer.join();
    EXPECT_EQ(list.Count(), 2000);
    list.Free_All();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(List_Slaves_MBus.Count(), 0);
    EXPECT_EQ(List_Slaves_wMBus.Count(), 0);
}
