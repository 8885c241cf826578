#pragma once

#include "ObjectStreamError.h"
#include "RegArchiveReader.h"
#include "StreamObject.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// Reads an object stream (the form CObjectWriter describes) from a byte range, never
// past its end. Only the classes the caller accepts, with schema 0, are read; every
// other class, a reference to no known class, a back reference to an earlier object
// (the streams of this system never hold one) and bytes that end early throw
// CObjectStreamError. Lists grow as their elements arrive, so a damaged count costs
// no memory. Bytes after what the caller reads are left alone.
class CObjectReader
{
public:
    using Factory = std::function<std::unique_ptr<CStreamObject>()>;

    CObjectReader(const std::uint8_t* data, std::size_t size) : m_in(data, size), m_size(size) {}
    // The reader keeps no copy: the bytes must outlive it.
    explicit CObjectReader(const std::vector<std::uint8_t>& bytes)
        : CObjectReader(bytes.data(), bytes.size())
    {
    }
    explicit CObjectReader(std::vector<std::uint8_t>&&) = delete;
    CObjectReader(const CObjectReader&) = delete;
    CObjectReader& operator=(const CObjectReader&) = delete;

    void AcceptClass(const std::string& name, Factory factory);
    // Accepts T under its T::kStreamClassName.
    template <class T> void AcceptClass()
    {
        AcceptClass(T::kStreamClassName, [] { return std::make_unique<T>(); });
    }

    std::uint16_t ReadU16();
    std::uint32_t ReadU32();
    std::int32_t ReadI32() { return static_cast<std::int32_t>(ReadU32()); }
    std::string ReadString();
    // A count of elements that take at least `minElementSize` bytes each; a count that
    // more bytes than are left could not hold is a format error.
    std::uint32_t ReadCount(std::size_t minElementSize = 1);
    // One object of an accepted class; null for the null object.
    std::unique_ptr<CStreamObject> ReadObject();

    // One object that must be a T (or null).
    template <class T> std::unique_ptr<T> ReadObjectAs()
    {
        std::unique_ptr<CStreamObject> object = ReadObject();
        if (object && !dynamic_cast<T*>(object.get()))
            Fail(std::string("Unexpected class ") + object->GetStreamClassName());
        return std::unique_ptr<T>(static_cast<T*>(object.release()));
    }

    // An array or list of T: a count, then the objects. A null element is a format
    // error, so callers never meet a null in a list.
    template <class T> std::vector<std::unique_ptr<T>> ReadObjects()
    {
        const std::uint32_t count = ReadCount(kMinObjectSize);
        std::vector<std::unique_ptr<T>> objects;
        for (std::uint32_t i = 0; i < count; ++i) {
            std::unique_ptr<T> object = ReadObjectAs<T>();
            if (!object)
                Fail("Null object in a list");
            objects.push_back(std::move(object));
        }
        return objects;
    }

    std::size_t GetRemaining() const { return m_in.Remaining(); }

private:
    // Every object takes at least its two-byte tag.
    static constexpr std::size_t kMinObjectSize = 2;

    [[noreturn]] void Fail(const std::string& what) const;
    [[noreturn]] void FailEnd() const { Fail("Unexpected end of the object stream"); }
    std::size_t ReadNewClass();
    std::size_t FindClass(std::uint32_t number) const;
    std::uint32_t TakeNumber();

    struct CAcceptedClass
    {
        std::string name;
        Factory factory;
    };

    CRegArchiveReader m_in;
    std::size_t m_size;
    std::vector<CAcceptedClass> m_accepted;
    // Class number in this stream -> index into m_accepted.
    std::unordered_map<std::uint32_t, std::size_t> m_classes;
    std::uint32_t m_nextNumber = 1;
};
