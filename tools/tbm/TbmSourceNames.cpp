#include "TbmSourceNames.h"

#include "ItemKinds.h"

const std::vector<TbmSourceName>& CTbmSourceNames::All()
{
    static const std::vector<TbmSourceName> names{
        {"myfiles", itemkind::kMyFiles, "the files and folders of the job's selection"},
        {"outlook", itemkind::kOutlook,
         "Microsoft Outlook's folders and registry settings (all without a choice)"},
        {"identities", itemkind::kOEIdentity,
         "the mail folders and settings of every Outlook Express identity (restored into the "
         "identity of the same GUID, else into a new one)"},
        {"favorites", itemkind::kFavorites, "the favorites folder"},
        {"addressbook", itemkind::kAddressBook, "the address book file"},
        {"fonts", itemkind::kFonts, "the fonts chosen for the job (all without a choice)"},
        {"applications", itemkind::kApplications,
         "the settings folders of the applications chosen (all without a choice)"},
    };
    return names;
}

std::optional<std::uint32_t> CTbmSourceNames::KindOf(const std::string& name)
{
    for (const TbmSourceName& source : All())
        if (name == source.name)
            return source.kind;
    return std::nullopt;
}

const char* CTbmSourceNames::NameOf(std::uint32_t kind)
{
    for (const TbmSourceName& source : All())
        if (source.kind == kind)
            return source.name;
    return "";
}

std::string CTbmSourceNames::List()
{
    std::string list;
    for (const TbmSourceName& source : All())
        list += (list.empty() ? "" : ", ") + std::string(source.name);
    return list;
}
