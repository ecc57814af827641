#pragma once
// The built-in English texts of the text table: the numbers that hold a text
// of their own, in number order. Every other number of the table holds " ".
#include <QStringView>

struct TDefaultText {
    int Number;
    const char16_t* Text;
};

inline constexpr int Default_Text_Count = 1164;
extern const TDefaultText Default_Texts[Default_Text_Count];
