#pragma once

#include <string>

class COEData;
class COEIdentities;
class QWidget;

// Chooses the identity of this system that an Outlook Express identity of a backup
// is restored into: the identity itself when this system has it; otherwise the user
// picks one of the existing identities in the identity list and confirms it with the
// identity wizard (190), or takes a new identity.
class COETargetChooser
{
public:
    COETargetChooser(COEIdentities& identities, QWidget* parent);

    // The identity itself when this system has it, else what the user picks (Ask).
    std::string ChooseFor(const COEData& data);
    // What the user picks; empty when the user picks nothing or no identity can be made.
    std::string Ask(const COEData& data);
    // The name of this system's identity `guid`; empty when there is none.
    std::string NameOf(const std::string& guid) const;

private:
    std::string ConfirmExisting(int position);
    std::string CreateNew();

    COEIdentities& m_identities;
    QWidget* m_parent;
};
