// What the about box shows for the maker's models and the partner editions.
#include "app/UAbout.h"

#include <gtest/gtest.h>

TEST(About, ValuesOfTheModelTable)
{
    const struct {
        int Code;
        const char *Desc, *SW, *Version, *Doc;
        bool Partner;
    } cases[] = {
        {9, "J1939 / KNX - Converter", "CF31A06", "1.100", "MN31A06", false},
        {1012, "Gateway PROFINET - KNX TP", "OS-GW-106-TP", "1.100", "MCOSGW106TP", true},
    };
    for (const auto& c : cases) {
        const TAboutValues v = About_Values(c.Code);
        EXPECT_EQ(v.Description, QString::fromLatin1(c.Desc));
        EXPECT_EQ(v.SW_Code, QString::fromLatin1(c.SW));
        EXPECT_EQ(v.Version, QString::fromLatin1(c.Version));
        EXPECT_EQ(v.Doc_Code, QString::fromLatin1(c.Doc));
        EXPECT_EQ(v.Partner, c.Partner);
    }
}
