// The power source read from folders laid out as the kernel's power-supply class:
// a scheduled run that must not run on battery is held back only when the machine
// really is on battery, never for lack of knowledge.
#include "PowerSupply.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using tbmtest::WriteFileBytes;

class PowerSupplyTest : public tbmtest::TempDirTest
{
protected:
    void TearDown() override { unsetenv(CPowerSupply::kOnlyOnMains); }
    std::string Supply(const std::string& name, const std::string& type, const std::string& online,
                       const std::string& scope = {})
    {
        const std::string folder = m_dir / ("supplies/" + name);
        std::filesystem::create_directories(folder);
        WriteFileBytes(folder + "/type", type + "\n");
        if (!online.empty())
            WriteFileBytes(folder + "/online", online + "\n");
        if (!scope.empty())
            WriteFileBytes(folder + "/scope", scope + "\n");
        return m_dir / "supplies";
    }
};

} // namespace

TEST_F(PowerSupplyTest, OnlyALaptopWithoutOutsidePowerIsOnBattery)
{
    // No such folder, then a desktop whose only battery is the mouse's.
    EXPECT_FALSE(CPowerSupply::IsOnBattery(m_dir / "supplies"));
    const std::string folder = Supply("hidpp_battery_0", "Battery", "", "Device");
    EXPECT_FALSE(CPowerSupply::IsOnBattery(folder));
    // A laptop: its adapter unplugged, a USB-C port with nothing in it.
    Supply("BAT0", "Battery", "");
    Supply("AC", "Mains", "0");
    Supply("ucsi-source-psy-USBC000:001", "USB", "0");
    EXPECT_TRUE(CPowerSupply::IsOnBattery(folder));
    // Charging through USB-C, then through the adapter.
    Supply("ucsi-source-psy-USBC000:001", "USB", "1");
    EXPECT_FALSE(CPowerSupply::IsOnBattery(folder));
    Supply("ucsi-source-psy-USBC000:001", "USB", "0");
    Supply("AC", "Mains", "1");
    EXPECT_FALSE(CPowerSupply::IsOnBattery(folder));

    // A run is held only when its task asked for mains power.
    Supply("AC", "Mains", "0");
    EXPECT_FALSE(CPowerSupply::MustWaitForMains(folder));
    setenv(CPowerSupply::kOnlyOnMains, "1", 1);
    EXPECT_TRUE(CPowerSupply::MustWaitForMains(folder));
    Supply("AC", "Mains", "1");
    EXPECT_FALSE(CPowerSupply::MustWaitForMains(folder));
}
