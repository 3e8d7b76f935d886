// Small helpers shared by the command files.
#include <algorithm>

#include "commands.h"
#include "text.h"

namespace tzcli {

std::string TextOf(const std::vector<char>& buf) {
  const auto end = std::find(buf.begin(), buf.end(), '\0');
  return std::string(buf.begin(), end);
}

std::vector<char> TextBuffer(int32_t size) { return std::vector<char>(static_cast<size_t>(std::max(size, 0)) + 1, 0); }

TReportFields ParseReport(const std::string& cp1251Report) {
  TReportFields fields;
  fields.Report = ReportLines(cp1251Report);
  size_t start = 0;
  while (start < fields.Report.size()) {
    size_t end = fields.Report.find('\n', start);
    if (end == std::string::npos) end = fields.Report.size();
    const std::string line = fields.Report.substr(start, end - start);
    if (line.rfind("UID=", 0) == 0 && fields.UID.empty()) fields.UID = line.substr(4);
    if (line.rfind("PKeyAlg=", 0) == 0 && fields.Algorithm.empty()) fields.Algorithm = line.substr(8);
    start = end + 1;
  }
  return fields;
}

std::string SignerOfBlock(const uint8_t* block, size_t len) {
  const uint8_t* end = std::find(block, block + len, uint8_t{0});
  return ToTerminal(std::string(reinterpret_cast<const char*>(block), reinterpret_cast<const char*>(end)));
}

std::string OutputPath(const TParsedArgs& args, const std::string& fallback) {
  return args.Value("output").value_or(fallback);
}

}  // namespace tzcli
