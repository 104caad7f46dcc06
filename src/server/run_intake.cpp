// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/run_intake.h"

#include "session/input_file.h"
#include "session/recording.h"
#include "session/run_verification.h"

#include <charconv>
#include <openssl/evp.h>

namespace kestrada::server {

namespace {

constexpr int kBadRequest = 400;
constexpr int kTooLarge = 413;
constexpr int kUnprocessable = 422;

bool isText(std::string_view text) {
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == 0 || byte >= 0x80) {
            return false; // the game writes its runs in ASCII
        }
    }
    return true;
}

RunIntake refused(int status, std::string reason) {
    return {status, std::move(reason), 0};
}

} // namespace

RunIntake checkRunFile(std::string_view text) {
    if (text.size() > kMaxRunFileBytes) {
        return refused(kTooLarge, std::string("run file over ") + shared_rules::kMaxRunFileText);
    }
    if (!isText(text)) {
        return refused(kBadRequest, "run file is not plain text");
    }
    const auto header = session::recordingHeaderOf(text);
    if (!header) {
        return refused(kBadRequest, "input:1: not a recording (no \"# kestrada\" header)");
    }
    const std::string ours = std::string("# kestrada ") + KESTRADA_VERSION + " seed ";
    if (!text.starts_with(ours)) {
        return refused(kUnprocessable,
                       std::string("recorded with another rules version; this server plays ") +
                           KESTRADA_VERSION);
    }
    const session::InputParse parse = session::parseInput(text);
    if (!parse.ok()) {
        return refused(kBadRequest, parse.message());
    }
    if (!parse.events.empty() && parse.events.back().slot > session::kMaxRunSlots) {
        return refused(kBadRequest, "replay too long");
    }
    return {0, {}, header->seed};
}

std::optional<int64_t> parseClaimedScore(std::string_view text) {
    constexpr std::size_t kMaxDigits = 15; // the game shows at most 15 significant digits
    // Digits only, as the game shows them: no sign, no leading zero.
    if (text.empty() || text.size() > kMaxDigits || text[0] < '0' || text[0] > '9' ||
        (text.size() > 1 && text[0] == '0')) {
        return std::nullopt;
    }
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0) {
        return std::nullopt;
    }
    return value;
}

std::string sha256Hex(std::string_view text) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(text.data(), text.size(), digest, &length, EVP_sha256(), nullptr);
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        hex += kHex[digest[i] >> 4];
        hex += kHex[digest[i] & 0xf];
    }
    return hex;
}

} // namespace kestrada::server
