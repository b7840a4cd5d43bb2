// resgen OUTPUT: writes the module's registration resource script (PiPL and AETE) to OUTPUT.
// The file is written beside OUTPUT and renamed over it, so a failed run leaves the old one.
#include <cstdio>
#include <string>

#include "registration/inkjet_registration.h"

namespace {

bool writeWhole(const std::string& path, const std::string& text) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: resgen OUTPUT.rc\n");
    return 2;
  }
  std::string output = argv[1];
  std::string script = registrationScript();
  if (script.empty()) {
    std::fprintf(stderr, "resgen: the registration resources cannot be encoded\n");
    return 1;
  }
  std::string temporary = output + ".tmp";
  if (!writeWhole(temporary, script) || std::rename(temporary.c_str(), output.c_str()) != 0) {
    std::remove(temporary.c_str());
    std::fprintf(stderr, "resgen: cannot write %s\n", output.c_str());
    return 1;
  }
  return 0;
}
