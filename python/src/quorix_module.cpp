// The native side of the Python package: one C parser handle per Parser object, and the batch parse on threads of
// its own with the GIL released. It converts between Python objects and the C interface; the rules stay in the
// library.
#include <nanobind/nanobind.h>
#include <quorix/quorix.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <new>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace nb = nanobind;

namespace {

constexpr std::int32_t kStatusBadArgument = -21;
constexpr std::int32_t kFieldCount = 40;
constexpr std::int32_t kExtraCount = 14;
constexpr std::int32_t kNoValue = -1;

// A parse result copied out of a handle, so it outlives the handle's next parse and can be made into Python
// objects once the GIL is held again.
struct Snapshot {
  std::int32_t status = kStatusBadArgument;
  std::int32_t group = -1;
  std::int32_t decoderId = -1;
  std::uint32_t repairs = 0;
  std::int32_t standardAt = kNoValue;
  std::int32_t fieldAt[kFieldCount] = {};
  std::int32_t extraAt[kExtraCount] = {};
  std::string texts;  // every value, each followed by a NUL
};

std::int32_t keepText(Snapshot& snapshot, const char* text) {
  if (text == nullptr) return kNoValue;
  const auto at = static_cast<std::int32_t>(snapshot.texts.size());
  snapshot.texts.append(text).push_back('\0');
  return at;
}

bool isIndicator(std::int32_t index) {
  return index == QUORIX_FIELD_IS_LIMITED_DURATION_DOCUMENT || index == QUORIX_FIELD_IS_ORGAN_DONOR ||
         index == QUORIX_FIELD_IS_VETERAN;
}

// Parses one input with parser and copies what it gave. now null means the local clock.
void parseInto(quorix_parser* parser, const char* data, std::size_t size, const quorix_datetime* now, Snapshot& out) {
  out.status = kStatusBadArgument;
  out.texts.clear();
  out.texts.reserve(512);  // one allocation holds the texts of a typical document
  // The library takes 32-bit lengths; a larger input is refused as the library refuses a bad argument.
  if (size > INT32_MAX) return;
  const auto length = static_cast<std::int32_t>(size);
  out.status = now != nullptr ? quorix_parse_at(parser, data, length, now) : quorix_parse(parser, data, length);
  out.group = quorix_decoder_group(parser);
  out.decoderId = quorix_decoder_id(parser);
  out.repairs = quorix_repairs(parser);
  out.standardAt = keepText(out, quorix_standard(parser));
  for (std::int32_t i = 0; i < kFieldCount; ++i) out.fieldAt[i] = keepText(out, quorix_field(parser, i));
  for (std::int32_t i = 0; i < kExtraCount; ++i) {
    out.extraAt[i] = keepText(out, quorix_extra(parser, quorix_extra_name(i)));
  }
}

PyObject* newReference(PyObject* object) {
  Py_INCREF(object);
  return object;
}

// The library's texts are printable ASCII, so they are made into str objects of one byte per character directly.
PyObject* newTextOrNone(const Snapshot& snapshot, std::int32_t at) {
  if (at == kNoValue) return newReference(Py_None);
  const char* text = snapshot.texts.c_str() + at;
  return PyUnicode_FromKindAndData(PyUnicode_1BYTE_KIND, text, static_cast<Py_ssize_t>(std::strlen(text)));
}

template <typename Make>
nb::tuple newTuple(std::int32_t size, Make make) {
  nb::tuple tuple = nb::steal<nb::tuple>(PyTuple_New(size));
  if (!tuple.is_valid()) throw nb::python_error();
  for (std::int32_t i = 0; i < size; ++i) {
    PyObject* item = make(i);
    if (item == nullptr) throw nb::python_error();
    PyTuple_SET_ITEM(tuple.ptr(), i, item);
  }
  return tuple;
}

// (status, decoder group, decoder id, standard, repair bits, 40 fields, 14 extras): the package's Result is made
// from this, once per parse, so it is built with the C API of Python.
nb::tuple toTuple(const Snapshot& snapshot) {
  nb::tuple fields = newTuple(kFieldCount, [&snapshot](std::int32_t i) {
    const std::int32_t at = snapshot.fieldAt[i];
    if (isIndicator(i) && at != kNoValue)
      return newReference(snapshot.texts[static_cast<std::size_t>(at)] == '1' ? Py_True : Py_False);
    return newTextOrNone(snapshot, at);
  });
  nb::tuple extras =
      newTuple(kExtraCount, [&snapshot](std::int32_t i) { return newTextOrNone(snapshot, snapshot.extraAt[i]); });
  return nb::make_tuple(snapshot.status, snapshot.group, snapshot.decoderId,
                        nb::steal(newTextOrNone(snapshot, snapshot.standardAt)), snapshot.repairs, fields, extras);
}

// None or a tuple (year, month, day, hour, minute, second).
bool readClock(nb::handle now, quorix_datetime& out) {
  if (now.is_none()) return false;
  const auto parts = nb::cast<nb::tuple>(now);
  if (parts.size() != 6) throw nb::value_error("a clock is (year, month, day, hour, minute, second)");
  const auto part = [&parts](std::size_t i) { return nb::cast<std::int32_t>(parts[i]); };
  out = {part(0), part(1), part(2), part(3), part(4), part(5)};
  return true;
}

quorix_parser* newParser() {
  quorix_parser* parser = quorix_parser_new();
  if (parser == nullptr) throw std::bad_alloc();
  return parser;
}

// A handle for one Python Parser. A lock lets two Python threads share the object safely, one parse at a time.
class NativeParser {
 public:
  NativeParser() : parser_(newParser()) {}
  ~NativeParser() { quorix_parser_free(parser_); }
  NativeParser(const NativeParser&) = delete;
  NativeParser& operator=(const NativeParser&) = delete;

  // The result is copied into the object's own snapshot and made into Python objects before the lock is let go,
  // so a warm parser allocates nothing of its own. Nobody waits for the lock while holding the GIL, so taking
  // the GIL back with the lock held cannot deadlock.
  nb::tuple parse(const nb::bytes& data, nb::handle now) {
    quorix_datetime clock{};
    const bool fixed = readClock(now, clock);
    std::unique_lock<std::mutex> lock(mutex_, std::defer_lock);
    {
      nb::gil_scoped_release release;
      lock.lock();
      if (parser_ != nullptr) parseInto(parser_, data.c_str(), data.size(), fixed ? &clock : nullptr, snapshot_);
    }
    if (parser_ == nullptr) throw nb::value_error("the parser is closed");
    return toTuple(snapshot_);
  }

  void close() {
    nb::gil_scoped_release release;
    std::lock_guard<std::mutex> lock(mutex_);
    quorix_parser_free(parser_);
    parser_ = nullptr;
  }

 private:
  quorix_parser* parser_;
  Snapshot snapshot_;
  std::mutex mutex_;
};

// Parses every input of the list on up to threads threads, one handle each, and returns the results in input
// order. The list is the package's own copy, so its bytes stay put while the GIL is released.
nb::list parseMany(const nb::list& inputs, std::int32_t threads, nb::handle now) {
  if (threads < 1) throw nb::value_error("threads must be 1 or more");
  quorix_datetime clock{};
  const quorix_datetime* fixed = readClock(now, clock) ? &clock : nullptr;
  std::vector<std::pair<const char*, std::size_t>> texts;
  texts.reserve(inputs.size());
  for (nb::handle input : inputs) {
    const auto bytes = nb::cast<nb::bytes>(input);
    texts.emplace_back(bytes.c_str(), bytes.size());
  }
  std::vector<Snapshot> results(texts.size());
  const std::size_t workers =
      std::min<std::size_t>(static_cast<std::size_t>(threads), std::max<std::size_t>(texts.size(), 1));
  std::vector<quorix_parser*> parsers;
  try {
    for (std::size_t i = 0; i < workers; ++i) parsers.push_back(newParser());
  } catch (...) {
    for (quorix_parser* parser : parsers) quorix_parser_free(parser);
    throw;
  }
  {
    nb::gil_scoped_release release;
    std::atomic<std::size_t> next{0};
    const auto work = [&](quorix_parser* parser) {
      for (std::size_t i = next++; i < texts.size(); i = next++)
        parseInto(parser, texts[i].first, texts[i].second, fixed, results[i]);
    };
    std::vector<std::thread> pool;
    try {
      for (std::size_t i = 1; i < workers; ++i) pool.emplace_back(work, parsers[i]);
    } catch (const std::system_error&) {
      // Fewer threads than asked for: those that started and this one share the work.
    }
    work(parsers[0]);
    for (std::thread& thread : pool) thread.join();
  }
  for (quorix_parser* parser : parsers) quorix_parser_free(parser);
  nb::list out;
  for (const Snapshot& snapshot : results) out.append(toTuple(snapshot));
  return out;
}

// The checks of one result: the input is parsed again with the clock of its first parse, which gives the same
// record, and the library answers for the day on: (expired, age or None, at least years), or the parse's status
// alone when it fails.
nb::object answerChecks(const nb::bytes& data, nb::handle now, nb::handle on, std::int32_t years) {
  quorix_datetime clock{};
  const bool fixed = readClock(now, clock);
  quorix_datetime day{};
  if (!readClock(on, day)) throw nb::value_error("a day to answer for is needed");
  std::int32_t status = kStatusBadArgument;
  std::int32_t expired = 0, ageStatus = 0, age = 0, atLeast = 0;
  {
    nb::gil_scoped_release release;
    quorix_parser* parser = newParser();
    if (data.size() <= INT32_MAX) {
      const auto length = static_cast<std::int32_t>(data.size());
      status =
          fixed ? quorix_parse_at(parser, data.c_str(), length, &clock) : quorix_parse(parser, data.c_str(), length);
    }
    expired = quorix_is_expired(parser, &day);
    ageStatus = quorix_age_on(parser, &day, &age);
    atLeast = quorix_is_at_least(parser, years, &day);
    quorix_parser_free(parser);
  }
  if (status != 0) return nb::int_(status);
  if (expired < 0 || atLeast < 0) throw nb::value_error("the day is out of range");
  return nb::make_tuple(nb::bool_(expired == 1), ageStatus == 0 ? nb::object(nb::int_(age)) : nb::none(),
                        nb::bool_(atLeast == 1));
}

nb::tuple extraNames() {
  nb::list names;
  for (std::int32_t i = 0; i < quorix_extra_count(); ++i) names.append(nb::str(quorix_extra_name(i)));
  return nb::tuple(names);
}

nb::tuple fieldNames() {
  nb::list names;
  for (std::int32_t i = 0; i < quorix_field_count(); ++i) names.append(nb::str(quorix_field_name(i)));
  return nb::tuple(names);
}

nb::tuple repairNames() {
  nb::list names;
  for (std::int32_t i = 0; i < quorix_repair_count(); ++i) names.append(nb::str(quorix_repair_name(i)));
  return nb::tuple(names);
}

}  // namespace

NB_MODULE(_quorix, m) {
  m.doc() = "The native side of the quorix package; use the quorix module instead.";
  if (quorix_field_count() != kFieldCount || quorix_extra_count() != kExtraCount) {
    throw std::runtime_error("the module was built against another version of the library");
  }
  nb::class_<NativeParser>(m, "NativeParser")
      .def(nb::init<>())
      .def("parse", &NativeParser::parse, nb::arg("data"), nb::arg("now").none())
      .def("close", &NativeParser::close);
  m.def("parse_many", &parseMany, nb::arg("inputs"), nb::arg("threads"), nb::arg("now").none());
  m.def("answer_checks", &answerChecks, nb::arg("data"), nb::arg("now").none(), nb::arg("on"), nb::arg("years"));
  m.def("field_names", &fieldNames);
  m.def("extra_names", &extraNames);
  m.def("repair_names", &repairNames);
  m.def("status_message", [](std::int32_t status) { return nb::str(quorix_status_message(status)); });
  m.def("version", [] { return nb::str(quorix_version()); });
}
