#include "ground/files.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "support/temp_dir.hpp"

namespace compattatore {
namespace {

namespace fs = std::filesystem;
using testing::slurp;
using testing::spit;
using testing::temp_dir;

bool has_temporary(const fs::path& folder) {
    for (const auto& e : fs::directory_iterator(folder)) {
        if (e.path().filename().string().find(".tmp-") != std::string::npos) return true;
    }
    return false;
}

// A pipe has no size: the text must be read to the end of the stream, not by a size asked first.
TEST(ReadFile, ReadsAPipeToTheEndOfTheStream) {
    temp_dir dir;
    const fs::path fifo = dir / "line.txt";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string text = std::string(200000, 'x') + "\r\n[fine]\r\n";
    std::thread writer([&] {
        std::ofstream out(fifo, std::ios::binary);
        out << text;
    });
    const std::optional<std::string> got = read_file(fifo);
    writer.join();
    ASSERT_TRUE(got.has_value());
    EXPECT_TRUE(*got == text) << got->size();
}

TEST(ReadFile, MissingIsNothingAndAFolderIsAFailure) {
    temp_dir dir;
    EXPECT_FALSE(read_file(dir / "absent.txt").has_value());
    fs::create_directory(dir / "folder.txt");
    try {
        read_file(dir / "folder.txt");
        FAIL() << "a folder was read as a text";
    } catch (const file_error& e) {
        EXPECT_EQ(e.action(), "read");
        EXPECT_EQ(e.reason(), "Is a directory");
    }
}

// The temporary name must fit where the final name fits: a 255-byte name is legal.
TEST(ReplaceFile, TheLongestLegalNameWorks) {
    temp_dir dir;
    const std::string name = std::string(251, 'n') + ".dat";
    ASSERT_EQ(name.size(), 255u);
    replace_file(dir / name, "first");
    replace_file(dir / name, "second, longer");
    EXPECT_EQ(slurp(dir / name), "second, longer");
    EXPECT_FALSE(has_temporary(dir.path()));
}

// Only a regular file is ever replaced: what else stands at an output name stays as it is.
TEST(ReplaceFile, RefusesFoldersAndPipesAndLeavesThemAlone) {
    temp_dir dir;
    fs::create_directory(dir / "folder.dat");
    spit(dir / "folder.dat" / "keep", "earlier");
    ASSERT_EQ(mkfifo((dir / "pipe.dat").c_str(), 0600), 0);
    for (const char* name : {"folder.dat", "pipe.dat"}) {
        SCOPED_TRACE(name);
        try {
            replace_file(dir / name, "bytes");
            FAIL() << "replaced";
        } catch (const file_error& e) {
            EXPECT_EQ(e.path(), dir / name);
            EXPECT_EQ(e.action(), "write");
        }
    }
    EXPECT_EQ(slurp(dir / "folder.dat" / "keep"), "earlier");
    EXPECT_TRUE(fs::is_fifo(dir / "pipe.dat"));
    EXPECT_FALSE(has_temporary(dir.path()));
}

// A second holder of a folder waits for the first. (Across processes the concurrent runs of the
// program show it.)
TEST(FolderLock, ASecondHolderWaitsUntilTheFirstIsReleased) {
    temp_dir dir;
    std::atomic<bool> second_held{false};
    std::thread second;
    {
        const folder_lock first(dir.path());
        second = std::thread([&] {
            const folder_lock lock(dir.path());
            second_held = true;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        EXPECT_FALSE(second_held) << "the second holder did not wait";
    }
    second.join();
    EXPECT_TRUE(second_held);
}

TEST(FolderLock, AFolderThatDoesNotExistCannotBeHeld) {
    temp_dir dir;
    EXPECT_THROW(folder_lock(dir / "absent"), file_error);
}

}  // namespace
}  // namespace compattatore
