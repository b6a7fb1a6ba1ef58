// show_entry_child.cpp - the second process of show_entry_test.
//
//   show_entry_child show     SB_ShowDlg on the default store; exits with its
//                             result (the test ends the dialog or the process)
#include "Sefrabox.h"

#include <cstring>

int main(int argc, char **argv)
{
    if (argc == 2 && std::strcmp(argv[1], "show") == 0)
        return SB_ShowDlg(nullptr, nullptr, nullptr, nullptr);
    return 100;
}
