#include "keep/keptfile.h"
#include "support/logcapture.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using Status = KeptFile::Contents::Status;

void put(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string get(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(KeptFile, Folder_FollowsXdgThenHome) {
    EXPECT_EQ(KeptFile::folder("/x/config", "/home/a", ".config"), "/x/config/sporrik");
    // A relative XDG value is ignored, as the base directory rules ask.
    EXPECT_EQ(KeptFile::folder("x/config", "/home/a", ".config"), "/home/a/.config/sporrik");
    EXPECT_EQ(KeptFile::folder(nullptr, "/home/a", ".local/state"), "/home/a/.local/state/sporrik");
    EXPECT_EQ(KeptFile::folder(nullptr, nullptr, ".config"), "");
}

// Writing makes the folder and replaces the file whole. A disk that fills up
// during the write keeps the old file; no temporary file is left either way.
TEST(KeptFile, Write_ReplacesTheFileWhole_AFailedWriteKeepsTheOldFile) {
    const TempDir dir;
    const std::string path = dir.file("a/b/kept.ini");
    ASSERT_TRUE(KeptFile::write(path, "old text"));
    ASSERT_TRUE(KeptFile::write(path, "old"));
    const KeptFile::Contents read = KeptFile::read(path, 8);
    EXPECT_EQ(read.status, Status::Read);
    EXPECT_EQ(read.text, "old");
    const LogCapture log;
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool written = KeptFile::write(path, std::string(10000, 'x'));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(written);
    EXPECT_EQ(get(path), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "a/b"), {}), 1);
    EXPECT_TRUE(log.has(path)) << "the warning names the file";
}

TEST(KeptFile, Read_RefusesWhatIsNoPlainFileOfBoundedSize) {
    const TempDir dir;
    put(dir / "large", std::string(101, 'x'));
    fs::create_directory(dir / "folder");
    ASSERT_EQ(mkfifo(dir.file("pipe").c_str(), 0600), 0);
    for (const char* name : {"large", "folder", "pipe"}) {
        EXPECT_EQ(KeptFile::read(dir.file(name), 100).status, Status::Refused) << name;
    }
    EXPECT_EQ(KeptFile::read(dir.file("none"), 100).status, Status::Missing);
}

TEST(KeptFile, Refuse_KeepsTheFileAsBadAndNamesTheReason) {
    const TempDir dir;
    put(dir / "kept.ini", "damaged");
    put(dir / "other.ini", "other");
    put(dir / "kept.ini.bad", "older damage");
    const LogCapture log;
    KeptFile::refuse(dir.file("kept.ini"), "the reason");
    EXPECT_FALSE(fs::exists(dir / "kept.ini"));
    EXPECT_EQ(get(dir / "kept.ini.bad"), "damaged");
    EXPECT_EQ(get(dir / "other.ini"), "other");
    EXPECT_TRUE(log.has("the reason"));
}

} // namespace
