// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/player_name.h"

#include "shared_rules/names.h"

#include <memory>
#include <stdexcept>
#include <unicode/unorm2.h>
#include <unicode/uspoof.h>
#include <unicode/ustring.h>

namespace kestrada::server {

namespace {

struct SpoofCloser {
    void operator()(USpoofChecker* checker) const { uspoof_close(checker); }
};

void mustSucceed(UErrorCode status, const char* what) {
    if (U_FAILURE(status)) {
        throw std::runtime_error(std::string(what) + ": " + u_errorName(status));
    }
}

// Configured once; ICU allows checks from many threads on one checker.
const USpoofChecker& spoofChecker() {
    static const std::unique_ptr<USpoofChecker, SpoofCloser> checker = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<USpoofChecker, SpoofCloser> made(uspoof_open(&status));
        mustSucceed(status, "uspoof_open");
        // One script a name, or Latin with Han, Japanese or Korean, or
        // Latin with one other script that has no letters like Latin's.
        uspoof_setRestrictionLevel(made.get(), USPOOF_MODERATELY_RESTRICTIVE);
        uspoof_setChecks(made.get(),
                         USPOOF_RESTRICTION_LEVEL | USPOOF_INVISIBLE | USPOOF_MIXED_NUMBERS,
                         &status);
        mustSucceed(status, "uspoof_setChecks");
        return made;
    }();
    return *checker;
}

std::u16string utf16Of(std::string_view text) {
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = 0;
    u_strFromUTF8(nullptr, 0, &length, text.data(), static_cast<int32_t>(text.size()), &status);
    std::u16string out(static_cast<std::size_t>(length), u'\0');
    status = U_ZERO_ERROR;
    u_strFromUTF8(out.data(), length, &length, text.data(), static_cast<int32_t>(text.size()),
                  &status);
    mustSucceed(status, "u_strFromUTF8");
    return out;
}

std::string utf8Of(const std::u16string& text) {
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = 0;
    u_strToUTF8(nullptr, 0, &length, text.data(), static_cast<int32_t>(text.size()), &status);
    std::string out(static_cast<std::size_t>(length), '\0');
    status = U_ZERO_ERROR;
    u_strToUTF8(out.data(), length, &length, text.data(), static_cast<int32_t>(text.size()),
                &status);
    mustSucceed(status, "u_strToUTF8");
    return out;
}

// ICU's functions that fill a buffer: asked once for the size, then filled.
template <typename Fill> std::u16string filled(Fill fill, const char* what) {
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = fill(nullptr, 0, &status);
    if (status != U_BUFFER_OVERFLOW_ERROR) {
        mustSucceed(status, what);
    }
    std::u16string out(static_cast<std::size_t>(length), u'\0');
    status = U_ZERO_ERROR;
    fill(out.data(), length, &status);
    mustSucceed(status, what);
    return out;
}

std::u16string caseFolded(const std::u16string& text) {
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2* folding = unorm2_getNFKCCasefoldInstance(&status);
    mustSucceed(status, "unorm2_getNFKCCasefoldInstance");
    return filled(
        [&](char16_t* out, int32_t capacity, UErrorCode* error) {
            return unorm2_normalize(folding, text.data(), static_cast<int32_t>(text.size()), out,
                                    capacity, error);
        },
        "unorm2_normalize");
}

// Folded before the skeleton so that "ANN" is "Ann", and after it, since
// the skeleton reads some small letters as capitals ("0" as "O").
std::string keyOf(const std::string& shown) {
    const std::u16string folded = caseFolded(utf16Of(shown));
    const std::u16string skeleton = filled(
        [&](char16_t* out, int32_t capacity, UErrorCode* error) {
            return uspoof_getSkeleton(&spoofChecker(), 0, folded.data(),
                                      static_cast<int32_t>(folded.size()), out, capacity, error);
        },
        "uspoof_getSkeleton");
    std::string key = utf8Of(caseFolded(skeleton));
    std::erase(key, ' ');
    return key;
}

// Why ICU refuses a name the shared rules took; empty when it does not.
std::string spoofReason(const std::string& shown) {
    UErrorCode status = U_ZERO_ERROR;
    const int32_t failed = uspoof_checkUTF8(&spoofChecker(), shown.data(),
                                            static_cast<int32_t>(shown.size()), nullptr, &status);
    mustSucceed(status, "uspoof_checkUTF8");
    if ((failed & USPOOF_RESTRICTION_LEVEL) != 0) {
        return "a name cannot mix letters of different scripts";
    }
    if ((failed & USPOOF_MIXED_NUMBERS) != 0) {
        return "a name cannot mix digits of different scripts";
    }
    if ((failed & USPOOF_INVISIBLE) != 0) {
        return shared_rules::nameProblemText(shared_rules::NameProblem::Invisible);
    }
    return {};
}

} // namespace

NameVerdict checkPlayerName(std::string_view raw) {
    const shared_rules::NameCheck check = shared_rules::checkName(raw);
    if (check.problem != shared_rules::NameProblem::None) {
        return {std::nullopt, shared_rules::nameProblemText(check.problem)};
    }
    if (std::string reason = spoofReason(check.shown); !reason.empty()) {
        return {std::nullopt, std::move(reason)};
    }
    return {PlayerName{check.shown, keyOf(check.shown)}, {}};
}

} // namespace kestrada::server
