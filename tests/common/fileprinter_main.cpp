// nx_fileprinter install <name> <port file> | remove <name>
// Sets up (or removes) the file printer the printing checks print on.
#include <cstdio>
#include <cstring>

#include "fileprinter.h"

int main(int argc, char** argv) {
  if (argc == 4 && !strcmp(argv[1], "install")) {
    if (nxtest::InstallFilePrinter(argv[2], argv[3])) return 0;
    fprintf(stderr, "cannot install printer %s (error %lu)\n", argv[2], GetLastError());
    return 1;
  }
  if (argc == 3 && !strcmp(argv[1], "remove")) return nxtest::RemoveFilePrinter(argv[2]) ? 0 : 1;
  fprintf(stderr, "usage: nx_fileprinter install <name> <port file> | remove <name>\n");
  return 2;
}
