// SPDX-License-Identifier: GPL-3.0-or-later
#include "world/server_reply.h"

#include "shared_rules/utf8.h"

#include <charconv>
#include <cstdint>
#include <optional>

namespace kestrada::session {

namespace {

// Deep enough for any answer of ours; a deeper body is not one.
constexpr int kMaxDepth = 8;

// A recursive-descent reader of just enough JSON: it keeps the scalars of
// the outer object and of each object in its "entries" list, and reads
// everything else only to step over it.
class Reader {
  public:
    explicit Reader(std::string_view text) : text_(text) {}

    bool object(WorldFields* fields, std::vector<WorldFields>* entries, int depth) {
        if (!take('{') || depth > kMaxDepth) {
            return false;
        }
        if (take('}')) {
            return true;
        }
        do {
            std::string key;
            if (!string(key) || !take(':')) {
                return false;
            }
            const bool isEntries = entries != nullptr && key == "entries";
            std::optional<std::string> scalar;
            if (!value(depth, scalar, isEntries ? entries : nullptr)) {
                return false;
            }
            if (fields != nullptr && scalar) {
                (*fields)[key] = *scalar;
            }
        } while (take(','));
        return take('}');
    }

    bool atEnd() {
        skipSpace();
        return at_ == text_.size();
    }

  private:
    // A value; scalar set when it is one. rows: where an array's objects go.
    bool value(int depth, std::optional<std::string>& scalar, std::vector<WorldFields>* rows) {
        skipSpace();
        if (at_ == text_.size()) {
            return false;
        }
        const char first = text_[at_];
        if (first == '{') {
            return object(nullptr, nullptr, depth + 1);
        }
        if (first == '[') {
            return array(depth + 1, rows);
        }
        if (first == '"') {
            std::string text;
            if (!string(text)) {
                return false;
            }
            scalar = std::move(text);
            return true;
        }
        for (const auto& [word, shown] :
             {std::pair{"true", "true"}, std::pair{"false", "false"}, std::pair{"null", ""}}) {
            if (text_.substr(at_).starts_with(word)) {
                at_ += std::string_view(word).size();
                scalar = shown;
                return true;
            }
        }
        return number(scalar);
    }

    bool array(int depth, std::vector<WorldFields>* rows) {
        if (!take('[') || depth > kMaxDepth) {
            return false;
        }
        if (take(']')) {
            return true;
        }
        do {
            skipSpace();
            if (rows != nullptr && at_ < text_.size() && text_[at_] == '{') {
                if (!object(&rows->emplace_back(), nullptr, depth + 1)) {
                    return false;
                }
                continue;
            }
            std::optional<std::string> ignored;
            if (rows != nullptr) {
                rows->emplace_back(); // a row that is not an object has no fields
            }
            if (!value(depth, ignored, nullptr)) {
                return false;
            }
        } while (take(','));
        return take(']');
    }

    // A number as the server wrote it: -?int(.digits)?([eE][+-]?digits)?
    bool number(std::optional<std::string>& scalar) {
        const std::size_t start = at_;
        next('-');
        if (!digits()) {
            return false;
        }
        if (next('.') && !digits()) {
            return false;
        }
        if (next('e') || next('E')) {
            if (!next('+')) {
                next('-');
            }
            if (!digits()) {
                return false;
            }
        }
        scalar = std::string(text_.substr(start, at_ - start));
        return true;
    }

    bool digits() {
        const std::size_t start = at_;
        while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') {
            ++at_;
        }
        return at_ > start;
    }

    bool string(std::string& out) {
        if (!take('"')) {
            return false;
        }
        while (at_ < text_.size()) {
            const char c = text_[at_++];
            if (c == '"') {
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                return false;
            }
            if (c != '\\') {
                out += c;
            } else if (!escape(out)) {
                return false;
            }
        }
        return false;
    }

    bool escape(std::string& out) {
        if (at_ == text_.size()) {
            return false;
        }
        const char c = text_[at_++];
        const std::string_view plain = "\"\\/bfnrt";
        const std::string_view meant = "\"\\/\b\f\n\r\t";
        if (const std::size_t found = plain.find(c); found != std::string_view::npos) {
            out += meant[found];
            return true;
        }
        if (c != 'u') {
            return false;
        }
        uint32_t unit = 0;
        if (!hex(unit)) {
            return false;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            uint32_t low = 0;
            if (!take('\\') || !take('u') || !hex(low) || low < 0xDC00 || low > 0xDFFF) {
                return false;
            }
            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            return false;
        }
        shared_rules::appendUtf8(out, static_cast<char32_t>(unit));
        return true;
    }

    bool hex(uint32_t& unit) {
        if (text_.size() - at_ < 4) {
            return false;
        }
        const auto [end, error] =
            std::from_chars(text_.data() + at_, text_.data() + at_ + 4, unit, 16);
        if (error != std::errc() || end != text_.data() + at_ + 4) {
            return false;
        }
        at_ += 4;
        return true;
    }

    // The next character, with no space before it.
    bool next(char wanted) {
        if (at_ < text_.size() && text_[at_] == wanted) {
            ++at_;
            return true;
        }
        return false;
    }

    bool take(char wanted) {
        skipSpace();
        if (at_ < text_.size() && text_[at_] == wanted) {
            ++at_;
            return true;
        }
        return false;
    }

    void skipSpace() {
        while (at_ < text_.size() &&
               std::string_view(" \t\r\n").find(text_[at_]) != std::string_view::npos) {
            ++at_;
        }
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

} // namespace

WorldReply serverReply(int status, std::string_view body) {
    WorldReply reply;
    reply.status = status;
    Reader reader(body);
    if (reader.object(&reply.fields, &reply.entries, 0) && reader.atEnd()) {
        return reply;
    }
    reply.fields.clear();
    reply.entries.clear();
    reply.text = body;
    return reply;
}

} // namespace kestrada::session
