// The add pipeline: files read and compressed ahead on several threads and written
// in order give the same archive whatever the thread count, and a failing read, a
// file that changes, or a cancel with work in flight each end cleanly.
#include "ZipAddPipeline.h"
#include "TempDir.h"
#include "TestZip.h"
#include "ZipContainer.h"
#include "ZipException.h"
#include "ZipWriterTestUtil.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <map>
#include <thread>

using namespace tbmtest;
namespace fs = std::filesystem;

namespace {

constexpr std::size_t Chunk = 16384;

std::string Text(std::size_t size, unsigned seed = 1)
{
    std::string text;
    for (unsigned i = 0; text.size() < size; ++i)
        text += "note " + std::to_string((i * 7919 + seed) % 997) + " in the diary\n";
    text.resize(size);
    return text;
}

class ZipAddPipelineTest : public TempDirTest
{
protected:
    // name -> content; a name ending in "/" is a folder, "@" a link to a.txt (the
    // mark is not part of the name). Paths are listed in the order of the names.
    void MakeTree(const std::map<std::string, std::string>& files)
    {
        fs::create_directories(m_dir.Path() / "tree");
        for (const auto& [name, content] : files) {
            const char mark = name.back();
            const bool special = mark == '/' || mark == '@';
            const fs::path path =
                m_dir.Path() / "tree" / (special ? name.substr(0, name.size() - 1) : name);
            if (mark == '/')
                fs::create_directories(path);
            else if (mark == '@')
                fs::create_symlink("a.txt", path);
            else
                WriteFileBytes(path.string(), content);
            m_paths.push_back(path.string());
            m_contents[path.string()] = mark == '@' ? "a.txt" : content;
        }
    }

    std::string PathOf(const std::string& name) const
    {
        return (m_dir.Path() / "tree" / name).string();
    }

    static std::string NameOf(const std::string& path)
    {
        return fs::path(path).filename().string();
    }

    // Adds every path through a pipeline of `options` into `archivePath`; a file
    // whose add throws is dropped and the run goes on, as the backup does.
    std::vector<int> Build(const std::string& archivePath, CZipAddPipeline::Options options,
                           CZipProgressCallback* callback = nullptr)
    {
        CZipContainer archive;
        archive.Open(archivePath, CZipContainer::ArcCreate);
        archive.SetCallback(callback, CZipProgressCallback::CbAdd);
        std::vector<int> causes;
        {
            CZipAddPipeline pipeline(m_paths, options);
            for (const std::string& path : m_paths) {
                CZipAddInfo info;
                info.m_path = path;
                info.m_nameInArchive = NameOf(path);
                try {
                    CZipPreparedFile* prepared = pipeline.Take(path);
                    const bool added = prepared ? archive.AddPreparedFile(info, *prepared)
                                                : archive.AddNewFile(info);
                    causes.push_back(added ? 0 : -1);
                    m_changed[path] = archive.LastFileChangedSize();
                } catch (const CZipException& e) {
                    archive.CloseNewFile(true);
                    causes.push_back(e.GetCause());
                    if (e.GetCause() == CZipException::ErrAbortedSafely)
                        break; // the pipeline goes with work still in flight
                }
            }
            m_peak = pipeline.GetPeakHeld();
        }
        archive.Close();
        return causes;
    }

    // Every entry read back by our own reader equals `expected` (name -> content).
    static void ExpectEntries(const std::string& archivePath,
                              const std::map<std::string, std::string>& expected)
    {
        CZipContainer archive;
        archive.Open(archivePath, CZipContainer::ArcOpenReadOnly);
        ASSERT_EQ(archive.GetCount(), expected.size());
        for (const auto& [name, content] : expected) {
            const int index = archive.FindFile(name);
            ASSERT_GE(index, 0) << name;
            ASSERT_TRUE(archive.OpenFile(index));
            std::string data(content.size() + 1, '\0');
            std::size_t got = 0;
            while (std::uint32_t n = archive.ReadFile(
                       data.data() + got, static_cast<std::uint32_t>(data.size() - got)))
                got += n;
            data.resize(got);
            EXPECT_EQ(archive.CloseFile(), 1) << name;
            EXPECT_EQ(data, content) << name;
        }
    }

    static void ExpectPeersAccept(const std::string& archivePath)
    {
        EXPECT_TRUE(UnzipTests(archivePath));
        if (HaveProgram("7zz")) {
            EXPECT_EQ(RunCommand("7zz t " + Quote(archivePath) + " >/dev/null"), 0);
        }
        EXPECT_EQ(RunCommand("python3 -c 'import sys,zipfile; "
                             "sys.exit(zipfile.ZipFile(sys.argv[1]).testzip() is not None)' " +
                             Quote(archivePath)),
                  0);
    }

    std::vector<std::string> m_paths;
    std::map<std::string, std::string> m_contents;
    std::map<std::string, bool> m_changed;
    std::size_t m_peak = 0;
};

TEST_F(ZipAddPipelineTest, SameArchiveWhateverTheThreadCountAcrossChunkBorders)
{
    // Sizes around the piece size, many pieces, media-like data (stored after the
    // sample) and the files the ordinary path adds (folder, link, empty file).
    MakeTree({{"a.txt", Text(3000)},
              {"b-below", Text(Chunk - 1, 2)},
              {"c-exact", Text(Chunk, 3)},
              {"d-above", Text(Chunk + 1, 4)},
              {"e-many", Text(9 * Chunk + 7, 5) + RandomBytes(Chunk) + Text(Chunk, 6)},
              {"f-media.jpg", RandomBytes(CZipAddPipeline::SampleSize * 3)},
              {"g-tiny", "abc"},
              {"h-empty", ""},
              {"i-folder/", ""},
              {"j-link@", ""}});
    std::string first;
    for (unsigned threads : {1u, 2u, 4u}) {
        CZipAddPipeline::Options options;
        options.threads = threads;
        options.chunkSize = Chunk;
        const std::string path = m_dir / ("out" + std::to_string(threads) + ".zip");
        for (int cause : Build(path, options))
            EXPECT_EQ(cause, 0);
        const std::string bytes = ReadFileBytes(path);
        if (first.empty())
            first = bytes;
        EXPECT_TRUE(bytes == first) << threads << " threads";
    }
    const std::string path = m_dir / "out1.zip";
    ExpectPeersAccept(path);
    std::map<std::string, std::string> expected;
    for (const std::string& file : m_paths)
        expected[NameOf(file)] = m_contents[file];
    expected.erase("i-folder");
    expected["i-folder\\"] = "";
    ExpectEntries(path, expected);

    CZipContainer archive;
    archive.Open(path, CZipContainer::ArcOpenReadOnly);
    CZipEntryHeader header;
    ASSERT_TRUE(archive.GetFileInfo(header, archive.FindFile("f-media.jpg")));
    EXPECT_EQ(header.m_method, CZipEntryHeader::MethodStored);
    ASSERT_TRUE(archive.GetFileInfo(header, archive.FindFile("e-many")));
    EXPECT_EQ(header.m_method, CZipEntryHeader::MethodDeflated);
    EXPECT_LT(header.m_compressedSize, header.m_uncompressedSize / 2);
}

// With the collected sizes known, small files are opened and read by the
// compressors in batches; the archive is the one the reader alone makes.
TEST_F(ZipAddPipelineTest, SmallFilesReadByTheCompressorsGiveTheSameArchive)
{
    std::map<std::string, std::string> files = {{"a-big", Text(5 * Chunk)},
                                                {"b-folder/", ""},
                                                {"c-link@", ""},
                                                {"d-empty", ""},
                                                {"e-fails", Text(900, 7)}};
    for (int i = 0; i < 700; ++i)
        files["s" + std::to_string(1000 + i)] =
            Text(static_cast<std::size_t>(i * 37 % 3000 + 1), static_cast<unsigned>(i));
    MakeTree(files);
    std::vector<std::uint64_t> sizes;
    for (const std::string& path : m_paths)
        sizes.push_back(fs::is_directory(path) ? CZipAddPipeline::NotAFile
                                               : m_contents[path].size());
    const std::string failing = PathOf("e-fails");
    std::string first;
    for (unsigned threads : {1u, 4u, 2u}) {
        CZipAddPipeline::Options options;
        options.threads = threads;
        options.chunkSize = Chunk;
        if (threads != 2)
            options.expectedSizes = sizes; // 2 threads: the reader reads every file
        options.beforeRead = [&](const std::string& path, std::uint64_t) {
            if (path == failing)
                throw CZipException::FromErrno(EIO, path);
        };
        const std::string path = m_dir / ("out" + std::to_string(threads) + ".zip");
        const std::vector<int> causes = Build(path, options);
        for (std::size_t i = 0; i < causes.size(); ++i)
            EXPECT_EQ(causes[i] != 0, m_paths[i] == failing) << m_paths[i];
        const std::string bytes = ReadFileBytes(path);
        if (first.empty())
            first = bytes;
        EXPECT_TRUE(bytes == first) << threads << " threads";
    }
    ExpectPeersAccept(m_dir / "out4.zip");
    std::map<std::string, std::string> expected;
    for (const std::string& file : m_paths)
        expected[NameOf(file)] = m_contents[file];
    expected.erase("b-folder");
    expected["b-folder\\"] = "";
    expected.erase("e-fails");
    ExpectEntries(m_dir / "out4.zip", expected);
}

// Sizes collected before the run may be stale: a file that grew past one piece,
// shrank to nothing or went is still added with what it holds now, or reported.
TEST_F(ZipAddPipelineTest, StaleCollectedSizesStillGiveTheFilesAsTheyAreNow)
{
    MakeTree({{"a-grew", Text(100)},
              {"b-emptied", Text(100, 2)},
              {"c-gone", Text(100, 3)},
              {"d-same", Text(100, 4)}});
    CZipAddPipeline::Options options;
    options.chunkSize = Chunk;
    options.expectedSizes = {100, 100, 100, 100};
    WriteFileBytes(PathOf("a-grew"), Text(3 * Chunk, 5));
    WriteFileBytes(PathOf("b-emptied"), "");
    fs::remove(PathOf("c-gone"));
    const std::string path = m_dir / "out.zip";
    const std::vector<int> causes = Build(path, options);
    ASSERT_EQ(causes.size(), 4u);
    EXPECT_EQ(causes[0], 0);
    EXPECT_EQ(causes[1], 0);
    EXPECT_NE(causes[2], 0); // the ordinary path reports the missing file
    EXPECT_EQ(causes[3], 0);
    ExpectPeersAccept(path);
    ExpectEntries(path,
                  {{"a-grew", Text(3 * Chunk, 5)}, {"b-emptied", ""}, {"d-same", Text(100, 4)}});
}

TEST_F(ZipAddPipelineTest, FailedReadDropsThatFileAndTheOthersFollow)
{
    MakeTree({{"a.txt", Text(100)}, {"b-big", Text(6 * Chunk)}, {"c.txt", Text(200)}});
    CZipAddPipeline::Options options;
    options.threads = 2;
    options.chunkSize = Chunk;
    const std::string big = m_paths[1];
    options.beforeRead = [&](const std::string& path, std::uint64_t offset) {
        if (path == big && offset == 3 * Chunk)
            throw CZipException::FromErrno(EIO, path);
    };
    const std::string path = m_dir / "out.zip";
    const std::vector<int> causes = Build(path, options);
    ASSERT_EQ(causes.size(), 3u);
    EXPECT_EQ(causes[0], 0);
    EXPECT_NE(causes[1], 0);
    EXPECT_EQ(causes[2], 0);
    ExpectPeersAccept(path);
    ExpectEntries(path, {{"a.txt", Text(100)}, {"c.txt", Text(200)}});
}

TEST_F(ZipAddPipelineTest, FileThatChangesWhileReadGivesTheBytesRead)
{
    MakeTree({{"grows", Text(4 * Chunk)},
              {"shrinks", Text(4 * Chunk, 2)},
              {"same", Text(10)},
              {"rewritten", Text(4 * Chunk, 3)},
              {"tiny", Text(10, 4)}});
    // A database rewriting its pages keeps its size: only the time tells.
    const auto rewriteInPlace = [](const std::string& path, const std::string& bytes) {
        const int fd = open(path.c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(pwrite(fd, bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
        const timespec later[2] = {{0, UTIME_OMIT}, {std::time(nullptr) + 60, 0}};
        ASSERT_EQ(futimens(fd, later), 0);
        close(fd);
    };
    CZipAddPipeline::Options options;
    options.chunkSize = Chunk;
    options.beforeRead = [&](const std::string& path, std::uint64_t offset) {
        if (NameOf(path) == "tiny")
            rewriteInPlace(path, Text(10, 5));
        if (offset != 2 * Chunk)
            return;
        if (NameOf(path) == "rewritten") {
            rewriteInPlace(path, Text(4 * Chunk, 6));
        } else if (NameOf(path) == "grows") {
            WriteFileBytes(path, Text(4 * Chunk) + Text(Chunk + 5, 9));
        } else if (NameOf(path) == "shrinks") {
            ASSERT_EQ(truncate(path.c_str(), 2 * Chunk + 100), 0);
        }
    };
    const std::string path = m_dir / "out.zip";
    for (int cause : Build(path, options))
        EXPECT_EQ(cause, 0);
    EXPECT_TRUE(m_changed[PathOf("grows")]);
    EXPECT_TRUE(m_changed[PathOf("shrinks")]);
    EXPECT_FALSE(m_changed[PathOf("same")]);
    EXPECT_TRUE(m_changed[PathOf("rewritten")]);
    EXPECT_TRUE(m_changed[PathOf("tiny")]);
    ExpectPeersAccept(path);
    ExpectEntries(path, {{"grows", Text(4 * Chunk) + Text(Chunk + 5, 9)},
                         {"shrinks", Text(4 * Chunk, 2).substr(0, 2 * Chunk + 100)},
                         {"same", Text(10)},
                         {"rewritten", Text(4 * Chunk, 3).substr(0, 2 * Chunk) +
                                           Text(4 * Chunk, 6).substr(2 * Chunk)},
                         {"tiny", Text(10, 5)}});
}

TEST_F(ZipAddPipelineTest, CancelWithWorkInFlightKeepsTheWholeEntriesBefore)
{
    std::map<std::string, std::string> files;
    for (int i = 0; i < 300; ++i)
        files["f" + std::to_string(1000 + i)] = Text(3 * Chunk, static_cast<unsigned>(i));
    MakeTree(files);
    CRecordingCallback callback;
    callback.stopAt = 40; // the 40th piece reported: inside the 14th file
    CZipAddPipeline::Options options;
    options.threads = 4;
    options.chunkSize = Chunk;
    const std::string path = m_dir / "out.zip";
    const std::vector<int> causes = Build(path, options, &callback);
    ASSERT_EQ(causes.size(), 14u);
    EXPECT_EQ(causes.back(), CZipException::ErrAbortedSafely);
    ExpectPeersAccept(path);
    std::map<std::string, std::string> expected;
    for (std::size_t i = 0; i < 13; ++i)
        expected[NameOf(m_paths[i])] = m_contents[m_paths[i]];
    ExpectEntries(path, expected);
}

TEST_F(ZipAddPipelineTest, ReadingAheadStaysWithinTheBudget)
{
    std::map<std::string, std::string> files = {{"big", Text(64 * Chunk)}};
    for (int i = 0; i < 50; ++i)
        files["small" + std::to_string(i)] = Text(Chunk / 2, static_cast<unsigned>(i));
    MakeTree(files);
    CZipAddPipeline::Options options;
    options.threads = 2;
    options.chunkSize = Chunk;
    options.budget = 4 * Chunk;
    // The reader gets time to fill the budget before the first piece is taken.
    options.beforeRead = [](const std::string&, std::uint64_t offset) {
        if (offset == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    for (int cause : Build(m_dir / "out.zip", options))
        EXPECT_EQ(cause, 0);
    EXPECT_GT(m_peak, 2 * Chunk);
    EXPECT_LE(m_peak, options.budget + 64 * 1024);
    ExpectEntries(m_dir / "out.zip", [&] {
        std::map<std::string, std::string> expected;
        for (const auto& [name, content] : files)
            expected[name] = content;
        return expected;
    }());
}

TEST_F(ZipAddPipelineTest, FilesPassedOverAreDroppedAndUnknownOnesAddedTheOrdinaryWay)
{
    MakeTree({{"a", Text(5 * Chunk)}, {"b", Text(5 * Chunk, 2)}, {"c", Text(300, 3)}});
    CZipAddPipeline::Options options;
    options.chunkSize = Chunk;
    CZipAddPipeline pipeline(m_paths, options);
    EXPECT_EQ(pipeline.Take(m_dir / "not-listed"), nullptr);
    CZipPreparedFile* c = pipeline.Take(m_paths[2]);
    ASSERT_NE(c, nullptr);
    CZipPreparedFile::Piece piece;
    ASSERT_TRUE(c->NextPiece(piece));
    EXPECT_EQ(piece.rawSize, 300u);
    EXPECT_EQ(piece.crc, Crc(Text(300, 3)));
    EXPECT_FALSE(c->NextPiece(piece));
    EXPECT_EQ(pipeline.Take(m_paths[0]), nullptr); // passed over: not handed out again
}

} // namespace
