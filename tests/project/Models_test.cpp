// The per-model facts and the ParGen key table as the other layers use them.
#include "project/Models.h"
#include "project/ParGen.h"
#include "platform/core/Exceptions.h"

#include <gtest/gtest.h>

namespace {

TEST(ModelFacts, EveryModelCodeHasFactsAndPartnersShareTheirBaseRow)
{
    QList<int> bases(std::begin(Base_Model_Codes), std::end(Base_Model_Codes));
    EXPECT_EQ(Model_Facts_Codes(), bases);
    for (int code : All_Model_Codes()) {
        const TModelFacts* f = Find_Model_Facts(code);
        ASSERT_NE(f, nullptr) << code;
        EXPECT_EQ(f->Base_Code, Base_Model_Code(code)) << code;
        // The prefix names real keys of the key table.
        EXPECT_NE(Find_ParGen_Key(Ethernet_Key_Prefix(code) + QStringLiteral("IP1")), nullptr) << code;
        EXPECT_NE(Find_ParGen_Key(Ethernet_Key_Prefix(code) + QStringLiteral("EN_GAT")), nullptr) << code;
    }
    EXPECT_EQ(Find_Model_Facts(16), nullptr);
    EXPECT_EQ(Find_Model_Facts(1002), nullptr);
    EXPECT_TRUE(Ethernet_Key_Prefix(0).isEmpty());
    const struct {
        int Code;
        const char* Prefix;
    } prefixes[] = {{3, "Modbus_TCP_Master_"}, {1003, "Modbus_TCP_Master_"}, {9, "Modbus_TCP_Slave_"},
                    {12, "PROFINET_"},          {15, "PROFINET_"},          {13, "EtherNetIP_"}};
    for (const auto& p : prefixes)
        EXPECT_EQ(Ethernet_Key_Prefix(p.Code), QLatin1String(p.Prefix)) << p.Code;
    EXPECT_TRUE(Find_Model_Facts(1010)->MBus);
    EXPECT_FALSE(Find_Model_Facts(9)->MBus);
}

TEST(ParGenKeys, AMisspeltKeyIsAnErrorNotADefault)
{
    EXPECT_EQ(QLatin1String(Require_ParGen_Key(QStringLiteral("J1939_BAUDRATE")).Name), QStringLiteral("J1939_BAUDRATE"));
    EXPECT_THROW(Require_ParGen_Key(QStringLiteral("J1939_BAUDRTE")), EInvalidOperation);
    EXPECT_NE(Find_ParGen_Key(ParGen_Wire_Present), nullptr);
    EXPECT_NE(Find_ParGen_Key(ParGen_Wireless_Present), nullptr);
    // Every model writes the two KNX keys first.
    for (int code : All_Model_Codes()) {
        const QStringList keys = ParGen_Model_Keys(code);
        ASSERT_GE(keys.size(), 2) << code;
        EXPECT_EQ(keys[0], QStringLiteral("KNX_TYPE")) << code;
        EXPECT_EQ(keys[1], QStringLiteral("KNX_ID_DEV")) << code;
    }
}

} // namespace
