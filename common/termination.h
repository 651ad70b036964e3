// What a program of the tool chain leaves behind when it is ended by SIGTERM,
// SIGINT or SIGHUP (the Stop of the workbench, Ctrl+C, a closed terminal):
// nothing. Its temporary files are removed and the programs it started are
// ended with it. Output files register their temporaries here themselves;
// a program's main turns the handling on.
//
// A signal handler can only reach what is known process-wide, so this is the
// one place where the tools keep state outside their run's context.
#pragma once

#include <sys/types.h>

#include <csignal>
#include <string>
#include <string_view>

namespace zun {

// Installs the handler for SIGTERM, SIGINT and SIGHUP, each unless the
// program was started with it ignored (as nohup does for SIGHUP). It removes
// the registered files, kills the registered process groups and ends the
// program by the signal. With `first_request`, the first signal only calls
// it (a program that can end its work in order asks for that) and the
// second ends the program as above.
void clean_up_on_termination(void (*first_request)(int signal) = nullptr);

// The signal that asked the program to end; 0 when none did.
int termination_requested();
// Ends the program by the signal that asked for it, once its work has ended
// in order; nothing when no signal came.
void end_as_requested();

void remove_on_termination(const std::string& path);
void keep_after_termination(const std::string& path);
void end_on_termination(pid_t process_group);
void forget_on_termination(pid_t process_group);
// A new temporary file as create_temporary_file (common/temporary.h) makes
// one, registered for removal with nothing between; -1 with errno.
int create_temporary_removed_on_termination(const std::string& dir, std::string_view prefix, std::string& name);

// Holds the termination signals back while it lives, so that a file can be
// created and registered with nothing between.
class TerminationHold {
 public:
  TerminationHold();
  ~TerminationHold();
  TerminationHold(const TerminationHold&) = delete;
  TerminationHold& operator=(const TerminationHold&) = delete;

 private:
  sigset_t old_;
};

}  // namespace zun
