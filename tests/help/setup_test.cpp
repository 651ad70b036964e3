// The set-up that Getting started relies on: scripts/setup.sh decides from the
// package database alone, so a shell with the installation's programs first
// on PATH (its own grep among them) finds nothing missing where nothing is,
// and installs exactly what is missing. The package database and apt-get are
// stand-ins here; nothing is installed.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/tools/tool_run.h"

namespace zun::help {
namespace {

class Setup : public ::testing::Test {
protected:
  void SetUp() override {
    fake = tmp.path / "fake";
    std::filesystem::create_directory(fake);
    // dpkg-query -W -f='${Status}' NAME, for every package but those in $MISSING.
    tool("dpkg-query",
         "name=\"${@: -1}\"\n"
         "case \" $MISSING \" in *\" $name \"*) echo \"no packages found matching $name\" >&2; exit 1;; esac\n"
         "printf 'install ok installed'\n");
    tool("apt-get", "echo \"apt-get $*\"\n");
    tool("sudo", "exec \"$@\"\n");
  }

  void tool(const std::string& name, const std::string& body) {
    std::filesystem::path p = fake / name;
    std::ofstream(p) << "#!/bin/bash\n" << body;
    std::filesystem::permissions(p, std::filesystem::perms::owner_all, std::filesystem::perm_options::add);
  }

  // setup.sh with the installation's programs first on PATH, as Getting
  // started puts them.
  test::ToolRun setup(const std::string& missing) {
    return test::run_in(tmp.path, "export MISSING='" + missing + "' PATH=\"$BIN:" + fake.string() +
                                      ":/usr/bin:/bin\"\nbash '" ZUN_SOURCE_DIR "/scripts/setup.sh'");
  }

  test::TempDir tmp;
  std::filesystem::path fake;
};

TEST_F(Setup, InstallsNothingWhenNothingIsMissing) {
  test::ToolRun r = setup("");
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
}

TEST_F(Setup, InstallsWhatIsMissingSocatAmongThem) {
  test::ToolRun r = setup("socat xvfb");
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(r.out, "apt-get update\napt-get install -y --no-install-recommends xvfb socat\n");
}

}  // namespace
}  // namespace zun::help
