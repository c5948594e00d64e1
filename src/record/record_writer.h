// Writing one record by a layout from a list of values.
//
// Values are paired with the layout's descriptors left to right. When the
// values run out, the record ends at the next descriptor that would take a
// value (a $ reached on the way leaves the record open). When values remain
// after the last descriptor, the record ends and a new one begins at the
// layout's reversion point.
//
//   RecordWriter(channel, layout).Text("周期(s)").Int(1).Text(",(cm/s)").End();
#ifndef LPGM_RECORD_RECORD_WRITER_H_
#define LPGM_RECORD_RECORD_WRITER_H_

#include <cstdint>
#include <string_view>

#include "record/layout.h"
#include "record/output_channel.h"

namespace lpgm {

class RecordWriter {
 public:
  RecordWriter(OutputChannel& channel, const Layout& layout)
      : channel_(channel), layout_(layout) {}
  RecordWriter(const RecordWriter&) = delete;
  RecordWriter& operator=(const RecordWriter&) = delete;

  RecordWriter& Text(std::string_view text);
  RecordWriter& Int(std::int64_t value);
  RecordWriter& Real(double value);
  // Ends the record: CR LF, unless the layout ends the record open ($).
  void End();

 private:
  const Descriptor& Next();

  OutputChannel& channel_;
  const Layout& layout_;
  std::size_t index_ = 0;
  bool open_ = false;  // the record so far was left open by a $
};

}  // namespace lpgm

#endif  // LPGM_RECORD_RECORD_WRITER_H_
