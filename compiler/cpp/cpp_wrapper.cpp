// SPDX-License-Identifier: MIT
// Argument translation, marker filtering and message rewriting for the cpp
// wrapper, and the one platform call that runs GNU cpp (fork and exec with
// pipes for its output and messages, and a guard that ends its process
// group with the wrapper).
#include "compiler/cpp/cpp_wrapper.h"

#include "common/line_reader.h"
#include "common/path.h"

#include "common/format.h"
#include "common/termination.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <poll.h>
#include <set>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zun::cpp {

namespace {

std::string slashes(std::string s) {
    path_to_slashes(s);
    return s;
}

// Options GNU cpp does not know; they meant something only to the old tool.
bool dropped(const std::string& a) {
    return a == "-D__STDC__" || a == "-+" || a == "-N" || a == "-V" || a.rfind("-l", 0) == 0;
}

bool starts(const std::string& a, std::string_view prefix) { return a.compare(0, prefix.size(), prefix) == 0; }

// The GNU cpp options the wrapper passes on, as the manual lists them.
// Anything else may write beside the output or into an input (a report, a
// dependency file, statistics), write something other than the
// preprocessed source or run another program, so it is refused.
enum class Form : uint8_t {
    Exact,   // the option alone
    Value,   // a value joined to it ("-DX") or in the next argument ("-D X")
    Joined,  // a value joined to it ("-std=c89", "-Wall"); "-W" may stand alone
};
struct KnownOption {
    std::string_view name;
    Form form;
};
constexpr KnownOption known_options[] = {
    // macros
    {"-D", Form::Value}, {"-U", Form::Value}, {"-A", Form::Value}, {"-undef", Form::Exact},
    // include paths and their order, files read first
    {"-I", Form::Value}, {"-iquote", Form::Value}, {"-isystem", Form::Value}, {"-idirafter", Form::Value},
    {"-nostdinc", Form::Exact}, {"-include", Form::Value}, {"-imacros", Form::Value},
    // the standard
    {"-std=", Form::Joined}, {"-ansi", Form::Exact}, {"-trigraphs", Form::Exact}, {"-traditional-cpp", Form::Exact},
    // warnings
    {"-w", Form::Exact}, {"-W", Form::Joined}, {"-pedantic", Form::Exact}, {"-pedantic-errors", Form::Exact},
    // comments and line markers
    {"-C", Form::Exact}, {"-CC", Form::Exact}, {"-P", Form::Exact},
    // reports on standard error, which the wrapper does not pass on
    {"-H", Form::Exact}, {"-v", Form::Exact},
};

// The -f options of the list: the flags (each also as "-fno-") and those
// with a value.
constexpr std::string_view known_flags[] = {"dollars-in-identifiers", "extended-identifiers"};
constexpr std::string_view known_f_values[] = {"exec-charset=", "wide-exec-charset=", "input-charset=",
                                               "max-include-depth="};

bool known_f_option(const std::string& a) {
    if (!starts(a, "-f")) return false;
    std::string_view f = std::string_view(a).substr(2);
    for (std::string_view v : known_f_values)
        if (f.size() > v.size() && f.starts_with(v)) return true;
    if (f.starts_with("no-")) f.remove_prefix(3);
    return std::find(std::begin(known_flags), std::end(known_flags), f) != std::end(known_flags);
}

// The option of the list that `a` is written as; nullptr for none.
const KnownOption* known_option(const std::string& a) {
    // "-W" with a comma passes options on to other programs ("-Wp,-MD,x.d").
    if (starts(a, "-W") && a.find(',') != std::string::npos) return nullptr;
    for (const KnownOption& k : known_options) {
        bool match = k.form == Form::Exact  ? a == k.name
                     : k.form == Form::Value ? starts(a, k.name)
                                             : starts(a, k.name) && (a.size() > k.name.size() || k.name == "-W");
        if (match) return &k;
    }
    return nullptr;
}

// Why GNU cpp must not be given an option that is not in the list.
std::string refusal(const std::string& a) {
    static constexpr std::string_view other_program[] = {"-wrapper", "-B", "-specs", "-fplugin", "-iplugindir"};
    for (std::string_view p : other_program)
        if (starts(a, p)) return "it runs or loads another program";
    return "it changes what the preprocessor writes";
}

}  // namespace

Invocation translate_args(const std::vector<std::string>& args) {
    Invocation inv;
    inv.args = {"-undef", "-nostdinc", "-std=gnu89", "-fno-diagnostics-show-caret",
                "-fdiagnostics-color=never"};
    // GNU cpp reads the arguments of a file it finds behind an '@' in place
    // of the argument, wherever it stands; what they hold would pass unseen.
    for (const std::string& a : args)
        if (!a.empty() && a[0] == '@') {
            inv.error = "argument '" + a + "' is not taken: GNU cpp would read more arguments from the file it names";
            return inv;
        }
    // The source and the output are the last two arguments; an option that
    // takes a value never takes one of them.
    size_t files_from = args.size();
    if (args.size() >= 2 && args[args.size() - 2].rfind('-', 0) != 0 && args.back().rfind('-', 0) != 0)
        files_from = args.size() - 2;
    std::vector<std::string> files;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.empty() || a[0] != '-') {
            files.push_back(slashes(a));
            continue;
        }
        if (dropped(a)) continue;
        // "-" would make GNU cpp read standard input and write over the source.
        if (a.rfind("-o", 0) == 0 || a == "-") {
            inv.error = "option '" + a + "' is not taken: the source and the output file are the last arguments";
            return inv;
        }
        const KnownOption* known = known_option(a);
        if (!known && !known_f_option(a)) {
            inv.error = "option '" + a + "' is not taken: " + refusal(a);
            return inv;
        }
        if (known && known->form == Form::Value && a == known->name) {
            // GNU cpp would take the next word, the source, as the value and
            // then read standard input, or write somewhere else than the
            // output named.
            if (i + 1 >= args.size() || (i < files_from && i + 1 >= files_from)) {
                inv.error = "option '" + a + "' needs a value";
                return inv;
            }
            const std::string& value = args[++i];
            if (a == "-D" && value == "__STDC__") continue;
            inv.args.push_back(a);
            inv.args.push_back(a == "-I" ? slashes(value) : value);
            if (a == "-I") inv.include_dirs.push_back(inv.args.back());
        } else if (a.rfind("-I", 0) == 0) {
            inv.args.push_back("-I" + slashes(a.substr(2)));
            inv.include_dirs.push_back(inv.args.back().substr(2));
        } else {
            inv.args.push_back(a);
        }
    }
    if (files.size() != 2) return inv;
    inv.source = files[0];
    inv.output = files[1];
    inv.args.push_back(inv.source);
    inv.ok = true;
    return inv;
}

std::vector<std::string> parse_dependencies(const std::string& rule) {
    std::vector<std::string> files;
    std::string name;
    bool in_target = true;
    auto end_name = [&] {
        if (!name.empty() && !in_target) files.push_back(name);
        name.clear();
    };
    for (size_t i = 0; i < rule.size(); ++i) {
        char c = rule[i];
        if (in_target) {
            // The target is ours and holds no ':'.
            in_target = c != ':';
            continue;
        }
        if (c == '\\') {
            // GNU cpp doubles the backslashes before a blank or a '#' and
            // puts one more before that character; a backslash at the end
            // of a line continues the rule.
            size_t run = rule.find_first_not_of('\\', i);
            size_t count = (run == std::string::npos ? rule.size() : run) - i;
            char next = run == std::string::npos ? '\0' : rule[run];
            if (next == '\n' && count == 1) {
                end_name();
                i = run;
            } else if (next == ' ' || next == '\t' || next == '#') {
                name.append(count / 2, '\\');
                i = run - 1;
                if (count % 2 == 1) {
                    name += next;
                    i = run;
                }
            } else {
                name.append(count, '\\');
                i += count - 1;
            }
        } else if (c == '$' && i + 1 < rule.size() && rule[i + 1] == '$') {
            name += '$';
            ++i;
        } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            end_name();
        } else {
            name += c;
        }
    }
    end_name();
    return files;
}

std::string filter_markers(const std::string& text) {
    std::string out;
    size_t pos = 0;
    std::string_view line;
    while (next_line(text, pos, line)) {
        size_t i = 0;
        bool marker = !line.empty() && line[0] == '#';
        if (marker) {
            i = line.find('"');
            marker = i != std::string_view::npos && i + 1 < line.size() && line[i + 1] == '<';
        }
        if (marker) continue;
        out.append(line);
        out += '\n';
    }
    return out;
}

std::string rewrite_messages(const std::string& text, const std::string& working_dir, const std::string& source) {
    std::string out;
    size_t pos = 0;
    std::string_view line;
    while (next_line(text, pos, line)) {
        // file:line[:column]: severity: text
        size_t c1 = line.find(':');
        if (c1 == std::string_view::npos || c1 + 1 >= line.size() || !std::isdigit(static_cast<unsigned char>(line[c1 + 1]))) {
            // A message of the tool itself ("cc1: fatal error: ...", "cc1: out
            // of memory ...") belongs to the source. A program's name is
            // written in small letters, which keeps out what -v tells
            // ("Target: ...", "COMPILER_PATH=...").
            size_t e = line.find("error: ");
            std::string_view program = line.substr(0, c1);
            // cc1 says "virtual memory exhausted" or "out of memory" at the
            // wrapper's limit, in words of its own.
            if (line.find("virtual memory exhausted") != std::string_view::npos ||
                line.find("out of memory") != std::string_view::npos) {
                out += format("\"%s\" (0) Error: preprocessing ran out of memory (the limit is %d MB): %s\n",
                              path_join(working_dir, source).c_str(), static_cast<int>(memory_limit_bytes >> 20),
                              std::string(line).c_str());
                continue;
            }
            bool tool = c1 != std::string_view::npos && !program.empty() &&
                        program.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-_.+") == std::string_view::npos &&
                        line.find("warning: ") == std::string_view::npos && line.find("note: ") == std::string_view::npos;
            if (e != std::string_view::npos)
                out += "\"" + path_join(working_dir, source) + "\" (0) Error: " + std::string(line.substr(e + 7)) + "\n";
            else if (tool)
                out += "\"" + path_join(working_dir, source) + "\" (0) Error: " + std::string(line) + "\n";
            continue;
        }
        size_t p = c1 + 1;
        int number = 0;
        while (p < line.size() && std::isdigit(static_cast<unsigned char>(line[p]))) number = number * 10 + (line[p++] - '0');
        if (p < line.size() && line[p] == ':') ++p;
        while (p < line.size() && std::isdigit(static_cast<unsigned char>(line[p]))) ++p;
        if (p < line.size() && line[p] == ':') ++p;
        while (p < line.size() && line[p] == ' ') ++p;
        std::string_view rest = line.substr(p);
        const char* kind = nullptr;
        for (auto [prefix, name] : {std::pair{"fatal error: ", "Error"}, {"error: ", "Error"}, {"warning: ", "Warning"}}) {
            if (rest.substr(0, std::string_view(prefix).size()) == prefix) {
                kind = name;
                rest = rest.substr(std::string_view(prefix).size());
                break;
            }
        }
        if (!kind) continue;  // notes and context lines
        std::string path = path_join(working_dir, line.substr(0, c1));
        out += "\"" + path + "\" (" + std::to_string(number) + ") " + kind + ": " + std::string(rest) + "\n";
    }
    return out;
}

namespace {

// The name of an include line ("#include", "#import"), '"' or '<' in `kind`;
// nullopt for any other line. "#include_next" is left to GNU cpp.
std::optional<std::string> include_name(std::string_view line, char& kind) {
    size_t i = line.find_first_not_of(" \t");
    if (i == std::string_view::npos || line[i] != '#') return std::nullopt;
    i = line.find_first_not_of(" \t", i + 1);
    if (i == std::string_view::npos) return std::nullopt;
    std::string_view rest = line.substr(i);
    size_t word = rest.find_first_of(" \t\"<");
    std::string_view directive = rest.substr(0, word);
    if (word == std::string_view::npos || (directive != "include" && directive != "import")) return std::nullopt;
    size_t open = rest.find_first_not_of(" \t", word);
    if (open == std::string_view::npos || (rest[open] != '"' && rest[open] != '<')) return std::nullopt;
    kind = rest[open];
    size_t close = rest.find(kind == '"' ? '"' : '>', open + 1);
    if (close == std::string_view::npos) return std::nullopt;
    return std::string(rest.substr(open + 1, close - open - 1));
}

}  // namespace

std::string find_endless_include(const Invocation& inv, const std::string& working_dir) {
    // Depth first, as GNU cpp reads them, and no deeper than it goes.
    constexpr size_t max_depth = 200;
    struct Open {
        std::string file;
        std::ifstream in;
        int number = 0;
    };
    std::vector<Open> stack;
    stack.push_back({inv.source, std::ifstream(inv.source, std::ios::binary)});
    std::set<std::string> seen{path_join(working_dir, inv.source)};
    std::string line;
    while (!stack.empty()) {
        Open& top = stack.back();
        if (!std::getline(top.in, line)) {
            stack.pop_back();
            continue;
        }
        ++top.number;
        char kind = 0;
        std::optional<std::string> name = include_name(line, kind);
        if (!name || name->empty()) continue;
        // Looked for where GNU cpp looks: the including file's directory for
        // "name", then the -I directories.
        std::vector<std::string> candidates;
        if (!path_is_relative(*name)) {
            candidates.push_back(*name);
        } else {
            std::string dir = path_dir_name(top.file);
            if (kind == '"') candidates.push_back(dir.empty() ? *name : dir + "/" + *name);
            for (const std::string& d : inv.include_dirs) candidates.push_back(d + "/" + *name);
        }
        for (const std::string& c : candidates) {
            struct stat st;
            if (stat(c.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) continue;
            if (!S_ISREG(st.st_mode))
                return format("\"%s\" (%d) Error: '%s' is not a regular file\n", path_join(working_dir, top.file).c_str(),
                              top.number, name->c_str());
            if (seen.insert(path_join(working_dir, c)).second && stack.size() < max_depth)
                stack.push_back({c, std::ifstream(c, std::ios::binary)});
            break;
        }
    }
    return "";
}

namespace {

// Reads both pipes to their ends; false when the time limit came first.
bool drain(int out_fd, int err_fd, std::string& out, std::string& err) {
    pollfd fds[2] = {{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}};
    std::string* sinks[2] = {&out, &err};
    int open = 2;
    char buf[4096];
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(time_limit_seconds);
    while (open > 0) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            for (pollfd& f : fds)
                if (f.fd >= 0) close(f.fd);
            return false;
        }
        if (poll(fds, 2, static_cast<int>(std::min<int64_t>(left.count(), 1000))) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            ssize_t n = read(fds[i].fd, buf, sizeof buf);
            if (n > 0) {
                sinks[i]->append(buf, static_cast<size_t>(n));
            } else {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    for (pollfd& f : fds)
        if (f.fd >= 0) close(f.fd);
    return true;
}

// In the child between fork and exec, where only plain system calls are
// safe: a process group of its own (so that the wrapper's end can take GNU
// cpp and its cc1 with it), death with the wrapper, bounded memory and
// processor time, /dev/null as standard input, and the pipes.
[[noreturn]] void start_child(char* const* argv, char* const* envp, pid_t parent, int out_fd, int err_fd) {
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    rlimit memory{memory_limit_bytes, memory_limit_bytes};
    rlimit cpu{time_limit_seconds, time_limit_seconds + 5};
    setrlimit(RLIMIT_AS, &memory);
    setrlimit(RLIMIT_CPU, &cpu);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGPIPE}) signal(sig, SIG_DFL);
    int in = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (in < 0 || dup2(in, 0) < 0 || dup2(out_fd, 1) < 0 || dup2(err_fd, 2) < 0) _exit(127);
    execve(argv[0], argv, envp);
    _exit(127);
}

void end_own_group(int) { kill(0, SIGKILL); }

// The guard of GNU cpp's process group: a child of the wrapper that joins
// the group and waits. GNU cpp dies with the wrapper, but the cc1 it runs
// is its child, not the wrapper's; when the wrapper dies, however it dies,
// the guard is told and ends the whole group, itself with it.
[[noreturn]] void guard_group(pid_t group, pid_t parent) {
    struct sigaction sa {};
    sa.sa_handler = end_own_group;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &sa, nullptr);
    // Outside the group the handler would end the wrapper's own; a group
    // that is gone already needs no guard.
    if (setpgid(0, group) != 0) _exit(0);
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) end_own_group(0);
    // Nothing the wrapper has open stays open here: its pipes must reach
    // their end when GNU cpp is done.
    int null = open("/dev/null", O_RDWR | O_CLOEXEC);
    for (int fd = 0; fd < 3; ++fd) dup2(null, fd);
    close_range(3, ~0U, 0);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    for (;;) pause();
}

}  // namespace

RunResult run_program(const std::string& program, const std::vector<std::string>& args) {
    RunResult r;
    int out_pipe[2], err_pipe[2];
    if (pipe2(out_pipe, O_CLOEXEC) != 0) return r;
    if (pipe2(err_pipe, O_CLOEXEC) != 0) {
        close(out_pipe[0]);
        close(out_pipe[1]);
        return r;
    }
    std::vector<char*> argv;
    std::string name = program;
    argv.push_back(name.data());
    std::vector<std::string> copy = args;
    for (std::string& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::string locale = "LC_ALL=C";
    char* envp[] = {locale.data(), nullptr};
    pid_t parent = getpid();
    pid_t pid = -1, guard = -1;
    {
        // The child and its group are known to the signal handler before
        // anything can ask for them.
        TerminationHold hold;
        pid = fork();
        if (pid == 0) start_child(argv.data(), envp, parent, out_pipe[1], err_pipe[1]);
        if (pid > 0) {
            setpgid(pid, pid);
            end_on_termination(pid);
            guard = fork();
            if (guard == 0) guard_group(pid, parent);
        }
    }
    close(out_pipe[1]);
    close(err_pipe[1]);
    if (pid < 0) {
        close(out_pipe[0]);
        close(err_pipe[0]);
        r.err = "cannot run " + program + "\n";
        return r;
    }
    bool timed_out = !drain(out_pipe[0], err_pipe[0], r.out, r.err);
    // The group is ended, and forgotten, while one of its members is not
    // yet reaped, so that its number cannot have gone to another process:
    // GNU cpp itself, or the guard, which outlives it and goes with what is
    // left of the group (a cc1 that GNU cpp left behind).
    if (timed_out) kill(-pid, SIGKILL);
    if (guard < 0) forget_on_termination(pid);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (guard > 0) {
        kill(-pid, SIGKILL);
        forget_on_termination(pid);
        while (waitpid(guard, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    r.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 1;
    if (timed_out) {
        r.err += format("cpp: error: preprocessing stopped after %d seconds\n", time_limit_seconds);
        r.exit_code = 1;
    }
    return r;
}

}  // namespace zun::cpp
