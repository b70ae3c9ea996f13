#pragma once
// Parsing of the two command-line conversion forms. Nothing here touches a
// file or the settings; ConvertCommand.h runs what was parsed.
//
// The comma form: the program path, then the data file and the output file
// separated by one comma ("kinex2 walk.c3d,walk.dst"). The argument text is
// split at every comma; runs of commas and commas at the ends make no empty
// pieces and blanks are not separators. Exactly two pieces convert: the data
// file trimmed of white space, the output file as it stands (a blank after the
// comma stays in its name). Fewer is not a conversion; more ends the program.
//
// The script form: kinex2 convert IN OUT [--to dst|text] [--frames FIRST:LAST]
// [--overwrite] [--settings FILE] [--ini FILE]; OUT "-" is standard output.
//
// The batch form: kinex2 batch LIST [--overwrite | --skip-existing]
// [--settings FILE] [--ini FILE].
//
// Options of the whole program may stand before the verb, as Unix tools take
// them: kinex2 [--settings FILE] [--ini FILE] [--help|-h] [--version] [VERB ...].

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/SettingsList.h"
#include "documents/DocumentSettings.h"

extern const char kNeedBothFiles[];       // "You need to specify the Data File and the Output File"
extern const char kStandardOutputName[];  // "-": the output is standard output

// The usage lines of the verbs, for `--help` and `VERB --help`.
extern const char kConvertUsage[];
extern const char kInfoUsage[];
extern const char kSettingsUsage[];
extern const char kBatchUsage[];

// The argument text of a whole process command line: everything after the
// double quote that closes a quoted program path (searched from the second
// character on); empty when there is none.
std::string ArgumentTextOfCommandLine(std::string_view commandLine);
// The same text rebuilt from arguments a shell has already split: each
// argument after the program preceded by one blank.
std::string ArgumentTextOfArguments(const std::vector<std::string>& args);

std::vector<std::string> SplitAtCommas(std::string_view text);

struct CCommaConversion {
  enum class Kind {
    NotConversion,  // fewer than two pieces: start normally
    Convert,        // exactly two
    MissingName,    // two, but the data file is blank
    TooMany,        // more than two: end without doing anything
  };
  Kind kind = Kind::NotConversion;
  std::string dataFile;
  std::string outputFile;
};
CCommaConversion ParseCommaConversion(std::string_view argumentText);

struct CGlobalOptions {
  bool help = false;                   // --help, -h
  bool version = false;                // --version
  std::filesystem::path settingsFile;  // --settings FILE, --settings=FILE
  std::filesystem::path iniFile;       // --ini FILE: kinex2.ini read from FILE
  std::vector<CSettingOverride> sets;  // --set SECTION/KEY=VALUE, in order
  std::size_t rest = 1;                // index of the first argument that is not one of these
};
// Reads the options at the front of the process arguments `args` (program
// first), up to the first argument that is not one of them. False with
// `error` set when one of them is malformed.
bool ParseGlobalOptions(const std::vector<std::string>& args, CGlobalOptions& options,
                        std::string& error);

struct CConvertRequest {
  std::filesystem::path input;
  std::filesystem::path output;
  std::optional<ExportKind> kind;  // --to; else from OUT's extension
  std::optional<long long> first;  // --frames
  std::optional<long long> last;
  bool overwrite = false;
  int threads = 0;                     // --threads; 0: every core
  std::filesystem::path settingsFile;  // --settings; empty: the user's settings
  std::filesystem::path iniFile;       // --ini; empty: the kinex2.ini beside the program
  std::vector<CSettingOverride> sets;  // --set SECTION/KEY=VALUE
  bool help = false;                   // --help, -h: print the usage, convert nothing
};

// Parses the arguments after "convert". False with `error` set (a line for
// standard error) when they are malformed.
bool ParseConvertArguments(const std::vector<std::string>& args, CConvertRequest& request,
                           std::string& error);

struct CBatchRequest {
  std::filesystem::path list;
  bool overwrite = false;     // --overwrite: Yes To All from the start
  bool skipExisting = false;  // --skip-existing: No for every existing output
  int jobs = 0;               // --jobs: rows converted at once; 0: one per core
  std::filesystem::path settingsFile;
  std::filesystem::path iniFile;
  std::vector<CSettingOverride> sets;
  bool help = false;
};
// Parses the arguments after "batch": one list file ("--" before a name that
// starts with "-"), at most one of --overwrite and --skip-existing.
bool ParseBatchArguments(const std::vector<std::string>& args, CBatchRequest& request,
                         std::string& error);

struct CInfoRequest {
  std::filesystem::path file;
  bool help = false;  // --help, -h
};
// Parses the arguments after "info": one file ("--" before a name that
// starts with "-"), or --help.
bool ParseInfoArguments(const std::vector<std::string>& args, CInfoRequest& request,
                        std::string& error);
