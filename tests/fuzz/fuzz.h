#pragma once
// One fuzz target: ORV_FUZZ_TARGET(name) { ... } with `data` and `size` in scope. Built with
// -DORV_FUZZ=ON it is a libFuzzer entry; in the normal build every target is registered by
// name in one replay program that feeds it the inputs kept under tests/fuzz/corpus/<name>.
//
// A target accepts the parser's own documented errors and nothing else: anything that
// escapes (another exception, a crash, a sanitizer report) is a finding.
#include <QtCore/QByteArray>
#include <QtCore/QString>

#include <cstddef>
#include <cstdint>

namespace orvfuzz {

using Entry = void (*)(const uint8_t* data, size_t size);
bool Register(const char* name, Entry entry);

// The input as UTF-8 text (invalid sequences become U+FFFD, as a file read would give).
inline QString Text(const uint8_t* data, size_t size) {
  return QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
}
inline QByteArray Bytes(const uint8_t* data, size_t size) {
  return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// Splits the input at the first "\n====\n": one part for what is parsed, one for what it
// works on (a second file, a value, ...). The second part is empty when there is no marker.
void Split(const QByteArray& input, QByteArray& first, QByteArray& second);

// A private folder for files a target must write (removed at exit).
QString TempFolder();

// A finding that is not a crash: reported on stderr, then the process aborts.
[[noreturn]] void Fail(const char* what, const QString& detail = QString());

}  // namespace orvfuzz

#ifdef ORV_LIBFUZZER
#define ORV_FUZZ_TARGET(name)                                               \
  static void FuzzOne(const uint8_t* data, size_t size);                    \
  extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { \
    FuzzOne(data, size);                                                    \
    return 0;                                                               \
  }                                                                         \
  static void FuzzOne(const uint8_t* data, size_t size)
#else
#define ORV_FUZZ_TARGET(name)                                   \
  static void FuzzOne_##name(const uint8_t* data, size_t size); \
  [[maybe_unused]] static const bool registered_##name =        \
      orvfuzz::Register(#name, &FuzzOne_##name);                \
  static void FuzzOne_##name(const uint8_t* data, size_t size)
#endif
