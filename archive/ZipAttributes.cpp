#include "ZipAttributes.h"

#include "ZipException.h"

namespace ZipAttributes {

namespace {

// Bits of a Unix mode as they sit in the high 16 bits of an attribute value.
constexpr std::uint32_t UnixDirectoryType = 0x40000000;
constexpr std::uint32_t UnixRegularType = 0x80000000;
constexpr std::uint32_t UnixOwnerRead = 0x01000000;
constexpr std::uint32_t UnixOwnerWrite = 0x00800000;
constexpr std::uint32_t UnixOwnerExecute = 0x00400000;
constexpr std::uint32_t UnixReadAll = 0x01240000;         // r--r--r--
constexpr std::uint32_t UnixWriteOwnerGroup = 0x00900000; // -w--w----
constexpr std::uint32_t MacKeptBits = AttrDirectory | AttrReadOnly;

bool IsUnchangedSystem(int system)
{
    return system == SystemDos || system == SystemOs2 || system == SystemNtfs;
}

[[noreturn]] void Unsupported()
{
    throw CZipException(CZipException::ErrSystemUnsupported);
}

std::uint32_t UnixToCommon(std::uint32_t a)
{
    std::uint32_t common = 0;
    if (a & UnixDirectoryType)
        common |= AttrDirectory;
    if (!(a & UnixOwnerExecute))
        common |= AttrArchive;
    if (!(a & UnixOwnerWrite))
        common |= AttrReadOnly;
    if (!(a & UnixOwnerRead))
        common |= AttrHidden;
    return common;
}

std::uint32_t CommonToUnix(std::uint32_t a)
{
    std::uint32_t mode = 0;
    if (!(a & AttrHidden))
        mode |= UnixReadAll;
    if (!(a & AttrReadOnly))
        mode |= UnixWriteOwnerGroup;
    mode |= (a & AttrDirectory) ? UnixDirectoryType | AttrDirectory : UnixRegularType;
    return mode;
}

} // namespace

bool IsSupportedSystem(int system)
{
    return IsUnchangedSystem(system) || system == SystemUnix || system == SystemMac;
}

std::uint32_t ToCommon(std::uint32_t attributes, int system)
{
    if (IsUnchangedSystem(system))
        return attributes;
    if (system == SystemUnix)
        return UnixToCommon(attributes);
    if (system == SystemMac)
        return attributes & MacKeptBits;
    Unsupported();
}

std::uint32_t FromCommon(std::uint32_t attributes, int system)
{
    if (IsUnchangedSystem(system))
        return attributes;
    if (system == SystemUnix)
        return CommonToUnix(attributes);
    if (system == SystemMac)
        return attributes & MacKeptBits;
    Unsupported();
}

std::uint32_t Convert(std::uint32_t attributes, int from, int to)
{
    if (from == to || from >= 11 || to >= 11)
        return attributes;
    if (!IsSupportedSystem(from) || !IsSupportedSystem(to))
        Unsupported();
    return FromCommon(ToCommon(attributes, from), to);
}

} // namespace ZipAttributes
