#include "app/high_score_file.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace kestrada {

namespace {
// A high score is a short line; anything beyond this is not a score.
constexpr std::size_t kMaxHeadBytes = 4096;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}
} // namespace

bool createIfMissing(const std::filesystem::path& file) {
    std::error_code ec;
    if (std::filesystem::exists(file, ec)) {
        return true;
    }
    std::ofstream out(file, std::ios::app);
    return static_cast<bool>(out);
}

std::optional<std::string> firstValueOf(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    if (i == text.size()) {
        return std::nullopt; // nothing to read: the game treats it as an error
    }
    if (text[i] == '"') {
        const auto close = text.find('"', i + 1);
        return std::string(text.substr(
            i + 1, close == std::string_view::npos ? std::string_view::npos : close - i - 1));
    }
    std::size_t end = i;
    while (end < text.size() && text[end] != ',' && !isLineEnd(text[end])) {
        ++end;
    }
    while (end > i && isBlank(text[end - 1])) {
        --end;
    }
    return std::string(text.substr(i, end - i));
}

std::optional<std::string> readFirstValue(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string head(kMaxHeadBytes, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return firstValueOf(head);
}

double leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    std::string number;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        number += text[i++];
    }
    bool digits = false;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        number += text[i++];
        digits = true;
    }
    if (i < text.size() && text[i] == '.') {
        number += text[i++];
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
            number += text[i++];
            digits = true;
        }
    }
    if (!digits) {
        return 0;
    }
    if (i + 1 < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (text[j] == '+' || text[j] == '-') {
            exponent += text[j++];
        }
        bool expDigits = false;
        while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j])) &&
               exponent.size() < 8) {
            exponent += text[j++];
            expDigits = true;
        }
        if (expDigits) {
            number += exponent;
        }
    }
    const double value = std::strtod(number.c_str(), nullptr);
    return std::isfinite(value) ? value : 0;
}

std::string numberText(double value) {
    if (value == 0 || !std::isfinite(value)) {
        return "0";
    }
    char buffer[64];
    // The score label is written every tick: whole numbers, by far the most
    // common case, skip the general formatter.
    if (value == std::floor(value) && std::fabs(value) < 1e15) {
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<int64_t>(value));
        return std::string(buffer, end.ptr);
    }
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    return buffer;
}

bool writeHighScore(const std::filesystem::path& file, std::string_view caption) {
    const std::string line = "\"" + std::string(caption) + "\"\r\n";
    std::filesystem::path temp = file;
    temp += ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    bool ok = ::write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
    ok = (::fsync(fd) == 0) && ok;
    ok = (::close(fd) == 0) && ok;
    std::error_code ec;
    if (ok && !std::filesystem::is_directory(file, ec)) {
        std::filesystem::rename(temp, file, ec);
        ok = !ec;
    } else {
        ok = false;
    }
    if (!ok) {
        std::filesystem::remove(temp, ec);
    }
    return ok;
}

} // namespace kestrada
