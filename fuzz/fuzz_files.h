#pragma once
// A scratch file of this fuzzing process, for the readers that take a path. TMPDIR decides where it lives:
// scripts/fuzz.sh points it at memory so that no input waits for a disk.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace orvex::fuzz {

inline std::string scratchFile(const char* name, const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("orvex-fuzz-" + std::to_string(::getpid()) + "-" + name);
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path.string();
}

} // namespace orvex::fuzz
