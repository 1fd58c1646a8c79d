// End-to-end driver: runs under Wine, starts the real brimvale.exe (its path
// is the first argument, a Unix path when started by CTest) and checks it
// from outside. Each group resets the files and registry values it uses.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "Driver.h"

namespace {

std::wstring ToWindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') path = "Z:" + path;  // Wine maps the host root to Z:
    for (char& c : path)
        if (c == '/') c = '\\';
    return std::wstring(path.begin(), path.end());
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        fprintf(stderr, "usage: e2e_driver <path of brimvale.exe>\n");
        return 2;
    }
    const std::wstring source = ToWindowsPath(argv[1]);
    e2e::RemoveTree(L"C:\\brimvale-e2e");
    ::CreateDirectoryW(L"C:\\brimvale-e2e", nullptr);
    ::CreateDirectoryW(e2e::ProgramFolder().c_str(), nullptr);
    if (!::CopyFileW(source.c_str(), e2e::ProgramPath().c_str(), FALSE)) {
        fprintf(stderr, "cannot copy %s\n", argv[1]);
        return 2;
    }
    return RUN_ALL_TESTS();
}
