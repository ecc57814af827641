// A list box follows letters typed on it, as the combo box does.
#include "StdKit.h"

namespace {

TEST_F(StdTest, ListBoxLettersStepThroughItemsOrSearchByPrefix) {
    auto* lb = Place<TListBox>(10, 10, 120, 100);
    for (const char* s : {"Apple", "Banana", "Cherry", "Blueberry", "Date", "Bandit"}) lb->Items()->Add(s);
    lb->SetFocus();
    struct Step {
        char typed;
        int pauseMs;  // since the letter before; over a second starts anew
        int expected;
    };
    const Step steps[] = {
        {'b', 2000, 1},  // the first item with the letter
        {'b', 2000, 3},  // again: the next one
        {'B', 2000, 5},  // case does not count
        {'b', 2000, 1},  // past the end it goes round
        {'x', 2000, 1},  // no item starts with it: the selection stays
        {'b', 2000, 3},
        {'a', 100, 5},   // typed quickly: the next item starting "ba"
        {'b', 2000, 1},
        {'a', 100, 1},   // the selected item still fits "ba": it stays
        {'n', 100, 1},
        {'d', 100, 5},   // "band"
    };
    for (const Step& s : steps) {
        SetTickCountForTest(TickCount() + s.pauseMs);
        Input::Char(QChar(s.typed));
        EXPECT_EQ(lb->ItemIndex(), s.expected) << s.typed;
    }
}

}  // namespace
