#pragma once

#include "ApplicationTable.h"
#include "DataSource.h"
#include "StreamObject.h"

#include <string>

// One known application: its row of the table, where it lives on this system and
// the entries collected from there. Its description streams as nothing (the class
// tag alone): the table is built in, not stored.
class CDataApplicationObject : public CDataSource, public CStreamObject
{
public:
    static constexpr const char* kStreamClassName = "CDataApplicationObject";

    explicit CDataApplicationObject(const ApplicationRow& row);

    const char* GetStreamClassName() const override { return kStreamClassName; }
    void WriteTo(CObjectWriter&) const override {}
    void ReadFrom(CObjectReader&) override {}

    // Reads the folders anew; 1 when the application is present, else 0.
    int Detect();
    bool IsPresent() const { return m_nPresent != 0; }

    const std::string& GetDisplayName() const { return m_strDisplayName; }
    const std::string& GetShortName() const { return m_strShortName; }
    // Where its files are collected from and restored to: the installation folder
    // when it exists, else the second one; for a Linux program its settings folder,
    // also before it exists (a fresh system gets it back). Empty when unknown.
    std::string GetFolder() const;
    // "APP\" + short name + "\Files".
    std::string GetArchiveFolder() const;

private:
    static std::string ReadPathValue(HKEY root, const std::string& key);

    std::string m_strDisplayName;
    std::string m_strShortName;
    std::string m_strFirstPathKey;
    std::string m_strSecondPathKey;
    HKEY m_FirstRoot = nullptr;
    HKEY m_SecondRoot = nullptr;
    std::string m_strSettingsKey;
    std::string m_strFurther[3];
    std::string m_strVersion;
    std::string m_strFolderTemplate;
    std::string m_strInstallFolder;
    std::string m_strSecondInstallFolder;
    int m_nPresent = 0;
};
