#include "BackupManger.h"

#include "Notify.h"
#include "ResultCodes.h"

void CBackupManger::AddTotals(const CDataSource& source)
{
    m_qwTotalBytes += source.GetTotalSize();
    m_dwTotalFiles += static_cast<std::uint32_t>(source.GetItemCount());
}

int CBackupManger::Collect()
{
    m_CatalogueList.RemoveAll();
    m_qwTotalBytes = 0;
    m_dwTotalFiles = 0;
    // The sources of the backup tree are visited here in tree order once they exist;
    // My Files is collected regardless of the tree.
    if (!m_pMyFiles)
        return result::kSuccess;
    std::string catalogueName;
    const int code = m_pMyFiles->Collect(catalogueName);
    if (code != result::kSuccess)
        return code;
    if (m_pMyFiles->GetTotalSize() > 0) {
        m_Report.WriteLine("Reading My Folders");
        m_CatalogueList.Add(std::make_unique<CBackupTreeItem>(catalogueName, "", 4));
        AddTotals(*m_pMyFiles);
        m_Report.WriteFormatted("Selected Files : %zu", m_pMyFiles->GetItemCount());
        m_Report.WriteFormatted("Selected Files Size: %llu",
                                static_cast<unsigned long long>(m_pMyFiles->GetTotalSize()));
    }
    return result::kSuccess;
}

void CBackupManger::StartCollect(CNotify* notify)
{
    if (m_Collector.joinable())
        m_Collector.join();
    m_ScanCancelEvent.Reset();
    m_ScanRunningEvent.Set();
    m_pScanNotify = notify;
    m_FileCheck.SetScanNotify(notify);
    m_Collector = std::thread([this] {
        m_nCollectResult = Collect();
        if (m_nCollectResult == result::kSuccess && m_pScanNotify)
            m_pScanNotify->post(notify::kCollectDone, 0, 0);
        m_ScanCancelEvent.Reset();
        m_ScanRunningEvent.Reset();
    });
}

int CBackupManger::WaitCollect()
{
    if (m_Collector.joinable())
        m_Collector.join();
    m_pScanNotify = nullptr;
    m_FileCheck.SetScanNotify(nullptr);
    return m_nCollectResult;
}

void CBackupManger::CancelCollect()
{
    if (!m_Collector.joinable())
        return;
    m_ScanCancelEvent.Set();
    m_ScanRunningEvent.WaitReset();
    WaitCollect();
}
