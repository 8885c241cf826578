#pragma once

#include <string>

// The import of restored registry files through the registry editor: the silent
// import, the line-wise rewrite that moves data from one mail identity to another,
// and which of these steps a restored file of each item kind goes through.
class CRegistryImport
{
public:
    // The user name that marks the identity Outlook Express made first.
    static constexpr const char* kMainIdentity = "Main Identity";
    // The replacement for kind 10's global keys; "$1$" stands for the target GUID.
    static constexpr const char* kIdentityKeyTemplate = "Identities\\$1$\\Software\\Microsoft\\";

    // `workFolder` holds the rewrite's working files; the system temporary folder
    // when empty.
    explicit CRegistryImport(const std::string& workFolder = {});
    virtual ~CRegistryImport() = default;

    // Starts the editor with "-s" on the file and waits until it has ended, so the
    // file can be rewritten or deleted afterwards. False when the file does not exist,
    // the editor cannot be started or reports a failure (its exit status is logged).
    virtual bool ImportRegistryFile(const std::string& path);

    // Rewrites the file in place line by line (see RewriteRegistryLine) through a
    // working file "TBM<hex>.reg" in the work folder. False when the file or the
    // working file cannot be opened or written, or the result cannot take the file's
    // place; the file is then left as it was.
    virtual bool RewriteRegistryFile(const std::string& path, const std::string& find,
                                     const std::string& replace);

    // Imports a restored registry file as its item kind asks: 10 (Outlook Express
    // accounts, global) at its place and again below the target identity; 16-19
    // (rules, signatures, mail preferences, blocked senders) and 20 (the identity's
    // accounts) moved from the backup identity to the target identity, 20 once more
    // without the identity part when the target is the "Main Identity"; 26-28
    // (Outlook 2000/XP) as they are; any other kind not at all. The GUIDs are in their
    // registry form with braces. Before each import every key of the file must lie
    // below the key its kind stands for (CRegistryKeyCheck): a file that reaches
    // anywhere else is not imported at all. True when every step succeeded.
    bool RestoreRegistryItem(const std::string& path, int kind, const std::string& backupGuid,
                             const std::string& targetGuid);

protected:
    // Whether every key of the file fits its kind at `step` (0 first import, 1 after
    // the rewrite); a refusal is logged with its reason.
    virtual bool KeysFit(const std::string& path, int kind, const std::string& targetGuid, int step);
    // The "Username" of HKEY_CURRENT_USER\Identities\<guid>; empty when missing.
    virtual std::string ReadIdentityUserName(const std::string& guid);

private:
    bool ImportChecked(const std::string& path, int kind, const std::string& targetGuid, int step);
    bool RestoreGlobalAccounts(const std::string& path, const std::string& targetGuid);
    bool RestoreIdentityAccounts(const std::string& path, const std::string& backupGuid,
                                 const std::string& targetGuid);

    std::string m_workFolder;
};
