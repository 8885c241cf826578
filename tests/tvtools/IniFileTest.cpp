#include "IniFile.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

namespace {

CIniFile ModelWith(const std::string& key, const std::string& name, const std::string& text)
{
    CIniFile ini;
    EXPECT_TRUE(ini.SetValue(key, name, text, true));
    return ini;
}

} // namespace

TEST(IniFileModelTest, SetValueWithoutCreateNeedsKeyAndValue)
{
    CIniFile ini;
    EXPECT_FALSE(ini.SetValue("Main", "A", "1", false));
    EXPECT_EQ(0, ini.GetNumKeys());
    EXPECT_EQ(-1, ini.GetNumValues("Main"));

    EXPECT_TRUE(ini.SetValue("Main", "A", "1", true));
    EXPECT_FALSE(ini.SetValue("Main", "B", "2", false));
    EXPECT_EQ(1, ini.GetNumValues("Main"));
    EXPECT_TRUE(ini.SetValue("Main", "A", "changed", false));
    EXPECT_EQ("changed", ini.GetValue("Main", "A"));
    EXPECT_EQ(1, ini.GetNumKeys());
}

TEST(IniFileModelTest, NamesDifferingInCaseAreDifferentValues)
{
    CIniFile ini;
    ini.SetValue("Main", "Name", "upper", true);
    ini.SetValue("Main", "name", "lower", true);
    ini.SetValue("main", "Name", "other key", true);
    EXPECT_EQ(2, ini.GetNumKeys());
    EXPECT_EQ(2, ini.GetNumValues("Main"));
    EXPECT_EQ("upper", ini.GetValue("Main", "Name"));
    EXPECT_EQ("lower", ini.GetValue("Main", "name"));
    EXPECT_EQ("other key", ini.GetValue("main", "Name"));
}

TEST(IniFileModelTest, MissingKeyAndValueSetTheLookupErrorAndGettersTheirDefaults)
{
    CIniFile ini = ModelWith("Main", "A", "1");
    EXPECT_EQ("", ini.GetValue("Nope", "A"));
    EXPECT_EQ("Unable to locate specified key.", ini.error);
    EXPECT_EQ("", ini.GetValue("Main", "Nope"));
    EXPECT_EQ("Unable to locate specified value.", ini.error);

    ini.error.clear();
    EXPECT_EQ(-1, ini.GetValueI("Nope", "A"));
    EXPECT_EQ("Unable to locate specified key.", ini.error);
    ini.error.clear();
    EXPECT_EQ(0.0, ini.GetValueF("Main", "Nope"));
    EXPECT_EQ("Unable to locate specified value.", ini.error);
    EXPECT_EQ(0xFFFFFFFFu, ini.GetValueRGB("Main", "Nope"));
    EXPECT_EQ((TvPoint{0, 0}), ini.GetValuePO("Nope", "Nope"));

    // A successful lookup leaves the last error as it was.
    EXPECT_EQ("1", ini.GetValue("Main", "A"));
    EXPECT_EQ("Unable to locate specified key.", ini.error);
}

TEST(IniFileModelTest, DeletionsCloseTheGapAndKeepTheOrder)
{
    CIniFile ini;
    for (const char* key : {"A", "B", "C"})
        for (const char* value : {"x", "y", "z"})
            ini.SetValue(key, value, std::string(key) + value, true);
    EXPECT_TRUE(ini.DeleteKey("B"));
    EXPECT_FALSE(ini.DeleteKey("B"));
    EXPECT_TRUE(ini.DeleteValue("C", "y"));
    EXPECT_FALSE(ini.DeleteValue("C", "y"));
    EXPECT_FALSE(ini.DeleteValue("B", "x"));
    EXPECT_EQ(2, ini.GetNumKeys());
    EXPECT_EQ(2, ini.GetNumValues("C"));
    EXPECT_EQ("Cz", ini.GetValue("C", "z"));

    // New entries are appended after the remaining ones.
    ini.SetValue("B", "x", "new", true);
    ini.SetValue("C", "y", "new", true);
    ini.Reset();
    EXPECT_EQ(0, ini.GetNumKeys());
}

// ---- typed getters: one table per conversion ----

struct IntCase
{
    const char* text;
    int expected;
};

class IniGetValueITest : public ::testing::TestWithParam<IntCase>
{
};

TEST_P(IniGetValueITest, ReadsTheLeadingDecimalInteger)
{
    CIniFile ini = ModelWith("K", "V", GetParam().text);
    EXPECT_EQ(GetParam().expected, ini.GetValueI("K", "V")) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(Texts, IniGetValueITest,
                         ::testing::Values(IntCase{"42", 42}, IntCase{"-7", -7}, IntCase{"+8", 8},
                                           IntCase{"  12abc", 12}, IntCase{"abc", 0},
                                           IntCase{"", -1}, IntCase{"3.9", 3},
                                           IntCase{"99999999999", INT_MAX},
                                           IntCase{"-99999999999", INT_MIN},
                                           IntCase{"-2147483648", INT_MIN}));

struct DoubleCase
{
    const char* text;
    double expected;
};

class IniGetValueFTest : public ::testing::TestWithParam<DoubleCase>
{
};

TEST_P(IniGetValueFTest, ReadsTheLeadingNumberInBothExponentForms)
{
    CIniFile ini = ModelWith("K", "V", GetParam().text);
    EXPECT_DOUBLE_EQ(GetParam().expected, ini.GetValueF("K", "V")) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Texts, IniGetValueFTest,
                         ::testing::Values(DoubleCase{"5.000000e-001", 0.5},
                                           DoubleCase{"5.000000e-01", 0.5},
                                           DoubleCase{"1.500000e+000", 1.5},
                                           DoubleCase{" -2.5xyz", -2.5}, DoubleCase{"+4", 4},
                                           DoubleCase{"+-4", 0}, DoubleCase{"abc", 0},
                                           DoubleCase{"", 0}, DoubleCase{"1e999", 0}));

struct FormatCase
{
    double value;
    const char* text;
};

class IniSetValueFTest : public ::testing::TestWithParam<FormatCase>
{
};

TEST_P(IniSetValueFTest, WritesThreeExponentDigits)
{
    CIniFile ini;
    ASSERT_TRUE(ini.SetValueF("K", "V", GetParam().value, true));
    EXPECT_EQ(GetParam().text, ini.GetValue("K", "V"));
    EXPECT_DOUBLE_EQ(GetParam().value, ini.GetValueF("K", "V"));
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, IniSetValueFTest,
    ::testing::Values(FormatCase{0.5, "5.000000e-001"}, FormatCase{1.5, "1.500000e+000"},
                      FormatCase{0.0, "0.000000e+000"}, FormatCase{-1234.5, "-1.234500e+003"},
                      FormatCase{1e-300, "1.000000e-300"}, FormatCase{1e100, "1.000000e+100"}));

struct ColourCase
{
    const char* text;
    std::uint32_t colour;
};

class IniGetValueRGBTest : public ::testing::TestWithParam<ColourCase>
{
};

TEST_P(IniGetValueRGBTest, PacksRedGreenBlueFromTheLowByte)
{
    CIniFile ini = ModelWith("K", "V", GetParam().text);
    EXPECT_EQ(GetParam().colour, ini.GetValueRGB("K", "V")) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Texts, IniGetValueRGBTest,
                         ::testing::Values(ColourCase{"255,128,0", 0x000080FFu},
                                           ColourCase{"1,2,3", 0x00030201u},
                                           ColourCase{"256,257,-1", 0x00FF0100u},
                                           ColourCase{"1,2", 0x00000201u},
                                           ColourCase{" 9 , 8 , 7 ", 0x00070809u},
                                           ColourCase{"x", 0u}, ColourCase{"", 0xFFFFFFFFu}));

TEST(IniGetValuePOTest, ReadsXAndY)
{
    CIniFile ini;
    ini.SetValue("K", "Both", "10,-20", true);
    ini.SetValue("K", "One", "5", true);
    ini.SetValue("K", "Empty", "", true);
    EXPECT_EQ((TvPoint{10, -20}), ini.GetValuePO("K", "Both"));
    EXPECT_EQ((TvPoint{5, 0}), ini.GetValuePO("K", "One"));
    EXPECT_EQ((TvPoint{0, 0}), ini.GetValuePO("K", "Empty"));
}

TEST(IniSetValueITest, WritesDecimal)
{
    CIniFile ini;
    ini.SetValueI("K", "V", -123, true);
    EXPECT_EQ("-123", ini.GetValue("K", "V"));
    EXPECT_FALSE(ini.SetValueI("K", "W", 1, false));
}

// ---- entries a file could not give back are refused ----

struct UnstorableCase
{
    const char* key;
    const char* name;
    const char* text;
};

class IniUnstorableTest : public ::testing::TestWithParam<UnstorableCase>
{
};

TEST_P(IniUnstorableTest, IsRefusedAndChangesNothing)
{
    CIniFile ini = ModelWith("Main", "Description", "old");
    const UnstorableCase& c = GetParam();
    EXPECT_FALSE(ini.SetValue(c.key, c.name, c.text, true));
    EXPECT_EQ(1, ini.GetNumKeys());
    EXPECT_EQ(1, ini.GetNumValues("Main"));
    EXPECT_EQ("old", ini.GetValue("Main", "Description"));
}

INSTANTIATE_TEST_SUITE_P(
    Entries, IniUnstorableTest,
    ::testing::Values(UnstorableCase{"Main", "Description", "line one\r\nline two"},
                      UnstorableCase{"Main", "Description", "a\nProjectName=evil"},
                      UnstorableCase{"Main", "Na\nme", "x"}, UnstorableCase{"Ma\nin", "A", "x"},
                      UnstorableCase{"Main", "a=b", "c"}, UnstorableCase{"[Main", "A", "x"},
                      UnstorableCase{"Main]", "A", "x"}, UnstorableCase{"Main", "[a", "b]"}));
