#include "settings/json_position.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace telpod::json_position {
namespace {

// The line of byte `offset`, counted from 1.
size_t LineOfByte(std::string_view text, size_t offset) {
  const size_t before = std::min(offset == 0 ? 0 : offset - 1, text.size());
  return 1 + static_cast<size_t>(std::count(text.begin(), text.begin() + before, '\n'));
}

// Hands the parser one character at a time and leaves where it stands, so
// that each event of the parser knows how far the text has been read.
class TracingIterator {
 public:
  using iterator_category = std::input_iterator_tag;
  using value_type = char;
  using difference_type = std::ptrdiff_t;
  using pointer = const char*;
  using reference = const char&;

  TracingIterator(const char* at, const char** reached) : at_(at), reached_(reached) {}
  reference operator*() const { return *at_; }
  TracingIterator& operator++() {
    *reached_ = ++at_;
    return *this;
  }
  TracingIterator operator++(int) {
    TracingIterator before = *this;
    ++*this;
    return before;
  }
  bool operator==(const TracingIterator& other) const { return at_ == other.at_; }

 private:
  const char* at_;
  const char** reached_;
};

// Follows the parser's events down to the value at `target` and notes the
// line of the last token read when it begins. A number is only known to end
// at the character after it, which is a blank, a comma or a bracket: the
// last character that is no blank is on the token's line either way.
class ValueFinder {
 public:
  using Json = nlohmann::ordered_json;

  ValueFinder(std::string_view text, const char*& reached, const Pointer& target)
      : text_(text), reached_(reached), target_(target) {}
  std::optional<size_t> line() const { return line_; }

  bool null() { return Scalar(); }
  bool boolean(bool) { return Scalar(); }
  bool number_integer(Json::number_integer_t) { return Scalar(); }
  bool number_unsigned(Json::number_unsigned_t) { return Scalar(); }
  bool number_float(Json::number_float_t, const Json::string_t&) { return Scalar(); }
  bool string(Json::string_t&) { return Scalar(); }
  bool binary(Json::binary_t&) { return Scalar(); }
  bool start_object(size_t) { return Open(false); }
  bool start_array(size_t) { return Open(true); }
  bool end_object() { return Close(); }
  bool end_array() { return Close(); }
  bool key(Json::string_t& name) {
    open_.back().member = open_.back().path / name;
    return !Found(open_.back().member);
  }
  bool parse_error(size_t, const std::string&, const nlohmann::detail::exception&) { return false; }

 private:
  struct Container {
    Pointer path;
    bool array;
    size_t next = 0;
    Pointer member;
  };

  // True when the value beginning now is the target; an object's members
  // were looked at with their keys.
  bool BeginsTarget(Pointer& path) {
    if (open_.empty()) return Found(path = Pointer());
    Container& parent = open_.back();
    if (!parent.array) {
      path = parent.member;
      return false;
    }
    return Found(path = parent.path / parent.next++);
  }
  bool Scalar() {
    Pointer path;
    return !BeginsTarget(path);
  }
  bool Open(bool array) {
    Pointer path;
    if (BeginsTarget(path)) return false;
    open_.push_back({path, array, 0, Pointer()});
    return true;
  }
  bool Close() {
    open_.pop_back();
    return true;
  }
  bool Found(const Pointer& path) {
    if (path != target_) return false;
    line_ = LineOfLastToken();
    return true;
  }
  size_t LineOfLastToken() const {
    const std::string_view read = text_.substr(0, static_cast<size_t>(reached_ - text_.data()));
    const size_t last = read.find_last_not_of(" \t\r\n");
    return last == std::string_view::npos ? 1 : LineOfByte(text_, last + 1);
  }

  std::string_view text_;
  const char*& reached_;
  const Pointer& target_;
  std::vector<Container> open_;
  std::optional<size_t> line_;
};

}  // namespace

std::optional<size_t> ParseOrLine(std::string_view text, nlohmann::ordered_json& document) {
  const char* reached = text.data();
  try {
    document = nlohmann::ordered_json::parse(TracingIterator(text.data(), &reached),
                                             TracingIterator(text.data() + text.size(), &reached));
    return std::nullopt;
  } catch (const nlohmann::ordered_json::exception&) {
    return LineOfByte(text, static_cast<size_t>(reached - text.data()));
  }
}

size_t LineOfValue(std::string_view text, const Pointer& where) {
  const char* reached = text.data();
  ValueFinder finder(text, reached, where);
  nlohmann::ordered_json::sax_parse(TracingIterator(text.data(), &reached),
                                    TracingIterator(text.data() + text.size(), &reached), &finder);
  return finder.line().value_or(0);
}

}  // namespace telpod::json_position
