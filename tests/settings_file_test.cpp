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
#include "shell/plugin_state.h"

#ifndef _WIN32
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#endif

namespace {

const char kDefaultsText[] =
    "language = JAPANESE\r\n"
    "showoption = 0\r\n"
    "toolMode = 0\r\n"
    "flUseFlng = 0\r\n"
    "flPointMode = 0\r\n"
    "flCreatePointer = 1\r\n"
    "flDivideSegment = 0\r\n"
    "flPtCount = 1\r\n"
    "flPtDistance1 = 141.732\r\n"
    "flPtDistance2 = 141.732\r\n"
    "flPtDistance3 = 141.732\r\n"
    "flPtLength = 14.1732\r\n"
    "flPtLineWidth = 0.1\r\n"
    "flPtIsDashLine = 0\r\n"
    "flPtDashLengD1 = 0\r\n"
    "flPtDashLengD2 = 0\r\n"
    "flPtDashLengD3 = 0\r\n"
    "flPtDashLengD4 = 0\r\n"
    "flPtDashLengD5 = 0\r\n"
    "flPtDashLengD6 = 0\r\n"
    "handleline_layer = \"HANDLE LINE\"\r\n"
    "handleline_line_width = 0.5\r\n"
    "handleline_line_color = \"\"\r\n"
    "handleline_polyline = 1\r\n"
    "handleline_reverse_side = 0\r\n"
    "extend_endpoints = 0\r\n";

PluginState Defaults() {
    PluginState state;
    SetStartValues(state, nullptr, 1.0);
    return state;
}

// The defaults text with each line of a key replaced by "key = value".
std::string DefaultsWith(const std::vector<std::pair<std::string, std::string>>& changes) {
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

std::string AppliedText(const std::string& text) { return FormatSettingsText(Applied(text)); }

bool TextFieldsTerminated(const PluginState& state) {
    return std::memchr(state.handleline_layer, '\0', sizeof state.handleline_layer) != nullptr &&
           std::memchr(state.handleline_line_color, '\0', sizeof state.handleline_line_color) != nullptr;
}

}  // namespace

// ---- Writing: the text for a state ----

TEST(SettingsWrite, DefaultsTextIsExact) { EXPECT_EQ(FormatSettingsText(Defaults()), kDefaultsText); }

TEST(SettingsWrite, LanguageWords) {
    PluginState state = Defaults();
    state.language = kEnglish;
    EXPECT_EQ(FormatSettingsText(state), DefaultsWith({{"language", "ENGLISH"}}));
    state.language = kKorean;
    EXPECT_EQ(FormatSettingsText(state), DefaultsWith({{"language", "KOREAN"}}));
    // Any other value shows English texts, so it is kept as English.
    state.language = 7;
    EXPECT_EQ(FormatSettingsText(state), DefaultsWith({{"language", "ENGLISH"}}));
}

TEST(SettingsWrite, IntegerAndDoubleForms) {
    PluginState state = Defaults();
    state.flPtCount = -3;
    state.flPointMode = 65535;
    state.flPtLength = 1e20;
    state.flPtLineWidth = -0.000012345678;
    state.flPtDashLengD1 = 2.5;
    EXPECT_EQ(FormatSettingsText(state), DefaultsWith({{"flPtCount", "-3"},
                                                       {"flPointMode", "65535"},
                                                       {"flPtLength", "1e+20"},
                                                       {"flPtLineWidth", "-1.23457e-05"},
                                                       {"flPtDashLengD1", "2.5"}}));
}

TEST(SettingsWrite, DecimalPointIgnoresLocale) {
    const CommaLocale locale;
    if (!locale.active()) GTEST_SKIP() << "no locale with a decimal comma on this machine";
    EXPECT_EQ(FormatSettingsText(Defaults()), kDefaultsText);
    EXPECT_EQ(Applied("flPtLineWidth = 2.75\n").flPtLineWidth, 2.75);
}

TEST(SettingsWrite, LongTextStaysOneWellFormedLine) {
    PluginState state = Defaults();
    std::memset(state.handleline_line_color, 'c', kTextFieldSize - 1);
    state.handleline_line_color[kTextFieldSize - 1] = '\0';
    const std::string text = FormatSettingsText(state);
    const std::size_t start = text.find("handleline_line_color = \"");
    const std::size_t end = text.find("\"\r\nhandleline_polyline = 1\r\n", start);
    ASSERT_NE(start, std::string::npos);
    ASSERT_NE(end, std::string::npos);
    EXPECT_EQ(end + 3 - start, 255u);  // the 256-byte line buffer, less its zero
    // What is written reads back as written.
    EXPECT_EQ(AppliedText(text), text);
}

// ---- Reading: lines applied to the state ----

// A settings text read over the defaults, and the keys whose written values it changes.
struct ReadCase {
    std::string text;
    std::vector<std::pair<std::string, std::string>> changes;
};

TEST(SettingsRead, LinesAppliedToTheDefaults) {
    const std::string shiftJis = "\x83\x8c\x83\x43\x83\x84\x81\x5b";  // a layer name in Shift-JIS
    const char withZero[] = "flPtCount = 2\r\nflPtLength = 3\0\r\nflPtCount = 3\r\n";
    const ReadCase cases[] = {
        {"language = ENGLISH", {{"language", "ENGLISH"}}},
        // Keys and words are case-sensitive; an unknown word is Japanese.
        {"LANGUAGE = ENGLISH\r\n", {}},
        {"language = KOREAN\r\nlanguage = english\r\n", {}},
        {"language = \"KOREAN\"\r\n", {{"language", "KOREAN"}}},
        // Spaces outside quotes are dropped.
        {"handleline_layer = Two Words\r\n", {{"handleline_layer", "\"TwoWords\""}}},
        {"handleline_layer = \"Two Words\"\r\n", {{"handleline_layer", "\"Two Words\""}}},
        {"handleline_layer = \"a=b, c\"\r\n", {{"handleline_layer", "\"a=b, c\""}}},
        {"\thandle line_layer\t=\tA\tB\r\n", {{"handleline_layer", "\"AB\""}}},
        // A comma ends the value.
        {"flPtLength = 1,5\r\n", {{"flPtLength", "1"}}},
        {"flPtCount = 2,3,4,5,6,7\r\n", {{"flPtCount", "2"}}},
        {"flPtCount , 3\r\n", {{"flPtCount", "3"}}},
        // Comments, empty values and duplicates; the first kept character makes a comment.
        {"'language = ENGLISH\r\n\r\n\n  \r\n", {}},
        {"flPtCount =\r\nflPtCount = \"\"\r\n= 3\r\nhandleline_layer=\r\n", {}},
        {"flPtCount = 2\r\nflPtCount = 3\r\n", {{"flPtCount", "3"}}},
        {" ' flPtCount = 2\r\n", {}},
        // Numbers are read from their leading part.
        {"flPtCount = -2\r\n", {{"flPtCount", "-2"}}},
        {"flPtCount = +7mm\r\n", {{"flPtCount", "7"}}},
        {"flPtCount = x7\r\n", {{"flPtCount", "0"}}},
        {"flPtCount = \" \v-9\"\r\n", {{"flPtCount", "-9"}}},
        {"flCreatePointer = -1\r\n", {{"flCreatePointer", "65535"}}},
        {"flCreatePointer = 65537\r\n", {}},
        {"flPtLength = 2.5e1mm\r\n", {{"flPtLength", "25"}}},
        {"flPtLength = +.5\r\n", {{"flPtLength", "0.5"}}},
        {"flPtLength = -3.\r\n", {{"flPtLength", "-3"}}},
        {"flPtLength = abc\r\n", {{"flPtLength", "0"}}},
        {"flPtLength = nan\r\n", {{"flPtLength", "0"}}},
        {"flPtLength = inf\r\n", {{"flPtLength", "0"}}},
        {"flPtLength = +-1\r\n", {{"flPtLength", "0"}}},
        {"flPtLength = --1\r\n", {{"flPtLength", "0"}}},
        // Beyond a 32-bit long the integer saturates, as strtol does on the Windows build.
        {"flPtCount = 99999999999999999999999\r\n", {{"flPtCount", "-1"}}},
        {"flPtCount = -99999999999999999999999\r\n", {{"flPtCount", "0"}}},
        {"flPtCount = 2147483647\r\n", {{"flPtCount", "-1"}}},
        {"flPtCount = 65536\r\n", {{"flPtCount", "0"}}},
        {"flPtCount = 32768\r\n", {{"flPtCount", "-32768"}}},
        // A double that overflows keeps its start value, so what is written back reads back the same.
        {"flPtLength = 1e999\r\n", {}},
        {"flPtDashLengD1 = -1e999\r\n", {}},
        {"handleline_line_width = 1e999\r\n", {}},
        {"flPtLength = 1e-999\r\n", {{"flPtLength", "0"}}},
        {"flPtLength = 0.0000000000000000000001e-400\r\n", {{"flPtLength", "0"}}},
        {"flPtLength = " + std::string(200, '9') + "e200\r\n", {}},
        // What lies beyond the 255 characters a line keeps never becomes a line of its own.
        {"'" + std::string(254, 'x') + "flPtCount = 7\r\n", {}},
        {"'" + std::string(254, 'x') + "+flPtCount = 7\r\n", {}},
        // A zero byte ends the text, as it does the file read as one zero-terminated string.
        {std::string(withZero, sizeof withZero - 1), {{"flPtCount", "2"}, {"flPtLength", "3"}}},
        // An unterminated quote swallows the separators to the line's end only.
        {"handleline_layer = \"open, = quote\r\nflPtCount = 3\r\n",
         {{"handleline_layer", "\"open, = quote\""}, {"flPtCount", "3"}}},
        // A lone CR does not end a line; it is dropped.
        {"flPtCount = 2\rflPtLength = 4\r\n", {{"flPtCount", "2"}}},
        {",,,,,,,,\r\n========\r\n\"\"\"\"\r\n=,=,\"=\"\r\n\n\n", {}},
        {std::string(300, '=') + "\r\n" + std::string(300, '"'), {}},
        // Bytes above 0x7F pass unchanged.
        {"handleline_layer = \"" + shiftJis + "\"\r\n", {{"handleline_layer", "\"" + shiftJis + "\""}}},
    };
    for (const ReadCase& c : cases) {
        const PluginState state = Applied(c.text);
        EXPECT_EQ(FormatSettingsText(state), DefaultsWith(c.changes)) << c.text.substr(0, 80);
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

    // The double read is the number itself, not its six-digit text.
    EXPECT_EQ(Applied("flPtLength = 2.5e1mm\r\n").flPtLength, 25.0);
    EXPECT_EQ(Applied("flPtCount = 2\rflPtLength = 4\r\n").flPtLength, 14.17323);
    EXPECT_EQ(Applied(kDefaultsText).flPtDistance1, 141.732) << "the 50 mm default comes back shortened";

    state = Defaults();
    ApplySettingsText(state, nullptr, 10);
    ApplySettingsText(state, "flPtCount = 9", 0);
    EXPECT_EQ(FormatSettingsText(state), kDefaultsText) << "no text";
}

// Every field written with a value other than its default reads back the same.
TEST(SettingsRead, RoundTripOfEveryField) {
    const std::string text =
        "language = KOREAN\r\n"
        "showoption = 1\r\n"
        "toolMode = 1\r\n"
        "flUseFlng = 1\r\n"
        "flPointMode = 3\r\n"
        "flCreatePointer = 0\r\n"
        "flDivideSegment = 1\r\n"
        "flPtCount = -2\r\n"
        "flPtDistance1 = 10.5\r\n"
        "flPtDistance2 = 1e-07\r\n"
        "flPtDistance3 = 123456\r\n"
        "flPtLength = 0.25\r\n"
        "flPtLineWidth = 3\r\n"
        "flPtIsDashLine = 1\r\n"
        "flPtDashLengD1 = 1\r\n"
        "flPtDashLengD2 = 2\r\n"
        "flPtDashLengD3 = 3.5\r\n"
        "flPtDashLengD4 = 4\r\n"
        "flPtDashLengD5 = 5\r\n"
        "flPtDashLengD6 = 6.25\r\n"
        "handleline_layer = \"Layer, with = signs\"\r\n"
        "handleline_line_width = 0.75\r\n"
        "handleline_line_color = \"Swatch 1\"\r\n"
        "handleline_polyline = 0\r\n"
        "handleline_reverse_side = 1\r\n"
        "extend_endpoints = 1\r\n";
    EXPECT_EQ(AppliedText(text), text);
    EXPECT_EQ(Applied(text).flPtDistance2, 1e-7);
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

    std::string FileText() const {
        std::ifstream file(FilePath(), std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }

    void PutFile(const std::string& text) const {
        std::filesystem::create_directories(documents_ + "/Adobe/Illustrator/Prefs");
        std::ofstream(FilePath(), std::ios::binary) << text;
    }

    std::string documents_;
    std::string savedFolder_;
    PluginState* savedState_ = nullptr;
    PluginState state_{};
};

}  // namespace

TEST_F(SettingsFileTest, WriteReplacesTheFileWithTheDefaultsText) {
    PutFile(std::string(5000, 'x'));
    WriteSettingsFile();
    EXPECT_EQ(FileText(), kDefaultsText);
}

TEST_F(SettingsFileTest, WriteThenReadRestoresTheSettings) {
    state_.language = kKorean;
    state_.flPtCount = 3;
    std::strcpy(state_.handleline_layer, "Two Words");
    WriteSettingsFile();

    state_ = Defaults();
    ReadSettingsFile();
    EXPECT_EQ(state_.language, kKorean);
    EXPECT_EQ(state_.flPtCount, 3);
    EXPECT_STREQ(state_.handleline_layer, "Two Words");
    EXPECT_EQ(state_.flPtDistance1, 141.732);
}

TEST_F(SettingsFileTest, ReadAppliesOnlyTheKeysItFinds) {
    ReadSettingsFile();
    EXPECT_EQ(FormatSettingsText(state_), kDefaultsText) << "no file";
    // Reading builds the folders on the way, as writing does.
    EXPECT_TRUE(std::filesystem::is_directory(documents_ + "/Adobe/Illustrator/Prefs"));
    PutFile("language = ENGLISH");
    ReadSettingsFile();
    EXPECT_EQ(FormatSettingsText(state_), DefaultsWith({{"language", "ENGLISH"}}));
}

TEST_F(SettingsFileTest, UncreatableFileLeavesNoFile) {
    // A plain file where the Prefs folder belongs: root can write anywhere, but not below a file.
    std::filesystem::create_directories(documents_ + "/Adobe/Illustrator");
    std::ofstream(documents_ + "/Adobe/Illustrator/Prefs") << "not a folder";
    WriteSettingsFile();
    ReadSettingsFile();
    EXPECT_FALSE(std::filesystem::exists(FilePath()));
    EXPECT_EQ(FormatSettingsText(state_), kDefaultsText);

    SetPosixDocumentsFolder((documents_ + "/missing/deeper").c_str());
    WriteSettingsFile();
    ReadSettingsFile();
    EXPECT_FALSE(std::filesystem::exists(documents_ + "/missing"));
}

TEST_F(SettingsFileTest, FolderInPlaceOfTheFile) {
    std::filesystem::create_directories(FilePath() + "/inner");
    ReadSettingsFile();
    WriteSettingsFile();
    EXPECT_TRUE(std::filesystem::is_directory(FilePath()));
    EXPECT_EQ(FormatSettingsText(state_), kDefaultsText);
}

TEST_F(SettingsFileTest, NoDocumentsFolderTouchesNothing) {
    SetPosixDocumentsFolder("");
    char folder[kPrefsPathSize] = "unchanged";
    GetPrefsFolder(folder);
    EXPECT_STREQ(folder, "");
    WriteSettingsFile();
    ReadSettingsFile();
    EXPECT_EQ(FormatSettingsText(state_), kDefaultsText);
}

TEST_F(SettingsFileTest, PrefsFolderPath) {
    char folder[kPrefsPathSize];
    SetPosixDocumentsFolder((documents_ + "/").c_str());
    GetPrefsFolder(folder);
    EXPECT_EQ(std::string(folder), documents_ + "/Adobe/Illustrator");
    EXPECT_TRUE(std::filesystem::is_directory(folder));

    // A deep documents folder: the folders are made in full, the answer is cut after 200 characters.
    const std::string deep = documents_ + "/" + std::string(190 - documents_.size(), 'd');
    ASSERT_EQ(mkdir(deep.c_str(), 0755), 0);
    SetPosixDocumentsFolder(deep.c_str());
    GetPrefsFolder(folder);
    EXPECT_EQ(std::string(folder), (deep + "/Adobe/Illustrator").substr(0, 200));
    EXPECT_TRUE(std::filesystem::is_directory(deep + "/Adobe/Illustrator"));
}

TEST_F(SettingsFileTest, NoGlobalStateDoesNothing) {
    gState = nullptr;
    WriteSettingsFile();
    ReadSettingsFile();
    EXPECT_FALSE(std::filesystem::exists(documents_ + "/Adobe"));
}

#endif  // _WIN32
