// SPDX-License-Identifier: GPL-3.0-or-later
// The browser build's files, served from one folder: "/" is its
// index.html, and no path leaves the folder.
#pragma once

#include "server/http_message.h"

#include <filesystem>
#include <optional>

namespace kestrada::server {

// The file's answer, or nullopt when there is no such file.
std::optional<HttpResponse> staticFile(const std::filesystem::path& site, const std::string& path);

// The type a browser needs for the file: `.wasm` must be application/wasm.
std::string contentTypeOf(const std::filesystem::path& file);

} // namespace kestrada::server
