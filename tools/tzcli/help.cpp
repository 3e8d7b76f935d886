// The manual page of tzcli and the help page of each command.
#include <cstdio>
#include <string>

#include "commands.h"

namespace tzcli {

namespace {

constexpr size_t kWidth = 78;

// PrintWrapped prints text as a paragraph indented by |indent| columns.
void PrintWrapped(const std::string& text, size_t indent) {
  std::string line(indent, ' ');
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find(' ', pos);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(pos, end - pos);
    if (line.size() > indent && line.size() + 1 + word.size() > kWidth) {
      std::printf("%s\n", line.c_str());
      line.assign(indent, ' ');
    }
    if (line.size() > indent) line += ' ';
    line += word;
    pos = end + 1;
  }
  if (line.size() > indent) std::printf("%s\n", line.c_str());
}

void PrintOptions(const TCommand& command) {
  for (const TOptionDef& option : command.Options) {
    std::string shown = option.Short != 0 ? std::string("-") + option.Short + ", " : std::string("    ");
    shown += std::string("--") + option.Name + (option.TakesValue ? " VALUE" : "");
    std::printf("       %s\n", shown.c_str());
  }
}

// Usage answers "NAME SYNOPSIS" without a trailing blank.
std::string Usage(const TCommand& command) {
  std::string usage = command.Name;
  if (command.Synopsis[0] != '\0') usage += std::string(" ") + command.Synopsis;
  return usage;
}

const char* const kGlobalOptions[][2] = {
    {"--profile FILE", "read the engine parameters from FILE (default: the file named by the environment "
                       "variable TZCLI_PROFILE; without either the engine keeps its defaults)"},
    {"--set \"Name=Value\"", "set one parameter after the profile; may be repeated; Name is the parameter's "
                             "name as 'tzcli params' shows it (or its number)"},
    {"--root DIR", "set the root directory (SetRootPath) that a leading %KVLRoot% in paths stands for"},
    {"--json", "print one JSON object per run instead of text (UTF-8; failures too, with \"ok\": false, "
               "\"code\" and \"message\")"},
    {"-h, --help", "show this page, or the page of the command given"},
};

}  // namespace

void PrintCommandHelp(const TCommand& command) {
  std::printf("NAME\n       tzcli %s - %s\n\nSYNOPSIS\n       tzcli [global options] %s\n", command.Name,
              command.Summary, Usage(command).c_str());
  if (command.Details != nullptr && command.Details[0] != '\0') {
    std::printf("\nDESCRIPTION\n");
    PrintWrapped(command.Details, 7);
  }
  if (!command.Options.empty()) {
    std::printf("\nOPTIONS\n");
    PrintOptions(command);
  }
  std::printf("\nSee 'tzcli --help' for the global options, the profile file and the exit status.\n");
}

bool PrintGroupHelp(const std::string& group) {
  bool any = false;
  for (const TCommand& command : Commands()) {
    const std::string name = command.Name;
    if (name.rfind(group + " ", 0) != 0) continue;
    if (any) std::printf("\n");
    PrintCommandHelp(command);
    any = true;
  }
  return any;
}

void PrintManual() {
  std::printf("NAME\n       tzcli - command-line host of the tz_morka GOST provider library\n\n");
  std::printf("SYNOPSIS\n       tzcli [global options] COMMAND [arguments]\n       tzcli help [COMMAND]\n\n");
  std::printf("DESCRIPTION\n");
  PrintWrapped("tzcli loads tz_morka (libtz_morka.so, tz_morka.dll) from its own folder at run time, exactly as "
               "a host application does, creates one engine, applies the saved settings and calls the "
               "library's exports: key generation, signatures, encryption, the store of correspondents' public "
               "keys, public key transfers, remote key regeneration and key reports.",
               7);
  std::printf("\nGLOBAL OPTIONS\n");
  for (const auto& option : kGlobalOptions) {
    std::printf("       %s\n", option[0]);
    PrintWrapped(option[1], 11);
  }
  std::printf("\nCOMMANDS\n");
  for (const TCommand& command : Commands()) {
    std::printf("       %s\n", Usage(command).c_str());
    PrintWrapped(command.Summary, 11);
  }
  std::printf("\n       'tzcli help COMMAND' or 'tzcli COMMAND --help' shows the page of one command.\n");
  std::printf("\nPROFILE\n");
  PrintWrapped("A profile file keeps the engine parameters the way a host stores them: one line \"Name = Value\" "
               "per parameter, by the names 'tzcli params' lists (\"User PKey/Certificate\", \"User Secret key\", "
               "\"Abonents dir\", \"CA dir\", \"Encrypt Method\", \"Encrypt for UID\", \"Key request time out\", "
               "\"Last operation key time out\", \"Key gen - GOST\", \"Key gen - UID\", \"Key gen - PKey filename\", "
               "\"Key gen - SKey filename\", \"Hash method\"). Blanks around name and value are dropped; a value "
               "in double quotes keeps its inner blanks. Lines starting with # or ; are comments. Two more names "
               "are the host's other settings: \"Root = DIR\" (the root directory; relative to the profile's "
               "folder) and \"Remote generate path = DIR\" (the fallback folder of remote regeneration). The "
               "file is UTF-8; a file that is not valid UTF-8 is read as Windows-1251.",
               7);
  std::printf("\n       Example:\n"
              "           User PKey/Certificate = /home/ivanov/keys/self.pub\n"
              "           User Secret key       = /home/ivanov/keys/self.sec\n"
              "           Abonents dir          = /home/ivanov/keys/abonents\n"
              "           CA dir                = /home/ivanov/keys/ca\n"
              "           Encrypt for UID       = \xD0\x9F\xD0\xB5\xD1\x82\xD1\x80\xD0\xBE\xD0\xB2 \xD0\x9F.\xD0\x9F.\n");
  std::printf("\nTEXT\n");
  PrintWrapped("The library reads and writes Windows-1251 text. tzcli converts UIDs, paths, parameter values, "
               "messages and reports between it and the terminal's UTF-8, so UIDs such as \xD0\x98\xD0\xB2\xD0\xB0"
               "\xD0\xBD\xD0\xBE\xD0\xB2 \xD0\x98.\xD0\x98. can be typed and shown. Characters Windows-1251 lacks "
               "become '?'. Data files are bytes and are never converted.",
               7);
  std::printf("\nEXIT STATUS\n");
  PrintWrapped("0 on success. 1 when the library answered a result code other than 0 (the code and its message "
               "are printed; for -3 the message ends with the library's last failure text) or a file could not "
               "be read or written. 2 for a command line or profile tzcli cannot follow.",
               7);
  std::printf("\nENVIRONMENT\n       TZCLI_PROFILE      the profile file used when --profile is not given\n"
              "       TZ_MORKA_DRIVES    the folder standing for Windows drive letters (see the README)\n");
  std::printf("\nEXAMPLES\n"
              "       tzcli demo\n"
              "       tzcli --profile ivanov.profile keygen 2001 \"\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD\xD0\xBE\xD0\xB2 "
              "\xD0\x98.\xD0\x98.\" --pub keys/self.pub --sec keys/self.sec\n"
              "       tzcli --profile ivanov.profile sign contract.pdf\n"
              "       tzcli --profile petrov.profile verify contract.pdf contract.pdf.sig\n"
              "       tzcli --profile ivanov.profile encrypt report.xml --to \"\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD"
              "\xD0\xBE\xD0\xB2 \xD0\x98.\xD0\x98.;\xD0\x9F\xD0\xB5\xD1\x82\xD1\x80\xD0\xBE\xD0\xB2 "
              "\xD0\x9F.\xD0\x9F.\"\n"
              "       tzcli --profile ivanov.profile transfer export -o ivanov.transfer\n"
              "       tzcli --profile petrov.profile transfer import ivanov.transfer\n"
              "       tzcli error -15\n");
}

}  // namespace tzcli
