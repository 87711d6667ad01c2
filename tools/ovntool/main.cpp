// ovntool: checks, shows, exports, imports, compares and creates menu files.
// Everything but this line lives in the ovn_cli library.
#include "tools/ovntool/Commands.h"

int main(int argc, char** argv) {
    return ovntool::Main(argc, argv);
}
