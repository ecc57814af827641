// Every table with a row per gateway model, in whichever layer it lives,
// covers the same model codes: a model added to one and forgotten in another
// would otherwise fall back to some default at run time.
#include "app/UKalmetoreFirmWare.h"
#include "app/UParGen.h"
#include "image/USaveBincc.h"
#include "project/Models.h"
#include "project/ParGen.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

QList<int> Sorted(QList<int> codes)
{
    std::sort(codes.begin(), codes.end());
    return codes;
}

TEST(ModelTables, EveryPerModelTableCoversTheSameModelCodes)
{
    const QList<int> bases(std::begin(Base_Model_Codes), std::end(Base_Model_Codes));
    // Tables keyed by the base code.
    EXPECT_EQ(Sorted(Model_Facts_Codes()), bases);
    EXPECT_EQ(Sorted(ParGen_Group_Codes()), bases);
    // The model table: every base code and its partner editions.
    QList<int> tableBases;
    for (int code : All_Model_Codes()) {
        ASSERT_NE(Find_Model(code), nullptr) << code;
        if (!tableBases.contains(Base_Model_Code(code)))
            tableBases.append(Base_Model_Code(code));
    }
    EXPECT_EQ(Sorted(tableBases), bases);

    for (int code : All_Model_Codes()) {
        SCOPED_TRACE(code);
        EXPECT_NE(Find_Model_Facts(code), nullptr);
        EXPECT_NE(Find_RePosition(code), nullptr);
        EXPECT_FALSE(Main_Layout(code).Buttons.isEmpty());
        EXPECT_GE(ParGen_Model_Keys(code).size(), 2);
        // Every model builds an image but the two DeviceNet models, which
        // have none by design.
        const int base = Base_Model_Code(code);
        const bool deviceNet = base == 7 || base == 8;
        EXPECT_EQ(Find_Model_Image(code) == nullptr, deviceNet);
        if (const TModelImage* image = Find_Model_Image(code)) {
            EXPECT_NE(image->Build, nullptr);
        }
    }
    // A code that is no model has a row nowhere.
    for (int code : {0, 16, 1002, 1015}) {
        SCOPED_TRACE(code);
        EXPECT_EQ(Find_Model(code), nullptr);
        EXPECT_EQ(Find_Model_Facts(code), nullptr);
        EXPECT_EQ(Find_RePosition(code), nullptr);
        EXPECT_EQ(Find_Model_Image(code), nullptr);
    }
}

} // namespace
