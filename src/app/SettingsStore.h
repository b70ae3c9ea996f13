#pragma once
// Where the application keeps its settings between runs: named values in named
// sections. CQtSettingsStore (qtstore/QtSettingsStore.h) is the user's real store,
// CConfFileStore (ConfFileStore.h) reads its files without Qt;
// CMemorySettingsStore below serves the tests and never touches a file.
//
// Integers and texts are the two kinds of value. A store that keeps everything
// as text (an INI file) hands a text back for either kind, so readers convert:
// an integer read from a text must be a whole decimal number, and a text read
// from an integer is its decimal form.

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

class CSettingsStore {
 public:
  virtual ~CSettingsStore() = default;

  // The stored integer; nothing when the value is absent or is not a whole
  // number that fits 64 bits.
  virtual std::optional<std::int64_t> ReadInt(std::string_view section,
                                              std::string_view name) const = 0;
  // The stored text; nothing when the value is absent or cannot be shown as text.
  virtual std::optional<std::string> ReadString(std::string_view section,
                                                std::string_view name) const = 0;
  virtual void WriteInt(std::string_view section, std::string_view name, std::int64_t value) = 0;
  virtual void WriteString(std::string_view section, std::string_view name,
                           std::string_view value) = 0;
  // Puts what was written on disk; false when the store could not be written.
  virtual bool Flush() { return true; }
};

// An INI file named with --settings must be a regular file this process can
// read, or a pipe something writes to: a missing one is not taken for empty
// settings (a mistyped name would silently give the defaults), and a device
// or a FIFO nobody writes to is refused without waiting on it. Otherwise
// "kinex2: cannot read settings file %s\n" and exit 2. A pipe is read to its
// end here, once; PipedFileText then gives its text.
bool IsReadableNamedFile(const std::filesystem::path& file);
// The text read from `file` when it is a pipe, else nullptr.
const std::string* PipedFileText(const std::filesystem::path& file);
extern const char kCannotReadSettingsFile[];

// A whole decimal number with optional sign and surrounding white space, as an
// INI file stores integers; nothing for any other text or on overflow.
std::optional<std::int64_t> ParseStoredInt(std::string_view text);

// Settings held in memory only, with the value kinds kept apart so tests can
// check that integers were written as integers and texts as texts.
class CMemorySettingsStore : public CSettingsStore {
 public:
  using Value = std::variant<std::int64_t, std::string>;

  std::optional<std::int64_t> ReadInt(std::string_view section,
                                      std::string_view name) const override;
  std::optional<std::string> ReadString(std::string_view section,
                                        std::string_view name) const override;
  void WriteInt(std::string_view section, std::string_view name, std::int64_t value) override;
  void WriteString(std::string_view section, std::string_view name,
                   std::string_view value) override;

  // The raw value, or null when absent.
  const Value* Find(std::string_view section, std::string_view name) const;
  // Every (section, name) held, in order.
  std::vector<std::pair<std::string, std::string>> Names() const;

 private:
  using Key = std::pair<std::string, std::string>;
  std::map<Key, Value, std::less<>> m_values;
};
