// shell_hold_file.cpp - a program that keeps a file open for the shell
// tests: shell_hold_file <file> <event>; opens the file for reading (others
// may read and write), signals the named event and waits to be ended.
#include <windows.h>

int main(int argc, char **argv)
{
    if (argc != 3)
        return 87;
    HANDLE file = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return static_cast<int>(GetLastError());
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]);
    if (!ready)
        return static_cast<int>(GetLastError());
    SetEvent(ready);
    CloseHandle(ready);
    Sleep(INFINITE);
    CloseHandle(file);
    return 0;
}
