#include "PeExports.h"
#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

template <typename T>
bool ReadAt(const std::vector<char>& file, size_t offset, T& value)
{
    if (offset > file.size() || file.size() - offset < sizeof(T))
        return false;
    std::memcpy(&value, file.data() + offset, sizeof(T));
    return true;
}

}  // namespace

PeExportTable ReadPeExports(const std::wstring& path)
{
    PeExportTable table;
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in) {
        table.error = "cannot open the file";
        return table;
    }
    const std::vector<char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    IMAGE_DOS_HEADER dos;
    if (!ReadAt(file, 0, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE) {
        table.error = "no DOS header";
        return table;
    }
    const size_t nt = static_cast<size_t>(dos.e_lfanew);
    DWORD signature = 0;
    IMAGE_FILE_HEADER header;
    if (!ReadAt(file, nt, signature) || signature != IMAGE_NT_SIGNATURE || !ReadAt(file, nt + 4, header)) {
        table.error = "no PE header";
        return table;
    }
    table.machine = header.Machine;
    const size_t optional = nt + 4 + sizeof(IMAGE_FILE_HEADER);
    WORD magic = 0;
    ReadAt(file, optional, magic);
    IMAGE_DATA_DIRECTORY exportDir = {};
    if (magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
        IMAGE_OPTIONAL_HEADER32 h;
        if (!ReadAt(file, optional, h))
            return table;
        exportDir = h.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    } else if (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
        IMAGE_OPTIONAL_HEADER64 h;
        if (!ReadAt(file, optional, h))
            return table;
        exportDir = h.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    } else {
        table.error = "unknown optional header";
        return table;
    }
    if (exportDir.VirtualAddress == 0) {
        table.error = "no export directory";
        return table;
    }

    const size_t sections = optional + header.SizeOfOptionalHeader;
    auto toOffset = [&](DWORD rva, size_t& offset) {
        for (WORD i = 0; i < header.NumberOfSections; ++i) {
            IMAGE_SECTION_HEADER section;
            if (!ReadAt(file, sections + i * sizeof(IMAGE_SECTION_HEADER), section))
                return false;
            const DWORD size = std::max(section.Misc.VirtualSize, section.SizeOfRawData);
            if (rva >= section.VirtualAddress && rva < section.VirtualAddress + size) {
                offset = rva - section.VirtualAddress + section.PointerToRawData;
                return true;
            }
        }
        return false;
    };

    size_t at = 0;
    IMAGE_EXPORT_DIRECTORY directory;
    if (!toOffset(exportDir.VirtualAddress, at) || !ReadAt(file, at, directory)) {
        table.error = "export directory outside the sections";
        return table;
    }
    size_t functions = 0, names = 0, ordinals = 0;
    if (!toOffset(directory.AddressOfFunctions, functions) ||
        (directory.NumberOfNames > 0 &&
         (!toOffset(directory.AddressOfNames, names) || !toOffset(directory.AddressOfNameOrdinals, ordinals)))) {
        table.error = "export tables outside the sections";
        return table;
    }
    for (DWORD i = 0; i < directory.NumberOfFunctions; ++i) {
        DWORD address = 0;
        ReadAt(file, functions + i * 4, address);
        if (address == 0)
            continue;
        PeExport entry{directory.Base + i, std::string()};
        for (DWORD n = 0; n < directory.NumberOfNames; ++n) {
            WORD index = 0;
            DWORD nameRva = 0;
            size_t nameAt = 0;
            if (ReadAt(file, ordinals + n * 2, index) && index == i && ReadAt(file, names + n * 4, nameRva) &&
                toOffset(nameRva, nameAt) && nameAt < file.size())
                entry.name = std::string(file.data() + nameAt, strnlen(file.data() + nameAt, file.size() - nameAt));
        }
        table.exports.push_back(entry);
    }
    table.ok = true;
    return table;
}
