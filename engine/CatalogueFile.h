#pragma once

#include "AutoObArray.h"
#include "ObjectReader.h"
#include "ObjectWriter.h"
#include "WholeFile.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

// Catalogue files that hold one array of objects of one class (".tdat", ".xsel"):
// reading them whole, never trusting their bytes, and writing them through a
// temporary file and a rename.
class CCatalogueFile
{
public:
    enum class Result
    {
        Ok,
        OpenFailed,  // missing or unreadable; `error` holds the system's text
        FormatError, // not a stream of this class; `error` says what is wrong
    };

    // The array of T in `bytes`; throws CObjectStreamError when it is malformed.
    template <class T>
    static std::vector<std::unique_ptr<T>> Parse(const std::vector<std::uint8_t>& bytes)
    {
        CObjectReader in(bytes);
        in.AcceptClass<T>();
        return in.ReadObjects<T>();
    }

    template <class T>
    static Result Read(const std::string& path, std::vector<std::unique_ptr<T>>& objects,
                       std::string& error)
    {
        std::vector<std::uint8_t> bytes;
        if (!TvReadWholeFile(path, bytes)) {
            error = std::strerror(errno);
            return Result::OpenFailed;
        }
        try {
            objects = Parse<T>(bytes);
        } catch (const CObjectStreamError& e) {
            error = std::string("The file ") + path + " is damaged: " + e.what();
            return Result::FormatError;
        }
        return Result::Ok;
    }

    // False with `error` set when the file was not written.
    template <class T>
    static bool Write(const std::string& path, const CAutoObArray<T>& objects, std::string& error)
    {
        try {
            CObjectWriter out;
            out.WriteObjects(objects);
            if (out.SaveToFile(path))
                return true;
            error = std::strerror(errno);
        } catch (const CObjectStreamError& e) {
            error = e.what();
        }
        return false;
    }
};
