#include "ProjectData.h"

#include "ObjectReader.h"
#include "ObjectWriter.h"

namespace {

void WriteList(CObjectWriter& out, const std::vector<std::string>& list)
{
    out.WriteCount(list.size());
    for (const std::string& entry : list)
        out.WriteString(entry);
}

std::vector<std::string> ReadList(CObjectReader& in)
{
    // Every string takes at least its one-byte length.
    const std::uint32_t count = in.ReadCount(1);
    std::vector<std::string> list;
    for (std::uint32_t i = 0; i < count; ++i)
        list.push_back(in.ReadString());
    return list;
}

// The encryption field; a value this program does not know (a later program's
// method) reads as AES-256, never as something weaker.
std::uint32_t ReadEncryption(CObjectReader& in)
{
    if (in.GetRemaining() == 0)
        return CProjectData::kEncryptTraditional;
    const std::uint32_t method = in.ReadU32();
    return method == CProjectData::kEncryptTraditional ? method : CProjectData::kEncryptAes256;
}

} // namespace

void CProjectData::WriteTo(CObjectWriter& out) const
{
    for (const std::string* text :
         {&m_strDefaultOutputFolder, &m_strJobName, &m_strDescription, &m_strBackupFileName,
          &m_strExtension, &m_strOutputPath, &m_strCreationDate, &m_strCreationTime})
        out.WriteString(*text);
    for (const std::uint32_t number :
         {m_dwTimeStamp, m_dwOptionFlag, m_dwPasswordEnabled, m_dwLevel, m_dwMedium})
        out.WriteU32(number);
    out.WriteString(m_strPartSizeText);
    out.WriteU32(m_dwPartSize);
    out.WriteString(m_strPassword);
    out.WriteU32(m_dwBackupType);
    out.WriteU32(m_dwCdVolumeSize);
    out.WriteString(m_strCdSizeText);
    out.WriteU32(m_dwCdSpanning);
    out.WriteString(m_strRemovableFolder);
    out.WriteString(m_strCdFolder);
    for (const std::uint32_t number :
         {m_dwRemovableIndex, m_dwCdIndex, m_dwFilterMode, m_dwExcludeFlag})
        out.WriteU32(number);
    out.WriteString(m_strTypedPassword);
    out.WriteString(m_strConfirmPassword);
    WriteList(out, m_ExcludeList);
    WriteList(out, m_IncludeList);
    out.WriteU32(m_dwEncryption);
    out.WriteU32(m_dwThreads);
}

void CProjectData::ReadFrom(CObjectReader& in)
{
    for (std::string* text :
         {&m_strDefaultOutputFolder, &m_strJobName, &m_strDescription, &m_strBackupFileName,
          &m_strExtension, &m_strOutputPath, &m_strCreationDate, &m_strCreationTime})
        *text = in.ReadString();
    for (std::uint32_t* number :
         {&m_dwTimeStamp, &m_dwOptionFlag, &m_dwPasswordEnabled, &m_dwLevel, &m_dwMedium})
        *number = in.ReadU32();
    m_strPartSizeText = in.ReadString();
    m_dwPartSize = in.ReadU32();
    m_strPassword = in.ReadString();
    m_dwBackupType = in.ReadU32();
    m_dwCdVolumeSize = in.ReadU32();
    m_strCdSizeText = in.ReadString();
    m_dwCdSpanning = in.ReadU32();
    m_strRemovableFolder = in.ReadString();
    m_strCdFolder = in.ReadString();
    for (std::uint32_t* number :
         {&m_dwRemovableIndex, &m_dwCdIndex, &m_dwFilterMode, &m_dwExcludeFlag})
        *number = in.ReadU32();
    m_strTypedPassword = in.ReadString();
    m_strConfirmPassword = in.ReadString();
    m_ExcludeList = ReadList(in);
    m_IncludeList = ReadList(in);
    m_dwEncryption = ReadEncryption(in);
    m_dwThreads = in.GetRemaining() == 0 ? 0 : in.ReadU32();
}

std::vector<std::uint8_t> CProjectData::ToBytes() const
{
    CObjectWriter out;
    WriteTo(out);
    return out.GetBytes();
}

// All or nothing: a file that ends early or is malformed leaves the job as it was.
void CProjectData::FromBytes(const std::vector<std::uint8_t>& bytes)
{
    CObjectReader in(bytes);
    CProjectData loaded(*this);
    loaded.ReadFrom(in);
    *this = std::move(loaded);
}
