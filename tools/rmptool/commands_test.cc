// rmptool's command line run in-process: help, argument errors, exit codes
// and what each command prints.
#include "commands.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "test_fs.h"
#include "test_registry.h"

namespace {

struct Outcome {
  int code;
  std::string out;
  std::string err;
};

Outcome run(const std::vector<std::string>& args) {
  ToolIo io;
  int code = runTool(args, io);
  return Outcome{code, io.out, io.err};
}

size_t lineCount(const std::string& text) {
  size_t lines = 0;
  for (char c : text) lines += c == '\n';
  return lines;
}

const char* const kWithoutPath =
    "Certain files, including player profiles, saved games, car setups and replays will be left on your hard "
    "drive in the Pellmoor installation folder.  You may delete these files at your discretion after this "
    "uninstall process has finished.";

}  // namespace

TEST(Commands, HelpForTheToolAndEachCommand) {
  const std::vector<std::vector<std::string>> asks = {
      {"--help"}, {"-h"}, {"help"}, {"help", "plan"}, {"plan", "--help"}, {"check", "-h"},
      {"make", "--help"}, {"encode", "--help"}, {"plan", "--json", "--help"},
  };
  for (const auto& args : asks) {
    SCOPED_TRACE(args.back());
    Outcome r = run(args);
    EXPECT_EQ(r.code, kExitOk);
    EXPECT_EQ(r.out.compare(0, 14, "Usage: rmptool"), 0) << r.out;
    EXPECT_EQ(r.err, "");
  }
  EXPECT_NE(run({"help", "check"}).out.find("Errors (the uninstaller would leave files behind"), std::string::npos);
}

TEST(Commands, BadArgumentsGiveOneLineAndExitTwo) {
  const std::string long128 = "C:\\" + std::string(125, 'x');
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"frobnicate"},
      {"help", "frobnicate"},
      {"plan", "--bogus"},
      {"plan", "C:\\a", "C:\\b"},
      {"plan", "--folder"},
      {"plan", "--folder", "C:\\Menu"},
      {"plan", long128},
      {"plan", ""},
      {"check"},
      {"check", "--nope", "m.rmp"},
      {"make"},
      {"make", "a", "b"},
      {"make", "a", "-o"},
      {"make", "a", "--exclude"},
      {"make", "a", "-o", "list.txt"},
      {"make", "a", "-o", "Icon\\x.rmp"},
      {"encode"},
      {"encode", "--"},
  };
  for (const auto& args : bad) {
    std::string shown;
    for (const std::string& arg : args) shown += " [" + arg + "]";
    SCOPED_TRACE(shown);
    Outcome r = run(args);
    EXPECT_EQ(r.code, kExitTrouble);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.compare(0, 9, "rmptool: "), 0) << r.err;
    EXPECT_EQ(lineCount(r.err), 1u) << r.err;
  }
}

TEST(Commands, CheckExitCodes) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "good.rmp", gzipBytes("a\\\na\\b.dat\n")));
  ASSERT_TRUE(writeFile(dir / "warn.rmp", "x.dat\nx.dat\n"));
  ASSERT_TRUE(writeFile(dir / "bad.rmp", "a.dat\rb.dat\n"));
  std::string packed = gzipBytes(std::string(20000, 'y') + "\n");
  ASSERT_TRUE(writeFile(dir / "cut.rmp", packed.substr(0, packed.size() / 2)));

  Outcome good = run({"check", dir / "good.rmp"});
  EXPECT_EQ(good.code, kExitOk);
  EXPECT_EQ(good.out + good.err, "");

  Outcome warn = run({"check", dir / "warn.rmp"});
  EXPECT_EQ(warn.code, kExitOk);
  EXPECT_EQ(warn.out, dir / "warn.rmp" + ":2: warning: 'x.dat': repeats line 1\n");

  Outcome bad = run({"check", dir / "good.rmp", dir / "bad.rmp", dir / "warn.rmp"});
  EXPECT_EQ(bad.code, kExitFindings);
  EXPECT_EQ(bad.out.find(dir / "bad.rmp" + ":1: error: CR-only line ends: 1 entry after the CR at column 6"), 0u)
      << bad.out;

  Outcome missing = run({"check", dir / "bad.rmp", dir / "none.rmp"});
  EXPECT_EQ(missing.code, kExitTrouble);
  EXPECT_EQ(missing.err, "rmptool: check: " + dir / "none.rmp" + ": no such file\n");

  Outcome cut = run({"check", dir / "cut.rmp"});
  EXPECT_EQ(cut.code, kExitTrouble);
  EXPECT_EQ(cut.err.find("rmptool: check: " + dir / "cut.rmp" + ": damaged gzip data in line 1: "), 0u) << cut.err;
  EXPECT_EQ(lineCount(cut.err), 1u);
}

TEST(Commands, PlanOfADirectoryAndFromTheRegistry) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "Game\\m.rmp", "d\\\nd\\f.dat\n"));
  ASSERT_TRUE(writeFile(dir / "Game\\d\\f.dat", "f"));
  ASSERT_TRUE(writeFile(dir / "Menu\\3D Setup.lnk", ""));
  const std::string game = dir / "Game\\";

  Outcome text = run({"plan", dir / "Game", "--folder", dir / "Menu"});
  EXPECT_EQ(text.code, kExitOk);
  EXPECT_EQ(text.err, "");
  const std::string body = "open\t" + game + "m.rmp\n" + "delete\t" + game + "d\\f.dat\n" + "delete\t" + game +
                           "m.rmp\n" + "remove\t" + game + "d\\\n" + "skip\t" + game + "sysinfo.txt\tmissing\n" +
                           "skip\t" + dir / "Menu\\Play Pellmoor Online with GameSpy Arcade.url\tmissing\n" +
                           "delete\t" + dir / "Menu\\3D Setup.lnk\n" + "skip\t" +
                           dir / "Menu\\Pellmoor Dedicated Server.lnk\tmissing\n" + "note\t";
  EXPECT_EQ(text.out.compare(0, body.size(), body), 0) << text.out;
  EXPECT_TRUE(pathExists(dir / "Game\\d\\f.dat"));

  {
    ScopedTestRegistry registry(true, {"Pellmoor"},
                                {regString("Install Dir", dir / "Game"), regString("Folder", dir / "Menu")});
    ASSERT_TRUE(registry.valid());
    Outcome fromRegistry = run({"plan"});
    EXPECT_EQ(fromRegistry.code, kExitOk);
    EXPECT_EQ(fromRegistry.out, text.out);
    Outcome json = run({"plan", "--json"});
    EXPECT_EQ(json.code, kExitOk);
    const std::string start = "{\"runs\":true,\"installDir\":\"" + std::string(game.size() * 2, '?');
    EXPECT_EQ(json.out.compare(0, 26, start, 0, 26), 0) << json.out;
    EXPECT_NE(json.out.find(",\"manifests\":1,\"actions\":[{\"verb\":\"open\",\"path\":"), std::string::npos);
    EXPECT_NE(json.out.find("{\"verb\":\"skip\",\"path\":"), std::string::npos);
    EXPECT_NE(json.out.find(",\"reason\":\"missing\"}"), std::string::npos);
    EXPECT_EQ(json.out.substr(json.out.size() - 3), "\"}\n");
  }
  {
    ScopedTestRegistry registry(false, {}, {});
    ASSERT_TRUE(registry.valid());
    Outcome none = run({"plan"});
    EXPECT_EQ(none.code, kExitFindings);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err.find("rmptool: plan: no installation directory in the registry"), 0u);
    EXPECT_EQ(run({"plan", "--json"}).out.compare(0, 13, "{\"runs\":false"), 0);
  }
  // The installation directory gone: the note without its path.
  Outcome gone = run({"plan", dir / "Gone"});
  EXPECT_EQ(gone.out.substr(gone.out.size() - strlen(kWithoutPath) - 6), "note\t" + std::string(kWithoutPath) + "\n");
}

TEST(Commands, MakeWritesWhatCheckPasses) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "Game\\data\\a.dat", "a"));
  ASSERT_TRUE(writeFile(dir / "Game\\b.dat", "b"));

  Outcome listed = run({"make", dir / "Game"});
  EXPECT_EQ(listed.code, kExitOk);
  EXPECT_EQ(listed.out, "b.dat\ndata\\\ndata\\a.dat\n");

  Outcome written = run({"make", dir / "Game", "-o", dir / "Game\\game.rmp", "--gzip"});
  EXPECT_EQ(written.code, kExitOk);
  EXPECT_EQ(written.out, dir / "Game\\game.rmp" + ": 2 files, 1 directory\n");
  std::string packed = readFile(dir / "Game\\game.rmp");
  ASSERT_GE(packed.size(), 2u);
  EXPECT_EQ(packed.substr(0, 2), "\x1f\x8b");
  Outcome checked = run({"check", "--tree", dir / "Game\\game.rmp"});
  EXPECT_EQ(checked.code, kExitOk);
  EXPECT_EQ(checked.out + checked.err, "");

  ASSERT_TRUE(writeFile(dir / "Game\\con.txt", "x"));
  Outcome refused = run({"make", dir / "Game", "-o", dir / "Game\\again.rmp"});
  EXPECT_EQ(refused.code, kExitFindings);
  EXPECT_EQ(refused.out, "");
  EXPECT_EQ(refused.err.find("rmptool: make: refused: con.txt: is a reserved device name"), 0u) << refused.err;
  EXPECT_FALSE(pathExists(dir / "Game\\again.rmp"));
  Outcome excluded = run({"make", dir / "Game", "--exclude", "CON.*", "--exclude=game.rmp"});
  EXPECT_EQ(excluded.code, kExitOk);
  EXPECT_EQ(excluded.out, "b.dat\ndata\\\ndata\\a.dat\n");

  Outcome noTree = run({"make", dir / "none"});
  EXPECT_EQ(noTree.code, kExitTrouble);
  EXPECT_EQ(noTree.err, "rmptool: make: " + dir / "none" + ": no such directory\n");
}

TEST(Commands, EncodePrintsEachDiskName) {
  Outcome r = run({"encode", "Icon", "a*b", "C:\\Games\\core.rmp", "caf\xe9"});
  EXPECT_EQ(r.code, kExitOk);
  EXPECT_EQ(r.out, "I+~63on\na+~2ab\nC:\\Games\\core.rmp\ncaf+~e9\n");
  EXPECT_EQ(run({"encode", "--", "--help"}).out, "--help\n");
  Outcome tooLong = run({"encode", "a", std::string(300, '*'), "b"});
  EXPECT_EQ(tooLong.code, kExitFindings);
  EXPECT_EQ(tooLong.out, "a\nb\n");
  EXPECT_EQ(lineCount(tooLong.err), 1u);
  EXPECT_NE(tooLong.err.find("its disk name would be longer than 1023 characters"), std::string::npos);
}
