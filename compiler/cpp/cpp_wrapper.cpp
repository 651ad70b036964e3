// SPDX-License-Identifier: MIT
// Argument translation, marker filtering and message rewriting for the cpp
// wrapper, and the one platform call that runs GNU cpp (POSIX spawn with
// pipes for its output and messages).
#include "compiler/cpp/cpp_wrapper.h"

#include "common/line_reader.h"
#include "common/path.h"

#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
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

}  // namespace

Invocation translate_args(const std::vector<std::string>& args) {
    Invocation inv;
    inv.args = {"-undef", "-nostdinc", "-std=gnu89", "-fno-diagnostics-show-caret",
                "-fdiagnostics-color=never"};
    std::vector<std::string> files;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.empty() || a[0] != '-') {
            files.push_back(slashes(a));
            continue;
        }
        if (dropped(a)) continue;
        // GNU cpp would take the next word, the source, as the value and then
        // read standard input, or write somewhere else than the output named.
        if ((a == "-I" || a == "-D" || a == "-U") && i + 1 >= args.size()) {
            inv.error = "option '" + a + "' needs a value";
            return inv;
        }
        // "-" would make GNU cpp read standard input and write over the source.
        if (a.rfind("-o", 0) == 0 || a == "-") {
            inv.error = "option '" + a + "' is not taken: the source and the output file are the last arguments";
            return inv;
        }
        if (a == "-I" && i + 1 < args.size()) {
            inv.args.push_back("-I");
            inv.args.push_back(slashes(args[++i]));
        } else if (a.rfind("-I", 0) == 0) {
            inv.args.push_back("-I" + slashes(a.substr(2)));
        } else if ((a == "-D" || a == "-U") && i + 1 < args.size()) {
            if (a == "-D" && args[i + 1] == "__STDC__") {
                ++i;
                continue;
            }
            inv.args.push_back(a);
            inv.args.push_back(args[++i]);
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
            // A message of the tool itself ("cc1: fatal error: ...") belongs to the source.
            size_t e = line.find("error: ");
            if (e != std::string_view::npos)
                out += "\"" + path_join(working_dir, source) + "\" (0) Error: " + std::string(line.substr(e + 7)) + "\n";
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

void drain(int out_fd, int err_fd, std::string& out, std::string& err) {
    pollfd fds[2] = {{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}};
    std::string* sinks[2] = {&out, &err};
    int open = 2;
    char buf[4096];
    while (open > 0) {
        if (poll(fds, 2, -1) < 0) {
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
}

}  // namespace

RunResult run_program(const std::string& program, const std::vector<std::string>& args) {
    RunResult r;
    int out_pipe[2], err_pipe[2];
    if (pipe(out_pipe) != 0) return r;
    if (pipe(err_pipe) != 0) {
        close(out_pipe[0]);
        close(out_pipe[1]);
        return r;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // Nothing is ever read from a terminal: a run may have no one to type.
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out_pipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err_pipe[1], 2);
    posix_spawn_file_actions_addclose(&actions, out_pipe[0]);
    posix_spawn_file_actions_addclose(&actions, err_pipe[0]);
    std::vector<char*> argv;
    std::string name = program;
    argv.push_back(name.data());
    std::vector<std::string> copy = args;
    for (std::string& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::string locale = "LC_ALL=C";
    char* envp[] = {locale.data(), nullptr};
    pid_t pid = 0;
    int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp);
    posix_spawn_file_actions_destroy(&actions);
    close(out_pipe[1]);
    close(err_pipe[1]);
    if (rc != 0) {
        close(out_pipe[0]);
        close(err_pipe[0]);
        r.err = "cannot run " + program + "\n";
        return r;
    }
    drain(out_pipe[0], err_pipe[0], r.out, r.err);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    r.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 1;
    return r;
}

}  // namespace zun::cpp
