#pragma once

#include <cstdint>
#include <ctime>
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
    explicit CUpdateRule(std::time_t racyFrom) : m_racyFrom(racyFrom) {}

    Verdict Check(const std::string& path, const CZipEntryHeader& stored) const;
    // Size and CRC only (the catalogue files, written anew before every run).
    static bool SameContent(const std::string& path, const CZipEntryHeader& stored);

private:
    std::time_t m_racyFrom;
};
