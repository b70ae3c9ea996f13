#include "app/CommandLine.h"

#include "app/AppPaths.h"

#include <charconv>

#include "documents/ExportKinds.h"
#include "platform/Text.h"

const char kNeedBothFiles[] = "You need to specify the Data File and the Output File";
const char kStandardOutputName[] = "-";

const char kConvertUsage[] =
    "  kinex2 convert IN OUT [--to dst|text|trc|mot] [--frames FIRST:LAST] [--overwrite]\n"
    "                 [--threads N] [--settings FILE] [--ini FILE] [--set SECTION/KEY=VALUE]...\n"
    "                          convert IN to OUT (\"-\": standard output); the kind follows\n"
    "                          OUT's extension (.dst, .txt, .trc, .mot) unless --to says\n"
    "                          otherwise, else the \"ExportTo\" setting; an OUT named\n"
    "                          .c3d is always C3D;\n"
    "                          --settings reads the settings from an INI file (a file or\n"
    "                          a pipe), never writing them back; --ini reads marker\n"
    "                          translations and VDO lines from FILE instead of the\n"
    "                          kinex2.ini beside the program; --set changes one setting\n"
    "                          for this run (kinex2 settings lists them); --threads\n"
    "                          formats a long recording on N threads (default: every\n"
    "                          core), the bytes the same whatever N\n";
const char kBatchUsage[] =
    "  kinex2 batch LIST [--overwrite | --skip-existing] [--jobs N] [--settings FILE]\n"
    "                    [--ini FILE] [--set SECTION/KEY=VALUE]...\n"
    "                          convert every row of the list file LIST, one per line:\n"
    "                          IN[,OUT[,FIRST[,LAST]]]; a relative IN is taken from LIST's\n"
    "                          folder, a relative OUT from IN's; no OUT: IN with .dst or\n"
    "                          .txt by \"ExportTo\"; FIRST/LAST -1 or empty: that end of\n"
    "                          the recording; OUT's extension decides the kind as in\n"
    "                          convert (.c3d: C3D where the format writes it), else\n"
    "                          \"ExportTo\". An existing OUT is asked about on a\n"
    "                          terminal (y yes, a yes to all, n no, c cancel), else kept;\n"
    "                          --overwrite replaces, --skip-existing keeps every one.\n"
    "                          --jobs converts N rows at once (default: one per core;\n"
    "                          1: one after the other); messages and questions still\n"
    "                          come row by row in the list's order.\n"
    "                          Exit status 0 when every row was written, else 1\n";
const char kInfoUsage[] =
    "  kinex2 info FILE        print the header, events, parameters, channels and points\n";
const char kSettingsUsage[] =
    "  kinex2 settings         print every setting: its current value, default, the values\n"
    "                          it takes and what it does\n";

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
  // "-1" for either end means that end of the recording, as in a batch list.
  auto end = [](std::string_view text, std::optional<long long>& out) {
    const std::string_view t = TrimView(text);
    if (t == "-1") {
      out.reset();
      return true;
    }
    long long v = 0;
    if (!ParseFrameNumber(t, v)) return false;
    out = v;
    return true;
  };
  return end(s.substr(0, colon), request.first) && end(s.substr(colon + 1), request.last);
}

bool IsHelp(std::string_view a) {
  return a == "--help" || a == "-h";
}

// Splits "--name=value"; "--name value" takes the next argument. False with
// `error` set when the value is missing.
bool TakeValue(const std::vector<std::string>& args, std::size_t& i, std::string& name,
               std::string& value, std::string& error) {
  const std::string& a = args[i];
  const std::size_t eq = a.find('=');
  if (eq != std::string::npos) {
    name = a.substr(0, eq);
    value = a.substr(eq + 1);
    return true;
  }
  name = a;
  if (i + 1 >= args.size()) {
    error = a + " needs a value";
    return false;
  }
  value = args[++i];
  return true;
}

bool TakeFileName(std::string_view option, const std::string& value, std::filesystem::path& file,
                  std::string& error) {
  if (value.empty()) {
    error = std::string(option) + " needs a file name";
    return false;
  }
  file = PathFromUtf8(value);
  return true;
}

// "--name" or "--name=value".
bool IsOptionWithValue(std::string_view a, std::string_view name) {
  return a.substr(0, a.find('=')) == name;
}

// --settings FILE, --ini FILE and --set, which every verb may be given.
bool IsNamedFileOption(std::string_view a) {
  return IsOptionWithValue(a, "--settings") || IsOptionWithValue(a, "--ini") ||
         IsOptionWithValue(a, "--set");
}

// --settings FILE, --ini FILE and --set SECTION/KEY=VALUE: what a verb's
// settings come from.
bool TakeNamedFile(const std::vector<std::string>& args, std::size_t& i,
                   std::filesystem::path& settingsFile, std::filesystem::path& iniFile,
                   std::vector<CSettingOverride>& sets, std::string& error) {
  std::string name;
  std::string value;
  if (!TakeValue(args, i, name, value, error)) return false;
  if (name == "--set") {
    CSettingOverride o;
    if (!ParseSettingOverride(value, o, error)) return false;
    sets.push_back(std::move(o));
    return true;
  }
  return TakeFileName(name, value, name == "--ini" ? iniFile : settingsFile, error);
}

// --jobs and --threads: a whole number from 1 to kMaxCount.
constexpr long long kMaxCount = 1024;
bool TakeCount(const std::vector<std::string>& args, std::size_t& i, int& count,
               std::string& error) {
  std::string name;
  std::string value;
  if (!TakeValue(args, i, name, value, error)) return false;
  const std::string_view text = TrimView(value);
  long long n = 0;
  bool digits = !text.empty() && text.size() <= 4;
  for (char c : text) {
    digits = digits && c >= '0' && c <= '9';
    n = n * 10 + (c - '0');
  }
  if (!digits || n < 1 || n > kMaxCount) {
    error = name + " takes a whole number from 1 to " + std::to_string(kMaxCount) + ", not \"" +
            value + "\"";
    return false;
  }
  count = static_cast<int>(n);
  return true;
}

}  // namespace

bool ParseGlobalOptions(const std::vector<std::string>& args, CGlobalOptions& options,
                        std::string& error) {
  std::size_t i = args.empty() ? 0 : 1;
  for (; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (IsHelp(a)) {
      options.help = true;
    } else if (a == "--version") {
      options.version = true;
    } else if (IsNamedFileOption(a)) {
      if (!TakeNamedFile(args, i, options.settingsFile, options.iniFile, options.sets, error))
        return false;
    } else {
      break;
    }
  }
  options.rest = i;
  return true;
}

bool ParseInfoArguments(const std::vector<std::string>& args, CInfoRequest& request,
                        std::string& error) {
  std::vector<std::string> files;
  bool optionsEnd = false;
  for (const std::string& a : args) {
    if (optionsEnd || a.size() < 2 || a[0] != '-') {
      files.push_back(a);
    } else if (a == "--") {
      optionsEnd = true;
    } else if (IsHelp(a)) {
      request.help = true;
    } else {
      error = "unknown option " + a;
      return false;
    }
  }
  if (request.help) return true;
  if (files.size() != 1) {
    error = files.empty() ? "info needs a file" : "info takes one file";
    return false;
  }
  request.file = PathFromUtf8(files[0]);
  return true;
}

bool ParseBatchArguments(const std::vector<std::string>& args, CBatchRequest& request,
                         std::string& error) {
  std::vector<std::string> files;
  bool optionsEnd = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (optionsEnd || a.size() < 2 || a[0] != '-') {
      files.push_back(a);
    } else if (a == "--") {
      optionsEnd = true;
    } else if (a == "--overwrite") {
      request.overwrite = true;
    } else if (a == "--skip-existing") {
      request.skipExisting = true;
    } else if (IsOptionWithValue(a, "--jobs")) {
      if (!TakeCount(args, i, request.jobs, error)) return false;
    } else if (IsHelp(a)) {
      request.help = true;
    } else if (IsNamedFileOption(a)) {
      if (!TakeNamedFile(args, i, request.settingsFile, request.iniFile, request.sets, error))
        return false;
    } else {
      error = "unknown option " + a;
      return false;
    }
  }
  if (request.help) return true;
  if (request.overwrite && request.skipExisting) {
    error = "--overwrite and --skip-existing exclude each other";
    return false;
  }
  if (files.size() != 1) {
    error = files.empty() ? "batch needs a list file" : "batch takes one list file";
    return false;
  }
  request.list = PathFromUtf8(files[0]);
  return true;
}

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
    if (IsHelp(a)) {
      request.help = true;
      continue;
    }
    if (IsNamedFileOption(a)) {
      if (!TakeNamedFile(args, i, request.settingsFile, request.iniFile, request.sets, error))
        return false;
      continue;
    }
    if (IsOptionWithValue(a, "--threads")) {
      if (!TakeCount(args, i, request.threads, error)) return false;
      continue;
    }
    if (!IsOptionWithValue(a, "--to") && !IsOptionWithValue(a, "--frames")) {
      error = "unknown option " + a;
      return false;
    }
    // Options with a value take it from the next argument or after "=".
    std::string name;
    std::string value;
    if (!TakeValue(args, i, name, value, error)) return false;
    if (name == "--to") {
      if (const CExportKindEntry* kind = ExportKindNamed(value)) {
        request.kind = kind->kind;
      } else {
        error = "--to takes " + ExportKindNames() + ", not \"" + value + "\"";
        return false;
      }
    } else if (name == "--frames") {
      if (!ParseFrames(value, request)) {
        error =
            "--frames takes FIRST:LAST (two whole numbers, -1 for that end of the "
            "recording), not \"" +
            value + "\"";
        return false;
      }
    }
  }
  if (request.help) return true;
  if (files.size() != 2) {
    error = files.size() < 2 ? "convert needs an input file and an output file"
                             : "convert takes one input file and one output file";
    return false;
  }
  request.input = PathFromUtf8(files[0]);
  request.output = PathFromUtf8(files[1]);
  return true;
}
