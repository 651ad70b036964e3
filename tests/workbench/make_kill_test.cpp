// The build tools stopped half-way: each staged tool killed by SIGTERM,
// SIGINT or SIGHUP while its temporary file exists leaves none behind (and
// the cpp wrapper takes GNU cpp with it), Stop asks before it kills, a killed
// zmake leaves nothing, and the next build clears what a harder kill left.
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <thread>

#include "common/temporary.h"
#include "tests/workbench/make_support.h"
#include "workbench/build/leftovers.h"
#include "workbench/build/spawn_runner.h"

extern char** environ;

namespace zun::wb::test {
namespace {

using namespace std::chrono_literals;

std::string stage_bin() {
  const char* stage = std::getenv("ZUN_STAGE");
  return stage ? std::string(stage) + "/bin" : std::string();
}

// Names in `dir` made from `prefix` and six letters or digits.
std::vector<std::string> temporaries_of(const fs::path& dir, const std::string& prefix) {
  std::vector<std::string> found;
  for (const auto& e : fs::directory_iterator(dir)) {
    std::string name = e.path().filename().string();
    if (name.size() == prefix.size() + 6 && name.rfind(prefix, 0) == 0) found.push_back(name);
  }
  return found;
}

// Processes whose command line names `text`.
int processes_naming(const std::string& text) {
  int count = 0;
  std::error_code ec;
  for (fs::directory_iterator it("/proc", ec), end; !ec && it != end; it.increment(ec)) {
    // Read plainly: a process may go while it is read.
    int fd = open((it->path() / "cmdline").c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    std::string line;
    char buf[4096];
    for (ssize_t n; (n = read(fd, buf, sizeof buf)) > 0;) line.append(buf, static_cast<size_t>(n));
    close(fd);
    if (line.find(text) != std::string::npos) ++count;
  }
  return count;
}

struct Ended {
  bool by_signal = false;  // the program was ended by a signal
  int signal = 0;
  bool signal_sent = false;
};

// Starts `args` in `dir` with the termination signals at their defaults; the
// moment a file `prefix` + six characters appears in `dir` (at once for an
// empty prefix) and `ready` says so, sends `sig`.
Ended kill_on_temporary(const fs::path& dir, std::vector<std::string> args, const std::string& prefix, int sig,
                        const std::function<bool()>& ready) {
  Ended ended;
  int watch = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  EXPECT_GE(watch, 0);
  inotify_add_watch(watch, dir.c_str(), IN_CREATE);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t defaults, none;
  sigemptyset(&defaults);
  sigemptyset(&none);
  for (int s : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&defaults, s);
  posix_spawnattr_setsigdefault(&attr, &defaults);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  EXPECT_EQ(posix_spawn(&pid, argv[0], &actions, &attr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  int status = 0;
  bool seen = prefix.empty();
  auto give_up = std::chrono::steady_clock::now() + 60s;
  while (!ended.signal_sent && std::chrono::steady_clock::now() < give_up) {
    pollfd p{watch, POLLIN, 0};
    poll(&p, 1, seen ? 5 : 50);
    alignas(inotify_event) char buf[4096];
    for (ssize_t n; (n = read(watch, buf, sizeof buf)) > 0;)
      for (char* at = buf; at < buf + n;) {
        auto* ev = reinterpret_cast<inotify_event*>(at);
        std::string name = ev->len ? ev->name : "";
        seen = seen || (name.size() == prefix.size() + 6 && name.rfind(prefix, 0) == 0);
        at += sizeof(inotify_event) + ev->len;
      }
    if (seen && (!ready || ready())) ended.signal_sent = kill(pid, sig) == 0;
    if (!ended.signal_sent && waitpid(pid, &status, WNOHANG) == pid) {
      close(watch);
      return ended;  // over before its temporary showed
    }
  }
  close(watch);
  if (!ended.signal_sent) kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  ended.by_signal = WIFSIGNALED(status);
  ended.signal = ended.by_signal ? WTERMSIG(status) : 0;
  return ended;
}

class KillTest : public MakeTest {
 protected:
  std::string bin = stage_bin();
  fs::path here() const { return dir_; }
};

TEST_F(KillTest, KilledToolsLeaveNoTemporaries) {
  std::string asm_source;
  for (int i = 0; i < 20000; ++i) asm_source += " fcb 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16\n";
  put("big.s09", asm_source);
  std::string c_source;
  for (int i = 0; i < 3000; ++i) c_source += "int f" + std::to_string(i) + "(int a) { return a * " + std::to_string(i) + " + 1; }\n";
  put("big.i", c_source);
  // GNU cpp waits on a FIFO named by a macro, where the wrapper cannot see it.
  ASSERT_EQ(mkfifo((here() / "pipe").c_str(), 0600), 0);
  put("wait.c", "#define WAIT \"" + (here() / "pipe").string() + "\"\n#include WAIT\n");
  std::string code;
  for (int i = 0; i < 2000; ++i) code += " fcb 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16\n";
  put("code.s09", code);
  ASSERT_EQ(std::system(("cd '" + here().string() + "' && '" + bin + "/hasm09' code.s09 >/dev/null").c_str()), 0);

  const std::string waiting = (here() / "wait.c").string();
  struct Case {
    std::vector<std::string> args;
    std::string prefix;
    std::function<bool()> ready;
  };
  const std::vector<Case> cases = {
      {{bin + "/hasm09", "-L", "big.s09"}, "R", nullptr},
      {{bin + "/tcx09", "big.i", "big.s"}, "tc", nullptr},
      {{bin + "/vlk", "-I", bin + "/../config/zun09", "-i", "default.lsc", "-m", "code.map", "-o", "code.s19", "code.o09"},
       "vl", nullptr},
      // The wrapper, GNU cpp and its cc1 all wait.
      {{bin + "/cpp", waiting, "wait.i"}, "cp", [&] { return processes_naming(waiting) >= 3; }}};
  for (const Case& c : cases)
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
      // A run that was over before the signal came shows nothing: again.
      bool caught = false;
      for (int attempt = 0; attempt < 5 && !caught; ++attempt) {
        Ended e = kill_on_temporary(here(), c.args, c.prefix, sig, c.ready);
        caught = e.by_signal;
        if (caught) {
          EXPECT_EQ(e.signal, sig) << c.args[0];
        }
        EXPECT_EQ(temporaries_of(here(), c.prefix), std::vector<std::string>{}) << c.args[0] << " " << sig;
      }
      EXPECT_TRUE(caught) << c.args[0] << " " << sig;
    }
  // GNU cpp and its cc1 went with the wrapper.
  auto deadline = std::chrono::steady_clock::now() + 5s;
  while (processes_naming(waiting) > 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(20ms);
  EXPECT_EQ(processes_naming(waiting), 0);
  // Whatever still waits on the FIFO is let go.
  int fd = open((here() / "pipe").c_str(), O_WRONLY | O_NONBLOCK);
  if (fd >= 0) close(fd);
}

TEST_F(KillTest, StopAsksFirstAndKillsAfterTheGracePeriod) {
  std::string out;
  SpawnRunner runner([&](std::string_view text) { out += text; }, bin);
  auto stop_after = [&](std::chrono::milliseconds wait) {
    return std::thread([&runner, wait] {
      std::this_thread::sleep_for(wait);
      runner.stop();
    });
  };
  // A child that ends when asked: it could have cleaned up.
  auto start = std::chrono::steady_clock::now();
  std::thread stopper = stop_after(300ms);
  EXPECT_EQ(runner.run_process("sh -c \"trap 'echo asked; exit 3' TERM; sleep 30 & wait\""), run_cancelled);
  stopper.join();
  EXPECT_EQ(out, "asked\n");
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
  // One that does not listen is killed after the grace period.
  start = std::chrono::steady_clock::now();
  stopper = stop_after(300ms);
  EXPECT_EQ(runner.run_process("sh -c \"trap '' TERM; sleep 30\""), run_cancelled);
  stopper.join();
  auto took = std::chrono::steady_clock::now() - start;
  EXPECT_GE(took, std::chrono::milliseconds(stop_grace_ms));
  EXPECT_LT(took, std::chrono::milliseconds(stop_grace_ms) + 5s);
  // Shut down, it runs nothing more.
  runner.shut_down();
  EXPECT_EQ(runner.run_process("sh -c \"echo never\""), run_cancelled);
  EXPECT_EQ(out, "asked\n");
}

TEST_F(KillTest, AKilledZmakeLeavesNothingBehind) {
  ASSERT_EQ(mkfifo((here() / "pipe").c_str(), 0600), 0);
  const std::string waiting = (here() / "wait.c").string();
  put("wait.c", "#define WAIT \"" + (here() / "pipe").string() + "\"\n#include WAIT\n");
  put("m.mk", "w.o09:\n\tCOMP -o\"w.o09\" \"" + waiting + "\"\n");
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
    // zmake, its cpp wrapper, GNU cpp and cc1 all wait: the C1 file and the
    // wrapper's output temporary are there.
    Ended e = kill_on_temporary(here(), {bin + "/zmake", "-fm.mk"}, "cp", sig,
                                [&] { return processes_naming(waiting) >= 3; });
    ASSERT_TRUE(e.signal_sent);
    EXPECT_TRUE(e.by_signal && e.signal == sig) << sig;
    for (const char* prefix : {"C1", "C2", "C3", "cp", "R", "tc"})
      EXPECT_EQ(temporaries_of(here(), prefix), std::vector<std::string>{}) << prefix << " " << sig;
    auto deadline = std::chrono::steady_clock::now() + 5s;
    while (processes_naming(waiting) > 0 && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(20ms);
    EXPECT_EQ(processes_naming(waiting), 0) << sig;
  }
  int fd = open((here() / "pipe").c_str(), O_WRONLY | O_NONBLOCK);
  if (fd >= 0) close(fd);
}

// However a parent ends, what it started ends with it: the cpp wrapper
// killed outright takes GNU cpp and its cc1 along, and so does a killed
// zbuild, whose next build then clears what the kill left.
TEST_F(KillTest, AKilledParentTakesItsChildrenAlong) {
  ASSERT_EQ(mkfifo((here() / "pipe").c_str(), 0600), 0);
  const std::string fifo_include = "#define WAIT \"" + (here() / "pipe").string() + "\"\n#include WAIT\n";
  auto gone_within_a_second = [](const std::string& text) {
    auto deadline = std::chrono::steady_clock::now() + 1s;
    while (processes_naming(text) > 0 && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(20ms);
    return processes_naming(text) == 0;
  };

  const std::string waiting = (here() / "wait.c").string();
  put("wait.c", fifo_include);
  Ended e = kill_on_temporary(here(), {bin + "/cpp", waiting, "wait.i"}, "cp", SIGKILL,
                              [&] { return processes_naming(waiting) >= 3; });
  ASSERT_TRUE(e.signal_sent);
  EXPECT_TRUE(gone_within_a_second(waiting));

  fs::copy(std::string(ZUN_SOURCE_DIR) + "/data/examples", here() / "ws", fs::copy_options::recursive);
  const fs::path project = here() / "ws" / "ky09demo";
  const std::string main_c = (project / "main.c").string(), good = slurp(main_c);
  put(main_c, fifo_include + good);
  e = kill_on_temporary(project, {bin + "/zbuild", (here() / "ws" / "ky09demo.w09").string(), "--build"}, "cp",
                        SIGKILL, [&] { return processes_naming(main_c) >= 3; });
  ASSERT_TRUE(e.signal_sent);
  EXPECT_TRUE(gone_within_a_second(main_c));
  put(main_c, good);
  std::string out;
  SpawnRunner runner([&](std::string_view text) { out += text; }, bin);
  EXPECT_EQ(runner.run_process(bin + "/zbuild " + (here() / "ws" / "ky09demo.w09").string() + " --build"), 0) << out;
  for (const char* prefix : {"C1", "C2", "C3", "cp", "tc", "R", "vl", "M1"})
    EXPECT_EQ(temporaries_of(project, prefix), std::vector<std::string>{}) << prefix;
  int fd = open((here() / "pipe").c_str(), O_WRONLY | O_NONBLOCK);
  if (fd >= 0) close(fd);

#ifdef WB_RUN_TOOL
  // The workbench's own runner, killed while its tool runs.
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const std::string seconds = "29." + std::to_string(getpid());
  const std::string sleeping = std::string("sleep") + '\0' + seconds;
  e = kill_on_temporary(here(), {WB_RUN_TOOL, "sleep " + seconds}, "", SIGKILL,
                        [&] { return processes_naming(sleeping) == 1; });
  ASSERT_TRUE(e.signal_sent);
  EXPECT_TRUE(gone_within_a_second(sleeping));
#endif
}

TEST_F(KillTest, TheNextBuildClearsWhatAKilledRunLeft) {
  fs::create_directories("debug");
  fs::create_directories("../elsewhere_" + dir_.filename().string());
  const std::string elsewhere = "../elsewhere_" + dir_.filename().string();
  put("m.mk", "\"debug\\app.s19\": main.c\n\tlink\n\"" + elsewhere + "/x.o09\": main.c\n\tcc\n");
  put("main.c", "");
  auto leftover = [](const std::string& dir, std::string_view prefix) {
    std::string name;
    int fd = create_temporary_file(dir, prefix, name);
    EXPECT_GE(fd, 0);
    close(fd);
    return name;
  };
  std::vector<std::string> gone, kept;
  for (std::string_view prefix : temporary_prefixes) gone.push_back(leftover(".", prefix));
  for (const char* prefix : {"R", "vl"}) gone.push_back(leftover("debug", prefix));
  kept.push_back(leftover(elsewhere, "R"));  // outside the project folder
  // A file a running tool writes is open.
  std::string busy;
  int busy_fd = create_temporary_file(".", "vl", busy);
  kept.push_back(busy);
  // Files of the same shape that no template made, or that are no files.
  for (const char* user : {"Results", "Release", "vlookups", "C1backup", "cpconfig"}) {
    put(user, "mine");
    kept.push_back(user);
  }
  std::string link_name = leftover(".", "tc"), dir_name = leftover(".", "C2");
  fs::remove(link_name);
  fs::create_symlink("main.c", link_name);
  fs::remove(dir_name);
  fs::create_directory(dir_name);
  kept.push_back(link_name);
  kept.push_back(dir_name);

  run_make({"-fm.mk", "-n"});  // nothing is done without execution
  for (const std::string& f : gone) EXPECT_TRUE(fs::exists(f)) << f;
  run_make({"-fm.mk"});
  for (const std::string& f : gone) EXPECT_FALSE(fs::exists(f)) << f;
  for (const std::string& f : kept) EXPECT_TRUE(fs::exists(fs::symlink_status(f))) << f;
  close(busy_fd);

  // While another build runs in the folder, the compile chain's files may be
  // its own: only old ones go.
  std::string fresh = leftover(".", "C1"), old = leftover(".", "C3");
  fs::last_write_time(old, fs::file_time_type::clock::now() - std::chrono::hours(2));
  int other = open(".", O_RDONLY | O_DIRECTORY);
  ASSERT_EQ(flock(other, LOCK_SH), 0);
  run_make({"-fm.mk"});
  close(other);
  EXPECT_TRUE(fs::exists(fresh));
  EXPECT_FALSE(fs::exists(old));
  fs::remove_all(elsewhere);
}

// An ordinary user cannot look into the processes of other users; those
// cannot be writing the user's files, so the next build still clears the
// tools' leftovers. Run as root, the build runs as an unprivileged user.
TEST_F(KillTest, TheNextBuildOfAnOrdinaryUserClearsWhatAKilledRunLeft) {
  const uid_t user = geteuid() == 0 ? 65534 : geteuid();
  ASSERT_EQ(chown(".", user, user), 0);
  put("m.mk", "all:\n\tRMFI \"none\"\n");
  std::vector<std::string> left;
  for (std::string_view prefix : temporary_prefixes) {
    std::string name;
    int fd = create_temporary_file(".", prefix, name);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(fchown(fd, user, user), 0);
    close(fd);
    left.push_back(name);
  }
  std::string zmake = bin + "/zmake";
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(user) != 0 || setuid(user) != 0)) _exit(126);
    execl(zmake.c_str(), zmake.c_str(), "-fm.mk", static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  for (const std::string& f : left) EXPECT_FALSE(fs::exists(f)) << f;
}

// A run that starts while another is just taking its hold on the folder
// still holds the folder itself, so that a third run cannot think itself
// alone while the second is under way.
TEST_F(KillTest, ARunStartingBesideAnotherStillHoldsTheFolder) {
  int other = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_EQ(flock(other, LOCK_EX), 0);
  std::thread release([other] {
    std::this_thread::sleep_for(200ms);
    flock(other, LOCK_UN);
  });
  FolderHold second(".");
  release.join();
  close(other);
  EXPECT_FALSE(second.alone());
  FolderHold third(".");
  EXPECT_FALSE(third.alone());
}

}  // namespace
}  // namespace zun::wb::test
