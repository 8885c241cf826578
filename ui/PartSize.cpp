#include "PartSize.h"

#include "Globals.h"
#include "Prompt.h"
#include "UiDialogs.h"

#include <climits>

std::uint32_t partsize::Parse(const std::string& text)
{
    const std::uint64_t size = g_Globals.ParseSize(text);
    if (size == 0)
        return 0;
    if (size < kMinimum || size > kMaximum) {
        CUiDialogs::MessageBox(nullptr,
                               "A part must be at least 64 KB and at most 2 GB.\nPlease enter "
                               "another size.",
                               MB_OK | MB_ICONERROR);
        return 0;
    }
    return static_cast<std::uint32_t>(size > INT_MAX ? INT_MAX : size);
}
