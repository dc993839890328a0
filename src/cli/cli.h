#pragma once
// varune-cli: commands that inspect a game client and export headlessly.
// Every command is a function of its arguments and two output streams, so
// tests run them in-process.

#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "database/types.h"

namespace varune::cli {

// Exit statuses of the program.
enum TExitCode { ecSuccess = 0, ecError = 1, ecUsage = 2 };

// A malformed command line; exits with ecUsage.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A command line split into positional arguments and options. Options are
// "--name VALUE", "--name" (a flag), "-o VALUE", or "--name [VALUE]", whose
// value is the next word unless that starts with "-" or there is none.
class TArgs {
 public:
  // `valueOptions` take a value; `flagOptions` do not. Anything else that
  // starts with "-" is a usage error.
  TArgs(const std::vector<std::string>& args, const std::vector<std::string>& valueOptions,
        const std::vector<std::string>& flagOptions = {}, const std::vector<std::string>& optionalValueOptions = {});

  const std::vector<std::string>& Positional() const { return FPositional; }
  // The positional arguments must number exactly `count`.
  void ExpectPositional(size_t count) const;
  bool Has(const std::string& option) const;
  std::string Value(const std::string& option, const std::string& fallback = "") const;
  // Every option with its value ("" for a flag), in the order given.
  const std::vector<std::pair<std::string, std::string>>& Options() const { return FOptions; }

 private:
  std::vector<std::string> FPositional;
  std::vector<std::pair<std::string, std::string>> FOptions;
};

// A whole decimal number; anything else is a usage error naming `what`.
int32_t ParseInt(const std::string& text, const std::string& what);
// The same, within [low, high].
int32_t ParseInt(const std::string& text, const std::string& what, int32_t low, int32_t high);
// "male" or "female".
TGenderType ParseGender(const std::string& text);

struct TCommand {
  std::vector<std::string> Words;  // "archive", "list"
  std::string Synopsis;            // arguments after the words
  std::string Summary;
  // Output goes to `out`; warnings that do not stop the command to `err`.
  std::function<void(const TArgs& args, std::ostream& out, std::ostream& err)> Run;
  std::vector<std::string> ValueOptions = {};
  std::vector<std::string> FlagOptions = {};
  std::vector<std::string> OptionalValueOptions = {};
};

// The commands of each group, added to the program's table.
void AddFileCommands(std::vector<TCommand>& commands);
void AddDatabaseCommands(std::vector<TCommand>& commands);
void AddRenderCommands(std::vector<TCommand>& commands);
void AddSheetCommands(std::vector<TCommand>& commands);
void AddDemoCommands(std::vector<TCommand>& commands);
void AddBatchCommands(std::vector<TCommand>& commands);

// Runs a command line (without the program name). Errors go to `err`.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace varune::cli
