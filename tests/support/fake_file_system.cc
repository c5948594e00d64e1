#include "support/fake_file_system.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>

#include "platform/encoding.h"
#include "support/memory_stream.h"

namespace lpgm::testing {

struct FakeFileSystem::Counter {
  int open = 0;
  int max_open = 0;

  void Opened() {
    ++open;
    max_open = std::max(max_open, open);
  }
};

namespace {

class FakeInput : public platform::InputStream {
 public:
  FakeInput(std::string data, std::size_t chunk,
            std::shared_ptr<FakeFileSystem::Counter> counter)
      : data_(std::move(data)), chunk_(chunk), counter_(std::move(counter)) {
    counter_->Opened();
  }
  ~FakeInput() override { --counter_->open; }

  long Read(char* buffer, std::size_t size) override {
    std::size_t n = std::min({size, chunk_, data_.size() - pos_});
    std::memcpy(buffer, data_.data() + pos_, n);
    pos_ += n;
    return static_cast<long>(n);
  }

 private:
  std::string data_;
  std::size_t chunk_;
  std::size_t pos_ = 0;
  std::shared_ptr<FakeFileSystem::Counter> counter_;
};

class FakeOutput : public platform::OutputStream {
 public:
  FakeOutput(std::shared_ptr<std::string> target,
             std::shared_ptr<FakeFileSystem::Counter> counter)
      : target_(std::move(target)), counter_(std::move(counter)) {
    counter_->Opened();
  }
  // As a real file: written over in place, cut after the bytes written at
  // the close, or when dropped after a write.
  ~FakeOutput() override {
    if (open_ && touched_) target_->resize(written_);
    Release();
  }

  bool Write(const char* data, std::size_t size) override {
    touched_ = true;
    target_->replace(written_, size, data, size);
    written_ += size;
    return true;
  }
  bool Close() override {
    if (open_) target_->resize(written_);
    Release();
    return true;
  }

 private:
  void Release() {
    if (open_) --counter_->open;
    open_ = false;
  }

  std::size_t written_ = 0;
  bool touched_ = false;

  std::shared_ptr<std::string> target_;
  std::shared_ptr<FakeFileSystem::Counter> counter_;
  bool open_ = true;
};

}  // namespace

FakeFileSystem::FakeFileSystem() : counter_(std::make_shared<Counter>()) {}

void FakeFileSystem::AddFile(std::string cp932_path, std::string content) {
  files_[std::move(cp932_path)] =
      std::make_shared<std::string>(std::move(content));
}

void FakeFileSystem::AddInputSet(const std::string& folder) {
  namespace fs = std::filesystem;
  for (const fs::directory_entry& e :
       fs::recursive_directory_iterator(folder)) {
    std::string name = fs::relative(e.path(), folder).generic_string();
    if (!e.is_regular_file()) continue;
    if (name != "definition.csv" && name.rfind("faults/", 0) != 0 &&
        name.rfind("cases/", 0) != 0)
      continue;
    std::replace(name.begin(), name.end(), '/', '\\');
    std::ifstream in(e.path(), std::ios::binary);
    AddFile(platform::Utf8ToCp932(name),
            std::string(std::istreambuf_iterator<char>(in), {}));
  }
}

void FakeFileSystem::AddDirectory(std::string cp932_path) {
  refusals_[std::move(cp932_path)] = platform::OpenError::kIsDirectory;
}

void FakeFileSystem::FailOpen(std::string cp932_path,
                              platform::OpenError error) {
  refusals_[std::move(cp932_path)] = error;
}

std::optional<std::string> FakeFileSystem::Content(
    std::string_view cp932_path) const {
  auto found = files_.find(cp932_path);
  if (found == files_.end()) return std::nullopt;
  return *found->second;
}

std::vector<std::string> FakeFileSystem::ReadPaths() const {
  std::vector<std::string> paths;
  for (const Open& open : opens_)
    if (!open.for_writing && open.succeeded) paths.push_back(open.path);
  return paths;
}

std::vector<std::string> FakeFileSystem::WritePaths() const {
  std::vector<std::string> paths;
  for (const Open& open : opens_)
    if (open.for_writing && open.succeeded) paths.push_back(open.path);
  return paths;
}

int FakeFileSystem::open_streams() const { return counter_->open; }
int FakeFileSystem::max_open_streams() const { return counter_->max_open; }

platform::OpenError FakeFileSystem::Refusal(const std::string& path) const {
  auto found = refusals_.find(path);
  return found == refusals_.end() ? platform::OpenError::kNone : found->second;
}

std::unique_ptr<platform::InputStream> FakeFileSystem::OpenForReading(
    std::string_view cp932_path, platform::OpenError* error) {
  std::string path(cp932_path);
  platform::OpenError refusal = Refusal(path);
  auto found = files_.find(path);
  if (refusal == platform::OpenError::kNone && found == files_.end())
    refusal = platform::OpenError::kNotFound;
  opens_.push_back({path, false, refusal == platform::OpenError::kNone});
  if (error != nullptr) *error = refusal;
  if (refusal != platform::OpenError::kNone) return nullptr;
  return std::make_unique<FakeInput>(*found->second, read_chunk_, counter_);
}

std::unique_ptr<platform::OutputStream> FakeFileSystem::OpenForWriting(
    std::string_view cp932_path, platform::OpenError* error) {
  std::string path(cp932_path);
  platform::OpenError refusal =
      refuse_writes_ ? platform::OpenError::kPermission : Refusal(path);
  opens_.push_back({path, true, refusal == platform::OpenError::kNone});
  if (error != nullptr) *error = refusal;
  if (refusal != platform::OpenError::kNone) return nullptr;
  std::shared_ptr<std::string>& target = files_[path];
  if (!target) target = std::make_shared<std::string>();
  return std::make_unique<FakeOutput>(target, counter_);
}

std::unique_ptr<platform::InputStream> CountingFileSystem::OpenForReading(
    std::string_view, platform::OpenError* error) {
  if (error != nullptr) *error = platform::OpenError::kNotFound;
  return nullptr;
}

std::unique_ptr<platform::OutputStream> CountingFileSystem::OpenForWriting(
    std::string_view, platform::OpenError* error) {
  if (error != nullptr) *error = platform::OpenError::kNone;
  return std::make_unique<CountingOutput>(&bytes_);
}

}  // namespace lpgm::testing
