// Writing the archive's members out as loose files: what --data reads back,
// existing files kept unless overwriting, names that would land outside the
// directory refused, and every failure reported.
#include "TestData.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

class ExtractTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = makeTempDir("extract");
        stmConfigure(StmRunOptions());
    }
    void TearDown() override {
        stmShutDown();
        fs::remove_all(dir);
    }
    void readArchive(const std::map<std::string, Bytes>& members) {
        writeZip(dir + "/data.pak", members);
        ASSERT_TRUE(stmReadPak((dir + "/data.pak").c_str()));
    }
    std::string dir;
};

TEST_F(ExtractTest, WritesEveryMemberByNameAndKeepsExistingFilesUnlessOverwriting) {
    const Bytes png = pngBytes(2, 1, 3, {255, 0, 0, 0, 255, 0});
    readArchive({{"a.txt", textBytes("archive a")},
                 {"shaders/x.vert.glsl", textBytes("void main(){}")},
                 {"rgb.png", png},
                 {"empty.bin", Bytes{}}});
    const std::string out = dir + "/out/deeper";
    ASSERT_TRUE(stmExtractArchive(out.c_str(), false));
    EXPECT_EQ(readFile(out + "/a.txt"), textBytes("archive a"));
    EXPECT_EQ(readFile(out + "/shaders/x.vert.glsl"), textBytes("void main(){}"));
    EXPECT_EQ(readFile(out + "/rgb.png"), png);
    EXPECT_TRUE(fs::is_regular_file(out + "/empty.bin"));
    EXPECT_EQ(fs::file_size(out + "/empty.bin"), 0u);
    size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(out)) files += entry.is_regular_file();
    EXPECT_EQ(files, 4u) << "no temporary file may be left beside the members";

    writeFile(out + "/a.txt", textBytes("edited"));
    ASSERT_TRUE(stmExtractArchive(out.c_str(), false));
    EXPECT_EQ(readFile(out + "/a.txt"), textBytes("edited"));
    ASSERT_TRUE(stmExtractArchive(out.c_str(), true));
    EXPECT_EQ(readFile(out + "/a.txt"), textBytes("archive a"));
}

TEST_F(ExtractTest, RefusesNamesOutsideTheDirectoryAndPathsItCannotWrite) {
    readArchive({{"a.txt", textBytes("a")}, {"../escaped.txt", textBytes("x")}, {"b.txt", textBytes("b")}});
    const std::string out = dir + "/out";
    fs::create_directories(out + "/b.txt"); // a directory where a member's file belongs
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(stmExtractArchive(out.c_str(), true));
    const std::string log = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("member '../escaped.txt' not written"), std::string::npos) << log;
    EXPECT_NE(log.find("cannot write '" + out + "/b.txt'"), std::string::npos) << log;
    EXPECT_FALSE(fs::exists(dir + "/escaped.txt"));
    EXPECT_EQ(readFile(out + "/a.txt"), textBytes("a"));

    const std::string blocked = dir + "/a-file";
    writeFile(blocked, textBytes("in the way"));
    EXPECT_FALSE(stmExtractArchive((blocked + "/out").c_str(), false));
}

} // namespace
