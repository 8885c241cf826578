#pragma once

#include <stdexcept>
#include <string>

// A fault in a mail store's folder index ("Folders.dbx"): the message names what was
// wrong ("Wrong object marker !", ...). The reader catches it at its top, keeps the
// folders read before it and hands the message to its caller.
class CDbx5Exception : public std::runtime_error
{
public:
    explicit CDbx5Exception(const std::string& message) : std::runtime_error(message) {}
};
