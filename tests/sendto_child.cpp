// sendto_child.cpp - a Send To host that keeps the result: MySendTo reads
// this program's own command line, as it reads rundll32's, and the program
// exits with what it returned.
#include "Sefrabox.h"

int main() { return MySendTo(); }
