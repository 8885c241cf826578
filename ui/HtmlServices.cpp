#include "HtmlServices.h"

#include "Globals.h"
#include "HtmlCtrl.h"

void InstallHtmlServices()
{
    CHtmlCtrl::SetResourceLoader(
        [](const std::string& library, const std::string& page, std::string& data) {
            data = g_Globals.LoadResourceText(library, page, "RT_HTML");
            return !data.empty();
        });
    CHtmlCtrl::SetLinkOpener(
        [](const std::string& address) { g_Globals.OpenDocument(address, true); });
}
