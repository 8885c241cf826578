#include "ZipCrypt.h"

#include "ZipException.h"

#include <sys/random.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>

namespace {

std::uint32_t CrcByte(std::uint32_t crc, unsigned char byte)
{
    static const z_crc_t* table = get_crc_table();
    return table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
}

void FillRandom(unsigned char* out, std::size_t size)
{
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = getrandom(out + got, size - got, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw CZipException::FromErrno(errno ? errno : EIO);
        got += static_cast<std::size_t>(n);
    }
}

} // namespace

void CZipCrypt::Init(const std::string& password)
{
    m_keys[0] = 0x12345678;
    m_keys[1] = 0x23456789;
    m_keys[2] = 0x34567890;
    for (char c : password)
        UpdateKeys(static_cast<unsigned char>(c));
}

void CZipCrypt::UpdateKeys(unsigned char plain)
{
    m_keys[0] = CrcByte(m_keys[0], plain);
    m_keys[1] = (m_keys[1] + (m_keys[0] & 0xFF)) * 134775813u + 1;
    m_keys[2] = CrcByte(m_keys[2], static_cast<unsigned char>(m_keys[1] >> 24));
}

unsigned char CZipCrypt::KeyStreamByte() const
{
    const std::uint32_t temp = (m_keys[2] | 2) & 0xFFFF;
    return static_cast<unsigned char>((temp * (temp ^ 1)) >> 8);
}

void CZipCrypt::Encode(char* data, std::uint32_t size)
{
    for (std::uint32_t i = 0; i < size; ++i) {
        const auto plain = static_cast<unsigned char>(data[i]);
        data[i] = static_cast<char>(plain ^ KeyStreamByte());
        UpdateKeys(plain);
    }
}

void CZipCrypt::Decode(char* data, std::uint32_t size)
{
    for (std::uint32_t i = 0; i < size; ++i) {
        const auto plain = static_cast<unsigned char>(data[i] ^ KeyStreamByte());
        data[i] = static_cast<char>(plain);
        UpdateKeys(plain);
    }
}

std::string CZipCrypt::MakeHeader(std::uint16_t check)
{
    unsigned char header[HeaderSize];
    FillRandom(header, 10);
    header[10] = static_cast<unsigned char>(check & 0xFF);
    header[11] = static_cast<unsigned char>(check >> 8);
    std::string bytes(reinterpret_cast<char*>(header), HeaderSize);
    Encode(bytes.data(), HeaderSize);
    return bytes;
}

bool CZipCrypt::IsValidPassword(const std::string& password)
{
    return std::all_of(password.begin(), password.end(), [](char c) {
        const auto code = static_cast<unsigned char>(c);
        return code >= 1 && code <= 127;
    });
}
