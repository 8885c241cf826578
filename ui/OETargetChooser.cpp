#include "OETargetChooser.h"

#include "IdentityListDlg.h"
#include "OEWizardDlg.h"
#include "UiDialogs.h"

#include "OEData.h"
#include "OEIdentities.h"

#include "Globals.h"

#include <algorithm>

namespace {

constexpr const char* kImportInstructions = "htmlpages/importoe.html";

} // namespace

COETargetChooser::COETargetChooser(COEIdentities& identities, QWidget* parent)
    : m_identities(identities), m_parent(parent)
{
}

std::string COETargetChooser::ChooseFor(const COEData& data)
{
    const std::vector<std::string>& guids = m_identities.GetGuids();
    const bool known = std::find(guids.begin(), guids.end(), data.GetGuid()) != guids.end();
    return known ? data.GetGuid() : Ask(data);
}

std::string COETargetChooser::NameOf(const std::string& guid) const
{
    const std::vector<std::string>& guids = m_identities.GetGuids();
    const auto found = std::find(guids.begin(), guids.end(), guid);
    return found == guids.end()
               ? std::string()
               : m_identities.GetNames()[static_cast<std::size_t>(found - guids.begin())];
}

std::string COETargetChooser::Ask(const COEData& data)
{
    const std::vector<std::string>& guids = m_identities.GetGuids();
    const auto chosen = std::find(guids.begin(), guids.end(), data.GetTargetGuid());
    const int chosenRow = chosen == guids.end() ? -1 : static_cast<int>(chosen - guids.begin());
    CIdentityListDlg list(data.GetIdentityName(), m_identities.GetNames(), chosenRow, m_parent);
    if (CUiDialogs::Exec(list) != QDialog::Accepted)
        return {};
    const int choice = list.GetChoice();
    if (choice == list.NewIdentityRow())
        return CreateNew();
    return choice >= 0 ? ConfirmExisting(choice) : std::string();
}

// An existing identity may hold mail of its own: the wizard has the user confirm it,
// or take a new identity instead.
std::string COETargetChooser::ConfirmExisting(int position)
{
    COEWizardDlg wizard(m_parent);
    switch (CUiDialogs::Exec(wizard)) {
    case COEWizardDlg::kUseIdentity:
        return m_identities.GetGuids()[static_cast<std::size_t>(position)];
    case COEWizardDlg::kNewIdentity:
        g_Globals.OpenDocument(g_Globals.GetProgramPath(kImportInstructions), true);
        return CreateNew();
    default:
        return {};
    }
}

std::string COETargetChooser::CreateNew()
{
    std::string guid;
    std::string name;
    return m_identities.CreateIdentity(guid, name) < 0 ? std::string() : guid;
}
