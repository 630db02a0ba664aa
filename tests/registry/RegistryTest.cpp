#include "platform/registry/Registry.h"

#include "tests/support/ScopedUserDirs.h"

#include "tests/support/Backend.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr char16_t kKeyPath[] = u"Software\\OrvaneSystems\\Zendrik\\100";

struct ValueRead {
    LSTATUS status = -1;
    DWORD type = 0xFFFFFFFF;
    std::vector<BYTE> data;
};

std::vector<BYTE> Utf16Bytes(std::u16string_view text, bool withNul = true)
{
    std::vector<BYTE> bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<BYTE>(unit & 0xFF));
        bytes.push_back(static_cast<BYTE>(unit >> 8));
    }
    if (withNul) {
        bytes.push_back(0);
        bytes.push_back(0);
    }
    return bytes;
}

class RegistryFileTest : public ::testing::Test {
protected:
    HKEY Open(const char16_t* path = kKeyPath, LSTATUS expected = ERROR_SUCCESS)
    {
        HKEY key = reinterpret_cast<HKEY>(1);
        EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key), expected);
        if (expected != ERROR_SUCCESS) {
            EXPECT_EQ(key, nullptr);
        }
        return key;
    }

    // Asks for the size first, then reads into a buffer of exactly that size.
    ValueRead Read(std::string_view valueLines, const char16_t* name)
    {
        dirs.WriteSettings(SettingsFileWith(valueLines));
        return ReadFromFile(name);
    }

    ValueRead ReadFromFile(const char16_t* name)
    {
        ValueRead read;
        HKEY key = Open();
        if (key == nullptr)
            return read;
        DWORD size = 0;
        read.status = RegQueryValueExW(key, name, nullptr, &read.type, nullptr, &size);
        if (read.status == ERROR_SUCCESS) {
            read.data.resize(size);
            DWORD room = size;
            read.status = RegQueryValueExW(key, name, nullptr, &read.type, read.data.data(), &room);
            EXPECT_EQ(room, size);
        }
        EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
        return read;
    }

    ScopedUserDirs dirs;
};

TEST_F(RegistryFileTest, MissingFileIsAKeyThatCannotBeOpened)
{
    Open(kKeyPath, ERROR_FILE_NOT_FOUND);
#ifdef _WIN32
    // A real registry always has HKEY_CURRENT_USER\Software.
    EXPECT_EQ(RegCloseKey(Open(u"Software")), ERROR_SUCCESS);
#else
    Open(u"Software", ERROR_FILE_NOT_FOUND);
#endif
}

TEST_F(RegistryFileTest, NoHomeAtAllIsAKeyThatCannotBeOpened)
{
    ScopedEnvironmentVariable home("HOME", std::nullopt);
    ScopedEnvironmentVariable config("XDG_CONFIG_HOME", std::nullopt);
    Open(kKeyPath, ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryFileTest, RelativeXdgConfigHomeFallsBackToHomeConfig)
{
    SKIP_ON_WINDOWS("the registry is no file in a configuration folder");
    ScopedEnvironmentVariable config("XDG_CONFIG_HOME", "relative/config");
    ScopedUserDirs::WriteFile(dirs.Root() / "home/.config/OrvaneSystems/Zendrik/settings.reg",
                              SettingsFileWith("\"ApplicationID\"=\"42\""));
    const ValueRead read = ReadFromFile(u"ApplicationID");
    EXPECT_EQ(read.status, ERROR_SUCCESS);
    EXPECT_EQ(read.data, Utf16Bytes(u"42"));
}

TEST_F(RegistryFileTest, StringValueIsUtf16WithItsNulCountedAndEscapesUndone)
{
    const ValueRead read = Read(R"("Path"="C:\\Booth\\\"shots\"\\")", u"Path");
    EXPECT_EQ(read.status, ERROR_SUCCESS);
    EXPECT_EQ(read.type, REG_SZ);
    EXPECT_EQ(read.data, Utf16Bytes(u"C:\\Booth\\\"shots\"\\"));
}

TEST_F(RegistryFileTest, BackslashBeforeAnOrdinaryCharacterStays)
{
    SKIP_ON_WINDOWS("reg import drops a backslash before an ordinary character");
    const ValueRead read = Read(R"("Path"="C:\temp")", u"Path");
    EXPECT_EQ(read.data, Utf16Bytes(u"C:\\temp"));
}

TEST_F(RegistryFileTest, EmptyStringHoldsOnlyItsNul)
{
    const ValueRead read = Read(R"("Empty"="")", u"Empty");
    EXPECT_EQ(read.status, ERROR_SUCCESS);
    EXPECT_EQ(read.data, Utf16Bytes(u""));
}

TEST_F(RegistryFileTest, NonAsciiUtf8StringBecomesUtf16)
{
    const ValueRead read = Read("\"Name\"=\"Jos\xC3\xA9 \xE6\xBC\xA2\"", u"Name");
    EXPECT_EQ(read.data, Utf16Bytes(u"Jos\u00E9 \u6F22"));
}

TEST_F(RegistryFileTest, DwordIsFourLittleEndianBytes)
{
    SKIP_ON_WINDOWS("reg import refuses DWORD: in capitals");
    const ValueRead read = Read("\"Count\"=dword:0000000a", u"Count");
    EXPECT_EQ(read.status, ERROR_SUCCESS);
    EXPECT_EQ(read.type, REG_DWORD);
    EXPECT_EQ(read.data, (std::vector<BYTE>{0x0A, 0, 0, 0}));

    EXPECT_EQ(Read("\"Count\"=dword:FFFFFFFE", u"Count").data, (std::vector<BYTE>{0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Read("\"Count\"=DWORD:1", u"Count").data, (std::vector<BYTE>{1, 0, 0, 0}));
}

TEST_F(RegistryFileTest, MalformedDwordsAreSkipped)
{
    for (const char* line : {"\"Count\"=dword:100000000", "\"Count\"=dword:", "\"Count\"=dword:12g4",
                             "\"Count\"=dword:-1", "\"Count\"=dword:0x10"}) {
        SCOPED_TRACE(line);
        EXPECT_EQ(Read(line, u"Count").status, ERROR_FILE_NOT_FOUND);
    }
}

TEST_F(RegistryFileTest, ExpandableStringInHexTwoKeepsItsBytesAcrossContinuationLines)
{
    const ValueRead read = Read("\"ApplicationID\"=hex(2):31,00,32,00,\\\r\n"
                                "  33,00,00,00",
                                u"ApplicationID");
    EXPECT_EQ(read.status, ERROR_SUCCESS);
    EXPECT_EQ(read.type, REG_EXPAND_SZ);
    EXPECT_EQ(read.data, Utf16Bytes(u"123"));
}

TEST_F(RegistryFileTest, HexWithoutNulIsDeliveredWithoutOne)
{
    SKIP_ON_WINDOWS("the registry adds the missing terminator to a string value");
    const ValueRead read = Read("\"ApplicationID\"=hex(2):31,00,32,00", u"ApplicationID");
    EXPECT_EQ(read.data, Utf16Bytes(u"12", false));
}

TEST_F(RegistryFileTest, BinaryAndOtherHexTypes)
{
    const ValueRead binary = Read("\"Blob\"=hex:de,ad,BE,ef", u"Blob");
    EXPECT_EQ(binary.type, REG_BINARY);
    EXPECT_EQ(binary.data, (std::vector<BYTE>{0xDE, 0xAD, 0xBE, 0xEF}));

    const ValueRead qword = Read("\"Big\"=hex(b):01,00,00,00,00,00,00,00", u"Big");
    EXPECT_EQ(qword.type, REG_QWORD);
    EXPECT_EQ(qword.data.size(), 8u);

    const ValueRead dwordAsHex = Read("\"Flag\"=hex(4):00,00", u"Flag");
    EXPECT_EQ(dwordAsHex.type, REG_DWORD);
    EXPECT_EQ(dwordAsHex.data.size(), 2u);

    const ValueRead empty = Read("\"None\"=hex(0):", u"None");
    EXPECT_EQ(empty.status, ERROR_SUCCESS);
    EXPECT_EQ(empty.type, REG_NONE);
    EXPECT_TRUE(empty.data.empty());
}

TEST_F(RegistryFileTest, MalformedHexListsAreSkippedWithTheirContinuations)
{
    dirs.WriteSettings(SettingsFileWith("\"Bad\"=hex:01,zz,\\\n  02\n"
                                        "\"Wide\"=hex:100\n"
                                        "\"Type\"=hex(q):01\n"
                                        "\"Good\"=hex:07"));
    EXPECT_EQ(ReadFromFile(u"Bad").status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ReadFromFile(u"Wide").status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ReadFromFile(u"Type").status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ReadFromFile(u"Good").data, (std::vector<BYTE>{7}));
}

TEST_F(RegistryFileTest, ContinuationAtTheEndOfTheFileDoesNotReadBeyondIt)
{
    dirs.WriteSettings(
        "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\Software\\OrvaneSystems\\Zendrik\\100]\n"
        "\"Blob\"=hex:01,02,\\");
    const ValueRead read = ReadFromFile(u"Blob");
    EXPECT_EQ(read.status, ERROR_SUCCESS);
    EXPECT_EQ(read.data, (std::vector<BYTE>{1, 2}));
}

TEST_F(RegistryFileTest, SmallBufferGetsMoreDataWithTheSizeNeeded)
{
    dirs.WriteSettings(SettingsFileWith("\"ApplicationID\"=\"1234\""));
    HKEY key = Open();
    BYTE buffer[4] = {};
    DWORD size = sizeof buffer;
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"ApplicationID", nullptr, &type, buffer, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 10u);
    EXPECT_EQ(type, REG_SZ);

    size = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"ApplicationID", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 10u);
    EXPECT_EQ(RegQueryValueExW(key, u"ApplicationID", nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(RegistryFileTest, ArgumentConventions)
{
    dirs.WriteSettings(SettingsFileWith("\"Count\"=dword:00000001"));
    HKEY key = Open();
    DWORD reserved = 0;
    BYTE buffer[4];
    DWORD size = sizeof buffer;
    EXPECT_EQ(RegQueryValueExW(key, u"Count", &reserved, nullptr, buffer, &size), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegQueryValueExW(key, u"Count", nullptr, nullptr, buffer, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegQueryValueExW(key, u"Missing", nullptr, nullptr, buffer, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, KEY_READ, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegQueryValueExW(key, u"Count", nullptr, nullptr, buffer, &size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(nullptr), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryFileTest, NothingButReadAccessIsGranted)
{
#ifdef _WIN32
    GTEST_SKIP() << "the real registry lets the user write the own key; only the imitation, which cannot, refuses";
#endif
    dirs.WriteSettings(SettingsFileWith(""));
    for (REGSAM access :
         std::initializer_list<REGSAM>{KEY_WRITE, KEY_ALL_ACCESS, KEY_SET_VALUE, KEY_READ | KEY_CREATE_SUB_KEY}) {
        HKEY key = reinterpret_cast<HKEY>(1);
        EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, access, &key), ERROR_ACCESS_DENIED);
        EXPECT_EQ(key, nullptr);
    }
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(RegistryFileTest, KeysAndValueNamesIgnoreAsciiCaseAndParentsExist)
{
    dirs.WriteSettings("Windows Registry Editor Version 5.00\n\n"
                       "[hkey_current_user\\SOFTWARE\\orvanesystems\\Zendrik\\100]\n"
                       "\"deletefacebookcookies\"=dword:00000000\n");
    const ValueRead read = ReadFromFile(u"DeleteFacebookCookies");
    EXPECT_EQ(read.status, ERROR_SUCCESS);

    HKEY parent = Open(u"Software\\OrvaneSystems");
    HKEY child = nullptr;
    EXPECT_EQ(RegOpenKeyExW(parent, u"Zendrik\\100", 0, KEY_READ, &child), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(child, u"DeleteFacebookCookies", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 4u);
    RegCloseKey(child);
    RegCloseKey(parent);
    Open(u"Software\\OrvaneSystems\\Zendrik\\1000", ERROR_FILE_NOT_FOUND);
    Open(u"Software\\Orvane", ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryFileTest, DefaultValueAndLaterDuplicatesWin)
{
    dirs.WriteSettings(SettingsFileWith("@=\"first\"\n\"Name\"=\"one\"\n@=\"default\"\n\"Name\"=dword:00000002"));
    EXPECT_EQ(ReadFromFile(nullptr).data, Utf16Bytes(u"default"));
    EXPECT_EQ(ReadFromFile(u"").data, Utf16Bytes(u"default"));
    const ValueRead read = ReadFromFile(u"Name");
    EXPECT_EQ(read.type, REG_DWORD);
}

TEST_F(RegistryFileTest, RemovalLinesTakeOutKeysAndValues)
{
    dirs.WriteSettings("Windows Registry Editor Version 5.00\n"
                       "[HKEY_CURRENT_USER\\Software\\OrvaneSystems\\Zendrik\\100]\n"
                       "\"Keep\"=\"yes\"\n\"Gone\"=\"soon\"\n\"Gone\"=-\n"
                       "[HKEY_CURRENT_USER\\Software\\OrvaneSystems\\Zendrik\\200\\Deep]\n\"X\"=\"1\"\n"
                       "[-HKEY_CURRENT_USER\\Software\\OrvaneSystems\\Zendrik\\200]\n\"Y\"=\"orphan\"\n");
    EXPECT_EQ(ReadFromFile(u"Keep").status, ERROR_SUCCESS);
    EXPECT_EQ(ReadFromFile(u"Gone").status, ERROR_FILE_NOT_FOUND);
    Open(u"Software\\OrvaneSystems\\Zendrik\\200", ERROR_FILE_NOT_FOUND);
    Open(u"Software\\OrvaneSystems\\Zendrik\\200\\Deep", ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryFileTest, Utf16FileWithByteOrderMarkAsTheEditorWritesIt)
{
    const std::u16string text = u"Windows Registry Editor Version 5.00\r\n\r\n"
                                u"[HKEY_CURRENT_USER\\Software\\OrvaneSystems\\Zendrik\\100]\r\n"
                                u"\"ApplicationID\"=\"Caf\u00E9 \u6F22\"\r\n"
                                u"\"DeleteFacebookCookies\"=dword:00000000\r\n";
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    dirs.WriteSettings(bytes);
    EXPECT_EQ(ReadFromFile(u"ApplicationID").data, Utf16Bytes(u"Caf\u00E9 \u6F22"));
    EXPECT_EQ(ReadFromFile(u"DeleteFacebookCookies").data, (std::vector<BYTE>{0, 0, 0, 0}));
}

TEST_F(RegistryFileTest, Utf8ByteOrderMarkIsSkipped)
{
    dirs.WriteSettings("\xEF\xBB\xBF" + SettingsFileWith("\"ApplicationID\"=\"7\""));
    EXPECT_EQ(ReadFromFile(u"ApplicationID").data, Utf16Bytes(u"7"));
}

TEST_F(RegistryFileTest, FileWithoutTheHeaderHoldsNothing)
{
    SKIP_ON_WINDOWS("reg import takes a file without the header in part");
    dirs.WriteSettings("[HKEY_CURRENT_USER\\Software\\OrvaneSystems\\Zendrik\\100]\n\"A\"=\"1\"\n");
    Open(kKeyPath, ERROR_FILE_NOT_FOUND);
    dirs.WriteSettings("REGEDIT4\n[HKEY_CURRENT_USER\\Software\\OrvaneSystems\\Zendrik\\100]\n\"A\"=\"1\"\n");
    Open(kKeyPath, ERROR_FILE_NOT_FOUND);
    dirs.WriteSettings("");
    Open(kKeyPath, ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryFileTest, UnparseableLinesAreSkippedAndTheRestIsRead)
{
    dirs.WriteSettings(SettingsFileWith("; a comment\n"
                                        "garbage without structure\n"
                                        "\"Unterminated\"=\"abc\n"
                                        "\"Trailing\"=\"abc\" junk\n"
                                        "\"NoEquals\" \"abc\"\n"
                                        "\"Unknown\"=qword:1\n"
                                        "\"Spaced\" = \"ok\"\n"
                                        "\"Good\"=\"yes\""));
    for (const char16_t* name : {u"Unterminated", u"Trailing", u"NoEquals", u"Unknown"})
        EXPECT_EQ(ReadFromFile(name).status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ReadFromFile(u"Spaced").data, Utf16Bytes(u"ok"));
    EXPECT_EQ(ReadFromFile(u"Good").data, Utf16Bytes(u"yes"));
}

TEST_F(RegistryFileTest, ValuesUnderAnUnreadableOrForeignKeyLineAreNotAttachedToTheKeyBefore)
{
    SKIP_ON_WINDOWS("reg import attaches values after an unreadable key line to the key before");
    dirs.WriteSettings(SettingsFileWith("\"Before\"=\"1\"\n"
                                        "[HKEY_CURRENT_USER\\Software\\OrvaneSystems\\Zendrik\\100\n"
                                        "\"AfterBroken\"=\"2\"\n"
                                        "[HKEY_LOCAL_MACHINE\\Software\\OrvaneSystems\\Zendrik\\100]\n"
                                        "\"AfterForeign\"=\"3\"\n"
                                        "[HKEY_CURRENT_USERS\\Software\\OrvaneSystems\\Zendrik\\100]\n"
                                        "\"AfterLookalike\"=\"4\"\n"));
    EXPECT_EQ(ReadFromFile(u"Before").status, ERROR_SUCCESS);
    for (const char16_t* name : {u"AfterBroken", u"AfterForeign", u"AfterLookalike"})
        EXPECT_EQ(ReadFromFile(name).status, ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryFileTest, AnOpenKeyKeepsWhatWasReadWhenItWasOpened)
{
    SKIP_ON_WINDOWS("an open key sees later changes, and a deleted one answers ERROR_KEY_DELETED (1018)");
    dirs.WriteSettings(SettingsFileWith("\"Value\"=\"old\""));
    HKEY key = Open();
    dirs.WriteSettings(SettingsFileWith("\"Value\"=\"new\""));
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"Value", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    std::vector<BYTE> data(size);
    EXPECT_EQ(RegQueryValueExW(key, u"Value", nullptr, nullptr, data.data(), &size), ERROR_SUCCESS);
    EXPECT_EQ(data, Utf16Bytes(u"old"));
    RegCloseKey(key);
    EXPECT_EQ(ReadFromFile(u"Value").data, Utf16Bytes(u"new"));
}

TEST_F(RegistryFileTest, ArbitraryBytesNeverCrashTheReader)
{
    std::mt19937 random(20240601);
    const std::string frame = SettingsFileWith("\"Name\"=hex(2):31,00,\\\n\"Other\"=\"x\\\"");
    for (int round = 0; round < 200; ++round) {
        std::string bytes = frame;
        const std::size_t header = round % 4 == 0 ? 0 : frame.find('[');  // mostly keep the header intact
        for (std::size_t i = header; i < bytes.size(); ++i) {
            if (random() % 8 == 0)
                bytes[i] = static_cast<char>(random());
        }
        if (round % 2 == 1)
            bytes.insert(0, "\xFF\xFE");
        dirs.WriteSettings(bytes);
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            DWORD size = 0;
            RegQueryValueExW(key, u"Name", nullptr, nullptr, nullptr, &size);
            RegCloseKey(key);
        }
    }
}

}  // namespace
