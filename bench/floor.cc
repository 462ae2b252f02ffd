// The floor of the replay's job: deletes exactly the paths of a list, in its
// order, with one bare system call each and nothing else: no search, no
// manifest, no check. The benchmark times it against the real program.
//
//   bench_floor LIST
//
// LIST holds one absolute path a line; a path ending in a separator is a
// directory to remove, any other a file to delete. The whole list is read
// before the first deletion. Exit code 0 when every deletion succeeded, 1
// when one failed (the list does not match the tree), 2 on a usage or read
// error.
#include <stdio.h>
#include <string.h>

#include <vector>

#include "floor.h"

namespace {

// The whole of the file `name`, NUL-terminated; false when it cannot be read.
bool readAll(const char* name, std::vector<char>& text) {
  FILE* file = fopen(name, "rb");
  if (!file) return false;
  char chunk[1 << 16];
  size_t got;
  while ((got = fread(chunk, 1, sizeof chunk, file)) > 0) text.insert(text.end(), chunk, chunk + got);
  bool failed = ferror(file) != 0;
  fclose(file);
  text.push_back('\0');
  return !failed;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: bench_floor LIST\n");
    return 2;
  }
  std::vector<char> text;
  if (!readAll(argv[1], text)) {
    fprintf(stderr, "bench_floor: cannot read %s\n", argv[1]);
    return 2;
  }
  // Cut the lines in place first, so that the loop below does nothing but delete.
  struct Deletion {
    const char* path;
    bool isDirectory;
  };
  std::vector<Deletion> deletions;
  for (char* p = text.data();;) {
    char* end = p + strcspn(p, "\r\n");
    bool last = *end == '\0';
    if (end > p) deletions.push_back({p, end[-1] == '/' || end[-1] == '\\'});
    *end = '\0';
    if (last) break;
    p = end + 1;
  }

  unsigned long failed = 0;
  for (const Deletion& d : deletions) {
    if (deleteOne(d.path, d.isDirectory) != 0) ++failed;
  }
  if (failed) {
    fprintf(stderr, "bench_floor: %lu of %lu deletions failed\n", failed, static_cast<unsigned long>(deletions.size()));
    return 1;
  }
  return 0;
}
