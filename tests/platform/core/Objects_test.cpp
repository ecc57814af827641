#include "platform/core/Exceptions.h"
#include "platform/core/Objects.h"

#include <gtest/gtest.h>

namespace {
class TShape : public TPersistent {
    KAL_CLASS(TShape, TPersistent)
public:
    int Size = 0;
    void Assign(const TPersistent* source) override
    {
        if (const auto* shape = dynamic_cast<const TShape*>(source)) {
            Size = shape->Size;
            return;
        }
        TPersistent::Assign(source);
    }
};

class TCircle : public TShape {
    KAL_CLASS(TCircle, TShape)
};

// Knows how to copy itself into a shape, though the shape does not know it.
class TTemplate : public TPersistent {
    KAL_CLASS(TTemplate, TPersistent)
protected:
    void AssignTo(TPersistent* dest) const override
    {
        if (auto* shape = dynamic_cast<TShape*>(dest)) {
            shape->Size = 99;
            return;
        }
        TPersistent::AssignTo(dest);
    }
};

class TOther : public TPersistent {
    KAL_CLASS(TOther, TPersistent)
};
} // namespace

TEST(Objects, ClassNamesAndAncestry)
{
    TCircle c;
    const TObject& o = c;
    EXPECT_EQ(o.ClassName(), QStringLiteral("TCircle"));
    const struct { const char* name; bool inherits; } cases[] = {
        {"TCircle", true}, {"tshape", true}, {"TPersistent", true}, {"TObject", true}, {"TOther", false}, {"", false},
    };
    for (const auto& k : cases)
        EXPECT_EQ(o.InheritsFrom(QString::fromLatin1(k.name)), k.inherits) << k.name;
    EXPECT_TRUE(o.ClassNameIs(QStringLiteral("tcircle")));
}

TEST(Objects, AssignBothWaysAndForeignSources)
{
    TShape a, b;
    a.Size = 5;
    b.Assign(&a);
    EXPECT_EQ(b.Size, 5);

    TTemplate t;
    b.Assign(&t);
    EXPECT_EQ(b.Size, 99);

    TOther other;
    try {
        b.Assign(&other);
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Cannot assign a TOther to a TShape"));
    }
    try {
        other.Assign(nullptr);
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Cannot assign a nil to a TOther"));
    }
}

TEST(Objects, RegistryCreatesByName)
{
    RegisterClass<TCircle>();
    const TClassInfo* info = GetClass(QStringLiteral("tcircle"));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->Name, QStringLiteral("TCircle"));
    TObject* made = info->Create();
    EXPECT_EQ(made->ClassName(), QStringLiteral("TCircle"));
    made->Free();

    EXPECT_EQ(GetClass(QStringLiteral("TNothing")), nullptr);
    try {
        FindClass(QStringLiteral("TNothing"));
        FAIL() << "no exception";
    } catch (const EClassNotFound& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Class TNothing not found"));
    }
    UnRegisterClass(QStringLiteral("TCircle"));
    EXPECT_EQ(GetClass(QStringLiteral("TCircle")), nullptr);
}
