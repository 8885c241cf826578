#include "TbmOptions.h"
#include "TbmUsageError.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;
using Command = CTbmOptions::Command;

TEST(TbmOptionsTest, BackupTakesEveryOptionInBothSpellings)
{
    const CTbmOptions o = CTbmOptions::Parse(
        {"backup", "--job", "Daily", "--output=/b/x.tbm", "--type", "sync", "--password-env=PW",
         "--encryption", "traditional", "--volume-size", "2M", "--on-error", "skip", "--no-verify",
         "/home/u", "-", "--", "--odd-name"});
    EXPECT_EQ(o.m_command, Command::Backup);
    EXPECT_EQ(o.m_strJob, "Daily");
    EXPECT_EQ(o.m_strOutput, "/b/x.tbm");
    EXPECT_EQ(o.m_nType, 2);
    EXPECT_EQ(o.m_strPasswordEnv, "PW");
    EXPECT_EQ(o.m_encryption, CTbmOptions::Encryption::Traditional);
    EXPECT_EQ(o.m_qwVolumeSize, 2u * 1024 * 1024);
    EXPECT_EQ(o.m_onError, CTbmOptions::OnError::Skip);
    EXPECT_FALSE(o.m_bVerify);
    // "-" is a path, and after "--" so is anything that looks like an option.
    EXPECT_EQ(o.m_Paths, (Args{"/home/u", "-", "--odd-name"}));
}

TEST(TbmOptionsTest, DefaultsKeepTheJobsSettings)
{
    const CTbmOptions o = CTbmOptions::Parse({"backup"});
    EXPECT_EQ(o.m_nType, CTbmOptions::kKeepType);
    EXPECT_EQ(o.m_qwVolumeSize, 0u);
    EXPECT_EQ(o.m_onError, CTbmOptions::OnError::Ask);
    EXPECT_TRUE(o.m_bVerify);
    EXPECT_TRUE(o.m_Paths.empty());
    EXPECT_FALSE(o.HasPasswordOption());
    EXPECT_EQ(o.m_encryption, CTbmOptions::Encryption::Keep);
    EXPECT_EQ(
        CTbmOptions::Parse({"backup", "--password-file", "f", "--encryption=aes256"}).m_encryption,
        CTbmOptions::Encryption::Aes256);
}

TEST(TbmOptionsTest, ArchiveCommandsTakeOneFile)
{
    EXPECT_EQ(CTbmOptions::Parse({"list", "a.tbm", "--json"}).m_bJson, true);
    const CTbmOptions x = CTbmOptions::Parse({"extract", "a.tbm", "--to", "out"});
    EXPECT_EQ(x.m_strArchive, "a.tbm");
    EXPECT_EQ(x.m_strTarget, "out");
    EXPECT_EQ(CTbmOptions::Parse({"verify", "--password-file", "pw", "a.tbm"}).m_strPasswordFile,
              "pw");
    EXPECT_EQ(CTbmOptions::Parse({"--help"}).m_command, Command::Help);
    EXPECT_EQ(CTbmOptions::Parse({"list", "--help"}).m_command, Command::Help);
    EXPECT_EQ(CTbmOptions::Parse({"--version"}).m_command, Command::Version);
}

class TbmOptionsRefusedTest : public ::testing::TestWithParam<Args>
{
};

TEST_P(TbmOptionsRefusedTest, IsAUsageError)
{
    EXPECT_THROW(CTbmOptions::Parse(GetParam()), CTbmUsageError);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TbmOptionsRefusedTest,
    ::testing::Values(Args{}, Args{"restart"}, Args{"backup", "--bogus"},
                      Args{"backup", "--type", "full"}, Args{"backup", "--type"},
                      Args{"backup", "--on-error", "ignore"}, Args{"backup", "--no-verify=yes"},
                      Args{"backup", "--password-file", "f", "--password-env", "V"},
                      Args{"backup", "--volume-size", "10k"}, Args{"backup", "--volume-size", "3G"},
                      Args{"backup", "--volume-size", "12X"}, Args{"backup", ""},
                      Args{"backup", "--json"}, Args{"list"}, Args{"list", "a", "b"},
                      Args{"list", "a", "--to", "x"}, Args{"extract", "a.tbm"},
                      Args{"verify", "a", "--no-verify"},
                      // A method asks for a password to use it with.
                      Args{"backup", "--encryption", "aes256"},
                      Args{"backup", "--encryption", "aes128", "--password-env", "PW"},
                      Args{"backup", "--encryption", "AES256", "--password-env", "PW"},
                      Args{"backup", "--password-env", "PW", "--encryption"},
                      Args{"verify", "a", "--encryption", "aes256"},
                      Args{"extract", "a", "--to", "x", "--encryption", "traditional"}));

struct SizeCase
{
    const char* text;
    std::uint64_t bytes;
};

class TbmVolumeSizeTest : public ::testing::TestWithParam<SizeCase>
{
};

TEST_P(TbmVolumeSizeTest, ReadsUnits)
{
    EXPECT_EQ(CTbmOptions::ParseVolumeSize(GetParam().text), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Cases, TbmVolumeSizeTest,
                         ::testing::Values(SizeCase{"65536", 65536}, SizeCase{"64k", 65536},
                                           SizeCase{"100K", 102400}, SizeCase{"100M", 104857600},
                                           SizeCase{"1g", 1073741824},
                                           SizeCase{"2047M", 2047ull * 1024 * 1024}));

TEST(TbmVolumeSizeTest, RefusesWhatDoesNotFit)
{
    for (const char* text : {"", "M", "-5M", "1.5M", "65535", "2G", "99999999999999M", "5 M"})
        EXPECT_THROW(CTbmOptions::ParseVolumeSize(text), CTbmUsageError) << text;
}

} // namespace
