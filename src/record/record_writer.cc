#include "record/record_writer.h"

#include <stdexcept>

#include "record/number_format.h"

namespace lpgm {

// The next descriptor that takes a value, ending the record and starting
// again at the reversion point when the layout is used up.
const Descriptor& RecordWriter::Next() {
  for (;;) {
    while (index_ < layout_.size() && !layout_[index_].TakesValue()) {
      open_ = true;  // $
      ++index_;
    }
    if (index_ < layout_.size()) return layout_[index_++];
    if (!open_) channel_.EndRecord();
    index_ = layout_.reversion();
    if (layout_.size() == 0 || index_ >= layout_.size())
      throw std::logic_error("layout takes no value");
  }
}

RecordWriter& RecordWriter::Text(std::string_view text) {
  const Descriptor& d = Next();
  if (d.kind == FieldKind::kTextWhole) {
    channel_.Append(text);
  } else if (d.kind == FieldKind::kText) {
    std::size_t w = static_cast<std::size_t>(d.width);
    if (text.size() >= w) {
      channel_.Append(text.substr(0, w));
    } else {
      for (std::size_t i = text.size(); i < w; ++i) channel_.Append(' ');
      channel_.Append(text);
    }
  } else {
    throw std::logic_error("text value for a numeric descriptor");
  }
  return *this;
}

RecordWriter& RecordWriter::Int(std::int64_t value) {
  const Descriptor& d = Next();
  if (d.kind != FieldKind::kInteger)
    throw std::logic_error("whole number for a non-I descriptor");
  std::size_t w = static_cast<std::size_t>(d.width);
  if (w > channel_.capacity()) throw std::logic_error("field too wide");
  FormatInteger(channel_.Reserve(w), d.width, value);
  channel_.Commit(w);
  return *this;
}

RecordWriter& RecordWriter::Real(double value) {
  const Descriptor& d = Next();
  if (d.kind != FieldKind::kFixed)
    throw std::logic_error("real value for a non-F descriptor");
  std::size_t w = static_cast<std::size_t>(d.width);
  if (w > channel_.capacity()) throw std::logic_error("field too wide");
  FormatFixed(channel_.Reserve(w), d.width, d.decimals, value);
  channel_.Commit(w);
  return *this;
}

void RecordWriter::End() {
  // Descriptors up to the next one that takes a value still act: a $ there
  // leaves the record open.
  while (index_ < layout_.size() && !layout_[index_].TakesValue()) {
    open_ = true;
    ++index_;
  }
  if (!open_) channel_.EndRecord();
}

}  // namespace lpgm
