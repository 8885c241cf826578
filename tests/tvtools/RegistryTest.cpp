#include "Registry.h"

#include "RegistryTestFixture.h"

#include <gtest/gtest.h>

#include <list>
#include <string>
#include <vector>

namespace {

const std::string kKey = "SOFTWARE\\Tovan-Soft\\TBManager\\Main";

std::string Repeat(const std::string& piece, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

} // namespace

class RegistryTest : public RegistryFixture
{
protected:
    void SetUp() override
    {
        RegistryFixture::SetUp();
        ASSERT_TRUE(m_reg.CreateKey(HKEY_CURRENT_USER, kKey));
    }

    // The stored bytes of a value, through the registry calls.
    std::vector<BYTE> Stored(const char* name)
    {
        BYTE buffer[8192];
        DWORD size = sizeof buffer;
        EXPECT_EQ(ERROR_SUCCESS,
                  TvRegQueryValueEx(m_reg.GetCurrentKey(), name, nullptr, nullptr, buffer, &size));
        return std::vector<BYTE>(buffer, buffer + size);
    }

    void StoreRaw(const char* name, DWORD type, const std::vector<BYTE>& bytes)
    {
        ASSERT_EQ(ERROR_SUCCESS, TvRegSetValueEx(m_reg.GetCurrentKey(), name, 0, type, bytes.data(),
                                                 static_cast<DWORD>(bytes.size())));
    }

    CRegistry m_reg{HKEY_CURRENT_USER};
};

// Texts up to 199 characters read back; longer ones fail and leave the output alone.
// Characters are counted, not bytes, so "ä" (2 bytes) and "𝄞" (4 bytes) reach 199 too.
class RegistryTextLimitTest : public RegistryTest, public ::testing::WithParamInterface<const char*>
{
};

TEST_P(RegistryTextLimitTest, ReadsUpTo199CharactersAndRefuses200)
{
    const std::string piece = GetParam();
    const std::string fits = Repeat(piece, 199);
    const std::string tooLong = Repeat(piece, 200);
    ASSERT_TRUE(m_reg.Write("Fits", fits));
    ASSERT_TRUE(m_reg.Write("TooLong", tooLong));

    std::string out = "untouched";
    EXPECT_TRUE(m_reg.Read("Fits", out));
    EXPECT_EQ(fits, out);
    EXPECT_EQ(REG_SZ, m_reg.GetLastType());
    EXPECT_EQ(fits.size() + 1, m_reg.GetLastSize());

    out = "untouched";
    EXPECT_FALSE(m_reg.Read("TooLong", out));
    EXPECT_EQ("untouched", out);
    EXPECT_EQ(ERROR_MORE_DATA, m_reg.GetLastResult());
}

INSTANTIATE_TEST_SUITE_P(Scripts, RegistryTextLimitTest,
                         ::testing::Values("x", "ä", "Ж", "€", "𝄞"));

TEST_F(RegistryTest, TextStopsAtTheFirstZeroAndMissingValuesFail)
{
    StoreRaw("Multi", REG_MULTI_SZ, {'a', 'b', 0, 'c', 0, 0});
    std::string out;
    EXPECT_TRUE(m_reg.Read("Multi", out));
    EXPECT_EQ("ab", out);
    StoreRaw("NoZero", REG_SZ, {'x', 'y'});
    EXPECT_TRUE(m_reg.Read("NoZero", out));
    EXPECT_EQ("xy", out);
    // A long run of bytes that are not UTF-8 still counts as that many characters.
    StoreRaw("Garbage", REG_BINARY, std::vector<BYTE>(600, 0x80));
    out = "kept";
    EXPECT_FALSE(m_reg.Read("Garbage", out));
    EXPECT_FALSE(m_reg.Read("Missing", out));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, m_reg.GetLastResult());
    EXPECT_EQ("kept", out);
}

TEST_F(RegistryTest, IntegersRoundTripAndMissingOnesLeaveTheVariable)
{
    ASSERT_TRUE(m_reg.Write("Negative", std::int32_t{-5}));
    EXPECT_EQ(REG_DWORD, m_reg.GetLastType());
    EXPECT_EQ(4u, m_reg.GetLastSize());
    EXPECT_EQ((std::vector<BYTE>{0xFB, 0xFF, 0xFF, 0xFF}), Stored("Negative"));
    std::int32_t value = 0;
    EXPECT_TRUE(m_reg.Read("Negative", value));
    EXPECT_EQ(-5, value);

    value = 42;
    EXPECT_FALSE(m_reg.Read("Missing", value));
    EXPECT_EQ(42, value);
    std::uint32_t unsignedValue = 43;
    EXPECT_FALSE(m_reg.Read("Missing", unsignedValue));
    EXPECT_EQ(43u, unsignedValue);

    // Larger than 4 bytes: refused. Shorter: the missing high bytes are zero.
    ASSERT_TRUE(m_reg.Write("Text", std::string("hello")));
    EXPECT_FALSE(m_reg.Read("Text", value));
    EXPECT_EQ(ERROR_MORE_DATA, m_reg.GetLastResult());
    EXPECT_EQ(42, value);
    StoreRaw("Short", REG_BINARY, {0x34, 0x12});
    EXPECT_TRUE(m_reg.Read("Short", unsignedValue));
    EXPECT_EQ(0x1234u, unsignedValue);
}

TEST_F(RegistryTest, UnsignedWriteReturnsTheCodeAndRecordsNothing)
{
    std::int32_t value = 0;
    EXPECT_FALSE(m_reg.Read("Missing", value));
    EXPECT_EQ(ERROR_SUCCESS, m_reg.Write("Unsigned", std::uint32_t{0xFFFFFFFF}));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, m_reg.GetLastResult());
    std::uint32_t out = 0;
    EXPECT_TRUE(m_reg.Read("Unsigned", out));
    EXPECT_EQ(0xFFFFFFFFu, out);
    CRegistry closed(HKEY_CURRENT_USER);
    closed.Close();
    EXPECT_EQ(ERROR_INVALID_HANDLE, closed.Write("x", std::uint32_t{1}));
}

TEST_F(RegistryTest, EnumKeysAppendsAndLeavesTheArrayWithoutSubKeys)
{
    std::vector<std::string> names = {"kept"};
    EXPECT_TRUE(m_reg.EnumKeys(names));
    EXPECT_EQ((std::vector<std::string>{"kept"}), names);

    CRegistry maker(HKEY_CURRENT_USER);
    for (const char* name : {"Beta", "alpha", "Ärger"})
        ASSERT_TRUE(maker.CreateKey(HKEY_CURRENT_USER, kKey + "\\" + name));
    EXPECT_TRUE(m_reg.EnumKeys(names));
    EXPECT_EQ((std::vector<std::string>{"kept", "alpha", "Beta", "Ärger"}), names);
}

TEST_F(RegistryTest, ThirtyTwoBitArraysKeepThePresetSize)
{
    ASSERT_TRUE(m_reg.Write("Five", std::vector<std::uint32_t>{1, 2, 3, 4, 5}));
    std::vector<std::uint32_t> three(3, 9);
    EXPECT_TRUE(m_reg.Read("Five", three));
    EXPECT_EQ((std::vector<std::uint32_t>{1, 2, 3}), three);
    std::vector<std::uint32_t> seven(7, 9);
    EXPECT_TRUE(m_reg.Read("Five", seven));
    EXPECT_EQ((std::vector<std::uint32_t>{1, 2, 3, 4, 5, 0, 0}), seven);

    ASSERT_TRUE(m_reg.Write("Words", std::vector<std::uint16_t>{0x1234, 0xBEEF}));
    EXPECT_EQ((std::vector<BYTE>{2, 0, 0x34, 0x12, 0xEF, 0xBE}), Stored("Words"));
    std::vector<std::uint16_t> words(3, 7);
    EXPECT_TRUE(m_reg.Read("Words", words));
    EXPECT_EQ((std::vector<std::uint16_t>{0x1234, 0xBEEF, 0}), words);
}

TEST_F(RegistryTest, ByteAndStringArraysTakeTheStoredCount)
{
    const std::vector<std::uint8_t> bytes = {0, 1, 0xFF};
    ASSERT_TRUE(m_reg.Write("Bytes", bytes));
    EXPECT_EQ(REG_BINARY, m_reg.GetLastType());
    EXPECT_EQ(5u, m_reg.GetLastSize());
    std::vector<std::uint8_t> readBytes(10, 1);
    EXPECT_TRUE(m_reg.Read("Bytes", readBytes));
    EXPECT_EQ(bytes, readBytes);

    const std::vector<std::string> strings = {"", "one", "zwei drei", "Ärger"};
    ASSERT_TRUE(m_reg.Write("Strings", strings));
    std::vector<std::string> readStrings = {"old"};
    EXPECT_TRUE(m_reg.Read("Strings", readStrings));
    EXPECT_EQ(strings, readStrings);

    const std::list<std::string> list = {"c", "a", "b"};
    ASSERT_TRUE(m_reg.Write("List", list));
    std::list<std::string> readList = {"old"};
    EXPECT_TRUE(m_reg.Read("List", readList));
    EXPECT_EQ(list, readList);
}

TEST_F(RegistryTest, StringOf300CharactersHasTheLongPrefix)
{
    ASSERT_TRUE(m_reg.Write("Long", std::vector<std::string>{std::string(300, 'q')}));
    const std::vector<BYTE> stored = Stored("Long");
    ASSERT_EQ(2u + 3u + 300u, stored.size());
    EXPECT_EQ((std::vector<BYTE>{1, 0, 0xFF, 0x2C, 0x01}),
              std::vector<BYTE>(stored.begin(), stored.begin() + 5));
}

TEST_F(RegistryTest, RectangleAndPointRoundTripInTheirFiveElementForm)
{
    const TvRect rect{-10, 20, 640, 480};
    ASSERT_TRUE(m_reg.Write("Rect", rect));
    // top, bottom, left, right, 0.
    EXPECT_EQ((std::vector<BYTE>{5,    0,    20,   0,   0, 0, 224, 1, 0, 0, 0xF6,
                                 0xFF, 0xFF, 0xFF, 128, 2, 0, 0,   0, 0, 0, 0}),
              Stored("Rect"));
    TvRect readRect;
    EXPECT_TRUE(m_reg.Read("Rect", readRect));
    EXPECT_EQ(rect, readRect);

    const TvPoint point{-3, 7};
    ASSERT_TRUE(m_reg.Write("Point", point));
    EXPECT_EQ(22u, Stored("Point").size());
    TvPoint readPoint;
    EXPECT_TRUE(m_reg.Read("Point", readPoint));
    EXPECT_EQ(point, readPoint);
}

TEST_F(RegistryTest, OversizeBinaryWriteIsRefusedAndStoresNothing)
{
    ASSERT_TRUE(m_reg.Write("Fits", std::vector<std::uint8_t>(4094, 7)));
    EXPECT_EQ(4096u, m_reg.GetLastSize());
    std::vector<std::uint8_t> back;
    EXPECT_TRUE(m_reg.Read("Fits", back));
    EXPECT_EQ(4094u, back.size());

    EXPECT_FALSE(m_reg.Write("TooBig", std::vector<std::uint8_t>(4095, 7)));
    EXPECT_NE(ERROR_SUCCESS, m_reg.GetLastResult());
    EXPECT_FALSE(m_reg.Write("TooBig", std::vector<std::string>(2, std::string(3000, 's'))));
    EXPECT_FALSE(m_reg.VerifyValue("TooBig"));

    // A larger value stored by other means is not read either.
    StoreRaw("Huge", REG_BINARY, std::vector<BYTE>(5000, 0));
    back = {1};
    EXPECT_FALSE(m_reg.Read("Huge", back));
    EXPECT_EQ(ERROR_MORE_DATA, m_reg.GetLastResult());
    EXPECT_EQ(std::vector<std::uint8_t>{1}, back);
}

TEST_F(RegistryTest, DamagedBinaryFailsAndOtherTypesAreLeftAlone)
{
    // Count 10, but only 3 bytes follow.
    StoreRaw("Truncated", REG_BINARY, {10, 0, 1, 2, 3});
    std::vector<std::uint8_t> bytes = {9};
    EXPECT_FALSE(m_reg.Read("Truncated", bytes));
    EXPECT_EQ(ERROR_INVALID_DATA, m_reg.GetLastResult());
    EXPECT_EQ(std::vector<std::uint8_t>{9}, bytes);
    std::vector<std::uint32_t> dwords(2, 9);
    EXPECT_FALSE(m_reg.Read("Truncated", dwords));
    EXPECT_EQ((std::vector<std::uint32_t>{9, 9}), dwords);
    TvRect rect{1, 2, 3, 4};
    EXPECT_FALSE(m_reg.Read("Truncated", rect));
    EXPECT_EQ((TvRect{1, 2, 3, 4}), rect);

    ASSERT_TRUE(m_reg.Write("Text", std::string("abc")));
    std::list<std::string> list = {"kept"};
    EXPECT_TRUE(m_reg.Read("Text", list));
    EXPECT_EQ(std::list<std::string>{"kept"}, list);
    EXPECT_TRUE(m_reg.Read("Text", rect));
    EXPECT_EQ((TvRect{1, 2, 3, 4}), rect);
}

TEST_F(RegistryTest, NewCurrentKeyClosesTheEarlierOneButNeverARoot)
{
    HKEY first = m_reg.GetCurrentKey();
    ASSERT_TRUE(m_reg.CreateKey(HKEY_CURRENT_USER, "Software\\Other"));
    EXPECT_EQ(ERROR_INVALID_HANDLE, TvRegCloseKey(first));
    HKEY second = m_reg.GetCurrentKey();
    ASSERT_TRUE(m_reg.VerifyKey("Child") == false);
    EXPECT_EQ(second, m_reg.GetCurrentKey());

    // A failed open after an opened key leaves no current key.
    EXPECT_FALSE(m_reg.Open(HKEY_CURRENT_USER, "Software\\Missing", KEY_ALL_ACCESS));
    EXPECT_EQ("Software\\Missing", m_reg.GetKeyPath());
    EXPECT_EQ(ERROR_INVALID_HANDLE, TvRegCloseKey(second));
    EXPECT_FALSE(m_reg.Write("x", std::int32_t{1}));
    EXPECT_EQ(ERROR_INVALID_HANDLE, m_reg.GetLastResult());

    // A root current key stays usable after a failed open and is never closed.
    CRegistry rooted(HKEY_CURRENT_USER);
    EXPECT_FALSE(rooted.VerifyKey(HKEY_CURRENT_USER, "Software\\Missing", KEY_READ));
    EXPECT_EQ(HKEY_CURRENT_USER, rooted.GetCurrentKey());
    EXPECT_TRUE(rooted.VerifyKey("Software"));
    EXPECT_TRUE(rooted.VerifyKey("Other"));
    EXPECT_TRUE(rooted.Close());
    EXPECT_EQ(nullptr, rooted.GetCurrentKey());
}

TEST_F(RegistryTest, ReadAccessRefusesWrites)
{
    CRegistry reader(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reader.Open(HKEY_CURRENT_USER, kKey, KEY_READ));
    EXPECT_FALSE(reader.Write("x", std::string("y")));
    EXPECT_EQ(ERROR_ACCESS_DENIED, reader.GetLastResult());
    EXPECT_FALSE(reader.DeleteValue("x"));
    ASSERT_TRUE(m_reg.Write("x", std::string("y")));
    std::string out;
    EXPECT_TRUE(reader.Read("x", out));
    EXPECT_EQ("y", out);
}

// The way the program keeps its settings: test for the key, create it with defaults
// when missing, read otherwise.
TEST_F(RegistryTest, SettingsPattern)
{
    const std::string path = "SOFTWARE\\Tovan-Soft\\TBManager\\Schedule";
    {
        CRegistry reg;
        ASSERT_FALSE(reg.VerifyKey(HKEY_CURRENT_USER, path, KEY_ALL_ACCESS));
        ASSERT_TRUE(reg.CreateKey(HKEY_CURRENT_USER, path));
        EXPECT_TRUE(reg.Write("SC_BWeekDay", 1));
        EXPECT_TRUE(reg.Write("SC_JOB", "Nightly"));
        EXPECT_TRUE(reg.Close());
    }
    CRegistry reg;
    ASSERT_TRUE(reg.VerifyKey(HKEY_CURRENT_USER, path, KEY_ALL_ACCESS));
    ASSERT_TRUE(reg.Open(HKEY_CURRENT_USER, path, KEY_ALL_ACCESS));
    std::string job;
    std::int32_t day = 0;
    EXPECT_TRUE(reg.Read("sc_job", job));
    EXPECT_TRUE(reg.Read("SC_BWEEKDAY", day));
    EXPECT_EQ("Nightly", job);
    EXPECT_EQ(1, day);
    EXPECT_TRUE(reg.VerifyValue("SC_JOB"));
    EXPECT_TRUE(reg.DeleteValue("SC_JOB"));
    EXPECT_FALSE(reg.VerifyValue("SC_JOB"));
    EXPECT_FALSE(reg.DeleteValueKey(HKEY_CURRENT_USER, "SOFTWARE\\Tovan-Soft"));
    EXPECT_TRUE(reg.DeleteValueKey(HKEY_CURRENT_USER, path));
    EXPECT_FALSE(reg.Read("SC_BWeekDay", day));
    EXPECT_EQ(ERROR_KEY_DELETED, reg.GetLastResult());
}
