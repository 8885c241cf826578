#include "IconvText.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <vector>

namespace {

// Owns an iconv descriptor.
class CIconv
{
public:
    CIconv(const std::string& from, const std::string& to)
        : m_cd(iconv_open(to.c_str(), from.c_str()))
    {
    }
    ~CIconv()
    {
        if (IsOpen())
            iconv_close(m_cd);
    }
    CIconv(const CIconv&) = delete;
    CIconv& operator=(const CIconv&) = delete;

    bool IsOpen() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t Get() const { return m_cd; }

private:
    iconv_t m_cd;
};

std::uint16_t UnitAt(std::string_view text, std::size_t pos)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(text[pos]) |
                                      (static_cast<unsigned char>(text[pos + 1]) << 8));
}

// How far to skip over a character iconv refused: a whole surrogate pair of UTF-16LE
// (one character the target lacks), else one code unit.
std::size_t SkipLength(std::string_view rest, std::size_t unitSize)
{
    if (unitSize == 2 && rest.size() >= 4) {
        const std::uint16_t high = UnitAt(rest, 0);
        const std::uint16_t low = UnitAt(rest, 2);
        if (high >= 0xD800 && high <= 0xDBFF && low >= 0xDC00 && low <= 0xDFFF)
            return 4;
    }
    return unitSize < rest.size() ? unitSize : rest.size();
}

} // namespace

std::optional<std::string> IconvConvert(std::string_view input, const std::string& from,
                                        const std::string& to, std::string_view replacement,
                                        std::size_t unitSize, bool& replaced)
{
    const CIconv cd(from, to);
    if (!cd.IsOpen())
        return std::nullopt;
    std::string output;
    std::vector<char> chunk(65536);
    char* in = const_cast<char*>(input.data()); // iconv's interface is not const-correct
    std::size_t inLeft = input.size();
    while (inLeft > 0) {
        char* out = chunk.data();
        std::size_t outLeft = chunk.size();
        const std::size_t done = iconv(cd.Get(), &in, &inLeft, &out, &outLeft);
        output.append(chunk.data(), chunk.size() - outLeft);
        if (done != static_cast<std::size_t>(-1) || errno == E2BIG)
            continue;
        // EILSEQ: a character the target lacks or bad input; EINVAL: input cut short.
        output.append(replacement);
        replaced = true;
        const std::size_t skip = errno == EINVAL ? inLeft : SkipLength({in, inLeft}, unitSize);
        in += skip;
        inLeft -= skip;
    }
    // Let stateful targets close their last shift sequence.
    char* out = chunk.data();
    std::size_t outLeft = chunk.size();
    iconv(cd.Get(), nullptr, nullptr, &out, &outLeft);
    output.append(chunk.data(), chunk.size() - outLeft);
    return output;
}
