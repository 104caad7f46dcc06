// SPDX-License-Identifier: GPL-3.0-or-later
#include "shared_rules/road_day.h"

#include <cstdio>

namespace kestrada::shared_rules {

namespace {

constexpr int64_t kDayMs = int64_t{24} * 60 * 60 * 1000;

// Days since 1970-01-01 of a date in the proleptic Gregorian calendar,
// counted in eras of 400 years so that no time zone or C library is asked.
int64_t daysFromCivil(int64_t year, int64_t month, int64_t day) {
    year -= month <= 2 ? 1 : 0;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

struct CivilDay {
    int64_t year;
    int64_t month;
    int64_t day;
};

CivilDay civilFromDays(int64_t days) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    const int64_t month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    const int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    return {year, month, dayOfYear - (153 * shiftedMonth + 2) / 5 + 1};
}

int64_t floorDiv(int64_t value, int64_t divisor) {
    const int64_t quotient = value / divisor;
    return quotient * divisor > value ? quotient - 1 : quotient;
}

std::optional<int64_t> digits(std::string_view text) {
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

std::string utcDayOf(int64_t ms) {
    const CivilDay civil = civilFromDays(floorDiv(ms, kDayMs));
    char text[48];
    std::snprintf(text, sizeof text, "%04lld-%02d-%02d", static_cast<long long>(civil.year),
                  static_cast<int>(civil.month), static_cast<int>(civil.day));
    return text;
}

std::optional<int64_t> utcDayStartMs(std::string_view day) {
    if (day.size() != 10 || day[4] != '-' || day[7] != '-') {
        return std::nullopt;
    }
    const auto year = digits(day.substr(0, 4));
    const auto month = digits(day.substr(5, 2));
    const auto date = digits(day.substr(8, 2));
    if (!year || !month || !date) {
        return std::nullopt;
    }
    const int64_t start = daysFromCivil(*year, *month, *date) * kDayMs;
    // Written back, a day that does not exist (2026-02-30) comes out another.
    if (utcDayOf(start) != day) {
        return std::nullopt;
    }
    return start;
}

std::optional<int64_t> roadClosesMs(std::string_view day) {
    const auto start = utcDayStartMs(day);
    if (!start) {
        return std::nullopt;
    }
    return *start + kDayMs + kRoadGraceMs;
}

bool roadRunTaken(std::string_view day, int64_t nowMs) {
    const auto start = utcDayStartMs(day);
    return start && nowMs >= *start && nowMs < *start + kDayMs + kRoadGraceMs;
}

} // namespace kestrada::shared_rules
