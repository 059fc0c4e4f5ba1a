// The whole programme headless: start-up in order, a shot of the requested
// size reached by seeking, shutdown, exit code 0.
#include "shell/Programme.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

unsigned readBigEndian(const std::vector<char>& b, size_t at) {
    return unsigned((unsigned char)b[at]) << 24 | unsigned((unsigned char)b[at + 1]) << 16 |
           unsigned((unsigned char)b[at + 2]) << 8 | unsigned((unsigned char)b[at + 3]);
}

TEST(Programme, ShotWritesAPngOfTheRequestedSize) {
    std::string path = (std::filesystem::temp_directory_path() / "zephran-programme-shot.png").string();
    std::remove(path.c_str());
    ShellOptions o;
    o.headless = true;
    o.width = 96;
    o.height = 54;
    o.shot = true;
    o.shotTime = 3000.0f;
    o.shotFile = path;
    EXPECT_EQ(runProgramme(o), 0);
    std::ifstream in(path, std::ios::binary);
    std::vector<char> png((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(std::string(png.data() + 12, 4), "IHDR");
    EXPECT_EQ(readBigEndian(png, 16), 96u);
    EXPECT_EQ(readBigEndian(png, 20), 54u);
    std::remove(path.c_str());
}

} // namespace

namespace {

std::vector<char> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(Programme, ExtractedMembersReadBackWithDataGiveTheArchivesFrameToTheByte) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "zephran-programme-extract";
    fs::remove_all(dir);
    const std::string exe = ZEPHRAN_EXE;
    ASSERT_EQ(std::system((exe + " --extract " + (dir / "data").string() + " 2>/dev/null").c_str()), 0);
    EXPECT_TRUE(fs::is_regular_file(dir / "data" / "ssao.frag.glsl"));
    EXPECT_TRUE(fs::is_regular_file(dir / "data" / "px.png"));
    const std::string shot = " --headless --size 48x27 --shot 17000 ";
    ASSERT_EQ(std::system((exe + shot + (dir / "archive.png").string() + " 2>/dev/null").c_str()), 0);
    ASSERT_EQ(
        std::system((exe + " --data " + (dir / "data").string() + shot + (dir / "loose.png").string() + " 2>/dev/null")
                        .c_str()),
        0);
    const std::vector<char> archive = fileBytes((dir / "archive.png").string());
    ASSERT_GT(archive.size(), 100u);
    EXPECT_TRUE(archive == fileBytes((dir / "loose.png").string()));
    fs::remove_all(dir);
}

} // namespace
