#include "core/platform/ini_document.h"

#include "core/platform/text.h"

namespace korvane::platform {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

std::string_view withoutCr(std::string_view line) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    return line;
}

enum class LineKind { kOther, kSection, kEntry };

struct ParsedLine {
    LineKind kind = LineKind::kOther;
    std::string_view name;   // section or key, trimmed
    std::string_view value;  // entries only, trimmed
};

ParsedLine parseLine(std::string_view raw) {
    const std::string_view line = trim(withoutCr(raw));
    ParsedLine parsed;
    if (line.empty() || line.front() == ';') {
        return parsed;
    }
    if (line.front() == '[') {
        std::string_view name = line.substr(1);
        // A header without its ']' still starts a section, so the keys below it never
        // leak into the section above.
        const auto close = name.rfind(']');
        if (close != std::string_view::npos) {
            name = name.substr(0, close);
        }
        parsed.kind = LineKind::kSection;
        parsed.name = trim(name);
        return parsed;
    }
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) {
        return parsed;
    }
    parsed.kind = LineKind::kEntry;
    parsed.name = trim(line.substr(0, eq));
    parsed.value = trim(line.substr(eq + 1));
    return parsed;
}

std::string decodeUtf16(std::span<const std::uint8_t> bytes, bool littleEndian) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto lo = littleEndian ? bytes[i] : bytes[i + 1];
        const auto hi = littleEndian ? bytes[i + 1] : bytes[i];
        units.push_back(static_cast<char16_t>(lo | (hi << 8)));
    }
    return utf16ToUtf8(units);
}

std::vector<std::uint8_t> encodeUtf16(std::string_view utf8, bool littleEndian) {
    const std::u16string units = utf8ToUtf16(utf8);
    std::vector<std::uint8_t> bytes;
    bytes.reserve(2 + 2 * units.size());
    const auto push = [&](char16_t unit) {
        const auto lo = static_cast<std::uint8_t>(unit & 0xFF);
        const auto hi = static_cast<std::uint8_t>(unit >> 8);
        bytes.push_back(littleEndian ? lo : hi);
        bytes.push_back(littleEndian ? hi : lo);
    };
    push(0xFEFF);
    for (const char16_t unit : units) {
        push(unit);
    }
    return bytes;
}

std::vector<std::uint8_t> asBytes(std::string_view text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

bool hasAny(std::string_view s, std::string_view chars) {
    return s.find_first_of(chars) != std::string_view::npos;
}

}  // namespace

IniDocument IniDocument::fromBytes(std::span<const std::uint8_t> bytes) {
    IniDocument doc;
    std::string text;
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        doc.encoding_ = TextEncoding::Utf16LE;
        text = decodeUtf16(bytes.subspan(2), true);
    } else if (bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
        doc.encoding_ = TextEncoding::Utf16BE;
        text = decodeUtf16(bytes.subspan(2), false);
    } else if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        doc.encoding_ = TextEncoding::Utf8Bom;
        text.assign(bytes.begin() + 3, bytes.end());
    } else {
        text.assign(bytes.begin(), bytes.end());
        if (!isValidUtf8(text)) {
            doc.encoding_ = TextEncoding::Windows1252;
            text = windows1252ToUtf8(text);
        }
    }

    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        doc.lines_.emplace_back(text, start, end - start);
        start = end + 1;
    }
    if (!doc.lines_.empty()) {
        const std::string& first = doc.lines_.front();
        doc.crlf_ = !first.empty() && first.back() == '\r';
        if (doc.lines_.size() == 1 && text.back() != '\n') {
            doc.crlf_ = true;  // one line and no break yet: nothing to follow
        }
        // The last line gets a break on the way out; give it the file's own kind.
        std::string& last = doc.lines_.back();
        if (text.back() != '\n' && doc.crlf_ && (last.empty() || last.back() != '\r')) {
            last.push_back('\r');
        }
    }
    return doc;
}

std::optional<std::string> IniDocument::find(std::string_view section, std::string_view key) const {
    section = trim(section);
    key = trim(key);
    bool inSection = false;
    for (const std::string& raw : lines_) {
        const ParsedLine line = parseLine(raw);
        if (line.kind == LineKind::kSection) {
            if (inSection) {
                return std::nullopt;  // only the first section of that name counts
            }
            inSection = equalsIgnoreCase(line.name, section);
        } else if (inSection && line.kind == LineKind::kEntry && equalsIgnoreCase(line.name, key)) {
            std::string_view value = line.value;
            value = value.substr(0, value.find('\0'));
            return utf16ToUtf8(utf8ToUtf16(value));
        }
    }
    return std::nullopt;
}

bool IniDocument::isWritable(std::string_view section, std::string_view key,
                             std::optional<std::string_view> value) {
    using namespace std::string_view_literals;
    const std::string_view breaks = "\r\n\0"sv;
    const std::string_view s = trim(section);
    const std::string_view k = trim(key);
    if (s.empty() || k.empty() || hasAny(s, breaks) || hasAny(k, breaks) || hasAny(s, "]") ||
        hasAny(k, "=") || k.front() == '[' || k.front() == ';') {
        return false;
    }
    return !value || !hasAny(*value, breaks);
}

bool IniDocument::set(std::string_view section, std::string_view key,
                      std::optional<std::string_view> value) {
    if (!isWritable(section, key, value)) {
        return false;
    }
    section = trim(section);
    key = trim(key);
    const std::string ending = crlf_ ? "\r" : "";

    std::size_t header = lines_.size();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const ParsedLine line = parseLine(lines_[i]);
        if (line.kind == LineKind::kSection && equalsIgnoreCase(line.name, section)) {
            header = i;
            break;
        }
    }
    if (header == lines_.size()) {
        if (!value) {
            return false;
        }
        lines_.push_back("[" + std::string(section) + "]" + ending);
        lines_.push_back(std::string(key) + "=" + std::string(*value) + ending);
        return true;
    }

    std::size_t end = header + 1;
    std::size_t lastEntry = header;
    std::optional<std::size_t> match;
    bool changed = false;
    while (end < lines_.size()) {
        const ParsedLine line = parseLine(lines_[end]);
        if (line.kind == LineKind::kSection) {
            break;
        }
        if (line.kind == LineKind::kEntry && equalsIgnoreCase(line.name, key)) {
            if (!value) {
                lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(end));
                changed = true;
                continue;
            }
            if (!match) {
                match = end;
            }
        }
        if (line.kind == LineKind::kEntry) {
            lastEntry = end;
        }
        ++end;
    }
    if (!value) {
        return changed;
    }
    if (match) {
        std::string& line = lines_[*match];
        const bool hadCr = !line.empty() && line.back() == '\r';
        // The key keeps its spelling in the file; only the value changes.
        const std::string replacement =
            std::string(parseLine(line).name) + "=" + std::string(*value) + (hadCr ? "\r" : "");
        if (replacement == line) {
            return false;
        }
        line = replacement;
        return true;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(lastEntry + 1),
                  std::string(key) + "=" + std::string(*value) + ending);
    return true;
}

std::vector<std::uint8_t> IniDocument::toBytes() const {
    std::string text;
    for (const std::string& line : lines_) {
        text += line;
        text += '\n';
    }
    switch (encoding_) {
        case TextEncoding::Utf8:
            break;
        case TextEncoding::Utf8Bom:
            return asBytes("\xEF\xBB\xBF" + text);
        case TextEncoding::Utf16LE:
            return encodeUtf16(text, true);
        case TextEncoding::Utf16BE:
            return encodeUtf16(text, false);
        case TextEncoding::Windows1252:
            if (const auto legacy = utf8ToWindows1252(text)) {
                return asBytes(*legacy);
            }
            // A name the code page cannot hold: UTF-16 keeps it and stays readable for
            // every installation.
            return encodeUtf16(text, true);
    }
    return asBytes(text);
}

}  // namespace korvane::platform
