// The whole program against damaged archives, damaged members and outputs
// it cannot make: each case runs the real executable headless and checks its
// exit status, what it said, and that nothing half-written is left.
#include "tests/engine/TestData.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

// The executable alone in a folder, so a case's own data.pak (or none) is
// the only archive it can find.
const std::string& bareExecutable()
{
    static std::string path = [] {
        std::string dir = makeTempDir("failures-bin");
        fs::copy_file(ZEPHRAN_EXECUTABLE, dir + "/zephran");
        return dir + "/zephran";
    }();
    return path;
}

struct Outcome {
    int status = -1;   // exit status, or 128 + the signal that ended it
    std::string log;   // stdout and stderr
};

// Runs the bare executable in `dir` with `args`, headless at 32x18 unless
// `headless` is false; `extraEnv` entries replace those of the same name.
// `during` is called with the child's pid while it runs. Killed after two
// minutes.
Outcome runIn(const std::string& dir, const std::vector<std::string>& args,
              const std::vector<std::string>& extraEnv = {}, const std::function<void(pid_t)>& during = nullptr,
              bool headless = true)
{
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        bool replaced = false;
        for (const std::string& x : extraEnv)
            replaced = replaced || entry.compare(0, x.find('=') + 1, x, 0, x.find('=') + 1) == 0;
        if (!replaced)
            env.push_back(entry);
    }
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());
    std::vector<std::string> argv = {bareExecutable()};
    if (headless)
        argv.insert(argv.end(), {"--headless", "--size", "32x18"});
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> argp, envp;
    for (std::string& a : argv)
        argp.push_back(a.data());
    argp.push_back(nullptr);
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    std::string logPath = dir + "/../" + fs::path(dir).filename().string() + ".log";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
    posix_spawn_file_actions_addopen(&actions, 1, logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = 0;
    int error = posix_spawn(&pid, argp[0], &actions, nullptr, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    Outcome outcome;
    if (error != 0)
        return outcome;
    if (during)
        during(pid);
    int status = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline)
            kill(pid, SIGKILL);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    outcome.log = std::string(reinterpret_cast<const char*>(readFile(logPath).data()), readFile(logPath).size());
    return outcome;
}

// Every path below `dir`, relative to it, except the case's inputs.
std::set<std::string> leftIn(const std::string& dir)
{
    std::set<std::string> found;
    for (auto it = fs::recursive_directory_iterator(dir); it != fs::recursive_directory_iterator(); ++it) {
        std::string name = it->path().lexically_relative(dir).generic_string();
        if (name != "data.pak" && name.rfind("in", 0) != 0)
            found.insert(name);
    }
    return found;
}

// The demo's own archive with `member` stored, then damaged by `damage`.
Bytes damagedArchive(const std::string& member, const std::function<void(Bytes&, const ZipEntry&)>& damage)
{
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
    if (z)
        zip_close(z);
    std::string dir = makeTempDir("failures-pak");
    writeZip(dir + "/data.pak", members, {member});
    Bytes zip = readFile(dir + "/data.pak");
    fs::remove_all(dir);
    damage(zip, findZipEntry(zip, member));
    return zip;
}

std::string nested(int depth)
{
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
    std::set<std::string> left;   // all the run may leave, besides its inputs
    std::vector<std::string> env = {};
};

void realArchive(const std::string& dir) { fs::create_symlink(ZEPHRAN_ARCHIVE, dir + "/data.pak"); }

const std::vector<std::string> kShot = {"--shot", "1000", "x.png"};

const Case kCases[] = {
    // The archive.
    {"missing archive", [](const std::string&) { return kShot; }, 1,
     {"The data archive is unusable: cannot open 'data.pak'"}, {}},
    {"truncated archive",
     [](const std::string& d) {
         Bytes whole = readFile(ZEPHRAN_ARCHIVE);
         writeFile(d + "/data.pak", Bytes(whole.begin(), whole.begin() + long(whole.size() / 2)));
         return kShot;
     },
     1, {"The data archive is unusable: cannot open 'data.pak': Not a zip archive"}, {}},
    {"archive that is no zip",
     [](const std::string& d) {
         writeFile(d + "/data.pak", textBytes("just text"));
         return kShot;
     },
     1, {"The data archive is unusable: cannot open 'data.pak': Not a zip archive"}, {}},
    {"member with a bad CRC",
     [](const std::string& d) {
         writeFile(d + "/data.pak", damagedArchive("logo.dae", [](Bytes& z, const ZipEntry& e) { z[e.data + 200] ^= 1; }));
         return kShot;
     },
     1, {"member 'logo.dae' is damaged (CRC", "Could not find file: 'logo.dae'"}, {}},
    {"member whose entry overstates its size",
     [](const std::string& d) {
         writeFile(d + "/data.pak", damagedArchive("logo.dae", [](Bytes& z, const ZipEntry& e) {
                       put32(z, e.central + 24, 0xFFFFFFF0u);
                       put32(z, e.local + 22, 0xFFFFFFF0u);
                   }));
         return kShot;
     },
     1, {"member 'logo.dae' is damaged", "Could not find file: 'logo.dae'"}, {}},
    // Damaged members, laid over the real archive as loose files.
    {"scene nested 50000 deep",
     [](const std::string& d) {
         realArchive(d);
         writeFile(d + "/in/logo.dae", textBytes(nested(50000)));
         return std::vector<std::string>{"--data", "in", "--shot", "1000", "x.png"};
     },
     0, {"elements nest deeper than 1024 levels at line 1"}, {"x.png"}},
    {"shader that does not compile",
     [](const std::string& d) {
         realArchive(d);
         writeFile(d + "/in/ssao.frag.glsl", textBytes("void main() { gl_FragColor = vec4(1) }\n"));
         return std::vector<std::string>{"--data", "in", "--shot", "1000", "x.png"};
     },
     0, {"ERROR: shader \"ssao\": the fragment stage's compile failed", "Added shader was not initialized\n"},
     {"x.png"}},
    {"song claiming an absurd length",
     [](const std::string& d) {
         realArchive(d);
         Bytes song = toneOgg(440.0f, 0.3f, 2.0f);
         setOggLength(song, uint64_t(1) << 40);
         writeFile(d + "/in/song.ogg", song);
         return std::vector<std::string>{"--data", "in", "--export-song", "song.wav"};
     },
     0, {"song.ogg: the stream claims", "much shorter than the programme's 225.5 s"}, {"song.wav"}},
    {"zero-byte song",
     [](const std::string& d) {
         realArchive(d);
         writeFile(d + "/in/song.ogg", Bytes());
         return std::vector<std::string>{"--data", "in", "--export-song", "song.wav"};
     },
     1, {"song.ogg: not an Ogg Vorbis stream"}, {}},
    // Outputs that cannot be made.
    {"shot below a file",
     [](const std::string& d) {
         realArchive(d);
         writeFile(d + "/f", textBytes("a file"));
         return std::vector<std::string>{"--shot", "1000", "f/x.png"};
     },
     1, {"capture: cannot write 'f/x.png': Not a directory"}, {"f"}},
    {"shot to a full disk",
     [](const std::string& d) {
         realArchive(d);
         fs::create_symlink("/dev/full", d + "/x.png");
         return kShot;
     },
     1, {"capture: cannot write 'x.png': No space left on device"}, {}},
    {"capture folder that is a file",
     [](const std::string& d) {
         realArchive(d);
         writeFile(d + "/frames", textBytes("a file"));
         return std::vector<std::string>{"--capture", "frames", "--from", "1000"};
     },
     1, {"capture: cannot create directory 'frames'", "capture: failed after 0 frames"}, {"frames"}},
    {"ffmpeg that fails",
     [](const std::string& d) {
         realArchive(d);
         return std::vector<std::string>{"--capture", "no/such/dir/x.mp4", "--from", "1000", "--to", "1100"};
     },
     // The writer thread may meet the closed pipe before ffmpeg's exit is
     // collected: either message names ffmpeg and the file.
     1, {"capture: ffmpeg ", "'no/such/dir/x.mp4'"}, {}},
    {"ffmpeg missing",
     [](const std::string& d) {
         realArchive(d);
         return std::vector<std::string>{"--capture", "x.mp4", "--from", "1000", "--to", "1100"};
     },
     1, {"cannot start ffmpeg for 'x.mp4': No such file or directory"}, {}, {"PATH=/nonexistent"}},
    {"shot with another extension", [](const std::string&) { return std::vector<std::string>{"--shot", "1000", "x.jpg"}; },
     2, {"'x.jpg' is not a .png file name"}, {}},
    {"capture to one PNG file",
     [](const std::string&) { return std::vector<std::string>{"--capture", "x.png"}; }, 2,
     {"--shot writes a single frame"}, {}},
    {"capture to an unknown kind",
     [](const std::string&) { return std::vector<std::string>{"--capture", "x.txt"}; }, 2,
     {"'x.txt' is neither a video name"}, {}},
    {"capture from past the end",
     [](const std::string&) { return std::vector<std::string>{"--capture", "frames", "--from", "300000"}; }, 2,
     {"--from 300000 is past the programme's end (225500 ms)"}, {}},
    {"shot past the end", [](const std::string&) { return std::vector<std::string>{"--shot", "300000", "x.png"}; },
     2, {"--shot 300000 is past the programme's end"}, {}},
    // What still works, for contrast: a range clamped at the end, and a video
    // name that looks like an option.
    {"capture to past the end",
     [](const std::string& d) {
         realArchive(d);
         return std::vector<std::string>{"--capture", "frames", "--fps", "10", "--from", "225300", "--to", "300000"};
     },
     0, {"--to 300000 is past the programme's end; the capture stops there (225500 ms)", "capture: 3 frames"},
     {"frames", "frames/frame_000000.png", "frames/frame_000001.png", "frames/frame_000002.png"}},
    {"video named like an option",
     [](const std::string& d) {
         realArchive(d);
         return std::vector<std::string>{"--capture", "-v.mp4", "--fps", "10", "--from", "1000", "--to", "1200"};
     },
     0, {"capture: 2 frames to '-v.mp4'"}, {"-v.mp4"}},
};

TEST(Failures, EachEndsWithItsStatusAndMessageAndLeavesNothingHalfWritten)
{
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
        EXPECT_EQ(leftIn(dir), c.left) << c.name;
    }
    fs::remove_all(root);
}

// A display that cannot be reached makes SDL fall back to its offscreen
// driver without a word; the program stops at once, naming the display and
// the cause, instead of playing into no window.
TEST(Failures, UnreachableDisplayStopsWithItsNameInsteadOfPlayingIntoNoWindow)
{
    std::string dir = makeTempDir("failures-display");
    Outcome outcome =
        runIn(dir, {"--no-launcher"}, {"DISPLAY=:99", "WAYLAND_DISPLAY=", "SDL_VIDEODRIVER="}, nullptr, false);
    EXPECT_EQ(outcome.status, 1) << outcome.log;
    EXPECT_NE(outcome.log.find("stmInitEx: cannot open a window on DISPLAY=:99 (SDL's x11 driver: "),
              std::string::npos)
        << outcome.log;
    EXPECT_EQ(outcome.log.find("Loading"), std::string::npos) << "nothing was loaded or played\n" << outcome.log;
    fs::remove_all(dir);
}

// Ctrl-C or a kill ends a capture with the frames it has as a valid output:
// a video with its index written, or complete PNG files; the exit status
// says which signal stopped it.
TEST(Failures, StopSignalsFinishTheOutputAndExitNonZero)
{
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
                if (std::string(log.begin(), log.end()).find("capture [") != std::string::npos)
                    break;
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

} // namespace
