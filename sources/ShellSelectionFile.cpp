#include "ShellSelectionFile.h"

#include "ObjectReader.h"
#include "ObjectWriter.h"
#include "Prompt.h"
#include "WholeFile.h"
#include "WriteLog.h"

namespace {

const char* const kFileFailure = "Fail to create or open current playlist file";

} // namespace

std::vector<std::uint8_t> CShellSelectionFile::ToBytes() const
{
    CObjectWriter out;
    out.WriteObjects(m_Items);
    return out.GetBytes();
}

void CShellSelectionFile::FromBytes(const std::vector<std::uint8_t>& bytes)
{
    CObjectReader in(bytes);
    in.AcceptClass<CShellSelectionItem>();
    m_Items = in.ReadObjects<CShellSelectionItem>();
}

int CShellSelectionFile::Save(const std::string& path)
{
    Capture();
    try {
        CObjectWriter out;
        out.WriteObjects(m_Items);
        if (!path.empty() && out.SaveToFile(path))
            return 1;
    } catch (const CObjectStreamError& error) {
        WriteLog("%s: %s", path.c_str(), error.what());
    }
    WriteLog("%s", kFileFailure);
    return 0;
}

namespace {

CPrompt::FileDialog SelectionDialog(bool save)
{
    return {save, "Tovan Backup Selection (*.tbs)", "*.tbs", ".tbs"};
}

} // namespace

int CShellSelectionFile::SaveAs()
{
    std::string path;
    return Prompt().AskFileName(SelectionDialog(true), path) ? Save(path) : 0;
}

int CShellSelectionFile::Open()
{
    std::string path;
    return Prompt().AskFileName(SelectionDialog(false), path) ? Load(path) : 0;
}

int CShellSelectionFile::Load(const std::string& path)
{
    Clear();
    std::vector<std::uint8_t> bytes;
    if (path.empty() || !TvReadWholeFile(path, bytes)) {
        WriteLog("%s", kFileFailure);
        return 0;
    }
    try {
        FromBytes(bytes);
    } catch (const CObjectStreamError& error) {
        // Nothing of a damaged file is applied: the tree keeps its states.
        WriteLog("%s", kFileFailure);
        WriteLog("%s: %s", path.c_str(), error.what());
        return 0;
    }
    Apply();
    return 1;
}
