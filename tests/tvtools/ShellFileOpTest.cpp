#include "ShellFileOpTest.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

std::string ShellFileOpTest::P(const std::string& path) const
{
    return !path.empty() && path[0] == '/' ? path : m_dir / path;
}

void ShellFileOpTest::File(const std::string& path, const std::string& content, mode_t mode)
{
    std::filesystem::create_directories(std::filesystem::path(P(path)).parent_path());
    tbmtest::WriteFileBytes(P(path), content);
    ASSERT_EQ(0, chmod(P(path).c_str(), mode));
}

void ShellFileOpTest::Folder(const std::string& path, mode_t mode)
{
    std::filesystem::create_directories(P(path));
    ASSERT_EQ(0, chmod(P(path).c_str(), mode));
}

void ShellFileOpTest::Link(const std::string& path, const std::string& target)
{
    std::filesystem::create_directories(std::filesystem::path(P(path)).parent_path());
    ASSERT_EQ(0, symlink(target.c_str(), P(path).c_str()));
}

std::string ShellFileOpTest::Read(const std::string& path) const
{
    return tbmtest::ReadFileBytes(P(path));
}

bool ShellFileOpTest::Has(const std::string& path) const
{
    struct stat st
    {
    };
    return lstat(P(path).c_str(), &st) == 0;
}

struct stat ShellFileOpTest::Stat(const std::string& path) const
{
    struct stat st
    {
    };
    EXPECT_EQ(0, lstat(P(path).c_str(), &st)) << path;
    return st;
}

void ShellFileOpTest::SetTime(const std::string& path, long long seconds, long nanoseconds)
{
    const timespec times[2] = {{static_cast<time_t>(seconds), nanoseconds},
                               {static_cast<time_t>(seconds), nanoseconds}};
    ASSERT_EQ(0, utimensat(AT_FDCWD, P(path).c_str(), times, AT_SYMLINK_NOFOLLOW));
}

int ShellFileOpTest::Do(unsigned operation, const std::vector<std::string>& sources,
                        const std::vector<std::string>& targets, std::uint16_t flags)
{
    m_op.ClearFiles(CShellFileOp::kSourceList);
    m_op.ClearFiles(CShellFileOp::kTargetList);
    for (const std::string& source : sources)
        EXPECT_TRUE(m_op.AddFile(CShellFileOp::kSourceList, P(source)));
    for (const std::string& target : targets)
        EXPECT_TRUE(m_op.AddFile(CShellFileOp::kTargetList, P(target)));
    m_op.SetFlags(flags);
    switch (operation) {
    case FO_COPY:
        return m_op.CopyFiles();
    case FO_MOVE:
        return m_op.MoveFiles();
    case FO_DELETE:
        return m_op.DeleteFiles();
    default:
        return m_op.RenameFiles();
    }
}

void ShellFileOpTest::Script(const std::vector<ShellConfirmAnswer>& answers)
{
    m_answers = answers;
    m_questions.clear();
    m_op.SetConfirmFunction([this](const ShellConfirmQuestion& question) {
        m_questions.push_back(question);
        const std::size_t asked = m_questions.size();
        return asked <= m_answers.size() ? m_answers[asked - 1] : ShellConfirmAnswer::Cancel;
    });
}

// --- The request itself: lists in the shell's form, title, flags ---

namespace {

std::string ListBytes(const CShellFileOp& op, int list)
{
    return std::string(op.GetFileList(list), op.GetUsedLength(list) + 1);
}

} // namespace

TEST(ShellFileOpListTest, PathsAreZeroEndedAndTheListEndsWithOneMoreZero)
{
    CShellFileOp op;
    EXPECT_EQ(std::string("\0\0", 2), std::string(op.GetFileList(0), 2));
    EXPECT_EQ(0u, op.GetUsedLength(0));
    ASSERT_TRUE(op.AddFile(CShellFileOp::kSourceList, "/a/b"));
    ASSERT_TRUE(op.AddFile(CShellFileOp::kSourceList, "c"));
    ASSERT_TRUE(op.AddFile(CShellFileOp::kTargetList, "/t"));
    EXPECT_EQ(std::string("/a/b\0c\0\0", 8), ListBytes(op, 0));
    EXPECT_EQ(7u, op.GetUsedLength(0));
    EXPECT_EQ(std::string("/t\0\0", 4), ListBytes(op, 1));

    op.ClearFiles(CShellFileOp::kSourceList);
    EXPECT_EQ(0u, op.GetUsedLength(0));
    EXPECT_EQ(std::string("\0\0", 2), std::string(op.GetFileList(0), 2));
    EXPECT_EQ(std::string("/t\0\0", 4), ListBytes(op, 1)) << "only one list is cleared";
}

TEST(ShellFileOpListTest, GrowsPastTheReservedLengthKeepingWhatIsThere)
{
    CShellFileOp op;
    ASSERT_TRUE(op.SetMaxCount(CShellFileOp::kSourceList, 8));
    EXPECT_EQ(8u, op.GetAllocatedLength(0));
    ASSERT_TRUE(op.AddFile(0, "abc"));
    std::string expected("abc", 4);
    for (int i = 0; i < 200; ++i) {
        const std::string path = "/folder/number-" + std::to_string(i);
        ASSERT_TRUE(op.AddFile(0, path));
        expected += path + '\0';
        ASSERT_LT(op.GetUsedLength(0), op.GetAllocatedLength(0));
    }
    EXPECT_EQ(expected + '\0', ListBytes(op, 0));
    EXPECT_GT(op.GetAllocatedLength(0), 8u);

    const std::size_t allocated = op.GetAllocatedLength(0);
    EXPECT_TRUE(op.SetMaxCount(0, 4)) << "reserving less never shrinks";
    EXPECT_EQ(allocated, op.GetAllocatedLength(0));
}

TEST(ShellFileOpListTest, RefusesPathsThatWouldCorruptTheListAndBadSelectors)
{
    CShellFileOp op;
    EXPECT_FALSE(op.AddFile(0, ""));
    EXPECT_FALSE(op.AddFile(0, std::string("a\0b", 3)));
    EXPECT_FALSE(op.AddFile(2, "/x"));
    EXPECT_FALSE(op.AddFile(-1, "/x"));
    EXPECT_FALSE(op.SetMaxCount(5, 10));
    op.ClearFiles(7);
    EXPECT_EQ(nullptr, op.GetFileList(3));
    EXPECT_EQ(0u, op.GetUsedLength(0));
}

TEST(ShellFileOpListTest, CopiedListIsIndependent)
{
    CShellFileOpList list;
    ASSERT_TRUE(list.Add("one"));
    CShellFileOpList copy = list;
    ASSERT_TRUE(copy.Add("two"));
    EXPECT_EQ(std::vector<std::string>{"one"}, list.Paths());
    EXPECT_EQ((std::vector<std::string>{"one", "two"}), copy.Paths());
    EXPECT_EQ(2u, copy.Count());
    list = copy;
    EXPECT_EQ(copy.Paths(), list.Paths());
}

TEST(ShellFileOpRequestTest, KeepsParentFlagsAndTitleTextOrNumber)
{
    CShellFileOp op;
    int window = 0;
    op.SetParent(&window);
    op.SetFlags(FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI);
    EXPECT_EQ(&window, op.GetParent());
    EXPECT_EQ(0x414, op.GetFlags());

    op.SetTitle("Copying files");
    EXPECT_EQ("Copying files", op.GetTitle());
    op.SetTitle(1234u);
    EXPECT_EQ(1234u, op.GetTitleId());
    EXPECT_EQ("", op.GetTitle()) << "no loader: no text";
    op.SetTitleLoader([](unsigned id) { return "text " + std::to_string(id); });
    EXPECT_EQ("text 1234", op.GetTitle());
    op.SetTitle("Again text");
    EXPECT_EQ("Again text", op.GetTitle());
    EXPECT_EQ(0u, op.GetTitleId());
}

TEST_F(ShellFileOpTest, RunningConstructorCopiesAtOnce)
{
    File("src/a.txt", "hello");
    CShellFileOp op(nullptr, FO_COPY, P("src/a.txt"), P("dst"), FOF_NOCONFIRMATION, "Copy");
    EXPECT_EQ(0, op.GetResult());
    EXPECT_EQ("hello", Read("dst")) << "one source onto a missing target: the new name";
    EXPECT_EQ("Copy", op.GetTitle());

    CShellFileOp unknown(nullptr, 9, P("src/a.txt"), P("dst"), 0, "");
    EXPECT_EQ(EINVAL, unknown.GetResult());
    CShellFileOp remove(nullptr, FO_DELETE, P("src"), "", FOF_NOCONFIRMATION, "");
    EXPECT_EQ(0, remove.GetResult());
    EXPECT_FALSE(Has("src"));
}

TEST_F(ShellFileOpTest, EmptyOrMismatchedListsAreRefused)
{
    File("a");
    EXPECT_EQ(EINVAL, Do(FO_COPY, {}, {"dst"}, 0));
    EXPECT_EQ(EINVAL, Do(FO_COPY, {"a"}, {}, 0));
    EXPECT_EQ(EINVAL, Do(FO_COPY, {"a"}, {"d1", "d2"}, 0)) << "two targets need FOF_MULTIDESTFILES";
    EXPECT_EQ(EINVAL, Do(FO_COPY, {"a"}, {"d1", "d2"}, FOF_MULTIDESTFILES));
    EXPECT_EQ(EINVAL, Do(FO_DELETE, {}, {}, FOF_NOCONFIRMATION));
    EXPECT_TRUE(Has("a"));
}
