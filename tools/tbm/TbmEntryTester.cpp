#include "TbmEntryTester.h"

#include "Notify.h"
#include "TbmArchive.h"
#include "TbmConsole.h"
#include "TbmInterrupt.h"
#include "TbmTerminalText.h"
#include "ZipException.h"

namespace {

void Post(CNotify& notify, int code, std::intptr_t value)
{
    notify.post(notify::kEvent, static_cast<std::uintptr_t>(code), value);
}

void Say(const std::string& text)
{
    CTbmConsole::Get().Write("tbm: " + CTbmTerminalText::Escape(text) + "\n");
}

} // namespace

void CTbmEntryTester::Run(const std::string& path, const std::string& password, CNotify& notify)
{
    CTbmArchive archive;
    std::string error;
    try {
        archive.Open(path);
    } catch (const std::exception& e) {
        // Nothing was tested: that is no pass and no count of damaged entries.
        Say(path + ": " + e.what());
        Post(notify, notify::kVerifyEnded, notify::kVerifyUnreadable);
        return;
    }
    if (!archive.PreparePassword(password, error)) {
        Say(error);
        Post(notify, notify::kVerifyEnded, notify::kVerifyUnreadable);
        return;
    }
    CZipContainer& zip = archive.Zip();
    CZipEntryWorkers workers(zip, 0, archive.WorkerOpener());
    std::intptr_t failed = 0;
    const auto judge = [&](int index, const CZipEntryWorkers::Result& result) {
        CZipEntryHeader header;
        zip.GetFileInfo(header, index);
        const std::string name = CTbmArchive::EntryName(header);
        Post(notify, notify::kVerifyName, reinterpret_cast<std::intptr_t>(name.c_str()));
        if (!result.ok) {
            const std::string why = CZipEntryWorkers::ErrorText(result);
            Say("failed the test: " + name + (why.empty() ? "" : ": " + why));
            ++failed;
        }
        return !CTbmInterrupt::IsRaised();
    };
    const bool finished = workers.Run(
        CZipEntryWorkers::Indexes(zip.GetCount()),
        [](CZipContainer& archive, int index) { return archive.TestFile(index); }, judge,
        [](std::uint64_t) { return !CTbmInterrupt::IsRaised(); });
    if (!finished || failed)
        Post(notify, notify::kVerifyEnded, failed);
    else
        Post(notify, notify::kVerifyPassed, 0);
}
