#pragma once

// The fixture of the backup run tests: an engine with a fake My Files source that
// takes real files from the test's folder, a recorder for the posted messages and a
// scripted prompt.
#include "BackupManger.h"
#include "EngineTest.h"
#include "Notify.h"
#include "NotifyRecorder.h"
#include "ResultCodes.h"
#include "ScriptedPrompt.h"
#include "TextInserts.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace backuptest {

using enginetest::EngineTest;

// A source driven by a list of files: adds each through the engine's file check and
// stores it under a name of its own, like the real sources do.
class CFakeSource : public CBackupMangerSource
{
public:
    CFakeSource() : CBackupMangerSource("Fake.tdat") {}
    std::vector<std::pair<std::string, std::string>> m_Files; // path, entry name
    int m_nCollects = 0;

    int Collect(std::string& catalogueName) override
    {
        ++m_nCollects;
        m_ItemList.RemoveAll();
        for (const auto& [path, entry] : m_Files) {
            if (IsStopRequested())
                return result::kAbortScan;
            const int code = CheckFileLoop(path);
            if (code == result::kSkip)
                continue;
            if (code != result::kSuccess)
                return code;
            auto info = std::make_unique<CAddInfo>(path, 4);
            info->m_strEntryName = entry;
            m_ItemList.Add(std::move(info));
        }
        if (!WriteCatalogue("Fake.tdat"))
            return result::kReadError;
        catalogueName = "Fake.tdat";
        return result::kSuccess;
    }
};

// `bytes` of noise that deflate cannot shrink, the same for the same seed.
inline std::string Noise(std::size_t bytes, std::uint32_t seed)
{
    std::string noise(bytes, '\0');
    for (char& c : noise) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<char>(seed >> 24);
    }
    return noise;
}

inline int RunCommand(const std::string& command)
{
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Cancels the run when the file with the given number is about to be processed.
class CCancelAt : public CNotifyRecorder
{
public:
    CCancelAt(CBackupProgress& progress, std::intptr_t number)
        : m_progress(progress), m_number(number)
    {
    }
    void post(unsigned message, std::uintptr_t first, std::intptr_t second) override
    {
        if (message == notify::kEvent && first == notify::kFileNumber && second == m_number)
            m_progress.m_CancelEvent.Set();
        CNotifyRecorder::post(message, first, second);
    }

private:
    CBackupProgress& m_progress;
    std::intptr_t m_number;
};

class BackupMangerTest : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        auto source = std::make_unique<CFakeSource>();
        m_pSource = source.get();
        m_engine.SetMyFiles(std::move(source));
        m_engine.Reset();
        m_engine.SetMode(0);
        m_engine.GetReport().LoadTemplate(CHtmlReport::kBackupTemplate);
        m_engine.GetReport().SetPlaceholder(CHtmlReport::kBackupSt);
        g_ProjectData.m_strJobName = "Test job";
        g_ProjectData.m_strOutputPath = m_dir / "out.tbm";
    }

    std::string MakeFile(const std::string& name, const std::string& content)
    {
        const std::string path = m_dir / name;
        tbmtest::WriteFileBytes(path, content);
        return path;
    }

    // Collect, catalogue and the run, as the user interface drives them.
    void Backup()
    {
        m_engine.StartCollect(&m_recorder);
        ASSERT_EQ(m_engine.WaitCollect(), result::kSuccess);
        ASSERT_EQ(m_engine.WriteCatalogue(), 1);
        ASSERT_EQ(m_engine.StartBackup(&m_recorder), 0);
        m_engine.WaitForWorker();
    }

    // The verification of the job's output file, waited for.
    void RunVerify()
    {
        ASSERT_EQ(m_engine.Verify(&m_recorder), 0);
        m_engine.WaitForWorker();
    }

    bool ReportHas(unsigned textId)
    {
        return ReportHas(CHtmlReport::EscapeHtml(LoadResString(textId)));
    }
    bool ReportHas(const std::string& text)
    {
        return m_engine.GetReport().GetText().find(text) != std::string::npos;
    }

    // Declared before the engine, whose destructor may still ask or post.
    tbmtest::CScriptedPrompt m_prompt;
    CNotifyRecorder m_recorder;
    CBackupManger m_engine;
    CFakeSource* m_pSource = nullptr;
};

} // namespace backuptest
