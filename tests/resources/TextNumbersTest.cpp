#include "ResourceLibrary.h"
#include "ResourceTestPaths.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

namespace {

// Every text number the program looks up in the text library. A number missing
// from the library would show an empty message box or an empty report line.
const std::set<unsigned> kUsedTextNumbers = {
    101, 102, 103, 104, 106, 107, 108, 109, 112, 113, 114, 115, 117, 121, 123, 125, 126,
    127, 128, 129, 134, 135, 136, 138, 139, 140, 141, 147, 148, 150, 151, 152, 156, 157,
    158, 159, 161, 162, 163, 164, 165, 166, 167, 170, 173, 174, 176, 183, 184, 185, 186,
    187, 188, 189, 190, 191, 192, 193, 194, 195, 196, 197, 198, 199, 200, 201, 202, 203,
    204, 205, 206, 207, 208, 209, 210, 211, 212, 213, 214, 215, 216, 217, 218, 219, 220,
    221, 222, 233, 234, 235, 236, 237, 238, 239, 241, 256, 257, 260, 261, 263, 264, 265};

// Texts the program uses as printf formats, with the conversions it passes, in
// order. Every other text is used as it is and must hold no "%".
struct FormatCase
{
    unsigned id;
    const char* conversions;
};

const FormatCase kFormatTexts[] = {{114, "d"}, {115, "ss"}, {147, "s"}, {190, "s"}, {191, "d"},
                                   {194, "s"}, {205, "s"},  {207, "d"}, {208, "d"}, {209, "d"},
                                   {210, "d"}, {238, "s"},  {263, "d"}, {264, "d"}};

// The count-down caption is filled by replacing "%1", not by printf.
constexpr unsigned kCountDownCaption = 222;

// The conversion letters of a printf format, in order; "%%" is skipped and a
// malformed or unknown conversion shows as "?".
std::string Conversions(const std::string& format)
{
    std::string result;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%')
            continue;
        std::size_t k = i + 1;
        if (k < format.size() && format[k] == '%') {
            i = k;
            continue;
        }
        while (k < format.size() && std::string("-+ #0").find(format[k]) != std::string::npos)
            ++k;
        while (k < format.size() &&
               (std::isdigit(static_cast<unsigned char>(format[k])) || format[k] == '.'))
            ++k;
        while (k < format.size() && std::string("hlLqjzt").find(format[k]) != std::string::npos)
            ++k;
        const bool known =
            k < format.size() && std::string("diouxXcsfeEgG").find(format[k]) != std::string::npos;
        result += known ? format[k] : '?';
        i = k;
    }
    return result;
}

class TextNumbersTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_library.Load(restest::ProgramFile(kTextResFileName))); }

    std::string Text(unsigned id)
    {
        std::string text;
        EXPECT_TRUE(m_library.FindText(id, text)) << "no text " << id;
        return text;
    }

    CResourceLibrary m_library;
};

TEST_F(TextNumbersTest, EveryUsedNumberHasANonEmptyText)
{
    for (unsigned id : kUsedTextNumbers) {
        std::string text;
        EXPECT_TRUE(m_library.FindText(id, text)) << "text " << id << " is missing";
        EXPECT_FALSE(text.empty()) << "text " << id << " is empty";
    }
}

TEST_F(TextNumbersTest, TextsUsedAsTheyAreHoldNoPercentSign)
{
    std::set<unsigned> formats = {kCountDownCaption};
    for (const FormatCase& c : kFormatTexts)
        formats.insert(c.id);
    for (unsigned id : kUsedTextNumbers) {
        if (formats.count(id) == 0) {
            EXPECT_EQ(std::string::npos, Text(id).find('%')) << "text " << id;
        }
    }
}

TEST_F(TextNumbersTest, CountDownCaptionHasOnePlaceForTheSeconds)
{
    const std::string text = Text(kCountDownCaption);
    const std::size_t place = text.find("%1");
    ASSERT_NE(std::string::npos, place);
    EXPECT_EQ(std::string::npos, text.find('%', place + 1));
    EXPECT_EQ(place, text.find('%'));
}

TEST_F(TextNumbersTest, ScanningPrefixKeepsItsTrailingBlank)
{
    // Editors like to strip trailing blanks; without it the path sticks to the prefix.
    const std::string prefix = Text(183);
    ASSERT_FALSE(prefix.empty());
    EXPECT_EQ(' ', prefix.back());
}

TEST_F(TextNumbersTest, AboutMenuItemIsTheProgramsOwn)
{
    EXPECT_EQ("&About TBManger...", Text(101));
}

class FormatTextTest : public TextNumbersTest, public ::testing::WithParamInterface<FormatCase>
{
};

TEST_P(FormatTextTest, CarriesExactlyTheConversionsTheProgramPasses)
{
    const FormatCase& c = GetParam();
    EXPECT_EQ(c.conversions, Conversions(Text(c.id))) << "text " << c.id;
    EXPECT_EQ(1u, kUsedTextNumbers.count(c.id)) << "text " << c.id << " is not in the used list";
}

INSTANTIATE_TEST_SUITE_P(Texts, FormatTextTest, ::testing::ValuesIn(kFormatTexts),
                         [](const auto& info) { return "Text" + std::to_string(info.param.id); });

TEST(ConversionsTest, ReadsPrintfConversionsInOrder)
{
    EXPECT_EQ("", Conversions("plain 100%% sure"));
    EXPECT_EQ("sd", Conversions("%s has %d"));
    EXPECT_EQ("f", Conversions("%.2f MB"));
    EXPECT_EQ("d", Conversions("%-5ld"));
    EXPECT_EQ("?", Conversions("ends with %"));
    EXPECT_EQ("?", Conversions("%1 seconds"));
}

} // namespace
