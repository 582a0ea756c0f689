#pragma once

// Writing the ILDA files the asset generators make: big-endian words, 32-byte
// format-0 section headers and records, the whole file written at once.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

namespace vyr::tools {

inline void PutWord(std::string& out, int value) {
    const auto word = static_cast<std::uint16_t>(value);
    out.push_back(static_cast<char>(word >> 8));
    out.push_back(static_cast<char>(word & 0xFF));
}

// A format-0 (3D points, palette colour) section header; names are cut to 8 bytes.
inline void PutHeader(std::string& out, const std::string& frameName, int points, int number, int total) {
    out += "ILDA";
    out.append(3, '\0');
    out.push_back('\0');  // format 0
    const std::string company = "VYR";
    out += frameName.substr(0, 8);
    out.append(8 - std::min<std::size_t>(frameName.size(), 8), '\0');
    out += company;
    out.append(8 - company.size(), '\0');
    PutWord(out, points);
    PutWord(out, number);
    PutWord(out, total);
    out.push_back('\0');  // scanner head
    out.push_back('\0');  // reserved
}

inline void PutPoint(std::string& out, int x, int y, int z, std::uint16_t status) {
    PutWord(out, x);
    PutWord(out, y);
    PutWord(out, z);
    PutWord(out, status);
}

// Writes `bytes` to `path`; on failure says so on standard error as `tool`.
inline bool WriteWholeFile(const char* tool, const char* path, const std::string& bytes) {
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "%s: cannot create %s\n", tool, path);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "%s: cannot write %s\n", tool, path);
        return false;
    }
    return true;
}

}  // namespace vyr::tools
