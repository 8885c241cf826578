#include "ZipDrive.h"

#include "ZipRealDrive.h"

#include <atomic>

namespace {

CZipRealDrive g_realDrive;
std::atomic<CZipDrive*> g_currentDrive{&g_realDrive};

} // namespace

CZipDrive& CZipDrive::Current()
{
    return *g_currentDrive.load();
}

CZipDrive* CZipDrive::SetCurrent(CZipDrive* drive)
{
    return g_currentDrive.exchange(drive ? drive : &g_realDrive);
}
