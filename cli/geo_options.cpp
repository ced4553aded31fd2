#include "geo_options.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "document_commands.h"
#include "exit_status.h"
#include "help.h"

namespace mornax::batch {

bool ParseCommandLine(std::span<const std::string> args, std::span<const OptionSpec> specs,
                      CommandLine& line, std::string& error) {
  line = CommandLine{};
  for (std::size_t k = 0; k < args.size(); ++k) {
    const std::string& arg = args[k];
    if (!arg.starts_with("--")) {
      line.operands.push_back(arg);
      continue;
    }
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    const OptionSpec* spec = nullptr;
    for (const OptionSpec& candidate : specs) {
      if (candidate.name == name) spec = &candidate;
    }
    if (spec == nullptr) {
      error = "unknown option " + name;
      return false;
    }
    if (line.Has(name)) {
      error = name + " is given twice";
      return false;
    }
    std::vector<std::string> values;
    if (spec->values == kOptionalNumber) {
      double number = 0.0;
      std::string ignored;
      if (equals != std::string::npos) {
        values.push_back(arg.substr(equals + 1));
      } else if (k + 1 < args.size() && ParseNumber(name, args[k + 1], number, ignored)) {
        values.push_back(args[++k]);
      }
    } else if (equals != std::string::npos) {
      if (spec->values != 1) {
        error = name + " takes " + std::to_string(spec->values) + " values, not name=value";
        return false;
      }
      values.push_back(arg.substr(equals + 1));
    } else {
      for (int v = 0; v < spec->values; ++v) {
        if (k + 1 == args.size()) {
          error = name + " needs " + std::to_string(spec->values) +
                  (spec->values == 1 ? " value" : " values");
          return false;
        }
        values.push_back(args[++k]);
      }
    }
    line.options.emplace(name, std::move(values));
  }
  return true;
}

bool ParseNumber(std::string_view option, std::string_view text, double& value,
                 std::string& error) {
  std::string_view digits = text;
  if (digits.starts_with('+')) digits.remove_prefix(1);
  const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || result.ec != std::errc() || result.ptr != digits.data() + digits.size()) {
    error = std::string(option) + " takes a number, not '" + std::string(text) + "'";
    return false;
  }
  return true;
}

int UsageFault(const std::string& message) {
  ReportError(message);
  std::fprintf(stderr, "%s\n", UsageLine().c_str());
  return kExitUsage;
}

bool LoadDocument(const std::string& document, project::Records& records, std::string& error) {
  project::SetDefaults(records);
  project::FileSet files;
  const std::filesystem::path path(document);
  return project::ReadDocumentFile(path, records, error) &&
         project::SetFileNames(path.filename().string(), records.fileName, files, error);
}

}  // namespace mornax::batch
