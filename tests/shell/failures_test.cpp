// The whole program against damaged archives, damaged members and outputs
// it cannot make: each case runs the real executable headless and checks its
// exit status, what it said, and that nothing half-written is left.
#include "tests/engine/TestData.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <spawn.h>
#include <sys/wait.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

// The executable alone in a folder, so a case's own data.pak (or none) is
// the only archive it can find.
const std::string& bareExecutable() {
    static std::string path = [] {
        std::string dir = makeTempDir("failures-bin");
        fs::copy_file(ZEPHRAN_EXECUTABLE, dir + "/zephran");
        return dir + "/zephran";
    }();
    return path;
}

struct Outcome {
    int status = -1; // exit status, or 128 + the signal that ended it
    std::string log; // stdout and stderr
};

// Runs the bare executable in `dir` with `args`, headless at 32x18 unless
// `headless` is false; `extraEnv` entries replace those of the same name.
// `during` is called with the child's pid while it runs; `addressSpace`
// limits its memory. Killed after two minutes.
Outcome runIn(const std::string& dir, const std::vector<std::string>& args,
              const std::vector<std::string>& extraEnv = {}, const std::function<void(pid_t)>& during = nullptr,
              bool headless = true, rlim_t addressSpace = RLIM_INFINITY) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        bool replaced = false;
        for (const std::string& x : extraEnv)
            replaced = replaced || entry.compare(0, x.find('=') + 1, x, 0, x.find('=') + 1) == 0;
        if (!replaced) env.push_back(entry);
    }
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());
    std::vector<std::string> argv = {bareExecutable()};
    if (headless) argv.insert(argv.end(), {"--headless", "--size", "32x18"});
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> argp, envp;
    for (std::string& a : argv) argp.push_back(a.data());
    argp.push_back(nullptr);
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);

    std::string logPath = dir + "/../" + fs::path(dir).filename().string() + ".log";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
    posix_spawn_file_actions_addopen(&actions, 1, logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = 0;
    // The child inherits the limit; this process has it only for the spawn.
    rlimit limit = {}, was = {};
    getrlimit(RLIMIT_AS, &was);
    limit = {addressSpace, was.rlim_max};
    setrlimit(RLIMIT_AS, &limit);
    int error = posix_spawn(&pid, argp[0], &actions, nullptr, argp.data(), envp.data());
    setrlimit(RLIMIT_AS, &was);
    posix_spawn_file_actions_destroy(&actions);
    Outcome outcome;
    if (error != 0) return outcome;
    if (during) during(pid);
    int status = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) kill(pid, SIGKILL);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    outcome.log = std::string(reinterpret_cast<const char*>(readFile(logPath).data()), readFile(logPath).size());
    return outcome;
}

// Every path below `dir`, relative to it, except the case's inputs.
std::set<std::string> leftIn(const std::string& dir) {
    std::set<std::string> found;
    for (auto it = fs::recursive_directory_iterator(dir); it != fs::recursive_directory_iterator(); ++it) {
        std::string name = it->path().lexically_relative(dir).generic_string();
        if (name != "data.pak" && name.rfind("in", 0) != 0) found.insert(name);
    }
    return found;
}

// The demo's own archive with `member` stored, then damaged by `damage`.
Bytes damagedArchive(const std::string& member, const std::function<void(Bytes&, const ZipEntry&)>& damage) {
    int error = 0;
    zip_t* z = zip_open(ZEPHRAN_ARCHIVE, ZIP_RDONLY, &error);
    EXPECT_NE(z, nullptr);
    std::map<std::string, Bytes> members;
    for (zip_int64_t i = 0; z && i < zip_get_num_entries(z, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(z, zip_uint64_t(i), 0, &st);
        Bytes bytes(st.size);
        zip_file_t* f = zip_fopen_index(z, zip_uint64_t(i), 0);
        zip_fread(f, bytes.data(), st.size);
        zip_fclose(f);
        members[st.name] = std::move(bytes);
    }
    if (z) zip_close(z);
    std::string dir = makeTempDir("failures-pak");
    writeZip(dir + "/data.pak", members, {member});
    Bytes zip = readFile(dir + "/data.pak");
    fs::remove_all(dir);
    damage(zip, findZipEntry(zip, member));
    return zip;
}

// A member of the demo's own archive.
Bytes archiveMember(const std::string& name) {
    int error = 0;
    zip_t* z = zip_open(ZEPHRAN_ARCHIVE, ZIP_RDONLY, &error);
    zip_stat_t st;
    Bytes bytes;
    if (z && zip_stat(z, name.c_str(), 0, &st) == 0) {
        bytes.resize(st.size);
        zip_file_t* f = zip_fopen(z, name.c_str(), 0);
        zip_fread(f, bytes.data(), st.size);
        zip_fclose(f);
    }
    if (z) zip_close(z);
    EXPECT_FALSE(bytes.empty()) << name;
    return bytes;
}

// How many images the demo's own archive holds.
int archiveImages() {
    int error = 0, n = 0;
    zip_t* z = zip_open(ZEPHRAN_ARCHIVE, ZIP_RDONLY, &error);
    for (zip_int64_t i = 0; z && i < zip_get_num_entries(z, 0); ++i) {
        std::string name = zip_get_name(z, zip_uint64_t(i), 0);
        for (const char* extension : {".png", ".jpg", ".jpeg", ".bmp", ".tga"})
            n += fs::path(name).extension() == extension;
    }
    if (z) zip_close(z);
    return n;
}

// ASCII text as UTF-16LE with its byte-order mark, as exporters write it.
Bytes utf16le(const Bytes& ascii) {
    Bytes out = {0xFF, 0xFE};
    for (unsigned char c : ascii) out.insert(out.end(), {c, 0});
    return out;
}

std::string nested(int depth) {
    std::string open, close;
    for (int i = 0; i < depth; ++i) {
        open += "<node>";
        close += "</node>";
    }
    return "<?xml version=\"1.0\"?><COLLADA><library_visual_scenes><visual_scene id=\"s\">" + open + close +
           "</visual_scene></library_visual_scenes></COLLADA>";
}

struct Case {
    const char* name;
    // Fills the case's folder (its data.pak, loose files in in/, obstacles)
    // and gives the arguments.
    std::function<std::vector<std::string>(const std::string& dir)> setUp;
    int status;
    std::vector<std::string> said;
    std::set<std::string> left; // all the run may leave, besides its inputs
    std::vector<std::string> env = {};
    std::vector<std::string> notSaid = {};
};

void realArchive(const std::string& dir) { fs::create_symlink(ZEPHRAN_ARCHIVE, dir + "/data.pak"); }

const std::vector<std::string> kShot = {"--shot", "1000", "x.png"};

const Case kCases[] = {
    // The archive.
    {"missing archive",
     [](const std::string&) { return kShot; },
     1,
     {"The data archive is unusable: cannot open 'data.pak'"},
     {}},
    {"truncated archive",
     [](const std::string& d) {
         Bytes whole = readFile(ZEPHRAN_ARCHIVE);
         writeFile(d + "/data.pak", Bytes(whole.begin(), whole.begin() + long(whole.size() / 2)));
         return kShot;
     },
     1,
     {"The data archive is unusable: cannot open 'data.pak': Not a zip archive"},
     {}},
    {"archive that is no zip",
     [](const std::string& d) {
         writeFile(d + "/data.pak", textBytes("just text"));
         return kShot;
     },
     1,
     {"The data archive is unusable: cannot open 'data.pak': Not a zip archive"},
     {}},
    {"member with a bad CRC",
     [](const std::string& d) {
         writeFile(d + "/data.pak",
                   damagedArchive("logo.dae", [](Bytes& z, const ZipEntry& e) { z[e.data + 200] ^= 1; }));
         return kShot;
     },
     1,
     {"member 'logo.dae' is damaged (CRC", "Could not find file: 'logo.dae'"},
     {}},
    {"member whose entry overstates its size",
     [](const std::string& d) {
         writeFile(d + "/data.pak", damagedArchive("logo.dae", [](Bytes& z, const ZipEntry& e) {
                       put32(z, e.central + 24, 0xFFFFFFF0u);
                       put32(z, e.local + 22, 0xFFFFFFF0u);
                   }));
         return kShot;
     },
     1,
     {"member 'logo.dae' is damaged", "Could not find file: 'logo.dae'"},
     {}},
    // Damaged members, laid over the real archive as loose files.
    {"scene nested 50000 deep",
     [](const std::string& d) {
         realArchive(d);
         writeFile(d + "/in/logo.dae", textBytes(nested(50000)));
         return std::vector<std::string>{"--data", "in", "--shot", "1000", "x.png"};
     },
     0,
     {"elements nest deeper than 1024 levels at line 1"},
     {"x.png"}},
    {"shader that does not compile",
     [](const std::string& d) {
         realArchive(d);
         writeFile(d + "/in/ssao.frag.glsl", textBytes("void main() { gl_FragColor = vec4(1) }\n"));
         return std::vector<std::string>{"--data", "in", "--shot", "1000", "x.png"};
     },
     0,
     {"ERROR: shader \"ssao\": the fragment stage's compile failed", "Added shader was not initialized\n"},
     {"x.png"}},
    // Shader texts whose includes have no end: refused at a bound, named
    // with the shader, the file and the bound, and not built.
    {"shader whose includes nest 23000 deep",
     [](const std::string& d) {
         realArchive(d);
         for (int i = 0; i < 23000; ++i)
             writeFile(d + "/in/c" + std::to_string(i) + ".glsl",
                       textBytes("#include \"c" + std::to_string(i + 1) + ".glsl\"\n"));
         writeFile(d + "/in/deep.frag.glsl", textBytes("#include \"c0.glsl\"\nvoid main() {}\n"));
         writeFile(d + "/in/deep.vert.glsl", textBytes("void main() { gl_Position = ftransform(); }\n"));
         return std::vector<std::string>{"--data", "in", "--shot", "1000", "x.png"};
     },
     0,
     {"Shader \"deep\" not built: includes nest deeper than 32 levels (c0.glsl -> c1.glsl", "in 'deep.frag.glsl'"},
     {"x.png"}},
    {"shader whose includes fan out",
     [](const std::string& d) {
         realArchive(d);
         for (int i = 0; i < 12; ++i) {
             std::string next = "#include \"f" + std::to_string(i + 1) + ".glsl\"\n";
             writeFile(d + "/in/f" + std::to_string(i) + ".glsl", textBytes(next + next + next + next));
         }
         writeFile(d + "/in/f12.glsl", textBytes("vec4 v = vec4(1.0);\n"));
         writeFile(d + "/in/ssao.frag.glsl", textBytes("#include \"f0.glsl\"\nvoid main() {}\n"));
         // Plates, at 20 s, runs the occlusion pass.
         return std::vector<std::string>{"--data", "in", "--shot", "20000", "x.png"};
     },
     0,
     {"Shader \"ssao\" not built: expands past 1048576 bytes (in f", "in 'ssao.frag.glsl'",
      "Shader \"ssao\" was not built (see the reason above)"},
     {"x.png"},
     {},
     {"is not in the registry"}},
    // Images beyond what a texture can be are refused from their header,
    // once, and the placeholder drawn; the count is of real uploads.
    {"image of 20000x20000",
     [](const std::string& d) {
         realArchive(d);
         writeFile(d + "/in/px.png", pngHeaderOnly(20000, 20000));
         return std::vector<std::string>{"--data", "in", "--shot", "1000", "x.png"};
     },
     0,
     {"stmUploadTextures: 'px.png' is not usable: 20000x20000 is larger than the driver's largest texture",
      // All but the refused one and the window icon, made a texture first.
      "stmUploadTextures: " + std::to_string(archiveImages() - 2) + " textures"},
     {"x.png"},
     {},
     {"no texture 'px.png'"}},
    {"scene written as UTF-16",
     [](const std::string& d) {
         realArchive(d);
         writeFile(d + "/in/logo.dae", utf16le(archiveMember("logo.dae")));
         return std::vector<std::string>{"--data", "in", "--shot", "1000", "x.png"};
     },
     0,
     {"Loading logo.dae finished."},
     {"x.png"},
     {},
     {"Opening document failed"}},
    {"scene with a NaN vertex",
     [](const std::string& d) {
         realArchive(d);
         Bytes dae = archiveMember("logo.dae");
         std::string text(dae.begin(), dae.end());
         size_t values = text.find('>', text.find("<float_array")) + 1;
         text.replace(values, text.find_first_of(" <", values) - values, "nan");
         writeFile(d + "/in/logo.dae", textBytes(text));
         return std::vector<std::string>{"--data", "in", "--shot", "1000", "x.png"};
     },
     0,
     {"vertex values are NaN or infinite"},
     {"x.png"}},
    {"song that is a WAV",
     [](const std::string& d) {
         realArchive(d);
         writeFile(d + "/in/song.ogg", textBytes("RIFF\x24\0\0\0WAVEfmt "));
         return std::vector<std::string>{"--data", "in", "--shot", "1000", "x.png"};
     },
     0,
     {"song.ogg: not an Ogg Vorbis stream"},
     {"x.png"},
     {},
     {"no song.ogg in the archive"}},
    {"song claiming an absurd length",
     [](const std::string& d) {
         realArchive(d);
         Bytes song = toneOgg(440.0f, 0.3f, 2.0f);
         setOggLength(song, uint64_t(1) << 40);
         writeFile(d + "/in/song.ogg", song);
         return std::vector<std::string>{"--data", "in", "--export-song", "song.wav"};
     },
     0,
     {"song.ogg: the stream claims", "much shorter than the programme's 225.5 s"},
     {"song.wav"}},
    {"zero-byte song",
     [](const std::string& d) {
         realArchive(d);
         writeFile(d + "/in/song.ogg", Bytes());
         return std::vector<std::string>{"--data", "in", "--export-song", "song.wav"};
     },
     1,
     {"song.ogg: not an Ogg Vorbis stream"},
     {}},
    // Outputs that cannot be made.
    {"shot below a file",
     [](const std::string& d) {
         realArchive(d);
         writeFile(d + "/f", textBytes("a file"));
         return std::vector<std::string>{"--shot", "1000", "f/x.png"};
     },
     2,
     {"zephran: cannot write 'f/x.png': Not a directory"},
     {"f"}},
    // Outputs that exist and are not regular files are refused before
    // anything renders: a FIFO would block the open for ever, a device or a
    // directory cannot take the file. (A run that blocks is killed by runIn.)
    {"shot onto a device",
     [](const std::string& d) {
         realArchive(d);
         fs::create_symlink("/dev/full", d + "/x.png");
         return kShot;
     },
     2,
     {"zephran: 'x.png' exists and is not a regular file"},
     {"x.png"}},
    {"shot into a FIFO",
     [](const std::string& d) {
         realArchive(d);
         mkfifo((d + "/x.png").c_str(), 0644);
         return kShot;
     },
     2,
     {"zephran: 'x.png' exists and is not a regular file"},
     {"x.png"}},
    {"capture frame that is a FIFO",
     [](const std::string& d) {
         realArchive(d);
         fs::create_directories(d + "/frames");
         mkfifo((d + "/frames/frame_000001.png").c_str(), 0644);
         return std::vector<std::string>{"--capture", "frames", "--from", "1000"};
     },
     2,
     {"zephran: 'frames/frame_000001.png' exists and is not a regular file"},
     {"frames", "frames/frame_000001.png"}},
    {"song into a FIFO",
     [](const std::string& d) {
         realArchive(d);
         mkfifo((d + "/song.wav").c_str(), 0644);
         return std::vector<std::string>{"--export-song", "song.wav"};
     },
     2,
     {"zephran: 'song.wav' exists and is not a regular file"},
     {"song.wav"}},
    {"video that is a directory",
     [](const std::string& d) {
         realArchive(d);
         fs::create_directories(d + "/out.mp4");
         return std::vector<std::string>{"--capture", "out.mp4", "--from", "1000", "--to", "1100"};
     },
     2,
     {"zephran: 'out.mp4' exists and is not a regular file"},
     {"out.mp4"}},
    {"capture folder that is a file",
     [](const std::string& d) {
         realArchive(d);
         writeFile(d + "/frames", textBytes("a file"));
         return std::vector<std::string>{"--capture", "frames", "--from", "1000"};
     },
     2,
     {"zephran: 'frames' exists and is not a directory"},
     {"frames"}},
    {"video in a folder that is not there",
     [](const std::string& d) {
         realArchive(d);
         return std::vector<std::string>{"--capture", "no/such/dir/x.mp4", "--from", "1000", "--to", "1100"};
     },
     2,
     {"zephran: cannot write 'no/such/dir/x.mp4': No such file or directory"},
     {}},
    {"data that is not a directory",
     [](const std::string& d) {
         realArchive(d);
         writeFile(d + "/in", textBytes("a file"));
         return std::vector<std::string>{"--data", "in", "--shot", "1000", "x.png"};
     },
     2,
     {"zephran: --data 'in' is not a directory"},
     {}},
    {"second shot",
     [](const std::string&) { return std::vector<std::string>{"--shot", "1000", "a.png", "--shot", "2000", "b.png"}; },
     2,
     {"zephran: --shot given twice"},
     {}},
    {"size too small for the targets",
     [](const std::string&) {
         return std::vector<std::string>{"--size", "1x1", "--shot", "1000", "x.png"};
     },
     2,
     {"zephran: --size expects WIDTHxHEIGHT, each 4 to 16384"},
     {}},
    {"ffmpeg missing",
     [](const std::string& d) {
         realArchive(d);
         return std::vector<std::string>{"--capture", "x.mp4", "--from", "1000", "--to", "1100"};
     },
     1,
     {"cannot start ffmpeg for 'x.mp4': No such file or directory"},
     {},
     {"PATH=/nonexistent"}},
    {"shot with another extension",
     [](const std::string&) {
         return std::vector<std::string>{"--shot", "1000", "x.jpg"};
     },
     2,
     {"'x.jpg' is not a .png file name"},
     {}},
    {"capture to one PNG file",
     [](const std::string&) {
         return std::vector<std::string>{"--capture", "x.png"};
     },
     2,
     {"--shot writes a single frame"},
     {}},
    {"capture to an unknown kind",
     [](const std::string&) {
         return std::vector<std::string>{"--capture", "x.txt"};
     },
     2,
     {"'x.txt' is neither a video name"},
     {}},
    {"capture from past the end",
     [](const std::string&) {
         return std::vector<std::string>{"--capture", "frames", "--from", "300000"};
     },
     2,
     {"--from 300000 is past the programme's end (225500 ms)"},
     {}},
    {"shot past the end",
     [](const std::string&) {
         return std::vector<std::string>{"--shot", "300000", "x.png"};
     },
     2,
     {"--shot 300000 is past the programme's end"},
     {}},
    // What still works, for contrast: a range clamped at the end, and a video
    // name that looks like an option.
    {"capture to past the end",
     [](const std::string& d) {
         realArchive(d);
         return std::vector<std::string>{"--capture", "frames", "--fps", "10", "--from", "225300", "--to", "300000"};
     },
     0,
     {"--to 300000 is past the programme's end; the capture stops there (225500 ms)", "capture: 3 frames"},
     {"frames", "frames/frame_000000.png", "frames/frame_000001.png", "frames/frame_000002.png"}},
    {"video named like an option",
     [](const std::string& d) {
         realArchive(d);
         return std::vector<std::string>{"--capture", "-v.mp4", "--fps", "10", "--from", "1000", "--to", "1200"};
     },
     0,
     {"capture: 2 frames to '-v.mp4'"},
     {"-v.mp4"}},
};

TEST(Failures, EachEndsWithItsStatusAndMessageAndLeavesNothingHalfWritten) {
    std::string root = makeTempDir("failures");
    int n = 0;
    for (const Case& c : kCases) {
        std::string dir = root + "/case" + std::to_string(n++);
        fs::create_directories(dir);
        std::vector<std::string> args = c.setUp(dir);
        Outcome outcome = runIn(dir, args, c.env);
        EXPECT_EQ(outcome.status, c.status) << c.name << "\n" << outcome.log;
        for (const std::string& text : c.said)
            EXPECT_NE(outcome.log.find(text), std::string::npos) << c.name << ": no \"" << text << "\" in\n"
                                                                 << outcome.log;
        for (const std::string& text : c.notSaid)
            EXPECT_EQ(outcome.log.find(text), std::string::npos) << c.name << ": \"" << text << "\" in\n"
                                                                 << outcome.log;
        EXPECT_EQ(leftIn(dir), c.left) << c.name;
    }
    fs::remove_all(root);
}

// A display that cannot be reached makes SDL fall back to its offscreen
// driver without a word; the program stops at once, naming the display and
// the cause, instead of playing into no window.
TEST(Failures, UnreachableDisplayStopsWithItsNameInsteadOfPlayingIntoNoWindow) {
    std::string dir = makeTempDir("failures-display");
    Outcome outcome =
        runIn(dir, {"--no-launcher"}, {"DISPLAY=:99", "WAYLAND_DISPLAY=", "SDL_VIDEODRIVER="}, nullptr, false);
    EXPECT_EQ(outcome.status, 1) << outcome.log;
    EXPECT_NE(outcome.log.find("stmInitEx: cannot open a window on DISPLAY=:99 (SDL's x11 driver: "), std::string::npos)
        << outcome.log;
    EXPECT_EQ(outcome.log.find("Loading"), std::string::npos) << "nothing was loaded or played\n" << outcome.log;
    fs::remove_all(dir);
}

// Ctrl-C or a kill ends a capture with the frames it has as a valid output:
// a video with its index written, or complete PNG files; the exit status
// says which signal stopped it.
TEST(Failures, StopSignalsFinishTheOutputAndExitNonZero) {
    std::string root = makeTempDir("failures-signal");
    struct Case {
        int signal;
        const char* out;
    } cases[] = {{SIGINT, "x.mp4"}, {SIGTERM, "frames"}};
    for (const Case& c : cases) {
        std::string dir = root + "/" + std::to_string(c.signal);
        fs::create_directories(dir);
        realArchive(dir);
        std::string logPath = dir + "/../" + std::to_string(c.signal) + ".log";
        Outcome outcome = runIn(dir, {"--capture", c.out, "--from", "1000"}, {}, [&](pid_t pid) {
            // Stop once the capture's progress line shows, a few frames in.
            for (int i = 0; i < 6000; ++i) {
                Bytes log = readFile(logPath);
                if (std::string(log.begin(), log.end()).find("capture [") != std::string::npos) break;
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            kill(pid, c.signal);
        });
        EXPECT_EQ(outcome.status, 128 + c.signal) << outcome.log;
        EXPECT_NE(outcome.log.find("capture: interrupted by signal " + std::to_string(c.signal)), std::string::npos)
            << outcome.log;
        if (std::string(c.out) == "x.mp4") {
            Bytes video = readFile(dir + "/x.mp4");
            EXPECT_NE(std::string(video.begin(), video.end()).find("moov"), std::string::npos) << "no index";
        } else {
            int frames = 0;
            for (const auto& entry : fs::directory_iterator(dir + "/frames")) {
                Bytes png = readFile(entry.path().string());
                ASSERT_GT(png.size(), 12u);
                EXPECT_EQ(std::string(png.end() - 8, png.end() - 4), "IEND") << entry.path();
                ++frames;
            }
            EXPECT_GE(frames, 1);
        }
    }
    fs::remove_all(root);
}

// A small tmpfs mounted for one test (CI runs as root), unmounted whatever
// the outcome.
class Tmpfs {
public:
    Tmpfs(const std::string& dir, const char* options, unsigned long flags = 0) : dir_(dir) {
        fs::create_directories(dir);
        mounted_ = mount("tmpfs", dir.c_str(), "tmpfs", flags, options) == 0;
        EXPECT_TRUE(mounted_) << "mount tmpfs on " << dir << ": " << std::strerror(errno);
    }
    ~Tmpfs() {
        if (mounted_) umount2(dir_.c_str(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    // Fills what is left of it with one file.
    void fill() const {
        FILE* f = std::fopen((dir_ + "/filler").c_str(), "wb");
        std::vector<char> block(4096, 'x');
        while (f && std::fwrite(block.data(), 1, block.size(), f) == block.size()) {}
        if (f) std::fclose(f);
    }

private:
    std::string dir_;
    bool mounted_ = false;
};

// A failed write leaves what was there: the old file, or a symbolic link
// and its target, untouched, and no temporary file; the cause is named. A
// read-only place is refused before rendering.
TEST(Failures, FailedWritesOnAFullDiskLeaveWhatWasThere) {
    std::string root = makeTempDir("failures-full");
    realArchive(root);
    Tmpfs full(root + "/full", "size=256k");
    ASSERT_TRUE(full.mounted());
    Bytes good = pngBytes(2, 2, 1, {1, 2, 3, 4});
    writeFile(root + "/full/x.png", good);
    fs::create_symlink("full/x.png", root + "/link.png");
    full.fill();

    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::vector<std::string> said;
    } cases[] = {
        {"shot over a good PNG",
         {"--shot", "1000", "full/x.png"},
         {"cannot write 'full/x.png': No space left on device"}},
        {"shot through a link", {"--shot", "1000", "link.png"}, {"cannot write 'link.png': No space left on device"}},
        {"song",
         {"--export-song", "full/song.wav"},
         {"stmExportSong: writing 'full/song.wav' failed: No space left on device"}},
        {"video",
         {"--capture", "full/x.mp4", "--fps", "10", "--from", "1000", "--to", "1500"},
         {"capture: ffmpeg failed writing 'full/x.mp4': ", "No space left on device"}},
        {"frames",
         {"--capture", "full/frames", "--fps", "10", "--from", "1000", "--to", "1500"},
         {"cannot write 'full/frames/frame_000000.png': No space left on device"}},
    };
    for (const Case& c : cases) {
        Outcome outcome = runIn(root, c.args);
        EXPECT_EQ(outcome.status, 1) << c.name << "\n" << outcome.log;
        for (const std::string& text : c.said)
            EXPECT_NE(outcome.log.find(text), std::string::npos) << c.name << ": no \"" << text << "\" in\n"
                                                                 << outcome.log;
        EXPECT_EQ(readFile(root + "/full/x.png"), good) << c.name;
        EXPECT_TRUE(fs::is_symlink(root + "/link.png")) << c.name;
        std::set<std::string> left;
        for (const auto& e : fs::directory_iterator(root + "/full")) left.insert(e.path().filename().string());
        // The capture directory itself may stay (it was made before the
        // first frame); nothing in it may.
        if (fs::is_directory(root + "/full/frames")) {
            EXPECT_TRUE(fs::is_empty(root + "/full/frames")) << c.name;
            left.erase("frames");
        }
        EXPECT_EQ(left, (std::set<std::string>{"filler", "x.png"})) << c.name;
    }

    Tmpfs readOnly(root + "/ro", "size=64k", MS_RDONLY);
    ASSERT_TRUE(readOnly.mounted());
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--capture", "ro/x.mp4"},
                                                 {"--shot", "1000", "ro/x.png"},
                                                 {"--export-song", "ro/s.wav"},
                                                 {"--capture", "ro/frames"}}) {
        Outcome outcome = runIn(root, args);
        EXPECT_EQ(outcome.status, 2) << args[1] << "\n" << outcome.log;
        EXPECT_NE(outcome.log.find("Read-only file system"), std::string::npos) << outcome.log;
        EXPECT_TRUE(fs::is_empty(root + "/ro")) << args[1];
    }
    fs::remove_all(root + "/link.png");
}

// A size the driver cannot give memory for stops at start-up naming the
// render target, instead of crashing in the driver; the limit stands in for
// a machine with less memory.
TEST(Failures, ASizeTheDriverHasNoMemoryForStopsNamingTheTarget) {
    std::string dir = makeTempDir("failures-memory");
    realArchive(dir);
    Outcome outcome =
        runIn(dir, {"--size", "8192x8192", "--shot", "1000", "x.png"}, {}, nullptr, true, rlim_t(3) << 30);
    EXPECT_EQ(outcome.status, 255) << outcome.log;
    EXPECT_NE(outcome.log.find("has no memory for the render target "), std::string::npos) << outcome.log;
    EXPECT_NE(outcome.log.find("(8192x8192"), std::string::npos) << outcome.log;
    EXPECT_EQ(leftIn(dir), std::set<std::string>{});
    fs::remove_all(dir);
}

// A successful output through a symbolic link replaces its target and keeps
// the link.
TEST(Failures, OutputsThroughALinkReplaceItsTarget) {
    std::string dir = makeTempDir("failures-link");
    realArchive(dir);
    writeFile(dir + "/target.png", textBytes("old"));
    fs::create_symlink("target.png", dir + "/x.png");
    Outcome outcome = runIn(dir, kShot);
    EXPECT_EQ(outcome.status, 0) << outcome.log;
    EXPECT_TRUE(fs::is_symlink(dir + "/x.png"));
    Bytes png = readFile(dir + "/target.png");
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
    EXPECT_EQ(leftIn(dir), (std::set<std::string>{"target.png", "x.png"}));
    fs::remove_all(dir);
}

// The first stop signal ends start-up at its next step; a second one ends
// the process at once, without finishing anything and without leaving a
// temporary file.
TEST(Failures, StopSignalsWorkAtAnyMoment) {
    std::string root = makeTempDir("failures-stop");
    auto waitFor = [](const std::string& logPath, const char* text) {
        for (int i = 0; i < 24000; ++i) {
            Bytes log = readFile(logPath);
            if (std::string(log.begin(), log.end()).find(text) != std::string::npos) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    };
    {
        std::string dir = root + "/startup";
        fs::create_directories(dir);
        realArchive(dir);
        Outcome outcome = runIn(dir, kShot, {}, [&](pid_t pid) {
            waitFor(root + "/startup.log", "stmInitEx:");
            kill(pid, SIGTERM);
        });
        EXPECT_EQ(outcome.status, 128 + SIGTERM) << outcome.log;
        EXPECT_EQ(outcome.log.find("effects on the timeline"), std::string::npos) << outcome.log;
        EXPECT_EQ(leftIn(dir), std::set<std::string>{});
    }
    {
        std::string dir = root + "/twice";
        fs::create_directories(dir);
        realArchive(dir);
        Outcome outcome = runIn(dir, {"--capture", "frames", "--from", "1000"}, {}, [&](pid_t pid) {
            waitFor(root + "/twice.log", "capture [");
            // Two different signals, so the second is not merged into the
            // pending first; either may be taken first.
            kill(pid, SIGINT);
            kill(pid, SIGTERM);
        });
        EXPECT_TRUE(outcome.status == 128 + SIGINT || outcome.status == 128 + SIGTERM) << outcome.log;
        EXPECT_EQ(outcome.log.find("capture: interrupted"), std::string::npos) << outcome.log;
        for (const std::string& name : leftIn(dir))
            EXPECT_TRUE(name == "frames" || name.rfind("frames/frame_", 0) == 0) << name;
    }
    fs::remove_all(root);
}

} // namespace
