// SPDX-License-Identifier: MIT
// tcx09: compiles one preprocessed C file into 6809 assembler text.
#include "compiler/compiler.h"

#include "common/output_file.h"
#include "common/termination.h"

#include <pthread.h>

#include <csignal>
#include <cstdio>

namespace {

// The parser and the passes after it recurse as the source nests. The
// compiler's limits are sized for this stack, so a run never depends on the
// shell's stack limit.
constexpr size_t CompilerStack = size_t{64} << 20;

struct Job {
    const zun::tcx::Options* options;
    sigset_t signals;  // the mask the compilation runs under
    zun::tcx::Result result;
};

void* compile(void* arg) {
    Job* job = static_cast<Job*>(arg);
    pthread_sigmask(SIG_SETMASK, &job->signals, nullptr);
    job->result = zun::tcx::run(*job->options);
    return nullptr;
}

// The stop signals reach only the compiling thread: the clean-up on them
// holds them back in the thread that makes and names temporaries, which
// must be the thread that takes them.
void compile_on_own_stack(Job& job) {
    sigset_t stops;
    sigemptyset(&stops);
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&stops, sig);
    pthread_sigmask(SIG_BLOCK, &stops, &job.signals);
    pthread_attr_t attr;
    pthread_t thread;
    bool started = pthread_attr_init(&attr) == 0 &&
                   pthread_attr_setstacksize(&attr, CompilerStack) == 0 &&
                   pthread_create(&thread, &attr, compile, &job) == 0;
    pthread_attr_destroy(&attr);
    if (started)
        pthread_join(thread, nullptr);
    else
        compile(&job);
    pthread_sigmask(SIG_SETMASK, &job.signals, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    zun::ignore_file_size_signal();
    zun::clean_up_on_termination();
    std::vector<std::string> args(argv + 1, argv + argc);
    zun::tcx::Options options = zun::tcx::parse_options(args);
    Job job{&options, {}, {}};
    compile_on_own_stack(job);
    zun::tcx::Result& r = job.result;
    // Without an output file the assembler text is on standard output: a
    // short write there is a failed compilation.
    bool written = zun::write_stream(stdout, r.stdout_text);
    std::fwrite(r.stderr_text.data(), 1, r.stderr_text.size(), stderr);
    if (!written) {
        std::fputs("tcx09: can't write standard output\n", stderr);
        return r.exit_code != 0 ? r.exit_code : 2;
    }
    return r.exit_code;
}
