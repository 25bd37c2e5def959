// A script client through the system's script host: late binding by ProgID, as a page or script
// would use the control.
#include <gtest/gtest.h>

#include "activex/PxhlTestSupport.h"
#include "support/TestSupport.h"

using namespace pxhltest;

TEST(ScriptClient, JScriptCreatesTheControlSetsPropertiesAndQueuesFiles) {
    OleApartment ole;
    registerPxhl();
    std::string output;
    DWORD exitCode = runProgram(
        L"cscript.exe //nologo \"" + testsupport::sourcePath(L"tests/activex/PxhlClient.js") + L"\"",
        &output);
    EXPECT_EQ(exitCode, 0u) << output;
    EXPECT_EQ(output.find("FAIL"), std::string::npos) << output;
    EXPECT_NE(output.find("ok   count after clear: 0"), std::string::npos) << output;
}
