#include "HtmlReport.h"

#include "ProjectData.h"

void CHtmlReport::BackupHeader()
{
    const CProjectData& job = g_ProjectData;
    LoadTemplate(kBackupTemplate);
    SetPlaceholder(kBackupInfo);
    WriteFormatted("Backup Job Name : %s", job.GetJobName().c_str());
    WriteFormatted("Backup Job Date : %s", job.GetCreationDate().c_str());
    WriteFormatted("Backup Job Time : %s", job.GetCreationTime().c_str());
    WriteFormatted("Backup Description : %s", job.GetDescription().c_str());
    WriteLine("");
    WriteFormatted("Backup Output File : %s", job.GetOutputPath().c_str());
    WriteFormatted("Backup Type : %s", job.GetBackupTypeText().c_str());
    // Only a job with a password has a method to name.
    if (const std::string encryption = job.GetEncryptionText(); !encryption.empty())
        WriteFormatted("Backup Encryption : %s", encryption.c_str());
    SetPlaceholder(kBackupSt);
}

void CHtmlReport::RestoreHeader()
{
    LoadTemplate(kRestoreTemplate);
    SetPlaceholder(kRestoreInfo);
    WriteFormatted("Restore File Name : %s", g_ProjectData.GetRestoreSourcePath().c_str());
}
