#pragma once

#include "DataSource.h"
#include "TextSink.h"
#include "TvEvent.h"

#include <functional>
#include <string>
#include <vector>

// A data source the backup job collects from: it walks its selection, checks every
// file through the engine's file check, leaves one entry per file in its item list
// and writes its catalogue into the work folder. Sources look at the stop request
// while they walk, so a cancelled collection ends soon (result 12).
class CBackupMangerSource : public CDataSource
{
public:
    using CDataSource::CDataSource;

    // 0 with the catalogue's file name, or a result code (7 cancel, 12 stopped, ...).
    virtual int Collect(std::string& catalogueName) = 0;
    // Whether the data the source stands for exist on this machine; a source that is
    // not present gets no node in the backup tree.
    virtual bool IsPresent() const { return true; }
    // The Outlook Express source: the names of its identities in list order.
    virtual std::vector<std::string> GetIdentityNames() const { return {}; }
    // The Outlook Express source: the data of the identity at `position` (list order),
    // collected like any source; null when there is none.
    virtual CBackupMangerSource* GetIdentitySource(std::size_t position)
    {
        (void)position;
        return nullptr;
    }
    // Keeps the source's selection with the job; nothing by default.
    virtual void SaveSelection() {}
    // Restore: fills the restore plan with the entries to take out of the archive, each
    // with its target folder (m_strSourcePath), target path, entry name, size and
    // kind; 0, or 7 when the user cancelled. The engine takes the list over.
    virtual int PlanRestore() { return 0; }
    // Restore: puts the named catalogue file of the backup into the work folder and
    // gives its path; 0 or the extraction's result code.
    using CatalogueExtract = std::function<int(const std::string& name, std::string& path)>;
    // Restore: reads the source's catalogue from the backup through `extract` and
    // builds what the source offers for restoring; 0 or a result code (10 when the
    // catalogue cannot be read). Sources without a catalogue have nothing to load.
    virtual int LoadForRestore(const CatalogueExtract& extract)
    {
        (void)extract;
        return 0;
    }

    void SetStopRequest(const CTvEvent* stop) { m_pStopRequest = stop; }
    bool IsStopRequested() const { return m_pStopRequest && m_pStopRequest->IsSet(); }
    // Where the source writes its log lines (the job's report); may be null.
    void SetReport(CTextSink* report) { m_pReport = report; }

protected:
    void Log(const std::string& line) const
    {
        if (m_pReport)
            m_pReport->WriteLine(line);
    }

private:
    const CTvEvent* m_pStopRequest = nullptr;
    CTextSink* m_pReport = nullptr;
};
