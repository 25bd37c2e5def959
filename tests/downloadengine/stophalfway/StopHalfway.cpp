// A host that stops its download halfway and ends, leaving the file's header in the default header
// folder for a control of another process. Arguments: the file's address and its save path. Exit code 0
// once half the file arrived before the stop, else 1 for wrong arguments and 3 for no halfway stop.
#include "EngineTestSupport.h"

#include <shellapi.h>

int main() {
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args || count != 3) {
        return 1;
    }
    enginetest::TestEngine test;
    test.keepDefaultHeaderFolder();
    const bool stopped = test.stopHalfway(args[1], args[2]);
    LocalFree(args);
    return stopped ? 0 : 3;
}
