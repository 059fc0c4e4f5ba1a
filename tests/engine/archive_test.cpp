// The archive with its loose-file overlay, and the textures made from it.
#include "TestData.h"

#include <GL/gl.h>

#include <cstring>
#include <filesystem>
#include <functional>

namespace {

class ArchiveTest : public HeadlessTest {
protected:
    void SetUp() override {
        dir = makeTempDir("archive");
        std::vector<unsigned char> grey = {0, 64, 128, 255};     // 2x2, top row first
        std::vector<unsigned char> rgb = {255, 0, 0, 0, 255, 0}; // 2x1
        writeZip(dir + "/data.pak", {{"a.txt", textBytes("archive a")},
                                     {"shaders/x.vert.glsl", textBytes("void main(){}")},
                                     {"grey.png", pngBytes(2, 2, 1, grey)},
                                     {"rgb.png", pngBytes(2, 1, 3, rgb)},
                                     {"broken.png", textBytes("not a png")},
                                     {"song.bin", Bytes{1, 2, 3}}});
        overlay = dir + "/loose";
        writeFile(overlay + "/a.txt", textBytes("loose a"));
        writeFile(overlay + "/sub/b.txt", textBytes("loose b"));
    }
    void TearDown() override {
        HeadlessTest::TearDown();
        std::filesystem::remove_all(dir);
    }
    std::string dir, overlay;
};

TEST_F(ArchiveTest, LooseFilesOverrideMembersAndMissingTextsAreNull) {
    StmRunOptions options;
    options.dataDir = overlay.c_str();
    open(16, 16, options);
    ASSERT_TRUE(stmReadPak((dir + "/data.pak").c_str()));
    EXPECT_STREQ(stmGetText("a.txt"), "loose a");
    EXPECT_STREQ(stmGetText("sub/b.txt"), "loose b");
    EXPECT_STREQ(stmGetText("shaders/x.vert.glsl"), "void main(){}");
    EXPECT_EQ(stmGetText("missing.txt"), nullptr);
    EXPECT_EQ(stmGetText("grey.png"), nullptr); // images are not texts
    ASSERT_EQ(stmGetTextCount(), 3);
    for (int i = 0; i < stmGetTextCount(); ++i)
        EXPECT_STREQ(stmGetTextAtIndex(i), stmGetText(stmGetTextFileNameAtIndex(i)));
    EXPECT_EQ(stmGetTextAtIndex(3), nullptr);
    unsigned int size = 0;
    const unsigned char* bin = stmGetFile("song.bin", &size);
    ASSERT_NE(bin, nullptr);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(bin[2], 3);
    EXPECT_EQ(stmGetFile("nothing", &size), nullptr);
    EXPECT_EQ(size, 0u);
}

TEST_F(ArchiveTest, UnusableArchivesGiveNothingAndSayWhy) {
    open(16, 16);
    Bytes whole = readFile(dir + "/data.pak");
    writeFile(dir + "/bad.pak", textBytes("PK but not really"));
    writeFile(dir + "/half.pak", Bytes(whole.begin(), whole.begin() + long(whole.size() / 2)));
    struct Case {
        const char* name;
        const char* why;
    } cases[] = {{"nope.pak", "No such file"}, {"bad.pak", "Not a zip archive"}, {"half.pak", "Not a zip archive"}};
    for (const Case& c : cases) {
        EXPECT_FALSE(stmReadPak((dir + "/" + c.name).c_str())) << c.name;
        ASSERT_NE(stmPakError(), nullptr) << c.name;
        std::string why = stmPakError();
        EXPECT_NE(why.find(c.name), std::string::npos) << why;
        EXPECT_NE(why.find(c.why), std::string::npos) << why;
        EXPECT_EQ(stmGetTextCount(), 0);
    }
    EXPECT_TRUE(stmReadPak((dir + "/data.pak").c_str()));
    EXPECT_EQ(stmPakError(), nullptr);
}

// Members whose data disagrees with their directory entry are named in the
// log and read as absent; the rest of the archive is still there. Members
// are stored so the damage reaches the bytes as written.
TEST_F(ArchiveTest, DamagedMembersAreReportedByNameAndLeftOut) {
    open(16, 16);
    Bytes text = textBytes(std::string(3000, 'x'));
    writeZip(dir + "/good.pak", {{"a.txt", text}, {"keep.txt", textBytes("kept")}}, {"a.txt", "keep.txt"});
    const Bytes good = readFile(dir + "/good.pak");
    const ZipEntry a = findZipEntry(good, "a.txt");
    struct Case {
        const char* what;
        std::function<void(Bytes&)> damage;
        const char* why;
    } cases[] = {
        {"a flipped data byte", [&](Bytes& z) { z[a.data + 100] ^= 0x20; }, "CRC"},
        {"an overstated size",
         [&](Bytes& z) {
             put32(z, a.central + 24, 0xFFFFFFF0u);
             put32(z, a.local + 22, 0xFFFFFFF0u);
         },
         "a.txt"},
        {"an understated size",
         [&](Bytes& z) {
             put32(z, a.central + 24, 1000);
             put32(z, a.local + 22, 1000);
         },
         "a.txt"},
    };
    for (const Case& c : cases) {
        Bytes zip = good;
        c.damage(zip);
        writeFile(dir + "/damaged.pak", zip);
        testing::internal::CaptureStderr();
        EXPECT_TRUE(stmReadPak((dir + "/damaged.pak").c_str())) << c.what;
        std::string log = testing::internal::GetCapturedStderr();
        EXPECT_NE(log.find("member 'a.txt' is damaged"), std::string::npos) << c.what << "\n" << log;
        EXPECT_NE(log.find(c.why), std::string::npos) << c.what << "\n" << log;
        EXPECT_EQ(stmGetText("a.txt"), nullptr) << c.what;
        EXPECT_STREQ(stmGetText("keep.txt"), "kept") << c.what;
    }
}

TEST_F(ArchiveTest, ImagesUploadAsRGBAWithGreyAsAlphaAndParametersApplied) {
    open(16, 16);
    ASSERT_TRUE(stmReadPak((dir + "/data.pak").c_str()));
    stmSetTextureParameter("grey.png", GL_TEXTURE_WRAP_S, 33071.0f);
    testing::internal::CaptureStderr();
    stmUploadTextures();
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("broken.png"), std::string::npos);

    stm::Texture* grey = stmGetTexture("grey.png");
    ASSERT_EQ(grey->getWidth(), 2);
    ASSERT_EQ(grey->getHeight(), 2);
    const unsigned char expectedGrey[] = {0, 0, 0, 0, 64, 64, 64, 64, 128, 128, 128, 128, 255, 255, 255, 255};
    EXPECT_EQ(std::memcmp(grey->getImgData(), expectedGrey, sizeof(expectedGrey)), 0);
    GLint wrap = 0;
    glBindTexture(GL_TEXTURE_2D, grey->getID());
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(wrap, 0x812F);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrap);
    EXPECT_EQ(wrap, GL_REPEAT);

    const unsigned char* rgb = stmGetTexture("rgb.png")->getImgData();
    const unsigned char expectedRgb[] = {255, 0, 0, 255, 0, 255, 0, 255};
    EXPECT_EQ(std::memcmp(rgb, expectedRgb, sizeof(expectedRgb)), 0);

    // The GL texture holds the same pixels, first row first.
    unsigned char uploaded[16];
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, uploaded);
    EXPECT_EQ(std::memcmp(uploaded, expectedGrey, sizeof(uploaded)), 0);
}

TEST_F(ArchiveTest, MissingImagesGiveOneVisiblePlaceholderAndRenderTexturesAreFound) {
    open(16, 16);
    ASSERT_TRUE(stmReadPak((dir + "/data.pak").c_str()));
    testing::internal::CaptureStderr();
    stm::Texture* a = stmGetTexture("nothing.png");
    stm::Texture* b = stmGetTexture("broken.png");
    stm::Texture* again = stmGetTexture("nothing.png");
    std::string log = testing::internal::GetCapturedStderr();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a, again);
    EXPECT_NE(a->getID(), 0u);
    EXPECT_EQ(a->getImgData()[0], 255); // magenta check at the corner
    EXPECT_EQ(a->getImgData()[1], 0);
    size_t first = log.find("nothing.png");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(log.find("nothing.png", first + 1), std::string::npos) << "logged once per name";

    stmAddRenderToTexture(64, 32, "env00");
    stm::Texture* target = stmGetTexture("env00");
    EXPECT_NE(target, a);
    EXPECT_EQ(target->getWidth(), 64);
    EXPECT_EQ(target->getHeight(), 32);
    EXPECT_EQ(target->getImgData(), nullptr);
}

TEST_F(ArchiveTest, ImagesBeyondTheBoundsOrUndecodableAreRefusedOnceAndNotCounted) {
    writeZip(dir + "/data.pak", {{"grey.png", pngBytes(2, 2, 1, {0, 64, 128, 255})},
                                 {"huge.png", pngHeaderOnly(20000, 20000)},
                                 {"broken.png", textBytes("not a png")}});
    open(16, 16);
    ASSERT_TRUE(stmReadPak((dir + "/data.pak").c_str()));
    testing::internal::CaptureStderr();
    stmUploadTextures();
    stm::Texture* huge = stmGetTexture("huge.png");
    stm::Texture* broken = stmGetTexture("broken.png");
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("'huge.png' is not usable: 20000x20000 is larger than the driver's largest texture"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("stmUploadTextures: 1 textures"), std::string::npos) << log;
    // Each refusal is said once, and the placeholder stands in without the
    // image being called absent.
    for (const char* name : {"huge.png", "broken.png"}) {
        size_t first = log.find(name);
        ASSERT_NE(first, std::string::npos) << name;
        EXPECT_EQ(log.find(name, first + 1), std::string::npos) << name << " logged twice:\n" << log;
    }
    EXPECT_EQ(huge, broken);
    EXPECT_EQ(huge->getWidth(), 64); // the placeholder
}

TEST(ImageBounds, SidesAndBudgetAreCheckedFromTheHeaderBeforeDecoding) {
    Bytes png = pngBytes(64, 32, 4, std::vector<unsigned char>(64 * 32 * 4, 7));
    const size_t bytes = 64 * 32 * 4;
    int w = 0, h = 0;
    std::string failure;
    EXPECT_TRUE(stmDecodeImage(png.data(), png.size(), 64, bytes, w, h, failure)) << failure;
    EXPECT_EQ(w, 64);
    EXPECT_EQ(h, 32);
    EXPECT_FALSE(stmDecodeImage(png.data(), png.size(), 63, bytes, w, h, failure));
    EXPECT_EQ(failure, "64x32 is larger than the driver's largest texture (63 pixels a side)");
    EXPECT_FALSE(stmDecodeImage(png.data(), png.size(), 64, bytes - 1, w, h, failure));
    EXPECT_EQ(failure, "64x32 needs 8 KiB, more than the 7 KiB left of the textures' budget");
    // 18900 x 18900 would decode to 1.3 GiB of RGBA: refused at once.
    Bytes huge = pngHeaderOnly(18900, 18900);
    EXPECT_FALSE(stmDecodeImage(huge.data(), huge.size(), 16384, size_t(512) << 20, w, h, failure));
    EXPECT_NE(failure.find("18900x18900 is larger"), std::string::npos) << failure;
    EXPECT_FALSE(stmDecodeImage(huge.data(), huge.size(), 20000, size_t(512) << 20, w, h, failure));
    EXPECT_NE(failure.find("18900x18900 needs 1362 MiB, more than the 512 MiB left"), std::string::npos) << failure;
}

// A PNG chunk declaring more bytes than the file holds (here an IDAT of
// 1 GiB in a file of under a hundred bytes) is refused before the decoder
// sizes a buffer by it; a valid file with bytes after its end still decodes.
TEST(ImageBounds, PngChunksLongerThanTheFileAreRefusedBeforeDecoding) {
    Bytes png = pngBytes(4, 4, 1, std::vector<unsigned char>(16, 9));
    size_t idat = 8;
    auto length = [&](size_t at) {
        return size_t(png[at]) << 24 | size_t(png[at + 1]) << 16 | size_t(png[at + 2]) << 8 | png[at + 3];
    };
    while (std::string(reinterpret_cast<const char*>(&png[idat + 4]), 4) != "IDAT") idat += 12 + length(idat);
    int w = 0, h = 0;
    std::string failure;
    Bytes trailing = png;
    trailing.insert(trailing.end(), {0, 0, 0, 0x40, 'j', 'u', 'n', 'k'});
    EXPECT_TRUE(stmDecodeImage(trailing.data(), trailing.size(), 64, 1 << 20, w, h, failure)) << failure;

    Bytes claims = png;
    claims[idat] = 0x40;
    claims[idat + 1] = claims[idat + 2] = claims[idat + 3] = 0;
    EXPECT_FALSE(stmDecodeImage(claims.data(), claims.size(), 64, 1 << 20, w, h, failure));
    EXPECT_EQ(failure, "its PNG chunk IDAT declares 1073741824 bytes, more than the " +
                           std::to_string(claims.size() - idat - 8) + " left in the file");
}

// Only the archive's four formats reach a decoder, whatever the name: a
// PNM (its header reader overflowed an int on this one, found by the image
// fuzzer) or a GIF is refused, while a headerless TGA, whose format has no
// signature, still decodes.
TEST(ImageBounds, OnlyPngJpegBmpAndTgaDataReachADecoder) {
    int w = 0, h = 0;
    std::string failure;
    const std::string overflow = "P555555555555555555555555555555555555556B";
    const Bytes pnm(overflow.begin(), overflow.end());
    EXPECT_FALSE(stmDecodeImage(pnm.data(), pnm.size(), 64, 1 << 20, w, h, failure));
    EXPECT_EQ(failure, "its data is a PNM picture; images are PNG, JPEG, BMP or TGA");
    const std::string pgm = std::string("P5\n2 1\n255\n") + char(10) + char(200);
    EXPECT_FALSE(
        stmDecodeImage(reinterpret_cast<const unsigned char*>(pgm.data()), pgm.size(), 64, 1 << 20, w, h, failure));
    const Bytes gif = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0,   0, 0, ',', 0,
                       0,   0,   0,   1,   0,   1,   0, 0, 2, 2, 'D', 1, 0, ';'};
    EXPECT_FALSE(stmDecodeImage(gif.data(), gif.size(), 64, 1 << 20, w, h, failure));
    EXPECT_EQ(failure, "its data is a GIF picture; images are PNG, JPEG, BMP or TGA");
    // An uncompressed 2x1 grey TGA.
    const Bytes tga = {0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 8, 0, 10, 200};
    EXPECT_TRUE(stmDecodeImage(tga.data(), tga.size(), 64, 1 << 20, w, h, failure)) << failure;
    EXPECT_EQ(w, 2);
    EXPECT_EQ(h, 1);
}

// A JPEG whose Huffman table declares more codes than a table holds made
// the decoder write past its table; it is refused before decoding, wherever
// the table stands (cut off by the end of the data too).
TEST(ImageBounds, JpegHuffmanTablesWithTooManyCodesAreRefused) {
    int w = 0, h = 0;
    std::string failure;
    const Bytes cut = {0xFF, 0xD8, 0xFF, 0xC4, 0x01, 0x00, 0x00, 0xFD, 0x77}; // found by the image fuzzer
    EXPECT_FALSE(stmDecodeImage(cut.data(), cut.size(), 64, 1 << 20, w, h, failure));
    EXPECT_EQ(failure, "its JPEG Huffman table declares 372 codes (at most 256)");
    // Fill bytes before the start marker and inside a table's counts.
    const Bytes filled = {0xFF, 0xFF, 0xD8, 0xFF, 0xC4, 0xFC, 0x05, 0x00,
                          0x46, 0xD8, 0xFF, 0xC4, 0xFC, 0x05, 0x00, 0x46};
    EXPECT_FALSE(stmDecodeImage(filled.data(), filled.size(), 64, 1 << 20, w, h, failure));
    EXPECT_NE(failure.find("codes (at most 256)"), std::string::npos) << failure;
    // A first table of 256 codes is fine; the second, after a comment and
    // inside the same segment, is not.
    Bytes jpeg = {0xFF, 0xD8, 0xFF, 0xFE, 0x00, 0x04, 'h', 'i', 0xFF, 0xC4, 0x02, 0x26, 0x00};
    Bytes counts(16, 0);
    counts[15] = 0xFF;
    counts[14] = 1;
    jpeg.insert(jpeg.end(), counts.begin(), counts.end());
    jpeg.insert(jpeg.end(), 256, 0x11);
    jpeg.push_back(0x10);
    counts[13] = 1;
    jpeg.insert(jpeg.end(), counts.begin(), counts.end());
    EXPECT_FALSE(stmDecodeImage(jpeg.data(), jpeg.size(), 64, 1 << 20, w, h, failure));
    EXPECT_EQ(failure, "its JPEG Huffman table declares 257 codes (at most 256)");
}

// Exporters write UTF-16 with a byte-order mark; readers get UTF-8.
TEST_F(ArchiveTest, Utf16TextsAreReadAsUtf8AndBadOnesAreReported) {
    auto utf16 = [](const std::u16string& text, bool bigEndian) {
        Bytes bytes = bigEndian ? Bytes{0xFE, 0xFF} : Bytes{0xFF, 0xFE};
        for (char16_t c : text) {
            unsigned char hi = static_cast<unsigned char>(c >> 8), lo = static_cast<unsigned char>(c & 0xFF);
            bytes.push_back(bigEndian ? hi : lo);
            bytes.push_back(bigEndian ? lo : hi);
        }
        return bytes;
    };
    Bytes unpaired = utf16(u"<a>", false);
    unpaired.insert(unpaired.end(), {0x00, 0xD8, 0x41, 0x00}); // a high surrogate without its pair
    writeZip(dir + "/data.pak", {{"le.dae", utf16(u"<a>\u00e9\u20ac</a>", false)},
                                 {"be.txt", utf16(u"be \U0001F600", true)},
                                 {"bad.txt", unpaired}});
    open(16, 16);
    testing::internal::CaptureStderr();
    ASSERT_TRUE(stmReadPak((dir + "/data.pak").c_str()));
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_STREQ(stmGetText("le.dae"), "<a>\xc3\xa9\xe2\x82\xac</a>");
    EXPECT_STREQ(stmGetText("be.txt"), "be \xf0\x9f\x98\x80");
    EXPECT_NE(log.find("'bad.txt' is UTF-16LE but not valid UTF-16LE"), std::string::npos) << log;
}

} // namespace
