#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

class CZipEntryHeader;

// Whether a file on disk still matches the entry an earlier backup stored for it.
//
// A different size or type means changed. A different modification time, in either
// direction (a file copied with its old time, moved in, restored, or seen through
// another time zone), means the content decides: a file only touched keeps its
// stored data and takes the new time and mode. The same time proves nothing when
// the stored time lies so close to the earlier run that the file may have changed
// again within the same time step after it was read ("racy"): then the content
// decides too. Times are compared exactly where the entry carries its exact time,
// else in the 2-second steps of the DOS time.
//
// AES entries of the AE-2 form store no CRC: where the content decides, the CRC of
// the stored data comes from reading the entry (`StoredCrc`), only then.
class CUpdateRule
{
public:
    enum Verdict
    {
        kChanged,
        kSame,
        kSameNewMetadata, // same bytes; the time or mode moved
    };

    // `racyFrom`: stored times from this moment on cannot prove a file unchanged
    // (the start of the run that stored them, less one time step). The smallest
    // time_t makes every decision by time alone a decision by content.
    // The CRC of a stored entry's data, read from the archive; false when it cannot be.
    using StoredCrc = std::function<bool(const CZipEntryHeader&, std::uint32_t&)>;

    explicit CUpdateRule(std::time_t racyFrom, StoredCrc storedCrc = {})
        : m_racyFrom(racyFrom), m_storedCrc(std::move(storedCrc))
    {
    }

    Verdict Check(const std::string& path, const CZipEntryHeader& stored) const;
    // Size and CRC only (the catalogue files, written anew before every run).
    bool SameContent(const std::string& path, const CZipEntryHeader& stored) const;

private:
    bool SameCrc(const std::string& path, const CZipEntryHeader& stored) const;

    std::time_t m_racyFrom;
    StoredCrc m_storedCrc;
};
