#include "prepare/batch.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <map>
#include <mutex>
#include <new>
#include <optional>
#include <thread>

namespace lpgm::prepare {

std::string CaseFolderFor(std::string_view record,
                          std::string_view cases_folder, char separator) {
  std::size_t slash = record.find_last_of("/\\");
  std::string_view name =
      slash == std::string_view::npos ? record : record.substr(slash + 1);
  std::size_t dot = name.rfind('.');
  if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
  std::string folder(cases_folder);
  if (!folder.empty() && folder.back() != '/' && folder.back() != '\\')
    folder += separator;
  return folder + std::string(name);
}

namespace {

// Hands out the jobs in order to the worker threads and keeps their
// outcomes until the reporting thread takes them in order.
class JobQueue {
 public:
  JobQueue(std::span<const Options> jobs, platform::FileSystem& files,
           const JobContext& context,
           std::vector<std::optional<JobOutcome>> outcomes)
      : jobs_(jobs),
        files_(files),
        context_(context),
        outcomes_(std::move(outcomes)) {}

  void Work() {
    for (;;) {
      std::size_t index = 0;
      {
        std::lock_guard lock(mutex_);
        while (next_ < jobs_.size() && outcomes_[next_]) ++next_;
        if (next_ == jobs_.size()) return;
        index = next_++;
      }
      JobOutcome outcome = RunGuarded(jobs_[index]);
      {
        std::lock_guard lock(mutex_);
        outcomes_[index] = std::move(outcome);
      }
      done_.notify_all();
    }
  }

  // The outcome of job `index`, once it is there.
  const JobOutcome& Wait(std::size_t index) {
    std::unique_lock lock(mutex_);
    done_.wait(lock, [&] { return outcomes_[index].has_value(); });
    return *outcomes_[index];
  }

  // The first failure of the program itself in any job, once every job is
  // done: thrown again for the driver to report.
  void RethrowInternal() {
    if (internal_) std::rethrow_exception(internal_);
  }

  std::vector<JobOutcome> Take() {
    std::vector<JobOutcome> all;
    for (auto& outcome : outcomes_) all.push_back(std::move(*outcome));
    return all;
  }

 private:
  // Nothing may leave a worker thread: the job fails with the words, and
  // a failure other than memory is kept for RethrowInternal.
  JobOutcome RunGuarded(const Options& options) {
    try {
      return RunRecordJob(options, files_, context_);
    } catch (const std::bad_alloc&) {
      return Failed(options, "out of memory");
    } catch (const std::exception& e) {
      Keep(std::current_exception());
      return Failed(options, std::string("internal error: ") + e.what());
    } catch (...) {
      Keep(std::current_exception());
      return Failed(options, "internal error");
    }
  }

  static JobOutcome Failed(const Options& options, std::string words) {
    JobOutcome outcome;
    outcome.error = InputError{options.record, 0, std::move(words)};
    return outcome;
  }

  void Keep(std::exception_ptr failure) {
    std::lock_guard lock(mutex_);
    if (!internal_) internal_ = std::move(failure);
  }

  std::span<const Options> jobs_;
  platform::FileSystem& files_;
  const JobContext& context_;
  std::vector<std::optional<JobOutcome>> outcomes_;
  std::size_t next_ = 0;
  std::mutex mutex_;
  std::condition_variable done_;
  std::exception_ptr internal_;
};

// Outcomes decided before any work: a case folder given twice fails the
// later record.
std::vector<std::optional<JobOutcome>> RefuseSharedFolders(
    std::span<const Options> jobs) {
  std::vector<std::optional<JobOutcome>> outcomes(jobs.size());
  std::map<std::string, std::size_t> first_of;
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    auto [at, fresh] = first_of.emplace(jobs[i].folder, i);
    if (fresh) continue;
    JobOutcome refused;
    refused.error =
        InputError{jobs[i].record, 0,
                   "the case folder " + jobs[i].folder + " is also that of " +
                       jobs[at->second].record + "; give each record its own"};
    outcomes[i] = std::move(refused);
  }
  return outcomes;
}

std::string Counter(std::size_t index, std::size_t total) {
  return "[" + std::to_string(index + 1) + "/" + std::to_string(total) + "] ";
}

void Write(platform::OutputStream& stream, std::string_view text) {
  // Nowhere is left to report a failure of the standard streams.
  (void)stream.Write(text.data(), text.size());
}

}  // namespace

int RunBatch(std::span<const Options> jobs, PrepareEnvironment& env,
             const JobContext& context, int threads) {
  JobQueue queue(jobs, env.files, context, RefuseSharedFolders(jobs));
  // Joined on every way out: should the reporting fail, the workers still
  // finish and the failure reaches the driver.
  std::vector<std::jthread> workers;
  const std::size_t wanted = std::min<std::size_t>(
      static_cast<std::size_t>(std::max(threads, 1)), jobs.size());
  for (std::size_t k = 0; k < wanted; ++k)
    workers.emplace_back([&queue] { queue.Work(); });
  bool failed = false;
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    const JobOutcome& outcome = queue.Wait(i);
    if (outcome.error) {
      failed = true;
      Write(env.err, Counter(i, jobs.size()) + Describe(*outcome.error) + "\n");
    } else {
      Write(env.out, Counter(i, jobs.size()) + outcome.summary + "\n");
    }
  }
  for (std::jthread& worker : workers) worker.join();
  std::vector<JobOutcome> outcomes = queue.Take();
  Write(env.out, BatchTable(jobs, outcomes));
  queue.RethrowInternal();
  return failed ? 2 : 0;
}

namespace {

std::string Cell(std::string text, std::size_t width, bool right) {
  if (text.size() >= width) return text;
  std::string pad(width - text.size(), ' ');
  return right ? pad + text : text + pad;
}

std::string Fixed(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.2f", value);
  return buffer;
}

}  // namespace

std::string BatchTable(std::span<const Options> jobs,
                       std::span<const JobOutcome> outcomes) {
  std::vector<std::vector<std::string>> rows = {{"#", "record", "case folder",
                                                 "samples", "PGA cm/s2",
                                                 "PGV cm/s", "result"}};
  std::vector<std::string> failed;
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    const JobOutcome& o = outcomes[i];
    std::string result = "ok";
    if (o.error) {
      result = "FAILED";
      failed.push_back(jobs[i].record);
    } else if (o.warnings > 0) {
      result = "ok, " + std::to_string(o.warnings) + " warning" +
               (o.warnings > 1 ? "s" : "");
    }
    bool ok = !o.error;
    rows.push_back({std::to_string(i + 1), jobs[i].record, jobs[i].folder,
                    ok ? std::to_string(o.samples) : "-",
                    ok ? Fixed(o.peaks.pga) : "-",
                    ok ? Fixed(o.peaks.pgv) : "-", result});
  }
  std::vector<std::size_t> widths(rows.front().size(), 0);
  for (const auto& row : rows)
    for (std::size_t c = 0; c < row.size(); ++c)
      widths[c] = std::max(widths[c], row[c].size());
  std::string table;
  for (const auto& row : rows) {
    std::string line;
    for (std::size_t c = 0; c < row.size(); ++c) {
      bool right = c == 0 || (c >= 3 && c <= 5);
      bool last = c + 1 == row.size();
      line += last ? row[c] : Cell(row[c], widths[c], right) + "  ";
    }
    table += line + "\n";
  }
  table += std::to_string(jobs.size() - failed.size()) + " of " +
           std::to_string(jobs.size()) + " records converted";
  if (!failed.empty()) {
    table += "; failed:";
    for (const std::string& record : failed) table += " " + record;
  }
  return table + "\n";
}

}  // namespace lpgm::prepare
