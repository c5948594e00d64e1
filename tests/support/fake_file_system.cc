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
  std::lock_guard lock(guard_.mutex);
  Store(std::move(cp932_path), std::move(content));
}

void FakeFileSystem::Store(std::string cp932_path, std::string content) {
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
  folders_.insert(cp932_path);
  refusals_[std::move(cp932_path)] = platform::OpenError::kIsDirectory;
}

void FakeFileSystem::FailOpen(std::string cp932_path,
                              platform::OpenError error) {
  refusals_[std::move(cp932_path)] = error;
}

std::optional<std::string> FakeFileSystem::Content(
    std::string_view cp932_path) const {
  std::lock_guard lock(guard_.mutex);
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

void FakeFileSystem::Fail(Call call, std::string path,
                          platform::OpenError error) {
  if (call == Call::kOpenForReading || call == Call::kOpenForWriting) {
    FailOpen(std::move(path), error);
    return;
  }
  failures_[{call, std::move(path)}] = error;
}

platform::FileResult FakeFileSystem::Injected(Call call,
                                              std::string_view path) const {
  auto found = failures_.find({call, std::string(path)});
  if (found == failures_.end()) return {};
  return {found->second, "injected"};
}

std::vector<std::string> FakeFileSystem::Paths() const {
  std::lock_guard lock(guard_.mutex);
  std::vector<std::string> paths(folders_.begin(), folders_.end());
  for (const auto& [path, content] : files_) paths.push_back(path);
  std::sort(paths.begin(), paths.end());
  return paths;
}

std::optional<platform::FileStatus> FakeFileSystem::Status(
    std::string_view host_path) {
  std::lock_guard lock(guard_.mutex);
  if (!Injected(Call::kStatus, host_path).ok()) return std::nullopt;
  if (auto found = statuses_.find(host_path); found != statuses_.end())
    return found->second;
  if (folders_.count(host_path) > 0) {
    platform::FileStatus folder;
    folder.is_regular = false;
    folder.is_folder = true;
    return folder;
  }
  auto file = files_.find(host_path);
  if (file == files_.end()) return std::nullopt;
  platform::FileStatus status;
  status.size = static_cast<long long>(file->second->size());
  return status;
}

platform::FileResult FakeFileSystem::ReadWhole(std::string_view host_path,
                                               std::string* content) {
  std::lock_guard lock(guard_.mutex);
  if (platform::FileResult failed = Injected(Call::kReadWhole, host_path);
      !failed.ok())
    return failed;
  if (folders_.count(host_path) > 0)
    return {platform::OpenError::kIsDirectory, "Is a directory"};
  auto found = files_.find(host_path);
  if (found == files_.end())
    return {platform::OpenError::kNotFound, "No such file or directory"};
  *content = *found->second;
  return {};
}

platform::FileResult FakeFileSystem::MakeFolders(std::string_view host_path) {
  std::lock_guard lock(guard_.mutex);
  if (platform::FileResult failed = Injected(Call::kMakeFolders, host_path);
      !failed.ok())
    return failed;
  folders_.insert(std::string(host_path));
  return {};
}

// As the real one: the new file is written beside the target, then takes
// its place; a failure at either step leaves neither a new file nor a
// changed target.
platform::FileResult FakeFileSystem::ReplaceWhole(std::string_view host_path,
                                                  std::string_view bytes) {
  std::lock_guard lock(guard_.mutex);
  const std::string part = std::string(host_path) + ".part";
  if (platform::FileResult failed = Injected(Call::kReplaceWhole, host_path);
      !failed.ok())
    return failed;
  if (refuse_writes_)
    return {platform::OpenError::kPermission, "Permission denied"};
  Store(part, std::string(bytes));
  platform::FileResult failed = Injected(Call::kReplaceRename, host_path);
  if (failed.ok() && folders_.count(host_path) > 0)
    failed = {platform::OpenError::kIsDirectory, "Is a directory"};
  if (failed.ok()) files_[std::string(host_path)] = files_[part];
  files_.erase(part);
  return failed;
}

platform::FileResult FakeFileSystem::WriteWhole(std::string_view host_path,
                                                std::string_view bytes) {
  std::lock_guard lock(guard_.mutex);
  if (platform::FileResult failed = Injected(Call::kWriteWhole, host_path);
      !failed.ok())
    return failed;
  if (refuse_writes_)
    return {platform::OpenError::kPermission, "Permission denied"};
  Store(std::string(host_path), std::string(bytes));
  return {};
}

bool FakeFileSystem::SameFile(std::string_view host_a,
                              std::string_view host_b) {
  std::lock_guard lock(guard_.mutex);
  return host_a == host_b &&
         (files_.count(host_a) > 0 || folders_.count(host_a) > 0);
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
