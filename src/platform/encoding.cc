// CP932 <-> UTF-8 through glibc iconv. glibc's "CP932" is the Windows code
// page: 0x5C is the backslash and 0x7E the tilde, as the system's file names
// and texts expect.
#include "platform/encoding.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/unicode.h"

namespace lpgm::platform {
namespace {

constexpr const char kCp932Name[] = "CP932";
constexpr const char kUtf8Name[] = "UTF-8";
constexpr std::size_t kChunkSize = 1024;

const iconv_t kBadDescriptor = reinterpret_cast<iconv_t>(-1);

iconv_t OpenConverter(const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  if (cd == kBadDescriptor) {
    throw std::runtime_error(std::string("iconv cannot convert ") + from +
                             " to " + to);
  }
  return cd;
}

// The converter of one of the two one-shot directions, opened on first use
// and kept for the whole run. An iconv descriptor holds the state of the
// conversion in progress, so one thread at a time uses it.
struct SharedConverter {
  iconv_t cd;
  std::mutex in_use;
};

SharedConverter& Cp932ToUtf8Converter() {
  static SharedConverter converter{OpenConverter(kUtf8Name, kCp932Name), {}};
  return converter;
}

SharedConverter& Utf8ToCp932Converter() {
  static SharedConverter converter{OpenConverter(kCp932Name, kUtf8Name), {}};
  return converter;
}

// The length of the well-formed character at the start of `text`, or 0 when
// it does not start with one (including a character cut short by the end).
std::size_t WellFormedLength(std::string_view text) {
  char32_t ignored = 0;
  return DecodeUtf8(text, &ignored);
}

// Runs `cd` over `input`, appending to `out`. At each position iconv refuses,
// `on_error` is told the unconverted rest and returns how many bytes to step
// over (at least 1) after appending its own replacement to `out`.
template <typename OnError>
void RunConverter(iconv_t cd, std::string_view input, std::string* out,
                  OnError on_error) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* in_ptr = const_cast<char*>(input.data());
  std::size_t in_left = input.size();
  char buffer[kChunkSize];
  while (in_left > 0) {
    char* out_ptr = buffer;
    std::size_t out_left = sizeof(buffer);
    const std::size_t result =
        iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
    out->append(buffer, out_ptr);
    if (result != static_cast<std::size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    // EILSEQ, EINVAL: the bytes at in_ptr do not convert.
    const std::size_t skip = on_error(std::string_view(in_ptr, in_left));
    in_ptr += skip;
    in_left -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
}

// UTF-8 -> CP932 with '?' for what has no CP932 form: one '?' for a whole
// well-formed character, one '?' per byte of anything malformed. Returns the
// number of replacements made.
std::size_t ConvertUtf8ToCp932(iconv_t cd, std::string_view utf8,
                               std::string* out) {
  std::size_t replaced = 0;
  // ASCII is the same in both, and no byte of a UTF-8 sequence is ASCII:
  // runs of it are copied, and only the runs between them go to iconv.
  std::size_t i = 0;
  while (i < utf8.size()) {
    std::size_t ascii_end = i;
    while (ascii_end < utf8.size() &&
           static_cast<unsigned char>(utf8[ascii_end]) < 0x80)
      ++ascii_end;
    out->append(utf8.data() + i, ascii_end - i);
    std::size_t other_end = ascii_end;
    while (other_end < utf8.size() &&
           static_cast<unsigned char>(utf8[other_end]) >= 0x80)
      ++other_end;
    if (other_end > ascii_end) {
      RunConverter(cd, utf8.substr(ascii_end, other_end - ascii_end), out,
                   [&](std::string_view rest) -> std::size_t {
                     out->push_back('?');
                     ++replaced;
                     const std::size_t length = WellFormedLength(rest);
                     return length == 0 ? 1 : length;
                   });
    }
    i = other_end;
  }
  return replaced;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
  std::string out;
  out.reserve(cp932.size() * 3 / 2);
  SharedConverter& converter = Cp932ToUtf8Converter();
  std::lock_guard<std::mutex> lock(converter.in_use);
  RunConverter(converter.cd, cp932, &out,
               [&](std::string_view rest) -> std::size_t {
                 out.push_back(rest[0]);
                 return 1;
               });
  return out;
}

std::size_t AppendUtf8AsCp932(std::string_view utf8, std::string* out) {
  SharedConverter& converter = Utf8ToCp932Converter();
  std::lock_guard<std::mutex> lock(converter.in_use);
  return ConvertUtf8ToCp932(converter.cd, utf8, out);
}

Utf8ToCp932Stream::Utf8ToCp932Stream()
    : cd_(OpenConverter(kCp932Name, kUtf8Name)) {}

Utf8ToCp932Stream::~Utf8ToCp932Stream() {
  iconv_close(static_cast<iconv_t>(cd_));
}

void Utf8ToCp932Stream::Convert(std::string_view input, std::string* out,
                                bool final) {
  pending_.append(input);
  // Hold back the start of a character that the next bytes may complete.
  const std::size_t complete =
      final ? pending_.size() : CompleteUtf8Length(pending_);
  ConvertUtf8ToCp932(static_cast<iconv_t>(cd_),
                     std::string_view(pending_).substr(0, complete), out);
  pending_.erase(0, complete);
}

}  // namespace lpgm::platform
