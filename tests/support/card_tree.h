#pragma once
// For the tests of the card generators: a generator run as its own process,
// and a card read back as a map of its entries.
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

extern char** environ;

// Runs args[0] with the arguments; its exit status, or -1 when it did not
// exit. What it writes to stderr goes to `errors`.
inline int RunTool(const TempDir& dir, std::vector<std::string> args, std::string* errors) {
  const std::string errorFile = dir.File("stderr.txt");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  *errors = ReadWholeFile(errorFile);
  return WEXITSTATUS(status);
}

// Every entry below `root` by its path: a folder as "/", a link as "-> "
// and its target, a FIFO as "|", a file as its bytes, or as its size past
// 1 MiB (a sparse file of gigabytes is never read).
using CardTree = std::map<std::string, std::string>;
inline void ReadCardTree(const std::string& root, const std::string& below, CardTree* tree) {
  DIR* dir = opendir((root + below).c_str());
  ASSERT_NE(nullptr, dir) << root + below;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    const std::string path = below + "/" + name;
    struct stat st;
    ASSERT_EQ(0, lstat((root + path).c_str(), &st)) << path;
    if (S_ISDIR(st.st_mode)) {
      (*tree)[path + "/"] = "/";
      ReadCardTree(root, path, tree);
    } else if (S_ISLNK(st.st_mode)) {
      char target[256] = {};
      ASSERT_LT(0, readlink((root + path).c_str(), target, sizeof target - 1)) << path;
      (*tree)[path] = std::string("-> ") + target;
    } else if (S_ISFIFO(st.st_mode)) {
      (*tree)[path] = "|";
    } else {
      ASSERT_TRUE(S_ISREG(st.st_mode)) << path;
      (*tree)[path] = st.st_size > (1 << 20) ? "size " + std::to_string(st.st_size) : ReadWholeFile(root + path);
    }
  }
  closedir(dir);
}
inline CardTree ReadCardTree(const std::string& root) {
  CardTree tree;
  ReadCardTree(root, "", &tree);
  return tree;
}
