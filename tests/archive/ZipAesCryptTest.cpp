// AES entry encryption on its own: streams cut anywhere, the password verifier, the
// authentication code and the AES extra block. ZipAesPeerTest checks the bytes
// against another tool.
#include "ZipAesCrypt.h"
#include "TestZip.h"
#include "ZipException.h"
#include "ZipExtraField.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tbmtest;

namespace {

const std::string Password = "correct horse";

// Runs `data` through `step` in pieces whose sizes cycle through `cuts`.
template <typename Step>
void InPieces(std::string& data, const std::vector<std::size_t>& cuts, Step step)
{
    std::size_t at = 0;
    for (std::size_t i = 0; at < data.size(); ++i) {
        const std::size_t n = std::min(cuts[i % cuts.size()], data.size() - at);
        step(data.data() + at, n);
        at += n;
    }
}

struct Sealed
{
    std::string header, data, code;
};

Sealed Seal(const std::string& plain, int strength, const std::vector<std::size_t>& cuts)
{
    CZipAesCrypt crypt;
    Sealed out{crypt.BeginEncryption(Password, strength), plain, {}};
    InPieces(out.data, cuts, [&](char* p, std::size_t n) { crypt.Encrypt(p, n); });
    out.code = crypt.FinishEncryption();
    return out;
}

// Decrypts `sealed` in pieces into `plain`; false when the verifier or the
// authentication code refuses it.
bool Open(const Sealed& sealed, int strength, const std::vector<std::size_t>& cuts,
          std::string& plain)
{
    CZipAesCrypt crypt;
    if (!crypt.BeginDecryption(Password, strength, sealed.header.data()))
        return false;
    plain = sealed.data;
    InPieces(plain, cuts, [&](char* p, std::size_t n) { crypt.Decrypt(p, n); });
    return crypt.CheckAuthCode(sealed.code.data());
}

} // namespace

TEST(ZipAesCryptTest, RoundTripsWhateverTheCutsOfEitherSide)
{
    for (int strength = 1; strength <= 3; ++strength) {
        for (std::size_t size : {1, 15, 16, 17, 4096 + 3}) {
            const std::string plain = Pattern(size, static_cast<unsigned>(size));
            const Sealed sealed = Seal(plain, strength, {1, 15, 17, 4096 + 3});
            ASSERT_EQ(sealed.header.size(), CZipAesCrypt::HeaderSize(strength));
            ASSERT_EQ(sealed.code.size(), CZipAesCrypt::AuthCodeSize);
            if (size >= 16) {
                EXPECT_NE(sealed.data, plain) << strength << " " << size;
            }
            for (const auto& cuts :
                 std::vector<std::vector<std::size_t>>{{size}, {3, 1, 29}, {16}}) {
                std::string opened;
                EXPECT_TRUE(Open(sealed, strength, cuts, opened)) << strength << " " << size;
                EXPECT_EQ(opened, plain) << strength << " " << size << " " << cuts[0];
            }
        }
    }
}

TEST(ZipAesCryptTest, EveryEntryGetsItsOwnSaltAndKeystream)
{
    const std::string plain = Pattern(100);
    const Sealed first = Seal(plain, 3, {100});
    const Sealed second = Seal(plain, 3, {100});
    EXPECT_EQ(first.header.size(), 16u + CZipAesCrypt::VerifierSize);
    EXPECT_NE(first.header.substr(0, 16), second.header.substr(0, 16));
    EXPECT_NE(first.data, second.data);
    EXPECT_EQ(CZipAesCrypt::SaltSize(1), 8u);
    EXPECT_EQ(CZipAesCrypt::SaltSize(2), 12u);
    EXPECT_EQ(CZipAesCrypt::SaltSize(0), 0u);
    EXPECT_EQ(CZipAesCrypt::SaltSize(4), 0u);
}

// Verifiers for a fixed salt, worked out with another PBKDF2-HMAC-SHA1 implementation;
// none of the wrong passwords happens to share them.
TEST(ZipAesCryptTest, VerifierAcceptsThePasswordAndRefusesOthers)
{
    const std::string verifiers[] = {"\x61\x29", "\x16\xaf", "\x23\x59"};
    for (int strength = 1; strength <= 3; ++strength) {
        const std::string header =
            std::string("0123456789abcdef", CZipAesCrypt::SaltSize(strength)) +
            verifiers[strength - 1];
        CZipAesCrypt crypt;
        EXPECT_TRUE(crypt.BeginDecryption(Password, strength, header.data())) << strength;
        for (const char* wrong : {"Correct horse", "correct horse ", "", "wrong", "correct hors"}) {
            EXPECT_FALSE(crypt.BeginDecryption(wrong, strength, header.data())) << wrong;
            EXPECT_FALSE(crypt.IsActive());
        }
    }
}

TEST(ZipAesCryptTest, AnyChangedByteFailsTheAuthenticationCode)
{
    const std::string plain = Pattern(1000);
    const Sealed sealed = Seal(plain, 3, {1000});
    std::string opened;
    ASSERT_TRUE(Open(sealed, 3, {1000}, opened));
    for (std::size_t at : {std::size_t{0}, std::size_t{517}, std::size_t{999}}) {
        Sealed bad = sealed;
        bad.data[at] = static_cast<char>(bad.data[at] ^ 0x01);
        EXPECT_FALSE(Open(bad, 3, {7}, opened)) << at;
    }
    for (std::size_t at = 0; at < CZipAesCrypt::AuthCodeSize; at += 9) {
        Sealed bad = sealed;
        bad.code[at] = static_cast<char>(bad.code[at] ^ 0x80);
        EXPECT_FALSE(Open(bad, 3, {1000}, opened)) << at;
    }
    Sealed cut = sealed;
    cut.data.pop_back();
    EXPECT_FALSE(Open(cut, 3, {1000}, opened));
}

TEST(ZipAesCryptTest, CallsOutOfOrderThrowAndAMoveCarriesTheEntry)
{
    const auto expectInternal = [](auto call) {
        try {
            call();
            ADD_FAILURE() << "no exception";
        } catch (const CZipException& e) {
            EXPECT_EQ(e.GetCause(), CZipException::ErrInternal);
        }
    };
    CZipAesCrypt crypt;
    char byte = 'x';
    expectInternal([&] { crypt.Encrypt(&byte, 1); });
    expectInternal([&] { crypt.FinishEncryption(); });
    expectInternal([&] { crypt.BeginEncryption(Password, 4); });
    expectInternal([&] { crypt.BeginDecryption(Password, 0, "0123456789"); });

    crypt.BeginEncryption(Password);
    CZipAesCrypt moved = std::move(crypt);
    EXPECT_FALSE(crypt.IsActive());
    EXPECT_TRUE(moved.IsActive());
    moved.Encrypt(&byte, 1);
    EXPECT_EQ(moved.FinishEncryption().size(), CZipAesCrypt::AuthCodeSize);
    expectInternal([&] { moved.FinishEncryption(); });
}

TEST(ZipAesExtraFieldTest, RoundTripsBesideOtherBlocks)
{
    std::string extra;
    ZipExtraField::SetModificationTime(extra, 1700000000);
    for (std::uint16_t version : {1, 2})
        for (int strength = 1; strength <= 3; ++strength)
            for (std::uint16_t method : {0, 8}) {
                ZipExtraField::AesInfo info;
                const std::string block = ZipExtraField::MakeAes({version, strength, method});
                ASSERT_EQ(block.size(), 11u);
                ASSERT_TRUE(ZipExtraField::GetAes(extra + block, info));
                EXPECT_EQ(info.version, version);
                EXPECT_EQ(info.strength, strength);
                EXPECT_EQ(info.method, method);
            }
}

TEST(ZipAesExtraFieldTest, RefusesMalformedBlocks)
{
    const std::string good = ZipExtraField::MakeAes({2, 3, 8});
    const auto refused = [](const std::string& extra) {
        ZipExtraField::AesInfo info;
        return !ZipExtraField::GetAes(extra, info);
    };
    EXPECT_FALSE(refused(good));
    EXPECT_TRUE(refused(""));
    EXPECT_TRUE(refused(good.substr(0, 10)));                            // cut short
    EXPECT_TRUE(refused(Le16(0x9901) + Le16(6) + good.substr(4, 6)));    // size 6
    EXPECT_TRUE(refused(Le16(0x9901) + Le16(8) + good.substr(4) + "x")); // size 8
    const auto with = [&](std::size_t at, char value) {
        std::string bad = good;
        bad[at] = value;
        return bad;
    };
    EXPECT_TRUE(refused(with(6, 'E'))); // vendor "EE"
    EXPECT_TRUE(refused(with(7, 'e'))); // vendor "Ae"
    EXPECT_TRUE(refused(with(4, 0)));   // version 0
    EXPECT_TRUE(refused(with(4, 3)));   // version 3
    EXPECT_TRUE(refused(with(5, 1)));   // version 0x0102
    EXPECT_TRUE(refused(with(8, 0)));   // strength 0
    EXPECT_TRUE(refused(with(8, 4)));   // strength 4
}
