// The program's main block.
#include <cstdio>

int main()
{
    std::puts("Kalmetor gateway configuration: the main window is not built yet.");
    return 0;
}
