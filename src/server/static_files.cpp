// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/static_files.h"

#include <fstream>
#include <iterator>
#include <map>

namespace kestrada::server {

namespace {

constexpr std::uintmax_t kLargestFile = std::uintmax_t{64} << 20;

bool safePath(const std::string& path) {
    if (path.empty() || path[0] != '/' || path.find('\0') != std::string::npos ||
        path.find('\\') != std::string::npos) {
        return false;
    }
    for (const auto& part : std::filesystem::path(path)) {
        if (part == "..") {
            return false;
        }
    }
    return true;
}

} // namespace

std::string contentTypeOf(const std::filesystem::path& file) {
    static const std::map<std::string, std::string> types = {
        {".html", "text/html"},        {".js", "text/javascript"},
        {".mjs", "text/javascript"},   {".css", "text/css"},
        {".json", "application/json"}, {".webmanifest", "application/manifest+json"},
        {".wasm", "application/wasm"}, {".png", "image/png"},
        {".svg", "image/svg+xml"},     {".ico", "image/x-icon"},
        {".ogg", "audio/ogg"},         {".wav", "audio/wav"},
        {".txt", "text/plain"},        {".ttf", "font/ttf"},
        {".woff2", "font/woff2"},
    };
    const auto found = types.find(file.extension().string());
    return found == types.end() ? "application/octet-stream" : found->second;
}

std::optional<HttpResponse> staticFile(const std::filesystem::path& site, const std::string& path) {
    if (!safePath(path)) {
        return std::nullopt;
    }
    std::filesystem::path file = site / path.substr(1);
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec)) {
        file /= "index.html";
    }
    if (!std::filesystem::is_regular_file(file, ec) ||
        std::filesystem::file_size(file, ec) > kLargestFile) {
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    HttpResponse response;
    response.contentType = contentTypeOf(file);
    response.body.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return response;
}

} // namespace kestrada::server
