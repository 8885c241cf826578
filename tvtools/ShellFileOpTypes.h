#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Operations of a batch file operation, numbered as the shell numbers them.
constexpr unsigned FO_MOVE = 1;
constexpr unsigned FO_COPY = 2;
constexpr unsigned FO_DELETE = 3;
constexpr unsigned FO_RENAME = 4;

// Flags of a batch file operation (16 bits, the shell's values). The ones that only
// shape the shell's progress window (silent, simple progress, no error UI) are kept
// for callers but change nothing here: there is no progress window.
constexpr std::uint16_t FOF_MULTIDESTFILES = 0x1;
constexpr std::uint16_t FOF_SILENT = 0x4;
constexpr std::uint16_t FOF_RENAMEONCOLLISION = 0x8;
constexpr std::uint16_t FOF_NOCONFIRMATION = 0x10;
constexpr std::uint16_t FOF_ALLOWUNDO = 0x40;
constexpr std::uint16_t FOF_FILESONLY = 0x80;
constexpr std::uint16_t FOF_SIMPLEPROGRESS = 0x100;
constexpr std::uint16_t FOF_NOCONFIRMMKDIR = 0x200;
constexpr std::uint16_t FOF_NOERRORUI = 0x400;

// What the confirmation callback is asked about.
enum class ShellConfirmKind
{
    Replace, // `target` exists; replace it (a folder: merge into it) with `source`?
    Delete,  // delete `count` items, the first of which is `source`?
};

struct ShellConfirmQuestion
{
    ShellConfirmKind kind = ShellConfirmKind::Replace;
    std::string source;
    std::string target;
    std::size_t count = 1;
};

enum class ShellConfirmAnswer
{
    Yes,      // this item (a folder: everything inside it too)
    YesToAll, // this item and every later question of the batch
    No,       // skip this item, go on with the next
    Cancel,   // stop the batch here
};

using ShellConfirmFunction = std::function<ShellConfirmAnswer(const ShellConfirmQuestion&)>;

// Turns a resource string number into its text (the title of an operation).
using ShellTitleLoader = std::function<std::string(unsigned)>;

// Renames `from` to `to` and returns 0 or an errno value. With `replace` false an
// existing `to` must be left alone (EEXIST). Moves and the trash go through it, so a
// caller can watch them and a test can make them fail (EXDEV: another device).
using ShellRenameFunction =
    std::function<int(const std::string& from, const std::string& to, bool replace)>;
