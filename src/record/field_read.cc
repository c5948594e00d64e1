#include "record/field_read.h"

#include <cstring>
#include <stdexcept>

#include "record/failure.h"
#include "record/number_parse.h"

namespace lpgm {
namespace {

// Reads one numeric field into `target`; returns whether it held more than
// blanks.
bool ReadNumericField(InputChannel& channel, const Descriptor& d,
                      ListItem::Kind kind, void* target) {
  NumberScanner scanner;
  bool filled = false;
  for (int i = 0; i < d.width; ++i) {
    int c = channel.Get();
    if (c == InputChannel::kEndOfRecord || c == ',') break;
    if (c == ' ') continue;
    scanner.Feed(static_cast<char>(c));
    filled = true;
  }
  if (d.kind == FieldKind::kInteger) {
    if (kind != ListItem::Kind::kInteger)
      throw std::logic_error("I field for a non-integer variable");
    std::int32_t v;
    if (scanner.ToInteger(&v) != ParseStatus::kOk) channel.Fail(kErrConversion);
    *static_cast<std::int32_t*>(target) = v;
  } else {
    if (kind != ListItem::Kind::kReal)
      throw std::logic_error("F field for a non-real variable");
    double v;
    if (scanner.ToReal(d.decimals, &v) != ParseStatus::kOk)
      channel.Fail(kErrConversion);
    *static_cast<double*>(target) = v;
  }
  return filled;
}

void ReadTextField(InputChannel& channel, std::size_t width, char* target,
                   std::size_t length) {
  // The variable receives the last `length` positions of a wider field, or
  // the field followed by blanks.
  std::size_t skip = width > length ? width - length : 0;
  std::size_t stored = 0;
  for (std::size_t i = 0; i < width; ++i) {
    int c = channel.Get();
    char byte = c == InputChannel::kEndOfRecord ? ' ' : static_cast<char>(c);
    if (i >= skip) target[stored++] = byte;
  }
  if (stored < length) std::memset(target + stored, ' ', length - stored);
}

}  // namespace

void ReadRecord(InputChannel& channel, const Layout& layout,
                std::initializer_list<ListItem> variables, FieldsSeen* seen) {
  channel.BeginRecordOrFail();
  std::size_t index = 0;
  for (const ListItem& vars : variables) {
    for (std::size_t k = 0; k < vars.count; ++k) {
      if (index == layout.size()) {
        channel.BeginRecordOrFail();
        index = layout.reversion();
      }
      const Descriptor& d = layout[index++];
      switch (d.kind) {
        case FieldKind::kInteger:
        case FieldKind::kFixed: {
          void* target =
              vars.kind == ListItem::Kind::kInteger
                  ? static_cast<void*>(static_cast<std::int32_t*>(vars.data) +
                                       k)
                  : static_cast<void*>(static_cast<double*>(vars.data) +
                                       k * vars.stride);
          const bool filled = ReadNumericField(channel, d, vars.kind, target);
          if (seen != nullptr) {
            seen->filled += filled ? 1 : 0;
            seen->last_filled = filled;
          }
          break;
        }
        case FieldKind::kText:
        case FieldKind::kTextWhole: {
          if (vars.kind != ListItem::Kind::kText)
            throw std::logic_error("A field for a numeric variable");
          std::size_t width = d.kind == FieldKind::kText
                                  ? static_cast<std::size_t>(d.width)
                                  : vars.text_length;
          ReadTextField(channel, width,
                        static_cast<char*>(vars.data) + k * vars.text_length,
                        vars.text_length);
          break;
        }
        case FieldKind::kStayOpen:
          throw std::logic_error("$ in an input layout");
      }
    }
  }
}

}  // namespace lpgm
