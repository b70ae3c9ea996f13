#include "support/TestSupport.h"

#include "c3dbuilder/C3dBuilder.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#include <fstream>
#include <random>
#include <sstream>
#include <thread>

namespace testsupport {

std::filesystem::path SharedDataDir() {
  std::filesystem::path p = KINEX2_SHARED_DATA;
  std::error_code ec;
  if (!std::filesystem::is_directory(p / "c3d", ec)) return {};
  return p.lexically_normal();
}

std::filesystem::path SourceDir() {
  return KINEX2_SOURCE_DIR;
}

TempDir::TempDir() {
  std::random_device rd;
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string stem = info != nullptr ? std::string(info->name()) : std::string("kx");
  for (char& c : stem) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  for (;;) {
    m_path =
        std::filesystem::temp_directory_path() / ("kinex2-" + stem + "-" + std::to_string(rd()));
    if (std::filesystem::create_directory(m_path)) break;
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(m_path, ec);
}

void WriteFile(const std::filesystem::path& path, const std::vector<unsigned char>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

std::vector<unsigned char> SmallTrialBytes(int frames) {
  c3dbuilder::Spec s;
  s.frames = frames;
  s.points = 1;
  s.analogChannels = 1;
  c3dbuilder::AddStandardParameters(s, {"M"}, {"A"});
  const auto bytes = c3dbuilder::Build(s);
  return {bytes.begin(), bytes.end()};
}

void WriteTrial(const std::filesystem::path& path, int frames) {
  WriteFile(path, SmallTrialBytes(frames));
}

#ifndef _WIN32
bool FeedFifo(const std::filesystem::path& fifo, const std::string& data,
              const std::function<void()>& read) {
  const int w = ::open(fifo.c_str(), O_RDWR);
  if (w < 0) return false;
  std::thread reader(read);
  // More than a pipe holds makes the writer wait until the reader is there.
  bool ok = true;
  for (std::size_t done = 0; ok && done < data.size();) {
    const ssize_t n = ::write(w, data.data() + done, data.size() - done);
    ok = n > 0;
    if (ok) done += static_cast<std::size_t>(n);
  }
  ::close(w);
  reader.join();
  return ok;
}
#endif

std::string PlatformLines(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') {
      out += kLineEnd;
    } else {
      out += c;
    }
  }
  return out;
}

std::string ReadFileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> RecordingPlatform::Texts() const {
  std::vector<std::string> out;
  for (const auto& m : messages) out.push_back(m.text);
  return out;
}

}  // namespace testsupport
