// File kinds, backup names, end-of-line detection, checked file I/O, window
// placement, the caption and the recent-workspace list.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "workbench/core/workbench_core.h"

using namespace zun::wb;
namespace fs = std::filesystem;

TEST(WbFileKind, ByLastExtensionIgnoringCase) {
  EXPECT_EQ(file_kind_of("C:/w/boot.S09"), 1);
  EXPECT_EQ(file_kind_of("/w/x.asm"), 1);
  EXPECT_EQ(file_kind_of("/w/main.c"), 2);
  EXPECT_EQ(file_kind_of("/w/main.H"), 3);
  EXPECT_EQ(file_kind_of("/w/default.lsc"), 4);
  EXPECT_EQ(file_kind_of("p.adb"), 10);
  EXPECT_EQ(file_kind_of("p.ads"), 11);
  EXPECT_EQ(file_kind_of("/w/notes.txt"), 0);
  EXPECT_EQ(file_kind_of("/w/main.c.bak"), 0);
  EXPECT_EQ(file_kind_of("/w/music"), 0);   // ends in "c" but has no extension
  EXPECT_EQ(file_kind_of("/w.c/readme"), 0);
  EXPECT_TRUE(is_makeable_kind(1));
  EXPECT_TRUE(is_makeable_kind(2));
  EXPECT_FALSE(is_makeable_kind(3));
  EXPECT_FALSE(is_makeable_kind(4));
}

TEST(WbBackupPath, TildesAroundTheName) {
  EXPECT_EQ(backup_path_of("C:/w/main.c"), "C:/w/~main.c~");
  EXPECT_EQ(backup_path_of("main.c"), "~main.c~");
}

TEST(WbEolMode, FirstLineEndDecides) {
  EXPECT_EQ(detect_eol("a\r\nb\n"), EolMode::CrLf);
  EXPECT_EQ(detect_eol("a\nb\r\n"), EolMode::Lf);
  EXPECT_EQ(detect_eol("a\rb"), EolMode::Cr);
  EXPECT_EQ(detect_eol("a\r"), EolMode::Cr);
  EXPECT_EQ(detect_eol("abc"), EolMode::Lf);
}

TEST(WbFileBytes, RoundTripAndCopyNeverTruncates) {
  fs::path dir = fs::temp_directory_path() / ("wbcore_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::string a = (dir / "a.bin").string(), b = (dir / "b.bin").string();
  std::string bytes("x\0y\r\nz\n", 7);
  ASSERT_TRUE(write_file_bytes(a, bytes));
  EXPECT_EQ(read_file_bytes(a), bytes);
  ASSERT_TRUE(write_file_bytes(b, "keep me"));
  EXPECT_FALSE(copy_file_bytes((dir / "missing").string(), b));
  EXPECT_EQ(read_file_bytes(b), "keep me");
  EXPECT_TRUE(copy_file_bytes(a, b));
  EXPECT_EQ(read_file_bytes(b), bytes);
  EXPECT_FALSE(read_file_bytes((dir / "missing").string()));
  EXPECT_FALSE(write_file_bytes((dir / "no" / "such.txt").string(), "x"));
  EXPECT_FALSE(write_file_bytes("/dev/full", "x"));  // the write fails though the open succeeds
  fs::remove_all(dir);
}

TEST(WbWindowPlacement, StepsBy20AndStartsOver) {
  WindowPlacement p;
  EXPECT_EQ(p.next(), (std::pair{200, 200}));
  EXPECT_EQ(p.next(), (std::pair{220, 220}));
  p.next();
  p.next();
  EXPECT_EQ(p.next(), (std::pair{280, 280}));
  EXPECT_EQ(p.next(), (std::pair{200, 200}));
}

TEST(WbCaption, WithAndWithoutEditor) {
  EXPECT_EQ(frame_caption("No Project", std::nullopt, false), "No Project - KVT ZUN09 - for KY09 (MC6809)");
  EXPECT_EQ(frame_caption("app", std::string_view("main.c"), true),
            "app - KVT ZUN09 - for KY09 (MC6809) - [main.c *]");
  EXPECT_EQ(frame_caption("", std::string_view(std::string(130, 'n')), false),
            " - KVT ZUN09 - for KY09 (MC6809) - [" + std::string(119, 'n') + "]");
}

TEST(WbRecentWorkspaces, MostRecentFirstNoDuplicates) {
  RecentWorkspaces r;
  for (const char* p : {"/a.w09", "/b.w09", "/c.w09", "/d.w09", "/e.w09", "/f.w09"}) r.push(p);
  EXPECT_EQ(r.at(0), "/f.w09");
  EXPECT_EQ(r.at(5), "/a.w09");
  r.push("/g.w09");  // the seventh drops the oldest
  EXPECT_EQ(r.at(0), "/g.w09");
  EXPECT_EQ(r.at(5), "/b.w09");
  r.push("/D.W09");  // differs only in case: moves to the top in its new spelling
  EXPECT_EQ(r.at(0), "/D.W09");
  EXPECT_EQ(r.at(1), "/g.w09");
  EXPECT_EQ(r.at(4), "/c.w09");
  EXPECT_EQ(r.at(5), "/b.w09");
  r.push("/d.w09");  // already on top: unchanged
  EXPECT_EQ(r.at(0), "/D.W09");
  EXPECT_EQ(r.at(1), "/g.w09");
}
