#include "ZipException.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace {

struct DescriptionCase
{
    int cause;
    const char* text;
};

class ZipExceptionDescriptionTest : public ::testing::TestWithParam<DescriptionCase>
{
};

TEST_P(ZipExceptionDescriptionTest, CauseHasItsText)
{
    const CZipException e(GetParam().cause, "file.tbm");
    EXPECT_EQ(GetParam().text, e.GetErrorDescription());
    EXPECT_STREQ(GetParam().text, e.what());
    EXPECT_EQ("file.tbm", e.GetFileName());
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ZipExceptionDescriptionTest,
    ::testing::Values(
        DescriptionCase{101, "Damaged or not a zip file"}, DescriptionCase{102, "Crc mismatched"},
        DescriptionCase{103, "No disk-spanning callback functor set"},
        DescriptionCase{104, "Disk change aborted"}, DescriptionCase{105, "Action aborted"},
        DescriptionCase{106, "Action aborted safely"},
        DescriptionCase{107, "The device selected for the disk spanning archive is non removable"},
        DescriptionCase{108, "Limit of the maximum volumes reached (999)"},
        DescriptionCase{109, "The filename of the file being added to the archive is too long"},
        DescriptionCase{110, "Incorrect password set for the file being decrypted"},
        DescriptionCase{111, "During testing found the directory with the size greater than 0"},
        DescriptionCase{112, "Internal error"},
        DescriptionCase{115, "Cannot create the file for the specified platform"},
        DescriptionCase{116, "The central directory was not found in the archive (or you were "
                             "trying to open not the last disk of a multi-disk archive)"},
        DescriptionCase{500, "Zlib Library error (end of stream)"},
        DescriptionCase{503, "Zlib library error (stream error)"},
        DescriptionCase{504, "Zlib library error (data error)"},
        DescriptionCase{505, "Not enough memory"},
        DescriptionCase{506, "Zlib library error (buffer error)"},
        DescriptionCase{507, "Zlib library error (version error)"},
        // Runtime library numbers, with and without a text of their own.
        DescriptionCase{1, "Not super-user"}, DescriptionCase{2, "No such file or directory"},
        DescriptionCase{3, "Unknown error"}, DescriptionCase{5, "I/O error"},
        DescriptionCase{12, "Not enough space"}, DescriptionCase{13, "Permission denied"},
        DescriptionCase{16, "Unknown error"}, DescriptionCase{27, "File too large"},
        DescriptionCase{28, "No space left on device"},
        DescriptionCase{30, "Read-only file system"},
        // Without a system error number the system's text is "Unknown error".
        DescriptionCase{100, "Unknown error"}, DescriptionCase{501, "Unknown error"},
        DescriptionCase{777, "Unknown error"}));

TEST(ZipExceptionTest, SystemTextComesFromTheErrorNumberKeptAtTheThrow)
{
    const CZipException e(CZipException::ErrGeneric, "", ENOENT);
    errno = EACCES; // what happens later does not change the message
    EXPECT_EQ(std::strerror(ENOENT), e.GetErrorDescription());
    EXPECT_EQ(std::strerror(ENOENT), CZipException(501, "", ENOENT).GetErrorDescription());
}

TEST(ZipExceptionTest, RemoveAndRenameAddTheSystemTextInParentheses)
{
    EXPECT_EQ(std::string("Error while removing a file (") + std::strerror(EACCES) + ")",
              CZipException(113, "a", EACCES).GetErrorDescription());
    EXPECT_EQ(std::string("Error while renaming a file (") + std::strerror(EXDEV) + ")",
              CZipException(114, "a", EXDEV).GetErrorDescription());
    EXPECT_EQ("Error while removing a file (Unknown error)",
              CZipException(113).GetErrorDescription());
}

TEST(ZipExceptionTest, FileErrorsKeepTheirRuntimeNumberOrBecomeGeneric)
{
    const CZipException denied = CZipException::FromErrno(EACCES, "x");
    EXPECT_EQ(13, denied.GetCause());
    EXPECT_EQ("Permission denied", denied.GetErrorDescription());
    EXPECT_EQ(28, CZipException::FromErrno(ENOSPC).GetCause());

    const CZipException busy = CZipException::FromErrno(EBUSY, "x");
    EXPECT_EQ(100, busy.GetCause());
    EXPECT_EQ(std::strerror(EBUSY), busy.GetErrorDescription());
    EXPECT_EQ(EBUSY, busy.GetSystemError());
    // Numbers that clash with archive codes never become those codes.
    EXPECT_EQ(100, CZipException::FromErrno(104 /* ECONNRESET */).GetCause());
}

TEST(ZipExceptionTest, ZlibResultsMapToCodes)
{
    const std::pair<int, int> table[] = {
        {Z_STREAM_END, 500}, {Z_NEED_DICT, 501}, {Z_ERRNO, 502},     {Z_STREAM_ERROR, 503},
        {Z_DATA_ERROR, 504}, {Z_MEM_ERROR, 505}, {Z_BUF_ERROR, 506}, {Z_VERSION_ERROR, 507},
        {Z_OK, 100},         {-42, 100},
    };
    for (const auto& [result, cause] : table)
        EXPECT_EQ(cause, CZipException::CauseOfZlibResult(result)) << result;

    EXPECT_NO_THROW(CZipException::ThrowIfZlibError(Z_OK));
    EXPECT_NO_THROW(CZipException::ThrowIfZlibError(Z_NEED_DICT));
    try {
        CZipException::ThrowIfZlibError(Z_DATA_ERROR, "a.tbm");
        FAIL() << "no exception";
    } catch (const CZipException& e) {
        EXPECT_EQ(504, e.GetCause());
        EXPECT_EQ("a.tbm", e.GetFileName());
    }
    EXPECT_THROW(CZipException::ThrowIfZlibError(Z_STREAM_END), CZipException);
}

TEST(ZipExceptionTest, ErrorMessageIsCutToTheCapacity)
{
    const CZipException e(CZipException::ErrCrc);
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    ASSERT_TRUE(e.GetErrorMessage(buffer, 5));
    EXPECT_STREQ("Crc ", buffer);
    EXPECT_EQ('x', buffer[5]);
    ASSERT_TRUE(e.GetErrorMessage(buffer, 1));
    EXPECT_STREQ("", buffer);

    char big[64];
    ASSERT_TRUE(e.GetErrorMessage(big, sizeof big));
    EXPECT_STREQ("Crc mismatched", big);

    EXPECT_FALSE(e.GetErrorMessage(nullptr, 10));
    EXPECT_FALSE(e.GetErrorMessage(buffer, 0));
}

} // namespace
