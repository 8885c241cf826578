#include "Dbx5FileHeader.h"

#include "Dbx5Bytes.h"
#include "Dbx5Exception.h"
#include "Dbx5InputFile.h"

void CDbx5FileHeader::Read(const CDbx5InputFile& file)
{
    std::vector<std::uint8_t> bytes(kSize);
    // A short header is as unusable as none: its fields would be guessed.
    if (!file.ReadAt(0, bytes.data(), bytes.size()))
        throw CDbx5Exception("Error reading object from input stream !");
    m_bytes = std::move(bytes);
}

std::uint32_t CDbx5FileHeader::GetValueCount() const
{
    return m_bytes.size() == kSize ? dbx5::GetU32(&m_bytes[kValueCountAt]) : 0;
}

std::uint32_t CDbx5FileHeader::GetRootOffset() const
{
    return m_bytes.size() == kSize ? dbx5::GetU32(&m_bytes[kRootOffsetAt]) : 0;
}
