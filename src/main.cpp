// The process entry: everything happens in WinMain.
#include "shell/win_main.h"

int main()
{
    return WinMain();
}
