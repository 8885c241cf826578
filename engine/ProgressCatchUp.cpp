#include "ProgressCatchUp.h"

#include "BackupProgress.h"

bool CProgressCatchUp::Add(std::uint64_t bytes)
{
    m_advanced += bytes;
    return m_progress.Advance(bytes);
}

bool CProgressCatchUp::Finished(std::uint64_t itemSize)
{
    m_finished += itemSize;
    return m_finished <= m_advanced || Add(m_finished - m_advanced);
}
