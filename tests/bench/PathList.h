#pragma once
// The address paths a benchmark fetches from a list file, one a line (blank lines skipped), as the
// benchmark scripts write them from a run's addresses.
#include <fstream>
#include <string>
#include <vector>

inline std::vector<std::string> readPathList(const char* listFile) {
    std::vector<std::string> paths;
    std::ifstream list(listFile);
    for (std::string path; std::getline(list, path);) {
        if (!path.empty()) {
            paths.push_back(path);
        }
    }
    return paths;
}
