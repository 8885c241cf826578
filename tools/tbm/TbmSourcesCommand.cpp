#include "TbmSourcesCommand.h"

#include "TbmExitCodes.h"
#include "TbmSourceNames.h"
#include "TbmTerminalText.h"

#include "ApplicationsData.h"
#include "BackupManger.h"
#include "DataSources.h"
#include "FavoritesData.h"
#include "FileWalk.h"
#include "FontsData.h"
#include "ItemKinds.h"
#include "OEData.h"
#include "OEIdentities.h"
#include "OutlookData.h"
#include "WabData.h"

#include "CheckTreeModel.h"
#include "SizeText.h"

#include <sys/stat.h>

namespace {

struct Taken
{
    std::uint64_t files = 0;
    std::uint64_t bytes = 0;
};

Taken WalkTaken(const std::string& folder)
{
    Taken taken;
    CFileWalk::Walk(folder, [&taken](const std::string&, const std::string&, const struct stat& st) {
        ++taken.files;
        taken.bytes += static_cast<std::uint64_t>(st.st_size);
        return CFileWalk::Step::Go;
    });
    return taken;
}

void Line(std::ostream& out, const char* name, bool present, const Taken& taken,
          const std::string& where)
{
    out << name << (present ? ": " : ": not found");
    if (present)
        out << taken.files << (taken.files == 1 ? " file, " : " files, ") << FormatSizeText(taken.bytes);
    if (!where.empty())
        out << " (" << CTbmTerminalText::Escape(where) << ")";
    out << "\n";
}

Taken FontsTaken(CFontsData& fonts)
{
    Taken taken;
    CCheckTreeModel& list = fonts.GetList();
    for (TvTreeItem item = list.GetRootItem(); item; item = list.GetNextSiblingItem(item)) {
        struct stat st
        {
        };
        if (lstat((fonts.GetFolder() + "/" + list.GetItemText(item)).c_str(), &st) == 0) {
            ++taken.files;
            taken.bytes += static_cast<std::uint64_t>(st.st_size);
        }
    }
    return taken;
}

void OutlookLines(std::ostream& out, COutlookData& outlook)
{
    Taken taken;
    if (outlook.Load() == 0)
        for (std::uint32_t kind = itemkind::kOLPersonal; kind <= itemkind::kOLSignatures; ++kind)
            for (const COutlookData::OutlookFile& file : outlook.GetFiles(kind)) {
                ++taken.files;
                taken.bytes += file.size;
            }
    Line(out, "outlook", outlook.IsPresent(), taken, outlook.GetFolder(itemkind::kOLSettings));
    if (!outlook.IsPresent())
        return;
    out << "  Office " << outlook.GetOfficeVersion() << ", registry keys:";
    bool any = false;
    for (const std::string* key :
         {&outlook.GetAccountsKey(), &outlook.GetOptionsKey(), &outlook.GetCategoriesKey()})
        if (!key->empty()) {
            out << (any ? ", " : " ") << CTbmTerminalText::Escape(*key);
            any = true;
        }
    out << (any ? "\n" : " none\n");
}

// One line per identity: its mail files as the folder index lists them (and the
// index itself), and its store folder.
void IdentityLines(std::ostream& out, COEIdentities& identities)
{
    const std::vector<std::string>& names = identities.GetNames();
    out << "identities:" << (names.empty() ? " none found\n" : "\n");
    for (std::size_t i = 0; i < names.size(); ++i) {
        COEData* data = identities.GetIdentityData(i);
        Taken taken;
        if (data && data->FillTree() == 1)
            for (const auto& folder : data->GetFolderReader().GetFolders())
                if (!folder->m_strFullPath.empty()) {
                    ++taken.files;
                    taken.bytes += folder->m_nFileSize;
                }
        struct stat st
        {
        };
        if (data && lstat(data->GetIndexFile().c_str(), &st) == 0) {
            ++taken.files;
            taken.bytes += static_cast<std::uint64_t>(st.st_size);
        }
        out << "  ";
        Line(out, CTbmTerminalText::Escape(names[i]).c_str(), true, taken,
             data ? data->GetStoreFolder() : std::string());
    }
}

} // namespace

int CTbmSourcesCommand::Run(const CTbmOptions&, std::ostream& out)
{
    CBackupManger engine;
    const InstalledSources sources = CDataSources::Install(engine);
    engine.Reset();
    engine.SetMode(0);
    out << "myfiles: the paths named, or the job's saved selection\n";

    OutlookLines(out, *sources.outlook);
    IdentityLines(out, *sources.identities);

    sources.favorites->Load();
    Line(out, "favorites", sources.favorites->IsPresent(),
         {sources.favorites->Count(), sources.favorites->GetFavoritesSize64()},
         sources.favorites->GetFolder());

    const std::string& book = sources.addressBook->Path();
    struct stat st
    {
    };
    const bool bookThere = !book.empty() && lstat(book.c_str(), &st) == 0;
    Line(out, "addressbook", bookThere,
         {bookThere ? 1u : 0u, bookThere ? static_cast<std::uint64_t>(st.st_size) : 0}, book);

    sources.fonts->Show();
    Line(out, "fonts", sources.fonts->IsPresent(), FontsTaken(*sources.fonts),
         sources.fonts->GetFolder());

    const bool anyApplication = sources.applications->IsPresent();
    out << "applications:" << (anyApplication ? "\n" : " none found\n");
    for (const auto& application : sources.applications->GetTable())
        if (application->IsPresent()) {
            out << "  ";
            Line(out, application->GetShortName().c_str(), true,
                 WalkTaken(application->GetFolder()), application->GetFolder());
        }
    return tbmexit::kSuccess;
}
