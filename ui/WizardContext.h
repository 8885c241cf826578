#pragma once

#include "DataSources.h"

#include <functional>

class CBackupManger;
class CQtNotify;
class CTvPropertiesPages;

// What the wizard pages share: the engine, the notify its threads post to, the data
// sources it was given, the page frame, and how to end the program. The main window
// owns it; every page keeps a reference.
struct CWizardContext
{
    CBackupManger& engine;
    CQtNotify& notify;
    InstalledSources sources;
    CTvPropertiesPages* frame = nullptr;
    // Closes the program as the Exit command does.
    std::function<void()> exitProgram;
    // Set when another job was chosen: the selection pages build their trees anew.
    bool treesStale = true;
};
