// Reads arbitrary bytes as a selection file (an array of CCheckStateString) and as a
// stream of objects of two classes. Whatever reads must write back to a stream that
// reads to the same values.
#include "CheckStateString.h"
#include "ObjectReader.h"
#include "ObjectWriter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

class CFuzzPair : public CStreamObject
{
public:
    static constexpr const char* kStreamClassName = "CFuzzPair";
    const char* GetStreamClassName() const override { return kStreamClassName; }
    void WriteTo(CObjectWriter& out) const override
    {
        out.WriteString(name);
        out.WriteI32(number);
        out.WriteU16(flags);
    }
    void ReadFrom(CObjectReader& in) override
    {
        name = in.ReadString();
        number = in.ReadI32();
        flags = in.ReadU16();
    }
    std::string name;
    std::int32_t number = 0;
    std::uint16_t flags = 0;
};

// One value per object read: "-" for null, else the class and its fields.
using Values = std::vector<std::string>;

std::string Describe(const CStreamObject* object)
{
    if (!object)
        return "-";
    if (const auto* pair = dynamic_cast<const CFuzzPair*>(object))
        return "P" + pair->name + "|" + std::to_string(pair->number) + "|" +
               std::to_string(pair->flags);
    const auto* check = static_cast<const CCheckStateString*>(object);
    return "C" + check->GetKey() + "|" + std::to_string(check->GetState());
}

// Reads objects until the bytes end or are malformed; returns those read in full.
std::vector<std::unique_ptr<CStreamObject>> ReadAll(const std::vector<std::uint8_t>& bytes,
                                                    bool& complete)
{
    CObjectReader in(bytes);
    in.AcceptClass<CCheckStateString>();
    in.AcceptClass<CFuzzPair>();
    std::vector<std::unique_ptr<CStreamObject>> objects;
    complete = true;
    try {
        while (in.GetRemaining() > 0)
            objects.push_back(in.ReadObject());
    } catch (const CObjectStreamError&) {
        complete = false;
    }
    return objects;
}

Values DescribeAll(const std::vector<std::unique_ptr<CStreamObject>>& objects)
{
    Values values;
    for (const auto& object : objects)
        values.push_back(Describe(object.get()));
    return values;
}

void GenericStream(const std::vector<std::uint8_t>& bytes)
{
    bool complete = false;
    const auto objects = ReadAll(bytes, complete);
    CObjectWriter out;
    for (const auto& object : objects)
        out.WriteObject(object.get());
    const auto again = ReadAll(out.GetBytes(), complete);
    if (!complete || DescribeAll(again) != DescribeAll(objects))
        std::abort();
}

void SelectionFile(const std::vector<std::uint8_t>& bytes)
{
    std::vector<std::unique_ptr<CCheckStateString>> records;
    try {
        CObjectReader in(bytes);
        in.AcceptClass<CCheckStateString>();
        records = in.ReadObjects<CCheckStateString>();
    } catch (const CObjectStreamError&) {
        return;
    }
    CObjectWriter out;
    out.WriteObjects(records);
    CObjectReader in(out.GetBytes());
    in.AcceptClass<CCheckStateString>();
    const auto again = in.ReadObjects<CCheckStateString>();
    if (again.size() != records.size() || in.GetRemaining() != 0)
        std::abort();
    for (std::size_t i = 0; i < records.size(); ++i)
        if (!(*again[i] == *records[i]))
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::uint8_t> bytes(data, data + size);
    SelectionFile(bytes);
    GenericStream(bytes);
    return 0;
}
