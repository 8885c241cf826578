#pragma once

#include "ZipDrive.h"

namespace tbmtest {

// Installs a drive interface for the lifetime of the object.
class DriveScope
{
public:
    explicit DriveScope(CZipDrive& drive) : m_previous(CZipDrive::SetCurrent(&drive)) {}
    ~DriveScope() { CZipDrive::SetCurrent(m_previous); }
    DriveScope(const DriveScope&) = delete;
    DriveScope& operator=(const DriveScope&) = delete;

private:
    CZipDrive* m_previous;
};

} // namespace tbmtest
