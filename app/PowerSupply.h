#pragma once

#include <string>

// The machine's power source as the kernel's power-supply class shows it (one
// folder per supply with its "type", "online" and, for a device's own battery,
// "scope"). A scheduled task whose form cannot say "not on battery power" (an
// autostart entry, a crontab line) carries kOnlyOnMains in its environment instead,
// and the unattended run asks here before it starts.
class CPowerSupply
{
public:
    static constexpr const char* kFolder = "/sys/class/power_supply";
    static constexpr const char* kOnlyOnMains = "TBM_ONLY_ON_MAINS";
    // What a run held back says (to the status log, and to stderr without a display).
    static constexpr const char* kHeldBack =
        "the scheduled job is not run: it runs only on mains power, and the machine is on battery";

    // True when the machine has a battery of its own and no outside supply (type
    // "Mains" or "USB...") is online. Without a battery (a desktop, or nothing can be
    // read) it runs on mains: a run is never held back for lack of knowledge.
    static bool IsOnBattery(const std::string& folder = kFolder);
    // True when this process was started by a task that must not run on battery
    // power (kOnlyOnMains is "1") and the machine runs on battery now.
    static bool MustWaitForMains(const std::string& folder = kFolder);
};
