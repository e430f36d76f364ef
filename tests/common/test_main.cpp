// Shared main of the test programs. --themed runs the program with visual
// styles (common/themed_look.h).
#include <gtest/gtest.h>

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#include <commctrl.h>

#include "common/themed_look.h"
#endif

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
#ifdef _WIN32
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--themed") == 0 && !nxtest::ThemedLook()) return 2;
  // Tests must not stop on the system's critical-error boxes.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
#endif
  return RUN_ALL_TESTS();
}
