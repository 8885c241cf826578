#pragma once

#include "ShellFileOpList.h"
#include "ShellFileOpTypes.h"

#include <cstdint>
#include <string>
#include <utility>

// A batch file operation as the shell runs it: copy, move, delete or rename a list of
// files and folders. The request (window, operation, flags, title) and the two path
// lists are kept in the shell's form; running it returns 0 or an error code.
//
// There is no progress window here; callers that must ask the user about a target
// that exists (or a delete) set a confirmation function. Without one nothing is ever
// replaced and nothing is deleted for good: the batch stops as aborted instead.
class CShellFileOp
{
public:
    static constexpr int kSourceList = 0;
    static constexpr int kTargetList = 1;

    CShellFileOp();
    // Runs `operation` (FO_MOVE, FO_COPY, FO_DELETE, FO_RENAME) on one source and
    // target at once; GetResult tells how it ended.
    CShellFileOp(void* parent, unsigned operation, const std::string& source,
                 const std::string& target, std::uint16_t flags, const std::string& title);
    virtual ~CShellFileOp();

    // The window that owns any dialog of the operation (opaque here).
    void SetParent(void* window) { m_parent = window; }
    void* GetParent() const { return m_parent; }
    void SetFlags(std::uint16_t flags) { m_flags = flags; }
    std::uint16_t GetFlags() const { return m_flags; }
    // The progress title, as text or as a resource string number that the title
    // loader turns into text.
    void SetTitle(const std::string& title);
    void SetTitle(unsigned resourceId);
    void SetTitleLoader(ShellTitleLoader loader) { m_titleLoader = std::move(loader); }
    std::string GetTitle() const;
    unsigned GetTitleId() const { return m_titleId; }

    // `list` is kSourceList or kTargetList. AddFile refuses an empty path and one
    // holding a zero byte (false), as either would corrupt the list.
    bool AddFile(int list, const std::string& path);
    // Reserves `size` bytes for the list in the shell's form.
    bool SetMaxCount(int list, std::size_t size);
    void ClearFiles(int list);
    // The list in the shell's form and its lengths; nullptr / 0 for a bad `list`.
    const char* GetFileList(int list) const;
    std::size_t GetUsedLength(int list) const;
    std::size_t GetAllocatedLength(int list) const;

    void SetConfirmFunction(ShellConfirmFunction confirm) { m_confirm = std::move(confirm); }
    // Replaces the rename step of moves and of the trash (tests, watchers).
    void SetRenameFunction(ShellRenameFunction rename) { m_rename = std::move(rename); }

    // Each clears the "aborted" flag, runs the operation on the lists and returns 0
    // on success or an errno value (ECANCELED when the user cancelled).
    int CopyFiles();
    int MoveFiles();
    int DeleteFiles();
    int RenameFiles();
    // True when the user cancelled or skipped anything in the last operation.
    bool AnyOperationsAborted() const { return m_aborted; }
    // Result of the last operation (the one the running constructor ran included).
    int GetResult() const { return m_result; }
    // The errno value and path of the failure that stopped the last operation.
    int GetLastError() const { return m_lastError; }
    const std::string& GetLastErrorPath() const { return m_lastErrorPath; }

private:
    CShellFileOpList* List(int list);
    const CShellFileOpList* List(int list) const;
    int Run(unsigned operation);

    void* m_parent = nullptr;
    unsigned m_operation = 0;
    std::uint16_t m_flags = 0;
    std::string m_title;
    unsigned m_titleId = 0;
    ShellTitleLoader m_titleLoader;
    CShellFileOpList m_sources;
    CShellFileOpList m_targets;
    ShellConfirmFunction m_confirm;
    ShellRenameFunction m_rename;
    bool m_aborted = false;
    int m_result = 0;
    int m_lastError = 0;
    std::string m_lastErrorPath;
};
