#include "app/CommandLine.h"

#include <charconv>

#include "platform/Text.h"

const char kNeedBothFiles[] = "You need to specify the Data File and the Output File";

std::string ArgumentTextOfCommandLine(std::string_view commandLine) {
  if (commandLine.size() < 2) return {};
  const std::size_t quote = commandLine.find('"', 1);
  if (quote == std::string_view::npos) return {};
  return std::string(commandLine.substr(quote + 1));
}

std::string ArgumentTextOfArguments(const std::vector<std::string>& args) {
  std::string text;
  for (std::size_t i = 1; i < args.size(); ++i) {
    text += ' ';
    text += args[i];
  }
  return text;
}

std::vector<std::string> SplitAtCommas(std::string_view text) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t comma = text.find(',', start);
    if (comma == std::string_view::npos) comma = text.size();
    if (comma > start) pieces.emplace_back(text.substr(start, comma - start));
    start = comma + 1;
  }
  return pieces;
}

CCommaConversion ParseCommaConversion(std::string_view argumentText) {
  CCommaConversion c;
  const std::vector<std::string> pieces = SplitAtCommas(argumentText);
  if (pieces.size() < 2) return c;
  if (pieces.size() > 2) {
    c.kind = CCommaConversion::Kind::TooMany;
    return c;
  }
  c.dataFile = Trim(pieces[0]);
  c.outputFile = pieces[1];
  c.kind = c.dataFile.empty() || c.outputFile.empty() ? CCommaConversion::Kind::MissingName
                                                      : CCommaConversion::Kind::Convert;
  return c;
}

namespace {

bool ParseFrameNumber(std::string_view s, long long& v) {
  const char* end = s.data() + s.size();
  const auto r = std::from_chars(s.data(), end, v);
  return !s.empty() && r.ec == std::errc() && r.ptr == end;
}

bool ParseFrames(std::string_view s, CConvertRequest& request) {
  const std::size_t colon = s.find(':');
  if (colon == std::string_view::npos) return false;
  long long first = 0;
  long long last = 0;
  if (!ParseFrameNumber(s.substr(0, colon), first) || !ParseFrameNumber(s.substr(colon + 1), last))
    return false;
  request.first = first;
  request.last = last;
  return true;
}

}  // namespace

bool ParseConvertArguments(const std::vector<std::string>& args, CConvertRequest& request,
                           std::string& error) {
  std::vector<std::string> files;
  bool optionsEnd = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (optionsEnd || a.size() < 2 || a[0] != '-') {
      files.push_back(a);
      continue;
    }
    if (a == "--") {
      optionsEnd = true;
      continue;
    }
    if (a == "--overwrite") {
      request.overwrite = true;
      continue;
    }
    // Options with a value take it from the next argument or after "=".
    std::string name = a;
    std::string value;
    const std::size_t eq = a.find('=');
    if (eq != std::string::npos) {
      name = a.substr(0, eq);
      value = a.substr(eq + 1);
    } else if (a == "--to" || a == "--frames" || a == "--settings") {
      if (i + 1 >= args.size()) {
        error = a + " needs a value";
        return false;
      }
      value = args[++i];
    }
    if (name == "--to") {
      if (EqualsNoCase(value, "dst")) {
        request.kind = ExportKind::Dst;
      } else if (EqualsNoCase(value, "text")) {
        request.kind = ExportKind::Text;
      } else {
        error = "--to takes dst or text, not \"" + value + "\"";
        return false;
      }
    } else if (name == "--frames") {
      if (!ParseFrames(value, request)) {
        error = "--frames takes FIRST:LAST (two whole numbers), not \"" + value + "\"";
        return false;
      }
    } else if (name == "--settings") {
      if (value.empty()) {
        error = "--settings needs a file name";
        return false;
      }
      request.settingsFile = value;
    } else {
      error = "unknown option " + a;
      return false;
    }
  }
  if (files.size() != 2) {
    error = files.size() < 2 ? "convert needs an input file and an output file"
                             : "convert takes one input file and one output file";
    return false;
  }
  request.input = files[0];
  request.output = files[1];
  return true;
}
