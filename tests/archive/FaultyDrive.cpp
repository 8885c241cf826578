#include "FaultyDrive.h"

namespace tbmtest {

std::unique_ptr<CZipStream> CFaultyDrive::OpenFile(const std::string& path, unsigned flags,
                                                   bool throwOnError)
{
    std::unique_ptr<CZipStream> file = m_inner.OpenFile(path, flags, throwOnError);
    if (!file)
        return nullptr;
    return std::make_unique<CFailingStream>(std::move(file), m_budget);
}

} // namespace tbmtest
