#include "DataSource.h"

#include "ResultCodes.h"

#include "Prompt.h"

namespace {

// Asks nobody; used until the engine installs its own check.
CFileCheck g_quietFileCheck;

} // namespace

CDataSource::~CDataSource() = default;

void CDataSource::ClearTags()
{
    m_TagList.clear();
}

void CDataSource::Reset()
{
    ClearTags();
}

ItemTag* CDataSource::NewTag(std::uintptr_t value, std::uint32_t kind)
{
    m_TagList.push_back(std::make_unique<ItemTag>(ItemTag{value, kind}));
    return m_TagList.back().get();
}

std::uint64_t CDataSource::SumSizes(const CAutoObArray<CAddInfo>& list)
{
    std::uint64_t total = 0;
    for (const CAddInfo* info : list)
        total += info->m_dwSize;
    return total;
}

int CDataSource::CheckFileLoop(const std::string& path, const struct stat* known)
{
    CFileCheck& check = m_pFileCheck ? *m_pFileCheck : g_quietFileCheck;
    for (bool first = true;; first = false) {
        // A retry reads the status again: the user may have changed the file.
        const int answer =
            first && known ? check.CheckKnownFile(path, *known) : check.CheckFile(path);
        if (answer == 0)
            return result::kSuccess;
        if (answer == IDSKIPFILE)
            return result::kSkip;
        if (answer != IDRETRYFILE)
            return result::kCancel;
    }
}

int CDataSource::AddFile(const std::string& path)
{
    const int code = CheckFileLoop(path);
    if (code != result::kSuccess)
        return code;
    m_ItemList.Add(std::make_unique<CAddInfo>(path, 0));
    return result::kSuccess;
}
