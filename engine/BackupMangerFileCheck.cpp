#include "BackupMangerFileCheck.h"

#include "HtmlReport.h"
#include "Notify.h"
#include "Prompt.h"
#include "ResultCodes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

int CBackupMangerFileCheck::ProbeFile(const std::string& path)
{
    struct stat st
    {
    };
    if (lstat(path.c_str(), &st) != 0)
        return result::kReadError;
    return ProbeFile(path, st);
}

int CBackupMangerFileCheck::ProbeFile(const std::string& path, const struct stat& st)
{
    // Only regular files are opened: opening a FIFO or a device could block or
    // have side effects, and a link is stored as a link, not followed.
    if (!S_ISREG(st.st_mode))
        return result::kSuccess;
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return result::kReadError;
    // The nearest thing to a sharing violation: another program holds a write lock
    // on the file. Asked without taking a lock of our own, so that a backup never
    // makes another program's locking fail.
    struct flock probe
    {
    };
    probe.l_type = F_RDLCK;
    probe.l_whence = SEEK_SET;
    const bool locked = fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
    close(fd);
    return locked ? result::kFileLocked : result::kSuccess;
}

int CBackupMangerFileCheck::CheckFile(const std::string& path)
{
    if (path.empty())
        return IDSKIPFILE;
    return Checked(path, ProbeFile(path));
}

int CBackupMangerFileCheck::CheckKnownFile(const std::string& path, const struct stat& status)
{
    if (path.empty())
        return IDSKIPFILE;
    return Checked(path, ProbeFile(path, status));
}

int CBackupMangerFileCheck::Checked(const std::string& path, int code)
{
    if (code != result::kSuccess)
        return AskUser(path, code);
    PostScanning(path);
    return 0;
}

int CBackupMangerFileCheck::AskUser(const std::string& path, int code)
{
    const char* name = result::GetName(code);
    const char* description = result::GetDescription(code);
    m_Report.WriteLine("");
    m_Report.WriteFormatted("Error : %s", name);
    m_Report.WriteFormatted("Description : %s", description);
    m_Report.WriteFormatted("File : %s", path.c_str());
    const std::string text = std::string(name) + "\n" + description + "\n" + path;
    const int answer = Prompt().MessageBox(text, kPromptStyle);
    if (answer == IDSKIPFILE) {
        m_Report.WriteFormatted("Skip reading the file : %s", path.c_str());
        m_Skipped.push_back(path);
    }
    else if (answer == IDRETRYFILE)
        m_Report.WriteFormatted("Retry reading the file : %s", path.c_str());
    else
        m_Report.WriteLine("Cancel the Backup");
    return answer;
}

void CBackupMangerFileCheck::PostScanning(const std::string& path) const
{
    if (!m_pScanNotify)
        return;
    // The receiver owns the copy and frees it with delete[].
    char* copy = new char[path.size() + 1];
    std::memcpy(copy, path.c_str(), path.size() + 1);
    m_pScanNotify->post(notify::kScanning, 0, reinterpret_cast<std::intptr_t>(copy));
}
