// Reading the settings file: key-value lines applied to the state record through the key table.
#include <algorithm>
#include <cstdint>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "settings/settings_file.h"
#include "settings/settings_table.h"
#include "shell/decimal_text.h"

namespace {

constexpr std::size_t kLineLimit = 255;   // kept characters of one line
constexpr std::size_t kFieldLimit = 255;  // characters of the key and of the value

// A settings file is a few hundred bytes; anything far larger is not ours and is not loaded.
constexpr long kLargestSettingsFile = 16L * 1024 * 1024;

// The white space that strtol and strtod skip in the C locale.
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

const char* SkipSpace(const char* text) {
    while (IsSpace(*text)) ++text;
    return text;
}

// Like a strtol into the 32-bit long of the Windows build (saturating), then cut to 16 bits as a C
// cast does, so that overlong numbers give the same bits there and here.
std::uint16_t ParseInteger16(const char* text) {
    const char* p = SkipSpace(text);
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    std::int64_t value = 0;
    for (; IsDigit(*p); ++p) {
        if (value <= INT64_C(0x80000000)) value = value * 10 + (*p - '0');
    }
    if (negative) value = -value;
    if (value > INT32_MAX) value = INT32_MAX;
    if (value < INT32_MIN) value = INT32_MIN;
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(value));
}

std::uint16_t ParseLanguage(const char* text) {
    if (std::strcmp(text, "ENGLISH") == 0) return kEnglish;
    if (std::strcmp(text, "KOREAN") == 0) return kKorean;
    return kJapanese;
}

void ApplyValue(PluginState& state, const SettingKey& key, const char* value) {
    switch (key.kind) {
        case SettingKind::kLanguageWord:
            state.*key.unsigned16 = ParseLanguage(value);
            break;
        case SettingKind::kUnsigned16:
            state.*key.unsigned16 = ParseInteger16(value);
            break;
        case SettingKind::kSigned16:
            state.*key.signed16 = static_cast<std::int16_t>(ParseInteger16(value));
            break;
        case SettingKind::kDouble: {
            // An overflowing number keeps the start value: an infinity would be written back as a word
            // that the next start reads as 0.
            const double number = ReadDecimalNumber(value);
            if (std::isfinite(number)) state.*key.real = number;
            break;
        }
        case SettingKind::kText: {
            char* field = state.*key.text;
            const std::size_t length = std::min<std::size_t>(std::strlen(value), kTextFieldSize - 1);
            std::memcpy(field, value, length);
            field[length] = '\0';
            break;
        }
    }
}

const SettingKey* FindKey(const char* name) {
    for (const SettingKey& key : kSettingKeys) {
        if (std::strcmp(key.name, name) == 0) return &key;
    }
    return nullptr;
}

// Gathers the kept characters of the line that starts at text[position] into line and returns the
// position after its LF. Characters beyond the 255th kept one are ignored up to the LF, so an
// overlong line is read as its first 255 characters and never spills into the next line.
std::size_t GatherLine(const char* text, std::size_t position, std::size_t end, char (&line)[kLineLimit + 1]) {
    std::size_t kept = 0;
    bool inQuotes = false;
    while (position < end) {
        const char c = text[position++];
        if (c == '\n') break;
        if (c == '\r' || c == '\t' || kept == kLineLimit) continue;
        if (c == '"') inQuotes = !inQuotes;
        else if (c == ' ' && !inQuotes) continue;
        line[kept++] = c;
    }
    line[kept] = '\0';
    return position;
}

void ApplyLine(PluginState& state, const char* line) {
    if (line[0] == '\0' || line[0] == '\'') return;

    // Field 1 is the key and field 2 the value; no key uses the fields after them.
    char key[kFieldLimit + 1];
    char value[kFieldLimit + 1];
    std::size_t keyLength = 0;
    std::size_t valueLength = 0;
    int field = 1;
    bool inQuotes = false;
    for (const char* p = line; *p != '\0'; ++p) {
        if (*p == '"') {
            inQuotes = !inQuotes;
        } else if (!inQuotes && (*p == '=' || *p == ',')) {
            ++field;
        } else if (field == 1 && keyLength < kFieldLimit) {
            key[keyLength++] = *p;
        } else if (field == 2 && valueLength < kFieldLimit) {
            value[valueLength++] = *p;
        }
    }
    key[keyLength] = '\0';
    value[valueLength] = '\0';
    if (keyLength == 0 || valueLength == 0) return;

    if (const SettingKey* setting = FindKey(key)) ApplyValue(state, *setting, value);
}

}  // namespace

void ApplySettingsText(PluginState& state, const char* text, std::size_t size) {
    if (text == nullptr) return;
    // The file is read as one zero-terminated text, so a zero byte ends it.
    const void* zero = std::memchr(text, '\0', size);
    const std::size_t end = zero != nullptr ? static_cast<std::size_t>(static_cast<const char*>(zero) - text) : size;

    char line[kLineLimit + 1];
    std::size_t position = 0;
    while (position < end) {
        position = GatherLine(text, position, end, line);
        ApplyLine(state, line);
    }
}

void ReadSettingsFile() {
    if (gState == nullptr) return;
    char path[kPrefsPathSize];
    if (!GetSettingsFilePath(path)) return;

    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return;
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
    if (size < 0 || size > kLargestSettingsFile || std::fseek(file, 0, SEEK_SET) != 0) {
        std::fclose(file);
        return;
    }
    // Without the buffer the defaults simply stay.
    char* text = new (std::nothrow) char[static_cast<std::size_t>(size) + 1];
    if (text == nullptr) {
        std::fclose(file);
        return;
    }
    const std::size_t length = std::fread(text, 1, static_cast<std::size_t>(size), file);
    std::fclose(file);
    text[length] = '\0';

    ApplySettingsText(*gState, text, length);
    delete[] text;
}
