#pragma once
// Running the machine's own tools on files the tests make under Wine.
#include <string>

// The Unix path of a Windows path; empty when Wine cannot map it.
std::string unixPath(const std::wstring& windowsPath);

// Runs tests/saving/<script> with python3 and the arguments (each in double quotes), waits for it, and
// returns what it wrote to its result file: "OK" or a description of what was wrong.
std::string runCheckScript(const std::string& script, const std::string& arguments);
