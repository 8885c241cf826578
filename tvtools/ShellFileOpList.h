#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

// A list of paths in the shell's form: each path followed by a zero byte and the list
// ended by one more zero byte ("a\0b\0\0"). The buffer grows as paths are added.
class CShellFileOpList
{
public:
    CShellFileOpList() = default;
    CShellFileOpList(const CShellFileOpList& other);
    CShellFileOpList& operator=(const CShellFileOpList& other);

    // Appends a path. An empty path or one holding a zero byte would end or split the
    // list where the reader does not expect it, so both are refused (false).
    bool Add(const std::string& path);
    // Makes room for `size` bytes in all (paths, their zeros and the final zero).
    // Never shrinks. False when the memory cannot be had.
    bool Reserve(std::size_t size);
    // Empties the list; the buffer is kept for the next paths.
    void Clear();

    // The list in the shell's form; always ends with two zero bytes when empty.
    const char* Data() const;
    // Bytes of the paths and their zeros, without the final zero.
    std::size_t UsedLength() const { return m_used; }
    std::size_t AllocatedLength() const { return m_allocated; }
    // The paths, read back from the shell's form.
    std::vector<std::string> Paths() const;
    std::size_t Count() const;

private:
    bool Grow(std::size_t needed);

    std::unique_ptr<char[]> m_buffer;
    std::size_t m_used = 0;
    std::size_t m_allocated = 0;
};
