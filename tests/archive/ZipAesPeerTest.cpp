// AES entries checked against tools nobody here wrote, both ways: archives built here
// byte by byte around CZipAesCrypt are tested and extracted by 7-Zip (and libarchive),
// and 7-Zip's own AES entries are opened with CZipAesCrypt.
#include "TempDir.h"
#include "TestZip.h"
#include "ZipAesCrypt.h"
#include "ZipExtraField.h"
#include "ZipWriterTestUtil.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <filesystem>
#include <vector>

using namespace tbmtest;
namespace fs = std::filesystem;

namespace {

const std::string Password = "s3cret pass";

std::string Text(std::size_t lines)
{
    std::string text;
    for (std::size_t i = 0; i < lines; ++i)
        text += "line " + std::to_string(i) + " of a file that deflate shrinks well\n";
    return text;
}

std::string RawDeflate(const std::string& data)
{
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY), Z_OK);
    std::string out(deflateBound(&z, data.size()), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

std::string RawInflate(const std::string& data, std::size_t size)
{
    z_stream z{};
    EXPECT_EQ(inflateInit2(&z, -15), Z_OK);
    std::string out(size, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END);
    inflateEnd(&z);
    return out;
}

struct AesEntry
{
    std::string name, plain;
    std::uint16_t method;  // 0 stored, 8 deflated
    std::uint16_t version; // 1 keeps the CRC, 2 stores 0
};

// The smallest whole archive: local headers with their data, central records, end.
std::string AesArchive(const std::vector<AesEntry>& entries)
{
    std::string locals, central;
    for (const AesEntry& e : entries) {
        std::string body = e.method == 8 ? RawDeflate(e.plain) : e.plain;
        CZipAesCrypt crypt;
        std::string data = crypt.BeginEncryption(Password);
        crypt.Encrypt(body.data(), body.size());
        data += body + crypt.FinishEncryption();
        const std::string extra = ZipExtraField::MakeAes({e.version, 3, e.method});
        const std::string fields = Le16(51) + Le16(0x0001) + Le16(ZipExtraField::AesMethod) +
                                   Le16(0x6000) + Le16(0x5821) +
                                   Le32(e.version == 1 ? Crc(e.plain) : 0) +
                                   Le32(static_cast<std::uint32_t>(data.size())) +
                                   Le32(static_cast<std::uint32_t>(e.plain.size())) +
                                   Le16(static_cast<std::uint16_t>(e.name.size())) +
                                   Le16(static_cast<std::uint16_t>(extra.size()));
        central += Le32(0x02014B50) + Le16(0x0333) + fields + Le16(0) + Le16(0) + Le16(0) +
                   Le32(0x81A40000) + Le32(static_cast<std::uint32_t>(locals.size())) + e.name +
                   extra;
        locals += Le32(0x04034B50) + fields + e.name + extra + data;
    }
    const auto count = static_cast<std::uint16_t>(entries.size());
    return locals + central +
           EndRecord(0, 0, count, count, static_cast<std::uint32_t>(central.size()),
                     static_cast<std::uint32_t>(locals.size()));
}

// The first entry of an archive, read from its local header.
struct LocalEntry
{
    std::uint16_t flags = 0, method = 0;
    std::uint32_t crc = 0, size = 0;
    std::string extra, data;
};

LocalEntry FirstEntry(const std::string& zip)
{
    LocalEntry e;
    if (zip.size() < 30 || At32(zip, 0) != 0x04034B50)
        return e;
    e.flags = At16(zip, 6);
    e.method = At16(zip, 8);
    e.crc = At32(zip, 14);
    e.size = At32(zip, 22);
    const std::size_t nameSize = At16(zip, 26), extraSize = At16(zip, 28);
    e.extra = zip.substr(30 + nameSize, extraSize);
    e.data = zip.substr(30 + nameSize + extraSize, At32(zip, 18));
    return e;
}

class ZipAesPeerTest : public TempDirTest
{
protected:
    void SetUp() override
    {
        if (!HaveProgram("7zz"))
            GTEST_SKIP() << "7zz is not installed";
    }

    // Opens 7-Zip's entry with CZipAesCrypt; `plain` receives the stored bytes unpacked.
    void Open(const LocalEntry& e, const std::string& password, bool& verified, bool& authentic,
              std::string& plain)
    {
        ZipExtraField::AesInfo info;
        ASSERT_TRUE(ZipExtraField::GetAes(e.extra, info));
        const std::size_t header = CZipAesCrypt::HeaderSize(info.strength);
        ASSERT_GE(e.data.size(), header + CZipAesCrypt::AuthCodeSize);
        CZipAesCrypt crypt;
        verified = crypt.BeginDecryption(password, info.strength, e.data.data());
        authentic = false;
        if (!verified)
            return;
        std::string body =
            e.data.substr(header, e.data.size() - header - CZipAesCrypt::AuthCodeSize);
        for (std::size_t at = 0; at < body.size(); at += 1000)
            crypt.Decrypt(body.data() + at, std::min<std::size_t>(1000, body.size() - at));
        authentic = crypt.CheckAuthCode(e.data.data() + e.data.size() - CZipAesCrypt::AuthCodeSize);
        plain = info.method == 8 ? RawInflate(body, e.size) : body;
    }
};

} // namespace

TEST_F(ZipAesPeerTest, SevenZipTestsAndExtractsEntriesEncryptedHere)
{
    const std::vector<AesEntry> entries = {{"stored.bin", Pattern(70001), 0, 2},
                                           {"deflated.txt", Text(3000), 8, 2},
                                           {"crc-kept.txt", Text(5), 8, 1},
                                           {"empty", "", 0, 2}};
    const std::string zip = m_dir / "ours.zip";
    WriteFileBytes(zip, AesArchive(entries));
    std::string out;
    EXPECT_EQ(RunCommand("7zz t '-p" + Password + "' '" + zip + "'", &out), 0) << out;
    EXPECT_NE(RunCommand("7zz t -pwrong '" + zip + "'", &out), 0) << out;
    const std::string to = m_dir / "x-7zz";
    EXPECT_EQ(RunCommand("7zz x -y '-p" + Password + "' -o'" + to + "' '" + zip + "'", &out), 0)
        << out;
    for (const AesEntry& e : entries)
        EXPECT_EQ(ReadFileBytes(to + "/" + e.name), e.plain) << e.name;

    if (HaveProgram("bsdtar")) {
        const std::string tar = m_dir / "x-bsdtar";
        fs::create_directories(tar);
        EXPECT_EQ(
            RunCommand("bsdtar -xf '" + zip + "' --passphrase '" + Password + "' -C '" + tar + "'",
                       &out),
            0)
            << out;
        for (const AesEntry& e : entries)
            EXPECT_EQ(ReadFileBytes(tar + "/" + e.name), e.plain) << e.name;
    }
}

TEST_F(ZipAesPeerTest, EntriesEncryptedBySevenZipOpenHere)
{
    const std::string plain = Text(2000) + Pattern(777);
    WriteFileBytes(m_dir / "file.txt", plain);
    for (int strength = 1; strength <= 3; ++strength) {
        for (int level : {0, 5}) {
            const std::string zip =
                m_dir / ("7z-" + std::to_string(strength) + "-" + std::to_string(level) + ".zip");
            const std::string method = "-mem=AES" + std::to_string(64 + 64 * strength);
            std::string out;
            ASSERT_EQ(RunCommand("cd '" + m_dir.Str() + "' && 7zz a -tzip " + method +
                                     " -mx=" + std::to_string(level) + " '-p" + Password + "' '" +
                                     zip + "' file.txt",
                                 &out),
                      0)
                << out;
            const LocalEntry e = FirstEntry(ReadFileBytes(zip));
            const std::string where = method + " -mx=" + std::to_string(level);
            ASSERT_EQ(e.method, ZipExtraField::AesMethod) << where;
            ASSERT_TRUE(e.flags & 0x0001) << where;
            ZipExtraField::AesInfo info;
            ASSERT_TRUE(ZipExtraField::GetAes(e.extra, info)) << where;
            EXPECT_EQ(info.strength, strength) << where;
            EXPECT_EQ(info.method, level == 0 ? 0 : 8) << where;

            bool verified = false, authentic = false;
            std::string opened;
            Open(e, Password, verified, authentic, opened);
            EXPECT_TRUE(verified && authentic) << where;
            EXPECT_EQ(opened, plain) << where;
            EXPECT_EQ(e.crc, info.version == 1 ? Crc(plain) : 0u) << where;

            Open(e, "wrong", verified, authentic, opened);
            EXPECT_FALSE(verified && authentic) << where;
        }
    }
}
