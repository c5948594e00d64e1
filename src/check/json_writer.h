// A small writer of JSON text: objects, arrays, strings with the escapes
// JSON requires, and numbers that read back to the same double. A number
// that is not finite has no JSON form and is written as null.
#ifndef LPGM_CHECK_JSON_WRITER_H_
#define LPGM_CHECK_JSON_WRITER_H_

#include <string>
#include <string_view>
#include <vector>

namespace lpgm::check {

class JsonWriter {
 public:
  void BeginObject() { Open('{'); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('['); }
  void EndArray() { Close(']'); }
  // The key of the next member of the current object.
  void Key(std::string_view key);

  void String(std::string_view text);
  void Number(double value);
  void Integer(long long value);
  void Bool(bool value);
  void Null();

  const std::string& text() const { return out_; }

 private:
  void Open(char bracket);
  void Close(char bracket);
  void BeforeValue();
  void AppendString(std::string_view text);

  std::string out_;
  std::vector<bool> first_;  // per open level: no member written yet
  bool after_key_ = false;
};

}  // namespace lpgm::check

#endif  // LPGM_CHECK_JSON_WRITER_H_
