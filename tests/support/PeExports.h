#pragma once
// Reads the export directory of a PE file (32- or 64-bit) from disk.
#include <windows.h>
#include <string>
#include <vector>

struct PeExport
{
    DWORD ordinal;
    std::string name;  // empty for an export by ordinal only
};

struct PeExportTable
{
    bool ok = false;
    std::string error;
    WORD machine = 0;
    std::vector<PeExport> exports;  // in address-table order
};

PeExportTable ReadPeExports(const std::wstring& path);
