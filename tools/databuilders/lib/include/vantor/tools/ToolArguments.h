#pragma once
// Small command lines for the data builders: "--name value", "--name=value",
// flags and plain arguments, with --help and --version answered for every
// program. Plain C++, so the builders run at build time without Qt.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vantor::tools {

struct ToolOption {
  std::string name;       // without "--"
  std::string valueName;  // empty for a flag
  std::string help;
};

class ToolArguments {
 public:
  ToolArguments(std::string program, std::string summary, std::vector<ToolOption> options,
                std::string positionalHelp = {});

  // Parses argv. Prints help or version (result: exit 0) or an error (exit 2)
  // and returns the exit code when the program should stop there.
  std::optional<int> Parse(int argc, char** argv);

  bool Has(const std::string& name) const { return values_.count(name) != 0 || flags_.count(name) != 0; }
  std::string Value(const std::string& name, const std::string& fallback = {}) const;
  const std::vector<std::string>& Positional() const { return positional_; }
  std::string Usage() const;
  // Prints "<program>: <message>" on stderr and returns 1.
  int Fail(const std::string& message) const;

 private:
  const ToolOption* Find(const std::string& name) const;
  std::string program_;
  std::string summary_;
  std::vector<ToolOption> options_;
  std::string positionalHelp_;
  std::map<std::string, std::string> values_;
  std::set<std::string> flags_;
  std::vector<std::string> positional_;
};

}  // namespace vantor::tools
