// The 32-bit Windows DLLs as the host sees them, read with the mingw binutils:
// tz_morka.dll exports exactly the 76 names at their fixed ordinals, each
// stdcall export removes 4 bytes per argument (the decorated "_Name@N" names
// of the import library), libcrypt.dll exports exactly the 60 CrypC_ entry
// points, and neither DLL imports anything but system DLLs.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "api/export_names.h"
#include "crypc_table.h"

namespace tzm::test {
namespace {

#ifndef TZM_WIN32_BUILD_DIR
#error "TZM_WIN32_BUILD_DIR (the i686 cross build folder) must be defined"
#endif

// The i686 build folder: $TZM_WIN32_BUILD_DIR when set, else the configured one.
std::filesystem::path Win32BuildDir() {
  const char* fromEnv = std::getenv("TZM_WIN32_BUILD_DIR");
  return (fromEnv != nullptr && *fromEnv != '\0') ? fromEnv : TZM_WIN32_BUILD_DIR;
}

// Without the cross build the checks are skipped, unless the caller (the
// Windows CI stage) says the build must be there.
#define TZM_REQUIRE_FILE(path)                                                                     \
  do {                                                                                             \
    if (!std::filesystem::exists(path)) {                                                          \
      const char* required = std::getenv("TZM_REQUIRE_WIN32_BUILD");                               \
      if (required != nullptr && std::string(required) == "1") FAIL() << "missing " << (path);     \
      GTEST_SKIP() << "no i686 cross build at " << Win32BuildDir() << " (" << (path) << ")";       \
    }                                                                                              \
  } while (0)

// RunCommand returns the standard output of |command|; empty when it failed.
std::string RunCommand(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  std::array<char, 4096> chunk{};
  size_t n = 0;
  while ((n = fread(chunk.data(), 1, chunk.size(), pipe)) > 0) out.append(chunk.data(), n);
  if (pclose(pipe) != 0) out.clear();
  return out;
}

struct TPeExports {
  int Base = -1;
  int NumAddresses = 0;               // entries of the export address table
  std::map<std::string, int> Ordinals;  // name -> ordinal
  std::vector<std::string> Imports;   // DLL names of the import table
};

// ReadPe parses "objdump -p": the ordinal base, the export address table,
// the [Ordinal/Name Pointer] table (index from the base, or "+base[n]" in
// newer binutils) and the imported DLL names.
TPeExports ReadPe(const std::filesystem::path& dll) {
  TPeExports pe;
  std::istringstream in(RunCommand("i686-w64-mingw32-objdump -p '" + dll.string() + "'"));
  const std::regex baseLine(R"(^Export Address Table -- Ordinal Base (\d+))");
  const std::regex addressLine(R"(^\s*\[\s*\d+\]\s+\+base\[\s*\d+\]\s+[0-9a-fA-F]+\s+Export RVA)");
  const std::regex nameLine(R"(^\s*\[\s*(\d+)\]\s+(?:\+base\[\s*(\d+)\]\s+)?([A-Za-z_][A-Za-z0-9_@]*)\s*$)");
  const std::regex importLine(R"(^\s*DLL Name:\s*(\S+))");
  enum { kOther, kAddresses, kNames } section = kOther;
  std::string line;
  std::smatch m;
  while (std::getline(in, line)) {
    if (std::regex_search(line, m, baseLine)) {
      pe.Base = std::stoi(m[1]);
      section = kAddresses;
    } else if (line.find("[Ordinal/Name Pointer] Table") != std::string::npos) {
      section = kNames;
    } else if (std::regex_search(line, m, importLine)) {
      pe.Imports.push_back(m[1]);
    } else if (section == kAddresses && std::regex_search(line, addressLine)) {
      ++pe.NumAddresses;
    } else if (section == kNames && std::regex_search(line, m, nameLine)) {
      const int ordinal = m[2].matched ? std::stoi(m[2]) : std::stoi(m[1]) + pe.Base;
      pe.Ordinals[m[3]] = ordinal;
    } else if (section == kNames && line.empty() && !pe.Ordinals.empty()) {
      section = kOther;
    }
  }
  return pe;
}

// Only DLLs that every Windows has; never the compiler's runtime DLLs.
void ExpectSystemImportsOnly(const TPeExports& pe, const std::string& what) {
  static const std::set<std::string> kSystem = {"kernel32.dll", "msvcrt.dll", "advapi32.dll",
                                                "user32.dll",   "bcrypt.dll", "ntdll.dll"};
  EXPECT_FALSE(pe.Imports.empty()) << what;
  for (std::string name : pe.Imports) {
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    EXPECT_TRUE(kSystem.count(name) == 1) << what << " imports " << name;
  }
}

TEST(Win32ExportTable, TzMorkaNamesOrdinalsAndImports) {
  const auto dll = Win32BuildDir() / "bin" / "tz_morka.dll";
  TZM_REQUIRE_FILE(dll);
  const TPeExports pe = ReadPe(dll);
  ASSERT_EQ(pe.Base, 1);
  // No gaps: ordinals 1..76, one name each, nothing more.
  EXPECT_EQ(pe.NumAddresses, 76);
  EXPECT_EQ(pe.Ordinals.size(), std::size(kExportNames));
  for (const TExportName& e : kExportNames) {
    const auto it = pe.Ordinals.find(e.Name);
    if (it == pe.Ordinals.end()) {
      ADD_FAILURE() << e.Name << " is not exported (decorated or missing)";
      continue;
    }
    EXPECT_EQ(it->second, e.Ordinal) << e.Name;
  }
  ExpectSystemImportsOnly(pe, "tz_morka.dll");
}

TEST(Win32ExportTable, StdcallExportsRemoveFourBytesPerArgument) {
  const auto implib = Win32BuildDir() / "lib" / "libtz_morka.dll.a";
  TZM_REQUIRE_FILE(implib);
  // Import thunks of the import library: "T _Name@N".
  std::istringstream in(RunCommand("i686-w64-mingw32-nm '" + implib.string() + "'"));
  const std::regex thunk(R"(^[0-9a-fA-F]+ T _([A-Za-z_][A-Za-z0-9_]*)@(\d+)$)");
  std::map<std::string, int> bytes;
  std::string line;
  std::smatch m;
  while (std::getline(in, line)) {
    if (std::regex_search(line, m, thunk)) bytes[m[1]] = std::stoi(m[2]);
  }
  EXPECT_EQ(bytes.size(), std::size(kExportNames));
  for (const TExportName& e : kExportNames) {
    const auto it = bytes.find(e.Name);
    if (it == bytes.end()) {
      ADD_FAILURE() << "_" << e.Name << "@" << 4 * e.NumArgs << " is not in the import library";
      continue;
    }
    EXPECT_EQ(it->second, 4 * e.NumArgs) << e.Name;
  }
}

TEST(Win32ExportTable, LibcryptExportsTheEntryPointsOnly) {
  const auto dll = Win32BuildDir() / "bin" / "libcrypt.dll";
  TZM_REQUIRE_FILE(dll);
  const TPeExports pe = ReadPe(dll);
  std::set<std::string> expected;
#define TZM_ENTRY_NAME(name, args) expected.insert(#name);
  CRYPC_ENTRY_POINTS(TZM_ENTRY_NAME)
#undef TZM_ENTRY_NAME
  ASSERT_EQ(expected.size(), 60u);
  std::set<std::string> exported;
  for (const auto& [name, ordinal] : pe.Ordinals) exported.insert(name);
  EXPECT_EQ(exported, expected);
  ExpectSystemImportsOnly(pe, "libcrypt.dll");
}

}  // namespace
}  // namespace tzm::test
