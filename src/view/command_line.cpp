#include "view/command_line.h"

#include <charconv>
#include <filesystem>

namespace kestrada::view {

namespace {
std::optional<uint32_t> parseSeed(const std::string& text) {
    uint32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}
std::optional<int> parseZoom(const std::string& text) {
    if (text.size() == 1 && text[0] >= '1' && text[0] <= '4') {
        return text[0] - '0';
    }
    return std::nullopt;
}
} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine result;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg != "--seed" && arg != "--data-dir" && arg != "--zoom") {
            result.error = "kestrada: unknown argument '" + arg + "'";
            return result;
        }
        if (i + 1 == args.size()) {
            result.error = "kestrada: " + arg + " needs a value";
            return result;
        }
        const std::string& value = args[++i];
        if (arg == "--seed") {
            result.seed = parseSeed(value);
            if (!result.seed) {
                result.error = "kestrada: --seed takes a whole number from 0 to 4294967295, not '" +
                               value + "'";
                return result;
            }
        } else if (arg == "--zoom") {
            result.zoom = parseZoom(value);
            if (!result.zoom) {
                result.error = "kestrada: --zoom takes 1, 2, 3 or 4, not '" + value + "'";
                return result;
            }
        } else {
            std::error_code ec;
            if (!std::filesystem::is_directory(value, ec)) {
                result.error = "kestrada: --data-dir '" + value + "' is not a folder";
                return result;
            }
            result.dataDir = value;
        }
    }
    return result;
}

} // namespace kestrada::view
