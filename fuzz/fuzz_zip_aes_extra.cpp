// The AES block and the encrypted data come from archives anyone may have made: the
// block parser must take any bytes, and decryption must end cleanly, however short or
// forged the salt, verifier, data and authentication code are.
#include "ZipAesCrypt.h"
#include "ZipExtraField.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    ZipExtraField::AesInfo info;
    if (ZipExtraField::GetAes(input, info)) {
        // Whatever the parser accepts is a block the writer could have made.
        if (ZipExtraField::MakeAes(info).size() != 11 || info.strength < 1 || info.strength > 3)
            std::abort();
    }

    // First byte: the strength, and whether the salt and verifier come from the input
    // (almost always refused by the verifier) or from a sound start, so the data and
    // code checks are reached too. Then the header when forged, the data, the code.
    if (size < 1)
        return 0;
    const int strength = 1 + data[0] % 3;
    const bool forged = data[0] & 0x80;
    std::string header = forged ? input.substr(1, CZipAesCrypt::HeaderSize(strength))
                                : CZipAesCrypt().BeginEncryption("password", strength);
    const std::size_t start = forged ? 1 + header.size() : 1;
    if (header.size() != CZipAesCrypt::HeaderSize(strength) ||
        size < start + CZipAesCrypt::AuthCodeSize)
        return 0;
    CZipAesCrypt crypt;
    if (!crypt.BeginDecryption("password", strength, header.data())) {
        if (!forged)
            std::abort(); // the password that made the header must pass
        return 0;
    }
    std::string body = input.substr(start, size - start - CZipAesCrypt::AuthCodeSize);
    const std::size_t cut = body.empty() ? 0 : data[size - 1] % (body.size() + 1);
    crypt.Decrypt(body.data(), cut);
    crypt.Decrypt(body.data() + cut, body.size() - cut);
    crypt.CheckAuthCode(input.data() + size - CZipAesCrypt::AuthCodeSize);
    if (crypt.IsActive())
        std::abort(); // the code check ends the entry
    return 0;
}
