// The settings file: the text written for a state, the parsing of hostile and odd lines, and (on
// POSIX, in a fresh folder) the real file read and written through the documents folder.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "comma_locale.h"
#include "platform/platform.h"
#include "settings/settings_file.h"
#include "shell/decimal_text.h"
#include "shell/plugin_state.h"

#ifndef _WIN32
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "plugin_fixture.h"
#endif

namespace {

const char kDefaultsText[] =
    "language = JAPANESE\r\nshowoption = 0\r\ntoolMode = 0\r\nflUseFlng = 0\r\nflPointMode = 0\r\n"
    "flCreatePointer = 1\r\nflDivideSegment = 0\r\nflPtCount = 1\r\nflPtDistance1 = 141.732\r\n"
    "flPtDistance2 = 141.732\r\nflPtDistance3 = 141.732\r\nflPtLength = 14.1732\r\nflPtLineWidth = 0.1\r\n"
    "flPtIsDashLine = 0\r\nflPtDashLengD1 = 0\r\nflPtDashLengD2 = 0\r\nflPtDashLengD3 = 0\r\n"
    "flPtDashLengD4 = 0\r\nflPtDashLengD5 = 0\r\nflPtDashLengD6 = 0\r\n"
    "handleline_layer = \"HANDLE LINE\"\r\nhandleline_line_width = 0.5\r\nhandleline_line_color = \"\"\r\n"
    "handleline_polyline = 1\r\nhandleline_reverse_side = 0\r\nextend_endpoints = 0\r\n";

PluginState Defaults() {
    PluginState state;
    SetStartValues(state, nullptr, 1.0);
    return state;
}

// Keys and the values written for them.
using Changes = std::vector<std::pair<std::string, std::string>>;

// The defaults text with each line of a key replaced by "key = value".
std::string DefaultsWith(const Changes& changes) {
    std::string text = kDefaultsText;
    for (const auto& [key, value] : changes) {
        const std::size_t start = text.find(key + " = ");
        text.replace(start, text.find("\r\n", start) - start, key + " = " + value);
    }
    return text;
}

PluginState Applied(const std::string& text) {
    PluginState state = Defaults();
    ApplySettingsText(state, text.data(), text.size());
    return state;
}

bool TextFieldsTerminated(const PluginState& state) {
    return std::memchr(state.handleline_layer, '\0', sizeof state.handleline_layer) != nullptr &&
           std::memchr(state.handleline_line_color, '\0', sizeof state.handleline_line_color) != nullptr;
}

}  // namespace

// ---- Writing: the text for a state ----

// Any language but Korean and Japanese shows English texts, so it is kept as English; numbers are
// written as %d and %g.
TEST(SettingsWrite, LanguageWordsAndNumberForms) {
    PluginState state = Defaults();
    state.language = 7;
    state.flPtCount = -3;
    state.flPointMode = 65535;
    state.flPtLength = 1e20;
    state.flPtLineWidth = -0.000012345678;
    EXPECT_EQ(FormatSettingsText(state),
              DefaultsWith({{"language", "ENGLISH"}, {"flPtCount", "-3"}, {"flPointMode", "65535"},
                            {"flPtLength", "1e+20"}, {"flPtLineWidth", "-1.23457e-05"}}));
}

TEST(SettingsWrite, DecimalPointIgnoresLocale) {
    const CommaLocale locale;
    if (!locale.active()) GTEST_SKIP() << "no locale with a decimal comma on this machine";
    EXPECT_EQ(FormatSettingsText(Defaults()), kDefaultsText);
    EXPECT_EQ(Applied("flPtLineWidth = 2.75\n").flPtLineWidth, 2.75);
}

// ---- Reading: numbers, and lines applied to the state ----

// The decimal numbers of the plug-in's texts (the settings file, the panel's fields, the adjust
// record): read as far as they go, as strtod reads them in the C locale, but never hexadecimal, inf
// or nan.
TEST(DecimalText, NumbersAreReadAsFarAsTheyGo) {
    // An exponent needs a digit; beyond the range of a double is an infinity or zero.
    const std::pair<const char*, double> cases[] = {
        {"  12.5e1x", 125}, {"-.5", -0.5}, {"+3.", 3}, {"7e", 7}, {"7e-", 7}, {"abc", 0}, {"", 0}, {".", 0},
        {"0x10", 0}, {"inf", 0}, {"nan", 0}, {"1.5", 1.5}, {"1e-400", 0}, {"0.000001e-400", 0},
        {"1e400", HUGE_VAL}, {"-123456e99999", -HUGE_VAL}};
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(ReadDecimalNumber(text, text + std::strlen(text)), value) << '"' << text << '"';
    }
    // A zero-ended text reads as a bounded range does.
    EXPECT_EQ(ReadDecimalNumber(" -2.5e2mm"), -250);
    EXPECT_EQ(ReadDecimalNumber(nullptr), 0);
    const char* text = "12,34";
    EXPECT_EQ(ReadDecimalNumber(text, text + 1), 1) << "the range ends the number";
}

TEST(SettingsRead, LinesAppliedToTheDefaults) {
    const std::string shiftJis = "\x83\x8c\x83\x43\x83\x84\x81\x5b";  // a layer name in Shift-JIS
    const char withZero[] = "flPtCount = 2\r\nflPtLength = 3\0\r\nflPtCount = 3\r\n";
    // A settings text read over the defaults, and the keys whose written values it changes.
    const std::pair<std::string, Changes> cases[] = {
        {"language = ENGLISH", {{"language", "ENGLISH"}}},
        // Keys and words are case-sensitive; an unknown word is Japanese.
        {"LANGUAGE = ENGLISH\r\n", {}}, {"language = KOREAN\r\nlanguage = english\r\n", {}},
        // Spaces outside quotes are dropped.
        {"handleline_layer = \"Two Words\"\r\n", {{"handleline_layer", "\"Two Words\""}}},
        {"\thandle line_layer\t=\tA\tB\r\n", {{"handleline_layer", "\"AB\""}}},
        // A comma ends the value.
        {"flPtLength = 1,5\r\n", {{"flPtLength", "1"}}}, {"flPtCount , 3\r\n", {{"flPtCount", "3"}}},
        // Comments, empty values and duplicates; the first kept character makes a comment.
        {"'language = ENGLISH\r\n\r\n\n  \r\n", {}}, {"flPtCount = 2\r\nflPtCount = 3\r\n", {{"flPtCount", "3"}}},
        {"flPtCount =\r\nflPtCount = \"\"\r\n= 3\r\nhandleline_layer=\r\n", {}},
        // Numbers are read from their leading part.
        {"flPtCount = -2\r\n", {{"flPtCount", "-2"}}}, {"flPtCount = +7mm\r\n", {{"flPtCount", "7"}}},
        {"flPtCount = \" \v-9\"\r\n", {{"flPtCount", "-9"}}},
        {"flCreatePointer = -1\r\n", {{"flCreatePointer", "65535"}}},
        // Beyond a 32-bit long the integer saturates, as strtol does on the Windows build.
        {"flPtCount = 99999999999999999999999\r\n", {{"flPtCount", "-1"}}},
        {"flPtCount = 32768\r\n", {{"flPtCount", "-32768"}}},
        // A double that overflows keeps its start value, so what is written back reads back the same.
        {"flPtLength = 1e999\r\n", {}},
        // What lies beyond the 255 characters a line keeps never becomes a line of its own.
        {"'" + std::string(254, 'x') + "flPtCount = 7\r\n", {}},
        // A zero byte ends the text, as it does the file read as one zero-terminated string.
        {std::string(withZero, sizeof withZero - 1), {{"flPtCount", "2"}, {"flPtLength", "3"}}},
        // An unterminated quote swallows the separators to the line's end only.
        {"handleline_layer = \"open, = quote\r\nflPtCount = 3\r\n",
         {{"handleline_layer", "\"open, = quote\""}, {"flPtCount", "3"}}},
        // A lone CR does not end a line; it is dropped.
        {"flPtCount = 2\rflPtLength = 4\r\n", {{"flPtCount", "2"}}},
        // Bytes above 0x7F pass unchanged.
        {"handleline_layer = \"" + shiftJis + "\"\r\n", {{"handleline_layer", "\"" + shiftJis + "\""}}},
    };
    for (const auto& [text, changes] : cases) {
        const PluginState state = Applied(text);
        EXPECT_EQ(FormatSettingsText(state), DefaultsWith(changes)) << text.substr(0, 80);
        EXPECT_TRUE(TextFieldsTerminated(state));
    }
    // A line keeps its first 255 characters (key and "=" included); the next line still counts.
    const std::string name(240, 'n');
    PluginState state = Applied("handleline_layer=" + name + "TAIL\r\nflPtCount = 3\r\n");
    EXPECT_EQ(std::string(state.handleline_layer), name.substr(0, 255 - 17));
    EXPECT_EQ(state.flPtCount, 3);
    // Longer than 64 KiB with quotes and separators after the cut.
    state = Applied("handleline_line_color = \"x" + std::string(70000, 'y') + "\"\" = , \"\nflPtCount = 2\r\n");
    EXPECT_EQ(std::strlen(state.handleline_line_color), 232u);  // 255 less the key, "=" and the quote
    EXPECT_EQ(state.flPtCount, 2);
    EXPECT_TRUE(TextFieldsTerminated(state));

    EXPECT_EQ(Applied(kDefaultsText).flPtDistance1, 141.732) << "the 50 mm default comes back shortened";

    state = Defaults();
    ApplySettingsText(state, nullptr, 10);
    ApplySettingsText(state, "flPtCount = 9", 0);
    EXPECT_EQ(FormatSettingsText(state), kDefaultsText) << "no text";
}

// Every field written with a value other than its default reads back the same.
TEST(SettingsRead, RoundTripOfEveryField) {
    const std::string text =
        "language = KOREAN\r\nshowoption = 1\r\ntoolMode = 1\r\nflUseFlng = 1\r\nflPointMode = 3\r\n"
        "flCreatePointer = 0\r\nflDivideSegment = 1\r\nflPtCount = -2\r\nflPtDistance1 = 10.5\r\n"
        "flPtDistance2 = 1e-07\r\nflPtDistance3 = 123456\r\nflPtLength = 0.25\r\nflPtLineWidth = 3\r\n"
        "flPtIsDashLine = 1\r\nflPtDashLengD1 = 1\r\nflPtDashLengD2 = 2\r\nflPtDashLengD3 = 3.5\r\n"
        "flPtDashLengD4 = 4\r\nflPtDashLengD5 = 5\r\nflPtDashLengD6 = 6.25\r\n"
        "handleline_layer = \"Layer, with = signs\"\r\nhandleline_line_width = 0.75\r\n"
        "handleline_line_color = \"Swatch 1\"\r\nhandleline_polyline = 0\r\nhandleline_reverse_side = 1\r\n"
        "extend_endpoints = 1\r\n";
    EXPECT_EQ(FormatSettingsText(Applied(text)), text);
    EXPECT_EQ(Applied(text).flPtDistance2, 1e-7);

    // A long text stays one well-formed line.
    PluginState state = Defaults();
    std::memset(state.handleline_line_color, 'c', kTextFieldSize - 1);
    state.handleline_line_color[kTextFieldSize - 1] = '\0';
    const std::string longText = FormatSettingsText(state);
    const std::size_t start = longText.find("handleline_line_color = \"");
    const std::size_t end = longText.find("\"\r\nhandleline_polyline = 1\r\n", start);
    ASSERT_NE(start, std::string::npos);
    ASSERT_NE(end, std::string::npos);
    EXPECT_EQ(end + 3 - start, 255u);  // the 256-byte line buffer, less its zero
    // What is written reads back as written.
    EXPECT_EQ(FormatSettingsText(Applied(longText)), longText);
}

// ---- The real file, in a fresh documents folder ----

#ifndef _WIN32

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char previous[kPrefsPathSize];
        PlatformDocumentsFolder(previous, sizeof previous);
        savedFolder_ = previous;
        savedState_ = gState;
        char pattern[] = "/tmp/kelvane-settings-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        documents_ = pattern;
        SetPosixDocumentsFolder(documents_.c_str());
        state_ = Defaults();
        gState = &state_;
    }

    void TearDown() override {
        gState = savedState_;
        SetPosixDocumentsFolder(savedFolder_.c_str());
        std::error_code ignored;
        std::filesystem::remove_all(documents_, ignored);
    }

    std::string FilePath() const { return documents_ + "/Adobe/Illustrator/Prefs/Kelvane.ini"; }

    void PutFile(const std::string& text) const {
        std::filesystem::create_directories(documents_ + "/Adobe/Illustrator/Prefs");
        std::ofstream(FilePath(), std::ios::binary) << text;
    }

    std::string documents_, savedFolder_;
    PluginState* savedState_ = nullptr;
    PluginState state_{};
};

}  // namespace

// Writing replaces whatever file there was; reading applies only the keys it finds.
TEST_F(SettingsFileTest, WriteReplacesTheFileAndReadAppliesWhatItFinds) {
    PutFile(std::string(5000, 'x'));
    WriteSettingsFile();
    EXPECT_EQ(ReadWholeFile(FilePath()), kDefaultsText);
    PutFile("language = ENGLISH");
    ReadSettingsFile();
    EXPECT_EQ(FormatSettingsText(state_), DefaultsWith({{"language", "ENGLISH"}}));
}

// No documents folder, or a plain file where the Prefs folder belongs: no file is read or written.
TEST_F(SettingsFileTest, ThePrefsFolderAndOneThatCannotBeMade) {
    char folder[kPrefsPathSize] = "unchanged";
    SetPosixDocumentsFolder((documents_ + "/").c_str());
    GetPrefsFolder(folder);
    EXPECT_EQ(std::string(folder), documents_ + "/Adobe/Illustrator");
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    std::ofstream(documents_ + "/Adobe/Illustrator/Prefs") << "not a folder";
    WriteSettingsFile();
    ReadSettingsFile();
    EXPECT_FALSE(std::filesystem::exists(FilePath()));
    EXPECT_EQ(FormatSettingsText(state_), kDefaultsText);

    // A deep documents folder: the folders are made in full, the answer is cut after 200 characters.
    const std::string deep = documents_ + "/" + std::string(190 - documents_.size(), 'd');
    ASSERT_EQ(mkdir(deep.c_str(), 0755), 0);
    SetPosixDocumentsFolder(deep.c_str());
    GetPrefsFolder(folder);
    EXPECT_EQ(std::string(folder), (deep + "/Adobe/Illustrator").substr(0, 200));
    EXPECT_TRUE(std::filesystem::is_directory(deep + "/Adobe/Illustrator"));

    SetPosixDocumentsFolder("");
    std::strcpy(folder, "unchanged");
    GetPrefsFolder(folder);
    EXPECT_STREQ(folder, "");
    WriteSettingsFile();
    ReadSettingsFile();
    EXPECT_EQ(FormatSettingsText(state_), kDefaultsText);
}

#endif  // _WIN32
