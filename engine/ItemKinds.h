#pragma once

#include <cstdint>

// The item kinds: every tree node, catalogue item and file entry carries one (0-28).
// A kind picks the data source that handles the item and the sub-folder the sources
// use inside the archive.
namespace itemkind {

inline constexpr std::uint32_t kOutlook = 0;             // Outlook 2000/XP, one source
inline constexpr std::uint32_t kOEGroup = 1;             // groups the identities (tree only)
inline constexpr std::uint32_t kOEIdentity = 2;          // one Outlook Express identity
inline constexpr std::uint32_t kRoot = 3;                // root of backup and restore trees
inline constexpr std::uint32_t kMyFiles = 4;             // the user's chosen files and folders
inline constexpr std::uint32_t kOLPersonal = 5;          // Outlook personal folder files
inline constexpr std::uint32_t kOLSettings = 6;          // Outlook settings files
inline constexpr std::uint32_t kOLForms = 7;             // Outlook forms
inline constexpr std::uint32_t kOLStationery = 8;        // Outlook stationery
inline constexpr std::uint32_t kOLSignatures = 9;        // Outlook signatures
inline constexpr std::uint32_t kOEAccounts = 10;         // registry export
inline constexpr std::uint32_t kFavorites = 13;          // Internet favorites
inline constexpr std::uint32_t kProviderRoot = 14;       // root of a source's own tree
inline constexpr std::uint32_t kAddressBook = 15;        // Windows Address Book
inline constexpr std::uint32_t kOERules = 16;            // registry export
inline constexpr std::uint32_t kOESignatures = 17;       // registry export
inline constexpr std::uint32_t kOEMailPrefs = 18;        // registry export
inline constexpr std::uint32_t kOEBlockedSenders = 19;   // registry export
inline constexpr std::uint32_t kOEIdentityAccounts = 20; // registry export
inline constexpr std::uint32_t kOEMailFolders = 21;      // mail folder files
inline constexpr std::uint32_t kApplications = 22;       // applications, one source
inline constexpr std::uint32_t kApplication = 23;        // one application's files
inline constexpr std::uint32_t kFonts = 24;              // installed fonts
inline constexpr std::uint32_t kInternetAccounts = 25;   // Internet account files
inline constexpr std::uint32_t kOLRegAccounts = 26;      // Outlook registry exports
inline constexpr std::uint32_t kOLRegOptions = 27;
inline constexpr std::uint32_t kOLRegCategories = 28;
inline constexpr std::uint32_t kCount = 29;

// The archive sub-folder of a kind; empty for kinds without one and for numbers
// outside 0-28 (a damaged catalogue must not index past the table).
const char* GetArchiveFolder(std::uint32_t kind);

// Kinds that are top-level sources of the backup tree.
bool IsTopLevelSource(std::uint32_t kind);

// Kinds whose entries are registry exports, imported after extraction.
bool IsRegistryExport(std::uint32_t kind);

} // namespace itemkind
