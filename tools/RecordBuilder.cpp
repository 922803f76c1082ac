#include "tools/RecordBuilder.h"

#include <stdexcept>

namespace orodorev::sample {
namespace {

constexpr uint8_t kNullBitmapBit = 0x10;
constexpr uint8_t kVarColumnsBit = 0x20;
constexpr uint8_t kTextRecordStatus = 0x08;
constexpr uint16_t kStoredElsewhereBit = 0x8000;
constexpr size_t kRecordPrefix = 4;
constexpr size_t kMaxRecordSize = 8060;

Bytes prefixedRecord(uint8_t statusA, const Bytes& body) {
  ByteWriter out;
  out.u8(statusA).u8(0).u16(static_cast<uint16_t>(kRecordPrefix + body.size())).bytes(body);
  return out.data();
}

}  // namespace

DataRecordBuilder::DataRecordBuilder(Bytes fixed, int columnCount)
    : fixed_(std::move(fixed)), columnCount_(columnCount), nulls_(static_cast<size_t>(columnCount), false) {}

DataRecordBuilder& DataRecordBuilder::setNull(int column) {
  nulls_.at(static_cast<size_t>(column - 1)) = true;
  return *this;
}

DataRecordBuilder& DataRecordBuilder::addVar(std::optional<VarValue> value) {
  vars_.push_back(std::move(value));
  return *this;
}

Bytes DataRecordBuilder::build() const {
  size_t stored = vars_.size();
  while (stored > 0 && !vars_[stored - 1]) --stored;
  ByteWriter out;
  out.u8(stored > 0 ? kNullBitmapBit | kVarColumnsBit : kNullBitmapBit).u8(0);
  out.u16(static_cast<uint16_t>(kRecordPrefix + fixed_.size())).bytes(fixed_);
  out.u16(static_cast<uint16_t>(columnCount_));
  for (size_t byte = 0; byte < (nulls_.size() + 7) / 8; ++byte) {
    uint8_t bits = 0;
    for (size_t bit = 0; bit < 8 && 8 * byte + bit < nulls_.size(); ++bit)
      if (nulls_[8 * byte + bit]) bits |= static_cast<uint8_t>(1 << bit);
    out.u8(bits);
  }
  if (stored == 0) return out.data();
  out.u16(static_cast<uint16_t>(stored));
  size_t end = out.size() + 2 * stored;
  for (size_t k = 0; k < stored; ++k) {
    end += vars_[k] ? vars_[k]->bytes.size() : 0;
    bool elsewhere = vars_[k] && vars_[k]->storedElsewhere;
    out.u16(static_cast<uint16_t>(end | (elsewhere ? kStoredElsewhereBit : 0)));
  }
  for (size_t k = 0; k < stored; ++k)
    if (vars_[k]) out.bytes(vars_[k]->bytes);
  if (out.size() > kMaxRecordSize) throw std::length_error("record longer than a page holds");
  return out.data();
}

Bytes fixedOnlyRecord(const Bytes& body) { return prefixedRecord(0, body); }

Bytes textRecord(const Bytes& payload) { return prefixedRecord(kTextRecordStatus, payload); }

}  // namespace orodorev::sample
