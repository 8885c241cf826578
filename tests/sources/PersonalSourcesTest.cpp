// The address book, favorites, fonts and applications sources: where each finds its
// data on this system and what a backup takes from there.
#include "PersonalFixture.h"

#include "ApplicationsData.h"
#include "FavoritesData.h"
#include "FontsData.h"
#include "WabData.h"

#include "CheckTreeModel.h"
#include "ItemTag.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

std::vector<std::string> EntryNames(CDataSource& source)
{
    std::vector<std::string> names;
    for (const CAddInfo* info : source.GetItemList())
        if (!info->m_strEntryName.empty())
            names.push_back(info->m_strEntryName);
    return names;
}

std::vector<std::string> Texts(const CCheckTreeModel& tree, TvTreeItem parent)
{
    std::vector<std::string> texts;
    for (TvTreeItem item = tree.GetChildItem(parent); item; item = tree.GetNextSiblingItem(item))
        texts.push_back(tree.GetItemText(item));
    return texts;
}

std::string Expand(const std::string& text)
{
    return text + std::string(1, '\0');
}

} // namespace

class PersonalSourcesTest : public PersonalFixture
{
};

TEST_F(PersonalSourcesTest, AddressBookComesFromWab5OverWab4AndIsLeftOutWithoutEither)
{
    CWabData none;
    std::string catalogue = "stale";
    EXPECT_EQ(0, none.Collect(catalogue));
    EXPECT_EQ("", catalogue);
    EXPECT_EQ(0u, none.GetItemCount());
    EXPECT_FALSE(none.IsPresent());

    Put(m_home + "/Books/old.wab", "four");
    Put(m_home + "/Books/new.wab", "five!");
    SetValue(CWabData::kWab4Key, "", REG_EXPAND_SZ, Expand("%UserProfile%\\Books\\old.wab"));
    CWabData wab4;
    EXPECT_EQ(m_home + "/Books/old.wab", wab4.Path());
    ASSERT_EQ(0, wab4.Collect(catalogue));
    EXPECT_EQ("wab.tdat", catalogue);
    EXPECT_EQ(std::vector<std::string>{"Wab\\old.wab"}, EntryNames(wab4));

    SetText(CWabData::kWab5Key, "", m_home + "/Books/NEW.WAB"); // the case on disk differs
    CWabData wab5;
    EXPECT_EQ(m_home + "/Books/new.wab", wab5.Path());
    ASSERT_EQ(0, wab5.Collect(catalogue));
    EXPECT_EQ(std::vector<std::string>{"Wab\\new.wab"}, EntryNames(wab5));
    EXPECT_EQ(5u, wab5.GetItemList()[1]->m_dwSize);
}

TEST_F(PersonalSourcesTest, FavoritesAreTheSortedRegularFilesBelowTheFolderNeverFollowingLinks)
{
    SetValue(CFavoritesData::kShellFoldersKey, "Favorites", REG_EXPAND_SZ,
             Expand("%UserProfile%\\Favs"));
    const std::string favs = m_home + "/Favs";
    Put(favs + "/b.url", "[InternetShortcut]\r\nURL=http://b/\r\n");
    Put(favs + "/Links/a.url", "[InternetShortcut]\r\nURL=http://a/\r\n");
    Put(m_home + "/secret.txt", "not a favorite");
    ASSERT_EQ(0, symlink(favs.c_str(), (favs + "/Links/loop").c_str()));
    ASSERT_EQ(0, symlink((m_home + "/secret.txt").c_str(), (favs + "/out.url").c_str()));
    ASSERT_EQ(0, mkfifo((favs + "/pipe").c_str(), 0600));

    CFavoritesData favorites;
    EXPECT_EQ(favs, favorites.GetFolder());
    EXPECT_EQ(1, favorites.Load());
    EXPECT_EQ(2u, favorites.Count());
    std::string catalogue;
    ASSERT_EQ(0, favorites.Collect(catalogue));
    EXPECT_EQ("favorites.tdat", catalogue);
    EXPECT_EQ((std::vector<std::string>{"Fav\\Links\\a.url", "Fav\\b.url"}), EntryNames(favorites));
    EXPECT_FALSE(Logged("Favorites folder not found"));
}

TEST_F(PersonalSourcesTest, FavoritesWithoutTheShellFoldersKeyUseTheDefaultFolder)
{
    Put(Data("TBManager/Favorites/x.url"), "x");
    CFavoritesData favorites;
    EXPECT_TRUE(Logged("Favorites folder not found"));
    EXPECT_EQ(Data("TBManager/Favorites"), favorites.GetFolder());
    std::string catalogue;
    ASSERT_EQ(0, favorites.Collect(catalogue));
    EXPECT_EQ(std::vector<std::string>{"Fav\\x.url"}, EntryNames(favorites));
}

TEST_F(PersonalSourcesTest, FontsListTopLevelFontFilesAndTakeOnlyTheSavedChoice)
{
    const std::string fonts = Data("fonts");
    Put(fonts + "/b.otf", "bb");
    Put(fonts + "/a.ttf", "aaa");
    Put(fonts + "/.uuid", "fontconfig");
    Put(fonts + "/fonts.cache-1", "fontconfig");
    Put(fonts + "/sub/c.ttf", "below");
    ASSERT_EQ(0, mkfifo((fonts + "/pipe.ttf").c_str(), 0600));
    g_ProjectData.NewJob();
    ASSERT_TRUE(g_ProjectData.RenameJob("Fonts job"));
    ASSERT_TRUE(g_ProjectData.SaveJob());

    CFontsData first;
    first.SetMode(0);
    ASSERT_EQ(0, first.Show());
    EXPECT_EQ((std::vector<std::string>{"a.ttf", "b.otf"}), Texts(first.GetList(), {}));
    // Without a saved choice nothing is checked, and nothing taken.
    std::string catalogue;
    ASSERT_EQ(0, first.Collect(catalogue));
    EXPECT_TRUE(EntryNames(first).empty());
    first.GetList().SetItemCheckState(first.GetList().GetRootItem(), tvcheck::kChecked);
    first.SaveSelection();

    // An unattended run shows no list: the saved choice, keyed by name, decides.
    CFontsData second;
    second.SetMode(0);
    ASSERT_EQ(0, second.Collect(catalogue));
    EXPECT_EQ(std::vector<std::string>{"Fonts\\a.ttf"}, EntryNames(second));
}

TEST_F(PersonalSourcesTest, ApplicationsOfferThePresentRowsAndTakeTheirFoldersWhole)
{
    const auto rowTexts = [](CApplicationsData& applications) {
        applications.SetMode(0);
        applications.FillTree();
        CCheckTreeModel& tree = applications.GetTree();
        return Texts(tree, tree.GetRootItem());
    };
    const auto has = [](const std::vector<std::string>& texts, const std::string& text) {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    };
    {
        CApplicationsData applications;
        const std::vector<std::string> texts = rowTexts(applications);
        EXPECT_FALSE(has(texts, "Babylon Application"));
        EXPECT_FALSE(has(texts, "Geany"));
    }

    const std::string babylon = m_dir / "Program Files/Babylon";
    Put(babylon + "/Babylon.exe", "MZ");
    Put(babylon + "/Dict/en.dat", "dictionary");
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              TvRegCreateKeyEx(HKEY_LOCAL_MACHINE,
                               "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Babylon.exe",
                               0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    const std::string path = babylon + std::string(1, '\0');
    ASSERT_EQ(ERROR_SUCCESS, TvRegSetValueEx(key, "Path", 0, REG_SZ,
                                             reinterpret_cast<const BYTE*>(path.data()),
                                             static_cast<DWORD>(path.size())));
    TvRegCloseKey(key);
    Put(Config("geany/geany.conf"), "[geany]\n");
    Put(Config("geany/filedefs/filetypes.c"), "[styling]\n");
    ASSERT_EQ(0, symlink("/", Config("geany/root").c_str()));

    CApplicationsData applications;
    const std::vector<std::string> texts = rowTexts(applications);
    EXPECT_TRUE(has(texts, "Babylon Application"));
    EXPECT_TRUE(has(texts, "Geany"));
    applications.GetTree().CheckAll();
    std::string catalogue;
    ASSERT_EQ(0, applications.Collect(catalogue));
    EXPECT_EQ("Applications.tdat", catalogue);
    EXPECT_EQ((std::vector<std::string>{"APP\\Babylon\\Files\\Babylon.exe",
                                        "APP\\Babylon\\Files\\Dict\\en.dat",
                                        "APP\\Geany\\Files\\filedefs\\filetypes.c",
                                        "APP\\Geany\\Files\\geany.conf"}),
              EntryNames(applications));
}
