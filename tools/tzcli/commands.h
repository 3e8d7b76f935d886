// The commands of tzcli: their table (names, options, help texts) and the
// functions that run them, one file per command group. A command reads its
// operands, calls the library's exports through the session and fills the
// result; failures are raised as TLibraryError (a result code), TToolError
// or TUsageError and turned into the result by the caller.
#ifndef TZCLI_COMMANDS_H
#define TZCLI_COMMANDS_H

#include <string>
#include <vector>

#include "args.h"
#include "result.h"
#include "session.h"

namespace tzcli {

using TRunFunction = void (*)(TSession&, const TParsedArgs&, TResult&);

// TCommand is one entry of the command table.
struct TCommand {
  const char* Name;      // "sign", "transfer export"
  const char* Synopsis;  // operands and options after the name
  const char* Summary;   // one line
  const char* Details;   // the DESCRIPTION of its help page
  std::vector<TOptionDef> Options;
  TRunFunction Run;
  bool UsesProfile = true;  // false: the engine keeps its defaults (demo)
};

// Commands answers the table in the order of the manual.
const std::vector<TCommand>& Commands();

// PrintManual writes the whole manual page; PrintCommandHelp one command's
// page; PrintGroupHelp the commands that start with |group| ("transfer").
void PrintManual();
void PrintCommandHelp(const TCommand& command);
bool PrintGroupHelp(const std::string& group);

// Engine and parameters (cmd_engine.cpp).
void RunParams(TSession&, const TParsedArgs&, TResult&);
void RunWhoami(TSession&, const TParsedArgs&, TResult&);
void RunError(TSession&, const TParsedArgs&, TResult&);
void RunReset(TSession&, const TParsedArgs&, TResult&);
void RunSelftest(TSession&, const TParsedArgs&, TResult&);

// Keys and the store of correspondents' keys (cmd_keys.cpp).
void RunKeygen(TSession&, const TParsedArgs&, TResult&);
void RunAbonentsList(TSession&, const TParsedArgs&, TResult&);
void RunAbonentsInclude(TSession&, const TParsedArgs&, TResult&);
void RunAbonentsRemove(TSession&, const TParsedArgs&, TResult&);
void RunAbonentsUpdate(TSession&, const TParsedArgs&, TResult&);

// Signatures and hashes (cmd_sign.cpp).
void RunSign(TSession&, const TParsedArgs&, TResult&);
void RunVerify(TSession&, const TParsedArgs&, TResult&);
void RunHash(TSession&, const TParsedArgs&, TResult&);

// Encryption (cmd_crypt.cpp).
void RunEncrypt(TSession&, const TParsedArgs&, TResult&);
void RunDecrypt(TSession&, const TParsedArgs&, TResult&);

// Key reports (cmd_report.cpp).
void RunReport(TSession&, const TParsedArgs&, TResult&);

// Public key transfers (cmd_transfer.cpp).
void RunTransferExport(TSession&, const TParsedArgs&, TResult&);
void RunTransferImport(TSession&, const TParsedArgs&, TResult&);
void RunTransferSave(TSession&, const TParsedArgs&, TResult&);
void RunTransferUid(TSession&, const TParsedArgs&, TResult&);
void RunTransferContent(TSession&, const TParsedArgs&, TResult&);

// Remote key regeneration (cmd_regen.cpp).
void RunRegenStart(TSession&, const TParsedArgs&, TResult&);
void RunRegenFinish(TSession&, const TParsedArgs&, TResult&);
void RunRegenStatus(TSession&, const TParsedArgs&, TResult&);

// The demonstration (cmd_demo.cpp).
void RunDemo(TSession&, const TParsedArgs&, TResult&);

// Helpers shared by the command files (command_util.cpp).

// ReadText answers the zero-terminated text a library call wrote into buf.
std::string TextOf(const std::vector<char>& buf);
// TextBuffer answers a zero-filled buffer of size+1 bytes for a text output.
std::vector<char> TextBuffer(int32_t size);
// KeyReport answers the library's report text (UTF-8, LF line breaks) split
// into the report, its UID and its algorithm name.
struct TReportFields {
  std::string Report;
  std::string UID;
  std::string Algorithm;
};
TReportFields ParseReport(const std::string& cp1251Report);
// SignerOfBlock answers the UID at the start of a signature block (UTF-8).
std::string SignerOfBlock(const uint8_t* block, size_t len);
// EmitTransfer shows a transfer text (bare, for capture) or writes it to
// --output and then shows the UID it carries under |uidKey|.
void EmitTransfer(TSession& s, const TParsedArgs& args, TResult& r, const std::string& text, const char* uidKey);
// OutputPath answers the -o/--output option, or fallback.
std::string OutputPath(const TParsedArgs& args, const std::string& fallback);

}  // namespace tzcli

#endif
