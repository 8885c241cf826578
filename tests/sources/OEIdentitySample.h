#pragma once

// A sample Outlook Express identity for tests: a value under every settings key of
// the identity, a global and an identity account, and a mail store of three folders
// (one nested) with their index.
#include "Dbx5Builder.h"
#include "TempDir.h"

#include <filesystem>
#include <functional>
#include <string>

namespace tbmtest {

inline const std::string kSampleAccounts =
    "Software\\Microsoft\\Internet Account Manager\\Accounts\\";

using RegistryTextWriter =
    std::function<void(const std::string& key, const std::string& name, const std::string& text)>;

// `express` is the identity's Outlook Express version key.
inline void WriteSampleSettings(const RegistryTextWriter& setText, const std::string& guid,
                                const std::string& express)
{
    setText(express + "\\Rules\\Mail\\000", "Name", "Spam rule");
    setText(express + "\\Block Senders\\Mail\\Criteria\\0", "Sender", "spam@x");
    setText(express + "\\Mail", "Show Images", "1");
    setText(express + "\\signatures\\00000000", "name", "Work sig");
    setText(kSampleAccounts + "00000001", "Account Name", "global.example");
    setText("Identities\\" + guid + "\\" + kSampleAccounts + "00000002", "Account Name",
            "alice.example");
}

// "Folders.dbx" listing Inbox, Lists (below Inbox) and Sent Items, and their files.
inline void WriteSampleStore(const std::string& store)
{
    Dbx5Builder builder;
    builder.Add(Dbx5Builder::Folder(1, -1, "Inbox", "Inbox.dbx", 2));
    builder.Add(Dbx5Builder::Folder(2, 1, "Lists", "Lists.dbx", 1));
    builder.Add(Dbx5Builder::Folder(3, -1, "Sent Items", "Sent Items.dbx", 1));
    std::filesystem::create_directories(store);
    WriteFileBytes(store + "/Folders.dbx", builder.Build());
    WriteFileBytes(store + "/Inbox.dbx", "inbox mail");
    WriteFileBytes(store + "/Lists.dbx", "list mail");
    WriteFileBytes(store + "/Sent Items.dbx", "sent mail");
}

} // namespace tbmtest
