// The fixed tables of the item model: archive sub-folders by kind and result texts.
#include "ItemKinds.h"
#include "ResultCodes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct KindCase
{
    std::uint32_t kind;
    const char* folder;
};

class ArchiveFolderTest : public ::testing::TestWithParam<KindCase>
{
};

TEST_P(ArchiveFolderTest, KindHasItsSubFolder)
{
    EXPECT_STREQ(GetParam().folder, itemkind::GetArchiveFolder(GetParam().kind));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ArchiveFolderTest,
    ::testing::Values(KindCase{0, ""}, KindCase{4, ""}, KindCase{5, "FilePersonal"},
                      KindCase{6, "FileSettings"}, KindCase{7, "Forms"}, KindCase{8, "Stationery"},
                      KindCase{9, "Signatures"}, KindCase{10, ""}, KindCase{13, "Fav"},
                      KindCase{14, ""}, KindCase{15, "Wab"}, KindCase{20, ""}, KindCase{21, "dbx"},
                      KindCase{22, "App"}, KindCase{23, "App"}, KindCase{24, "Fonts"},
                      KindCase{25, "IAccounts"}, KindCase{26, "OLReg"}, KindCase{27, "OLReg"},
                      KindCase{28, "OLReg"},
                      // A damaged catalogue's kind must not reach past the table.
                      KindCase{29, ""}, KindCase{0xFFFFFFFFu, ""}));

TEST(ItemKindsTest, RegistryExportsAreTheImportedKinds)
{
    std::string exports;
    for (std::uint32_t kind = 0; kind < itemkind::kCount; ++kind) {
        if (itemkind::IsRegistryExport(kind))
            exports += std::to_string(kind) + " ";
    }
    EXPECT_EQ("10 16 17 18 19 20 26 27 28 ", exports);
}

struct ResultCase
{
    int code;
    const char* name;
    const char* description;
};

class ResultTextTest : public ::testing::TestWithParam<ResultCase>
{
};

TEST_P(ResultTextTest, CodeHasItsNameAndDescription)
{
    EXPECT_STREQ(GetParam().name, result::GetName(GetParam().code));
    EXPECT_STREQ(GetParam().description, result::GetDescription(GetParam().code));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ResultTextTest,
    ::testing::Values(
        ResultCase{0, "The operation was successful", "The operation was successful"},
        ResultCase{5, "File is locked",
                   "File is locked; please try to close the application that is using the file"},
        ResultCase{6, "Error Reading file", "Error Reading file, unable to read the file"},
        ResultCase{7, "Error While Backup : Cancel", "Error While Backup : Cancel"},
        ResultCase{8, "Ship this file", "Ship this file"},
        ResultCase{16, "Restore Cancel", "Restore Cancel"}, ResultCase{17, "", ""},
        ResultCase{-1, "", ""}));

} // namespace
