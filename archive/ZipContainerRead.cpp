// Reading entries: lookup, entry information and the entry reader's face.
#include "ZipContainer.h"

int CZipContainer::FindFile(const std::string& name, int caseMode, bool nameOnly)
{
    if (IsClosed())
        return -1;
    return m_directory.FindFile(name, caseMode, nameOnly);
}

std::size_t CZipContainer::GetIndexes(const std::vector<std::string>& names,
                                      std::vector<int>& indexes)
{
    std::size_t found = 0;
    for (const std::string& name : names) {
        const int index = FindFile(name);
        if (index >= 0) {
            indexes.push_back(index);
            ++found;
        }
    }
    return found;
}

bool CZipContainer::GetFileInfo(CZipEntryHeader& info, int index) const
{
    if (IsClosed() || !m_directory.IsValidIndex(index))
        return false;
    info = m_directory[static_cast<std::size_t>(index)];
    return true;
}

bool CZipContainer::OpenFile(int index)
{
    if (IsClosed() || !m_directory.IsValidIndex(index) || m_storage.IsSpanMode() == 1 ||
        m_entryState != 0)
        return false;
    if (m_buffer.GetSize() != m_bufferSize)
        m_buffer.Allocate(m_bufferSize);
    m_reader.Open(m_directory[static_cast<std::size_t>(index)]);
    m_entryState = -1;
    return true;
}

std::uint32_t CZipContainer::ReadFile(void* buffer, std::uint32_t size)
{
    if (m_entryState != -1)
        return 0;
    return m_reader.Read(buffer, size);
}

int CZipContainer::CloseFile(const std::string& path, bool afterException)
{
    if (m_entryState != -1)
        return 0;
    m_entryState = 0; // the reader ends the entry, also when it throws
    return m_reader.Close(path, afterException);
}

bool CZipContainer::ExtractFile(int index, const std::string& folder, bool fullPath,
                                const std::string& newName, std::uint32_t bufferSize)
{
    return m_extractor.ExtractFile(index, folder, fullPath, newName, bufferSize);
}

std::vector<std::string> CZipContainer::FinishFolders()
{
    return m_extractor.FinishFolders();
}

std::string CZipContainer::PredictExtractedName(const std::string& entryName,
                                                const std::string& folder, bool fullPath,
                                                const std::string& newName)
{
    return CZipExtractor::PredictExtractedName(entryName, folder, fullPath, newName);
}
