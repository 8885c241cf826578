#pragma once

class CObjectReader;
class CObjectWriter;

// An object that an object stream can carry: it names its class (written once per
// stream, then referred to by number) and writes and reads its own fields in order.
// Every class has schema 0.
class CStreamObject
{
public:
    CStreamObject() = default;
    virtual ~CStreamObject();
    CStreamObject(const CStreamObject&) = default;
    CStreamObject& operator=(const CStreamObject&) = default;

    virtual const char* GetStreamClassName() const = 0;
    virtual void WriteTo(CObjectWriter& out) const = 0;
    // Throws CObjectStreamError when the fields are malformed or cut short.
    virtual void ReadFrom(CObjectReader& in) = 0;
};
