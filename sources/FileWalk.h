#pragma once

#include <sys/stat.h>

#include <functional>
#include <string>

// A sorted, recursive walk of a folder that never follows a symbolic link: links are
// neither entered nor handed out, so a link loop or a link out of the folder costs
// nothing. Names are sorted by byte value within each folder, so every run sees the
// same order.
class CFileWalk
{
public:
    enum class Step
    {
        Go,   // on with the walk
        Stop, // end the walk here
    };
    // A regular file: its full path, its path relative to the walked folder ("a/b")
    // and its status as the walk read it.
    using FileVisit =
        std::function<Step(const std::string& path, const std::string& relative, const struct stat& st)>;
    // Anything else the walk passes over without entering (FIFOs, sockets, devices,
    // links) or cannot read (st_mode 0); for report lines.
    using OtherVisit = std::function<void(const std::string& path, const struct stat& st)>;

    // False when the walk was stopped by a visit; a folder that cannot be read is
    // reported through `other` and passed over.
    static bool Walk(const std::string& folder, const FileVisit& file, const OtherVisit& other = {});

private:
    static bool WalkFolder(const std::string& folder, const std::string& relative,
                           const FileVisit& file, const OtherVisit& other);
};
