// A main for the fuzz targets outside libFuzzer: runs LLVMFuzzerTestOneInput
// once on every file named on the command line, or on every file of a named
// folder. The test suite uses it to replay the seed corpora and the inputs
// that once made a target fail, under whatever sanitizers the build has.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

int RunFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // A copy of exactly the file's length, so that any read past it is seen.
  std::vector<uint8_t> exact(bytes);
  exact.shrink_to_fit();
  LLVMFuzzerTestOneInput(exact.empty() ? nullptr : exact.data(), exact.size());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  int inputs = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path arg = argv[i];
    if (std::filesystem::is_directory(arg)) {
      for (const auto& entry : std::filesystem::directory_iterator(arg)) {
        if (entry.is_regular_file() && entry.path().filename().string()[0] != '.') inputs += RunFile(entry.path());
      }
    } else if (std::filesystem::is_regular_file(arg)) {
      inputs += RunFile(arg);
    }
  }
  std::printf("%d inputs replayed\n", inputs);
  return 0;
}
