#pragma once

#include "ZipException.h"

#include <functional>

namespace tbmtest {

// The cause of the CZipException that `action` throws; 0 when it throws none.
inline int CauseOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const CZipException& e) {
        return e.GetCause();
    }
    return 0;
}

} // namespace tbmtest
