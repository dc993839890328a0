#include "cli/cli.h"

#include <algorithm>
#include <exception>

#include "archive/error.h"
#include "cli/picture_args.h"
#include "viewer/startup.h"

namespace varune::cli {
namespace {

bool Contains(const std::vector<std::string>& list, const std::string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

std::vector<TCommand> AllCommands() {
  std::vector<TCommand> commands;
  AddFileCommands(commands);
  AddDatabaseCommands(commands);
  AddRenderCommands(commands);
  AddSheetCommands(commands);
  AddBatchCommands(commands);
  AddDemoCommands(commands);
  return commands;
}

void PrintHelp(const std::vector<TCommand>& commands, std::ostream& out) {
  out << "usage: varune-cli COMMAND [ARGUMENTS]\n\n"
         "Inspects a Varune game client and renders its characters headlessly.\n"
         "CLIENT_DIR holds the five archives AJJIYA.SPF, BANX.SPF, BARY.SPF, ZENNE.SPF, ROWID.SPF.\n\n"
         "commands:\n";
  for (const TCommand& command : commands) {
    std::string words;
    for (const std::string& word : command.Words) words += word + " ";
    out << "  " << words << command.Synopsis << "\n      " << command.Summary << "\n";
  }
  out << "\noptions:\n"
         "  -h, --help\n      shows this help; COMMAND --help shows the usage of one command\n"
         "  --version\n      shows the program's version\n"
         "\nexit status: 0 success, 1 error, 2 usage error\n";
}

}  // namespace

TArgs::TArgs(const std::vector<std::string>& args, const std::vector<std::string>& valueOptions,
             const std::vector<std::string>& flagOptions, const std::vector<std::string>& optionalValueOptions) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.size() < 2 || arg[0] != '-') {
      FPositional.push_back(arg);
    } else if (Contains(valueOptions, arg)) {
      if (i + 1 >= args.size()) throw UsageError("option " + arg + " needs a value");
      FOptions.emplace_back(arg, args[++i]);
    } else if (Contains(flagOptions, arg)) {
      FOptions.emplace_back(arg, "");
    } else if (Contains(optionalValueOptions, arg)) {
      const bool valued = i + 1 < args.size() && !args[i + 1].starts_with("-");
      FOptions.emplace_back(arg, valued ? args[++i] : "");
    } else {
      throw UsageError("unknown option " + arg);
    }
  }
}

void TArgs::ExpectPositional(size_t count) const {
  if (FPositional.size() != count)
    throw UsageError("expected " + std::to_string(count) + " arguments, got " + std::to_string(FPositional.size()));
}

bool TArgs::Has(const std::string& option) const {
  return std::any_of(FOptions.begin(), FOptions.end(), [&](const auto& o) { return o.first == option; });
}

std::string TArgs::Value(const std::string& option, const std::string& fallback) const {
  // The last occurrence wins, as in most command-line tools.
  for (auto it = FOptions.rbegin(); it != FOptions.rend(); ++it)
    if (it->first == option) return it->second;
  return fallback;
}

int32_t ParseInt(const std::string& text, const std::string& what) {
  size_t used = 0;
  int32_t value = 0;
  try {
    value = std::stoi(text, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (text.empty() || used != text.size()) throw UsageError(what + " is not a number: " + text);
  return value;
}

int32_t ParseInt(const std::string& text, const std::string& what, int32_t low, int32_t high) {
  const int32_t value = ParseInt(text, what);
  if (value < low || value > high)
    throw UsageError(what + " takes a number from " + std::to_string(low) + " to " + std::to_string(high));
  return value;
}

TGenderType ParseGender(const std::string& text) {
  if (text == "male") return gtMale;
  if (text == "female") return gtFemale;
  throw UsageError("--gender takes male or female");
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const std::vector<TCommand> commands = AllCommands();
  if (args.empty()) {
    PrintHelp(commands, err);
    return ecUsage;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    PrintHelp(commands, out);
    return ecSuccess;
  }
  if (args[0] == "--version") {
    out << "varune-cli " << AppVersionNumber() << "\n";
    return ecSuccess;
  }
  const TCommand* chosen = nullptr;
  for (const TCommand& command : commands) {
    if (args.size() >= command.Words.size() && std::equal(command.Words.begin(), command.Words.end(), args.begin()))
      chosen = &command;
  }
  if (!chosen) {
    err << "varune-cli: unknown command '" << args[0] << (args.size() > 1 ? " " + args[1] : "")
        << "' (see varune-cli --help)\n";
    return ecUsage;
  }
  std::string usage = "usage: varune-cli";
  for (const std::string& word : chosen->Words) usage += " " + word;
  usage += " " + chosen->Synopsis;
  try {
    const std::vector<std::string> rest(args.begin() + static_cast<ptrdiff_t>(chosen->Words.size()), args.end());
    if (std::find(rest.begin(), rest.end(), "--help") != rest.end()) {
      out << usage << "\n    " << chosen->Summary << "\n";
      return ecSuccess;
    }
    chosen->Run(TArgs(rest, chosen->ValueOptions, chosen->FlagOptions, chosen->OptionalValueOptions), out, err);
    out.flush();
    return ecSuccess;
  } catch (const UsageError& error) {
    err << "varune-cli: " << error.what() << "\n" << usage << "\n";
    return ecUsage;
  } catch (const TRequestError& error) {
    err << "varune-cli: " << OptionMessage(error) << "\n" << usage << "\n";
    return ecUsage;
  } catch (const std::exception& error) {
    err << "varune-cli: " << error.what() << "\n";
    return ecError;
  }
}

}  // namespace varune::cli
