// Printing of command results for people and for scripts.
#include "result.h"

#include <algorithm>
#include <cstdio>

#include "text.h"

namespace tzcli {

namespace {

// DisplayWidth counts the characters of UTF-8 text (for column alignment).
size_t DisplayWidth(const std::string& text) {
  size_t width = 0;
  for (char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++width;
  }
  return width;
}

std::string Label(const std::string& key) {
  std::string label = key;
  std::replace(label.begin(), label.end(), '_', ' ');
  return label;
}

void PrintTable(const TTable& table) {
  std::vector<size_t> widths(table.Columns.size());
  for (size_t c = 0; c < table.Columns.size(); ++c) widths[c] = DisplayWidth(table.Columns[c]);
  for (const auto& row : table.Rows) {
    for (size_t c = 0; c < row.size() && c < widths.size(); ++c) widths[c] = std::max(widths[c], DisplayWidth(row[c]));
  }
  auto printRow = [&](const std::vector<std::string>& row) {
    std::string line;
    for (size_t c = 0; c < row.size() && c < widths.size(); ++c) {
      line += row[c];
      if (c + 1 < row.size()) line += std::string(widths[c] - DisplayWidth(row[c]) + 2, ' ');
    }
    std::printf("%s\n", line.c_str());
  };
  std::vector<std::string> header;
  for (const std::string& column : table.Columns) header.push_back(Label(column));
  printRow(header);
  for (const auto& row : table.Rows) printRow(row);
}

std::string TableJson(const TTable& table) {
  std::string out = "[";
  for (size_t r = 0; r < table.Rows.size(); ++r) {
    if (r != 0) out += ",";
    out += "{";
    for (size_t c = 0; c < table.Columns.size() && c < table.Rows[r].size(); ++c) {
      if (c != 0) out += ",";
      out += JsonQuote(table.Columns[c]);
      out += ':';
      int32_t number = 0;
      if (table.Numeric[c] && ParseInt32(table.Rows[r][c], number)) {
        out += std::to_string(number);
      } else {
        out += JsonQuote(table.Rows[r][c]);
      }
    }
    out += "}";
  }
  return out + "]";
}

}  // namespace

void TResult::Add(const std::string& key, const std::string& value) {
  Fields.push_back({key, TKind::kText, value});
}

void TResult::Add(const std::string& key, int64_t value) {
  TField field{key, TKind::kNumber, std::string()};
  field.Number = value;
  Fields.push_back(field);
}

void TResult::AddFlag(const std::string& key, bool value) {
  TField field{key, TKind::kFlag, std::string()};
  field.Number = value ? 1 : 0;
  Fields.push_back(field);
}

void TResult::AddBare(const std::string& key, const std::string& value) {
  Fields.push_back({key, TKind::kBare, value});
}

void TResult::AddBlock(const std::string& key, const std::string& text) {
  Fields.push_back({key, TKind::kBlock, text});
}

TTable& TResult::AddTable(const std::string& key, const std::vector<std::string>& columns) {
  TTable table;
  for (const std::string& column : columns) {
    const bool numeric = !column.empty() && column[0] == '#';
    table.Columns.push_back(numeric ? column.substr(1) : column);
    table.Numeric.push_back(numeric);
  }
  Tables.push_back(std::move(table));
  TField field{key, TKind::kTable, std::string()};
  field.TableIndex = Tables.size() - 1;
  Fields.push_back(field);
  return Tables.back();
}

void TResult::Fail(int32_t code, const std::string& message) {
  Succeeded = false;
  HasCode = true;
  Code = code;
  Message = message;
}

void TResult::FailText(const std::string& message) {
  Succeeded = false;
  HasCode = false;
  Message = message;
}

void TResult::Print(bool json) const {
  if (json) {
    std::string out = "{\"command\":";
    out += JsonQuote(Command);
    out += ",\"ok\":";
    out += Succeeded ? "true" : "false";
    if (!Succeeded) {
      if (HasCode) {
        out += ",\"code\":";
        out += std::to_string(Code);
      }
      out += ",\"message\":";
      out += JsonQuote(Message);
    }
    for (const TField& field : Fields) {
      out += ',';
      out += JsonQuote(field.Key);
      out += ':';
      switch (field.Kind) {
        case TKind::kNumber: out += std::to_string(field.Number); break;
        case TKind::kFlag: out += field.Number != 0 ? "true" : "false"; break;
        case TKind::kTable: out += TableJson(Tables[field.TableIndex]); break;
        default: out += JsonQuote(field.Text);
      }
    }
    std::printf("%s}\n", out.c_str());
    std::fflush(stdout);
    return;
  }
  for (const TField& field : Fields) {
    switch (field.Kind) {
      case TKind::kText: std::printf("%s: %s\n", Label(field.Key).c_str(), field.Text.c_str()); break;
      case TKind::kNumber: std::printf("%s: %lld\n", Label(field.Key).c_str(), static_cast<long long>(field.Number)); break;
      case TKind::kFlag: std::printf("%s: %s\n", Label(field.Key).c_str(), field.Number != 0 ? "yes" : "no"); break;
      case TKind::kBare: std::printf("%s\n", field.Text.c_str()); break;
      case TKind::kBlock:
        std::printf("%s%s", field.Text.c_str(), !field.Text.empty() && field.Text.back() == '\n' ? "" : "\n");
        break;
      case TKind::kTable: PrintTable(Tables[field.TableIndex]); break;
    }
  }
  std::fflush(stdout);
  if (!Succeeded) {
    if (HasCode) {
      std::fprintf(stderr, "tzcli %s: error %d: %s\n", Command.c_str(), Code, Message.c_str());
    } else {
      std::fprintf(stderr, "tzcli %s: %s\n", Command.c_str(), Message.c_str());
    }
  }
}

}  // namespace tzcli
