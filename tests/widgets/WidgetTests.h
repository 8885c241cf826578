#pragma once

// Every Qt Test class of this program registers itself here; the main runs them all.
#include <QObject>

#include <functional>
#include <memory>
#include <vector>

namespace widgettest {

using Factory = std::function<std::unique_ptr<QObject>()>;

std::vector<Factory>& Factories();

template <class Test> struct CRegister
{
    CRegister()
    {
        Factories().push_back([] { return std::make_unique<Test>(); });
    }
};

} // namespace widgettest
