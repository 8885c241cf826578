#pragma once

#include <string>

// Expands %NAME% references in a text the way Windows expands registry texts, with
// the Windows folder variables mapped to their Linux places (letter case of the
// name ignored):
//   %UserProfile%, %HomePath%   the home folder
//   %HomeDrive%                 empty, so %HomeDrive%%HomePath% is the home folder
//   %AppData%                   $XDG_CONFIG_HOME
//   %LocalAppData%              $XDG_DATA_HOME
//   %Temp%, %Tmp%               the system temporary folder
// Any other name is looked up in the environment (exact name first, then ignoring
// letter case). A reference that names nothing known stays as it is, and its closing
// "%" may open the next reference ("50% of %Temp%" expands %Temp%).
std::string ExpandEnvironmentStrings(const std::string& text);
