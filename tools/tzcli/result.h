// What a command answers: named fields, shown as "name: value" lines on the
// terminal or as one JSON object with --json; a failure carries the result
// code and message of the library, or the tool's own reason.
#ifndef TZCLI_RESULT_H
#define TZCLI_RESULT_H

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace tzcli {

// TToolError is a failure of the tool itself (a file it cannot read or
// write, a file too large for one buffer); the message is UTF-8.
class TToolError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// TLibraryError carries a result code of tz_morka other than 0.
class TLibraryError : public std::runtime_error {
 public:
  explicit TLibraryError(int32_t code) : std::runtime_error("result " + std::to_string(code)), Code(code) {}
  int32_t Code;
};

// TTable is a list of rows with named columns (all cells UTF-8 text).
struct TTable {
  std::vector<std::string> Columns;
  std::vector<bool> Numeric;  // per column: shown as a JSON number
  std::vector<std::vector<std::string>> Rows;
};

class TResult {
 public:
  explicit TResult(std::string command) : Command(std::move(command)) {}

  // Add appends a field shown as "name: value".
  void Add(const std::string& key, const std::string& value);
  void Add(const std::string& key, int64_t value);
  void AddFlag(const std::string& key, bool value);
  // AddBare appends a field shown alone on the terminal (a UID, a hash, a
  // transfer text: something a script may capture).
  void AddBare(const std::string& key, const std::string& value);
  // AddBlock appends a multi-line text (a key report) shown as it is.
  void AddBlock(const std::string& key, const std::string& text);
  // AddTable appends a table; columns marked with a leading '#' are numbers.
  TTable& AddTable(const std::string& key, const std::vector<std::string>& columns);

  // Fail records a library result code and its message (UTF-8).
  void Fail(int32_t code, const std::string& message);
  // FailText records a failure of the tool itself.
  void FailText(const std::string& message);

  bool Ok() const { return Succeeded; }

  // Print writes the result: fields to stdout and, on failure, the reason to
  // stderr; with json one object to stdout.
  void Print(bool json) const;

 private:
  enum class TKind { kText, kNumber, kFlag, kBare, kBlock, kTable };
  struct TField {
    std::string Key;
    TKind Kind;
    std::string Text;
    int64_t Number = 0;
    size_t TableIndex = 0;
  };

  std::string Command;
  std::vector<TField> Fields;
  std::vector<TTable> Tables;
  bool Succeeded = true;
  bool HasCode = false;
  int32_t Code = 0;
  std::string Message;
};

}  // namespace tzcli

#endif
