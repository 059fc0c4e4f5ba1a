// The whole programme headless: start-up in order, a shot of the requested
// size reached by seeking, shutdown, exit code 0.
#include "shell/Programme.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

unsigned readBigEndian(const std::vector<char>& b, size_t at)
{
    return unsigned((unsigned char)b[at]) << 24 | unsigned((unsigned char)b[at + 1]) << 16 |
           unsigned((unsigned char)b[at + 2]) << 8 | unsigned((unsigned char)b[at + 3]);
}

TEST(Programme, ShotWritesAPngOfTheRequestedSize)
{
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
