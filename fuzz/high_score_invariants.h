// SPDX-License-Identifier: GPL-3.0-or-later
// What must hold for any bytes a high-score file can contain, whoever wrote
// it. Shared by the fuzz target and the corpus replay test, so an input the
// fuzzer once found keeps being checked by every ordinary build.
#pragma once

#include "app/score_text.h"
#include "storage/high_score_file.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

namespace kestrada::fuzzing {

// The reader always looks at least this far into a file; a high score that
// needs more is not one.
inline constexpr std::size_t kSurelyReadBytes = 1024;

namespace detail {

inline bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

inline std::string fileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The value must be a piece of the text, cut where the format says.
inline std::string firstValueFault(std::string_view text, const std::optional<std::string>& value) {
    const std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos) {
        return value ? "a blank text gave a value" : "";
    }
    if (!value) {
        return "a text with something in it gave no value";
    }
    if (text[start] == '"') {
        if (text.substr(start + 1, value->size()) != *value) {
            return "the quoted value is not the text after the opening quote";
        }
        if (value->find('"') != std::string::npos) {
            return "the quoted value runs past its closing quote";
        }
        const std::size_t after = start + 1 + value->size();
        if (after < text.size() && text[after] != '"') {
            return "the quoted value stops before its closing quote";
        }
        return "";
    }
    if (text.substr(start, value->size()) != *value) {
        return "the unquoted value is not the text after the leading blanks";
    }
    if (value->find_first_of(",\r\n") != std::string::npos) {
        return "the unquoted value runs past a comma or a line end";
    }
    if (!value->empty() && isBlank(value->back())) {
        return "the unquoted value keeps its trailing blanks";
    }
    const std::size_t after = text.find_first_not_of(" \t", start + value->size());
    if (after != std::string_view::npos && text.substr(after, 1).find_first_of(",\r\n") != 0) {
        return "the unquoted value stops before a comma or a line end";
    }
    return "";
}

// The label shows numberText(leadingNumber(value)); a save writes that text
// and the next game reads it back. It must come back unchanged.
inline std::string shownNumberFault(double number) {
    if (!std::isfinite(number)) {
        return "leadingNumber gave a value that is not finite";
    }
    const std::string shown = numberText(number);
    if (shown.empty() || shown.find_first_of("\",\r\n \t") != std::string::npos) {
        return "the shown number \"" + shown + "\" cannot be saved as one value";
    }
    if (numberText(leadingNumber(shown)) != shown) {
        return "the shown number \"" + shown + "\" changes when read back";
    }
    return "";
}

} // namespace detail

// Empty when every property held for these bytes; otherwise what broke.
// scratch is a file the check may overwrite.
inline std::string highScoreFault(std::string_view bytes, const std::filesystem::path& scratch) {
    const std::optional<std::string> value = firstValueOf(bytes);
    if (auto fault = detail::firstValueFault(bytes, value); !fault.empty()) {
        return "firstValueOf: " + fault;
    }
    if (auto fault = detail::shownNumberFault(leadingNumber(bytes)); !fault.empty()) {
        return "whole text: " + fault;
    }
    const double number = value ? leadingNumber(*value) : 0;
    if (auto fault = detail::shownNumberFault(number); !fault.empty()) {
        return "first value: " + fault;
    }

    // The same bytes as a file on disk read as they do in memory.
    std::ofstream(scratch, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    const std::optional<std::string> fromFile = readFirstValue(scratch);
    if (bytes.size() <= kSurelyReadBytes) {
        if (fromFile != value) {
            return "readFirstValue differs from firstValueOf on the same bytes";
        }
    } else if (fromFile && !(value && value->starts_with(*fromFile))) {
        return "readFirstValue of a long file is not the start of its first value";
    }

    // Saving the shown number replaces whatever was there with one line.
    const std::string shown = numberText(number);
    if (!writeHighScore(scratch, shown)) {
        return "writeHighScore failed on a writable file";
    }
    if (detail::fileBytes(scratch) != "\"" + shown + "\"\r\n") {
        return "the saved file is not one quoted line";
    }
    if (readFirstValue(scratch) != shown) {
        return "the saved score does not read back";
    }
    return "";
}

} // namespace kestrada::fuzzing
