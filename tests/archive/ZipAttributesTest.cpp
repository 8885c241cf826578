#include "ZipAttributes.h"
#include "ZipException.h"

#include <gtest/gtest.h>

namespace {

using namespace ZipAttributes;

struct ConversionCase
{
    std::uint32_t attributes;
    int from;
    int to;
    std::uint32_t expected;
};

class ZipAttributesConvertTest : public ::testing::TestWithParam<ConversionCase>
{
};

TEST_P(ZipAttributesConvertTest, Converts)
{
    const ConversionCase& c = GetParam();
    EXPECT_EQ(c.expected, Convert(c.attributes, c.from, c.to))
        << std::hex << c.attributes << " " << c.from << "->" << c.to;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ZipAttributesConvertTest,
    ::testing::Values(
        // rw-r--r-- regular file: the archive bit alone (owner-execute clear).
        ConversionCase{0x81A40000, SystemUnix, SystemDos, 0x20},
        // rwxr-xr-x folder: folder bit; r-x------: read-only; -wx------: hidden.
        ConversionCase{0x41ED0000, SystemUnix, SystemNtfs, 0x10},
        ConversionCase{0x81400000, SystemUnix, SystemDos, 0x01},
        ConversionCase{0x80C00000, SystemUnix, SystemDos, 0x02},
        // Windows read-only file: read for all, no write, regular type.
        ConversionCase{0x01, SystemDos, SystemUnix, 0x81240000},
        ConversionCase{0x20, SystemDos, SystemUnix, 0x81B40000},
        ConversionCase{0x10, SystemNtfs, SystemUnix, 0x41B40010},
        ConversionCase{0x02, SystemDos, SystemUnix, 0x80900000},
        // Macintosh keeps folder and read-only, both ways.
        ConversionCase{0x37, SystemMac, SystemDos, 0x11},
        ConversionCase{0x37, SystemDos, SystemMac, 0x11},
        // Unchanged: same system, systems 0/6/10 among themselves, ids of 11 or more.
        ConversionCase{0x12345678, SystemUnix, SystemUnix, 0x12345678},
        ConversionCase{0x12345678, SystemVms, SystemVms, 0x12345678},
        ConversionCase{0x27, SystemOs2, SystemNtfs, 0x27},
        ConversionCase{0x27, 11, SystemVms, 0x27}, ConversionCase{0x27, SystemVms, 19, 0x27}));

TEST(ZipAttributesTest, AddingTheUnixFormToAWindowsReadOnlyFile)
{
    EXPECT_EQ(0x81240001u, 0x01 | Convert(0x01, SystemDos, SystemUnix));
}

TEST(ZipAttributesTest, SystemsWithoutConversionRaise115)
{
    for (int system : {1, 2, 4, 5, 8, 9}) {
        for (auto [from, to] :
             {std::pair<int, int>{system, SystemDos}, std::pair<int, int>{SystemUnix, system}}) {
            try {
                Convert(0x20, from, to);
                ADD_FAILURE() << from << "->" << to;
            } catch (const CZipException& e) {
                EXPECT_EQ(115, e.GetCause());
            }
        }
    }
}

TEST(ZipAttributesTest, PlatformValues)
{
    EXPECT_EQ(SystemUnix, PlatformSystem);
    EXPECT_TRUE(IsDirectory(DefaultDirectoryAttributes));
    EXPECT_FALSE(IsDirectory(DefaultFileAttributes));
    // The defaults agree with their own conversion to the common form.
    EXPECT_EQ(0x20u, ToCommon(DefaultFileAttributes, SystemUnix));
    EXPECT_EQ(0x10u, ToCommon(DefaultDirectoryAttributes, SystemUnix));
}

} // namespace
