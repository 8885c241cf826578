#pragma once

#include <cstdint>
#include <string>

// Base of the engine's progress object. The archive fills the fields before it
// reports (the type first), calls Init, SetTotal, the call operator once per chunk
// and CallbackEnd; returning false from Callback asks the archive to stop.
// Callbacks run on the thread that uses the archive; there is no locking here.
class CZipProgressCallback
{
public:
    // Kinds of work that report progress (bit values, combinable in a mask).
    enum CallbackType
    {
        CbAdd = 1,          // adding a file (total = file size)
        CbAddTemp = 2,      // copying a trial-compressed entry in (total = compressed size)
        CbAddStore = 4,     // re-adding a file stored (total = file size)
        CbExtract = 8,      // extracting (total = uncompressed size)
        CbDeleteCount = 16, // marking entries before deleting (total = entries)
        CbDelete = 32,      // moving data while deleting (total = bytes to move)
        CbTest = 64,        // testing (total = uncompressed size)
        CbSave = 128,       // writing the central directory (total = records)
        CbReserved1 = 256,  // accepted in masks, never reported
        CbReserved2 = 512,  // accepted in masks, never reported
        CbReplace = 1024,   // making room for a replaced entry (total = bytes to move)
        CbAll = 2047,
    };

    // Records between two progress reports of the central-directory writer and of
    // the deletion pre-pass; the engine reads it as well.
    static constexpr int CallbackStep = 256;

    virtual bool Callback(int bytes) = 0;
    virtual void Init(const std::string& nameInArchive = {}, const std::string& externalPath = {});
    virtual void SetTotal(std::uint64_t total);
    virtual void CallbackEnd() {}
    virtual bool operator()(int bytes);
    virtual ~CZipProgressCallback() = default;

    std::string m_externalPath;    // file on disk concerned (may be empty)
    int m_type = 0;                // CallbackType being reported
    std::uint64_t m_total = 0;     // units of the whole action
    std::uint64_t m_processed = 0; // units done so far
    std::string m_nameInArchive;   // entry concerned
};
