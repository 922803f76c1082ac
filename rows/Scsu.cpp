#include "rows/Scsu.h"

#include <array>
#include <utility>

// Layout of a compressed value (hex). Decoding starts in single-byte mode with
// dynamic window 0 active and every dynamic window at its default offset.
//
// Single-byte mode:
//   00 09 0A 0D 0C 20-7F  the character itself (0C is a reserved command, kept as text)
//   80-FF                 active dynamic window offset + (byte - 80)
//   01-08  SQn b          one character: b < 80 from static window n, else dynamic window n
//   0B     SDX hi lo      window hi >> 5 := 10000 + 80 * ((hi & 1F) << 8 | lo), made active
//   0E     SQU hi lo      one UTF-16 code unit
//   0F     SCU            switch to Unicode mode
//   10-17  SCn            make dynamic window n active
//   18-1F  SDn x          dynamic window n := offset byte x, made active
// Unicode mode, where any other byte pair hi lo is one UTF-16 code unit:
//   E0-E7  UCn            make window n active, back to single-byte mode
//   E8-EF  UDn x          as SDn, back to single-byte mode
//   F0     UQU hi lo      one UTF-16 code unit whatever hi looks like
//   F1     UDX hi lo      as SDX, back to single-byte mode
//   F2                    reserved; read as the high byte of a code unit
// Offset byte x: 01-67 -> x * 80, 68-A7 -> x * 80 + AC00, F9-FF -> fixed offsets,
// 00 and A8-F8 are reserved.

namespace orodorev {
namespace {

constexpr uint32_t kReplacement = 0xFFFD;
constexpr uint32_t kMaxCodePoint = 0x10FFFF;
// A window defined by a reserved offset byte; its characters become U+FFFD.
constexpr uint32_t kUndefinedWindow = 0xFFFFFFFF;

constexpr std::array<uint32_t, 8> kStaticWindows{0x0000, 0x0080, 0x0100, 0x0300,
                                                 0x2000, 0x2080, 0x2100, 0x3000};
constexpr std::array<uint32_t, 8> kDefaultWindows{0x0080, 0x00C0, 0x0400, 0x0600,
                                                  0x0900, 0x3040, 0x30A0, 0xFF00};
// Offsets for the bytes F9..FF: scripts whose blocks do not start on a multiple of 80.
constexpr std::array<uint32_t, 7> kFixedOffsets{0x00C0, 0x0250, 0x0370, 0x0530,
                                                0x3040, 0x30A0, 0xFF60};

constexpr uint8_t kSQ0 = 0x01;
constexpr uint8_t kSDX = 0x0B;
constexpr uint8_t kSQU = 0x0E;
constexpr uint8_t kSCU = 0x0F;
constexpr uint8_t kSC0 = 0x10;
constexpr uint8_t kSD0 = 0x18;
constexpr uint8_t kUC0 = 0xE0;
constexpr uint8_t kUD0 = 0xE8;
constexpr uint8_t kUQU = 0xF0;
constexpr uint8_t kUDX = 0xF1;
constexpr uint8_t kWindowCount = 8;
constexpr uint8_t kFirstText = 0x20;

bool isHighSurrogate(uint32_t v) { return v >= 0xD800 && v <= 0xDBFF; }
bool isLowSurrogate(uint32_t v) { return v >= 0xDC00 && v <= 0xDFFF; }

uint32_t windowOffset(uint8_t x) {
  if (x >= 0x01 && x <= 0x67) return x * 0x80u;
  if (x >= 0x68 && x <= 0xA7) return x * 0x80u + 0xAC00;
  if (x >= 0xF9) return kFixedOffsets[x - 0xF9];
  return kUndefinedWindow;
}

uint32_t inWindow(uint32_t offset, uint8_t b) {
  return offset == kUndefinedWindow ? kReplacement : offset + (b & 0x7Fu);
}

// Collects UTF-16 code units and code points; pairs surrogates across them.
class Utf8Sink {
 public:
  explicit Utf8Sink(size_t inputSize) { out_.reserve(inputSize); }

  void put(uint32_t v) {
    if (isLowSurrogate(v) && pendingHigh_ != 0) return putPair(v);
    flushUnpaired();
    if (isHighSurrogate(v)) {
      pendingHigh_ = v;
      return;
    }
    write(isLowSurrogate(v) ? kReplacement : v);
  }

  std::string finish() {
    flushUnpaired();
    return std::move(out_);
  }

 private:
  void putPair(uint32_t low) {
    write(0x10000 + ((pendingHigh_ - 0xD800) << 10) + (low - 0xDC00));
    pendingHigh_ = 0;
  }

  void flushUnpaired() {
    if (pendingHigh_ != 0) write(kReplacement);
    pendingHigh_ = 0;
  }

  void write(uint32_t cp) {
    if (cp > kMaxCodePoint) return;
    if (cp < 0x80) {
      byte(cp);
    } else if (cp < 0x800) {
      byte(0xC0 | cp >> 6);
      continuation(cp, 1);
    } else if (cp < 0x10000) {
      byte(0xE0 | cp >> 12);
      continuation(cp, 2);
    } else {
      byte(0xF0 | cp >> 18);
      continuation(cp, 3);
    }
  }
  void continuation(uint32_t cp, int count) {
    for (int i = count - 1; i >= 0; --i) byte(0x80 | ((cp >> (6 * i)) & 0x3F));
  }
  void byte(uint32_t b) { out_.push_back(static_cast<char>(b)); }

  std::string out_;
  uint32_t pendingHigh_ = 0;
};

class ScsuDecoder {
 public:
  explicit ScsuDecoder(std::span<const uint8_t> in) : in_(in), sink_(in.size()) {}

  std::string run() {
    while (has(1) && (unicodeMode_ ? unicodeStep() : singleByteStep())) {
    }
    return sink_.finish();
  }

 private:
  // Each step returns false when the command's argument bytes are missing.
  bool singleByteStep() {
    const uint8_t b = next();
    if (b >= 0x80) return emit(inWindow(windows_[active_], b));
    if (b >= kFirstText) return emit(b);
    if (b >= kSD0) return defineWindow(b - kSD0);
    if (b >= kSC0) return selectWindow(b - kSC0);
    if (b >= kSQ0 && b < kSQ0 + kWindowCount) return quote(b - kSQ0);
    if (b == kSDX) return defineExtendedWindow();
    if (b == kSQU) return quoteUnit();
    if (b == kSCU) return enterUnicode();
    return emit(b);
  }

  bool unicodeStep() {
    const uint8_t b = next();
    if (b >= kUC0 && b < kUD0) return leaveUnicode(selectWindow(b - kUC0));
    if (b >= kUD0 && b < kUQU) return leaveUnicode(defineWindow(b - kUD0));
    if (b == kUQU) return quoteUnit();
    if (b == kUDX) return leaveUnicode(defineExtendedWindow());
    if (!has(1)) return false;
    return emit(b << 8 | next());
  }

  bool quote(int window) {
    if (!has(1)) return false;
    const uint8_t b = next();
    return emit(b < 0x80 ? kStaticWindows[window] + b : inWindow(windows_[window], b));
  }

  bool quoteUnit() {
    if (!has(2)) return false;
    const uint8_t high = next();
    return emit(high << 8 | next());
  }

  bool defineWindow(int window) {
    if (!has(1)) return false;
    windows_[window] = windowOffset(next());
    return selectWindow(window);
  }

  bool defineExtendedWindow() {
    if (!has(2)) return false;
    const uint8_t high = next();
    const uint32_t blocks = (high & 0x1Fu) << 8 | next();
    windows_[high >> 5] = 0x10000 + blocks * 0x80;
    return selectWindow(high >> 5);
  }

  bool selectWindow(int window) {
    active_ = window;
    return true;
  }

  bool enterUnicode() {
    unicodeMode_ = true;
    return true;
  }

  bool leaveUnicode(bool commandComplete) {
    if (commandComplete) unicodeMode_ = false;
    return commandComplete;
  }

  bool emit(uint32_t v) {
    sink_.put(v);
    return true;
  }

  bool has(size_t count) const { return in_.size() - pos_ >= count; }
  uint8_t next() { return in_[pos_++]; }

  std::span<const uint8_t> in_;
  size_t pos_ = 0;
  std::array<uint32_t, kWindowCount> windows_ = kDefaultWindows;
  int active_ = 0;
  bool unicodeMode_ = false;
  Utf8Sink sink_;
};

}  // namespace

std::string decodeScsu(std::span<const uint8_t> bytes) { return ScsuDecoder(bytes).run(); }

std::string decodeScsu(const uint8_t* data, size_t size) {
  if (data == nullptr) return {};
  return decodeScsu(std::span<const uint8_t>(data, size));
}

}  // namespace orodorev
