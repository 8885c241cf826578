#pragma once

#include <memory>

class CApplicationsData;
class CBackupManger;
class CFavoritesData;
class CFontsData;
class CMyFilesData;
class COEIdentities;
class COutlookData;
class CWindowFinder;
class CWabData;

// The one place that gives the engine its data sources and the hooks through which
// it calls back into them: the registry import of restored exports and the check
// that a mail program is closed (through the window finder, CMailProgramCheck).
// Every program (the window, tbm) installs them so; the engine owns the sources, the
// pointers are for the caller's own use.
struct InstalledSources
{
    CMyFilesData* myFiles = nullptr;
    CFavoritesData* favorites = nullptr;
    CWabData* addressBook = nullptr;
    CFontsData* fonts = nullptr;
    CApplicationsData* applications = nullptr;
    COutlookData* outlook = nullptr;
    COEIdentities* identities = nullptr;
};

class CDataSources
{
public:
    // `finder` looks for the mail programs' windows; null: this system's.
    static InstalledSources Install(CBackupManger& engine,
                                    std::shared_ptr<CWindowFinder> finder = nullptr);
};
