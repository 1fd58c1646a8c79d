// Size of brimvale.exe against the empty window program (both stripped,
// statically linked, with the same resources), and the DLLs each imports:
// statically linked means only system DLLs, no C++ or GCC runtime DLL.
// Usage: size_bench [folder holding both programs, default: this program's]
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "BenchUtil.h"
#include "ProcessUtil.h"

namespace {

std::vector<unsigned char> ReadAll(const std::wstring& path) {
    platform::UniqueFileHandle file(
        ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    std::vector<unsigned char> data;
    if (!file) return data;
    unsigned char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        data.insert(data.end(), buffer, buffer + got);
    return data;
}

template <class T>
bool ReadAt(const std::vector<unsigned char>& image, std::size_t offset, T& out) {
    if (offset + sizeof(T) > image.size()) return false;
    std::memcpy(&out, image.data() + offset, sizeof(T));
    return true;
}

// Names of the DLLs in the import directory of a 32-bit (PE32) or 64-bit
// (PE32+) file: the two differ in their optional header.
std::vector<std::string> ImportedDlls(const std::vector<unsigned char>& image) {
    std::vector<std::string> names;
    IMAGE_DOS_HEADER dos;
    IMAGE_NT_HEADERS32 nt;
    if (!ReadAt(image, 0, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE) return names;
    if (!ReadAt(image, dos.e_lfanew, nt) || nt.Signature != IMAGE_NT_SIGNATURE) return names;
    IMAGE_DATA_DIRECTORY imports = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (nt.OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
        IMAGE_NT_HEADERS64 nt64;
        if (!ReadAt(image, dos.e_lfanew, nt64)) return names;
        imports = nt64.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    }
    const std::size_t sections =
        dos.e_lfanew + offsetof(IMAGE_NT_HEADERS32, OptionalHeader) + nt.FileHeader.SizeOfOptionalHeader;
    auto fileOffset = [&](DWORD rva) -> std::size_t {
        for (WORD i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
            IMAGE_SECTION_HEADER s;
            if (!ReadAt(image, sections + i * sizeof s, s)) break;
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
                return rva - s.VirtualAddress + s.PointerToRawData;
        }
        return 0;
    };
    std::size_t at = fileOffset(imports.VirtualAddress);
    for (IMAGE_IMPORT_DESCRIPTOR d; at && ReadAt(image, at, d) && d.Name; at += sizeof d) {
        const std::size_t name = fileOffset(d.Name);
        if (!name) break;
        std::string dll;
        for (std::size_t i = name; i < image.size() && image[i]; ++i) dll.push_back(static_cast<char>(image[i]));
        names.push_back(dll);
    }
    return names;
}

bool IsRuntimeDll(std::string name) {
    for (char& c : name)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    for (const char* runtime : {"libstdc++", "libgcc", "libwinpthread", "msvcp", "vcruntime", "ucrtbase"})
        if (name.rfind(runtime, 0) == 0) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    std::wstring folder = bench::ExeFolder();
    if (argc > 1) {
        const std::string given = argv[1];
        folder.assign(given.begin(), given.end());
        if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    }
    bool ok = true;
    std::printf("size_bench: the programs in %ls\n", folder.c_str());
    double sizes[2] = {0, 0};
    const wchar_t* programs[2] = {L"empty_window.exe", L"brimvale.exe"};
    for (int i = 0; i < 2; ++i) {
        const std::vector<unsigned char> image = ReadAll(folder + programs[i]);
        sizes[i] = static_cast<double>(image.size());
        std::printf("  %-18ls %9.0f bytes (%.1f KB), imports:", programs[i], sizes[i], sizes[i] / 1024.0);
        for (const std::string& dll : ImportedDlls(image)) {
            std::printf(" %s", dll.c_str());
            if (IsRuntimeDll(dll)) ok = false;
        }
        std::printf("\n");
        if (image.empty()) ok = false;
    }
    std::printf("  ratio brimvale / empty window program: %.1f\n", sizes[0] > 0 ? sizes[1] / sizes[0] : 0.0);
    std::printf("  brimvale.exe under 1 MB (1,048,576 bytes): %s; no C++ or GCC runtime DLL imported: %s\n",
                sizes[1] < 1048576 ? "yes" : "NO", ok ? "yes" : "NO");
    return ok && sizes[1] < 1048576 ? 0 : 1;
}
