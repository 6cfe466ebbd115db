// The parts of the simulated registry that only it has: values of any type and
// size, the state file that keeps it with the files, its fault flags, and its
// handling of bad paths and handles.

#include "platform/files.h"
#include "platform/registry.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_registry_file.h"
#include "platform/sim/utf8.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t REG_SZ = 1;
constexpr std::uint32_t REG_BINARY = 3;
constexpr std::uint32_t REG_DWORD = 4;
constexpr std::uint32_t REG_QWORD = 11;
constexpr std::uint32_t UNTOUCHED = 0xA5A5A5A5;
const char16_t* const TAVIL_KEY = u"SOFTWARE\\Dunmar\\Tavil";

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(const std::u16string& text) {
    Bytes bytes((text.size() + 1) * sizeof(char16_t));
    std::memcpy(bytes.data(), text.c_str(), bytes.size());
    return bytes;
}

void setValue(const char16_t* path, const char16_t* name, std::uint32_t type, const Bytes& bytes) {
    simSetRegistryValue(path, name, type, bytes.data(), bytes.size());
}

void setNumber(const char16_t* path, const char16_t* name, std::uint32_t number) {
    simSetRegistryValue(path, name, REG_DWORD, &number, sizeof number);
}

// The number as the program reads it; UNTOUCHED when the query fails.
std::uint32_t queried(const char16_t* path, const char16_t* name) {
    std::uint32_t value = UNTOUCHED;
    const RegistryKey key = openRegistryKey(path, REGISTRY_READ_ACCESS);
    queryRegistryNumber(key, name, value);
    closeRegistryKey(key);
    return value;
}

class SimRegistryTest : public ::testing::Test {
  protected:
    void SetUp() override { resetSimHandheld(SimProcessorKind::Pxa270); }
    void TearDown() override {
        EXPECT_EQ(simLiveRegistryKeys(), 0);
        std::filesystem::remove(file);
    }

    void writeFile(const std::string& text) const { std::ofstream(file, std::ios::binary) << text; }

    std::string readFile() const {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    bool saveToFile() const { return saveSimState(file.c_str()); }

    bool loadFromFile() const {
        std::string problem;
        return loadSimState(file.c_str(), problem) == SimStateLoad::Loaded;
    }

    // The file's text after its header line; "(no header)" when it has none.
    std::string savedLines() const {
        const std::string text = readFile();
        const std::string header = std::string(SIM_STATE_HEADER) + "\n";
        return text.starts_with(header) ? text.substr(header.size()) : "(no header)";
    }

    const std::string file = (std::filesystem::temp_directory_path() /
                              ("tavil_registry_" + std::to_string(getpid()) + "_" +
                               ::testing::UnitTest::GetInstance()->current_test_info()->name()))
                                 .string();
};

TEST_F(SimRegistryTest, OnlyFourByteValuesReadAsNumbersWhateverTheirType) {
    struct Case {
        const char* what;
        std::uint32_t type;
        Bytes bytes;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {"2-byte binary", REG_BINARY, {0x10, 0x20}, UNTOUCHED},
        {"8-byte number", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}, UNTOUCHED},
        {"string", REG_SZ, bytesOf(u"416"), UNTOUCHED},
        {"no bytes", REG_BINARY, {}, UNTOUCHED},
        {"4-byte binary", REG_BINARY, {0xA0, 0x01, 0, 0}, 416},
        {"4-byte string", REG_SZ, bytesOf(u"1"), 0x31},
    };
    for (const Case& c : cases) {
        setValue(TAVIL_KEY, u"Speed", c.type, c.bytes);
        EXPECT_EQ(queried(TAVIL_KEY, u"Speed"), c.expected) << c.what;
        std::uint32_t value = UNTOUCHED;
        EXPECT_EQ(simGetRegistryNumber(TAVIL_KEY, u"Speed", value), c.expected != UNTOUCHED);
        EXPECT_EQ(value, c.expected) << c.what;
    }
}

TEST_F(SimRegistryTest, PathsAndNamesIgnoreAsciiCase) {
    setNumber(TAVIL_KEY, u"Speed", 416);
    EXPECT_EQ(queried(u"software\\DUNMAR\\tavil", u"SPEED"), 416u);

    const RegistryKey key = createRegistryKey(u"Software\\dunmar\\TAVIL");
    setRegistryNumber(key, u"speed", 208);
    closeRegistryKey(key);
    std::uint32_t value = 0;
    EXPECT_TRUE(simGetRegistryNumber(TAVIL_KEY, u"Speed", value));
    EXPECT_EQ(value, 208u);
    ASSERT_TRUE(saveToFile());
    EXPECT_EQ(savedLines(), "SOFTWARE\\Dunmar\\Tavil\tSpeed\t4\td0000000\n")
        << "keys and values keep the case they were first written with";

    setNumber(TAVIL_KEY, u"Частота", 1);
    EXPECT_FALSE(simRegistryValueExists(TAVIL_KEY, u"ЧАСТОТА")) << "only ASCII letters fold";
}

TEST_F(SimRegistryTest, PathsWithAnEmptyPartNameNoKey) {
    const char16_t* const paths[] = {nullptr, u"", u"\\SOFTWARE", u"SOFTWARE\\",
                                     u"SOFTWARE\\\\Tavil"};
    for (const char16_t* path : paths) {
        EXPECT_EQ(createRegistryKey(path), RegistryKey::None);
        EXPECT_EQ(openRegistryKey(path, REGISTRY_READ_ACCESS), RegistryKey::None);
        setNumber(path, u"Speed", 416);
    }
    EXPECT_FALSE(simRegistryKeyExists(u"SOFTWARE"));
    EXPECT_FALSE(saveSimState(nullptr));
    std::string problem;
    EXPECT_EQ(loadSimState(nullptr, problem), SimStateLoad::Missing);
}

TEST_F(SimRegistryTest, ClosedAndUnknownHandlesDoNothing) {
    setNumber(TAVIL_KEY, u"Speed", 416);
    const RegistryKey closed = createRegistryKey(TAVIL_KEY);
    closeRegistryKey(closed);
    for (const RegistryKey key : {closed, static_cast<RegistryKey>(999)}) {
        std::uint32_t value = UNTOUCHED;
        EXPECT_FALSE(queryRegistryNumber(key, u"Speed", value));
        EXPECT_EQ(value, UNTOUCHED);
        setRegistryNumber(key, u"Speed", 208);
        closeRegistryKey(key);
        EXPECT_EQ(simLiveRegistryKeys(), 0);
    }
    EXPECT_EQ(queried(TAVIL_KEY, u"Speed"), 416u);
    const RegistryKey next = createRegistryKey(TAVIL_KEY);
    EXPECT_NE(next, closed) << "a closed handle's number is not handed out again";
    closeRegistryKey(next);
}

TEST_F(SimRegistryTest, SubkeysAreListedByFoldedNameOnlyThroughAReadingKey) {
    for (const char16_t* path : {u"SOFTWARE\\b", u"SOFTWARE\\A b", u"SOFTWARE\\a\\deeper",
                                 u"SOFTWARE\\C_", u"SOFTWARE\\Ca"}) {
        setNumber(path, u"Number", 1);
    }
    const RegistryKey key = openRegistryKey(u"SOFTWARE", REGISTRY_READ_ACCESS);
    std::vector<std::u16string> listed;
    char16_t name[16];
    for (std::uint32_t index = 0; registrySubkeyName(key, index, name, std::size(name)); ++index) {
        listed.push_back(name);
    }
    EXPECT_EQ(listed, (std::vector<std::u16string>{u"a", u"A b", u"b", u"C_", u"Ca"}));
    closeRegistryKey(key);

    const RegistryKey writing = createRegistryKey(u"SOFTWARE"); // counts only on Wine
    for (const RegistryKey cannot : {key, static_cast<RegistryKey>(999), writing}) {
        std::uint32_t count = UNTOUCHED;
        EXPECT_FALSE(queryRegistrySubkeyCount(cannot, count));
        EXPECT_EQ(count, UNTOUCHED);
        EXPECT_FALSE(registrySubkeyName(cannot, 0, name, std::size(name)));
        EXPECT_EQ(name[0], u'\0');
    }
    closeRegistryKey(writing);
}

TEST_F(SimRegistryTest, FaultFlagsMakeCreatingAndWritingFail) {
    setNumber(TAVIL_KEY, u"Speed", 416);
    simRegistryFaults.setValue = true;
    const RegistryKey key = createRegistryKey(TAVIL_KEY);
    ASSERT_NE(key, RegistryKey::None);
    setRegistryNumber(key, u"Speed", 208);
    setRegistryNumber(key, u"Colour", 1);
    closeRegistryKey(key);
    EXPECT_EQ(queried(TAVIL_KEY, u"Speed"), 416u);
    EXPECT_FALSE(simRegistryValueExists(TAVIL_KEY, u"Colour"));

    simRegistryFaults.createKey = true;
    EXPECT_EQ(createRegistryKey(u"SOFTWARE\\New"), RegistryKey::None);
    EXPECT_FALSE(simRegistryKeyExists(u"SOFTWARE\\New"));
    EXPECT_EQ(queried(TAVIL_KEY, u"Speed"), 416u) << "opening still works";

    resetSimHandheld(SimProcessorKind::Pxa270);
    EXPECT_FALSE(simRegistryFaults.createKey || simRegistryFaults.setValue);
    EXPECT_FALSE(simRegistryKeyExists(u"SOFTWARE")) << "a handheld switched on has no settings";
}

TEST_F(SimRegistryTest, SavingAndLoadingKeepsEveryKeyAndValue) {
    struct Value {
        const char16_t* path;
        const char16_t* name;
        std::uint32_t type;
        Bytes bytes;
    };
    const Value values[] = {
        {TAVIL_KEY, u"Speed", REG_DWORD, {0xA0, 0x01, 0, 0}},
        {TAVIL_KEY, u"Название", REG_SZ, bytesOf(u"Тавил")},
        {u"SOFTWARE\\Дунмар\\Настройки", u"Цвет", REG_BINARY, {0xFF, 0x00}},
        {TAVIL_KEY, u"tab\there, line\r\nand 100%", REG_BINARY, {}},
        {TAVIL_KEY, u"", 0xFFFFFFFF, {1, 2, 3, 4, 5, 6, 7, 8}},
    };
    for (const Value& v : values) {
        setValue(v.path, v.name, v.type, v.bytes);
    }
    closeRegistryKey(createRegistryKey(u"SOFTWARE\\Empty"));
    ASSERT_TRUE(saveToFile());
    const std::string saved = readFile();

    resetSimRegistry();
    ASSERT_TRUE(loadFromFile());
    for (const Value& v : values) {
        std::uint32_t type = 0;
        Bytes bytes;
        EXPECT_TRUE(simGetRegistryValue(v.path, v.name, type, bytes));
        EXPECT_EQ(type, v.type);
        EXPECT_EQ(bytes, v.bytes);
    }
    EXPECT_TRUE(simRegistryKeyExists(u"SOFTWARE\\Empty"));
    ASSERT_TRUE(saveToFile());
    EXPECT_EQ(readFile(), saved) << "names keep their case and nothing is added";
}

TEST_F(SimRegistryTest, AHandWrittenFileLoads) {
    writeFile("SOFTWARE\\Dunmar\\Tavil\tSpeed\t4\tA0010000\n"
              "SOFTWARE\\Dunmar\\Tavil\tName%09x\t1\t\n"
              "SOFTWARE\\Other"); // the last line may lack its newline
    ASSERT_TRUE(loadFromFile());
    EXPECT_EQ(queried(TAVIL_KEY, u"Speed"), 416u);
    EXPECT_TRUE(simRegistryValueExists(TAVIL_KEY, u"Name\tx"));
    EXPECT_TRUE(simRegistryKeyExists(u"SOFTWARE\\Other"));

    writeFile("");
    EXPECT_TRUE(loadFromFile());
    EXPECT_FALSE(simRegistryKeyExists(u"SOFTWARE")) << "an empty file is an empty registry";
}

TEST_F(SimRegistryTest, SavingWritesEachKeyOnceAndGivesBackTheFileItLoaded) {
    std::string deepPath = "SOFTWARE";
    for (int level = 0; level < 400; ++level) {
        deepPath += "\\Level";
    }
    struct Case {
        const char* what;
        std::string file;
    };
    const Case cases[] = {
        {"a deep key with a value", deepPath + "\tSpeed\t4\ta0010000\n"},
        {"a deep key without values", deepPath + "\n"},
        {"values all the way down", "A\tV\t4\t00\nA\\B\tV\t4\t00\nA\\B\\C\tV\t4\t00\n"},
        {"an empty key beside one with values", "SOFTWARE\\Dunmar\\Empty\nSOFTWARE\\Dunmar\\Tavil\t"
                                                "A\t1\t\nSOFTWARE\\Dunmar\\Tavil\tB\t3\t00\n"},
        {"a key with values above an empty one", "SOFTWARE\tName\t1\t41\nSOFTWARE\\Empty\n"},
    };
    for (const Case& c : cases) {
        writeFile(c.file); // as files were written before they had a header
        ASSERT_TRUE(loadFromFile()) << c.what;
        ASSERT_TRUE(saveToFile()) << c.what;
        EXPECT_EQ(savedLines(), c.file) << c.what;
        ASSERT_TRUE(loadFromFile()) << c.what << ", with its header";
        ASSERT_TRUE(saveToFile()) << c.what;
        EXPECT_EQ(savedLines(), c.file) << c.what;
    }

    writeFile("SOFTWARE\nSOFTWARE\\Dunmar\nSOFTWARE\\Dunmar\\Tavil\tSpeed\t4\td0000000\n"
              "SOFTWARE\\Dunmar\\Tavil\\Empty\n");
    ASSERT_TRUE(loadFromFile()) << "a file with a line for every key still loads";
    EXPECT_TRUE(simRegistryKeyExists(u"SOFTWARE\\Dunmar"));
    ASSERT_TRUE(saveToFile());
    EXPECT_EQ(savedLines(), "SOFTWARE\\Dunmar\\Tavil\tSpeed\t4\td0000000\n"
                            "SOFTWARE\\Dunmar\\Tavil\\Empty\n");
}

TEST_F(SimRegistryTest, AFileWithALineThatSavingWouldNotWriteIsRefusedAndNothingLoaded) {
    using namespace std::string_literals;
    const std::string goodLine = "SOFTWARE\\Kept\tSpeed\t4\ta0010000\n";
    const std::string longPath(SIM_PATH_CAPACITY, 'f');
    const std::string badLines[] = {
        "",
        "SOFTWARE\\Bad\tName",
        "SOFTWARE\\Bad\tName\t4",
        "SOFTWARE\\Bad\tName\t4\t00\textra",
        "SOFTWARE\\Bad\tName\t4\t012",
        "SOFTWARE\\Bad\tName\t4\tzz",
        "SOFTWARE\\Bad\tName\tdword\t00",
        "SOFTWARE\\Bad\tName\t\t00",
        "SOFTWARE\\Bad\tName\t4294967296\t00",
        "SOFTWARE\\Bad\tName\t-1\t00",
        "SOFTWARE\\Bad\tN%G1\t4\t00",
        "SOFTWARE\\Bad\tN%2",
        "\tName\t4\t00",
        "SOFTWARE\\\\Bad",
        "SOFTWARE\\Bad\r",
        "%00SOFTWARE\\Bad",                 // a key path that starts with NUL
        "\0SOFTWARE\\Bad\tName\t4\t00"s,    // the same, raw
        "SOFTWARE\\Bad%00\tName\t4\t00",    // a NUL inside a path
        "SOFTWARE\\Bad\tNa%00me\t4\t00",    // and inside a value name
        "SOFTWARE\\Bad\tNa\0me\t4\t00"s,    // the same, raw
        "SOFTWARE\\Bad\tName%C0%80\t4\t00", // NUL in an overlong form
        "SOFTWARE\\Bad\tN%ED%A0%80\t4\t00", // half a surrogate pair
        "SOFTWARE\\Bad\tN\xFF\t4\t00",      // no UTF-8
        "%5CWindows\\Bad.txt",              // a file's backslash written as %5C
        "\\Windows\\Bad.lnk\t",             // a shortcut without a target
        "\\Windows\\Bad.lnk\t\\Windows\\Tavil.exe\textra",
        "\\Windows\\Bad%00.txt",
        "\\Windows\\Bad.lnk\t\\Windows\\Ta%ZZvil.exe",
        "\\" + longPath, // longer than a path can be
        "\\Windows\\Bad.lnk\t\\" + longPath,
        "# tavil-sim state\tsomething else", // not the header, nor anything else
    };
    for (const std::string& badLine : badLines) {
        const std::string what = "line \"" + badLine + "\"";
        setNumber(TAVIL_KEY, u"Speed", 416);
        ASSERT_TRUE(simAddShortcut(u"\\Windows\\StartUp\\Tavil.lnk", u"\\Windows\\Tavil.exe"));
        const RegistryKey open = openRegistryKey(TAVIL_KEY, REGISTRY_READ_ACCESS);
        writeFile(goodLine + badLine + "\nSOFTWARE\\After\n\\Windows\\After.txt\n");
        std::string problem;
        EXPECT_EQ(loadSimState(file.c_str(), problem), SimStateLoad::NotAStateFile) << what;
        EXPECT_TRUE(problem.starts_with("line 2: ")) << what << ": " << problem;
        EXPECT_FALSE(simRegistryKeyExists(u"SOFTWARE\\Kept")) << what;
        EXPECT_FALSE(simRegistryKeyExists(u"SOFTWARE\\After")) << what;
        EXPECT_FALSE(fileExists(u"\\Windows\\After.txt")) << what;
        EXPECT_EQ(queried(TAVIL_KEY, u"Speed"), 416u) << what << ": the registry stays";
        std::uint32_t value = UNTOUCHED;
        EXPECT_TRUE(queryRegistryNumber(open, u"Speed", value)) << what << ": its key stays";
        closeRegistryKey(open);
        ASSERT_EQ(simFileCount(), 1) << what;
        EXPECT_EQ(std::u16string(simFileTarget(0)), u"\\Windows\\Tavil.exe") << what;
    }
}

TEST_F(SimRegistryTest, ThirtyThreeFilesAreMoreThanTheHandheldHolds) {
    std::string text = std::string(SIM_STATE_HEADER) + "\n";
    for (int i = 0; i <= SIM_FILE_CAPACITY; ++i) {
        text += "\\File" + std::to_string(i) + "\n";
    }
    writeFile(text);
    std::string problem;
    EXPECT_EQ(loadSimState(file.c_str(), problem), SimStateLoad::NotAStateFile);
    EXPECT_EQ(problem, "line " + std::to_string(SIM_FILE_CAPACITY + 2) + ": more than " +
                           std::to_string(SIM_FILE_CAPACITY) + " files");
    EXPECT_EQ(simFileCount(), 0);

    text.resize(text.rfind("\\File")); // one fewer
    writeFile(text);
    EXPECT_TRUE(loadFromFile());
    EXPECT_EQ(simFileCount(), SIM_FILE_CAPACITY);
}

TEST_F(SimRegistryTest, FilesAndShortcutsAreKeptAfterTheRegistryInTheOrderOfTheirPaths) {
    simAddFile(u"\\Windows\\shellres.96.dll");
    simAddShortcut(u"\\Windows\\StartUp\\Tavil.lnk", u"\\Windows\\Tavil.exe");
    simAddFile(u"\\Мои документы\\100% tab\there.txt");
    simAddFile(u"\\windows\\Readme.txt");
    setNumber(TAVIL_KEY, u"Speed", 416);
    ASSERT_TRUE(saveToFile());
    const std::string expected = "SOFTWARE\\Dunmar\\Tavil\tSpeed\t4\ta0010000\n"
                                 "\\windows\\Readme.txt\n"
                                 "\\Windows\\shellres.96.dll\n"
                                 "\\Windows\\StartUp\\Tavil.lnk\t\\Windows\\Tavil.exe\n"
                                 "\\Мои документы\\100%25 tab%09here.txt\n";
    EXPECT_EQ(savedLines(), expected);

    resetSimHandheld(SimProcessorKind::Pxa270);
    simAddFile(u"\\Windows\\Gone.txt");
    ASSERT_TRUE(loadFromFile());
    EXPECT_FALSE(fileExists(u"\\Windows\\Gone.txt")) << "the file's files replace those there";
    ASSERT_EQ(simFileCount(), 4);
    for (int i = 0; i < simFileCount(); ++i) {
        const std::u16string path = simFilePath(i);
        EXPECT_EQ(std::u16string(simFileTarget(i)),
                  path.ends_with(u".lnk") ? u"\\Windows\\Tavil.exe" : u"")
            << utf8Of(path);
    }
    EXPECT_TRUE(fileExists(u"\\Мои документы\\100% tab\there.txt"));
    EXPECT_EQ(queried(TAVIL_KEY, u"Speed"), 416u);
    ASSERT_TRUE(saveToFile());
    EXPECT_EQ(savedLines(), expected);
}

TEST_F(SimRegistryTest, ASavedFileStartsWithItsHeaderWhichOnlyTheFirstLineMayBe) {
    ASSERT_TRUE(saveToFile());
    EXPECT_EQ(readFile(), std::string(SIM_STATE_HEADER) + "\n") << "an empty handheld";
    EXPECT_TRUE(loadFromFile());

    writeFile("SOFTWARE\\A\n" + std::string(SIM_STATE_HEADER) + "\n");
    EXPECT_TRUE(loadFromFile()) << "a key whose path reads like the header";
    const std::string header = SIM_STATE_HEADER; // ASCII
    EXPECT_TRUE(simRegistryKeyExists(std::u16string(header.begin(), header.end()).c_str()));

    writeFile("");
    EXPECT_TRUE(loadFromFile());
    EXPECT_FALSE(simRegistryKeyExists(u"SOFTWARE")) << "an empty file is an empty handheld";
}

TEST_F(SimRegistryTest, AFileThatCannotBeReadOrWrittenFails) {
    setNumber(TAVIL_KEY, u"Speed", 416);
    EXPECT_FALSE(saveSimState("/nonexistent-folder/state.txt"));
    std::string problem;
    EXPECT_EQ(loadSimState(file.c_str(), problem), SimStateLoad::Missing); // never written
    EXPECT_EQ(queried(TAVIL_KEY, u"Speed"), 416u) << "nothing loaded";

    std::filesystem::create_directory(file);
    EXPECT_EQ(loadSimState(file.c_str(), problem), SimStateLoad::Unreadable);
    EXPECT_NE(problem.find("cannot be read"), std::string::npos) << problem;
    EXPECT_FALSE(saveSimState(file.c_str())) << "a folder is not replaced";
    EXPECT_TRUE(std::filesystem::is_directory(file));
    EXPECT_FALSE(std::filesystem::exists(file + ".saving")) << "nothing is left half written";
    EXPECT_EQ(queried(TAVIL_KEY, u"Speed"), 416u);
}

} // namespace
