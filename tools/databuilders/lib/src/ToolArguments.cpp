#include "vantor/tools/ToolArguments.h"

#include <iostream>

namespace vantor::tools {

ToolArguments::ToolArguments(std::string program, std::string summary, std::vector<ToolOption> options,
                             std::string positionalHelp)
    : program_(std::move(program)),
      summary_(std::move(summary)),
      options_(std::move(options)),
      positionalHelp_(std::move(positionalHelp)) {}

const ToolOption* ToolArguments::Find(const std::string& name) const {
  for (const ToolOption& option : options_)
    if (option.name == name) return &option;
  return nullptr;
}

std::string ToolArguments::Usage() const {
  std::string text = "Usage: " + program_ + " [options]" + (positionalHelp_.empty() ? "" : " " + positionalHelp_) +
                     "\n" + summary_ + "\n\nOptions:\n  --help              Displays this help.\n" +
                     "  --version           Displays version information.\n";
  for (const ToolOption& option : options_) {
    std::string left = "  --" + option.name + (option.valueName.empty() ? "" : " <" + option.valueName + ">");
    if (left.size() < 22)
      left.resize(22, ' ');
    else
      left += ' ';
    text += left + option.help + "\n";
  }
  return text;
}

std::optional<int> ToolArguments::Parse(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--help" || argument == "-h") {
      std::cout << Usage();
      return 0;
    }
    if (argument == "--version" || argument == "-v") {
      std::cout << program_ << ' ' << VANTOR_VERSION << '\n';
      return 0;
    }
    if (argument.rfind("--", 0) != 0 || argument.size() == 2) {
      positional_.push_back(argument);
      continue;
    }
    std::string name = argument.substr(2);
    std::optional<std::string> value;
    if (const auto equals = name.find('='); equals != std::string::npos) {
      value = name.substr(equals + 1);
      name.resize(equals);
    }
    const ToolOption* option = Find(name);
    if (option == nullptr) {
      std::cerr << program_ << ": unknown option --" << name << " (--help lists the options)\n";
      return 2;
    }
    if (option->valueName.empty()) {
      if (value) {
        std::cerr << program_ << ": --" << name << " takes no value\n";
        return 2;
      }
      flags_.insert(name);
      continue;
    }
    if (!value) {
      if (i + 1 >= argc) {
        std::cerr << program_ << ": --" << name << " needs a value\n";
        return 2;
      }
      value = argv[++i];
    }
    values_[name] = *value;
  }
  return std::nullopt;
}

std::string ToolArguments::Value(const std::string& name, const std::string& fallback) const {
  const auto it = values_.find(name);
  return it == values_.end() ? fallback : it->second;
}

int ToolArguments::Fail(const std::string& message) const {
  std::cerr << program_ << ": " << message << '\n';
  return 1;
}

}  // namespace vantor::tools
