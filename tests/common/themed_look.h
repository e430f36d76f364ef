// Test support: visual styles for this test program. The library takes a
// program as themed when a manifest file named after it lies beside it, so
// writing one before anything asks (at start-up) is enough; the file goes
// when the program ends. Test programs run in the classic look otherwise.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace nxtest {

inline std::string ManifestPath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path) + ".Manifest";
}

// Writes the manifest; false when it cannot be written.
inline bool ThemedLook() {
  static const bool written = [] {
    static const char text[] =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\n"
        "  <dependency><dependentAssembly><assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\"\n"
        "    version=\"6.0.0.0\" processorArchitecture=\"X86\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>\n"
        "  </dependentAssembly></dependency>\n"
        "</assembly>\n";
    FILE* f = std::fopen(ManifestPath().c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(text, 1, sizeof text - 1, f) == sizeof text - 1;
    std::fclose(f);
    std::atexit([] { DeleteFileA(ManifestPath().c_str()); });
    return ok;
  }();
  return written;
}

}  // namespace nxtest
