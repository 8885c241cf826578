#include "ShellFileOp.h"

#include "ShellFileOpRunner.h"

#include <cerrno>

CShellFileOp::CShellFileOp() = default;

CShellFileOp::CShellFileOp(void* parent, unsigned operation, const std::string& source,
                           const std::string& target, std::uint16_t flags, const std::string& title)
    : m_parent(parent), m_flags(flags), m_title(title)
{
    AddFile(kSourceList, source);
    if (!target.empty())
        AddFile(kTargetList, target);
    Run(operation);
}

CShellFileOp::~CShellFileOp() = default;

void CShellFileOp::SetTitle(const std::string& title)
{
    m_title = title;
    m_titleId = 0;
}

void CShellFileOp::SetTitle(unsigned resourceId)
{
    m_titleId = resourceId;
    m_title.clear();
}

std::string CShellFileOp::GetTitle() const
{
    if (m_titleId != 0 && m_titleLoader)
        return m_titleLoader(m_titleId);
    return m_title;
}

bool CShellFileOp::AddFile(int list, const std::string& path)
{
    CShellFileOpList* paths = List(list);
    return paths && paths->Add(path);
}

bool CShellFileOp::SetMaxCount(int list, std::size_t size)
{
    CShellFileOpList* paths = List(list);
    return paths && paths->Reserve(size);
}

void CShellFileOp::ClearFiles(int list)
{
    if (CShellFileOpList* paths = List(list))
        paths->Clear();
}

const char* CShellFileOp::GetFileList(int list) const
{
    const CShellFileOpList* paths = List(list);
    return paths ? paths->Data() : nullptr;
}

std::size_t CShellFileOp::GetUsedLength(int list) const
{
    const CShellFileOpList* paths = List(list);
    return paths ? paths->UsedLength() : 0;
}

std::size_t CShellFileOp::GetAllocatedLength(int list) const
{
    const CShellFileOpList* paths = List(list);
    return paths ? paths->AllocatedLength() : 0;
}

int CShellFileOp::CopyFiles()
{
    return Run(FO_COPY);
}

int CShellFileOp::MoveFiles()
{
    return Run(FO_MOVE);
}

int CShellFileOp::DeleteFiles()
{
    return Run(FO_DELETE);
}

int CShellFileOp::RenameFiles()
{
    return Run(FO_RENAME);
}

CShellFileOpList* CShellFileOp::List(int list)
{
    return list == kSourceList ? &m_sources : list == kTargetList ? &m_targets : nullptr;
}

const CShellFileOpList* CShellFileOp::List(int list) const
{
    return list == kSourceList ? &m_sources : list == kTargetList ? &m_targets : nullptr;
}

int CShellFileOp::Run(unsigned operation)
{
    m_operation = operation;
    m_aborted = false;
    CShellFileOpRunner runner(
        {operation, m_flags, m_sources.Paths(), m_targets.Paths(), m_confirm, m_rename});
    m_result = runner.Run();
    m_aborted = runner.Aborted();
    m_lastError = runner.Error().error;
    m_lastErrorPath = runner.Error().path;
    return m_result;
}
