// The command table: every command's name, synopsis, help text and options.
#include "commands.h"

namespace tzcli {

namespace {

const TOptionDef kOutput{"output", 'o', true};

}  // namespace

const std::vector<TCommand>& Commands() {
  static const std::vector<TCommand> commands = {
      {"demo", "[DIR]", "run the whole story with two users in a fresh folder",
       "Creates two users with Cyrillic UIDs in DIR (a new folder under the temporary folder when omitted; "
       "DIR must be empty or not exist), gives them GOST R 34.10-2001 and GOST R 34.10-94 key pairs, lets "
       "them exchange public keys as key files and as transfer texts, sign and verify, encrypt for both and "
       "decrypt, shows that a changed byte is refused with its message, regenerates one user's keys "
       "remotely and verifies with the new key, and prints the key reports. Each step prints one line with "
       "its outcome and time. The demo ignores the profile and --set.",
       {}, RunDemo, false},
      {"params", "", "list the engine parameters: names, values, kinds and allowed values",
       "Shows the 13 parameters after the profile and --set were applied, with the kind and the allowed "
       "values the library reports for settings screens (1, 2 range; 4 length; 7 choice; 10 file; 11 folder).",
       {}, RunParams},
      {"keygen", "[ALG [UID]] [--alg 1994|2001] [--uid UID] [--pub FILE] [--sec FILE] [--force]",
       "generate a key pair",
       "Generates a GOST R 34.10-2001 or GOST R 34.10-94 key pair for UID into the public and secret key "
       "files. Defaults come from the parameters \"Key gen - GOST\", \"Key gen - UID\", \"Key gen - PKey "
       "filename\" and \"Key gen - SKey filename\". Existing key files are not replaced unless --force is "
       "given. The current key set (\"User PKey/Certificate\", \"User Secret key\") is not changed: point "
       "those parameters at the new files to use them.",
       {{"alg", 0, true}, {"uid", 0, true}, {"pub", 0, true}, {"sec", 0, true}, {"force", 'f', false}}, RunKeygen},
      {"whoami", "", "show the UID of the current user's key", "Prints the UID of the current key set.", {}, RunWhoami},
      {"sign", "FILE [--attached] [-o OUT]", "sign a file",
       "Signs FILE with the current user's secret key. By default writes a detached signature block (the "
       "signer's UID, a zero byte and 64 signature bytes) to FILE.sig; with --attached writes the file "
       "followed by the signature and a length trailer to FILE.signed. The digest follows the parameter "
       "\"Hash method\", which tzcli sets to GOST unless the profile or --set gives it: the engine's other "
       "digest, OLD_FORMAT, covers only the first 65535 bytes of the data.",
       {{"attached", 0, false}, kOutput}, RunSign},
      {"verify", "FILE [SIG] | --attached FILE [-o OUT] [--allow-partial]", "verify a signature",
       "Verifies the detached signature SIG (default FILE.sig) over FILE, or with --attached the signature "
       "attached to FILE; -o then writes the data without its signature. Prints the signer's UID, also when "
       "the signature does not match (result 5). A signature over more than 65535 bytes that was made with "
       "the OLD_FORMAT digest covers only the first 65535 bytes: tzcli finds this out (it checks that a "
       "changed last byte breaks the signature) and fails unless --allow-partial is given.",
       {{"attached", 0, false}, {"allow-partial", 0, false}, kOutput}, RunVerify},
      {"encrypt", "FILE [--to \"UID;UID\"] [-o OUT]", "encrypt a file for correspondents",
       "Encrypts FILE for the recipients (default: the parameter \"Encrypt for UID\") into OUT (default "
       "FILE.enc). The sender can decrypt only when the own UID is among the recipients. The cipher mode "
       "follows \"Encrypt Method\".",
       {{"to", 't', true}, kOutput}, RunEncrypt},
      {"decrypt", "FILE [-o OUT]", "decrypt a file addressed to the current user",
       "Decrypts FILE into OUT (default: FILE without its .enc ending, or FILE.dec). A changed byte is "
       "refused by the integrity check (result -15).",
       {kOutput}, RunDecrypt},
      {"hash", "FILE [--form raw|hex|base64] [-o OUT]", "hash a file",
       "Prints the 32-byte hash of FILE as 64 hexadecimal digits (default), as Base64, or writes the raw "
       "bytes. The hash is GOST R 34.11-94 when \"Hash method\" is GOST, else the compatibility variant.",
       {{"form", 0, true}, kOutput}, RunHash},
      {"report", "[UID] | --file KEYFILE | --transfer FILE | --pending", "show a key report",
       "Shows the report of a public key: of UID from the key store (default: the current user), of a "
       "public key file, of the key inside a transfer text, or of the new key of a started remote "
       "regeneration.",
       {{"file", 0, true}, {"transfer", 0, true}, {"pending", 0, false}}, RunReport},
      {"transfer export", "[UID | --self | --file KEYFILE] [-o OUT]", "make a transfer text of a public key",
       "Writes the transfer text (one signed Base64 line) of the current user's key (default), of UID from "
       "the key store, or of a key file. Without -o the text alone is printed.",
       {{"self", 0, false}, {"file", 0, true}, kOutput}, RunTransferExport},
      {"transfer import", "FILE", "verify a transfer text and include its key in the store",
       "Verifies the transfer text in FILE (- for standard input) with the signer's key, which must be "
       "known already (the own key or one in the store), and includes the carried key.",
       {}, RunTransferImport},
      {"transfer save", "FILE [--dir DIR]", "verify a transfer text and save its key file",
       "Verifies the transfer text and writes the carried public key file into DIR (default: the current "
       "folder) under the name the transfer gives (tran.pub).",
       {{"dir", 0, true}}, RunTransferSave},
      {"transfer uid", "FILE", "verify a transfer text and show the UID it carries", "", {}, RunTransferUid},
      {"transfer content", "FILE [-o OUT]", "verify a transfer text and take out the key file bytes",
       "Writes the carried public key file to OUT, or shows its bytes in hexadecimal.", {kOutput},
       RunTransferContent},
      {"abonents list", "", "list the own key and the correspondents' keys",
       "Lists the current user's public key and every key file below the folder \"Abonents dir\" (files whose "
       "names end in pub, subfolders included) with UID and algorithm.",
       {}, RunAbonentsList},
      {"abonents include", "FILE [--move]", "include a correspondent's public key file",
       "Includes the public key file into the store (\"Abonents dir\"). The library deletes the key file "
       "it has included, so tzcli includes a copy and leaves FILE alone; with --move FILE itself is "
       "included and then deleted. A key that carries "
       "the current user's own UID is refused (-20).",
       {{"move", 0, false}}, RunAbonentsInclude},
      {"abonents remove", "UID", "remove a correspondent's key and its files", "", {}, RunAbonentsRemove},
      {"abonents update", "UID", "reload a correspondent's key from its file", "", {}, RunAbonentsUpdate},
      {"regen start", "[--ex] [--uid NEWUID] [-o OUT]", "start a remote key regeneration",
       "Generates a new key pair (algorithm from \"Key gen - GOST\") into the regeneration folder beside the "
       "secret key file, keeps its secret key only encrypted for the current key, and prints the transfer "
       "text of the new public key, signed with the current key, for the other side. The new key keeps the "
       "current UID; with --ex it gets NEWUID or, without --uid, the current UID with a date suffix.",
       {{"ex", 0, false}, {"uid", 0, true}, kOutput}, RunRegenStart},
      {"regen finish", "[--ex TRANSFER]", "install the regenerated key pair",
       "Decrypts the new secret key with the current key and installs the new key pair in place of the "
       "current one (kept as old.pub and old.sec). With --ex the transfer text in the file TRANSFER must "
       "carry exactly the pending new public key (-27 otherwise).",
       {{"ex", 0, true}}, RunRegenFinish},
      {"regen status", "", "tell whether a regeneration is pending", "", {}, RunRegenStatus},
      {"reset", "", "clear the loaded secret keys and the public-key cache (ClearCash)", "", {}, RunReset},
      {"error", "CODE | --all", "show the message of a result code",
       "Prints the library's message for CODE, or every code with --all.", {{"all", 0, false}}, RunError},
      {"selftest", "", "run the GOST library's self tests and the key-readiness check",
       "Runs the known-answer self tests of libcrypt.dll (loaded from the folder of tzcli), then signs and "
       "verifies a fixed text with the current secret key, and checks that \"Abonents dir\" exists.",
       {}, RunSelftest},
  };
  return commands;
}

}  // namespace tzcli
