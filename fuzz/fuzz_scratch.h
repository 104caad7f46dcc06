// SPDX-License-Identifier: GPL-3.0-or-later
// A scratch file for fuzz targets that must touch the disk. It lives in
// memory when the system offers a RAM-backed folder, because every save
// syncs the file and a real disk would slow the fuzzer to a crawl.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace kestrada::fuzzing {

inline const std::filesystem::path& scratchFolder() {
    static const std::filesystem::path folder = [] {
        std::error_code ec;
        const std::filesystem::path shm = "/dev/shm";
        const std::filesystem::path base =
            std::filesystem::is_directory(shm, ec) ? shm : std::filesystem::temp_directory_path();
        // One folder per process, so parallel fuzzing jobs never share it.
        auto path = base / ("kestrada-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(scratchFolder(), ignored);
        });
        return path;
    }();
    return folder;
}

} // namespace kestrada::fuzzing
