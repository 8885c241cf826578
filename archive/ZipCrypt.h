#pragma once

#include <cstdint>
#include <string>

// Traditional PKWARE encryption: three 32-bit keys stirred by every plain byte.
// Weak by today's measure, but what every ZIP tool can open; the backup offers it
// as a lock against casual reading, not as strong protection.
class CZipCrypt
{
public:
    static constexpr std::uint32_t HeaderSize = 12;

    // Starts the keys from `password`.
    void Init(const std::string& password);
    void Encode(char* data, std::uint32_t size);
    void Decode(char* data, std::uint32_t size);

    // The 12-byte encryption header, encrypted: 10 random bytes from the system's
    // cryptographic source (a guessable header would help an attacker), then the
    // low and the high byte of `check`, which readers compare with the last byte.
    std::string MakeHeader(std::uint16_t check);

    // True when a password may be used: every character has a code from 1 to 127.
    static bool IsValidPassword(const std::string& password);

private:
    void UpdateKeys(unsigned char plain);
    unsigned char KeyStreamByte() const;

    std::uint32_t m_keys[3] = {0, 0, 0};
};
