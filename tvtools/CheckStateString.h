#pragma once

#include "StreamObject.h"

#include <cstdint>
#include <string>
#include <utility>

// One saved check state of a selection tree item: the item's key and its state (0-5).
// Stream form: the key (string), then the state (u32).
class CCheckStateString : public CStreamObject
{
public:
    static constexpr const char* kStreamClassName = "CCheckStateString";

    CCheckStateString() = default;
    CCheckStateString(std::string key, std::uint32_t state) : m_key(std::move(key)), m_state(state)
    {
    }

    const std::string& GetKey() const { return m_key; }
    void SetKey(const std::string& key) { m_key = key; }
    std::uint32_t GetState() const { return m_state; }
    void SetState(std::uint32_t state) { m_state = state; }

    const char* GetStreamClassName() const override { return kStreamClassName; }
    void WriteTo(CObjectWriter& out) const override;
    void ReadFrom(CObjectReader& in) override;

    bool operator==(const CCheckStateString& other) const
    {
        return m_key == other.m_key && m_state == other.m_state;
    }

private:
    std::string m_key;
    std::uint32_t m_state = 0;
};
